// Generators and sequences: construction, the value setters, and the
// CREATE and DROP texts of every dialect.
#include "model/qorComp_Gnr.h"

#include "base/qorIBVersions.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

using DB = TDatabaseType;
using SD = TScriptDialect;

// A minimum or step of 1 is the default and goes unsaid.
bool SetNotOne(const std::string& v) { return !v.empty() && v != "1"; }

}  // namespace

TGnrData::TGnrData(TCustomObjs* owner, std::unique_ptr<TFldData> sequenceType) : TDbObj(owner) {
  ObjType = TDbObject::dboGenerator;
  SetCache("20");
  SetMaxValue("");
  NoMaxValue = true;
  SequenceType = sequenceType ? std::move(sequenceType) : std::make_unique<TFldData>(owner, this);
}

TGnrData::~TGnrData() = default;

void TGnrData::SetMaxValue(std::string_view value) {
  if (value == "999999999999999999999999999") {
    maxValue_.clear();
    NoMaxValue = true;
    return;
  }
  maxValue_ = std::string(value);
}

void TGnrData::SetCache(std::string_view value) {
  if (value == "0") {
    cache_.clear();
    noCache_ = true;
    return;
  }
  cache_ = std::string(value);
}

void TGnrData::SetNoCache(bool value) {
  noCache_ = value;
  if (value) cache_.clear();
}

std::string TGnrData::GetCreateSQL() {
  switch (ScriptDialect(GetServerType())) {
    case SD::sdOracle: {
      std::string s = "CREATE SEQUENCE ";
      s += GetParentName().empty() ? QuoteName(GetName())
                                   : QuoteName(GetParentName()) + "." + QuoteName(GetName());
      // Without it the sequence would start again at its minimum.
      if (!StartWith.empty()) s += "\r\nstart with " + StartWith;
      if (SetNotOne(MinValue)) s += "\r\nminvalue " + MinValue;
      if (!maxValue_.empty()) s += "\r\nmaxvalue " + maxValue_;
      if (SetNotOne(IncrementBy)) s += "\r\nincrement by " + IncrementBy;
      if (!cache_.empty()) s += "\r\ncache " + cache_;
      else if (noCache_) s += "\r\nnocache";
      if (Order) s += "\r\norder";
      if (Cycle) s += "\r\ncycle";
      return s;
    }
    case SD::sdMSSQL: {
      std::string s = "CREATE SEQUENCE " + GetQualifiedName();
      if (SequenceType && SequenceType->DataType != dt::Unknown)
        s += "\r\n    AS " + SequenceType->GetDataTypeSQL();
      if (!StartWith.empty()) s += "\r\n    START WITH " + StartWith;
      if (SetNotOne(IncrementBy)) s += "\r\n    INCREMENT BY " + IncrementBy;
      if (SetNotOne(MinValue)) s += "\r\n    MINVALUE " + MinValue;
      if (!maxValue_.empty()) s += "\r\n    MAXVALUE " + maxValue_;
      if (Cycle) s += "\r\n    CYCLE";
      if (!cache_.empty()) s += "\r\n    CACHE " + cache_;
      else if (noCache_) s += "\r\n    NO CACHE";
      return s;
    }
    case SD::sdPostgreSQL: {
      std::string s = std::string("CREATE ") + (Temporary ? "TEMPORARY " : "") + "SEQUENCE " +
                      GetQualifiedName();
      if (!IncrementBy.empty()) s += " INCREMENT BY " + IncrementBy;
      if (!MinValue.empty()) s += " MINVALUE " + MinValue;
      if (!maxValue_.empty()) s += " MAXVALUE " + maxValue_;
      if (!StartWith.empty()) s += " START WITH " + StartWith;
      if (!cache_.empty()) s += " CACHE " + cache_;
      if (Cycle) s += " CYCLE";
      if (!OwnedBy.empty()) s += " OWNED BY " + OwnedBy;
      return s;
    }
    case SD::sdDB2: {
      // DB2 has sequences, not generators.
      std::string s = "CREATE SEQUENCE " + GetQualifiedName();
      if (!StartWith.empty()) s += " START WITH " + StartWith;
      if (!IncrementBy.empty()) s += " INCREMENT BY " + IncrementBy;
      if (!cache_.empty()) s += " CACHE " + cache_;
      else if (noCache_) s += " NO CACHE";
      if (Cycle) s += " CYCLE";
      return s;
    }
    case SD::sdInterBase: {
      std::string s = "CREATE GENERATOR " + QuoteName(GetName());
      // Firebird 3 keeps a start value and a step; without them the
      // sequence would come back starting at 0 in steps of 1.
      const TIBServerOptions* ib = GetServerOptions();
      if (GetServerType() == DB::dbInterBase && ib &&
          IBCaps(ib->SQLServerVersion).identityColumns) {
        if (!StartWith.empty()) s += " START WITH " + StartWith;
        if (SetNotOne(IncrementBy)) s += " INCREMENT BY " + IncrementBy;
      }
      return s;
    }
    case SD::sdGeneric:
    case SD::sdASA:
    case SD::sdMySQL:
    case SD::sdASE: break;
  }
  return "CREATE GENERATOR " + QuoteName(GetName());
}

std::string TGnrData::GetDropSQL() {
  const DB st = GetServerType();
  if (st == DB::dbInterBase) {
    const TIBServerOptions* ib = GetServerOptions();
    if (ib && IBCaps(ib->SQLServerVersion).dropGenerator)
      return "DROP GENERATOR " + QuoteName(GetName());
    // Older servers have no DROP GENERATOR: the row goes from the catalog.
    return "/* Drop generator: " + BlockCommentText(QuoteName(GetName())) + " */\r\n" +
           "DELETE FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = " + QuotedStr(GetName());
  }
  if (st == DB::dbPostgreSQL || st == DB::dbOracle || st == DB::dbDB2)
    return "DROP SEQUENCE " + GetQualifiedName();
  return {};
}

std::string TGnrData::GetDB2IdentityOptions() {
  if (GetServerType() != DB::dbDB2) return {};
  // An option without a value is left to the server's default: "START WITH ,"
  // would not parse.
  std::string s;
  auto add = [&s](const char* word, const std::string& value) {
    if (value.empty()) return;
    if (!s.empty()) s += ", ";
    s += word + value;
  };
  add("START WITH ", StartWith);
  add("INCREMENT BY ", IncrementBy);
  add("CACHE ", cache_);
  return s.empty() ? s : "(" + s + ")";
}

void TGnrData::GetSubObjects(std::vector<TDbObj*>& out) {
  if (SequenceType) out.push_back(SequenceType.get());
}

}  // namespace qor
