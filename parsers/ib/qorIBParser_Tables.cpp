// The InterBase/Firebird statements of tables, columns, data types,
// constraints, indices and domains.
#include "parsers/ib/qorIBParser.h"

#include "base/qorDBOptions.h"
#include "base/qorIBVersions.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <limits>

namespace qor {

namespace {

bool StartsWithIBE(std::string_view name) { return UpperAscii(name.substr(0, 4)) == "IBE$"; }

// The type of `from` into an existing column: what ALTER ... TYPE changes.
void CopyType(const TFldData& from, TFldData& to) {
  to.DataType = from.DataType;
  to.Length = from.Length;
  to.Precision = from.Precision;
  to.Scale = from.Scale;
  to.SubType = from.SubType;
  to.SegmentSize = from.SegmentSize;
  to.CharSet = from.CharSet;
  to.DomainName = from.DomainName;
  to.TypeOf = from.TypeOf;
  to.TypeOfTable = from.TypeOfTable;
  to.TypeOfColumn = from.TypeOfColumn;
  to.ArrayBounds = from.ArrayBounds;
  to.WithTimeZone = from.WithTimeZone;
}

}  // namespace

// ---- Small rules

// A signed integer in 32 bits: Expect joins the sign to the text only.
static bool SignedValue(TIbParser& p, std::int64_t& v) {
  v = p.IntValue();
  if (!p.TokenText().empty() && p.TokenText()[0] == '-') v = -v;
  return true;
}

bool TIbParser::ParseArrayBounds(TFldData& column) {
  // [u] is 1:u; [l:u]; several dimensions separated by ",".
  NextToken();
  for (;;) {
    if (!Expect(tk::Integer)) return false;
    std::int64_t a = 0, b = 0;
    SignedValue(*this, a);
    NextToken();
    std::int64_t lower = 1, upper = a;
    if (TokenKind() == tk::Colon) {
      NextToken();
      if (!Expect(tk::Integer)) return false;
      SignedValue(*this, b);
      lower = a;
      upper = b;
      NextToken();
    }
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    if (lower < lo || lower > hi || upper < lo || upper > hi || lower > upper) {
      Error("Invalid array bounds: " + std::to_string(lower) + ":" + std::to_string(upper));
      return false;
    }
    column.ArrayBounds.emplace_back(static_cast<std::int32_t>(lower),
                                    static_cast<std::int32_t>(upper));
    if (TokenKind() != tk::Comma) break;
    NextToken();
  }
  return ExpectAndNext(tk::RBracket);
}

bool TIbParser::IsDataTypeStart() {
  return IsKw(ibk::Integer) || IsKw(ibk::Smallint) || IsKw(ibk::Bigint) || IsKw(ibk::Boolean) ||
         IsKw(ibk::Float) || IsKw(ibk::Real) || IsKw(ibk::Double) || IsKw(ibk::Numeric) ||
         IsKw(ibk::Decimal) || IsKw(ibk::Date) || IsKw(ibk::Time) || IsKw(ibk::Timestamp) ||
         IsKw(ibk::Char) || IsKw(ibk::Varchar) || IsKw(ibk::Nchar) || IsKw(ibk::National) ||
         IsKw(ibk::Cstring) || IsKw(ibk::Binary) || IsKw(ibk::Varbinary) || IsKw(ibk::Blob) ||
         IsKw(ibk::Type) || IsWord("DECFLOAT") || IsWord("INT128") || TokenKind() == tk::Ident ||
         TokenKind() == tk::String;
}

bool TIbParser::ParseDataType(TFldData& f) {
  // "(" n ")" sets both size fields; 1 without.
  auto size = [&]() {
    f.Length = 1;
    f.Precision = 1;
    if (TokenKind() != tk::LParen) return true;
    std::int32_t n = 0;
    if (!NextAndExpect(tk::Integer) || !Int32Value(n)) return false;
    f.Length = n;
    f.Precision = n;
    NextToken();
    return ExpectAndNext(tk::RParen);
  };
  auto varying = [&](std::uint8_t fixed, std::uint8_t var) {
    NextToken();
    f.DataType = fixed;
    if (IsKw(ibk::Varying)) {
      f.DataType = var;
      NextToken();
    }
  };
  bool ok = true;
  if (IsKw(ibk::Integer)) {
    f.DataType = dt::INTEGER;
    NextToken();
  } else if (IsKw(ibk::Smallint)) {
    f.DataType = dt::SMALLINT;
    NextToken();
  } else if (IsKw(ibk::Bigint)) {
    f.DataType = dt::BIGINT;
    NextToken();
  } else if (IsKw(ibk::Boolean)) {
    f.DataType = dt::BOOLEAN;
    NextToken();
  } else if (IsKw(ibk::Float) || IsKw(ibk::Real)) {
    f.DataType = dt::FLOAT;
    NextToken();
    if (TokenKind() == tk::LParen) ok = size();
  } else if (IsKw(ibk::Double)) {
    NextToken();
    if (!ExpectKw(ibk::Precision)) return false;
    f.DataType = dt::DOUBLE_PRECISION;
    NextToken();
  } else if (IsWord("DECFLOAT") && IBCaps(ServerVersion()).decfloatInt128) {
    f.DataType = dt::DECFLOAT;
    f.Length = 34;
    f.Precision = 34;
    NextToken();
    // Only a given precision replaces the 34 digits.
    if (TokenKind() == tk::LParen) ParseLengthScale(f);
  } else if (IsWord("INT128") && IBCaps(ServerVersion()).decfloatInt128) {
    // The model has no 128-bit integer; NUMERIC(38, 0) is the engine's own
    // type with the same range and storage.
    f.DataType = dt::NUMERIC;
    f.Precision = 38;
    f.Scale = 0;
    NextToken();
  } else if (IsKw(ibk::Numeric) || IsKw(ibk::Decimal)) {
    f.DataType = IsKw(ibk::Numeric) ? dt::NUMERIC : dt::DECIMAL;
    NextToken();
    ParseLengthScale(f);
  } else if (IsKw(ibk::Date)) {
    f.DataType = dt::DATE;
    NextToken();
  } else if (IsKw(ibk::Time) || IsKw(ibk::Timestamp)) {
    f.DataType = IsKw(ibk::Time) ? dt::TIME : dt::TIMESTAMP;
    NextToken();
    if (IsKw(ibk::With) || IsWord("WITHOUT")) {
      const bool with = IsKw(ibk::With);
      NextToken();
      if (!ExpectKw(ibk::Time)) return false;
      NextToken();
      if (!ExpectWord("ZONE")) return false;
      NextToken();
      f.WithTimeZone = with;
    }
  } else if (IsKw(ibk::Char)) {
    varying(dt::CHAR, dt::VARCHAR);
    ok = size();
  } else if (IsKw(ibk::Varchar)) {
    f.DataType = dt::VARCHAR;
    NextToken();
    ok = size();
  } else if (IsKw(ibk::Nchar) || IsKw(ibk::National)) {
    if (IsKw(ibk::National)) {
      NextToken();
      if (!ExpectKw(ibk::Char)) return false;
    }
    varying(dt::CHAR, dt::VARCHAR);
    f.CharSet = "ISO8859_1";
    ok = size();
  } else if (IsKw(ibk::Cstring)) {
    f.DataType = dt::CSTRING;
    NextToken();
    ok = size();
  } else if (IsKw(ibk::Binary)) {
    varying(dt::BINARY, dt::VARBINARY);
    ok = size();
  } else if (IsKw(ibk::Varbinary)) {
    f.DataType = dt::VARBINARY;
    NextToken();
    ok = size();
  } else if (IsKw(ibk::Blob)) {
    f.DataType = dt::BLOB;
    f.SegmentSize = 80;
    NextToken();
    if (TokenKind() == tk::LParen) {  // the older BLOB (segment [, sub-type])
      std::int32_t n = 0;
      if (!NextAndExpect(tk::Integer) || !Int32Value(n)) return false;
      f.SegmentSize = n;
      NextToken();
      if (TokenKind() == tk::Comma) {
        NextToken();
        if (!Expect(tk::Integer)) return false;
        std::int64_t v = 0;
        SignedValue(*this, v);
        f.SubType = static_cast<std::int32_t>(v);
        NextToken();
      }
      if (!ExpectAndNext(tk::RParen)) return false;
    }
    for (;;) {
      if (IsKw(ibk::SubType)) {
        NextToken();
        if (TokenKind() == tk::Integer || TokenKind() == tk::Minus) {
          if (!Expect(tk::Integer)) return false;
          std::int64_t v = 0;
          SignedValue(*this, v);
          if (v < -32768 || v > 32767) {
            Error("Unknown blob-subtype.");
            return false;
          }
          f.SubType = static_cast<std::int32_t>(v);
        } else if (IsKw(ibk::Binary)) {
          f.SubType = 0;
        } else if (IsWord("TEXT")) {
          f.SubType = 1;
        } else if (IsWord("BLR")) {
          f.SubType = 2;
        } else {
          Error("Unknown blob-subtype.");
          return false;
        }
        NextToken();
      } else if (IsKw(ibk::Segment)) {
        std::int32_t n = 0;
        if (!NextAndExpectKw(ibk::Size)) return false;
        if (!NextAndExpect(tk::Integer) || !Int32Value(n)) return false;
        f.SegmentSize = n;
        NextToken();
      } else {
        break;
      }
    }
  } else if (IsKw(ibk::Type) && TokenKind() != tk::String) {
    // TYPE OF [COLUMN] table.column | TYPE OF domain; else a domain named TYPE.
    TParseContext saved(this);
    NextToken();
    if (!IsKw(ibk::Of)) {
      TParseContext::Restore(*this, saved);
      f.DataType = dt::UserType;
      f.DomainName = IdentText().empty() ? "TYPE" : UpperAscii(IdentText());
      NextToken();
    } else {
      NextToken();
      f.TypeOf = true;
      f.DataType = dt::UserType;
      if (IsKw(ibk::Column)) {
        NextToken();
        if (!ParseQualifiedName()) return false;
        if (Qualifier.empty()) {
          Error("Must be: TYPE OF COLUMN table.column");
          return false;
        }
        f.TypeOfTable = Qualifier;
        f.TypeOfColumn = QName;
      } else {
        std::string name;
        if (!ReadName(name)) return false;
        f.DomainName = name;
        NextToken();
      }
    }
  } else if (TokenKind() == tk::Ident || TokenKind() == tk::String) {
    // Dialect 1 has no delimited names: a domain in double quotes is taken
    // only as the plain name that our script can write back.
    if (TokenKind() == tk::String && IbNameNeedsQuotes(TokenText(), ServerVersion())) {
      Error("A domain name in double quotes needs SQL dialect 3: " + TokenText());
      return false;
    }
    f.DataType = dt::UserType;
    f.DomainName = TokenKind() == tk::Ident ? IdentText() : TokenText();
    NextToken();
  } else {
    Expect(tk::Ident);
    return false;
  }
  if (!ok) return false;
  // Array bounds and the character set, in either order.
  for (;;) {
    if (TokenKind() == tk::LBracket) {
      if (!ParseArrayBounds(f)) return false;
    } else if (IsKw(ibk::Char)) {
      NextToken();
      if (!ExpectKw(ibk::Set)) return false;
      NextToken();
      std::string cs;
      if (!ReadName(cs)) return false;
      f.CharSet = cs;
      NextToken();
    } else {
      return true;
    }
  }
}

// ---- Columns

std::unique_ptr<TFldData> TIbParser::ParseColumn(TTblData* table, const std::string& tableName,
                                                 bool& ok) {
  ok = false;
  std::string name;
  if (!ReadName(name)) return nullptr;
  auto f = std::make_unique<TFldData>(Objs(), table);
  f->SetName(name);
  f->TableName = tableName;
  CurrentColumn = name;
  NextToken();
  // A computed column may leave its type to the expression.
  if (!IsKw(ibk::Computed) && !ParseDataType(*f)) return f;
  ok = ParseColumnOptions(*f, nullptr, table, tableName);
  return f;
}

bool TIbParser::ParseColumnOptions(TFldData& f, TDmnData* domain, TTblData* table,
                                   const std::string& tableName) {
  for (;;) {
    if (IsWord("GENERATED")) {
      NextToken();
      if (!ExpectKw(ibk::By)) return false;
      NextToken();
      if (!IsWord("ALWAYS") && !ExpectKw(ibk::Default)) return false;
      f.GeneratedKind = IsWord("ALWAYS") ? 'A' : 'D';
      NextToken();
      if (!ExpectKw(ibk::As)) return false;
      NextToken();
      if (!ExpectWord("IDENTITY")) return false;
      f.Identity = true;
      // The engine stores every identity column NOT NULL, written or not.
      f.Nullable = false;
      NextToken();
      if (TokenKind() == tk::LParen) {
        NextToken();
        while (TokenKind() != tk::RParen && TokenKind() != tk::EOFKind &&
               TokenKind() != tk::Terminator) {
          const bool start = IsWord("START");
          const bool inc = IsWord("INCREMENT");
          NextToken();
          if (IsKw(ibk::With) || IsKw(ibk::By)) NextToken();
          if (!Expect(tk::Integer)) return false;
          std::int64_t v = 0;
          SignedValue(*this, v);
          // 64-bit: a BIGINT identity starts past 2^31.
          if (start) f.IdentitySeed = v;
          if (inc) f.IdentityIncrement = v;
          NextToken();
        }
        if (!ExpectAndNext(tk::RParen)) return false;
      }
    } else if (IsKw(ibk::Default) || TokenKind() == tk::Equal) {
      if (!ReadDefaultClause(f)) return false;
    } else if (IsKw(ibk::Not)) {
      if (!ReadNullClause(f, /*nullable=*/false)) return false;
    } else if (IsKw(ibk::Null)) {
      NextToken();
    } else if (IsKw(ibk::Collate)) {
      NextToken();
      std::string name;
      if (!ReadName(name)) return false;
      f.Collation = name;
      NextToken();
    } else if (IsKw(ibk::Computed)) {
      // COMPUTED [BY] (expression): the text keeps its parentheses.
      TParseContext saved(this);
      NextToken();
      if (!IsKw(ibk::By)) TParseContext::Restore(*this, saved);
      std::string text;
      if (!ReadParenText(text)) return false;
      f.SetText(text);
    } else if (IsKw(ibk::By)) {
      NextToken();
      if (IsKw(ibk::Descriptor)) f.ByDescriptor = true;
      else if (IsKw(ibk::Values) || IsWord("VALUE") || IsKw(ibk::Value)) f.ByValue = true;
      else {
        Error("Must be: BY DESCRIPTOR / BY VALUE");
        return false;
      }
      NextToken();
    } else if (domain && (IsKw(ibk::Check) || IsKw(ibk::Constraint))) {
      if (IsKw(ibk::Constraint)) {
        NextToken();
        std::string name;
        if (!ReadName(name)) return false;
        f.CheckName = name;
        NextToken();
        if (!ExpectKw(ibk::Check)) return false;
      }
      std::string text;
      if (!ReadParenText(text)) return false;
      f.CheckText = text;
    } else if (!domain && (IsKw(ibk::Check) || IsKw(ibk::Constraint) || IsKw(ibk::Primary) ||
                           IsKw(ibk::Unique) || IsKw(ibk::References) || IsKw(ibk::Foreign))) {
      if (!ParseTableConstraint(&f, tableName, table)) return false;
    } else {
      return true;
    }
  }
}

// ---- Constraints

bool TIbParser::ParseIndexClause(TCtrData& ctr) {
  NextToken();
  if (IsKw(ibk::Asc)) NextToken();
  else if (IsKw(ibk::Desc)) {
    ctr.DescIndex = true;
    NextToken();
  }
  if (!ExpectKw(ibk::Index)) return false;
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  ctr.IndexName = name;
  NextToken();
  return true;
}

bool TIbParser::ParseReferentialAction(std::uint8_t& rule) {
  if (IsKw(ibk::No)) {
    NextToken();
    if (!IsKw(ibk::Action)) {
      Error("Must be: ACTION");
      return false;
    }
  } else if (IsKw(ibk::Cascade)) {
    rule = 2;
  } else if (IsKw(ibk::Set)) {
    NextToken();
    if (IsKw(ibk::Default)) rule = 3;
    else if (IsKw(ibk::Null)) rule = 4;
    else {
      Error("Missing: DEFAULT/NULL");
      return false;
    }
  } else {
    Error("Unknown action into UPDATE/DELETE rule.");
    return false;
  }
  NextToken();
  return true;
}

bool TIbParser::ParseForeignKey(TCtrData& ctr, bool columnLevel) {
  ctr.SetConstraintType(ct::ForeignKey);
  if (!columnLevel || IsKw(ibk::Foreign)) {
    if (!ExpectKw(ibk::Foreign)) return false;
    NextToken();
    if (IsKw(ibk::Key)) NextToken();
    if (!columnLevel && !ParseColumnList(ctr.Columns, &ctr)) return false;
  }
  if (!ExpectKw(ibk::References)) return false;
  NextToken();
  std::string ref;
  if (!ReadName(ref)) return false;
  ctr.SetRefTableName(ref);
  NextToken();
  if (TokenKind() == tk::LParen && !ParseColumnList(ctr.RefColumns, &ctr)) return false;
  while (IsKw(ibk::On)) {
    NextToken();
    const bool update = IsKw(ibk::Update);
    if (!update && !IsKw(ibk::Delete)) {
      Error("Missing: UPDATE/DELETE");
      return false;
    }
    NextToken();
    if (!ParseReferentialAction(update ? ctr.UpdateRule : ctr.DeleteRule)) return false;
  }
  if (IsKw(ibk::Using) && !ParseIndexClause(ctr)) return false;
  DoLog("Foreign key 1: " + ctr.GetConstraintText(false));
  return true;
}

bool TIbParser::ParseTableConstraint(TFldData* column, const std::string& tableName,
                                     TTblData* table) {
  auto ctr = std::make_unique<TCtrData>(Objs());
  ctr->SetTableName(tableName);
  if (IsKw(ibk::Constraint)) {
    NextToken();
    std::string name;
    if (!ReadName(name)) return false;
    ctr->SetName(name);
    NextToken();
  }
  auto ownColumn = [&] {
    if (column) ctr->Columns.Add(column->GetName(), std::make_unique<TFldData>(Objs(), ctr.get()));
    if (column) ctr->Columns.Object(ctr->Columns.Count() - 1)->SetName(column->GetName());
  };
  if (IsKw(ibk::Check)) {
    ctr->SetConstraintType(ct::Check);
    std::string text;
    if (!ReadParenText(text)) return false;
    ctr->SetText(text);
    DoLog("Check: " + text);
    NotifyObject(ibs::Create, TDbObject::dboCheck, ctr->GetName());
  } else if (IsKw(ibk::Primary) || IsKw(ibk::Unique)) {
    const bool primary = IsKw(ibk::Primary);
    ctr->SetConstraintType(primary ? ct::PrimaryKey : ct::Unique);
    NextToken();
    if (primary) {
      if (!ExpectKw(ibk::Key)) return false;
      NextToken();
    }
    if (column) ownColumn();
    else if (!ParseColumnList(ctr->Columns, ctr.get())) return false;
    if (IsKw(ibk::Using) && !ParseIndexClause(*ctr)) return false;
    NotifyObject(ibs::Create, primary ? TDbObject::dboPKey : TDbObject::dboUnique, ctr->GetName());
  } else if (IsKw(ibk::Foreign) || (column && IsKw(ibk::References))) {
    if (column) ownColumn();
    if (!ParseForeignKey(*ctr, column != nullptr)) return false;
    NotifyObject(ibs::Create, TDbObject::dboFKey, ctr->GetName());
  } else {
    Error("Missing: PRIMARY... or UNIQUE...");
    return false;
  }
  AddConstraint(ctr, table);
  return true;
}

void TIbParser::AddConstraint(std::unique_ptr<TCtrData>& ctr, TTblData* /*table*/) {
  TObjs* objs = Objs();
  const TIBServerOptions* o = GetServerOptions();
  if (o && o->IBCompareOptions.IgnoreIBEObjects &&
      (StartsWithIBE(ctr->GetName()) || StartsWithIBE(ctr->GetTableName()))) {
    ctr.reset();
    return;
  }
  if (ctr->GetConstraintType() == ct::PrimaryKey) {
    if (TCtrData* other = PrimaryKeyOf(ctr->GetTableName())) {
      Note("Duplicate Primary Key, Table: " + FormatName(ctr->GetTableName()) +
           " (convert to Unique)");
      Note(other->GetCreateSQL());
      Note(ctr->GetCreateSQL());
      ctr->SetConstraintType(ct::Unique);
      Note(ctr->GetCreateSQL());
      Note("");
    }
  }
  if (objs && ctr->GetConstraintType() == ct::ForeignKey &&
      objs->FindConstraint(ctr->GetKeyName())) {
    Note("Duplicate Foreign Key:");
    Note(ctr->GetCreateSQL());
    Note("");
  }
  switch (ctr->GetConstraintType()) {
    case ct::PrimaryKey: DoLog("Primary key: " + ctr->GetCreateSQL()); break;
    case ct::Unique: DoLog("Unique: " + ctr->GetCreateSQL()); break;
    case ct::ForeignKey: DoLog("Foreign key 2: " + ctr->GetCreateSQL()); break;
    default: break;
  }
  const bool primary = ctr->GetConstraintType() == ct::PrimaryKey;
  const std::string table = ctr->GetTableName();
  const std::string key = ctr->GetKeyName();
  std::unique_ptr<TDbObj> obj = std::move(ctr);
  if (AddObject(obj, /*freeIfRejected=*/true) && primary) primaryKeys_[table] = key;
}

TCtrData* TIbParser::PrimaryKeyOf(const std::string& table) {
  TObjs* objs = Objs();
  if (!objs) return nullptr;
  if (!primaryKeysBuilt_) {
    primaryKeys_.clear();
    for (int i = 0; i < objs->Constraints.Count(); ++i) {
      TCtrData* c = objs->Constraints.Object(i);
      if (c && c->GetConstraintType() == ct::PrimaryKey)
        primaryKeys_.emplace(c->GetTableName(), c->GetKeyName());
    }
    primaryKeysBuilt_ = true;
  }
  const auto it = primaryKeys_.find(table);
  if (it == primaryKeys_.end()) return nullptr;
  // The collection decides: the key may have gone since it was noted.
  TCtrData* c = objs->FindConstraint(it->second);
  if (c && c->GetConstraintType() == ct::PrimaryKey && c->GetTableName() == table) return c;
  primaryKeys_.erase(it);
  return nullptr;
}

// ---- Tables

bool TIbParser::ParseCreateTable(bool globalTemporary) {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  DoLog("Table: " + name);
  auto table = std::make_unique<TTblData>(Objs());
  table->SetName(name);
  table->GlobalTemporary = globalTemporary;
  CurrentTable = name;
  // The table goes to the collection with what was read, also after an
  // error further on: its name was read.
  auto finish = [&](bool ok) {
    CurrentColumn.clear();
    NotifyObject(ibs::Create, TDbObject::dboTable, name);
    StoreObject(std::move(table));
    return ok;
  };
  NextToken();
  if (IsKw(ibk::External)) {
    NextToken();
    if (IsKw(ibk::File)) NextToken();
    if (!Expect(tk::String)) return finish(false);
    table->ExternalFile = TokenText();
    NextToken();
  }
  if (!ExpectAndNext(tk::LParen)) return finish(false);
  for (;;) {
    if (IsKw(ibk::Constraint) || IsKw(ibk::Primary) || IsKw(ibk::Unique) || IsKw(ibk::Foreign) ||
        IsKw(ibk::Check)) {
      if (!ParseTableConstraint(nullptr, name, table.get())) return finish(false);
    } else {
      bool ok = false;
      std::unique_ptr<TFldData> col = ParseColumn(table.get(), name, ok);
      if (!col) return finish(false);
      TFldData* raw = col.get();
      table->Fields.Add(raw->GetName(), std::move(col));
      if (raw->DataType == dt::UserType && Objs())
        if (TDmnData* d = Objs()->FindDomain(raw->DomainName)) LinkDependency(raw, d, {});
      if (!ok) return finish(false);
    }
    if (TokenKind() != tk::Comma) break;
    NextToken();
  }
  CurrentColumn.clear();
  if (!ExpectAndNext(tk::RParen)) return finish(false);
  if (IsKw(ibk::On)) {
    NextToken();
    if (!ExpectKw(ibk::Commit)) return finish(false);
    NextToken();
    if (IsKw(ibk::Delete)) table->OnCommit = 1;
    else if (IsKw(ibk::Preserve)) table->OnCommit = 2;
    else {
      Error("Must be: DELETE ROWS / PRESERVE ROWS.");
      return finish(false);
    }
    NextToken();
    if (!ExpectKw(ibk::Rows)) return finish(false);
    NextToken();
  }
  if (AtSqlSecurity() && !ParseSqlSecurity(name, /*drop=*/false)) return finish(false);
  return finish(true);
}

bool TIbParser::ParseAlterTable() {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  TTblData* table = Objs() ? Objs()->FindTable(name) : nullptr;
  CurrentTable = name;
  NextToken();
  // ALTER TABLE t ADD a ..., ADD b ...: every action, not just the first.
  for (;;) {
    if (IsKw(ibk::Add)) {
      NextToken();
      if (IsKw(ibk::Constraint) || IsKw(ibk::Primary) || IsKw(ibk::Unique) || IsKw(ibk::Foreign) ||
          IsKw(ibk::Check)) {
        if (!ParseTableConstraint(nullptr, name, table)) return false;
      } else {
        bool ok = false;
        std::unique_ptr<TFldData> col = ParseColumn(table, name, ok);
        if (!col) return false;
        const std::string colName = col->GetName();
        TFldData* raw = col.get();
        if (table) {
          table->Fields.Add(colName, std::move(col));
          if (raw->DataType == dt::UserType && Objs())
            if (TDmnData* d = Objs()->FindDomain(raw->DomainName)) LinkDependency(raw, d, {});
        }
        NotifyObject(ibs::Create, TDbObject::dboField, colName, name);
        if (!ok) return false;
      }
    } else if (IsKw(ibk::Alter)) {
      NextToken();
      if (AtSqlSecurity()) {
        if (!ParseSqlSecurity(name, /*drop=*/false)) return false;
        if (TokenKind() != tk::Comma) return true;
        NextToken();
        continue;
      }
      if (IsKw(ibk::Column)) NextToken();
      std::string col;
      if (!ReadName(col)) return false;
      CurrentColumn = col;
      TFldData* f = table ? table->FindField(col) : nullptr;
      NextToken();
      if (IsKw(ibk::Type)) {
        // ALTER c TYPE [type] [COMPUTED BY (...)]: how isql writes every
        // computed column once the columns it reads exist.
        NextToken();
        TFldData scratch(Objs(), table);
        const bool typed = !IsKw(ibk::Computed);
        if (typed && !ParseDataType(scratch)) return false;
        if (IsKw(ibk::Computed) && !ParseColumnOptions(scratch, nullptr, nullptr, name))
          return false;
        if (f) {
          if (typed) CopyType(scratch, *f);
          if (scratch.IsComputed()) f->SetText(scratch.GetText());
        }
      } else if (IsKw(ibk::To)) {
        NextToken();
        std::string to;
        if (!ReadName(to)) return false;
        if (f && table) {
          const int i = table->Fields.IndexOfObject(f);
          f->SetName(to);
          if (i >= 0) table->Fields.Rename(i, to);
        }
        NextToken();
      } else if (IsKw(ibk::Position)) {
        NextToken();
        if (!Expect(tk::Integer)) return false;
        NextToken();
      } else if (IsKw(ibk::Set)) {
        NextToken();
        // An unknown column's clause is read into a scratch column.
        TFldData scratch(Objs(), table);
        if (IsKw(ibk::Default)) {
          if (!ReadDefaultClause(scratch)) return false;
          if (f) f->DefaultValue = scratch.DefaultValue;
        } else if (IsKw(ibk::Not)) {
          if (!ReadNullClause(f ? *f : scratch, /*nullable=*/false)) return false;
        } else {
          Error("Missing: DEFAULT/NULL");
          return false;
        }
      } else if (IsKw(ibk::Drop)) {
        NextToken();
        if (IsKw(ibk::Default)) {
          if (f) f->DefaultValue.clear();
          NextToken();
        } else if (IsKw(ibk::Not)) {
          TFldData scratch(Objs(), table);
          if (!ReadNullClause(f ? *f : scratch, /*nullable=*/true)) return false;
        } else {
          Error("Missing: DEFAULT/NULL");
          return false;
        }
      } else {
        Error("Unknown symbol");
        return false;
      }
      CurrentColumn.clear();
      NotifyObject(ibs::Alter, TDbObject::dboField, col, name);
    } else if (IsKw(ibk::Drop)) {
      NextToken();
      std::string what;
      if (AtSqlSecurity()) {
        ParseSqlSecurity(name, /*drop=*/true);
      } else if (IsKw(ibk::Constraint)) {
        NextToken();
        if (!ReadName(what)) return false;
        NotifyObject(ibs::Drop, TDbObject::dboConstraint, what, name);
        NextToken();
      } else {
        if (!ReadName(what)) {
          Error("Unknown ALTER TABLE " + name + " DROP statement");
          return false;
        }
        NotifyObject(ibs::Drop, TDbObject::dboField, what, name);
        NextToken();
      }
    } else {
      Error("Unknown symbol");
      return false;
    }
    if (TokenKind() != tk::Comma) return true;
    NextToken();
  }
}

// ---- Column clauses shared by CREATE and ALTER

bool TIbParser::ReadDefaultClause(TFldData& f) {
  NextToken();  // DEFAULT or "="
  std::string text;
  if (!ParseDefault(f, text)) return false;
  f.DefaultValue = text;
  return true;
}

bool TIbParser::ReadNullClause(TFldData& f, bool nullable) {
  NextToken();  // NOT
  if (!ExpectKw(ibk::Null)) return false;
  f.Nullable = nullable;
  NextToken();
  return true;
}

// ---- Indices

bool TIbParser::ParseCreateIndex() {
  auto idx = std::make_unique<TIdxData>(Objs());
  for (;;) {
    if (IsKw(ibk::Unique)) idx->Unique = true;
    else if (IsKw(ibk::Desc)) idx->Descending = true;
    else if (!IsKw(ibk::Asc)) break;
    NextToken();
  }
  if (!ExpectKw(ibk::Index)) return false;
  NextToken();
  std::string name, table;
  if (!ReadName(name)) return false;
  idx->SetName(name);
  NextToken();
  if (!ExpectKw(ibk::On)) return false;
  NextToken();
  if (!ReadName(table)) return false;
  idx->TableName = table;
  NextToken();
  if (IsKw(ibk::Computed)) {
    TParseContext saved(this);
    NextToken();
    if (!IsKw(ibk::By)) TParseContext::Restore(*this, saved);
    std::string text;
    if (!ReadParenText(text)) return false;
    idx->SetText(text);
  } else if (!ParseColumnList(idx->Columns, idx.get())) {
    return false;
  }
  DoLog("Index: " + idx->GetCreateSQL());
  NotifyObject(ibs::Create, TDbObject::dboIndex, name);
  StoreObject(std::move(idx));
  return true;
}

bool TIbParser::ParseAlterIndex() {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  NextToken();
  const bool active = IsKw(ibk::Active);
  if (!active && !IsKw(ibk::Inactive)) {
    Error("Must be: ACTIVE/INACTIVE (ALTER INDEX... declaration)");
    return false;
  }
  if (TObjs* objs = Objs())
    if (TIdxData* idx = objs->FindIndex(name)) idx->Active = active;
  DoLog("Alter index: " + name);
  NextToken();
  NotifyObject(ibs::Alter, TDbObject::dboIndex, name);
  return true;
}

// ---- Domains

bool TIbParser::ParseCreateDomain() {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  auto dom = std::make_unique<TDmnData>(Objs());
  dom->SetName(name);
  NextToken();
  if (IsKw(ibk::As)) NextToken();
  bool ok = ParseDataType(*dom->TypeHolder) &&
            ParseColumnOptions(*dom->TypeHolder, dom.get(), nullptr, {});
  DoLog("Domain: " + name);
  NotifyObject(ibs::Create, TDbObject::dboDomain, name);
  StoreObject(std::move(dom));
  return ok;
}

bool TIbParser::ParseAlterDomain() {
  NextToken();
  std::string name;
  if (!ReadName(name)) return false;
  TDmnData* dom = Objs() ? Objs()->FindDomain(name) : nullptr;
  TFldData scratch(Objs(), nullptr);
  TFldData& f = dom ? *dom->TypeHolder : scratch;
  NextToken();
  // The actions follow one another without a separator.
  for (;;) {
    if (IsKw(ibk::Add)) {
      // ADD [CONSTRAINT] CHECK (...): how isql writes every domain check.
      NextToken();
      if (IsKw(ibk::Constraint)) NextToken();
      if (!ExpectKw(ibk::Check)) return false;
      std::string text;
      if (!ReadParenText(text)) return false;
      f.CheckText = text;
    } else if (IsKw(ibk::Drop)) {
      NextToken();
      if (IsKw(ibk::Constraint)) f.CheckText.clear();
      else if (IsKw(ibk::Default)) f.DefaultValue.clear();
      else if (IsKw(ibk::Not)) {
        NextToken();
        if (!ExpectKw(ibk::Null)) return false;
        f.Nullable = true;
      } else {
        Error("Missing: CONSTRAINT/DEFAULT/NOT NULL");
        return false;
      }
      NextToken();
    } else if (IsKw(ibk::Set)) {
      NextToken();
      if (IsKw(ibk::Default)) {
        if (!ReadDefaultClause(f)) return false;
      } else if (IsKw(ibk::Not)) {
        if (!ReadNullClause(f, /*nullable=*/false)) return false;
      } else {
        Error("Missing: DEFAULT/NOT NULL");
        return false;
      }
    } else if (IsKw(ibk::Type)) {
      NextToken();
      TFldData t(Objs(), nullptr);
      if (!ParseDataType(t)) return false;
      CopyType(t, f);
    } else if (IsKw(ibk::To)) {
      // A rename changes the key; the renamed domain is left to the
      // statements that follow.
      NextToken();
      std::string to;
      if (!ReadName(to)) return false;
      Note("ALTER DOMAIN " + name + " TO " + to + ": the rename is not applied");
      NextToken();
    } else {
      break;
    }
  }
  NotifyObject(ibs::Alter, TDbObject::dboDomain, name);
  if (!dom) Note("ALTER DOMAIN " + name + ": no such domain");
  return true;
}

}  // namespace qor
