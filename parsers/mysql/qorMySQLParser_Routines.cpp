// Views, triggers and routines: their headers are read, their query and
// body texts kept as they stand.
#include "parsers/mysql/qorMySQLParser.h"

#include "model/qorClasses.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <cctype>
#include <cstddef>
#include <map>
#include <string>

namespace qor {

namespace {

// The tokens of a view's query or a trigger's body that tell what it uses:
// names (plain or quoted), parentheses, commas and dots. Literals,
// comments and variables are passed.
struct TBodyToken {
  enum TKind : std::uint8_t { Word, Quoted, Open, Close, Comma, Dot };
  TKind Kind;
  std::string Text;
};

bool IsBodyNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

std::vector<TBodyToken> BodyTokens(const std::string& text) {
  std::vector<TBodyToken> out;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const char c = text[i];
    if (c == '`') {
      std::string name;
      for (++i; i < n; ++i) {
        if (text[i] != '`') {
          name += text[i];
        } else if (i + 1 < n && text[i + 1] == '`') {
          name += '`';
          ++i;
        } else {
          break;
        }
      }
      ++i;
      out.push_back({TBodyToken::Quoted, std::move(name)});
      continue;
    }
    if (c == '@') {
      // @variable, @@system_variable, @'quoted'
      while (i < n && text[i] == '@') ++i;
      if (i < n && (text[i] == '\'' || text[i] == '"' || text[i] == '`'))
        i = PassLiteralOrComment(text, i);
      while (i < n && IsBodyNameChar(text[i])) ++i;
      continue;
    }
    if (IsBodyNameChar(c)) {
      const std::size_t start = i;
      while (i < n && IsBodyNameChar(text[i])) ++i;
      out.push_back({TBodyToken::Word, text.substr(start, i - start)});
      continue;
    }
    const std::size_t past = PassLiteralOrComment(text, i);
    if (past > i) {
      i = past;
      continue;
    }
    if (c == '(') out.push_back({TBodyToken::Open, {}});
    else if (c == ')') out.push_back({TBodyToken::Close, {}});
    else if (c == ',') out.push_back({TBodyToken::Comma, {}});
    else if (c == '.') out.push_back({TBodyToken::Dot, {}});
    ++i;
  }
  return out;
}

bool OneOf(const std::string& word, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words)
    if (word == w) return true;
  return false;
}

}  // namespace

// ------------------------------------------------------------- dependencies

void TMySQLParser::AfterParse() {
  ReferencePrimaryKeys();
  TCustomSQLParser::AfterParse();
  TObjs* objs = Objs();
  if (!objs) return;
  // Views and triggers name what they use only in their texts; the
  // dependency order of the script is made from these edges.
  for (auto& e : objs->Views)
    if (e.Value) LinkBodyReferences(*e.Value, e.Value->GetText());
  for (auto& e : objs->Triggers)
    if (e.Value) LinkBodyReferences(*e.Value, e.Value->GetText());
}

// A foreign key written without the columns it references means the
// referenced table's primary key, wherever in the script that is declared.
void TMySQLParser::ReferencePrimaryKeys() {
  TObjs* objs = Objs();
  if (!objs) return;
  std::map<std::string, const TCtrData*> primary;
  for (auto& e : objs->Constraints)
    if (const TCtrData* c = e.Value.get(); c && c->GetConstraintType() == ct::PrimaryKey)
      primary.emplace(c->GetTableName(), c);
  for (auto& e : objs->Constraints) {
    TCtrData* fk = e.Value.get();
    if (!fk || fk->GetConstraintType() != ct::ForeignKey || !fk->RefColumns.Empty()) continue;
    const auto key = primary.find(fk->GetRefTableName());
    if (key == primary.end()) continue;
    for (int j = 0; j < key->second->Columns.Count(); ++j)
      fk->RefColumns.Add(key->second->Columns.Name(j), nullptr);
  }
}

void TMySQLParser::LinkBodyReferences(TDbObj& user, const std::string& text) {
  TObjs* objs = Objs();
  const std::vector<TBodyToken> tokens = BodyTokens(text);
  // One level per parenthesis: whether its query is in a FROM list.
  std::vector<bool> inFrom(1, false);
  bool relationNext = false;
  auto isName = [&](std::size_t at) {
    return at < tokens.size() &&
           (tokens[at].Kind == TBodyToken::Word || tokens[at].Kind == TBodyToken::Quoted);
  };
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const TBodyToken& t = tokens[i];
    if (t.Kind == TBodyToken::Open || t.Kind == TBodyToken::Close) {
      if (t.Kind == TBodyToken::Open) inFrom.push_back(false);
      else if (inFrom.size() > 1) inFrom.pop_back();
      relationNext = false;
      continue;
    }
    if (t.Kind == TBodyToken::Comma) {
      relationNext = inFrom.back();
      continue;
    }
    if (!isName(i)) {
      relationNext = false;
      continue;
    }
    if (t.Kind == TBodyToken::Word) {
      const std::string word = UpperAscii(t.Text);
      if (OneOf(word, {"FROM", "JOIN", "STRAIGHT_JOIN"})) {
        inFrom.back() = true;
        relationNext = true;
        continue;
      }
      if (OneOf(word, {"INTO", "UPDATE"})) {
        relationNext = true;
        continue;
      }
      if (OneOf(word, {"WHERE", "GROUP", "HAVING", "ORDER", "LIMIT", "UNION", "EXCEPT", "INTERSECT",
                       "WINDOW", "ON", "USING", "SET", "SELECT", "VALUES", "RETURNING"})) {
        inFrom.back() = false;
        relationNext = false;
        continue;
      }
    }
    // A dotted name: its last part names the object (db.t, db.f).
    std::size_t last = i;
    int parts = 1;
    while (last + 2 < tokens.size() && tokens[last + 1].Kind == TBodyToken::Dot &&
           isName(last + 2)) {
      last += 2;
      ++parts;
    }
    const std::string name = FoldName(tokens[last].Text);
    if (last + 1 < tokens.size() && tokens[last + 1].Kind == TBodyToken::Open) {
      TPrcData probe(objs);
      probe.SetName(name);
      probe.IsFunction = true;
      if (TPrcData* f = objs->FindProcedure(probe.GetKeyName())) LinkDependency(&user, f, {});
    } else if (relationNext && parts <= 2) {
      TDbObj* used = objs->FindTable(name);
      if (!used) used = objs->FindView(name);
      if (used && used != &user) LinkDependency(&user, used, {});
    }
    relationNext = false;
    i = last;
  }
}

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
    } else if (TokenKind() == myk::Sql) {
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
    // A later definition replaces the one before (a dump's stand-in, OR
    // REPLACE).
    DropNamed("VIEW", name);
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
  if (!Expect(myk::As)) return;
  NextToken();
  view->SetText(ReadQueryText());
  if (owned) HandOn(std::move(owned));
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
      trigger->Timing = ttBefore;
    } else if (IsWord("AFTER")) {
      trigger->Timing = ttAfter;
    } else {
      Error("Must be: BEFORE / AFTER");
      SkipTo(KindSet({tk::Terminator}));
      return;
    }
    NextToken();
    // INSERT [OR UPDATE [OR DELETE]]: the events as bits, and the
    // InterBase trigger-type code built from them.
    std::int32_t type = trigger->Timing == ttBefore ? 0 : 1;
    trigger->Events = 0;
    for (int n = 0; n < 3; ++n) {
      std::int32_t code = 0;
      if (TokenKind() == myk::Insert) {
        trigger->Events |= teInsert;
        code = 1;
      } else if (TokenKind() == myk::Update) {
        trigger->Events |= teUpdate;
        code = 2;
      } else if (TokenKind() == myk::Delete) {
        trigger->Events |= teDelete;
        code = 3;
      } else {
        if (n == 0) Error("Missing: INSERT/UPDATE/DELETE");
        break;
      }
      type += code << (2 * n + 1);
      NextToken();
      if (TokenKind() != myk::Or && TokenKind() != tk::Comma) break;
      NextToken();
    }
    trigger->TriggerType = type - 1;
    if (!Expect(myk::On)) {
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
      if (IsWord("IN")) direction = pdIn;
      else if (IsWord("OUT")) direction = pdOut;
      else if (IsWord("INOUT")) direction = pdInOut;
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
      std::unique_ptr<TFldData> param = ParseColumnDef(routine, /*param=*/true, false);
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
    std::unique_ptr<TFldData> result = ParseColumnDef(routine, false, /*result=*/true);
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
    } else if (TokenKind() == myk::Not) {
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
      if (Expect(myk::Sql)) {
        routine->MySQLCharacteristics |= 1;
        NextToken();
      }
    } else if (IsWord("CONTAINS") || IsWord("NO")) {
      const std::uint16_t bit = IsWord("NO") ? 16 : 8;
      NextToken();
      if (Expect(myk::Sql)) {
        routine->MySQLCharacteristics |= bit;
        NextToken();
      }
    } else if (IsWord("READS") || IsWord("MODIFIES")) {
      const std::uint16_t bit = IsWord("READS") ? 32 : 64;
      NextToken();
      if (Expect(myk::Sql)) NextToken();
      if (ExpectWord("DATA")) {
        routine->MySQLCharacteristics |= bit;
        NextToken();
      }
    } else if (TokenKind() == myk::Sql) {
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
