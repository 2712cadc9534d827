#include "tests/support/qorReplay.h"

#include "platform/qorStrings.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <utility>
#include <nlohmann/json.hpp>

namespace qor::test {

using json = nlohmann::ordered_json;

// ------------------------------------------------------------------ names

namespace {

// clang-format off
constexpr std::array<const char*, kDatabaseTypeCount> kDatabaseTypeNames = {
    "dbAbstract", "dbInterBase", "dbSybaseASA", "dbMySQL", "dbOracle", "dbMSSQL",
    "dbPostgreSQL", "dbDB2", "dbSybaseASE", "dbPervasiveSQL", "dbMSAccess", "dbParadox",
    "dbDBASE", "dbCustomOLEDB"};
// clang-format on

}  // namespace

std::string DatabaseTypeName(TDatabaseType type) {
  return kDatabaseTypeNames.at(static_cast<std::size_t>(type));
}

std::optional<TDatabaseType> DatabaseTypeByName(const std::string& name) {
  for (std::size_t i = 0; i < kDatabaseTypeNames.size(); ++i)
    if (name == kDatabaseTypeNames[i]) return static_cast<TDatabaseType>(i);
  return std::nullopt;
}

// ----------------------------------------------------------- JSON values

namespace {

json ToJson(const TFieldValue& v) {
  struct Visitor {
    json operator()(std::monostate) const { return nullptr; }
    json operator()(const std::string& s) const {
      json j = s;
      try {
        (void)j.dump();
        return j;
      } catch (const json::type_error&) {
        static const char* digits = "0123456789abcdef";
        std::string hex;
        for (unsigned char c : s) {
          hex += digits[c >> 4];
          hex += digits[c & 15];
        }
        return json{{"hex", hex}};
      }
    }
    json operator()(std::int64_t i) const { return i; }
    json operator()(double d) const { return d; }
    json operator()(bool b) const { return b; }
  };
  return std::visit(Visitor{}, v);
}

TFieldValue FromJson(const json& j, const std::string& where) {
  if (j.is_null()) return std::monostate{};
  if (j.is_boolean()) return j.get<bool>();
  if (j.is_number_integer()) return j.get<std::int64_t>();
  if (j.is_number_float()) return j.get<double>();
  if (j.is_string()) return j.get<std::string>();
  if (j.is_object() && j.contains("hex") && j["hex"].is_string()) {
    const std::string hex = j["hex"].get<std::string>();
    std::string out;
    auto nibble = [&](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      throw EQorError(where + ": bad hex digit in a value");
    };
    if (hex.size() % 2 != 0) throw EQorError(where + ": odd number of hex digits");
    for (std::size_t i = 0; i < hex.size(); i += 2)
      out += static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
    return out;
  }
  throw EQorError(where + ": a value must be null, a string, a number, a boolean or {\"hex\"}");
}

std::string Show(const TFieldValue& v) {
  if (std::holds_alternative<std::monostate>(v)) return "NULL";
  if (std::holds_alternative<std::string>(v)) return QuotedStr(std::get<std::string>(v));
  return ValueAsString(v);
}

std::string ShowParams(const std::vector<std::pair<std::string, TFieldValue>>& params) {
  std::string s = "[";
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (i) s += ", ";
    s += params[i].first + "=" + Show(params[i].second);
  }
  return s + "]";
}

std::vector<std::pair<std::string, TFieldValue>> ParamList(const TParams* params) {
  std::vector<std::pair<std::string, TFieldValue>> out;
  if (!params) return out;
  for (int i = 0; i < params->Count(); ++i)
    out.emplace_back(params->Items(i)->Name(), params->Items(i)->Value());
  return out;
}

std::string Excerpt(const std::string& s, std::size_t at) {
  std::string e = Copy(s, static_cast<std::int64_t>(at), 24);
  return QuotedStr(ReplaceAll(ReplaceAll(e, "\r", "\\r"), "\n", "\\n"), '"');
}

TFieldType TypeOf(const std::vector<std::vector<TFieldValue>>& rows, std::size_t col) {
  for (const auto& row : rows) {
    if (col >= row.size()) continue;
    const TFieldValue& v = row[col];
    if (std::holds_alternative<std::string>(v)) return TFieldType::ftString;
    if (std::holds_alternative<std::int64_t>(v)) return TFieldType::ftLargeint;
    if (std::holds_alternative<double>(v)) return TFieldType::ftFloat;
    if (std::holds_alternative<bool>(v)) return TFieldType::ftBoolean;
  }
  return TFieldType::ftUnknown;
}

bool SameStatement(const TReplayStatement& a, const TReplayStatement& b) {
  return a.SQL == b.SQL && a.Params == b.Params && a.HasRows == b.HasRows &&
         a.Columns == b.Columns && a.Rows == b.Rows && a.Error == b.Error;
}

// Runs the parameter parser over the new text, keeping the values of
// same-named parameters, as the real query objects do.
void ReparseParams(TParams& params, const TStrings& sql) {
  TParams fresh;
  ParseSQLParams(fresh, sql.Text(), /*DoCreate=*/true);
  fresh.AssignValues(params);
  params.Clear();
  params.MoveFrom(fresh);
}

}  // namespace

// ----------------------------------------------------------- InterBase facts

TReplayIBFacts TReplayIBFacts::Capture(const TQORCustomConnection& c) {
  TReplayIBFacts f;
  f.Database = c.IBServerOptions.IBDatabaseOptions;
  f.DBCharSet = c.IBServerOptions.GetDBCharSet();
  f.SQLDialect = c.IBServerOptions.SQLDialect;
  return f;
}

void TReplayIBFacts::Apply(TQORCustomConnection& c) const {
  c.IBServerOptions.IBDatabaseOptions = Database;
  c.IBServerOptions.SetDBCharSet(DBCharSet);
  c.IBServerOptions.SQLDialect = static_cast<TIBSQLDialectType>(SQLDialect);
}

namespace {

// The fixture names of the database facts; a fact missing from a file keeps
// its start value.
using D = TIBDatabaseOptions;
const std::pair<const char*, std::string D::*> kTextFacts[] = {
    {"Version", &D::Version}, {"ServerImplementation", &D::ServerImplementation}};
const std::pair<const char*, std::int32_t D::*> kNumberFacts[] = {
    {"ODSMajorVersion", &D::ODSMajorVersion},
    {"ODSMinorVersion", &D::ODSMinorVersion},
    {"PageSize", &D::PageSize},
    {"ForcedWrites", &D::ForcedWrites},
    {"SweepInterval", &D::SweepInterval},
    {"ReadOnly", &D::ReadOnly},
    {"NumBuffers", &D::NumBuffers},
    {"DBImplementationNo", &D::DBImplementationNo},
    {"DBImplementationClass", &D::DBImplementationClass},
    {"DBSQLDialect", &D::DBSQLDialect}};

json FactsToJson(const TReplayIBFacts& f) {
  json j = json::object();
  for (const auto& [name, field] : kTextFacts) j[name] = f.Database.*field;
  for (const auto& [name, field] : kNumberFacts) j[name] = f.Database.*field;
  j["DBCharSet"] = f.DBCharSet;
  j["SQLDialect"] = f.SQLDialect;
  return j;
}

TReplayIBFacts FactsFromJson(const json& j) {
  TReplayIBFacts f;
  for (const auto& [name, field] : kTextFacts) f.Database.*field = j.value(name, f.Database.*field);
  for (const auto& [name, field] : kNumberFacts)
    f.Database.*field = j.value(name, f.Database.*field);
  f.DBCharSet = j.value("DBCharSet", f.DBCharSet);
  f.SQLDialect = j.value("SQLDialect", f.SQLDialect);
  return f;
}

}  // namespace

// ------------------------------------------------------------- the script

TReplayScript TReplayScript::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EQorError("Replay fixture not found: " + path);
  json j;
  try {
    j = json::parse(in);
  } catch (const json::exception& e) {
    throw EQorError(path + ": " + e.what());
  }
  TReplayScript s;
  try {
    if (j.contains("databaseType")) {
      const std::string name = j["databaseType"].get<std::string>();
      s.DatabaseType = DatabaseTypeByName(name);
      if (!s.DatabaseType) throw EQorError(path + ": unknown databaseType " + name);
    }
    if (j.contains("connectError")) s.ConnectError = j["connectError"].get<std::string>();
    if (j.contains("ibOptions")) s.IBFacts = FactsFromJson(j["ibOptions"]);
    const json& list = j.at("statements");
    for (std::size_t i = 0; i < list.size(); ++i) {
      const json& e = list[i];
      const std::string where = path + ": statement #" + std::to_string(i + 1);
      TReplayStatement st;
      const json& sql = e.at("sql");
      if (sql.is_array()) {
        std::vector<std::string> lines;
        for (const json& l : sql) lines.push_back(l.get<std::string>());
        st.SQL = JoinLines(lines);
      } else {
        st.SQL = sql.get<std::string>();
      }
      if (e.contains("params"))
        for (const json& p : e["params"]) {
          if (!p.is_array() || p.size() != 2)
            throw EQorError(where + ": a parameter is [name, value]");
          st.Params.emplace_back(p[0].get<std::string>(), FromJson(p[1], where));
        }
      if (e.contains("columns")) {
        st.HasRows = true;
        for (const json& c : e["columns"]) st.Columns.push_back(c.get<std::string>());
        if (e.contains("rows"))
          for (const json& r : e["rows"]) {
            if (r.size() != st.Columns.size())
              throw EQorError(where + ": a row has " + std::to_string(r.size()) + " values for " +
                              std::to_string(st.Columns.size()) + " columns");
            std::vector<TFieldValue> row;
            for (const json& v : r) row.push_back(FromJson(v, where));
            st.Rows.push_back(std::move(row));
          }
      }
      if (e.contains("error")) st.Error = e["error"].get<std::string>();
      s.Statements.push_back(std::move(st));
    }
  } catch (const json::exception& e) {
    throw EQorError(path + ": " + e.what());
  }
  return s;
}

void TReplayScript::Save(const std::string& path) const {
  json j = json::object();
  if (DatabaseType) j["databaseType"] = DatabaseTypeName(*DatabaseType);
  if (ConnectError) j["connectError"] = *ConnectError;
  if (IBFacts) j["ibOptions"] = FactsToJson(*IBFacts);
  json list = json::array();
  for (const TReplayStatement& st : Statements) {
    json e = json::object();
    const std::vector<std::string> lines = SplitLines(st.SQL);
    if (lines.size() > 1 && JoinLines(lines) == st.SQL) e["sql"] = lines;
    else e["sql"] = st.SQL;
    if (!st.Params.empty()) {
      json ps = json::array();
      for (const auto& [name, value] : st.Params) ps.push_back(json::array({name, ToJson(value)}));
      e["params"] = ps;
    }
    if (st.HasRows) {
      e["columns"] = st.Columns;
      json rows = json::array();
      for (const auto& r : st.Rows) {
        json row = json::array();
        for (const TFieldValue& v : r) row.push_back(ToJson(v));
        rows.push_back(row);
      }
      e["rows"] = rows;
    }
    if (st.Error) e["error"] = *st.Error;
    list.push_back(e);
  }
  j["statements"] = list;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EQorError("Cannot write replay fixture " + path);
  out << j.dump(2) << "\n";
}

// ============================================================ replay binding

namespace {

class TReplayDatabase : public TQORDatabase {
 public:
  explicit TReplayDatabase(TReplayConnection* binding) : binding_(binding) {
    FreeNotification(binding);
  }
  const char* ClassName() const override { return "TReplayDatabase"; }

  bool GetConnected() override { return connected_; }
  void SetConnected(bool value) override {
    if (!value) {
      connected_ = inTransaction_ = false;
      return;
    }
    if (!binding_) throw EQorError("TReplayDatabase: the replay binding is gone");
    if (binding_->Script().ConnectError) throw EQorError(*binding_->Script().ConnectError);
    if (binding_->Script().IBFacts && Connection())
      binding_->Script().IBFacts->Apply(*Connection());
    connected_ = true;
  }
  void StartTransaction() override { inTransaction_ = true; }
  void Commit() override { inTransaction_ = false; }
  void Rollback() override { inTransaction_ = false; }
  bool InTransaction() override { return inTransaction_; }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TQORDatabase::Notification(c, op);
    if (op == TOperation::opRemove && c == binding_) binding_ = nullptr;
  }

 private:
  TReplayConnection* binding_;
  bool connected_ = false;
  bool inTransaction_ = false;
};

// Rows held in memory, read through the dataset machinery.
class TMemQuery : public TQORQuery {
 public:
  bool Eof() const override { return TDataSet::Eof(); }
  bool GetActive() const override { return TDataSet::Active(); }
  TFields* GetFields() override { return &fields_; }
  void First() override { TDataSet::First(); }
  void Last() override { TDataSet::Last(); }
  void Next() override { TDataSet::Next(); }
  TField* FieldByName(std::string_view name) override { return fields_.FieldByName(name); }

 protected:
  void Serve(const std::vector<std::string>& columns, const std::vector<TFieldType>& types,
             std::vector<std::vector<TFieldValue>> rows) {
    fields_.Clear();
    for (std::size_t i = 0; i < columns.size(); ++i)
      fields_.Add(columns[i], i < types.size() ? types[i] : TFieldType::ftUnknown);
    rows_ = std::move(rows);
    row_ = 0;
  }
  bool InternalFetch() override {
    if (row_ >= rows_.size()) return false;
    const auto& r = rows_[row_++];
    for (int i = 0; i < fields_.Count(); ++i)
      fields_[i]->SetValue(static_cast<std::size_t>(i) < r.size() ? r[static_cast<std::size_t>(i)]
                                                                  : TFieldValue{});
    return true;
  }
  void InternalClose() override { rows_.clear(); }

 private:
  std::vector<std::vector<TFieldValue>> rows_;
  std::size_t row_ = 0;
};

class TReplayQuery : public TMemQuery {
 public:
  explicit TReplayQuery(TReplayConnection* binding) : binding_(binding) {
    FreeNotification(binding);
    sql_.OnChange = [this](TObject*) {
      Close();
      if (paramCheck_) ReparseParams(params_, sql_);
    };
  }
  const char* ClassName() const override { return "TReplayQuery"; }

  TStrings* GetSQL() override { return &sql_; }
  void SetParamCheck(bool value) override { paramCheck_ = value; }
  bool GetParamCheck() override { return paramCheck_; }
  TParams* GetParams() override { return &params_; }
  TParam* ParamByName(std::string_view name) override { return params_.ParamByName(name); }
  void Open() override { TDataSet::Open(); }
  void Close() override { TDataSet::Close(); }
  void ExecSQL() override {
    Close();
    const TReplayStatement& st = Statement();
    if (st.Error) throw EQorError(*st.Error);
  }

 protected:
  void InternalOpen() override {
    const TReplayStatement& st = Statement();
    if (st.Error) throw EQorError(*st.Error);
    if (!st.HasRows)
      throw EQorError("TReplayQuery: the fixture statement returns no rows; run it with ExecSQL");
    std::vector<TFieldType> types;
    for (std::size_t i = 0; i < st.Columns.size(); ++i) types.push_back(TypeOf(st.Rows, i));
    Serve(st.Columns, types, st.Rows);
  }
  void Notification(TComponent* c, TOperation op) override {
    TMemQuery::Notification(c, op);
    if (op == TOperation::opRemove && c == binding_) binding_ = nullptr;
  }

 private:
  const TReplayStatement& Statement() {
    if (!binding_) throw EQorError("TReplayQuery: the replay binding is gone");
    if (!Connection() || !Connection()->GetConnected())
      throw EQorError("TReplayQuery: database is not connected");
    return binding_->Match(sql_.Text(), &params_);
  }

  TReplayConnection* binding_;
  TStrings sql_;
  TParams params_;
  bool paramCheck_ = true;
};

}  // namespace

TReplayConnection::TReplayConnection(TconnectionType standsFor, TDatabaseType databaseType,
                                     TReplayScript script)
    : TQORAbstractConnection(
          script.DatabaseType.value_or(databaseType), standsFor,
          TDatabaseSetType().Include(script.DatabaseType.value_or(databaseType))),
      script_(std::move(script)) {
  for (std::size_t i = 0; i < script_.Statements.size(); ++i) {
    const TReplayStatement& st = script_.Statements[i];
    byKey_[st.SQL + '\0' + ShowParams(st.Params)].push_back(i);
  }
}

std::unique_ptr<TReplayConnection> TReplayConnection::FromFile(TconnectionType standsFor,
                                                               TDatabaseType databaseType,
                                                               const std::string& path) {
  return std::make_unique<TReplayConnection>(standsFor, databaseType, TReplayScript::Load(path));
}

std::unique_ptr<TQORDatabase> TReplayConnection::CreateDatabaseObject() {
  return std::make_unique<TReplayDatabase>(this);
}

std::unique_ptr<TQORQuery> TReplayConnection::CreateQuery() {
  auto q = std::make_unique<TReplayQuery>(this);
  q->SetConnection(OwningConnection());
  return q;
}

const TReplayStatement& TReplayConnection::Match(const std::string& sql, const TParams* params) {
  const auto asked = ParamList(params);
  TReplayStatement* pick = nullptr;
  TReplayStatement* last = nullptr;
  const auto bucket = byKey_.find(sql + '\0' + ShowParams(asked));
  const std::vector<std::size_t> none;
  for (std::size_t i : bucket == byKey_.end() ? none : bucket->second) {
    TReplayStatement& st = script_.Statements[i];
    if (st.SQL != sql || st.Params != asked) continue;
    last = &st;
    if (!pick && st.Uses == 0) pick = &st;
  }
  if (!pick) pick = last;
  if (pick) {
    ++pick->Uses;
    return *pick;
  }

  // Nothing matches: say which fixture statement comes nearest and where.
  std::string text = "Replay: no fixture statement matches" + std::string(CRLF) + sql +
                     std::string(CRLF) + "with parameters " + ShowParams(asked);
  std::size_t best = 0, bestScore = 0;
  bool found = false;
  for (std::size_t i = 0; i < script_.Statements.size(); ++i) {
    const std::string& f = script_.Statements[i].SQL;
    const std::size_t n = std::min(f.size(), sql.size());
    std::size_t prefix = 0;
    while (prefix < n && f[prefix] == sql[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < n - prefix && f[f.size() - 1 - suffix] == sql[sql.size() - 1 - suffix])
      ++suffix;
    const std::size_t score = prefix + suffix + (f == sql ? 1 : 0);
    if (!found || score > bestScore) {
      found = true;
      best = i;
      bestScore = score;
    }
  }
  if (!found) {
    text += std::string(CRLF) + "The fixture has no statements.";
  } else {
    const TReplayStatement& near = script_.Statements[best];
    text += std::string(CRLF) + "Nearest: fixture statement #" + std::to_string(best + 1);
    if (near.SQL == sql) {
      text += ", the same text with parameters " + ShowParams(near.Params);
    } else {
      std::size_t at = 0;
      while (at < near.SQL.size() && at < sql.size() && near.SQL[at] == sql[at]) ++at;
      text += ", first difference at character " + std::to_string(at + 1) + ": fixture " +
              Excerpt(near.SQL, at) + ", statement " + Excerpt(sql, at);
    }
  }
  mismatches_.push_back(text);
  throw EQorError(text);
}

std::vector<std::string> TReplayConnection::UnusedStatements() const {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < script_.Statements.size(); ++i) {
    const TReplayStatement& st = script_.Statements[i];
    if (st.Uses == 0)
      out.push_back("#" + std::to_string(i + 1) + ": " + st.SQL + " " + ShowParams(st.Params));
  }
  return out;
}

// ========================================================= recording binding

namespace {

class TRecordingDatabase : public TQORDatabase {
 public:
  TRecordingDatabase(TRecordingConnection* recorder, std::unique_ptr<TQORDatabase> inner)
      : recorder_(recorder), inner_(std::move(inner)) {
    FreeNotification(recorder);
  }
  const char* ClassName() const override { return "TRecordingDatabase"; }
  TQORDatabase* Inner() const { return inner_.get(); }

  bool GetConnected() override { return Sync().GetConnected(); }
  void SetConnected(bool value) override {
    TQORDatabase& db = Sync();
    try {
      db.SetConnected(value);
    } catch (const std::exception& e) {
      const std::string error = e.what();
      if (value && recorder_) recorder_->RecordConnect(Connection(), &error);
      throw;
    }
    if (value && recorder_ && db.GetConnected()) recorder_->RecordConnect(Connection(), nullptr);
  }
  void StartTransaction() override { Sync().StartTransaction(); }
  void Commit() override { Sync().Commit(); }
  void Rollback() override { Sync().Rollback(); }
  bool InTransaction() override { return Sync().InTransaction(); }
  void SetCharSet(const std::string& name) override { Sync().SetCharSet(name); }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TQORDatabase::Notification(c, op);
    if (op == TOperation::opRemove && c == recorder_) recorder_ = nullptr;
  }

 private:
  TQORDatabase& Sync() {
    inner_->SetConnection(Connection());
    return *inner_;
  }
  TRecordingConnection* recorder_;
  std::unique_ptr<TQORDatabase> inner_;
};

class TRecordingQuery : public TMemQuery {
 public:
  TRecordingQuery(TRecordingConnection* recorder, std::unique_ptr<TQORQuery> inner)
      : recorder_(recorder), inner_(std::move(inner)) {
    FreeNotification(recorder);
  }
  const char* ClassName() const override { return "TRecordingQuery"; }

  TStrings* GetSQL() override { return inner_->GetSQL(); }
  void SetParamCheck(bool value) override { inner_->SetParamCheck(value); }
  bool GetParamCheck() override { return inner_->GetParamCheck(); }
  TParams* GetParams() override { return inner_->GetParams(); }
  TParam* ParamByName(std::string_view name) override { return inner_->ParamByName(name); }
  void Prepare() override { inner_->Prepare(); }
  void SetDatabase(TQORDatabase* database) override {
    TQORQuery::SetDatabase(database);
    auto* rec = dynamic_cast<TRecordingDatabase*>(database);
    inner_->SetConnection(Connection());
    inner_->SetDatabase(rec ? rec->Inner() : database);
  }
  void Open() override { TDataSet::Open(); }
  void Close() override { TDataSet::Close(); }
  void ExecSQL() override {
    Close();
    TReplayStatement st = Asked();
    try {
      inner_->ExecSQL();
    } catch (const std::exception& e) {
      st.Error = e.what();
      Record(std::move(st));
      throw;
    }
    Record(std::move(st));
  }

 protected:
  void InternalOpen() override {
    TReplayStatement st = Asked();
    std::vector<TFieldType> types;
    try {
      inner_->Open();
      if (TFields* fs = inner_->GetFields())
        for (int i = 0; i < fs->Count(); ++i) {
          st.Columns.push_back(fs->Fields(i)->FieldName());
          types.push_back(fs->Fields(i)->DataType());
        }
      while (!inner_->Eof()) {
        std::vector<TFieldValue> row;
        TFields* fs = inner_->GetFields();
        for (int i = 0; i < fs->Count(); ++i) row.push_back(fs->Fields(i)->Value());
        st.Rows.push_back(std::move(row));
        inner_->Next();
      }
      inner_->Close();
    } catch (const std::exception& e) {
      try {
        inner_->Close();
      } catch (const std::exception&) {
        // The first failure is the one recorded.
      }
      st.Columns.clear();
      st.Rows.clear();
      st.Error = e.what();
      Record(std::move(st));
      throw;
    }
    st.HasRows = true;
    Serve(st.Columns, types, st.Rows);
    Record(std::move(st));
  }
  void Notification(TComponent* c, TOperation op) override {
    TMemQuery::Notification(c, op);
    if (op == TOperation::opRemove && c == recorder_) recorder_ = nullptr;
  }

 private:
  TReplayStatement Asked() {
    TReplayStatement st;
    if (TStrings* sql = inner_->GetSQL()) st.SQL = sql->Text();
    st.Params = ParamList(inner_->GetParams());
    return st;
  }
  void Record(TReplayStatement st) {
    if (recorder_) recorder_->Record(std::move(st));
  }

  TRecordingConnection* recorder_;
  std::unique_ptr<TQORQuery> inner_;
};

}  // namespace

TRecordingConnection::TRecordingConnection(TQORAbstractConnection* inner)
    : TQORAbstractConnection(inner->DatabaseType(), inner->ConnectionType(),
                             inner->SupportedDatabases()),
      inner_(inner) {}

void TRecordingConnection::SyncInner() {
  inner_->SetOwningConnection(OwningConnection());
  inner_->SetDatabaseType(DatabaseType());
  script_.DatabaseType = DatabaseType();
}

std::unique_ptr<TQORDatabase> TRecordingConnection::CreateDatabaseObject() {
  SyncInner();
  return std::make_unique<TRecordingDatabase>(this, inner_->CreateDatabaseObject());
}

std::unique_ptr<TQORQuery> TRecordingConnection::CreateQuery() {
  SyncInner();
  std::unique_ptr<TQORQuery> inner = inner_->CreateQuery();
  if (!inner) return nullptr;
  auto q = std::make_unique<TRecordingQuery>(this, std::move(inner));
  q->SetConnection(OwningConnection());
  return q;
}

bool TRecordingConnection::CreateDatabase() {
  SyncInner();
  return inner_->CreateDatabase();
}

void TRecordingConnection::RecordConnect(const TQORCustomConnection* connection,
                                         const std::string* error) {
  if (error) {
    script_.ConnectError = *error;
    return;
  }
  script_.ConnectError.reset();
  if (connection && connection->DatabaseType() == TDatabaseType::dbInterBase)
    script_.IBFacts = TReplayIBFacts::Capture(*connection);
}

void TRecordingConnection::Record(TReplayStatement statement) {
  for (const TReplayStatement& s : script_.Statements)
    if (SameStatement(s, statement)) return;
  script_.Statements.push_back(std::move(statement));
}

// ============================================================== binding scope

TBindingScope::TBindingScope(TconnectionType type,
                             std::unique_ptr<TQORAbstractConnection> standIn) {
  TConnectionRegistry* list = RegisteredConnections();
  if (!list) throw EQorError("TBindingScope: the engine is not initialised");
  if (!standIn || standIn->ConnectionType() != type)
    throw EQorError("TBindingScope: the stand-in is not of the connection type it replaces");
  std::vector<std::string> names;
  for (const auto& entry : *list)
    if (entry.Value && entry.Value->ConnectionType() == type) names.push_back(entry.Name);
  for (const std::string& n : names) saved_.emplace_back(n, UnregisterConnection(n));
  name_ = saved_.empty() ? "STANDIN" + IntToStr(static_cast<int>(type)) : saved_.front().first;
  standIn_ = standIn.get();
  if (!RegisterConnection(name_, std::move(standIn))) {
    for (auto& [name, binding] : saved_) RegisterConnection(name, std::move(binding));
    throw EQorError("TBindingScope: cannot register the stand-in as " + name_);
  }
}

TBindingScope::~TBindingScope() {
  UnregisterConnection(name_).reset();
  for (auto& [name, binding] : saved_) RegisterConnection(name, std::move(binding));
}

TQORAbstractConnection* TBindingScope::Original() const {
  return saved_.empty() ? nullptr : saved_.front().second.get();
}

}  // namespace qor::test
