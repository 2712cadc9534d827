// Views, triggers and routines: their headers are read, their query and
// body texts kept as they stand.
#include "parsers/mysql/qorMySQLParser.h"

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <cctype>
#include <cstddef>
#include <string>

namespace qor {

// -------------------------------------------------------------------- views

void TMySQLParser::ParseCreateView(TViwData* given) {
  std::string algorithm, security;
  for (;;) {
    const std::size_t before = TokenStart();
    if (IsWord("ALGORITHM")) {
      NextToken();
      if (TokenKind() == tk::Equal) NextToken();
      algorithm = UpperLocale(IdentText());
      if (IsNameToken()) NextToken();
    } else if (IsWord("DEFINER")) {
      SkipDefiner();
    } else if (TokenKind() == myk::SQL) {
      NextToken();
      if (!ExpectWord("SECURITY")) return;
      NextToken();
      security = UpperLocale(IdentText());
      if (IsNameToken()) NextToken();
    } else {
      break;
    }
    if (TokenStart() == before) break;
  }
  if (!ExpectWord("VIEW")) {
    SkipTo(KindSet({tk::Terminator}));
    return;
  }
  NextToken();
  SkipIfExists(/*withNot=*/true);
  std::string name;
  if (!ReadName(name)) return;
  std::unique_ptr<TViwData> owned;
  TViwData* view = given;
  if (!view) {
    owned = std::make_unique<TViwData>(Objs());
    view = owned.get();
  }
  // A view made for its stored text takes the name the text gives it.
  if (view->GetName().empty()) view->SetName(name);
  if (!algorithm.empty() && algorithm != "UNDEFINED") view->Algorithm = algorithm;
  if (!security.empty() && security != "DEFINER") view->SqlSecurity = security;
  if (TokenKind() == tk::LParen) {
    view->Columns.Clear();
    NextToken();
    while (IsNameToken()) {
      std::string col;
      ReadName(col);
      auto f = std::make_unique<TFldData>(Objs(), view);
      f->SetName(col);
      view->Columns.Add(col, std::move(f));
      if (TokenKind() != tk::Comma) break;
      NextToken();
    }
    if (!Expect(tk::RParen)) return;
    NextToken();
  }
  if (!Expect(myk::AS)) return;
  NextToken();
  view->SetText(ReadRawBody());
  if (owned) HandOn(std::move(owned));
}

void TMySQLParser::AfterParse() {
  TCustomSQLParser::AfterParse();
  if (TObjs* objs = Objs())
    for (auto& e : objs->Views)
      if (e.Value) LinkViewReferences(*e.Value);
}

// The server refuses a view over a function or a view that does not exist
// yet, so the script must create those first: the kept text is scanned
// for names (string literals and comments passed over), a name before "("
// being a call. A name after "." belongs to what stands before it.
void TMySQLParser::LinkViewReferences(TViwData& view) {
  TObjs* objs = Objs();
  const std::string& text = view.GetText();
  auto nameChar = [](char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
  };
  auto nextNonBlank = [&text](std::size_t i) {
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    return i < text.size() ? text[i] : '\0';
  };
  char before = '\0';  // the last character that is not a blank
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) <= ' ') {
      ++i;
      continue;
    }
    if (c == '\'' || c == '"') {
      for (++i; i < text.size() && text[i] != c; ++i)
        if (text[i] == '\\') ++i;
      ++i;
      before = c;
      continue;
    }
    if ((c == '-' && i + 1 < text.size() && text[i + 1] == '-') || c == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      const std::size_t close = text.find("*/", i + 2);
      i = close == std::string::npos ? text.size() : close + 2;
      continue;
    }
    std::string name;
    if (c == '`') {
      for (++i; i < text.size(); ++i) {
        if (text[i] == '`' && i + 1 < text.size() && text[i + 1] == '`') ++i;
        else if (text[i] == '`') break;
        name += text[i];
      }
      ++i;
    } else if (nameChar(c)) {
      while (i < text.size() && nameChar(text[i])) name += text[i++];
    } else {
      before = c;
      ++i;
      continue;
    }
    const bool qualified = before == '.';
    before = 'a';
    if (qualified || name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) continue;
    TDbObj* used = nullptr;
    if (nextNonBlank(i) == '(') {
      TPrcData probe(objs);
      probe.SetName(FoldName(name));
      probe.IsFunction = true;
      used = objs->FindProcedure(probe.GetKeyName());
    } else {
      used = objs->FindView(FoldName(name));
    }
    if (used && used != &view) LinkDependency(&view, used, {});
  }
}

// ----------------------------------------------------------------- triggers

void TMySQLParser::ParseCreateTrigger(TTrgData* given) {
  TTrgData* trigger = given;
  std::unique_ptr<TTrgData> owned;
  std::string name = given ? given->GetName() : std::string();
  std::uint8_t sub = 2;
  if (IsWord("TRIGGER")) {
    NextToken();
    SkipDefiner();
    SkipIfExists(/*withNot=*/true);
    if (!ReadName(name)) return;
    if (trigger && trigger->GetName().empty()) trigger->SetName(name);
    if (!trigger && Objs()) trigger = Objs()->FindTrigger(name);
    if (!trigger) {
      owned = std::make_unique<TTrgData>(Objs());
      owned->SetName(name);
      trigger = owned.get();
      sub = 1;
    }
    if (IsWord("BEFORE")) {
      trigger->Timing = 1;
    } else if (IsWord("AFTER")) {
      trigger->Timing = 2;
    } else {
      Error("Must be: BEFORE / AFTER");
      SkipTo(KindSet({tk::Terminator}));
      return;
    }
    NextToken();
    // INSERT [OR UPDATE [OR DELETE]]: the events as bits, and the
    // InterBase trigger-type code built from them.
    std::int32_t type = trigger->Timing == 1 ? 0 : 1;
    trigger->Events = 0;
    for (int n = 0; n < 3; ++n) {
      std::int32_t code = 0;
      if (TokenKind() == myk::INSERT) {
        trigger->Events |= 2;
        code = 1;
      } else if (TokenKind() == myk::UPDATE) {
        trigger->Events |= 4;
        code = 2;
      } else if (TokenKind() == myk::DELETE) {
        trigger->Events |= 8;
        code = 3;
      } else {
        if (n == 0) Error("Missing: INSERT/UPDATE/DELETE");
        break;
      }
      type += code << (2 * n + 1);
      NextToken();
      if (TokenKind() != myk::OR && TokenKind() != tk::Comma) break;
      NextToken();
    }
    trigger->TriggerType = type - 1;
    if (!Expect(myk::ON)) {
      SkipTo(KindSet({tk::Terminator}));
      return;
    }
    NextToken();
    std::string table;
    if (!ReadName(table)) return;
    trigger->SetTableName(table);
    if (IsWord("FOR")) {
      NextToken();
      if (ExpectWord("EACH")) NextToken();
      if (ExpectWord("ROW")) NextToken();
      trigger->ForEachRow = true;
    }
    if (IsWord("FOLLOWS") || IsWord("PRECEDES")) {
      NextToken();
      std::string other;
      ReadName(other);
    }
  }
  if (!trigger) {
    Error("Missing: TRIGGER");
    SkipTo(KindSet({tk::Terminator}));
    return;
  }
  // Any statement is a body: BEGIN ... END, a single SET, a labelled block.
  if (AtStatementEnd()) Error("Missing: trigger body");
  else trigger->SetText(ReadBody());
  DoLog("Trigger: " + name);
  Notify(6, name, sub, 3);
  if (owned) HandOn(std::move(owned));
}

// ----------------------------------------------------------------- routines

void TMySQLParser::ParseCreateRoutine(TPrcData* given) {
  if (IsWord("AGGREGATE")) NextToken();
  const bool isFunction = IsWord("FUNCTION");
  if (!isFunction && !IsWord("PROCEDURE")) {
    ExpectWord("PROCEDURE");
    SkipTo(KindSet({tk::Terminator}));
    return;
  }
  NextToken();
  SkipDefiner();
  SkipIfExists(/*withNot=*/true);
  std::string name;
  if (!ReadName(name)) return;

  // The routine to fill: the one given, the one whose stored text this is,
  // one of that name and kind in the collection, or a new one. Only a new
  // one is handed on: the collection holds the others already.
  TPrcData* routine = given;
  if (!routine)
    if (auto* p = dynamic_cast<TPrcData*>(reparsed_); p && p->IsFunction == isFunction) routine = p;
  if (!routine && Objs()) {
    TPrcData probe(Objs());
    probe.SetName(name);
    probe.IsFunction = isFunction;
    routine = Objs()->FindProcedure(probe.GetKeyName());
  }
  std::unique_ptr<TPrcData> owned;
  std::uint8_t sub = 2;
  if (!routine) {
    owned = std::make_unique<TPrcData>(Objs());
    owned->SetName(name);
    owned->IsFunction = isFunction;
    routine = owned.get();
    sub = 1;
  } else {
    // The text defines the parameters anew.
    routine->ClearParams();
  }

  if (Expect(tk::LParen)) {
    NextToken();
    while (!AtStatementEnd() && TokenKind() != tk::RParen) {
      const std::size_t before = TokenStart();
      std::uint8_t direction = 0;
      if (IsWord("IN")) direction = 1;
      else if (IsWord("OUT")) direction = 2;
      else if (IsWord("INOUT")) direction = 3;
      // A direction word is one only when a name follows it.
      if (direction != 0) {
        TLookahead saved(*this);
        NextToken();
        if (IsNameToken()) {
          // kept: an OUT parameter written back as IN would change the call
        } else {
          saved.Undo();
          direction = 0;
        }
      }
      if (!IsNameToken()) {
        Expect(tk::Ident);
        break;
      }
      std::unique_ptr<TFldData> param = ParseColumnDef(routine, nullptr, /*param=*/true, false);
      if (param) {
        param->ParamDirection = direction;
        const std::string pname = param->GetName();
        routine->InParams.Add(pname, std::move(param));
      }
      if (TokenKind() == tk::Comma) NextToken();
      else if (TokenKind() != tk::RParen) SkipItem("parameters of " + name);
      if (TokenStart() == before) break;
    }
    if (Expect(tk::RParen)) NextToken();
  }
  if (IsWord("RETURNS")) {
    std::unique_ptr<TFldData> result = ParseColumnDef(routine, nullptr, false, /*result=*/true);
    if (result) {
      const std::string rname = result->GetName();
      routine->OutParams.Add(rname, std::move(result));
    }
  } else if (isFunction) {
    ExpectWord("RETURNS");
  }

  // Characteristics, any number in any order; each round reads one or stops.
  for (;;) {
    const std::size_t before = TokenStart();
    if (IsWord("DETERMINISTIC")) {
      routine->MySQLCharacteristics |= 2;
      NextToken();
    } else if (TokenKind() == myk::NOT) {
      TLookahead saved(*this);
      NextToken();
      if (!IsWord("DETERMINISTIC")) {
        saved.Undo();
        break;
      }
      routine->MySQLCharacteristics |= 4;
      NextToken();
    } else if (IsWord("LANGUAGE")) {
      NextToken();
      if (Expect(myk::SQL)) {
        routine->MySQLCharacteristics |= 1;
        NextToken();
      }
    } else if (IsWord("CONTAINS") || IsWord("NO")) {
      const std::uint16_t bit = IsWord("NO") ? 16 : 8;
      NextToken();
      if (Expect(myk::SQL)) {
        routine->MySQLCharacteristics |= bit;
        NextToken();
      }
    } else if (IsWord("READS") || IsWord("MODIFIES")) {
      const std::uint16_t bit = IsWord("READS") ? 32 : 64;
      NextToken();
      if (Expect(myk::SQL)) NextToken();
      if (ExpectWord("DATA")) {
        routine->MySQLCharacteristics |= bit;
        NextToken();
      }
    } else if (TokenKind() == myk::SQL) {
      TLookahead saved(*this);
      NextToken();
      if (!IsWord("SECURITY")) {
        saved.Undo();
        break;
      }
      NextToken();
      if (IsWord("DEFINER")) routine->MySQLCharacteristics |= 128;
      else if (IsWord("INVOKER")) routine->MySQLCharacteristics |= 256;
      else Error("Missing: DEFINER / INVOKER");
      if (IsNameToken()) NextToken();
    } else if (IsWord("COMMENT")) {
      NextToken();
      if (Expect(tk::String)) {
        routine->SetDescription(TokenText());
        NextToken();
      }
    } else {
      break;
    }
    if (TokenStart() == before) break;
  }

  if (AtStatementEnd()) Error("Missing: routine body");
  else routine->SetText(ReadBody());
  DoLog((isFunction ? "Function: " : "Procedure: ") + name);
  Notify(6, name, sub, 2);
  if (owned) HandOn(std::move(owned));
}

}  // namespace qor
