// The InterBase/Firebird statements of the database itself (CREATE
// DATABASE, CONNECT), external functions, collations, packages and EXECUTE
// BLOCK.
#include "parsers/ib/qorIBParser.h"

#include "base/qorDBOptions.h"
#include "model/qorComp_Clt.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Udf.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

// ---- The database

bool TIbParser::ParseDatabase(bool create) {
  // The token is the database name.
  if (!Expect(tk::String)) return false;
  ConnectionOptions.DatabaseName = TokenText();
  DoLog("Database connect: " + TokenText());
  TIBServerOptions* o = GetServerOptions();
  NextToken();
  for (;;) {
    if (IsKw(ibk::PageSize)) {
      NextToken();
      if (TokenKind() == tk::Equal) NextToken();
      std::int32_t n = 0;
      if (!Expect(tk::Integer) || !Int32Value(n)) return false;
      if (o) o->IBDatabaseOptions.PageSize = n;
      NextToken();
    } else if (IsKw(ibk::Default)) {
      NextToken();
      if (!ExpectKw(ibk::Char)) return false;
      NextToken();
      if (!ExpectKw(ibk::Set)) return false;
      NextToken();
      std::string cs;
      if (!ReadName(cs)) return false;
      if (o) o->SetDBCharSet(UpperAscii(cs));
      NextToken();
      if (IsWord("COLLATION")) {
        NextToken();
        NextToken();
      }
    } else if (IsKw(ibk::User) || IsKw(ibk::Password) || IsKw(ibk::Role)) {
      const TTokenKind k = IsKw(ibk::User)       ? ibk::User
                           : IsKw(ibk::Password) ? ibk::Password
                                                 : ibk::Role;
      NextToken();
      if (!Expect(tk::String) && TokenKind() != tk::Ident) return false;
      const std::string v = TokenKind() == tk::String ? TokenText() : IdentText();
      if (k == ibk::User) ConnectionOptions.UserName = v;
      else if (k == ibk::Password) ConnectionOptions.Password = v;
      else ConnectionOptions.RoleName = v;
      NextToken();
    } else if (IsWord("LENGTH") || IsWord("DIFFERENCE") || IsKw(ibk::File) || IsWord("STARTING") ||
               IsKw(ibk::Starting) || IsKw(ibk::Cache)) {
      // File and shadow options describe storage, not the schema.
      NextToken();
    } else if (TokenKind() == tk::Terminator || TokenKind() == tk::EOFKind) {
      NotifyStatement(create ? 2 : 0, ConnectionOptions.DatabaseName, StatementResult, {}, 8, 0);
      return true;
    } else if (TokenKind() == tk::Integer || TokenKind() == tk::String ||
               TokenKind() == tk::Equal || TokenKind() == tk::Ident) {
      NextToken();
    } else {
      Error("Unknown token in DB-declaration.");
      return false;
    }
  }
}

// ---- External functions

bool TIbParser::ParseDeclareExternalFunction() {
  NextToken();
  if (!ExpectKw(ibk::External)) return false;
  NextToken();
  if (!ExpectKw(ibk::Function)) return false;
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  NextToken();
  auto udf = std::make_unique<TUdfData>(Objs());
  udf->SetName(name);
  while (!IsKw(ibk::Returns) && TokenKind() != tk::Terminator && TokenKind() != tk::EOFKind) {
    auto arg = std::make_unique<TFldData>(Objs(), udf.get());
    TFldData* raw = arg.get();
    const std::string key = std::to_string(udf->Args.Count() + 1);
    udf->Args.Add(key, std::move(arg));
    if (!ParseDataType(*raw) || !ParseColumnOptions(*raw, nullptr, nullptr, {})) return false;
    if (TokenKind() != tk::Comma) break;
    NextToken();
  }
  if (!ExpectKw(ibk::Returns)) return false;
  NextToken();
  TFldData& result = *udf->ResultField;
  if (IsKw(ibk::Parameter)) {
    std::int32_t n = 0;
    if (!NextAndExpect(tk::Integer) || !Int32Value(n)) return false;
    // Counted from 1; another number names no argument (and 0 is the
    // model's "a type of its own").
    if (n < 1 || n > udf->Args.Count()) {
      Error("RETURNS PARAMETER " + IntToStr(n) + " names no argument of " + name);
      return false;
    }
    result.ReturnParamNo = n;
    NextToken();
  } else if (!ParseDataType(result) || !ParseColumnOptions(result, nullptr, nullptr, {})) {
    return false;
  }
  if (IsKw(ibk::FreeIt)) {
    udf->FreeIt = true;
    NextToken();
  }
  for (int guard = 0; guard < 2; ++guard) {
    if (IsKw(ibk::EntryPoint)) {
      if (!NextAndExpect(tk::String)) return false;
      udf->EntryPoint = TokenText();
      NextToken();
    } else if (IsKw(ibk::ModuleName)) {
      if (!NextAndExpect(tk::String)) return false;
      udf->ModuleName = TokenText();
      NextToken();
    }
  }
  DoLog("External function: " + name);
  NotifyObject(ibs::Create, TDbObject::dboFunction, name);
  StoreObject(std::move(udf));
  return true;
}

// ---- Collations

bool TIbParser::ParseCreateCollation() {
  NextToken();
  std::string name, charset;
  if (!ReadName(name)) return false;
  NextToken();
  if (!ExpectKw(ibk::For)) return false;
  NextToken();
  if (!ReadName(charset)) return false;
  NextToken();
  auto c = std::make_unique<TCltData>(Objs());
  c->SetName(name);
  c->CharacterSet = charset;
  if (IsKw(ibk::From)) {
    NextToken();
    if (IsKw(ibk::External)) {
      NextToken();
      if (!ExpectAndNext(tk::LParen)) return false;
      if (!Expect(tk::String)) return false;
      c->ExternalName = TokenText();
      NextToken();
      if (!ExpectAndNext(tk::RParen)) return false;
    } else {
      std::string base;
      if (!ReadName(base)) return false;
      c->FromCollation = base;
      NextToken();
    }
  } else {
    Error("Must be: FROM basecoll | FROM EXTERNAL ('extname')");
    return false;
  }
  for (;;) {
    if (IsKw(ibk::No)) {
      NextToken();
      if (!ExpectWord("PAD")) return false;
      c->PadSpace = false;
      NextToken();
    } else if (IsWord("PAD")) {
      NextToken();
      if (!ExpectWord("SPACE")) return false;
      c->PadSpace = true;
      NextToken();
    } else if (IsKw(ibk::Case) || IsWord("ACCENT")) {
      const bool accent = IsWord("ACCENT");
      NextToken();
      bool sensitive = true;
      if (IsWord("SENSITIVE")) sensitive = true;
      else if (IsWord("INSENSITIVE")) sensitive = false;
      else {
        Error("Must be: SENSITIVE / INSENSITIVE");
        return false;
      }
      (accent ? c->AccentSensitive : c->CaseSensitive) = sensitive;
      NextToken();
    } else if (TokenKind() == tk::String) {
      // Specific attributes, such as 'COLL-VERSION=...;NUMERIC-SORT=1'.
      c->SpecificAttributes = TokenText();
      NextToken();
    } else {
      break;
    }
  }
  DoLog("Collation: " + name);
  NotifyObject(ibs::Create, TDbObject::dboCollation, name);
  if (TObjs* objs = Objs()) {
    const int i = objs->Collations.IndexOf(name);
    if (i >= 0) {
      objs->DetachObject(objs->Collations.Object(i));
      objs->Collations.Delete(i);
    }
  }
  std::unique_ptr<TDbObj> obj = std::move(c);
  AddObject(obj, /*freeIfRejected=*/true);
  return true;
}

// ---- Packages

bool TIbParser::ParseCreatePackage() {
  NextToken();  // past PACKAGE
  bool body = false;
  if (IsWord("BODY")) {
    body = true;
    NextToken();
  }
  std::string name;
  if (!ReadName(name)) return false;
  NextToken();
  if (AtSqlSecurity() && !ParseSqlSecurity(name, /*drop=*/false)) return false;
  if (!ExpectKw(ibk::As)) return false;
  TObjs* objs = Objs();
  TPkgData* existing = objs ? objs->FindPackage(name) : nullptr;
  std::unique_ptr<TPkgData> fresh;
  TPkgData* p = existing;
  if (!p) {
    fresh = std::make_unique<TPkgData>(objs);
    fresh->SetName(name);
    p = fresh.get();
  }
  // The header's text goes to HeaderText, the body's to the text; the
  // package itself is what the body's references are recorded for.
  if (body) p->IsBody = true;
  ReadingPackageHeader = !body;
  ReadBody(*p);
  ReadingPackageHeader = false;
  DoLog("Package: " + name);
  NotifyObject(existing ? ibs::Alter : ibs::Create, TDbObject::dboPackage, name);
  if (fresh) {
    std::unique_ptr<TDbObj> obj = std::move(fresh);
    AddObject(obj, /*freeIfRejected=*/true);
  }
  return true;
}

// ---- EXECUTE BLOCK

bool TIbParser::ParseExecuteBlock() {
  // A block runs once and defines nothing: its text is passed over raw, so
  // "= ?" parameter markers and the body's own ";" need no reading.
  TPrcData block(Objs());
  ReadBody(block);
  NotifyObject(ibs::Create, TDbObject::dboProcedure, {});
  return true;
}

}  // namespace qor
