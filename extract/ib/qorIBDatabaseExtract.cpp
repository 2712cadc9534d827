// The InterBase/Firebird extractor: the component, the run, the capability
// probe, the step driver, the body parsing and the text routines.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "base/qorIBVersions.h"
#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBExtractRead.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/ib/qorIBExParser.h"
#include "parsers/qorSQLParser.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

namespace qor {

using namespace ibread;

bool* TIBCatalogCaps::FlagOfRow(int typ) {
  switch (typ) {
    case 2: return &HasFieldPrecision;
    case 6: return &HasRelationType;
    case 7: return &HasGeneratorDescription;
    case 8: return &HasRoleDescription;
    case 9: return &HasRoleSystemFlag;
    case 10: return &HasRoles;
    case 11: return &HasUpdateRule;
    case 12: return &HasDeleteRule;
    case 13: return &HasArgumentPrecision;
    case 14: return &HasParameterMechanism;
    case 15: return &HasParameterDefault;
    case 16: return &HasParameterCollation;
    case 17: return &HasIdentityGenerator;
    case 18: return &HasIdentityType;
    case 19: return &HasParameterRelation;
    case 20: return &HasGeneratorIncrement;
    case 21: return &HasParameterNullFlag;
    case 22: return &HasFunctionSource;
    case 23: return &HasArgumentName;
    case 24: return &HasArgumentDescription;
    case 25: return &HasPackages;
    case 26: return &HasProcedurePackage;
    case 27: return &HasBaseCollation;
    case 28: return &HasFunctionOwner;
    default: return nullptr;
  }
}

namespace {

constexpr std::uint8_t kCheckConstraint = 3;

}  // namespace

// ------------------------------------------------------------- TIBDBExtract

// clang-format off
const TExtractStep<TIBDBExtract> TIBDBExtract::kSteps[] = {
    {"Collations",     std::nullopt,               &TIBDBExtract::ReadCollations},
    {"Functions",      TCmpObjType::coFunction,    &TIBDBExtract::ReadFunctions},
    {"Domains",        TCmpObjType::coDomain,      &TIBDBExtract::ReadDomains},
    {"Tables",         TCmpObjType::coTable,       &TIBDBExtract::ReadTables},
    {"Views",          TCmpObjType::coView,        &TIBDBExtract::ReadViews},
    {"Generators",     TCmpObjType::coGenerator,   &TIBDBExtract::ReadGenerators},
    {"Procedures",     TCmpObjType::coProcedure,   &TIBDBExtract::ReadProcedures},
    {"Triggers",       TCmpObjType::coTrigger,     &TIBDBExtract::ReadTriggers},
    {"Indexes",        TCmpObjType::coIndex,       &TIBDBExtract::ReadIndices},
    {"Exceptions",     TCmpObjType::coException,   &TIBDBExtract::ReadExceptions},
    {"Unique's",       TCmpObjType::coUnique,      &TIBDBExtract::ReadUniqueConstraints},
    {"Primary keys",   TCmpObjType::coPrimaryKey,  &TIBDBExtract::ReadPrimaryKeys},
    {"Foreign keys",   TCmpObjType::coForeignKey,  &TIBDBExtract::ReadForeignKeys},
    {"Checks",         TCmpObjType::coCheck,       &TIBDBExtract::ReadCheckConstraints},
    {"Roles",          TCmpObjType::coRole,        &TIBDBExtract::ReadRoles},
    {"Grants",         TCmpObjType::coGrant,       &TIBDBExtract::ReadGrants},
    {"Parsing bodies", std::nullopt,               &TIBDBExtract::ParseBodies},
};
// clang-format on

TIBDBExtract::TIBDBExtract() : batched_(std::make_unique<ibread::TBatchedRows>()) {
  // The total counts the steps, so the last step ends the bar exactly.
  Max = kStepCount;
  Position = 0;
  SetDatabaseType(TDatabaseType::dbInterBase);
  BodyParserFactory = [](TIBDBExtract& x) -> std::unique_ptr<TCustomSQLParser> {
    return std::make_unique<TIbExParser>(&x);
  };
}

TIBDBExtract::~TIBDBExtract() = default;

const char* TIBDBExtract::StepCaption(int step) {
  static_assert(std::size(kSteps) == kStepCount);
  return step >= 0 && step < kStepCount ? kSteps[step].Caption : "";
}

void TIBDBExtract::LogLine(const std::string& text) { DoLogNextLine(text); }

TObjs* TIBDBExtract::Collection() const {
  return DBStructure() ? dynamic_cast<TObjs*>(DBStructure()->Objs()) : nullptr;
}

std::unique_ptr<TQORQuery> TIBDBExtract::NewQuery() {
  TQORCustomConnection* c = RunConnection();
  std::unique_ptr<TQORQuery> q = c ? c->CreateQuery() : nullptr;
  if (!q) throw EQorError("TIBDBExtract: the connection makes no query objects.");
  return q;
}

bool TIBDBExtract::StopAfterRow() {
  ProcessMessages();
  return StopRequested;
}

bool TIBDBExtract::ExtractDatabase() {
  Max = kStepCount;
  return RunExtraction(connection_, "TIBDBExtract", /*stepEvents=*/true);
}

void TIBDBExtract::PrepareExtraction() {
  if (!Collection())
    throw EQorError("TIBDBExtract.ExtractDatabase(): DBStructure holds no collection.");
  SyncServerOptions();
  ApplyReportedVersion();
  unscriptedTriggers_.Clear();
  batched_ = std::make_unique<ibread::TBatchedRows>();
  unscriptedTriggers_.SetCaseSensitive(true);
}

void TIBDBExtract::SyncServerOptions() {
  TQORCustomConnection* c = RunConnection();
  TCustomObjs* o = DBStructure() ? DBStructure()->Objs() : nullptr;
  if (!c || !o) return;
  o->ConnectionOptions.Assign(c->ConnectionOptions);
  o->IBServerOptions.IBDatabaseOptions.Assign(c->IBServerOptions.IBDatabaseOptions);
  o->IBServerOptions.SetDBCharSet(c->IBServerOptions.GetDBCharSet());
  o->IBServerOptions.SQLDialect = c->IBServerOptions.SQLDialect;
}

namespace {

// The release number at the start of `text`: its first two numbers.
std::optional<std::pair<int, int>> ReleaseAt(std::string_view text) {
  auto number = [&text](std::size_t& i) {
    int n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
      n = std::min(n * 10 + (text[i] - '0'), 9999);
    return n;
  };
  std::size_t i = 0;
  if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
  const int major = number(i);
  int minor = 0;
  if (i + 1 < text.size() && text[i] == '.') minor = number(++i);
  return std::pair{major, minor};
}

}  // namespace

std::optional<TIBSQLServerVersionType> TIBDBExtract::VersionOfServer(std::string_view version) {
  using V = TIBSQLServerVersionType;
  const std::string upper = UpperAscii(version);
  if (upper.find("YAFFIL") != std::string::npos) return V::st_Yaffil_1x;
  // Firebird names its release after its name; the number after the
  // platform prefix is an InterBase-compatible one in some releases.
  if (const std::size_t at = upper.find("FIREBIRD "); at != std::string::npos) {
    const auto r = ReleaseAt(std::string_view(upper).substr(at + 9));
    if (!r || r->first < 1) return std::nullopt;
    const auto [major, minor] = *r;
    if (major == 1) return minor >= 5 ? V::st_FireBird_15 : V::st_FireBird_1x;
    if (major == 2)
      return minor == 0 ? V::st_Firebird_20 : minor == 1 ? V::st_Firebird_21 : V::st_Firebird_25;
    if (major == 3) return V::st_Firebird_30;
    return V::st_Firebird_40;
  }
  // InterBase: "WI-V7.5.1.80", a platform, a hyphen, a build letter.
  const std::size_t dash = upper.find('-');
  if (dash == std::string::npos) return std::nullopt;
  const auto r = ReleaseAt(std::string_view(upper).substr(std::min(dash + 2, upper.size())));
  if (!r || r->first < 4) return std::nullopt;
  const auto [major, minor] = *r;
  switch (major) {
    case 4: return V::st_InterBase_4x;
    case 5: return V::st_InterBase_5x;
    case 6: return V::st_InterBase_6x;
    case 7: return minor >= 5 ? V::st_InterBase_75 : V::st_InterBase_7x;
    default: break;
  }
  // 2007 to 2017 (8 to 13) have no generation of their own: the newest
  // one below them writes nothing they lack.
  return major < 14 ? V::st_InterBase_75 : V::st_InterBase_2020;
}

bool TIBDBExtract::RaisesTo(TIBSQLServerVersionType configured, TIBSQLServerVersionType reported) {
  const TIBGeneration from = IBGeneration(configured);
  const TIBGeneration to = IBGeneration(reported);
  // A generation of another product line cannot be the server's: its
  // catalog and its script follow the server's line.
  if (from.line != to.line) return true;
  // A later one of the same line configured on purpose is the caller's
  // target and stays.
  return to.rank > from.rank;
}

void TIBDBExtract::ApplyReportedVersion() {
  TCustomObjs* o = DBStructure() ? DBStructure()->Objs() : nullptr;
  if (!o) return;
  TIBServerOptions& ib = o->IBServerOptions;
  const std::optional<TIBSQLServerVersionType> reported =
      VersionOfServer(ib.IBDatabaseOptions.Version);
  if (!reported || *reported == ib.SQLServerVersion) return;
  auto name = [](TIBSQLServerVersionType v) {
    return GetServerVersionName(TDatabaseType::dbInterBase, static_cast<int>(v));
  };
  const std::string line = "Server version reported by the server: " + name(*reported) +
                           " (configured: " + name(ib.SQLServerVersion);
  if (KeepServerVersion || !RaisesTo(ib.SQLServerVersion, *reported)) {
    LogLine(line + ", kept)");
    return;
  }
  ib.SQLServerVersion = *reported;
  LogLine(line + ")");
}

void TIBDBExtract::ProbeCatalog() {
  caps_ = TIBCatalogCaps{};
  TQORQuery& q = *CatalogQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::kProbe);
  q.Open();
  TCustomObjs* o = DBStructure()->Objs();
  for (; !q.Eof(); q.Next()) {
    const std::int64_t typ = IntOr0(q, ibq::prTyp);
    if (typ == 1) {
      if (o->IBServerOptions.GetDBCharSet().empty())
        o->IBServerOptions.SetDBCharSet(Trimmed(q, ibq::prVal1));
      continue;
    }
    if (typ < 0 || typ > 64) continue;
    if (bool* flag = caps_.FlagOfRow(static_cast<int>(typ))) *flag = true;
  }
  xread::Done(q);
}

void TIBDBExtract::ReadDatabaseDescription() {
  TQORQuery& q = *CatalogQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::kDatabaseDescription);
  q.Open();
  DBStructure()->Objs()->IBServerOptions.IBDatabaseOptions.Description =
      q.Eof() ? std::string() : Str(q, ibq::ddDescription);
  xread::Done(q);
}

void TIBDBExtract::RunExtractSteps() {
  ProbeCatalog();
  ReadDatabaseDescription();
  ProcessMessages();
  // A stop asked for while probing ends the run before the first step.
  if (StopHonoured()) return;
  RunSteps(*this, kSteps);
}

void TIBDBExtract::ParseBodies() {
  LogLine("Parsing bodies...");
  TObjs* o = Collection();
  if (o)
    for (auto& e : o->Procedures)
      if (e.Value && e.Value->IsFunction) {
        TPrcData& f = *e.Value;
        for (auto& p : f.InParams)
          if (p.Value) LinkParameterSource(f, *p.Value);
        for (auto& p : f.OutParams)
          if (p.Value) LinkParameterSource(f, *p.Value);
      }
  std::unique_ptr<TCustomSQLParser> parser = BodyParserFactory ? BodyParserFactory(*this) : nullptr;
  if (parser && o) {
    parser->OnErrorMessage = OnErrorMessage;
    parser->OnLogNextLine = OnLogNextLine;
    parser->ShowProgress = false;
    auto each = [&parser](auto& list) {
      for (int i = 0; i < list.Count(); ++i)
        if (list.Value(i)) parser->ParseObjectText(list.Value(i).get());
    };
    each(o->Domains);
    each(o->Procedures);
    each(o->Packages);
    each(o->Triggers);
    each(o->Views);
    each(o->Indices);
    for (int i = 0; i < o->Tables.Count(); ++i) {
      TTblData* t = o->Tables.Value(i).get();
      if (!t) continue;
      for (int j = 0; j < t->Fields.Count(); ++j) {
        TFldData* f = t->Fields.Value(j).get();
        if (f && !f->GetText().empty()) parser->ParseObjectText(f);
      }
    }
    for (int i = 0; i < o->Constraints.Count(); ++i) {
      TCtrData* c = o->Constraints.Value(i).get();
      if (c && c->GetConstraintType() == kCheckConstraint && !c->GetText().empty())
        parser->ParseObjectText(c);
    }
  }
  LogLine("Linking dependencies...");
  if (!parser) return;
  parser->AfterParse();
  GetMsgManager()->AddFrom(&parser->Messages());
}

// ------------------------------------------------------------ Text routines

char SqlCharAt(std::string_view text, std::size_t index) {
  return index >= 1 && index <= text.size() ? text[index - 1] : '\0';
}

namespace {

// From the opening quote at `i`, the literal up to its closing quote, both
// quotes included; a doubled quote stays inside.
void CopyQuotedLiteral(std::string_view text, std::size_t& i, std::string& out) {
  const char quote = text[i];
  out += text[i++];
  while (i < text.size()) {
    const char c = text[i];
    out += c;
    ++i;
    if (c != quote) continue;
    if (i < text.size() && text[i] == quote) {
      out += text[i++];
      continue;
    }
    return;
  }
}

void SkipBlockComment(std::string_view text, std::size_t& i) {
  const auto end = text.find("*/", i + 2);
  i = end == std::string_view::npos ? text.size() : end + 2;
}

void SkipLineComment(std::string_view text, std::size_t& i) {
  while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
}

}  // namespace

std::string StripSqlComments(std::string_view text, bool dropLineComments) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '"' || c == '\'') {
      CopyQuotedLiteral(text, i, out);
    } else if (c == '/' && next == '*') {
      SkipBlockComment(text, i);
    } else if (c == '-' && next == '-' && dropLineComments) {
      SkipLineComment(text, i);
    } else if (c == '-' && next == '-') {
      out += "--";
      i += 2;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

std::string CheckCondition(std::string_view source) {
  std::string s = TrimCtlLeft(source);
  if (StartsText(s, "CONSTRAINT")) s = TrimCtlLeft(std::string_view(s).substr(10));
  if (StartsText(s, "CHECK")) s.erase(0, 5);
  return s;
}

std::string NormalizeDefaultSource(std::string_view text) {
  std::string s = TrimCtl(StripSqlComments(text, /*dropLineComments=*/false));
  if (s.empty()) return s;
  // The keyword may be followed by any blank or line break.
  if (s.size() > 7 && UpperAscii(Copy(s, 0, 7)) == "DEFAULT" &&
      static_cast<unsigned char>(s[7]) < 33)
    s.erase(0, 8);
  else if (s.front() == '=') s.erase(0, 1);
  return TrimCtl(s);
}

}  // namespace qor
