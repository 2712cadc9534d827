#include "platform/ibx/qorIBX.h"

#include "platform/qorStrings.h"

#include <ibase.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>

namespace qor {

static_assert(sizeof(isc_db_handle) == sizeof(std::uint32_t), "client handles are 32-bit");

namespace {

// ------------------------------------------------------------ status vector

[[noreturn]] void RaiseStatus(const ISC_STATUS* status, const std::string& note = {}) {
  std::vector<std::string> lines;
  const ISC_STATUS* p = status;
  char buf[1024];
  while (fb_interpret(buf, sizeof buf, &p) > 0) lines.emplace_back(buf);
  if (!note.empty()) lines.push_back(note);
  std::string text = JoinLines(lines);
  if (text.empty()) text = "Unknown client library error";
  throw EIBError(text, isc_sqlcode(status), status[1]);
}

void Check(ISC_STATUS rc, const ISC_STATUS* status) {
  if (rc != 0 && status[0] == 1 && status[1] != 0) RaiseStatus(status);
}

// An attachment or services attach. The client reports a server that kept
// silent until the connect timeout as a rejection; the note says which.
void CheckAttach(ISC_STATUS rc, const ISC_STATUS* status, const std::string& name, int timeout) {
  if (rc == 0 || status[0] != 1 || status[1] == 0) return;
  if (status[1] != isc_connect_reject || timeout <= 0) RaiseStatus(status);
  RaiseStatus(status, "The server of \"" + name + "\" did not answer within " + IntToStr(timeout) +
                          " seconds, or refused the connection.");
}

// "name=value" lines; a line without "=" has an empty value.
void SplitParam(const std::string& line, std::string& name, std::string& value) {
  const std::size_t eq = line.find('=');
  name = LowerAscii(TrimBlanks(line.substr(0, eq)));
  value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

// Parameter blocks of version 1: tag, one length byte, the bytes.
void AppendString(std::string& block, char tag, const std::string& value, const char* what) {
  if (value.size() > 255)
    throw EQorError(std::string(what) + ": parameter value longer than 255 bytes");
  block += tag;
  block += static_cast<char>(value.size());
  block += value;
}

// A four-byte number, least significant byte first, as both blocks take it.
void AppendInt(std::string& block, char tag, std::uint32_t value) {
  block += tag;
  block += static_cast<char>(4);
  for (int i = 0; i < 4; ++i) block += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::int32_t VaxInt(const std::uint8_t* p, short len) {
  return static_cast<std::int32_t>(isc_vax_integer(reinterpret_cast<const ISC_SCHAR*>(p), len));
}

std::string Two(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

std::string DateText(const tm& t) {
  char b[48];
  std::snprintf(b, sizeof b, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  return b;
}

// Ten-thousandths of a second are shown only when there are some.
std::string TimeText(const tm& t, ISC_TIME raw) {
  std::string s = Two(t.tm_hour) + ":" + Two(t.tm_min) + ":" + Two(t.tm_sec);
  const unsigned frac = raw % 10000;
  if (frac != 0) {
    char b[16];
    std::snprintf(b, sizeof b, ".%04u", frac);
    s += b;
  }
  return s;
}

// An exact number with `scale` decimals (scale < 0).
std::string ScaledText(std::int64_t v, int scale) {
  const bool neg = v < 0;
  // Magnitude as unsigned, so the smallest value does not overflow.
  std::uint64_t m = neg ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  std::string digits = std::to_string(m);
  const std::size_t d = static_cast<std::size_t>(-scale);
  if (digits.size() <= d) digits.insert(0, d - digits.size() + 1, '0');
  digits.insert(digits.size() - d, ".");
  return neg ? "-" + digits : digits;
}

// An owned XSQLDA with a buffer and a null indicator per column.
class TSqlda {
 public:
  TSqlda() { Resize(1); }
  ~TSqlda() { std::free(da_); }
  TSqlda(const TSqlda&) = delete;
  TSqlda& operator=(const TSqlda&) = delete;

  void Resize(int n) {
    std::free(da_);
    da_ = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(std::max(n, 1))));
    if (!da_) throw EQorError("Out of memory for a statement description");
    da_->version = SQLDA_VERSION1;
    da_->sqln = static_cast<ISC_SHORT>(std::max(n, 1));
    buffers_.clear();
    nulls_.clear();
  }
  XSQLDA* Da() { return da_; }
  int Count() const { return da_->sqld; }
  XSQLVAR& Var(int i) { return da_->sqlvar[i]; }

  // Buffers for the described columns; every column reports NULL.
  void AllocateOutput() {
    buffers_.assign(static_cast<std::size_t>(Count()), {});
    nulls_.assign(static_cast<std::size_t>(Count()), 0);
    for (int i = 0; i < Count(); ++i) {
      XSQLVAR& v = Var(i);
      std::size_t size = static_cast<std::size_t>(v.sqllen);
      if ((v.sqltype & ~1) == SQL_VARYING) size += 2;
      buffers_[Idx(i)].assign(std::max<std::size_t>(size, 8), 0);
      v.sqldata = buffers_[Idx(i)].data();
      v.sqlind = &nulls_[Idx(i)];
      v.sqltype = static_cast<ISC_SHORT>(v.sqltype | 1);
    }
  }
  // Input: one buffer per marker, filled by Bind.
  void PrepareInput() {
    buffers_.assign(static_cast<std::size_t>(Count()), {});
    nulls_.assign(static_cast<std::size_t>(Count()), 0);
    described_.clear();
    for (int i = 0; i < Count(); ++i) described_.push_back({Var(i).sqltype, Var(i).sqlsubtype});
  }
  void Bind(int i, const TFieldValue& value) {
    XSQLVAR& v = Var(i);
    const short baseType = static_cast<short>(described_[Idx(i)].type & ~1);
    std::vector<char>& buf = buffers_[Idx(i)];
    v.sqlind = &nulls_[Idx(i)];
    v.sqlscale = 0;
    nulls_[Idx(i)] = 0;
    if (std::holds_alternative<std::monostate>(value)) {
      nulls_[Idx(i)] = -1;
      v.sqltype = static_cast<ISC_SHORT>(described_[Idx(i)].type | 1);
      buf.assign(std::max<std::size_t>(static_cast<std::size_t>(v.sqllen) + 2, 8), 0);
      v.sqldata = buf.data();
      return;
    }
    if (const auto* b = std::get_if<bool>(&value); b && baseType == SQL_BOOLEAN) {
      buf.assign(8, 0);
      buf[0] = *b ? 1 : 0;
      v.sqltype = SQL_BOOLEAN | 1;
      v.sqllen = 1;
    } else if (const auto* s = std::get_if<std::string>(&value)) {
      if (s->size() > 32767) throw EQorError("Parameter value longer than 32767 bytes");
      buf.assign(s->begin(), s->end());
      buf.push_back(0);
      v.sqltype = SQL_TEXT | 1;
      v.sqllen = static_cast<ISC_SHORT>(s->size());
      // Text keeps the character set the server described; other targets
      // convert from text without one.
      const bool textTarget = baseType == SQL_TEXT || baseType == SQL_VARYING;
      v.sqlsubtype = textTarget ? described_[Idx(i)].subType : 0;
    } else if (const auto* d = std::get_if<double>(&value)) {
      buf.assign(8, 0);
      std::memcpy(buf.data(), d, 8);
      v.sqltype = SQL_DOUBLE | 1;
      v.sqllen = 8;
    } else {
      std::int64_t n = 0;
      ValueAsInt64(value, n);
      buf.assign(8, 0);
      std::memcpy(buf.data(), &n, 8);
      v.sqltype = SQL_INT64 | 1;
      v.sqllen = 8;
    }
    v.sqldata = buf.data();
  }

 private:
  struct Described {
    ISC_SHORT type;
    ISC_SHORT subType;
  };
  static std::size_t Idx(int i) { return static_cast<std::size_t>(i); }
  XSQLDA* da_ = nullptr;
  std::vector<std::vector<char>> buffers_;
  std::vector<ISC_SHORT> nulls_;
  std::vector<Described> described_;
};

}  // namespace

// --------------------------------------------------------------- TIBStatement

// One prepared statement of an attachment, its cursor and its rows.
class TIBStatement {
 public:
  explicit TIBStatement(TIBLink& link) : link_(link) {}
  ~TIBStatement() { Free(); }

  bool Prepared() const { return handle_ != 0; }
  bool CursorOpen() const { return cursorOpen_; }
  bool HasRows() const { return out_.Count() > 0; }

  void Prepare(const std::string& text, const char* who) {
    if (Prepared()) return;
    TIBDatabase* db = ConnectedDatabase(who);
    TIBTransaction* tr = ActiveTransaction(who);
    ISC_STATUS_ARRAY st;
    isc_stmt_handle h = 0;
    Check(isc_dsql_allocate_statement(st, db->Handle(), &h), st);
    try {
      out_.Resize(1);
      Check(isc_dsql_prepare(st, tr->Handle(), &h, 0, text.c_str(),
                             static_cast<unsigned short>(db->StatementDialect()), out_.Da()),
            st);
      if (out_.Da()->sqld > out_.Da()->sqln) {
        out_.Resize(out_.Da()->sqld);
        Check(isc_dsql_describe(st, &h, SQLDA_VERSION1, out_.Da()), st);
      }
      out_.AllocateOutput();
      in_.Resize(1);
      Check(isc_dsql_describe_bind(st, &h, SQLDA_VERSION1, in_.Da()), st);
      if (in_.Da()->sqld > in_.Da()->sqln) {
        in_.Resize(in_.Da()->sqld);
        Check(isc_dsql_describe_bind(st, &h, SQLDA_VERSION1, in_.Da()), st);
      }
      in_.PrepareInput();
      stmtType_ = StatementType(h);
    } catch (...) {
      ISC_STATUS_ARRAY st2;
      isc_dsql_free_statement(st2, &h, DSQL_drop);
      throw;
    }
    handle_ = h;
    dbHandle_ = *db->Handle();
  }

  // Column descriptions as fields, in column order.
  void CreateFields(TFields& fields) {
    fields.Clear();
    for (int i = 0; i < out_.Count(); ++i) {
      XSQLVAR& v = out_.Var(i);
      std::string name(v.aliasname, static_cast<std::size_t>(v.aliasname_length));
      if (name.empty()) name.assign(v.sqlname, static_cast<std::size_t>(v.sqlname_length));
      fields.Add(std::move(name), FieldType(v));
    }
  }

  void Execute(const TParams& params, const char* who) {
    TIBTransaction* tr = ActiveTransaction(who);
    ConnectedDatabase(who);
    CloseCursor();
    BindParams(params);
    ISC_STATUS_ARRAY st;
    XSQLDA* in = in_.Count() > 0 ? in_.Da() : nullptr;
    if (stmtType_ == isc_info_sql_stmt_exec_procedure && HasRows()) {
      Check(isc_dsql_execute2(st, tr->Handle(), &handle_, SQLDA_VERSION1, in, out_.Da()), st);
      singletonPending_ = true;
      cursorOpen_ = true;
      return;
    }
    Check(isc_dsql_execute(st, tr->Handle(), &handle_, SQLDA_VERSION1, in), st);
    cursorOpen_ = HasRows() && (stmtType_ == isc_info_sql_stmt_select ||
                                stmtType_ == isc_info_sql_stmt_select_for_upd);
    singletonPending_ = false;
  }

  // The next row into `fields`; false at the end (the cursor is closed).
  bool Fetch(TFields& fields) {
    if (!cursorOpen_) return false;
    if (stmtType_ == isc_info_sql_stmt_exec_procedure) {
      if (!singletonPending_) {
        cursorOpen_ = false;
        return false;
      }
      singletonPending_ = false;
      ReadRow(fields);
      return true;
    }
    ISC_STATUS_ARRAY st;
    const ISC_STATUS rc = isc_dsql_fetch(st, &handle_, SQLDA_VERSION1, out_.Da());
    if (rc == 100) {
      CloseCursor();
      return false;
    }
    Check(rc, st);
    ReadRow(fields);
    return true;
  }

  void CloseCursor() {
    if (!cursorOpen_) return;
    cursorOpen_ = false;
    singletonPending_ = false;
    if (stmtType_ == isc_info_sql_stmt_exec_procedure || !AttachmentAlive()) return;
    ISC_STATUS_ARRAY st;
    isc_dsql_free_statement(st, &handle_, DSQL_close);
  }

  void Free() {
    cursorOpen_ = false;
    singletonPending_ = false;
    if (!handle_) return;
    if (AttachmentAlive()) {
      ISC_STATUS_ARRAY st;
      isc_dsql_free_statement(st, &handle_, DSQL_drop);
    }
    handle_ = 0;
    dbHandle_ = 0;
  }

 private:
  // The attachment this statement was prepared on is still the open one.
  bool AttachmentAlive() const {
    TIBDatabase* db = link_.Database();
    return db && db->Connected() && *db->Handle() == dbHandle_;
  }

  TIBDatabase* ConnectedDatabase(const char* who) {
    TIBDatabase* db = link_.Database();
    if (!db) throw EQorError(std::string(who) + ": database not assigned");
    if (!db->Connected()) throw EQorError(std::string(who) + ": database is not connected");
    return db;
  }

  TIBTransaction* ActiveTransaction(const char* who) {
    TIBTransaction* tr = link_.Transaction();
    if (!tr) throw EQorError(std::string(who) + ": transaction not assigned");
    if (!tr->Active()) tr->StartTransaction();
    return tr;
  }

  int StatementType(isc_stmt_handle& h) {
    const char items[] = {isc_info_sql_stmt_type};
    char buf[16] = {};
    ISC_STATUS_ARRAY st;
    Check(isc_dsql_sql_info(st, &h, sizeof items, items, sizeof buf, buf), st);
    if (buf[0] != isc_info_sql_stmt_type) return 0;
    const short len = static_cast<short>(isc_vax_integer(buf + 1, 2));
    return static_cast<int>(isc_vax_integer(buf + 3, len));
  }

  // Marker i takes Params[i]; one never given a value falls back on the
  // first same-named parameter that was, so a name used twice needs one
  // value only.
  void BindParams(const TParams& params) {
    const int n = in_.Count();
    if (params.Count() < n)
      throw EQorError("The statement has " + IntToStr(n) + " parameters, " +
                      IntToStr(params.Count()) + " given");
    for (int i = 0; i < n; ++i) {
      const TParam* p = params[i];
      if (!p->Bound()) {
        for (int k = 0; k < params.Count(); ++k) {
          const TParam* q = params[k];
          if (q->Bound() && SameText(q->Name(), p->Name())) {
            p = q;
            break;
          }
        }
      }
      in_.Bind(i, p->Value());
    }
  }

  static TFieldType FieldType(const XSQLVAR& v) {
    switch (v.sqltype & ~1) {
      case SQL_TEXT:
      case SQL_VARYING: return TFieldType::ftString;
      case SQL_SHORT: return v.sqlscale < 0 ? TFieldType::ftBCD : TFieldType::ftSmallint;
      case SQL_LONG: return v.sqlscale < 0 ? TFieldType::ftBCD : TFieldType::ftInteger;
      case SQL_INT64: return v.sqlscale < 0 ? TFieldType::ftBCD : TFieldType::ftLargeint;
      case SQL_FLOAT:
      case SQL_DOUBLE:
      case SQL_D_FLOAT: return TFieldType::ftFloat;
      case SQL_TIMESTAMP: return TFieldType::ftDateTime;
      case SQL_TYPE_DATE: return TFieldType::ftDate;
      case SQL_TYPE_TIME: return TFieldType::ftTime;
      case SQL_BLOB: return v.sqlsubtype == 1 ? TFieldType::ftMemo : TFieldType::ftBlob;
      case SQL_BOOLEAN: return TFieldType::ftBoolean;
      default: return TFieldType::ftUnknown;
    }
  }

  void ReadRow(TFields& fields) {
    for (int i = 0; i < out_.Count() && i < fields.Count(); ++i)
      fields[i]->SetValue(ReadValue(out_.Var(i), fields[i]->FieldName()));
  }

  template <class T>
  static T Load(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }

  TFieldValue ReadValue(const XSQLVAR& v, const std::string& name) {
    if (v.sqlind && *v.sqlind < 0) return std::monostate{};
    const char* p = v.sqldata;
    const int scale = v.sqlscale;
    switch (v.sqltype & ~1) {
      case SQL_TEXT: return std::string(p, static_cast<std::size_t>(v.sqllen));
      case SQL_VARYING: {
        const auto len = Load<std::uint16_t>(p);
        return std::string(p + 2, std::min<std::size_t>(len, static_cast<std::size_t>(v.sqllen)));
      }
      case SQL_SHORT: return Integer(Load<std::int16_t>(p), scale);
      case SQL_LONG: return Integer(Load<std::int32_t>(p), scale);
      case SQL_INT64: return Integer(Load<std::int64_t>(p), scale);
      case SQL_FLOAT: return static_cast<double>(Load<float>(p));
      case SQL_DOUBLE:
      case SQL_D_FLOAT: return Load<double>(p);
      case SQL_BOOLEAN: return *p != 0;
      case SQL_TYPE_DATE: {
        ISC_DATE d = Load<ISC_DATE>(p);
        tm t{};
        isc_decode_sql_date(&d, &t);
        return DateText(t);
      }
      case SQL_TYPE_TIME: {
        ISC_TIME tt = Load<ISC_TIME>(p);
        tm t{};
        isc_decode_sql_time(&tt, &t);
        return TimeText(t, tt);
      }
      case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts = Load<ISC_TIMESTAMP>(p);
        tm t{};
        isc_decode_timestamp(&ts, &t);
        return DateText(t) + " " + TimeText(t, ts.timestamp_time);
      }
      case SQL_BLOB: return ReadBlob(Load<ISC_QUAD>(p));
      case SQL_NULL: return std::monostate{};
      default:
        throw EQorError("Field '" + name + "': data type " + IntToStr(v.sqltype & ~1) +
                        " is not supported");
    }
  }

  static TFieldValue Integer(std::int64_t v, int scale) {
    if (scale >= 0) {
      for (int i = 0; i < scale; ++i) v *= 10;
      return v;
    }
    return ScaledText(v, scale);
  }

  std::string ReadBlob(ISC_QUAD id) {
    TIBDatabase* db = link_.Database();
    TIBTransaction* tr = link_.Transaction();
    ISC_STATUS_ARRAY st;
    isc_blob_handle blob = 0;
    Check(isc_open_blob2(st, db->Handle(), tr->Handle(), &blob, &id, 0, nullptr), st);
    std::string out;
    std::vector<char> seg(32768);
    for (;;) {
      unsigned short got = 0;
      const ISC_STATUS rc =
          isc_get_segment(st, &blob, &got, static_cast<unsigned short>(seg.size()), seg.data());
      if (rc != 0 && rc != isc_segment) {
        if (rc == isc_segstr_eof) break;
        ISC_STATUS_ARRAY st2;
        isc_close_blob(st2, &blob);
        RaiseStatus(st);
      }
      out.append(seg.data(), got);
    }
    Check(isc_close_blob(st, &blob), st);
    return out;
  }

  TIBLink& link_;
  isc_stmt_handle handle_ = 0;
  std::uint32_t dbHandle_ = 0;
  int stmtType_ = 0;
  bool cursorOpen_ = false;
  bool singletonPending_ = false;
  TSqlda in_;
  TSqlda out_;
};

// -------------------------------------------------------------------- TIBLink

TIBLink::~TIBLink() {
  SetDatabase(nullptr);
  SetTransaction(nullptr);
}

void TIBLink::SetDatabase(TIBDatabase* database) {
  if (database == database_) return;
  if (database_) {
    auto& l = database_->links_;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
  }
  database_ = database;
  if (database_) database_->links_.push_back(this);
}

void TIBLink::SetTransaction(TIBTransaction* transaction) {
  if (transaction == transaction_) return;
  if (transaction_) {
    auto& l = transaction_->links_;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
  }
  transaction_ = transaction;
  if (transaction_) transaction_->links_.push_back(this);
}

// ---------------------------------------------------------------- TIBDatabase

TIBDatabase::~TIBDatabase() {
  try {
    Close();
  } catch (const EQorError&) {
    // A failed detach at destruction has no one left to report to.
  }
  for (TIBLink* l : std::vector<TIBLink*>(links_)) l->database_ = nullptr;
  links_.clear();
}

int TIBDatabase::StatementDialect() const {
  return dbDialect_ > 0 ? std::min(SQLDialect, dbDialect_) : SQLDialect;
}

void TIBDatabase::Open() {
  if (Connected()) return;
  std::string dpb(1, static_cast<char>(isc_dpb_version1));
  for (const std::string& line : Params.Lines()) {
    if (TrimBlanks(line).empty()) continue;
    std::string name, value;
    SplitParam(line, name, value);
    if (name == "user_name") AppendString(dpb, isc_dpb_user_name, value, ClassName());
    else if (name == "password") AppendString(dpb, isc_dpb_password, value, ClassName());
    else if (name == "sql_role_name") AppendString(dpb, isc_dpb_sql_role_name, value, ClassName());
    else if (name == "lc_ctype") AppendString(dpb, isc_dpb_lc_ctype, value, ClassName());
    else throw EQorError("TIBDatabase: unknown database parameter '" + name + "'");
  }
  if (ConnectTimeout > 0)
    AppendInt(dpb, isc_dpb_connect_timeout, static_cast<std::uint32_t>(ConnectTimeout));
  ISC_STATUS_ARRAY st;
  isc_db_handle h = 0;
  CheckAttach(isc_attach_database(st, 0, DatabaseName.c_str(), &h, static_cast<short>(dpb.size()),
                                  dpb.data()),
              st, DatabaseName, ConnectTimeout);
  handle_ = h;
  AfterAttach();
}

void TIBDatabase::AfterAttach() {
  const char items[] = {isc_info_db_sql_dialect, isc_info_end};
  char buf[32] = {};
  ISC_STATUS_ARRAY st;
  dbDialect_ = 1;
  if (isc_database_info(st, &handle_, sizeof items, items, sizeof buf, buf) == 0 &&
      buf[0] == isc_info_db_sql_dialect) {
    const short len = static_cast<short>(isc_vax_integer(buf + 1, 2));
    dbDialect_ = static_cast<int>(isc_vax_integer(buf + 3, len));
  }
}

void TIBDatabase::Close() {
  if (!Connected()) return;
  // Transactions end first (their cursors close), then statements go. A
  // failure there is raised after the detach, which happens regardless.
  std::exception_ptr first;
  for (TIBLink* l : std::vector<TIBLink*>(links_)) {
    if (!l->OnDatabaseClosing) continue;
    try {
      l->OnDatabaseClosing();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  ISC_STATUS_ARRAY st;
  const ISC_STATUS rc = isc_detach_database(st, &handle_);
  // A broken attachment cannot be detached; it is forgotten all the same.
  handle_ = 0;
  dbDialect_ = 0;
  if (first) std::rethrow_exception(first);
  Check(rc, st);
}

void TIBDatabase::CreateDatabase() {
  if (Connected()) throw EQorError("TIBDatabase: CreateDatabase on a connected database");
  std::string sql = "CREATE DATABASE " + QuotedStr(DatabaseName);
  for (const std::string& line : Params.Lines())
    if (!TrimBlanks(line).empty()) sql += " " + line;
  ISC_STATUS_ARRAY st;
  isc_db_handle h = 0;
  isc_tr_handle tr = 0;
  Check(isc_dsql_execute_immediate(st, &h, &tr, 0, sql.c_str(),
                                   static_cast<unsigned short>(SQLDialect), nullptr),
        st);
  handle_ = h;
  AfterAttach();
}

// ------------------------------------------------------------- TIBTransaction

TIBTransaction::TIBTransaction() {
  // A transaction still active when its database disconnects is committed;
  // when that fails it is rolled back, so no handle outlives the attachment.
  link_.OnDatabaseClosing = [this] {
    if (!Active()) return;
    try {
      End(/*commit=*/true);
    } catch (...) {
      if (Active()) {
        try {
          End(/*commit=*/false);
        } catch (const EQorError&) {
          // The handle is given up with the attachment.
        }
      }
      throw;
    }
  };
}

TIBTransaction::~TIBTransaction() {
  if (Active()) {
    try {
      End(/*commit=*/false);
    } catch (const EQorError&) {
      // Nothing to report to at destruction; the server rolls back.
    }
  }
  for (TIBLink* l : std::vector<TIBLink*>(links_)) l->transaction_ = nullptr;
  links_.clear();
}

void TIBTransaction::SetActive(bool value) {
  if (value == Active()) return;
  if (value) StartTransaction();
  else Commit();
}

void TIBTransaction::StartTransaction() {
  if (Active()) throw EQorError("TIBTransaction: transaction is already active");
  TIBDatabase* db = DefaultDatabase();
  if (!db) throw EQorError("TIBTransaction: database not assigned");
  if (!db->Connected()) throw EQorError("TIBTransaction: database is not connected");
  std::string tpb;
  for (const std::string& line : Params.Lines()) {
    const std::string name = LowerAscii(TrimBlanks(line));
    if (name.empty()) continue;
    if (tpb.empty()) tpb += static_cast<char>(isc_tpb_version3);
    if (name == "concurrency") tpb += static_cast<char>(isc_tpb_concurrency);
    else if (name == "consistency") tpb += static_cast<char>(isc_tpb_consistency);
    else if (name == "read_committed") tpb += static_cast<char>(isc_tpb_read_committed);
    else if (name == "rec_version") tpb += static_cast<char>(isc_tpb_rec_version);
    else if (name == "no_rec_version") tpb += static_cast<char>(isc_tpb_no_rec_version);
    else if (name == "wait") tpb += static_cast<char>(isc_tpb_wait);
    else if (name == "nowait") tpb += static_cast<char>(isc_tpb_nowait);
    else if (name == "read") tpb += static_cast<char>(isc_tpb_read);
    else if (name == "write") tpb += static_cast<char>(isc_tpb_write);
    else throw EQorError("TIBTransaction: unknown transaction parameter '" + name + "'");
  }
  ISC_STATUS_ARRAY st;
  isc_tr_handle h = 0;
  Check(isc_start_transaction(st, &h, 1, db->Handle(), static_cast<unsigned short>(tpb.size()),
                              tpb.empty() ? nullptr : tpb.data()),
        st);
  handle_ = h;
}

void TIBTransaction::Commit() { End(/*commit=*/true); }
void TIBTransaction::Rollback() { End(/*commit=*/false); }

void TIBTransaction::End(bool commit) {
  if (!Active()) throw EQorError("TIBTransaction: transaction is not active");
  for (TIBLink* l : std::vector<TIBLink*>(links_))
    if (l->OnTransactionEnding) l->OnTransactionEnding();
  ISC_STATUS_ARRAY st;
  const ISC_STATUS rc =
      commit ? isc_commit_transaction(st, &handle_) : isc_rollback_transaction(st, &handle_);
  if (rc == 0) return;
  // A failed commit leaves the transaction active, to be rolled back; a
  // failed rollback means the attachment is gone and the handle is dead.
  if (!commit) handle_ = 0;
  RaiseStatus(st);
}

// ------------------------------------------------------------------- TIBQuery

TIBQuery::TIBQuery() {
  sql_.OnChange = [this](TObject*) { SQLChanged(); };
  link_.OnDatabaseClosing = [this] {
    Close();
    if (stmt_) stmt_->Free();
  };
  link_.OnTransactionEnding = [this] { Close(); };
}

TIBQuery::~TIBQuery() {
  Close();
  stmt_.reset();
}

void TIBQuery::SetDatabase(TIBDatabase* database) {
  if (database == Database()) return;
  Close();
  Unprepare();
  link_.SetDatabase(database);
}

void TIBQuery::SetTransaction(TIBTransaction* transaction) {
  if (transaction == Transaction()) return;
  Close();
  link_.SetTransaction(transaction);
}

TIBStatement& TIBQuery::Statement() {
  if (!stmt_) stmt_ = std::make_unique<TIBStatement>(link_);
  return *stmt_;
}

bool TIBQuery::Prepared() const { return stmt_ && stmt_->Prepared(); }

void TIBQuery::Prepare() {
  if (Prepared()) return;
  std::string text = StatementText();
  if (TrimCtl(text).empty()) throw EQorError("TIBQuery: the SQL text is empty");
  Statement().Prepare(text, ClassName());
  preparedText_ = std::move(text);
}

void TIBQuery::Unprepare() {
  Close();
  if (stmt_) stmt_->Free();
  preparedText_.clear();
}

void TIBQuery::SQLChanged() {
  Close();
  Unprepare();
}

void TIBQuery::ExecSQL() {
  Close();
  Prepare();
  Statement().Execute(params_, ClassName());
  Statement().CloseCursor();
}

void TIBQuery::InternalOpen() {
  Prepare();
  if (!stmt_->HasRows())
    throw EQorError("TIBQuery: the statement returns no rows; run it with ExecSQL");
  stmt_->Execute(params_, ClassName());
  stmt_->CreateFields(fields_);
}

void TIBQuery::InternalClose() {
  if (stmt_) stmt_->CloseCursor();
}

bool TIBQuery::InternalFetch() { return stmt_ && stmt_->Fetch(fields_); }

// --------------------------------------------------------------------- TIBSQL

TIBSQL::TIBSQL() {
  SQL.OnChange = [this](TObject*) {
    Close();
    if (stmt_) stmt_->Free();
  };
  link_.OnDatabaseClosing = [this] {
    Close();
    if (stmt_) stmt_->Free();
  };
  link_.OnTransactionEnding = [this] { Close(); };
}

TIBSQL::~TIBSQL() { stmt_.reset(); }

void TIBSQL::ExecQuery() {
  Close();
  if (!stmt_) stmt_ = std::make_unique<TIBStatement>(link_);
  stmt_->Prepare(SQL.Text(), ClassName());
  TParams none;
  stmt_->Execute(none, ClassName());
  stmt_->CreateFields(fields_);
  eof_ = !stmt_->Fetch(fields_);
}

void TIBSQL::Next() {
  if (eof_ || !stmt_) return;
  eof_ = !stmt_->Fetch(fields_);
}

void TIBSQL::Close() {
  if (stmt_) stmt_->CloseCursor();
  eof_ = true;
}

// ------------------------------------------------------------ TIBDatabaseInfo

std::vector<std::uint8_t> TIBDatabaseInfo::Info(std::uint8_t item) {
  TIBDatabase* db = Database();
  if (!db) throw EQorError("TIBDatabaseInfo: database not assigned");
  if (!db->Connected()) throw EQorError("TIBDatabaseInfo: database is not connected");
  const char items[] = {static_cast<char>(item), isc_info_end};
  std::vector<char> buf(1024);
  ISC_STATUS_ARRAY st;
  Check(isc_database_info(st, db->Handle(), sizeof items, items, static_cast<short>(buf.size()),
                          buf.data()),
        st);
  if (static_cast<std::uint8_t>(buf[0]) != item)
    throw EQorError("TIBDatabaseInfo: the server does not report item " + IntToStr(item));
  const auto len = static_cast<std::size_t>(isc_vax_integer(buf.data() + 1, 2));
  if (len + 3 > buf.size()) throw EQorError("TIBDatabaseInfo: answer truncated");
  return std::vector<std::uint8_t>(buf.begin() + 3, buf.begin() + 3 + static_cast<long>(len));
}

std::int32_t TIBDatabaseInfo::InfoInt(std::uint8_t item) {
  const std::vector<std::uint8_t> v = Info(item);
  return v.empty() ? 0 : VaxInt(v.data(), static_cast<short>(std::min<std::size_t>(v.size(), 4)));
}

// The first of the version texts (the engine's; a remote attachment adds
// its own after it).
std::string TIBDatabaseInfo::Version() {
  const std::vector<std::uint8_t> v = Info(isc_info_version);
  if (v.size() < 2) return {};
  const std::size_t len = std::min<std::size_t>(v[1], v.size() - 2);
  return std::string(reinterpret_cast<const char*>(v.data() + 2), len);
}

std::int32_t TIBDatabaseInfo::ODSMajorVersion() { return InfoInt(isc_info_ods_version); }
std::int32_t TIBDatabaseInfo::ODSMinorVersion() { return InfoInt(isc_info_ods_minor_version); }
std::int32_t TIBDatabaseInfo::PageSize() { return InfoInt(isc_info_page_size); }
std::int32_t TIBDatabaseInfo::ForcedWrites() { return InfoInt(isc_info_forced_writes); }
std::int32_t TIBDatabaseInfo::SweepInterval() { return InfoInt(isc_info_sweep_interval); }
std::int32_t TIBDatabaseInfo::ReadOnly() { return InfoInt(isc_info_db_read_only); }
std::int32_t TIBDatabaseInfo::NumBuffers() { return InfoInt(isc_info_num_buffers); }
std::int32_t TIBDatabaseInfo::DBSQLDialect() { return InfoInt(isc_info_db_sql_dialect); }

// Count, then pairs of implementation number and class; the first pair.
std::int32_t TIBDatabaseInfo::DBImplementationNo() {
  const std::vector<std::uint8_t> v = Info(isc_info_implementation);
  return v.size() >= 3 ? v[1] : 0;
}

std::int32_t TIBDatabaseInfo::DBImplementationClass() {
  const std::vector<std::uint8_t> v = Info(isc_info_implementation);
  return v.size() >= 3 ? v[2] : 0;
}

// -------------------------------------------------------- TIBServerProperties

TIBServerProperties::~TIBServerProperties() {
  try {
    SetActive(false);
  } catch (const EQorError&) {
    // Nothing to report to at destruction.
  }
}

std::string TIBServerProperties::ServiceName() const {
  switch (Protocol) {
    case TIBProtocol::TCP: return ServerName.empty() ? "service_mgr" : ServerName + ":service_mgr";
    case TIBProtocol::Local: return "service_mgr";
    case TIBProtocol::SPX:
      throw EQorError("TIBServerProperties: the SPX protocol is not available on this platform");
    case TIBProtocol::NamedPipe:
      throw EQorError(
          "TIBServerProperties: the named pipe protocol is not available on this platform");
  }
  return "service_mgr";
}

void TIBServerProperties::SetActive(bool value) {
  if (value == Active()) return;
  ISC_STATUS_ARRAY st;
  if (!value) {
    const ISC_STATUS rc = isc_service_detach(st, &handle_);
    handle_ = 0;
    Check(rc, st);
    return;
  }
  const std::string name = ServiceName();
  std::string spb;
  spb += static_cast<char>(isc_spb_version);
  spb += static_cast<char>(isc_spb_current_version);
  for (const std::string& line : Params.Lines()) {
    if (TrimBlanks(line).empty()) continue;
    std::string pname, pvalue;
    SplitParam(line, pname, pvalue);
    // The embedded services take the user of the process when none is given.
    if (pname == "user_name") {
      if (!pvalue.empty()) AppendString(spb, isc_spb_user_name, pvalue, ClassName());
    } else if (pname == "password") {
      if (!pvalue.empty()) AppendString(spb, isc_spb_password, pvalue, ClassName());
    } else if (pname == "sql_role_name") {
      if (!pvalue.empty()) AppendString(spb, isc_spb_sql_role_name, pvalue, ClassName());
    } else {
      throw EQorError("TIBServerProperties: unknown service parameter '" + pname + "'");
    }
  }
  if (ConnectTimeout > 0)
    AppendInt(spb, isc_spb_connect_timeout, static_cast<std::uint32_t>(ConnectTimeout));
  isc_svc_handle h = 0;
  CheckAttach(isc_service_attach(st, 0, name.c_str(), &h, static_cast<unsigned short>(spb.size()),
                                 spb.data()),
              st, name, ConnectTimeout);
  handle_ = h;
}

void TIBServerProperties::FetchVersionInfo() {
  if (!Active()) throw EQorError("TIBServerProperties: the services manager is not attached");
  const char req[] = {isc_info_svc_server_version, isc_info_svc_implementation,
                      isc_info_svc_version};
  std::vector<char> buf(2048);
  ISC_STATUS_ARRAY st;
  Check(isc_service_query(st, &handle_, nullptr, 0, nullptr, sizeof req, req,
                          static_cast<unsigned short>(buf.size()), buf.data()),
        st);
  TIBVersionInfo info;
  std::size_t i = 0;
  auto text = [&](std::string& out) {
    if (i + 2 > buf.size()) return false;
    const auto len = static_cast<std::size_t>(isc_vax_integer(buf.data() + i, 2));
    i += 2;
    if (i + len > buf.size()) return false;
    out.assign(buf.data() + i, len);
    i += len;
    return true;
  };
  while (i < buf.size()) {
    const char item = buf[i++];
    if (item == isc_info_end || item == isc_info_truncated) break;
    if (item == isc_info_svc_server_version) {
      if (!text(info.ServerVersion)) break;
    } else if (item == isc_info_svc_implementation) {
      if (!text(info.ServerImplementation)) break;
    } else if (item == isc_info_svc_version) {
      if (i + 4 > buf.size()) break;
      info.ServiceVersion = static_cast<std::int32_t>(isc_vax_integer(buf.data() + i, 4));
      i += 4;
    } else {
      break;
    }
  }
  versionInfo_ = std::move(info);
}

void IBClientShutdown() { fb_shutdown(0, fb_shutrsn_app_stopped); }

}  // namespace qor
