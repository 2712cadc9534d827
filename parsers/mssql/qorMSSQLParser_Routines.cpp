// CREATE VIEW, CREATE/ALTER PROCEDURE and FUNCTION, CREATE/ALTER TRIGGER,
// CREATE RULE and CREATE DEFAULT. A script keeps each body as the raw text
// up to its GO line; a stored definition is read statement by statement
// with the object as context.
#include "parsers/mssql/qorMSSQLParser.h"

#include "model/qorClasses.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

// ------------------------------------------------------------------ bodies

std::string TMSSQLParser::ReadBody(TDbObj& context) {
  const std::size_t start = TokenStart();
  if (!BodyMode) return ReadBatchText();
  ParseStatementList([&] { return AtStatementEnd(); },
                     [&] {
                       TNestingGuard guard(*this);
                       return guard.Ok() && ParseBodyStatement(&context, "Unknown statement: ");
                     });
  return TextFrom(start);
}

// ------------------------------------------------------------------- views

void TMSSQLParser::ParseCreateView(TViwData* view, bool /*alter*/) {
  if (scan_.Kind == msk::View) NextToken();
  ParseObjectName(TDbObject::dboView, /*defaultOwner=*/true);
  std::unique_ptr<TViwData> owned;
  TViwData* v = view;
  if (!v) {
    owned = std::make_unique<TViwData>(Objs());
    v = owned.get();
    v->SetParentName(NameOwner);
    v->SetName(NameObject);
  }
  if (scan_.Kind == tk::LParen) {
    NextToken();
    v->Columns.Clear();
    while (scan_.Kind == tk::Ident) {
      auto f = std::make_unique<TFldData>(Objs(), v);
      f->SetName(FoldName(IdentText()));
      const std::string name = f->GetName();
      v->Columns.Add(name, std::move(f));
      NextToken();
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
    ExpectAndNext(tk::RParen);
  }
  if (scan_.Kind == msk::With) {
    NextToken();
    for (;;) {
      if (IsPlainWord("SCHEMABINDING")) v->SchemaBinding = true;
      else if (IsPlainWord("ENCRYPTION")) v->WithEncryption = true;
      else if (IsPlainWord("VIEW_METADATA")) v->ViewMetadata = true;
      else {
        Error("Unknown view option: " + CurTokenName() + " " + IdentText());
        break;
      }
      NextToken();
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
  }
  if (ExpectAndNext(msk::As)) {
    // A script keeps the text; a stored definition is read for what the
    // query uses.
    if (BodyMode) {
      const std::size_t start = TokenStart();
      ParseViewQuery(*v);
      v->SetText(NormalizeScriptText(TextFrom(start)));
    } else {
      v->SetText(NormalizeScriptText(ReadStatementText()));
      // A view of no query is refused by the server, and our script
      // would leave it out.
      if (v->GetText().empty()) Error("Missing: the view's query");
    }
  } else {
    SkipToBatchEnd();
  }
  DoLog("View: " + v->GetName());
  SetStatement(TDbObject::dboView, v->GetName(), 1);
  RememberBodyStart(owned ? HandOver(std::move(owned)) : v);
}

void TMSSQLParser::ParseViewQuery(TViwData& view) {
  ParseQuery(&view);
  if (scan_.Kind == msk::With) {
    NextToken();
    ExpectAndNext(msk::Check);
    ExpectAndNext(msk::Option);
  }
  while (scan_.Kind == tk::Semicolon) NextToken();
}

// ---------------------------------------------------------------- routines

void TMSSQLParser::ParseCreateRoutine(TDbObj* /*context*/, TPrcData* routine, bool function,
                                      bool alter) {
  if (scan_.Kind == msk::Proc || scan_.Kind == msk::Function) NextToken();
  inBodyStatement_ = true;
  ParseObjectName(TDbObject::dboProcedure, /*defaultOwner=*/true);
  std::unique_ptr<TPrcData> owned;
  TPrcData* p = routine;
  bool altered = false;
  if (alter && Objs()) {
    p = Objs()->FindProcedure(QualifiedName());
    altered = p != nullptr;
  }
  if (!p) {
    owned = std::make_unique<TPrcData>(Objs());
    p = owned.get();
    p->SetParentName(NameOwner);
    p->SetName(NameObject);
  }
  p->IsFunction = function;
  if (scan_.Kind == tk::Semicolon) {
    NextToken();
    if (Expect(tk::Integer)) Int32Value(p->GroupNumber);
    NextToken();
  }
  ParseRoutineParams(*p);
  if (scan_.Kind == msk::With) {
    NextToken();
    const std::size_t start = TokenStart();
    for (;;) {
      if (scan_.Kind == msk::Exec) {
        NextToken();
        ExpectAndNext(msk::As);
        if (scan_.Kind == tk::Ident || scan_.Kind == tk::String) NextToken();
        else Expect(tk::Ident);
      } else if (IsPlainWord("RETURNS") || IsPlainWord("CALLED")) {
        // RETURNS NULL ON NULL INPUT / CALLED ON NULL INPUT.
        while (!AtStatementEnd() && !IsPlainWord("INPUT")) NextToken();
        if (IsPlainWord("INPUT")) NextToken();
      } else if (scan_.Kind == tk::Ident) {
        // ENCRYPTION, RECOMPILE, SCHEMABINDING, NATIVE_COMPILATION ...
        NextToken();
        if (scan_.Kind == tk::Equal) {
          NextToken();
          NextToken();
        }
      } else {
        Expect(tk::Ident);
        break;
      }
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
    p->WithText = TextFrom(start);
  }
  if (scan_.Kind == msk::For) {
    NextToken();
    if (scan_.Kind == msk::Replication) NextToken();
  }
  ParseRoutineBody(*p);
  DoLog(std::string(function ? "Function: " : "Procedure: ") + p->GetName());
  SetStatement(TDbObject::dboProcedure, p->GetName(), altered ? 2 : 1);
  RememberBodyStart(owned ? HandOver(std::move(owned)) : p);
}

void TMSSQLParser::ParseRoutineParams(TPrcData& routine) {
  routine.ClearParams();
  const bool parens = scan_.Kind == tk::LParen;
  if (parens) NextToken();
  while (scan_.Kind == tk::Ident) {
    TNestingGuard guard(*this);
    if (!guard.Ok()) return;
    auto f = std::make_unique<TFldData>(Objs(), &routine);
    f->SetName(IdentText());
    f->TableName = routine.GetName();
    NextToken();
    if (scan_.Kind == msk::As) NextToken();
    ParseDataType(*f, /*add=*/false, /*allowComputed=*/false);
    for (;;) {
      if (scan_.Kind == tk::Equal) {
        NextToken();
        f->DefaultValue = ReadExpression();
        if (f->DefaultValue.empty()) Error("Missing: parameter default");
      } else if (IsPlainWord("OUTPUT") || IsPlainWord("OUT")) {
        f->ParamDirection = pdOut;
        NextToken();
      } else if (IsPlainWord("READONLY")) {
        NextToken();
      } else {
        break;
      }
    }
    const std::string name = f->GetName();
    routine.InParams.Add(name, std::move(f));
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (parens) ExpectAndNext(tk::RParen);
  if (!IsPlainWord("RETURNS")) return;
  NextToken();
  auto r = std::make_unique<TFldData>(Objs(), &routine);
  r->TableName = routine.GetName();
  if (scan_.Kind == tk::Ident && StartsWith(IdentText(), "@") &&
      TypeCode(scan_.Kind, IdentText()) == dt::Unknown) {
    // RETURNS @t TABLE (...): a table variable names the result.
    r->SetName(IdentText());
    NextToken();
  }
  ParseDataType(*r, /*add=*/false, /*allowComputed=*/false);
  if (r->DataType == dt::TABLE) routine.TableResult = true;
  const std::string name = r->GetName();
  routine.OutParams.Add(name, std::move(r));
}

void TMSSQLParser::ParseRoutineBody(TPrcData& routine) {
  // Without AS there is no body, and a routine without one is not written
  // (a header already in error has said so).
  if (errorAt_ == std::string::npos) Expect(msk::As);
  const std::size_t start = TokenStart();
  if (BodyMode && scan_.Kind == msk::As) NextToken();
  std::string text = ReadBody(routine);
  if (BodyMode) text = TextFrom(start);
  routine.SetText(NormalizeScriptText(text));
}

// ---------------------------------------------------------------- triggers

void TMSSQLParser::ParseCreateTrigger(TDbObj* /*context*/, TTrgData* trigger, bool alter) {
  if (scan_.Kind == msk::Trigger) NextToken();
  inBodyStatement_ = true;
  ParseObjectName(TDbObject::dboTrigger, /*defaultOwner=*/true);
  std::unique_ptr<TTrgData> owned;
  TTrgData* t = trigger;
  bool altered = false;
  if (alter && Objs()) {
    t = Objs()->FindTrigger(QualifiedName());
    altered = t != nullptr;
  }
  if (!t) {
    owned = std::make_unique<TTrgData>(Objs());
    t = owned.get();
    t->SetParentName(NameOwner);
    t->SetName(NameObject);
  }
  bool onDatabase = false;
  if (ExpectAndNext(msk::On)) {
    if (scan_.Kind == msk::Database) {
      NextToken();
      t->SetTableName("DATABASE");
      onDatabase = true;
    } else if (scan_.Kind == msk::All) {
      NextToken();
      ExpectWord("SERVER");
      if (IsPlainWord("SERVER")) NextToken();
      t->SetTableName("ALL SERVER");
      onDatabase = true;
    } else {
      ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
      // The table's schema is the trigger's.
      t->SetParentName(NameOwner);
      t->SetTableName(NameObject);
    }
  }
  if (scan_.Kind == msk::With) {
    // WITH ENCRYPTION / EXECUTE AS ...
    NextToken();
    for (;;) {
      if (scan_.Kind == msk::Exec) {
        NextToken();
        ExpectAndNext(msk::As);
        NextToken();
      } else if (scan_.Kind == tk::Ident) {
        NextToken();
      }
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
  }
  if (scan_.Kind == msk::For) {
    t->Timing = ttFor;
    NextToken();
  } else if (IsPlainWord("AFTER")) {
    t->Timing = ttAfter;
    NextToken();
  } else if (IsPlainWord("INSTEAD")) {
    t->Timing = ttInsteadOf;
    NextToken();
    ExpectAndNext(msk::Of);
  } else {
    Error("Must be: FOR / AFTER / INSTEAD OF");
  }
  t->Events = 0;
  t->EventText.clear();
  for (;;) {
    if (onDatabase) {
      if (scan_.Kind != tk::Ident) break;
      t->EventText += (t->EventText.empty() ? "" : ", ") + IdentText();
      NextToken();
    } else if (scan_.Kind == msk::Insert) {
      t->Events |= teInsert;
      NextToken();
    } else if (scan_.Kind == msk::Update) {
      t->Events |= teUpdate;
      NextToken();
    } else if (scan_.Kind == msk::Delete) {
      t->Events |= teDelete;
      NextToken();
    } else {
      break;
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (scan_.Kind == msk::With) {
    NextToken();
    if (IsPlainWord("APPEND")) {
      t->WithAppend = true;
      NextToken();
    }
  }
  if (scan_.Kind == msk::Not) {
    NextToken();
    ExpectAndNext(msk::For);
    ExpectAndNext(msk::Replication);
    t->NotForReplication = true;
  }
  if (ExpectAndNext(msk::As)) {
    t->SetText(NormalizeScriptText(ReadBody(*t)));
  } else {
    SkipToBatchEnd();
  }
  DoLog("Trigger: " + t->GetName());
  SetStatement(TDbObject::dboTrigger, t->GetName(), altered ? 2 : 1);
  RememberBodyStart(owned ? HandOver(std::move(owned)) : t);
}

// --------------------------------------------------------- rules, defaults

std::string TMSSQLParser::ReadRuleBody() {
  if (!BodyMode) return ReadBatchText();
  return ReadExpression();
}

void TMSSQLParser::ParseCreateRule(TRulData* rule) {
  if (scan_.Kind == msk::Rule) NextToken();
  std::string db, owner, name;
  ParseThreePartName(db, owner, name);
  std::unique_ptr<TRulData> owned;
  TRulData* r = rule;
  if (!r) {
    owned = std::make_unique<TRulData>(Objs());
    r = owned.get();
    r->SetName(FoldName(name));
  }
  if (ExpectAndNext(msk::As)) r->RuleText = ReadRuleBody();
  else SkipToBatchEnd();
  SetStatement(TDbObject::dboRule, r->GetName(), 1);
  DoLog("Rule: " + r->GetName());
  if (owned && Objs() && !r->GetName().empty()) Objs()->AddObject(owned, /*freeOnFail=*/true);
}

void TMSSQLParser::ParseCreateDefault(TDefData* def) {
  if (scan_.Kind == msk::Default) NextToken();
  std::string db, owner, name;
  ParseThreePartName(db, owner, name);
  std::unique_ptr<TDefData> owned;
  TDefData* d = def;
  if (!d) {
    owned = std::make_unique<TDefData>(Objs());
    d = owned.get();
    d->SetName(FoldName(name));
  }
  if (ExpectAndNext(msk::As)) d->Expression = ReadRuleBody();
  else SkipToBatchEnd();
  SetStatement(TDbObject::dboDefault, d->GetName(), 1);
  DoLog("Default: " + d->GetName());
  if (owned && Objs() && !d->GetName().empty()) Objs()->AddObject(owned, /*freeOnFail=*/true);
}

}  // namespace qor
