// GRANT (REVOKE and DENY are read), and the system procedures that describe
// schema objects: sp_addtype, sp_bindrule / sp_bindefault, sp_dboption and
// sp_addextendedproperty.
#include "parsers/mssql/qorMSSQLParser.h"

#include "model/qorClasses.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

// "[a.b].c" split at the dots outside brackets and double quotes, each part
// without its brackets or quotes ("]]" inside brackets is one "]").
std::vector<std::string> SplitQualified(std::string_view text) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '[' || c == '"') {
      const char close = c == '[' ? ']' : '"';
      for (++i; i < text.size(); ++i) {
        if (text[i] == close) {
          if (i + 1 < text.size() && text[i + 1] == close) {
            parts.back() += close;
            ++i;
            continue;
          }
          break;
        }
        parts.back() += text[i];
      }
      continue;
    }
    if (c == '.') {
      parts.emplace_back();
      continue;
    }
    parts.back() += c;
  }
  for (std::string& p : parts) p = TrimBlanks(p);
  return parts;
}

// The first object of `list` named `name` in any schema.
template <class List>
TDbObj* FindByBareName(const List& list, const std::string& name) {
  for (int i = 0; i < list.Count(); ++i)
    if (SameText(list.Object(i)->GetName(), name)) return list.Object(i);
  return nullptr;
}

}  // namespace

// ------------------------------------------------------------------ grants

TDbObj* TMSSQLParser::FindGrantObject(const std::string& owner, const std::string& name,
                                      bool ownerWritten) {
  TObjs* objs = Objs();
  if (!objs) return nullptr;
  const std::string key = owner.empty() ? name : owner + "." + name;
  if (TDbObj* t = objs->FindTable(key)) return t;
  if (TDbObj* v = objs->FindView(key)) return v;
  if (TDbObj* p = objs->FindProcedure(key)) return p;
  if (ownerWritten) return nullptr;
  // A name without its schema: the object of that name in any schema.
  if (TDbObj* t = FindByBareName(objs->Tables, name)) return t;
  if (TDbObj* v = FindByBareName(objs->Views, name)) return v;
  return FindByBareName(objs->Procedures, name);
}

TPrivileges TMSSQLParser::ParsePrivileges(std::vector<std::string>* columns, bool& ok) {
  TPrivileges set;
  ok = true;
  auto unknown = [&]() {
    Error("Unknown GRANT statement (" + CurTokenName() + ")");
    ok = false;
  };
  for (;;) {
    switch (scan_.Kind) {
      case msk::References: set.Include(TPrivilege::prReferences); break;
      case msk::Insert: set.Include(TPrivilege::prInsert); break;
      case msk::Delete: set.Include(TPrivilege::prDelete); break;
      case msk::Exec: set.Include(TPrivilege::prExecute); break;
      case msk::Select: set.Include(TPrivilege::prSelect); break;
      case msk::Update: set.Include(TPrivilege::prUpdate); break;
      case msk::All: set.Include(TPrivilege::prAll); break;
      case msk::Create:
        NextToken();
        switch (scan_.Kind) {
          case msk::View: set.Include(TPrivilege::prCreateView); break;
          case msk::Proc: set.Include(TPrivilege::prCreateProcedure); break;
          case msk::Table: set.Include(TPrivilege::prCreateTable); break;
          case msk::Rule: set.Include(TPrivilege::prCreateRule); break;
          case msk::Default: set.Include(TPrivilege::prCreateDefault); break;
          case msk::Function: set.Include(TPrivilege::prCreateFunction); break;
          default: unknown(); return set;
        }
        break;
      case msk::View:
        NextToken();
        if (scan_.Kind != msk::Any) {
          unknown();
          return set;
        }
        NextToken();
        if (scan_.Kind != msk::Database) {
          unknown();
          return set;
        }
        set.Include(TPrivilege::prViewAnyDatabase);
        break;
      default:
        if (IsPlainWord("CONNECT")) {
          set.Include(TPrivilege::prConnect);
          break;
        }
        unknown();
        return set;
    }
    NextToken();
    if (scan_.Kind == tk::LParen && columns) {
      // Columns of the privilege: GRANT SELECT (a, b) ON t.
      columns->clear();
      NextToken();
      while (scan_.Kind == tk::Ident) {
        columns->push_back(FoldName(IdentText()));
        NextToken();
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
      ExpectAndNext(tk::RParen);
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  TPrivileges all;
  all.Include(TPrivilege::prAll);
  if (set == all && IsPlainWord("PRIVILEGES")) NextToken();
  return set;
}

void TMSSQLParser::ParseGrant() {
  NextToken();  // GRANT
  auto g = std::make_unique<TGntData>(Objs());
  SetStatement(TDbObject::dboGrant, {}, 1);
  // A role membership as our own script writes it: GRANT role TO user.
  const bool roleGrant = [&] {
    if (scan_.Kind != tk::Ident || IsPlainWord("CONNECT")) return false;
    TParseContext saved(this);
    NextToken();
    const bool to = scan_.Kind == msk::To;
    TParseContext::Restore(*this, saved);
    return to;
  }();
  if (roleGrant) {
    g->ObjectName = FoldName(IdentText());
    g->ObjectKind = TDbObject::dboRole;
    g->GrantKind = TCmpObjType::coRoleGrant;
    NextToken();
  } else {
    bool ok;
    g->Privileges = ParsePrivileges(&g->Columns, ok);
    if (!ok) {
      SkipStatementRest();
      return;
    }
    if (scan_.Kind == msk::On) {
      NextToken();
      // OBJECT::name, SCHEMA::name and the other classes.
      std::string classWord;
      if ((scan_.Kind == tk::Ident || scan_.Kind == msk::Schema) && PeekChar() == ':') {
        classWord = scan_.Kind == msk::Schema ? "SCHEMA" : UpperAscii(IdentText());
        NextToken();
        ExpectAndNext(msk::ColonColon);
      }
      ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/false);
      g->ObjectName = NameObject;
      g->GrantKind = TCmpObjType::coObjGrant;
      if (classWord.empty() || classWord == "OBJECT") {
        const bool written = ownerWritten_;
        TDbObj* obj =
            FindGrantObject(written ? NameOwner : std::string("DBO"), NameObject, written);
        if (!obj && !written) obj = FindGrantObject({}, NameObject, false);
        if (obj) {
          g->ObjectKind = obj->GetObjType();
          g->SetParentName(obj->GetParentName());
        } else {
          g->SetParentName(NameOwner);
        }
      } else if (classWord == "SCHEMA") {
        g->ObjectKind = TDbObject::dboSchema;
      }
      if (scan_.Kind == tk::LParen) {
        g->Columns.clear();
        NextToken();
        while (scan_.Kind == tk::Ident) {
          g->Columns.push_back(FoldName(IdentText()));
          NextToken();
          if (scan_.Kind != tk::Comma) break;
          NextToken();
        }
        ExpectAndNext(tk::RParen);
      }
    }
  }
  std::vector<std::string> grantees;
  if (ExpectAndNext(msk::To)) {
    for (;;) {
      if (scan_.Kind == msk::Public) grantees.push_back("PUBLIC");
      else if (scan_.Kind == tk::Ident) grantees.push_back(FoldName(IdentText()));
      else {
        Expect(tk::Ident);
        break;
      }
      NextToken();
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
  }
  if (scan_.Kind == msk::With) {
    NextToken();
    if (scan_.Kind == msk::Grant) NextToken();
    if (scan_.Kind == msk::Option) NextToken();
    g->GrantOption = 1;
  }
  const bool connectOnly = [&] {
    TPrivileges c;
    c.Include(TPrivilege::prConnect);
    return g->Privileges == c;
  }();
  if (scan_.Kind == msk::As) {
    NextToken();
    if (connectOnly && scan_.Kind == tk::Ident) {
      // GRANT CONNECT TO user AS login: the user goes into the object name.
      if (!grantees.empty()) g->ObjectName = grantees.front();
      grantees = {FoldName(IdentText())};
    }
    NextToken();
  } else if (connectOnly && !grantees.empty()) {
    g->ObjectName = grantees.front();
  }
  TObjs* objs = Objs();
  if (!objs) return;
  for (std::size_t i = 0; i < grantees.size(); ++i) {
    auto one = std::make_unique<TGntData>(objs);
    one->Privileges = g->Privileges;
    one->ObjectName = g->ObjectName;
    one->ObjectKind = g->ObjectKind;
    one->SetParentName(g->GetParentName());
    one->GrantOption = g->GrantOption;
    one->Columns = g->Columns;
    one->GrantKind = g->GrantKind;
    one->Grantee = grantees[i];
    if (objs->FindRole(one->Grantee)) one->GranteeKind = TDbObject::dboRole;
    else if (objs->FindUser(one->Grantee)) one->GranteeKind = TDbObject::dboUser;
    if (LogWanted()) DoLog("Grant: " + one->GetCreateSQL());
    objs->AddGrant(one);  // a merged grant is freed with `one`
  }
}

void TMSSQLParser::ParseRevoke() {
  NextToken();
  SetStatement(TDbObject::dboGrant, {}, 3);
  if (scan_.Kind == msk::Grant) {
    // REVOKE GRANT OPTION FOR ...
    NextToken();
    if (scan_.Kind == msk::Option) NextToken();
    if (scan_.Kind == msk::For) NextToken();
  }
  bool ok;
  std::vector<std::string> columns;
  if (scan_.Kind == tk::Ident && !IsPlainWord("CONNECT")) {
    NextToken();  // a role
  } else {
    ParsePrivileges(&columns, ok);
    if (!ok) {
      SkipStatementRest();
      return;
    }
  }
  ParseSecurable();
  if (scan_.Kind == msk::From || scan_.Kind == msk::To) {
    NextToken();
    ParseGrantees();
  } else {
    Expect(msk::From);
  }
  ParseGranteeTail();
}

void TMSSQLParser::ParseSecurable() {
  if (scan_.Kind != msk::On) return;
  NextToken();
  // ON SCHEMA::s, ON OBJECT::t
  if ((scan_.Kind == tk::Ident || scan_.Kind == msk::Schema) && PeekChar() == ':') {
    NextToken();
    ExpectAndNext(msk::ColonColon);
  }
  ParseObjectName(TDbObject::dboTable, false);
  if (scan_.Kind == tk::LParen) SkipBalanced();
}

void TMSSQLParser::ParseGrantees() {
  while (scan_.Kind == tk::Ident || scan_.Kind == msk::Public) {
    NextToken();
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
}

void TMSSQLParser::ParseGranteeTail() {
  if (scan_.Kind == msk::Cascade) NextToken();
  if (scan_.Kind == msk::As) {
    NextToken();
    NextToken();
  }
}

void TMSSQLParser::ParseDeny() {
  NextToken();
  SetStatement(TDbObject::dboGrant, {}, 1);
  bool ok;
  std::vector<std::string> columns;
  ParsePrivileges(&columns, ok);
  if (!ok) {
    SkipStatementRest();
    return;
  }
  ParseSecurable();
  if (ExpectAndNext(msk::To)) {
    ParseGrantees();
  }
  ParseGranteeTail();
}

// -------------------------------------------------------- system procedures

std::vector<TMSSQLParser::TArg> TMSSQLParser::ReadArguments(
    const std::vector<std::string>& positional) {
  std::vector<TArg> args;
  std::size_t next = 0;
  const bool parens = scan_.Kind == tk::LParen;
  if (parens) NextToken();
  while (!AtStatementEnd()) {
    TArg a;
    if (scan_.Kind == tk::Ident && StartsWith(IdentText(), "@") && PeekChar() != '.') {
      // @name = value, or a variable passed on.
      const std::string name = LowerAscii(IdentText());
      TParseContext saved(this);
      NextToken();
      if (scan_.Kind == tk::Equal) {
        a.Name = name;
        NextToken();
      } else {
        TParseContext::Restore(*this, saved);
      }
    }
    if (a.Name.empty()) a.Name = next < positional.size() ? positional[next] : std::string();
    ++next;
    const std::size_t start = TokenStart();
    switch (scan_.Kind) {
      case tk::String:
        a.Value = TokenText();
        NextToken();
        break;
      case msk::Null:
        a.IsNull = true;
        NextToken();
        break;
      case tk::Ident:
        a.Value = IdentText();
        NextToken();
        break;
      default:
        ReadExpression();
        a.Value = TextFrom(start);
        if (a.Value.empty()) {
          Expect(tk::String);
          return args;
        }
        break;
    }
    if (IsPlainWord("OUTPUT") || IsPlainWord("OUT")) NextToken();
    args.push_back(std::move(a));
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (parens) ExpectAndNext(tk::RParen);
  return args;
}

namespace {

std::string ArgValue(const std::vector<TMSSQLParser::TArg>& args, std::string_view name) {
  for (const auto& a : args)
    if (a.Name == name) return a.Value;
  return {};
}

bool HasArg(const std::vector<TMSSQLParser::TArg>& args, std::string_view name) {
  for (const auto& a : args)
    if (a.Name == name && !a.IsNull) return true;
  return false;
}

}  // namespace

void TMSSQLParser::ParseAddType(bool /*parenthesised*/) {
  const auto args = ReadArguments({"@typename", "@phystype", "@nulltype", "@owner"});
  const std::string name = FoldName(ArgValue(args, "@typename"));
  if (name.empty()) {
    Error("Missing: sp_addtype type name");
    return;
  }
  auto d = std::make_unique<TDmnData>(Objs());
  d->SetName(name);
  d->BaseTypeText = ReplaceAll(UpperLocale(ArgValue(args, "@phystype")), " ", "");
  const std::string nulls = UpperLocale(TrimBlanks(ArgValue(args, "@nulltype")));
  if (nulls == "NULL") d->TypeHolder->Nullable = true;
  else if (nulls == "NOT NULL" || nulls == "NONULL") d->TypeHolder->Nullable = false;
  SetStatement(TDbObject::dboDomain, name, 1);
  DoLog("sp_addtype: " + name);
  HandOver(std::move(d));
}

void TMSSQLParser::ParseBindRule(bool /*parenthesised*/, bool isDefault) {
  const auto args =
      ReadArguments({isDefault ? "@defname" : "@rulename", "@objname", "@futureonly"});
  const std::string what = isDefault ? "default" : "rule";
  const std::vector<std::string> ruleParts =
      SplitQualified(ArgValue(args, isDefault ? "@defname" : "@rulename"));
  const std::vector<std::string> objParts = SplitQualified(ArgValue(args, "@objname"));
  const std::string rule = FoldName(ruleParts.back());
  DoLog(objParts.back());
  TObjs* objs = Objs();
  if (!objs) return;
  TDbObj* target = isDefault ? static_cast<TDbObj*>(objs->Defaults.FindObject(rule))
                             : static_cast<TDbObj*>(objs->Rules.FindObject(rule));
  if (!target) {
    Error(std::string(isDefault ? "Default" : "Rule") + " not found: " + rule + ".");
    return;
  }
  const std::string log =
      std::string(isDefault ? "sp_bindefault: " : "sp_bindrule: ") + rule + " to ";
  if (objParts.size() >= 2) {
    // [owner.]table.column
    const std::string column = FoldName(objParts.back());
    const std::string table = FoldName(objParts[objParts.size() - 2]);
    const std::string owner = objParts.size() >= 3 ? FoldName(objParts[objParts.size() - 3]) : "";
    TTblData* t = objs->FindTable(owner.empty() ? "DBO." + table : owner + "." + table);
    if (!t && owner.empty()) t = dynamic_cast<TTblData*>(FindByBareName(objs->Tables, table));
    TFldData* f = t ? t->FindField(column) : nullptr;
    if (!f) {
      Error("Table field: " + table + "." + column + " not found for " + what + ": " + rule + ".");
      return;
    }
    SetStatement(TDbObject::dboField, column, 2, table);
    DoLog(log + table + "." + column);
    LinkDependency(f, target, {});
    return;
  }
  const std::string name = FoldName(objParts.back());
  TDmnData* d = objs->FindDomain(name);
  if (!d || !d->TypeHolder) {
    Error("User data type: " + name + " not found for " + what + ": " + rule + ".");
    return;
  }
  SetStatement(TDbObject::dboDomain, name, 2);
  DoLog(log + name);
  LinkDependency(d->TypeHolder.get(), target, {});
}

void TMSSQLParser::ParseDbOption() {
  if (scan_.Kind == tk::Ident || scan_.Kind == tk::String) NextToken();
  else Error("Must be: <Ident> / <StrVal>");
  if (ExpectAndNext(tk::Comma)) {
    Expect(tk::String);
    NextToken();
  }
  if (scan_.Kind == tk::Comma) {
    NextToken();
    if (scan_.Kind == tk::String || IsPlainWord("TRUE") || IsPlainWord("FALSE")) NextToken();
    else Error("Must be: TRUE / FALSE / <StrVal>");
  }
}

void TMSSQLParser::ParseAddExtendedProperty() {
  const auto args = ReadArguments({"@name", "@value", "@level0type", "@level0name", "@level1type",
                                   "@level1name", "@level2type", "@level2name"});
  if (!SameText(ArgValue(args, "@name"), "MS_Description")) return;
  const std::string value = ArgValue(args, "@value");
  auto type = [&](const char* n) { return UpperAscii(TrimBlanks(ArgValue(args, n))); };
  auto name = [&](const char* n) { return FoldName(ArgValue(args, n)); };
  const std::string t0 = HasArg(args, "@level0type") ? type("@level0type") : "";
  const std::string t1 = HasArg(args, "@level1type") ? type("@level1type") : "";
  const std::string t2 = HasArg(args, "@level2type") ? type("@level2type") : "";
  const std::string s = name("@level0name"), n1 = name("@level1name"), n2 = name("@level2name");
  TObjs* objs = Objs();
  if (!objs) return;
  const std::string key = s + "." + n1;
  TDbObj* target = nullptr;
  bool known = true;
  if (t0.empty() && t1.empty() && t2.empty()) {
    NoteMsg("A description of the database has no place in the collection.");
    return;
  }
  if (t0 == "SCHEMA" && t1.empty() && t2.empty()) {
    target = objs->FindSchema(FormatName(s));
    if (!target) target = objs->FindSchema(s);
  } else if (t0 == "TRIGGER" && t1.empty() && t2.empty()) {
    target = objs->FindTrigger(s);
  } else if (t0 == "SCHEMA" && t2.empty() && (t1 == "XML SCHEMA COLLECTION" || t1 == "TYPE")) {
    target = objs->FindDomain(key);
    if (!target) target = objs->FindDomain(n1);
  } else if (t0 == "SCHEMA" && (t1 == "PROCEDURE" || t1 == "FUNCTION") && t2.empty()) {
    target = objs->FindProcedure(key);
  } else if (t0 == "SCHEMA" && (t1 == "PROCEDURE" || t1 == "FUNCTION") && t2 == "PARAMETER") {
    if (TPrcData* p = objs->FindProcedure(key)) target = p->FindParam(n2);
  } else if (t0 == "SCHEMA" && t1 == "TABLE" && t2.empty()) {
    target = objs->FindTable(key);
  } else if (t0 == "SCHEMA" && t1 == "VIEW" && t2.empty()) {
    target = objs->FindView(key);
  } else if (t0 == "SCHEMA" && t1 == "TABLE" && t2 == "COLUMN") {
    target = objs->FindField(key, n2);
  } else if (t0 == "SCHEMA" && t1 == "VIEW" && t2 == "COLUMN") {
    target = objs->FindField2(key, n2);
  } else if (t0 == "SCHEMA" && t1 == "TABLE" && t2 == "CONSTRAINT") {
    target = objs->FindConstraint(s + "." + n2);
  } else if (t0 == "SCHEMA" && (t1 == "TABLE" || t1 == "VIEW") && t2 == "INDEX") {
    target = objs->FindIndex(key + "." + n2);
    if (!target) target = objs->FindIndex(s + "." + n2);
  } else if (t0 == "SCHEMA" && t1 == "TABLE" && t2 == "TRIGGER") {
    target = objs->FindTrigger(s + "." + n2);
  } else {
    known = false;
  }
  if (!known) {
    DoWarning("? Unknown MS_Description: [" + t0 + "] [" + t1 + "] [" + t2 + "]");
    return;
  }
  if (target) target->SetDescription(value);
}

}  // namespace qor
