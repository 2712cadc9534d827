// The InterBase/Firebird statements of generators and sequences,
// exceptions, roles, views, routines, triggers, descriptions and drops.
#include "parsers/ib/qorIBParser.h"

#include "base/qorDBOptions.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

// ---- Redefinition

void TIbParser::StoreObject(std::unique_ptr<TDbObj> obj) {
  // A later definition wins: RECREATE, CREATE OR ALTER, or CREATE after
  // DROP leave the new object, never the old one beside a freed new one.
  if (TObjs* objs = Objs()) objs->DropStored(obj->GetKind(), obj->GetKeyName());
  AddObject(obj, /*freeIfRejected=*/true);
}

// ---- Generators and sequences

bool TIbParser::ParseCreateGenerator() {
  const bool sequence = IsWord("SEQUENCE");
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  auto gen = std::make_unique<TGnrData>(Objs());
  gen->SetName(name);
  NextToken();
  if (!ParseSequenceOptions(*gen)) return false;
  DoLog("Generator: " + name);
  NotifyObject(ibs::Create, TDbObject::dboGenerator, name);
  (void)sequence;
  StoreObject(std::move(gen));
  return true;
}

bool TIbParser::ParseSequenceOptions(TGnrData& gen) {
  // [RESTART] [START] WITH n, INCREMENT [BY] n: values are 64-bit, kept as text.
  for (;;) {
    if (IsWord("START") || IsWord("RESTART")) {
      NextToken();
      if (IsKw(ibk::With)) {
        NextToken();
        if (!Expect(tk::Integer)) return false;
        gen.StartWith = TokenText();
        NextToken();
      }
    } else if (IsWord("INCREMENT")) {
      NextToken();
      if (IsKw(ibk::By)) NextToken();
      if (!Expect(tk::Integer)) return false;
      gen.IncrementBy = TokenText();
      NextToken();
    } else {
      return true;
    }
  }
}

bool TIbParser::ParseAlterSequence() {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  NextToken();
  TGnrData* gen = Objs() ? Objs()->FindGenerator(name) : nullptr;
  TGnrData scratch(Objs());
  if (!ParseSequenceOptions(gen ? *gen : scratch)) return false;
  NotifyObject(ibs::Alter, TDbObject::dboGenerator, name);
  return true;
}

// ---- Exceptions and roles

bool TIbParser::ParseCreateException(bool alter) {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  NextToken();
  if (!Expect(tk::String)) return false;
  const std::string message = TokenText();
  NextToken();
  DoLog("Exception: " + name);
  TExcData* existing = alter && Objs() ? Objs()->FindException(name) : nullptr;
  NotifyObject(existing ? ibs::Alter : ibs::Create, TDbObject::dboException, name);
  if (existing) {
    existing->Message = message;
    return true;
  }
  auto exc = std::make_unique<TExcData>(Objs());
  exc->SetName(name);
  exc->Message = message;
  StoreObject(std::move(exc));
  return true;
}

bool TIbParser::ParseCreateRole() {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  NextToken();
  auto role = std::make_unique<TRolData>(Objs());
  role->SetName(name);
  role->RoleKind = rk::Role;
  DoLog("Role: " + name);
  NotifyObject(ibs::Create, TDbObject::dboRole, name);
  StoreObject(std::move(role));
  return true;
}

// ---- Views

bool TIbParser::ParseCreateView() {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  auto view = std::make_unique<TViwData>(Objs());
  view->SetName(name);
  NextToken();
  if (TokenKind() == tk::LParen && !ParseColumnList(view->Columns, view.get())) return false;
  if (!ExpectKw(ibk::As)) return false;
  DoLog("View: " + name);
  ReadBody(*view);
  NotifyObject(ibs::Create, TDbObject::dboView, name);
  StoreObject(std::move(view));
  return true;
}

// ---- Procedures and functions

bool TIbParser::ParseParam(TFieldList& list, TDbObj* routine, std::uint8_t direction) {
  std::string name;
  if (!ReadName(name)) return false;
  auto p = std::make_unique<TFldData>(Objs(), routine);
  p->SetName(name);
  p->SetObjType(TDbObject::dboParam);
  p->ParamDirection = direction;
  NextToken();
  TFldData* raw = p.get();
  list.Add(name, std::move(p));
  return ParseDataType(*raw) && ParseColumnOptions(*raw, nullptr, nullptr, {});
}

bool TIbParser::ParseCreateRoutine(bool isFunction, bool alter) {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  NextToken();
  TObjs* objs = Objs();
  TPrcData* existing = alter && objs ? objs->FindProcedure(name) : nullptr;
  std::unique_ptr<TPrcData> fresh;
  TPrcData* r = existing;
  // Descriptions of parameters that keep their names survive a redefinition.
  std::vector<std::pair<std::string, std::string>> descriptions;
  if (existing) {
    for (const TFieldList* l : {&existing->InParams, &existing->OutParams})
      for (int i = 0; i < l->Count(); ++i)
        if (TFldData* f = l->Object(i))
          descriptions.emplace_back(f->GetName(), f->GetDescription());
    for (TFieldList* l : {&existing->InParams, &existing->OutParams}) {
      for (int i = 0; i < l->Count(); ++i)
        if (TFldData* f = l->Object(i)) objs->DetachObject(f);
      l->Clear();
    }
    existing->SetText("");
  } else {
    fresh = std::make_unique<TPrcData>(objs);
    fresh->SetName(name);
    r = fresh.get();
  }
  r->IsFunction = isFunction;
  DoLog((isFunction ? "Function: " : "Procedure: ") + name);
  if (TokenKind() == tk::LParen) {
    NextToken();
    while (TokenKind() != tk::RParen) {
      if (!ParseParam(r->InParams, r, 0)) return false;
      if (TokenKind() != tk::Comma) break;
      NextToken();
    }
    if (!ExpectAndNext(tk::RParen)) return false;
  }
  if (IsKw(ibk::Returns)) {
    NextToken();
    if (isFunction) {
      auto res = std::make_unique<TFldData>(objs, r);
      res->SetName("RESULT");
      res->SetObjType(TDbObject::dboParam);
      TFldData* raw = res.get();
      r->OutParams.Add("RESULT", std::move(res));
      if (!ParseDataType(*raw) || !ParseColumnOptions(*raw, nullptr, nullptr, {})) return false;
      if (IsWord("DETERMINISTIC")) {
        r->Deterministic = true;
        NextToken();
      }
    } else {
      if (!ExpectAndNext(tk::LParen)) return false;
      while (TokenKind() != tk::RParen) {
        if (!ParseParam(r->OutParams, r, 0)) return false;
        if (TokenKind() != tk::Comma) break;
        NextToken();
      }
      if (!ExpectAndNext(tk::RParen)) return false;
    }
  }
  for (const auto& [param, text] : descriptions)
    if (TFldData* f = objs->FindParam(r->GetKeyName(), param); f && !text.empty())
      f->SetDescription(text);
  if (AtSqlSecurity() && !ParseSqlSecurity(name, /*drop=*/false)) return false;
  if (IsKw(ibk::External)) {
    // EXTERNAL NAME '...' ENGINE x: an external routine has no body here.
    SkipTo(KindSet({tk::Terminator}));
  } else if (TokenKind() != tk::Terminator && TokenKind() != tk::EOFKind) {
    if (!ExpectKw(ibk::As)) return false;
    ReadBody(*r);
  }
  NotifyObject(existing ? ibs::Alter : ibs::Create, TDbObject::dboProcedure, name);
  if (fresh) {
    StoreObject(std::move(fresh));
  }
  return true;
}

// ---- Triggers

namespace {

// Both halves of every edge the object's old body linked.
void DropOutgoingEdges(TObjs& objs, TDbObj& obj) {
  std::vector<TDbObj*> targets;
  for (const auto& e : obj.DependsOn())
    if (e.Value && e.Value->Target) targets.push_back(e.Value->Target);
  for (TDbObj* target : targets) objs.RemoveDependencyEdges(&obj, target);
}

}  // namespace

bool TIbParser::ParseDDLTriggerEvents(TTrgData& t, bool after) {
  std::int64_t events = 0;
  if (IsKw(ibk::Any)) {
    NextToken();
    if (!ExpectWord("DDL")) return false;
    NextToken();
    if (!ExpectWord("STATEMENT")) return false;
    NextToken();
    events = kIBAnyDDLEvents;
  } else {
    // The object words after CREATE, ALTER or DROP; a kind of 0 is a word
    // no server version reserves.
    struct TObjectWord {
      const char* word;
      TTokenKind kind;
      const char* second;  // the word that must follow, if any
    };
    static constexpr TObjectWord kObjects[] = {
        {"TABLE", ibk::Table, nullptr},
        {"PROCEDURE", ibk::Procedure, nullptr},
        {"FUNCTION", ibk::Function, nullptr},
        {"TRIGGER", ibk::Trigger, nullptr},
        {"EXCEPTION", ibk::Exception, nullptr},
        {"VIEW", ibk::View, nullptr},
        {"DOMAIN", ibk::Domain, nullptr},
        {"ROLE", ibk::Role, nullptr},
        {"INDEX", ibk::Index, nullptr},
        {"SEQUENCE", 0, nullptr},
        {"USER", ibk::User, nullptr},
        {"COLLATION", 0, nullptr},
        {"CHARACTER", ibk::Character, "SET"},
        {"PACKAGE", 0, nullptr},
        {"MAPPING", 0, nullptr},
    };
    for (;;) {
      const char* verb = IsKw(ibk::Create)  ? "CREATE"
                         : IsKw(ibk::Alter) ? "ALTER"
                         : IsKw(ibk::Drop)  ? "DROP"
                                            : nullptr;
      if (!verb) {
        Error("Must be: INSERT / UPDATE / DELETE / CREATE / ALTER / DROP / ANY DDL STATEMENT");
        return false;
      }
      NextToken();
      const TObjectWord* object = nullptr;
      for (const TObjectWord& o : kObjects)
        if (o.kind ? IsKw(o.kind) : IsWord(o.word)) object = &o;
      if (!object) {
        Error(std::string("Unknown event for DDL trigger: ") + verb + " " +
              (TokenKind() == tk::Ident ? IdentText() : CurTokenName()));
        return false;
      }
      std::string event = std::string(verb) + " " + object->word;
      NextToken();
      if (object->second) {
        if (!ExpectKw(ibk::Set)) return false;
        event += std::string(" ") + object->second;
        NextToken();
      } else if (std::string_view(object->word) == "PACKAGE" && IsWord("BODY")) {
        event += " BODY";
        NextToken();
      }
      const std::int64_t bit = IBDDLEventBit(event);
      if (bit == 0) {
        Error("Unknown event for DDL trigger: " + event);
        return false;
      }
      events |= bit;
      if (!IsKw(ibk::Or)) break;
      NextToken();
    }
  }
  t.Timing = after ? ttAfter : ttBefore;
  t.Events = 0;
  t.EventText.clear();
  t.TriggerType = kIBDDLTrigger | events | (after ? 1 : 0);
  return true;
}

bool TIbParser::AtSqlSecurity() {
  if (!IsWord("SQL")) return false;
  TParseContext saved(this);
  NextToken();
  const bool security = IsWord("SECURITY");
  TParseContext::Restore(*this, saved);
  return security;
}

bool TIbParser::ParseSqlSecurity(const std::string& name, bool drop) {
  NextToken();  // past SQL
  NextToken();  // past SECURITY
  if (drop) {
    Note("DROP SQL SECURITY of " + name + " is not kept");
    return true;
  }
  if (!IsWord("DEFINER") && !IsWord("INVOKER")) {
    Error("Must be: DEFINER / INVOKER");
    return false;
  }
  // The model has no place for it on this kind of object.
  Note("SQL SECURITY " + UpperAscii(IdentText()) + " of " + name + " is not kept");
  NextToken();
  return true;
}

bool TIbParser::ParseTriggerRelationOn(std::string& table, bool forTable, const std::string& name) {
  // The standard's order: [ACTIVE] BEFORE INSERT [POSITION n] ON table; then
  // SQL SECURITY, or ALTER's DROP SQL SECURITY.
  if (!forTable && IsKw(ibk::On)) {
    NextToken();
    if (!ReadName(table)) return false;
    NextToken();
  }
  const bool drop = IsKw(ibk::Drop);
  if (drop) NextToken();
  if (AtSqlSecurity()) return ParseSqlSecurity(name, drop);
  if (drop) {
    Error("Must be: SQL SECURITY");
    return false;
  }
  return true;
}

bool TIbParser::ParseCreateTrigger(bool alter) {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  NextToken();
  TObjs* objs = Objs();
  TTrgData* existing = alter && objs ? objs->FindTrigger(name) : nullptr;
  // ALTER keeps what the statement does not give anew: table, timing,
  // events, position and body. Work on a copy of the header, so a
  // statement that fails leaves the stored trigger as it was.
  auto t = std::make_unique<TTrgData>(objs);
  t->SetName(name);
  if (existing) {
    t->Active = existing->Active;
    t->Timing = existing->Timing;
    t->Events = existing->Events;
    t->Position = existing->Position;
    t->TriggerType = existing->TriggerType;
    t->EventText = existing->EventText;
    t->SetText(existing->GetText());
  }
  std::string table = existing ? existing->GetTableName() : std::string();
  const bool forTable = IsKw(ibk::For);
  if (forTable) {
    NextToken();
    if (!ReadName(table)) return false;
    NextToken();
  }
  if (IsKw(ibk::Active) || IsKw(ibk::Inactive)) {
    t->Active = IsKw(ibk::Active);
    NextToken();
  }
  if (IsKw(ibk::On)) {
    NextToken();
    std::string event;
    if (IsWord("CONNECT") || IsWord("DISCONNECT")) {
      event = IdentText();
    } else if (IsWord("TRANSACTION")) {
      NextToken();
      if (!IsWord("START") && !IsKw(ibk::Commit) && !IsWord("ROLLBACK")) {
        Error("Unknown event for database trigger");
        return false;
      }
      event = "TRANSACTION " + UpperAscii(IdentText().empty() ? CurTokenName() : IdentText());
    } else {
      Error("Unknown event for database trigger");
      return false;
    }
    NextToken();
    t->EventText = event;
    // The catalog's type codes of database triggers.
    // clang-format off
    static const std::pair<const char*, std::int32_t> kCodes[] = {
        {"CONNECT", 8192}, {"DISCONNECT", 8193}, {"TRANSACTION START", 8194},
        {"TRANSACTION COMMIT", 8195}, {"TRANSACTION ROLLBACK", 8196}};
    // clang-format on
    for (const auto& [text, code] : kCodes)
      if (event == text) t->TriggerType = code;
    table = "DATABASE";
  } else if (IsKw(ibk::Before) || IsKw(ibk::After)) {
    const bool after = IsKw(ibk::After);
    NextToken();
    // A trigger on no table whose events are not those of rows is a DDL
    // trigger.
    const bool onTable = !table.empty() && table != "DATABASE";
    if (!onTable && !IsKw(ibk::Insert) && !IsKw(ibk::Update) && !IsKw(ibk::Delete)) {
      if (!ParseDDLTriggerEvents(*t, after)) return false;
      table = "DATABASE";
    } else {
      t->Timing = after ? ttAfter : ttBefore;
      t->Events = 0;
      std::int32_t type = after ? 1 : 0;
      int shift = 1;
      for (;;) {
        // The catalog's code: INSERT 1, UPDATE 2, DELETE 3 in two-bit groups.
        const int code = IsKw(ibk::Insert) ? 1 : IsKw(ibk::Update) ? 2 : IsKw(ibk::Delete) ? 3 : 0;
        if (code == 0) {
          Error("Must be: INSERT / UPDATE / DELETE");
          return false;
        }
        t->Events |= code == 1 ? teInsert : code == 2 ? teUpdate : teDelete;
        if (shift <= 5) type += code << shift;
        shift += 2;
        NextToken();
        if (!IsKw(ibk::Or)) break;
        NextToken();
      }
      t->TriggerType = type - 1;
    }
  } else if (!alter) {
    Error("Must be: BEFORE / AFTER");
    return false;
  }
  if (IsKw(ibk::Position)) {
    std::int32_t pos = 0;
    if (!NextAndExpect(tk::Integer) || !Int32Value(pos)) return false;
    t->Position = pos;
    NextToken();
  }
  if (!ParseTriggerRelationOn(table, forTable, name)) return false;
  if (alter && !existing && table.empty()) {
    // ALTER of a trigger the collection does not hold, giving no table: there
    // is nothing to change, and a new trigger would lose its table and events.
    Note("Trigger " + name + " is not in the model: ALTER passed over");
    SkipTo(KindSet({tk::Terminator}));
    NotifyObject(ibs::Alter, TDbObject::dboTrigger, name);
    return true;
  }
  DoLog("Trigger: " + name);
  if (table.empty()) table = "DATABASE";
  // The body's NEW. and OLD. columns are those of the trigger's table.
  t->SetTableName(table);
  if (existing) {
    // The header has been read whole: the stored trigger takes it, and a new
    // body is read onto the stored trigger itself, so the edges it links
    // replace the old body's instead of going with the working copy.
    existing->Active = t->Active;
    existing->Timing = t->Timing;
    existing->Events = t->Events;
    existing->Position = t->Position;
    existing->TriggerType = t->TriggerType;
    existing->EventText = t->EventText;
    if (existing->GetTableName() != table) existing->SetTableName(table);
    if (IsKw(ibk::As)) {
      DropOutgoingEdges(*objs, *existing);
      ReadBody(*existing, TokenStart());
    }
    NotifyObject(ibs::Alter, TDbObject::dboTrigger, name);
    return true;
  }
  if (IsKw(ibk::As)) ReadBody(*t, TokenStart());  // a trigger's text keeps its AS
  else if (!ExpectKw(ibk::As)) return false;
  NotifyObject(ibs::Create, TDbObject::dboTrigger, name);
  StoreObject(std::move(t));
  return true;
}

// ---- Descriptions

bool TIbParser::ParseComment() {
  // COMMENT ON kind name IS 'text' | NULL
  NextToken();
  if (!ExpectKw(ibk::On)) return false;
  NextToken();
  TObjs* objs = Objs();
  TDbObj* target = nullptr;
  bool known = true;
  std::string what;
  auto name = [&](std::string& n) {
    if (!ReadName(n)) return false;
    NextToken();
    return true;
  };
  auto dotted = [&](std::string& a, std::string& b) {
    if (!ReadName(a)) return false;
    NextToken();
    if (!ExpectAndNext(tk::Dot)) return false;
    if (!ReadName(b)) return false;
    NextToken();
    return true;
  };
  std::string a, b;
  if (IsKw(ibk::Domain)) {
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindDomain(a) : nullptr;
  } else if (IsKw(ibk::Table)) {
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindTable(a) : nullptr;
  } else if (IsKw(ibk::View)) {
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindView(a) : nullptr;
  } else if (IsKw(ibk::Procedure) || IsKw(ibk::Function)) {
    NextToken();
    // isql-fb -x writes a parameter's description as PROCEDURE PARAMETER p.x.
    if (IsKw(ibk::Parameter)) {
      NextToken();
      if (!dotted(a, b)) return false;
      target = objs ? objs->FindParam(a, b) : nullptr;
    } else {
      if (!name(a)) return false;
      target = objs ? objs->FindProcedure(a) : nullptr;
    }
  } else if (IsKw(ibk::Trigger)) {
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindTrigger(a) : nullptr;
  } else if (IsKw(ibk::Generator) || IsWord("SEQUENCE")) {
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindGenerator(a) : nullptr;
  } else if (IsKw(ibk::Exception)) {
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindException(a) : nullptr;
  } else if (IsKw(ibk::Index)) {
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindIndex(a) : nullptr;
  } else if (IsKw(ibk::Role)) {
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindRole(a) : nullptr;
  } else if (IsWord("PACKAGE")) {
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindPackage(a) : nullptr;
  } else if (IsKw(ibk::External)) {
    NextToken();
    if (!ExpectKw(ibk::Function)) return false;
    NextToken();
    if (!name(a)) return false;
    target = objs ? objs->FindUdf(a) : nullptr;
  } else if (IsKw(ibk::Column)) {
    NextToken();
    if (!dotted(a, b)) return false;
    if (objs) {
      target = objs->FindField(a, b);
      if (!target) target = objs->FindField2(a, b);
    }
  } else if (IsKw(ibk::Parameter)) {
    NextToken();
    if (!dotted(a, b)) return false;
    target = objs ? objs->FindParam(a, b) : nullptr;
  } else {
    known = false;
    what = TokenKind() == tk::Ident ? IdentText() : CurTokenName();
  }
  if (!known) {
    Note("COMMENT ON " + what + " is not kept: passed over to its terminator");
    SkipTo(KindSet({tk::Terminator}));
    return true;
  }
  if (!ExpectKw(ibk::Is)) return false;
  NextToken();
  std::string text;
  if (TokenKind() == tk::String) text = TokenText();
  else if (!IsKw(ibk::Null)) {
    Error("Invalid comment text");
    return false;
  }
  NextToken();
  // A comment keeps its line breaks as the engine stores them.
  if (target) target->SetDescriptionAsStored(text);
  return true;
}

// ---- DROP

bool TIbParser::ParseDrop() {
  NextToken();
  TObjs* objs = Objs();
  TDbObject kind = TDbObject::dboUnknown;
  bool external = false;
  if (IsKw(ibk::External)) {
    external = true;
    NextToken();
    if (!ExpectKw(ibk::Function)) return false;
  }
  if (external) kind = TDbObject::dboFunction;
  else if (IsKw(ibk::Domain)) kind = TDbObject::dboDomain;
  else if (IsKw(ibk::Exception)) kind = TDbObject::dboException;
  else if (IsKw(ibk::Index)) kind = TDbObject::dboIndex;
  else if (IsKw(ibk::Procedure) || IsKw(ibk::Function)) kind = TDbObject::dboProcedure;
  else if (IsKw(ibk::Role)) kind = TDbObject::dboRole;
  else if (IsKw(ibk::Table)) kind = TDbObject::dboTable;
  else if (IsKw(ibk::Trigger)) kind = TDbObject::dboTrigger;
  else if (IsKw(ibk::View)) kind = TDbObject::dboView;
  else if (IsKw(ibk::Generator) || IsWord("SEQUENCE")) kind = TDbObject::dboGenerator;
  else {
    Error("Unknown DROP statement");
    return false;
  }
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  NextToken();
  NotifyObject(ibs::Drop, kind, name);
  if (!objs) return true;
  // What a script drops is gone from the model, with what belongs to it.
  if (kind == TDbObject::dboTable) objs->DropTable(name, name);
  // A role is stored under its prefixed key.
  else objs->DropStored(kind, kind == TDbObject::dboRole ? "Role: " + name : name);
  primaryKeysBuilt_ = false;
  return true;
}

}  // namespace qor
