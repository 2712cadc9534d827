// The MySQL extractor: the component, the run and its steps. Every CREATE
// text goes to the MySQL parser, which fills the object it belongs to.
#include "extract/mysql/qorMySQLDatabaseExtract.h"

#include "base/qorDBOptions.h"
#include "base/qorMySQLVersions.h"
#include "engine/qorDBEngine.h"
#include "extract/mysql/qorMySQLCatalogQueries.h"
#include "extract/qorExtractRead.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/mysql/qorMySQLParser.h"
#include "platform/qorStrings.h"

#include <cctype>
#include <utility>
#include <vector>

namespace qor {

namespace {

template <class E>
TField& Col(TQORQuery& q, E c) {
  TFields* fields = q.GetFields();
  const int index = static_cast<int>(c);
  if (!fields || index >= fields->Count())
    throw EQorError("The server's answer has no column " + std::to_string(index + 1) + ".");
  return *fields->Fields(index);
}

template <class E>
std::string Str(TQORQuery& q, E c) {
  TField& f = Col(q, c);
  return f.IsNull() ? std::string() : f.AsString();
}

using xread::Done;
using xread::SetSQL;

// The words of a CREATE text up to its object keyword: "CREATE TABLE" gives
// TABLE, "CREATE ALGORITHM=MERGE DEFINER=`a`@`b` SQL SECURITY DEFINER VIEW"
// gives VIEW. Back-quoted and quoted parts are passed whole.
std::string CreatedKind(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  bool first = true;
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isspace(c) || c == '=' || c == '@') {
      ++i;
      continue;
    }
    if (c == '`' || c == '\'' || c == '"') {
      const char quote = text[i];
      for (++i; i < n; ++i) {
        if (text[i] != quote) continue;
        if (i + 1 < n && text[i + 1] == quote) {
          ++i;
          continue;
        }
        break;
      }
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < n && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
      ++end;
    if (end == i) return {};
    const std::string word = UpperAscii(text.substr(i, end - i));
    if (first) {
      if (word != "CREATE") return {};
      first = false;
    } else if (word == "TABLE" || word == "VIEW" || word == "SEQUENCE") {
      return word;
    }
    i = end;
  }
  return {};
}

}  // namespace

// ---------------------------------------------------------- TMySQLDBExtract

// No step has a caption; each moves the bar by one, linking excepted: its
// position is the total, which the run frame reports.
// clang-format off
const TExtractStep<TMySQLDBExtract> TMySQLDBExtract::kSteps[] = {
    {nullptr, TCmpObjType::coTable,      &TMySQLDBExtract::ExtractTables},
    {nullptr, std::nullopt,              nullptr},
    {nullptr, TCmpObjType::coProcedure,  &TMySQLDBExtract::ExtractProcedures},
    {nullptr, TCmpObjType::coTrigger,    &TMySQLDBExtract::ExtractTriggers},
    // Keys and indices come with the tables' texts: these steps have no
    // reader of their own.
    {nullptr, TCmpObjType::coIndex,      nullptr},
    {nullptr, TCmpObjType::coPrimaryKey, nullptr},
    {nullptr, TCmpObjType::coUnique,     nullptr},
    {nullptr, TCmpObjType::coForeignKey, nullptr},
    {nullptr, TCmpObjType::coCheck,      nullptr},
    {nullptr, std::nullopt,              &TMySQLDBExtract::LinkDependencies, 0},
};
// clang-format on

TMySQLDBExtract::TMySQLDBExtract() {
  Max = kStepMax;
  Position = 0;
  SetDatabaseType(TDatabaseType::dbMySQL);
}

TMySQLDBExtract::~TMySQLDBExtract() { parser_.reset(); }

std::unique_ptr<TMySQLParser> TMySQLDBExtract::NewParser() {
  auto parser = std::make_unique<TMySQLParser>(this);
  parser->OnErrorMessage = OnErrorMessage;
  // Its line count of one stored text is no progress of the run.
  parser->ShowProgress = false;
  return parser;
}

void TMySQLDBExtract::SetDBStructure(TCustomDBStructure* value) {
  TCustomExtract::SetDBStructure(value);
  if (!DBStructure()) return;
  parser_.reset();
  parser_ = NewParser();
  if (const TCustomObjs* o = DBStructure()->Objs())
    parser_->ServerOptions().Assign(o->MySQLServerOptions);
}

void TMySQLDBExtract::LogLine(const std::string& text) {
  if (OnLogNextLine) OnLogNextLine(this, text);
}

TObjs* TMySQLDBExtract::GetObjs() const {
  return DBStructure() ? dynamic_cast<TObjs*>(DBStructure()->Objs()) : nullptr;
}

bool TMySQLDBExtract::CaseSensitive() const {
  const TObjs* o = GetObjs();
  return !o || o->MySQLServerOptions.MySQLCompareOptions.CaseSensitiveIdentifiers;
}

std::string TMySQLDBExtract::ModelName(const std::string& serverName) const {
  return CaseSensitive() ? serverName : UpperLocale(serverName);
}

// -------------------------------------------------------------------- Run

bool TMySQLDBExtract::ExtractDatabase() {
  Max = kStepMax;
  const bool ok = RunExtraction(connection_, ClassName(), /*stepEvents=*/false);
  // A run that ended early leaves no parser of its own behind.
  parser_.reset();
  return ok;
}

void TMySQLDBExtract::PrepareExtraction() {
  if (!GetObjs())
    throw EQorError("TMySQLDBExtract.ExtractDatabase(): DBStructure holds no collection.");
  // The run's parser keeps its own default options; the collection's
  // decide its case rule.
  parser_.reset();
  parser_ = NewParser();
}

void TMySQLDBExtract::RunExtractSteps() {
  CopyConnectionParams();
  if (RunSteps(*this, kSteps)) parser_.reset();
}

void TMySQLDBExtract::CopyConnectionParams() {
  TConnectionOptions& to = GetObjs()->ConnectionOptions;
  const TConnectionOptions& from = RunConnection()->ConnectionOptions;
  to.DatabaseName = from.DatabaseName;
  to.HostName = from.HostName;
  to.Port = from.Port;
  to.UserName = from.UserName;
  to.Password = from.Password;
}

// ------------------------------------------------------------------ Tables

void TMySQLDBExtract::ExtractTables() {
  LogLine("Extracting tables...");
  TObjs& objs = *GetObjs();
  TQORQuery& q = *CatalogQuery();
  std::unique_ptr<TQORQuery> text = RunConnection()->CreateQuery();
  if (!text || !text->GetSQL())
    throw EQorError("TMySQLDBExtract: the connection makes no query objects.");

  SetSQL(q, myq::kFullTables);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    // The server is asked in its own spelling; the model may fold it.
    const std::string serverName = Str(q, myq::FullTablesCol::Name);
    const bool typedView = Str(q, myq::FullTablesCol::TableType) == myq::kViewType;
    const std::string name = ModelName(serverName);

    SetSQL(*text, myq::ShowCreateTable(serverName));
    text->Open();
    const std::string source =
        text->Eof() ? std::string() : Str(*text, myq::ShowCreateTableCol::CreateText);
    Done(*text);

    const std::string kind = CreatedKind(source);
    std::unique_ptr<TDbObj> obj;
    if (typedView || kind == "VIEW") {
      obj = std::make_unique<TViwData>(&objs);
      LogLine("View: " + name);
    } else if (kind == "TABLE") {
      obj = std::make_unique<TTblData>(&objs);
      LogLine("Table: " + name);
    } else {
      // A sequence, or a text this reader does not know: never a table.
      LogLine("Skipped: " + name + " (" + (kind.empty() ? std::string("no CREATE text") : kind) +
              ")");
      continue;
    }
    obj->SetName(name);
    obj->ObjectSource = source;
    parser_->ParseObjectSource(obj.get());
    if (AcceptObj(obj.get())) objs.AddObject(obj, /*freeOnFail=*/true);
  }
  Done(q);
}

// -------------------------------------------------------------- Routines

void TMySQLDBExtract::ExtractProcedures() {
  TObjs& objs = *GetObjs();
  if (!MySQLCaps(objs.MySQLServerOptions.SQLServerVersion).routines) return;
  LogLine("Extracting procedures...");
  TQORQuery& q = *CatalogQuery();
  using RC = myq::RoutinesCol;

  // The routines kept, with the name the server spells them by.
  std::vector<std::pair<TPrcData*, std::string>> kept;
  SetSQL(q, myq::kRoutines);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    const std::string serverName = TrimCtl(Str(q, RC::RoutineName));
    auto routine = std::make_unique<TPrcData>(&objs);
    routine->SetName(serverName);
    routine->IsFunction = TrimCtl(Str(q, RC::RoutineType)) == "FUNCTION";
    const std::string access = TrimCtl(Str(q, RC::SqlDataAccess));
    if (access == "READS SQL DATA") routine->MySQLCharacteristics |= 32;
    else if (access == "NO SQL") routine->MySQLCharacteristics |= 16;
    else if (access == "CONTAINS SQL") routine->MySQLCharacteristics |= 8;
    routine->SetDescription(TrimCtl(Str(q, RC::RoutineComment)));
    if (!AcceptObj(routine.get())) continue;
    if (TPrcData* held = objs.AddObject(routine, /*freeOnFail=*/true))
      kept.emplace_back(held, serverName);
  }
  Done(q);

  for (const auto& [routine, serverName] : kept) {
    SetSQL(q, myq::ShowCreateRoutine(serverName, routine->IsFunction));
    q.Open();
    const bool hasText = !q.Eof() && !Col(q, myq::ShowCreateRoutineCol::CreateText).IsNull();
    const std::string text =
        hasText ? TrimCtl(NormalizeLineBreaks(Str(q, myq::ShowCreateRoutineCol::CreateText)))
                : std::string();
    Done(q);
    if (!hasText) {
      // The server hides the text from a user who is not its definer and
      // lacks the privilege to read it: a routine without body is no
      // routine to write.
      DoErrorMessage("The server gave no CREATE text for " +
                     std::string(routine->IsFunction ? "function " : "procedure ") + serverName +
                     ".");
      StepFailed = true;
      continue;
    }
    // "$$" may stand in the text itself (a name such as total$$): the
    // delimiter is one the text does not hold, or the body would end there.
    std::string delimiter = "$$";
    while (text.find(delimiter) != std::string::npos) delimiter += '$';
    routine->ObjectSource =
        "DELIMITER " + delimiter + "\r\n" + text + delimiter + "\r\nDELIMITER ;\r\n";
    LogLine("Parse proc(func): " + routine->GetName());
    parser_->ParseObjectSource(routine);
  }
}

// --------------------------------------------------------------- Triggers

void TMySQLDBExtract::ExtractTriggers() {
  TObjs& objs = *GetObjs();
  if (!MySQLCaps(objs.MySQLServerOptions.SQLServerVersion).triggers) return;
  LogLine("Extracting triggers...");
  TQORQuery& q = *CatalogQuery();
  using TC = myq::TriggersCol;
  SetSQL(q, myq::kTriggers);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto trigger = std::make_unique<TTrgData>(&objs);
    trigger->SetName(TrimCtl(Str(q, TC::Trigger)));
    const std::string event = TrimCtl(Str(q, TC::Event));
    if (event == "INSERT") trigger->Events |= teInsert;
    else if (event == "UPDATE") trigger->Events |= teUpdate;
    else if (event == "DELETE") trigger->Events |= teDelete;
    // The table as the model names it, so that the trigger finds it.
    trigger->SetTableName(ModelName(TrimCtl(Str(q, TC::Table))));
    trigger->SetText(TrimCtl(NormalizeLineBreaks(Str(q, TC::Statement))));
    const std::string timing = TrimCtl(Str(q, TC::Timing));
    if (timing == "BEFORE") trigger->Timing = ttBefore;
    else if (timing == "AFTER") trigger->Timing = ttAfter;
    // A MySQL trigger is always a row trigger; its InterBase type code is
    // made as the parser makes it from a trigger's script.
    trigger->ForEachRow = true;
    const std::int32_t code = trigger->Events == teInsert ? 1 : trigger->Events == teUpdate ? 2 : 3;
    if (trigger->Timing != 0 && trigger->Events != 0)
      trigger->TriggerType = (trigger->Timing == ttBefore ? 0 : 1) + (code << 1) - 1;
    LogLine("Parse trigger: " + trigger->GetName());
    parser_->ParseObjectSource(trigger.get());
    if (AcceptObj(trigger.get())) objs.AddObject(trigger, /*freeOnFail=*/true);
  }
  Done(q);
}

// ------------------------------------------------------------ Dependencies

void TMySQLDBExtract::LinkDependencies() {
  LogLine("Linking dependencies...");
  parser_->AfterParse();
  GetMsgManager()->AddFrom(&parser_->Messages());
}

}  // namespace qor
