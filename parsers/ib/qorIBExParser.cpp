// The body parser's entry points (which text of which object is parsed,
// bodies met inside scripts), its error prefix, the scope levels and the
// column references that wait on them, declarations, blocks and the PSQL
// statements other than queries and DML.
#include "parsers/ib/qorIBExParser.h"

#include "base/qorIBVersions.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorScopedValue.h"
#include "platform/qorStrings.h"

#include <cctype>

namespace qor {

namespace {

constexpr std::uint8_t kCheckConstraint = 3;

bool IsCheck(const TDbObj* obj) {
  const auto* c = dynamic_cast<const TCtrData*>(obj);
  return c && c->GetConstraintType() == kCheckConstraint;
}

// ASCII case-insensitive equality of a token text with an upper-case word.
bool SameUpper(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

}  // namespace

TIbExParser::TIbExParser(TExtractorHost* owner) : TIbParser(owner) { ShowProgress = true; }

TIbExParser::~TIbExParser() = default;

std::unique_ptr<TIbParser> TIbExParser::NewNestedParser() {
  return std::make_unique<TIbExParser>(Owner());
}

// ---- Words

bool TIbExParser::W(std::string_view upper) {
  const TTokenKind k = TokenKind();
  if (k == tk::Ident) return QuoteChar() == 0 && IdentText() == upper;
  return k >= static_cast<TTokenKind>(kSharedKindCount) && SameUpper(IdentText(), upper);
}

bool TIbExParser::ExpectW(std::string_view upper) {
  if (W(upper)) return true;
  Error("Must be: " + std::string(upper));
  return false;
}

std::string TIbExParser::CurrentWordText() {
  if (TokenKind() == tk::Ident) return IdentText();
  if (TokenKind() >= static_cast<TTokenKind>(kSharedKindCount)) return UpperAscii(IdentText());
  return {};
}

bool TIbExParser::AtStatementEnd() {
  const TTokenKind k = TokenKind();
  return k == tk::Semicolon || k == tk::Terminator || k == tk::EOFKind || IsKw(ibk::End);
}

void TIbExParser::SkipSemicolon() {
  if (TokenKind() == tk::Semicolon) NextToken();
}

// ---- Errors

void TIbExParser::Error(const std::string& text) {
  if (!obj_) {
    TIbParser::Error(text);
    return;
  }
  std::string prefix;
  if (dynamic_cast<TPrcData*>(obj_)) prefix = "Procedure ";
  else if (dynamic_cast<TTrgData*>(obj_)) prefix = "Trigger ";
  else if (dynamic_cast<TViwData*>(obj_)) prefix = "View ";
  else if (dynamic_cast<TIdxData*>(obj_)) prefix = "Index ";
  else if (IsCheck(obj_)) prefix = "Check-constraint ";
  auto* f = dynamic_cast<TFldData*>(obj_);
  if (f && !f->GetText().empty()) prefix = "Field " + f->GetTableName() + "/" + f->GetName() + ": ";
  else prefix += obj_->GetName() + ": ";
  const std::string message = prefix + text;
  if (!Messages().HasErrors()) DoError(message + PositionText());
  if (!ScriptName.empty())
    Messages().AddMsg(message, ScriptName, GetColumn(), GetLine(), kMsgError);
  else Messages().AddObjMsg(message, obj_, GetColumn(), GetLine(), kMsgError);
}

// ---- Entry points

void TIbExParser::ParseObjectText(TDbObj* obj) {
  if (!obj) {
    Error("Expression / body parsing not implemented.");
    return;
  }
  std::string text;
  auto* dmn = dynamic_cast<TDmnData*>(obj);
  auto* pkg = dynamic_cast<TPkgData*>(obj);
  if (dynamic_cast<TPrcData*>(obj) || dynamic_cast<TTrgData*>(obj) ||
      dynamic_cast<TViwData*>(obj) || dynamic_cast<TIdxData*>(obj) ||
      dynamic_cast<TFldData*>(obj) || IsCheck(obj)) {
    text = obj->GetText();
  } else if (dmn) {
    text = dmn->TypeHolder ? dmn->TypeHolder->CheckText : std::string();
  } else if (pkg) {
    // A package's header declares its routines; the body defines them.
    if (!pkg->HeaderText.empty()) {
      SetTerminator("^");
      SetSource(pkg->HeaderText);
      NextToken();
      inPackageHeader_ = true;
      ParseObjectSource(obj);
      inPackageHeader_ = false;
    }
    text = pkg->GetText();
  } else {
    Error(std::string("Body parsing for DB-Obj: (") + obj->ClassName() + ") not implemented.");
    return;
  }
  SetTerminator("^");
  if (!text.empty()) {
    SetSource(text);
    NextToken();
    ParseObjectSource(obj);
  }
  if (dmn && dmn->TypeHolder) {
    const std::string def = dmn->TypeHolder->GetDefaultText();
    if (!def.empty()) {
      SetSource(def);
      NextToken();
      ParseObjectSource(obj);
    }
  }
}

void TIbExParser::ParseObjectSource(TDbObj* obj) {
  LocalNames.Clear();
  obj_ = obj;
  BeginLinkMemory();
  // Parameters are names of the body, never columns or generators.
  if (auto* prc = dynamic_cast<TPrcData*>(obj)) {
    for (const TFieldList* l : {&prc->InParams, &prc->OutParams})
      for (int i = 0; i < l->Count(); ++i) LocalNames.Add(l->Name(i), 0);
  }
  auto* fld = dynamic_cast<TFldData*>(obj);
  auto* idx = dynamic_cast<TIdxData*>(obj);
  if (dynamic_cast<TTrgData*>(obj)) {
    if (IsKw(ibk::As)) NextToken();
    ParseDeclarations();
    ParseBlock();
  } else if (dynamic_cast<TPrcData*>(obj)) {
    if (IsKw(ibk::As)) NextToken();
    ParseDeclarations();
    ParseBlock();
  } else if (auto* pkg = dynamic_cast<TPkgData*>(obj)) {
    if (IsKw(ibk::As)) NextToken();
    if (ExpectKw(ibk::Begin)) {
      NextToken();
      ParsePackageRoutines(*pkg);
      if (ExpectKw(ibk::End)) NextToken();
    }
  } else if (dynamic_cast<TViwData*>(obj)) {
    ParseWithSelect();
  } else if (fld || idx || IsCheck(obj)) {
    // Bare column names resolve against the object's own table.
    const std::string table = fld   ? fld->GetTableName()
                              : idx ? idx->TableName
                                    : static_cast<TCtrData*>(obj)->GetTableName();
    PushLevel(true);
    TopScope()->AddRelation(table, {});
    if (IsKw(ibk::Computed)) {  // an index text may keep its COMPUTED BY
      NextToken();
      if (IsKw(ibk::By)) NextToken();
    }
    if (IsKw(ibk::Check)) NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseExpression();
      ExpectAndNext(tk::RParen);
    }
    PopLevel();
  } else if (dynamic_cast<TDmnData*>(obj)) {
    if (IsKw(ibk::Check)) NextToken();
    ParseExpression();
  }
  EndLinkMemory();
  LocalNames.Clear();
  obj_ = nullptr;
}

void TIbExParser::ReadBody(TDbObj& obj, std::size_t start) {
  if (start == kReadPosition) start = CurIndex();
  if (!dynamic_cast<TFldData*>(&obj)) NextToken();
  if (dynamic_cast<TPkgData*>(&obj)) start = TokenStart();
  const std::string saved = Terminator();
  const bool semicolonScript = saved == ";";
  if (semicolonScript) SetTerminator("^");
  inPackageHeader_ = ReadingPackageHeader;
  ParseObjectSource(&obj);
  inPackageHeader_ = false;
  // Whatever the grammar left before the statement's end is reported once
  // and passed, so the next statement is read from its start.
  auto atEnd = [&] {
    const TTokenKind k = TokenKind();
    return k == tk::Terminator || k == tk::EOFKind || (semicolonScript && k == tk::Semicolon);
  };
  if (!atEnd()) {
    obj_ = &obj;
    Expect(tk::Terminator);
    obj_ = nullptr;
    while (!atEnd()) NextToken();
  }
  SetTerminator(saved);
  if (semicolonScript && TokenKind() == tk::Semicolon) scan_.Kind = tk::Terminator;
  StoreBodyText(obj, TextFrom(start));
}

bool TIbExParser::ParseDefault(TFldData& column, std::string& text) {
  if (TokenKind() != tk::LParen) return TIbParser::ParseDefault(column, text);
  const std::size_t start = TokenStart();
  bool ok = false;
  {
    TScopedValue<TDbObj*> messagesFor(obj_, obj_ ? obj_ : &column);
    NextToken();
    ParseExpression();
    ok = Expect(tk::RParen);
  }
  if (!ok) return false;
  text = TrimCtl(GetText(start, CurIndex() - start));
  NextToken();
  return true;
}

// ---- Scope levels and the references that wait on them

void TIbExParser::PushLevel(bool active) {
  PushScope().Active = active;
  pending_.resize(static_cast<std::size_t>(ScopeCount()));
  pending_.back().clear();
}

void TIbExParser::PopLevel() {
  PopScope();
  pending_.resize(static_cast<std::size_t>(ScopeCount()));
}

int TIbExParser::InnermostPendingLevel() {
  for (int i = ScopeCount() - 1; i >= 0; --i)
    if (!Scope(i).Active) return i;
  return -1;
}

void TIbExParser::AddColumnRef(TDbObj* dependent, std::string_view relation,
                               std::string_view column) {
  if (!Objs() || column.empty()) return;
  TParseContext* top = TopScope();
  if (!top || (top->Active && top->Relations.empty())) {
    TIbParser::AddColumnRef(dependent, relation, column);
    return;
  }
  const int pending = InnermostPendingLevel();
  // A level still reading its select list knows no relations yet: the
  // reference waits until its FROM list has been read. One made in an inner
  // query is looked for in the levels above the waiting one first; the
  // waiting level would come before anything below it.
  if (pending < 0) {
    ResolveColumnRef(dependent, relation, column, 0);
    return;
  }
  if (pending == ScopeCount() - 1 || !ResolveColumnRef(dependent, relation, column, pending + 1))
    pending_[static_cast<std::size_t>(pending)].push_back(
        {dependent, std::string(relation), std::string(column)});
}

bool TIbExParser::ResolveColumnRef(TDbObj* dependent, std::string_view relation,
                                   std::string_view column, int lowest) {
  TParseContext* top = TopScope();
  if (!top) return false;
  if (!relation.empty()) {
    // The innermost level that names the relation, by alias or by name.
    for (int level = ScopeCount() - 1; level >= lowest; --level) {
      const TParseContext& sc = Scope(level);
      const std::string* name = nullptr;
      for (std::size_t i = 0; i < sc.Aliases.size() && !name; ++i)
        if (!sc.Aliases[i].empty() && SameText(sc.Aliases[i], relation)) name = &sc.Relations[i];
      for (std::size_t i = 0; i < sc.Relations.size() && !name; ++i)
        if (SameText(sc.Relations[i], relation)) name = &sc.Relations[i];
      if (!name) continue;
      if (TDbObj* r = FindRelation(*name))
        LinkDependency(dependent, r, column == "*" ? std::string_view() : column);
      return true;
    }
    return false;
  }
  if (column == "*") {
    for (const std::string& name : top->Relations)
      if (TDbObj* r = FindRelation(name)) LinkDependency(dependent, r, {});
    return true;
  }
  for (int level = ScopeCount() - 1; level >= lowest; --level)
    for (const std::string& name : Scope(level).Relations) {
      TDbObj* r = FindRelation(name);
      if (r && RelationHasColumn(r, column)) {
        LinkDependency(dependent, r, column);
        return true;
      }
    }
  return false;
}

void TIbExParser::ResolvePending() {
  const int level = ScopeCount() - 1;
  if (level < 0) return;
  Scope(level).Active = true;
  std::vector<TColumnRef> refs;
  refs.swap(pending_[static_cast<std::size_t>(level)]);
  const int below = InnermostPendingLevel();
  for (TColumnRef& ref : refs) {
    if (ResolveColumnRef(ref.Dependent, ref.Relation, ref.Column, below + 1)) continue;
    if (below >= 0) pending_[static_cast<std::size_t>(below)].push_back(std::move(ref));
  }
}

// ---- Links the grammar makes itself

bool TIbExParser::LinkFunction(const std::string& name) {
  TObjs* objs = Objs();
  if (!objs || !obj_) return false;
  TDbObj* fn = objs->FindUdf(name);
  if (!fn)
    if (TPrcData* p = objs->FindProcedure(name); p && p->IsFunction) fn = p;
  if (!fn || fn == obj_) return false;  // a recursive call is no edge
  if (auto* f = dynamic_cast<TFldData*>(obj_)) {
    TDbObj* table = dynamic_cast<TTblData*>(f->OwnerObj);
    if (!table) table = objs->FindTable(f->GetTableName());
    if (table) LinkDependency(table, fn, f->GetName());
    LinkDependency(f, fn, {});
    return true;
  }
  LinkDependency(obj_, fn, {});
  return true;
}

TDbObj* TIbExParser::ContextRelation() {
  if (auto* t = dynamic_cast<TTrgData*>(obj_)) return t->GetTableObj();
  if (IsCheck(obj_) && Objs())
    return Objs()->FindTable(static_cast<TCtrData*>(obj_)->GetTableName());
  return nullptr;
}

void TIbExParser::LinkContextColumn(const std::string& column) {
  if (TDbObj* r = ContextRelation()) LinkDependency(obj_, r, column);
}

// ---- Declarations

bool TIbExParser::ParseDeclaredType() {
  // The type alone (a literal-only column default would refuse "n + 1"),
  // then NOT NULL, COLLATE and an initial value of any expression.
  TFldData& f = ScratchColumn();
  f.DataType = dt::Unknown;
  f.DomainName.clear();
  f.TypeOf = false;
  f.TypeOfTable.clear();
  f.TypeOfColumn.clear();
  if (!ParseDataType(f)) return false;
  TObjs* objs = Objs();
  if (objs && obj_ && f.DataType == dt::UserType) {
    if (!f.TypeOfTable.empty()) {
      if (TDbObj* r = FindRelation(f.TypeOfTable)) LinkDependency(obj_, r, f.TypeOfColumn);
    } else if (TDmnData* d = objs->FindDomain(f.DomainName)) {
      LinkDependency(obj_, d, {});
    }
  }
  for (;;) {
    if (IsKw(ibk::Not)) {
      NextToken();
      if (ExpectKw(ibk::Null)) NextToken();
    } else if (IsKw(ibk::Collate)) {
      NextToken();
      if (Expect(tk::Ident)) NextToken();
    } else if (TokenKind() == tk::Equal || IsKw(ibk::Default)) {
      NextToken();
      ParseExpression();
      return true;
    } else {
      return true;
    }
  }
}

void TIbExParser::ParseDeclarations() {
  const TIBBodyCaps& caps = IBBodyCaps(ServerVersion());
  while (IsKw(ibk::Declare)) {
    NextToken();
    if (caps.from3 && (IsKw(ibk::Function) || IsKw(ibk::Procedure))) {
      ParseRoutineDefinition(IsKw(ibk::Function), /*block=*/false);
      SkipSemicolon();
      continue;
    }
    if (IsKw(ibk::Variable)) NextToken();
    if (!Expect(tk::Ident)) {
      while (!AtStatementEnd() && !IsKw(ibk::Declare)) NextToken();
      SkipSemicolon();
      continue;
    }
    LocalNames.Add(IdentText(), 0);
    NextToken();
    if (W("SCROLL")) NextToken();
    else if (IsKw(ibk::No)) {
      NextToken();
      if (W("SCROLL")) NextToken();
    }
    if (IsKw(ibk::Cursor)) {
      NextToken();
      if (ExpectKw(ibk::For)) NextToken();
      if (ExpectAndNext(tk::LParen)) {
        ParseWithSelect();
        ExpectAndNext(tk::RParen);
      }
    } else {
      ParseDeclaredType();
    }
    SkipSemicolon();
  }
}

void TIbExParser::ParseRoutineDefinition(bool isFunction, bool block) {
  // A sub-routine, a package's routine or EXECUTE BLOCK: its parameters are
  // names of the body, its references count for the object being parsed.
  TNestingGuard guard(*this);
  if (!guard.Ok()) return;
  if (!block) {
    NextToken();  // past FUNCTION or PROCEDURE
    if (!Expect(tk::Ident)) return;
    NextToken();
  }
  auto params = [&] {
    if (TokenKind() != tk::LParen) return;
    NextToken();
    while (TokenKind() == tk::Ident) {
      LocalNames.Add(IdentText(), 0);
      NextToken();
      if (!ParseDeclaredType()) break;
      if (TokenKind() != tk::Comma) break;
      NextToken();
    }
    ExpectAndNext(tk::RParen);
  };
  params();
  if (IsKw(ibk::Returns)) {
    NextToken();
    if (isFunction) ParseDeclaredType();
    else params();
    if (W("DETERMINISTIC")) NextToken();
  }
  if (W("SQL")) {
    NextToken();
    if (W("SECURITY")) NextToken();
    NextToken();
  }
  if (IsKw(ibk::External)) {
    while (!AtStatementEnd()) NextToken();
    return;
  }
  if (inPackageHeader_ || TokenKind() == tk::Semicolon) return;  // declared, defined later
  if (ExpectKw(ibk::As)) NextToken();
  ParseDeclarations();
  ParseBlock();
}

void TIbExParser::ParsePackageRoutines(TPkgData& /*pkg*/) {
  while (IsKw(ibk::Function) || IsKw(ibk::Procedure)) {
    ParseRoutineDefinition(IsKw(ibk::Function), /*block=*/false);
    SkipSemicolon();
  }
}

// ---- Blocks and statements

void TIbExParser::ParseBlock() {
  TNestingGuard guard(*this);
  if (!guard.Ok()) return;
  if (!ExpectKw(ibk::Begin)) return;
  NextToken();
  // The block ends at END; a missing END is found at the statement's
  // terminator, never past it.
  ParseStatementList(
      [&] { return IsKw(ibk::End) || TokenKind() == tk::EOFKind || TokenKind() == tk::Terminator; },
      [&] {
        ParseStatement();
        return true;
      });
  if (ExpectKw(ibk::End)) NextToken();
}

void TIbExParser::ParseStatement() {
  TNestingGuard guard(*this);
  if (!guard.Ok()) return;
  TObjs* objs = Objs();
  if (IsKw(ibk::Begin)) {
    ParseBlock();
  } else if (IsKw(ibk::Exception)) {
    NextToken();
    if (TokenKind() == tk::Ident) {
      LinkDepend(obj_, IdentText(), {TDbObject::dboException});
      NextToken();
      if (W("USING")) {
        NextToken();
        if (ExpectAndNext(tk::LParen)) {
          ParseValueList();
          ExpectAndNext(tk::RParen);
        }
      } else if (!AtStatementEnd()) {
        ParseExpression();
      }
    }
  } else if (IsKw(ibk::If)) {
    // ELSE IF continues the chain here: a chain of any length is one level.
    for (;;) {
      NextToken();  // past IF
      if (ExpectAndNext(tk::LParen)) {
        ParseExpression();
        ExpectAndNext(tk::RParen);
      }
      if (ExpectKw(ibk::Then)) NextToken();
      ParseStatement();
      SkipSemicolon();
      if (!IsKw(ibk::Else)) break;
      NextToken();
      if (!IsKw(ibk::If)) {
        ParseStatement();
        break;
      }
    }
  } else if (IsKw(ibk::Execute)) {
    ParseExecute();
  } else if (IsKw(ibk::For)) {
    ParseForStatement();
  } else if (IsKw(ibk::PostEvent)) {
    NextToken();
    ParseExpression();
  } else if (IsKw(ibk::Select)) {
    ParseSelect();
    if (IsKw(ibk::Into)) ParseIntoList();
  } else if (IsKw(ibk::Insert)) {
    ParseInsert(false);
  } else if (IsKw(ibk::Update)) {
    ParseUpdate();
  } else if (IsKw(ibk::Delete)) {
    ParseDelete();
  } else if (IsKw(ibk::When)) {
    NextToken();
    if (IsKw(ibk::Any)) {
      NextToken();
    } else {
      for (;;) {
        if (IsKw(ibk::Sqlcode)) {
          NextToken();
          ParseSimpleExpression();
        } else if (IsKw(ibk::Gdscode)) {
          NextToken();
          if (TokenKind() == tk::Ident) NextToken();  // an error name, no object
          else ParseSimpleExpression();
        } else if (IsKw(ibk::Exception)) {
          NextToken();
          if (Expect(tk::Ident)) {
            LinkDepend(obj_, IdentText(), {TDbObject::dboException});
            NextToken();
          }
        } else {
          return;
        }
        if (TokenKind() != tk::Comma) break;
        NextToken();
      }
    }
    if (IsKw(ibk::Do) || ExpectW("DO")) NextToken();
    ParseStatement();
  } else if (IsKw(ibk::While)) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseExpression();
      ExpectAndNext(tk::RParen);
    }
    if (IsKw(ibk::Do) || ExpectW("DO")) NextToken();
    ParseStatement();
  } else if (IsKw(ibk::With)) {
    ParseWithSelect();
    if (IsKw(ibk::Into)) ParseIntoList();
  } else if (IsKw(ibk::Alter)) {
    ParseAlterStatement();
  } else if (IsKw(ibk::Set)) {
    ParseSetStatement();
  } else if (IsKw(ibk::Merge)) {
    ParseMerge();
  } else if (IsKw(ibk::Exit) || IsKw(ibk::Suspend) || W("BREAK") || W("LEAVE") || W("CONTINUE")) {
    NextToken();
    if (TokenKind() == tk::Ident) NextToken();  // a label
  } else if (IsKw(ibk::In)) {
    NextToken();
    if (!W("AUTONOMOUS")) {
      Error("AUTONOMOUS expected, but " + UpperAscii(CurrentWordText()) + " found.");
      return;
    }
    NextToken();
    if (!W("TRANSACTION")) {
      Error("TRANSACTION expected, but " + UpperAscii(CurrentWordText()) + " found.");
      return;
    }
    NextToken();
    if (IsKw(ibk::Do) || ExpectW("DO")) NextToken();
    ParseStatement();
  } else if (W("RETURN")) {
    NextToken();
    if (!AtStatementEnd()) ParseExpression();
  } else if (IsKw(ibk::Open) || IsKw(ibk::Close)) {
    NextToken();
    if (Expect(tk::Ident)) NextToken();
  } else if (IsKw(ibk::Fetch)) {
    NextToken();
    if (W("NEXT") || W("PRIOR") || W("FIRST") || W("LAST")) {
      NextToken();
    } else if (W("ABSOLUTE") || W("RELATIVE")) {
      NextToken();
      ParseSimpleExpression();
    }
    if (IsKw(ibk::From)) NextToken();
    if (Expect(tk::Ident)) NextToken();
    if (IsKw(ibk::Into)) ParseIntoList();
  } else if (TokenKind() == tk::Colon || TokenKind() == tk::Ident ||
             TokenKind() >= static_cast<TTokenKind>(kSharedKindCount)) {
    if (TokenKind() == tk::Colon) NextToken();
    const std::string name = TokenKind() == tk::Ident ? IdentText() : CurrentWordText();
    NextToken();
    if (TokenKind() == tk::Colon) {  // a label
      NextToken();
      return;
    }
    bool packaged = false;
    if (TokenKind() == tk::Dot) {  // PKG.F(...) is a call; T.C = ... an assignment
      TParseContext saved(this);
      NextToken();
      packaged = TokenKind() == tk::Ident && IsFunctionCallAhead();
      if (packaged) {
        if (TPkgData* pkg = objs ? objs->FindPackage(name) : nullptr; pkg && obj_ && pkg != obj_)
          LinkDependency(obj_, pkg, {});
        NextToken();
      } else {
        TParseContext::Restore(*this, saved);
      }
    }
    if (TokenKind() == tk::LParen) {  // a call of a function by name, its result dropped
      if (objs && !packaged) LinkFunction(name);
      NextToken();
      if (TokenKind() != tk::RParen) ParseValueList();
      ExpectAndNext(tk::RParen);
    } else {
      ParseAssignment(name);
    }
  } else {
    Error("Invalid statement: " + CurTokenName());
  }
  SkipSemicolon();
}

void TIbExParser::ParseAssignment(const std::string& target) {
  const bool context = SameUpper(target, "NEW") || SameUpper(target, "OLD");
  if (context && TokenKind() == tk::Dot) {
    NextToken();
    const bool star = TokenKind() == tk::Star && IBBodyCaps(ServerVersion()).fb4;
    if (star || Expect(tk::Ident)) {
      if (!dynamic_cast<TTrgData*>(obj_))
        Error("NEW./OLD. context variable is not into trigger body.");
      else LinkContextColumn(star ? std::string() : IdentText());
      NextToken();
    }
  } else if (TokenKind() == tk::Dot) {
    NextToken();
    if (Expect(tk::Ident)) {
      AddColumnRef(obj_, target, IdentText());
      NextToken();
    }
  } else if (ScopeCount() > 0 && LocalNames.IndexOf(target) < 0) {
    AddColumnRef(obj_, {}, target);
  }
  if (TokenKind() == tk::Equal) {
    NextToken();
    ParseExpression();
  } else if (TokenKind() == tk::Colon) {
    NextToken();
  } else {
    Error("Invalid statement (? assignment)");
  }
}

void TIbExParser::ParseForStatement() {
  NextToken();  // past FOR
  if (IsKw(ibk::Select)) {
    ParseSelect();
    // A named cursor needs no INTO: its rows are read through the cursor.
    if (IsKw(ibk::As)) ParseCursorName();
    else if (IsKw(ibk::Into) || ExpectKw(ibk::Into)) ParseIntoList();
  } else if (IsKw(ibk::Execute)) {
    NextToken();
    if (ExpectW("STATEMENT")) NextToken();
    ParseExecuteStatementOptions();
    if (ExpectKw(ibk::Into)) ParseIntoList();
  } else if (IsKw(ibk::With)) {
    ParseWithSelect();
    if (ExpectKw(ibk::Into)) ParseIntoList();
  } else {
    Error("Must be: SELECT / EXECUTE / WITH");
    if (TokenKind() != tk::EOFKind && TokenKind() != tk::Terminator) NextToken();
  }
  if (IsKw(ibk::Do) || ExpectW("DO")) NextToken();
  ParseStatement();
}

void TIbExParser::ParseIntoList() {
  if (IsKw(ibk::Into)) NextToken();
  for (;;) {
    ParseFactor();
    if (TokenKind() != tk::Comma) break;
    NextToken();
  }
  if (IsKw(ibk::As)) ParseCursorName();
}

void TIbExParser::ParseCursorName() {
  NextToken();  // past AS
  if (IsKw(ibk::Cursor) || ExpectKw(ibk::Cursor)) NextToken();
  if (Expect(tk::Ident)) {
    LocalNames.Add(IdentText(), 0);
    NextToken();
  }
}

bool TIbExParser::IsCursorAhead() {
  // AS CURSOR ends a FOR SELECT: the AS is no alias's. Read at character
  // level, as the next token is not scanned yet.
  std::size_t i = CurIndex();
  while (i < GetLength() && IsBlank(CharAt(i))) ++i;
  static constexpr std::string_view kWord = "CURSOR";
  for (char w : kWord) {
    char c = CharAt(i++);
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != w) return false;
  }
  const char next = CharAt(i);
  return !(std::isalnum(static_cast<unsigned char>(next)) || next == '_' || next == '$');
}

// ---- EXECUTE

void TIbExParser::ParseExecute() {
  NextToken();  // past EXECUTE
  TObjs* objs = Objs();
  if (IsKw(ibk::Procedure)) {
    NextToken();
    std::string package, name;
    if (Expect(tk::Ident)) {
      name = IdentText();
      NextToken();
      if (TokenKind() == tk::Dot) {
        NextToken();
        if (Expect(tk::Ident)) {
          package = name;
          name = IdentText();
          NextToken();
        }
      }
    }
    if (objs && obj_ && !name.empty()) {
      TDbObj* target = nullptr;
      if (!package.empty()) target = objs->FindPackage(package);
      if (!target) target = objs->FindProcedure(name);
      // A procedure calling itself is no edge.
      if (target && target != obj_) LinkDependency(obj_, target, {});
    }
    // "(a, b)" or a bare list.
    auto values = [&] {
      if (TokenKind() != tk::LParen) {
        ParseValueList();
        return;
      }
      NextToken();
      if (TokenKind() != tk::RParen) ParseValueList();
      ExpectAndNext(tk::RParen);
    };
    if (!IsKw(ibk::ReturningValues) && !AtStatementEnd()) values();
    if (IsKw(ibk::ReturningValues)) {
      NextToken();
      values();
    }
    return;
  }
  if (W("STATEMENT")) {
    NextToken();
    ParseExecuteStatementOptions();
    if (IsKw(ibk::Into)) ParseIntoList();
    return;
  }
  if (W("BLOCK")) {
    NextToken();
    ParseRoutineDefinition(/*isFunction=*/false, /*block=*/true);
    return;
  }
  Error("Must be: PROCEDURE / STATEMENT.");
}

void TIbExParser::ParseExecuteStatementOptions() {
  ParseExpression();
  if (TokenKind() == tk::LParen) {
    NextToken();
    for (;;) {
      ParseExpression();
      if (TokenKind() == ibk::Assign) {
        NextToken();
        ParseExpression();
      }
      if (TokenKind() != tk::Comma) break;
      NextToken();
    }
    ExpectAndNext(tk::RParen);
  }
  const bool from3 = IBBodyCaps(ServerVersion()).from3;
  for (;;) {
    if (IsKw(ibk::With)) {
      NextToken();
      if (W("AUTONOMOUS") || W("COMMON")) {
        NextToken();
        if (ExpectW("TRANSACTION")) NextToken();
      } else if (W("CALLER")) {
        NextToken();
        if (IsKw(ibk::Privileges) || ExpectW("PRIVILEGES")) NextToken();
      } else {
        Error("Must be: AUTONOMOUS / COMMON / CALLER");
        return;
      }
    } else if (IsKw(ibk::As)) {
      NextToken();
      if (IsKw(ibk::User) || ExpectW("USER")) NextToken();
      ParseExpression();
    } else if (IsKw(ibk::Password) || (from3 && W("PASSWORD")) || IsKw(ibk::Role)) {
      NextToken();
      ParseExpression();
    } else if (IsKw(ibk::On)) {
      NextToken();
      if (IsKw(ibk::External) || ExpectKw(ibk::External)) NextToken();
      if (W("DATA")) {
        NextToken();
        if (ExpectW("SOURCE")) NextToken();
      }
      ParseExpression();
    } else {
      return;
    }
  }
}

// ---- ALTER and SET inside a body

void TIbExParser::ParseAlterStatement() {
  NextToken();  // past ALTER
  if (W("SEQUENCE")) {
    NextToken();
    if (Expect(tk::Ident)) {
      LinkDepend(obj_, IdentText(), {TDbObject::dboGenerator});
      NextToken();
    }
    if (W("RESTART")) {
      NextToken();
      if (IsKw(ibk::With)) {
        NextToken();
        ParseExpression();
      }
    }
    return;
  }
  if (IBBodyCaps(ServerVersion()).fb4 && W("SESSION")) {
    NextToken();
    if (ExpectW("RESET")) NextToken();
    return;
  }
  Error("Unknown ALTER-statement");
  if (!AtStatementEnd()) NextToken();
}

void TIbExParser::ParseSetStatement() {
  NextToken();  // past SET
  const bool fb4 = IBBodyCaps(ServerVersion()).fb4;
  if (IsKw(ibk::Generator)) {
    NextToken();
    if (Expect(tk::Ident)) {
      LinkDepend(obj_, IdentText(), {TDbObject::dboGenerator});
      NextToken();
    }
    if (ExpectKw(ibk::To)) NextToken();
    ParseExpression();
  } else if (IsKw(ibk::Statistics)) {
    NextToken();
    if (ExpectKw(ibk::Index)) NextToken();
    if (Expect(tk::Ident)) {
      LinkDepend(obj_, IdentText(), {TDbObject::dboIndex});
      NextToken();
    }
  } else if (fb4 && (W("DECFLOAT") || W("INT128") || W("SESSION") || W("STATEMENT") ||
                     W("LOCAL_TIMEOUT") || IsKw(ibk::Role) || W("ROLE") || W("TRUSTED") ||
                     IsKw(ibk::Time))) {
    // Session settings name no object: passed to the statement's end.
    while (!AtStatementEnd()) NextToken();
  } else {
    Error("Unknown SET-statement");
    if (!AtStatementEnd()) NextToken();
  }
}

}  // namespace qor
