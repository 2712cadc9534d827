#include "platform/odbc/qorADO.h"

#include "platform/odbc/qorConnString.h"
#include "platform/qorStrings.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

namespace qor {

namespace {

static_assert(sizeof(SQLWCHAR) == 2, "the driver manager's wide characters are UTF-16");

// Text goes to the driver manager through its wide functions: our strings
// are UTF-8, and the narrow ones would convert by the process locale.
std::vector<SQLWCHAR> Wide(std::string_view s) {
  const std::u16string units = Utf8ToUtf16(s);
  std::vector<SQLWCHAR> out(units.begin(), units.end());
  out.push_back(0);
  return out;
}

std::string Narrow(const SQLWCHAR* s, std::size_t n) {
  return Utf16ToUtf8(std::u16string(s, s + n));
}

std::size_t WideLength(const SQLWCHAR* s, std::size_t max) {
  std::size_t n = 0;
  while (n < max && s[n]) ++n;
  return n;
}

// The diagnostic records of a handle as one text, one record per line.
EADOError Diagnostics(SQLSMALLINT type, SQLHANDLE handle, const std::string& what) {
  std::string text, firstState;
  SQLINTEGER firstNative = 0;
  for (SQLSMALLINT i = 1; handle; ++i) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR message[1024] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRecW(type, handle, i, state, &native, message, 1024, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    if (i == 1) {
      firstState = Narrow(state, WideLength(state, 5));
      firstNative = native;
    }
    if (!text.empty()) text += CRLF;
    text += Narrow(message, WideLength(message, 1023));
  }
  if (text.empty()) text = what + " failed without a diagnostic from the driver";
  return EADOError(text, firstState, firstNative);
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what) {
  if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
  throw Diagnostics(type, handle, what);
}

std::string FirstState(SQLSMALLINT type, SQLHANDLE handle) {
  SQLWCHAR state[6] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, 1, state, &native, nullptr, 0, &length)))
    return {};
  return Narrow(state, WideLength(state, 5));
}

// States by which a driver says it does not offer an attribute or value.
bool IsNotOffered(const std::string& state) {
  return state == "HYC00" || state == "HY024" || state == "HY092" || state == "S1C00" ||
         state == "S1092" || state == "01S02";
}

SQLPOINTER IntAttr(std::intptr_t v) { return reinterpret_cast<SQLPOINTER>(v); }

std::intptr_t ODBCIsolation(TIsolationLevel level) {
  switch (level) {
    case TIsolationLevel::ilChaos:
    case TIsolationLevel::ilReadUncommitted:
    case TIsolationLevel::ilBrowse: return SQL_TXN_READ_UNCOMMITTED;
    case TIsolationLevel::ilCursorStability:
    case TIsolationLevel::ilReadCommitted: return SQL_TXN_READ_COMMITTED;
    case TIsolationLevel::ilRepeatableRead: return SQL_TXN_REPEATABLE_READ;
    case TIsolationLevel::ilSerializable:
    case TIsolationLevel::ilIsolated: return SQL_TXN_SERIALIZABLE;
    case TIsolationLevel::ilUnspecified: return 0;
  }
  return 0;
}

}  // namespace

// ============================================================ TADOConnection

TADOConnection::TADOConnection() = default;

TADOConnection::~TADOConnection() {
  try {
    Close();
  } catch (const EQorError&) {
    // Freed: no one is left to tell.
  }
}

void TADOConnection::Open() {
  if (Connected()) return;
  const TODBCConnectString target = TranslateConnectionString(ConnectionString);
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
    throw EADOError("The ODBC driver manager cannot allocate an environment", "", 0);
  auto release = [&] {
    if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
  };
  try {
    Check(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, IntAttr(SQL_OV_ODBC3), 0), SQL_HANDLE_ENV, env,
          "Setting the ODBC version");
    Check(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), SQL_HANDLE_ENV, env,
          "Allocating a connection");
    const int timeout = target.LoginTimeout.value_or(ConnectionTimeout);
    if (timeout > 0) SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, IntAttr(timeout), 0);
    std::vector<SQLWCHAR> text = Wide(target.Text);
    SQLWCHAR out[2048];
    SQLSMALLINT outLength = 0;
    // NOPROMPT: there is no dialog here; a missing value is the driver's error.
    Check(SQLDriverConnectW(dbc, nullptr, text.data(), SQL_NTS, out, 2048, &outLength,
                            SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, dbc, "Connecting");
  } catch (...) {
    release();
    throw;
  }
  env_ = env;
  dbc_ = dbc;
  odbcString_ = target.Text;
  inTransaction_ = false;
  try {
    // A driver that offers neither keeps its own default.
    if (const std::intptr_t level = ODBCIsolation(IsolationLevel); level != 0) {
      if (!SQL_SUCCEEDED(SQLSetConnectAttr(dbc, SQL_ATTR_TXN_ISOLATION, IntAttr(level), 0)) &&
          !IsNotOffered(FirstState(SQL_HANDLE_DBC, dbc)))
        throw Diagnostics(SQL_HANDLE_DBC, dbc, "Setting the isolation level");
    }
    if (Mode == TConnectMode::cmRead) {
      if (!SQL_SUCCEEDED(
              SQLSetConnectAttr(dbc, SQL_ATTR_ACCESS_MODE, IntAttr(SQL_MODE_READ_ONLY), 0)) &&
          !IsNotOffered(FirstState(SQL_HANDLE_DBC, dbc)))
        throw Diagnostics(SQL_HANDLE_DBC, dbc, "Setting the access mode");
    }
  } catch (...) {
    try {
      Close();
    } catch (const EQorError&) {
      // The first failure is the one reported.
    }
    throw;
  }
}

void TADOConnection::Close() {
  if (!Connected()) return;
  SQLHDBC dbc = dbc_;
  SQLHENV env = env_;
  dbc_ = nullptr;
  env_ = nullptr;
  std::string error;
  if (inTransaction_) {
    inTransaction_ = false;
    SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
  }
  const SQLRETURN rc = SQLDisconnect(dbc);
  std::optional<EADOError> failure;
  if (!SQL_SUCCEEDED(rc)) failure = Diagnostics(SQL_HANDLE_DBC, dbc, "Disconnecting");
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  if (failure) throw *failure;
}

int TADOConnection::BeginTrans() {
  if (!Connected()) throw EQorError("TADOConnection: BeginTrans on a closed connection");
  if (inTransaction_) throw EQorError("TADOConnection: a transaction is already open");
  Check(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, IntAttr(SQL_AUTOCOMMIT_OFF), 0),
        SQL_HANDLE_DBC, dbc_, "Starting a transaction");
  inTransaction_ = true;
  return 1;
}

void TADOConnection::EndTrans(bool commit) {
  if (!inTransaction_) throw EQorError("TADOConnection: no transaction is open");
  // A failed commit leaves the transaction open, for the caller to roll back.
  Check(SQLEndTran(SQL_HANDLE_DBC, dbc_, commit ? SQL_COMMIT : SQL_ROLLBACK), SQL_HANDLE_DBC, dbc_,
        commit ? "Committing" : "Rolling back");
  inTransaction_ = false;
  Check(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, IntAttr(SQL_AUTOCOMMIT_ON), 0), SQL_HANDLE_DBC,
        dbc_, "Ending a transaction");
}

void TADOConnection::CommitTrans() { EndTrans(/*commit=*/true); }
void TADOConnection::RollbackTrans() { EndTrans(/*commit=*/false); }

// ================================================================ TADOQuery

// One statement handle with the buffers its parameters are bound to; freed
// (and its pending results dropped) when the object goes.
class TADOQuery::TStatement {
 public:
  explicit TStatement(SQLHDBC dbc) {
    qor::Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &handle), SQL_HANDLE_DBC, dbc,
               "Allocating a statement");
  }
  ~TStatement() { SQLFreeHandle(SQL_HANDLE_STMT, handle); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;

  void Check(SQLRETURN rc, const char* what) { qor::Check(rc, SQL_HANDLE_STMT, handle, what); }

  // The first `n` parameters.
  void Bind(const TParams& params, std::size_t n) {
    texts.resize(n);
    ints.resize(n);
    floats.resize(n);
    bits.resize(n);
    lengths.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      const TFieldValue& v = params.Items(static_cast<int>(i))->Value();
      const auto number = static_cast<SQLUSMALLINT>(i + 1);
      SQLRETURN rc;
      if (const auto* s = std::get_if<std::string>(&v)) {
        texts[i] = Wide(*s);
        const std::size_t chars = texts[i].size() - 1;
        lengths[i] = static_cast<SQLLEN>(chars * sizeof(SQLWCHAR));
        const SQLSMALLINT sqlType = chars > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
        rc = SQLBindParameter(handle, number, SQL_PARAM_INPUT, SQL_C_WCHAR, sqlType,
                              chars == 0 ? 1 : chars, 0, texts[i].data(), lengths[i], &lengths[i]);
      } else if (const auto* k = std::get_if<std::int64_t>(&v)) {
        ints[i] = *k;
        lengths[i] = 0;
        rc = SQLBindParameter(handle, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                              &ints[i], 0, &lengths[i]);
      } else if (const auto* d = std::get_if<double>(&v)) {
        floats[i] = *d;
        lengths[i] = 0;
        rc = SQLBindParameter(handle, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0,
                              &floats[i], 0, &lengths[i]);
      } else if (const auto* b = std::get_if<bool>(&v)) {
        bits[i] = *b ? 1 : 0;
        lengths[i] = 0;
        rc = SQLBindParameter(handle, number, SQL_PARAM_INPUT, SQL_C_BIT, SQL_BIT, 1, 0, &bits[i],
                              0, &lengths[i]);
      } else {
        lengths[i] = SQL_NULL_DATA;
        rc = SQLBindParameter(handle, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0,
                              nullptr, 0, &lengths[i]);
      }
      Check(rc, "Binding a parameter");
    }
  }

  SQLHSTMT handle = SQL_NULL_HSTMT;
  std::vector<std::vector<SQLWCHAR>> texts;
  std::vector<std::int64_t> ints;
  std::vector<double> floats;
  std::vector<unsigned char> bits;
  std::vector<SQLLEN> lengths;
};

TADOQuery::TADOQuery() {
  sql_.OnChange = [this](TObject*) { SQLChanged(); };
}

TADOQuery::~TADOQuery() {
  Close();
  SetConnection(nullptr);
}

void TADOQuery::SetConnection(TADOConnection* connection) {
  if (connection == connection_) return;
  Close();
  if (connection_) RemoveFreeNotification(connection_);
  connection_ = connection;
  if (connection_) FreeNotification(connection_);
}

void TADOQuery::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation == TOperation::opRemove && component == connection_) connection_ = nullptr;
}

void TADOQuery::SQLChanged() { Close(); }

std::unique_ptr<TADOQuery::TStatement> TADOQuery::Execute() {
  if (!connection_) throw EQorError("TADOQuery: no connection assigned");
  if (!connection_->Connected()) throw EQorError("TADOQuery: the connection is closed");
  auto stmt = std::make_unique<TStatement>(static_cast<SQLHDBC>(connection_->Handle()));
  if (CommandTimeout > 0)
    SQLSetStmtAttr(stmt->handle, SQL_ATTR_QUERY_TIMEOUT, IntAttr(CommandTimeout), 0);
  sent_ = StatementText();
  std::vector<SQLWCHAR> text = Wide(sent_);
  if (parameters_.Count() == 0) {
    stmt->Check(SQLExecDirectW(stmt->handle, text.data(), SQL_NTS), "Running the statement");
    return stmt;
  }
  stmt->Check(SQLPrepareW(stmt->handle, text.data(), SQL_NTS), "Preparing the statement");
  // Parameters beyond the statement's markers are not bound: some drivers
  // refuse them.
  auto count = static_cast<std::size_t>(parameters_.Count());
  SQLSMALLINT markers = 0;
  if (SQL_SUCCEEDED(SQLNumParams(stmt->handle, &markers)) && markers >= 0)
    count = std::min(count, static_cast<std::size_t>(markers));
  stmt->Bind(parameters_, count);
  stmt->Check(SQLExecute(stmt->handle), "Running the statement");
  return stmt;
}

std::int64_t TADOQuery::ExecSQL() {
  Close();
  std::unique_ptr<TStatement> stmt = Execute();
  SQLLEN count = -1;
  if (!SQL_SUCCEEDED(SQLRowCount(stmt->handle, &count))) count = -1;
  // The errors of a later statement of a batch arrive with its result.
  for (SQLRETURN rc = SQLMoreResults(stmt->handle); rc != SQL_NO_DATA;
       rc = SQLMoreResults(stmt->handle))
    stmt->Check(rc, "Running the statement");
  return count;
}

namespace {

enum class TReadAs : std::uint8_t { Text, Binary, Integer, Float, Bit };

void DescribeType(SQLSMALLINT sqlType, TFieldType& fieldType, TReadAs& readAs) {
  readAs = TReadAs::Text;
  // clang-format off
  switch (sqlType) {
    case SQL_CHAR: case SQL_VARCHAR: case SQL_WCHAR: case SQL_WVARCHAR: case SQL_GUID:
      fieldType = TFieldType::ftString; return;
    case SQL_LONGVARCHAR: case SQL_WLONGVARCHAR:
      fieldType = TFieldType::ftMemo; return;
    case SQL_TINYINT: case SQL_SMALLINT:
      fieldType = TFieldType::ftSmallint; readAs = TReadAs::Integer; return;
    case SQL_INTEGER:
      fieldType = TFieldType::ftInteger; readAs = TReadAs::Integer; return;
    case SQL_BIGINT:
      fieldType = TFieldType::ftLargeint; readAs = TReadAs::Integer; return;
    case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE:
      fieldType = TFieldType::ftFloat; readAs = TReadAs::Float; return;
    case SQL_DECIMAL: case SQL_NUMERIC:
      fieldType = TFieldType::ftBCD; return;
    case SQL_TYPE_DATE: case SQL_DATE:
      fieldType = TFieldType::ftDate; return;
    case SQL_TYPE_TIME: case SQL_TIME:
      fieldType = TFieldType::ftTime; return;
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP:
      fieldType = TFieldType::ftDateTime; return;
    case SQL_BIT:
      fieldType = TFieldType::ftBoolean; readAs = TReadAs::Bit; return;
    case SQL_BINARY: case SQL_VARBINARY: case SQL_LONGVARBINARY:
      fieldType = TFieldType::ftBlob; readAs = TReadAs::Binary; return;
    default:
      fieldType = TFieldType::ftString; return;
  }
  // clang-format on
}

// The whole value of a column, read piece by piece; nullopt for NULL. Text
// is read in wide characters and turned into UTF-8.
std::optional<std::string> ReadColumn(SQLHSTMT h, SQLUSMALLINT col, bool binary) {
  const SQLSMALLINT cType = binary ? SQL_C_BINARY : SQL_C_WCHAR;
  const SQLLEN terminator = binary ? 0 : static_cast<SQLLEN>(sizeof(SQLWCHAR));
  std::string bytes;
  SQLWCHAR buffer[4096];
  while (true) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(h, col, cType, buffer, sizeof buffer, &indicator);
    if (rc == SQL_NO_DATA) break;
    Check(rc, SQL_HANDLE_STMT, h, "Reading a column");
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    const SQLLEN room = static_cast<SQLLEN>(sizeof buffer) - terminator;
    const SQLLEN piece = indicator == SQL_NO_TOTAL || indicator > room ? room : indicator;
    bytes.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(piece));
    // SQL_SUCCESS: that was the last piece; with info (01004) more follows.
    if (rc == SQL_SUCCESS || piece < room) break;
  }
  if (binary) return bytes;
  std::vector<SQLWCHAR> wide(bytes.size() / sizeof(SQLWCHAR));
  if (!wide.empty()) std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(SQLWCHAR));
  return Narrow(wide.data(), wide.size());
}

// Numbers arrive as the driver's text of them; one that does not read
// whole stays text, which the field converts or reports.
TFieldValue ToValue(std::string text, TReadAs readAs) {
  switch (readAs) {
    case TReadAs::Integer: {
      errno = 0;
      char* end = nullptr;
      const long long v = std::strtoll(text.c_str(), &end, 10);
      if (errno == 0 && end && *end == '\0' && !text.empty()) return static_cast<std::int64_t>(v);
      return text;
    }
    case TReadAs::Float: {
      errno = 0;
      char* end = nullptr;
      const double v = std::strtod(text.c_str(), &end);
      if (errno == 0 && end && *end == '\0' && !text.empty()) return v;
      return text;
    }
    case TReadAs::Bit:
      if (text == "1") return true;
      if (text == "0") return false;
      return text;
    case TReadAs::Text:
    case TReadAs::Binary: return text;
  }
  return text;
}

}  // namespace

void TADOQuery::InternalOpen() {
  rows_.clear();
  next_ = 0;
  fields_.Clear();
  std::unique_ptr<TStatement> stmt = Execute();
  SQLHSTMT h = stmt->handle;
  // Results without columns (row counts, SET statements) come first in a
  // batch; the first one with columns is the one read.
  SQLSMALLINT columns = 0;
  while (true) {
    stmt->Check(SQLNumResultCols(h, &columns), "Describing the result");
    if (columns > 0) break;
    const SQLRETURN rc = SQLMoreResults(h);
    if (rc == SQL_NO_DATA)
      throw EQorError("TADOQuery: the statement returns no rows; run it with ExecSQL");
    stmt->Check(rc, "Running the statement");
  }
  std::vector<TReadAs> readAs(static_cast<std::size_t>(columns));
  for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
    std::vector<SQLWCHAR> name(256);
    SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    stmt->Check(SQLDescribeColW(h, c, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                &nameLength, &sqlType, &size, &digits, &nullable),
                "Describing a column");
    if (static_cast<std::size_t>(nameLength) >= name.size()) {
      name.resize(static_cast<std::size_t>(nameLength) + 1);
      stmt->Check(SQLDescribeColW(h, c, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                  &nameLength, &sqlType, &size, &digits, &nullable),
                  "Describing a column");
    }
    TFieldType fieldType;
    DescribeType(sqlType, fieldType, readAs[c - 1]);
    fields_.Add(Narrow(name.data(), WideLength(name.data(), name.size())), fieldType);
  }
  while (true) {
    const SQLRETURN rc = SQLFetch(h);
    if (rc == SQL_NO_DATA) break;
    stmt->Check(rc, "Fetching a row");
    std::vector<TFieldValue> row;
    row.reserve(readAs.size());
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
      const TReadAs how = readAs[c - 1];
      std::optional<std::string> text = ReadColumn(h, c, how == TReadAs::Binary);
      if (!text) row.emplace_back(std::monostate{});
      else row.push_back(ToValue(std::move(*text), how));
    }
    rows_.push_back(std::move(row));
  }
}

void TADOQuery::InternalClose() {
  rows_.clear();
  next_ = 0;
}

bool TADOQuery::InternalFetch() {
  if (next_ >= rows_.size()) return false;
  std::vector<TFieldValue>& row = rows_[next_++];
  for (int i = 0; i < fields_.Count() && static_cast<std::size_t>(i) < row.size(); ++i)
    fields_.Fields(i)->SetValue(std::move(row[static_cast<std::size_t>(i)]));
  return true;
}

}  // namespace qor
