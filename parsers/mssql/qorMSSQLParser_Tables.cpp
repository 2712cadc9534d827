// CREATE TABLE, ALTER TABLE and CREATE [XML | FULLTEXT] INDEX: columns and
// their types, column options, constraints, index options and filegroups.
// Temporary tables and tables inside bodies are read the same way, but
// nothing of them reaches the collection.
#include "parsers/mssql/qorMSSQLParser.h"

#include "base/qorMSSQLVersions.h"
#include "model/qorClasses.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <array>
#include <string_view>

namespace qor {

namespace {

// A type word and the type-name text it stands for.
struct TTypeWord {
  std::string_view Word;
  std::string_view TypeName;
  bool Since2016;
};

// clang-format off
constexpr std::array<TTypeWord, 35> kTypeWords = {{
    {"INT", "INTEGER", false},          {"INTEGER", "INTEGER", false},
    {"BIGINT", "BIGINT", false},        {"SMALLINT", "SMALLINT", false},
    {"TINYINT", "TINYINT", false},      {"BIT", "BIT", false},
    {"DECIMAL", "DECIMAL", false},      {"DEC", "DECIMAL", false},
    {"NUMERIC", "NUMERIC", false},      {"MONEY", "MONEY", false},
    {"SMALLMONEY", "SMALLMONEY", false}, {"FLOAT", "FLOAT", false},
    {"REAL", "REAL", false},            {"DATE", "DATE", false},
    {"DATETIME", "DATETIME", false},    {"TIME", "TIME", false},
    {"CHAR", "CHAR", false},            {"CHARACTER", "CHAR", false},
    {"VARCHAR", "VARCHAR", false},      {"TEXT", "TEXT", false},
    {"NCHAR", "NCHAR", false},          {"NCHARACTER", "NCHAR", false},
    {"NVARCHAR", "NVARCHAR", false},    {"NTEXT", "NTEXT", false},
    {"BINARY", "BINARY", false},        {"VARBINARY", "VARBINARY", false},
    {"IMAGE", "IMAGE", false},          {"TIMESTAMP", "TIMESTAMP", false},
    {"UNIQUEIDENTIFIER", "UNIQUEIDENTIFIER", false}, {"SYSNAME", "SYSNAME", false},
    {"SQL_VARIANT", "SQL_VARIANT", false}, {"XML", "XML", false},
    {"SMALLDATETIME", "SMALLDATETIME", true}, {"DATETIME2", "DATETIME2", true},
    {"DATETIMEOFFSET", "DATETIMEOFFSET", true},
}};
// clang-format on

std::uint8_t TypeIndex(std::string_view typeName) {
  for (int i = 1; i < dt::Count; ++i)
    if (DataTypeName(i) == typeName) return static_cast<std::uint8_t>(i);
  return dt::Unknown;
}

constexpr std::uint8_t kCursor = 82;  // "CURSOR" in the type-name table

// The index options: how each is written and where the model keeps it.
// `Stored`: the option changes the index as the server keeps it (the
// others only steer how it is built), so losing it is worth a note.
enum class TOptionValue : std::uint8_t { OnOff, Int, Word };
struct TIndexOption {
  std::string_view Name;
  TOptionValue Value;
  bool TIndexOptions::*Flag;
  std::int32_t TIndexOptions::*Int;
  bool Stored;
};

// clang-format off
constexpr std::array<TIndexOption, 19> kIndexOptions = {{
    {"FILLFACTOR", TOptionValue::Int, nullptr, &TIndexOptions::FillFactor, false},
    {"PAD_INDEX", TOptionValue::OnOff, nullptr, &TIndexOptions::PadIndex, false},
    {"IGNORE_DUP_KEY", TOptionValue::OnOff, &TIndexOptions::IgnoreDupKey, nullptr, false},
    {"SORT_IN_TEMPDB", TOptionValue::OnOff, &TIndexOptions::SortInTempDb, nullptr, false},
    {"DROP_EXISTING", TOptionValue::OnOff, &TIndexOptions::DropExisting, nullptr, false},
    {"ONLINE", TOptionValue::OnOff, &TIndexOptions::Online, nullptr, false},
    {"ALLOW_ROW_LOCKS", TOptionValue::OnOff, &TIndexOptions::AllowRowLocks, nullptr, false},
    {"ALLOW_PAGE_LOCKS", TOptionValue::OnOff, &TIndexOptions::AllowPageLocks, nullptr, false},
    {"STATISTICS_NORECOMPUTE", TOptionValue::OnOff, &TIndexOptions::StatisticsNoRecompute, nullptr,
     false},
    {"STATISTICS_INCREMENTAL", TOptionValue::OnOff, nullptr, nullptr, true},
    {"OPTIMIZE_FOR_SEQUENTIAL_KEY", TOptionValue::OnOff, nullptr, nullptr, true},
    {"DATA_COMPRESSION", TOptionValue::Word, nullptr, nullptr, true},
    {"XML_COMPRESSION", TOptionValue::OnOff, nullptr, nullptr, true},
    {"COMPRESSION_DELAY", TOptionValue::Int, nullptr, nullptr, true},
    {"RESUMABLE", TOptionValue::OnOff, nullptr, nullptr, false},
    {"MAXDOP", TOptionValue::Int, nullptr, nullptr, false},
    {"MAX_DURATION", TOptionValue::Int, nullptr, nullptr, false},
    {"WAIT_AT_LOW_PRIORITY", TOptionValue::Word, nullptr, nullptr, false},
    {"BUCKET_COUNT", TOptionValue::Int, nullptr, nullptr, true},
}};
// clang-format on

const TIndexOption* FindIndexOption(std::string_view word) {
  for (const TIndexOption& o : kIndexOptions)
    if (SameText(o.Name, word)) return &o;
  return nullptr;
}

bool IsTextType(std::uint8_t t) {
  return t == dt::CHAR || t == dt::VARCHAR || t == dt::NCHAR || t == dt::NVARCHAR;
}

}  // namespace

std::uint8_t TMSSQLParser::TypeCode(TTokenKind kind, std::string_view ident) const {
  if (kind == msk::Double) return dt::DOUBLE;
  if (kind == msk::Cursor) return kCursor;
  if (kind == msk::Table) return dt::TABLE;
  if (kind != tk::Ident) return dt::Unknown;
  // A bracketed system type name is that type, as the server reads it;
  // qualified by a schema it names a user type.
  if (identQuoted_ && NextCharIs('.')) return dt::Unknown;
  const TObjs* objs = Objs();
  const bool since2016 = objs && MSSQLCaps(objs->MSSQLServerOptions.SQLServerVersion).dateTypeWords;
  // With its precision written a newer date type is no user type (a user
  // type takes none), whichever server the collection is set to.
  for (const TTypeWord& w : kTypeWords)
    if (SameText(w.Word, ident) && (!w.Since2016 || since2016 || NextCharIs('(')))
      return TypeIndex(w.TypeName);
  return dt::Unknown;
}

bool TMSSQLParser::IsDropKind() const {
  // clang-format off
  switch (scan_.Kind) {
    case msk::Table: case msk::View: case msk::Proc: case msk::Function: case msk::Trigger:
    case msk::Index: case msk::Default: case msk::Rule: case msk::Database: case msk::User:
    case msk::Schema: case msk::Statistics:
      return true;
    default:
      return IsPlainWord("SYNONYM") || IsPlainWord("TYPE") || IsPlainWord("SEQUENCE") ||
             IsPlainWord("LOGIN") || IsPlainWord("ROLE");
  }
  // clang-format on
}

bool TMSSQLParser::IsScratch(std::string_view name, TDbObj* context) const {
  if (context) return true;
  return name.size() >= 1 && name[0] == '#' && !(name.size() >= 2 && name[1] == '#');
}

bool TMSSQLParser::MayBeUnnamed(const TDbObj& obj) {
  if (dynamic_cast<const TCtrData*>(&obj)) return true;
  const auto* idx = dynamic_cast<const TIdxData*>(&obj);
  return idx && idx->FullText;
}

std::int32_t TMSSQLParser::SignedInt() {
  // Expect joined a sign to the token text; the value is as scanned.
  std::int32_t v = 0;
  if (!Int32Value(v)) return 0;
  return StartsWith(TokenText(), "-") ? -v : v;
}

// ------------------------------------------------------------ CREATE TABLE

TTblData* TMSSQLParser::ParseCreateTable(TTblData* table, TDbObj* context) {
  if (scan_.Kind == msk::Table) NextToken();
  std::unique_ptr<TTblData> owned;
  TTblData* t = table;
  if (!t) {
    owned = std::make_unique<TTblData>(Objs());
    t = owned.get();
  }
  if (!(table && scan_.Kind == tk::LParen)) {
    ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
    t->SetParentName(NameOwner);
    t->SetName(NameObject);
  }
  // Temporary tables, tables inside bodies and table types of routines
  // are read for their shape only.
  const bool add = owned && !IsScratch(t->GetName(), context);
  // A graph edge table may have no columns.
  if (!(scan_.Kind == msk::As && !table) && ExpectAndNext(tk::LParen)) {
    ParseTableElements(*t, add);
    ExpectAndNext(tk::RParen);
  }
  if (scan_.Kind == msk::As && !table) {
    // AS NODE / AS EDGE: the model has no graph tables; the table is kept
    // with the columns written.
    const std::size_t start = TokenStart();
    NextToken();
    if (IsPlainWord("NODE") || IsPlainWord("EDGE")) NextToken();
    else Error("Must be: NODE / EDGE");
    NoteMsg("Graph table clause not read: " + TextFrom(start));
  }
  if (IsPlainWord("LOCK")) {
    NextToken();
    if (IsPlainWord("DATAROWS") || IsPlainWord("DATAPAGES") || IsPlainWord("ALLPAGES")) NextToken();
    else Error("Must be: DATAROWS / DATAPAGES / ALLPAGES");
    if (scan_.Kind == msk::On) {
      NextToken();
      if (scan_.Kind == tk::String) NextToken();
    }
  }
  // The table's filegroup has no place in the model: read and dropped.
  std::string fileGroup;
  ParseFileGroup(fileGroup);
  if (IsPlainWord("TEXTIMAGE_ON") || IsPlainWord("FILESTREAM_ON")) {
    NextToken();
    if (scan_.Kind == tk::Ident || scan_.Kind == tk::String || scan_.Kind == msk::Default ||
        scan_.Kind == msk::Primary)
      NextToken();
  }
  if (scan_.Kind == msk::With && !table) {
    const std::size_t start = TokenStart();
    NextToken();
    if (scan_.Kind == tk::LParen) SkipBalanced();
    NoteMsg("Table options not read: " + TextFrom(start));
  }
  SetStatement(TDbObject::dboTable, t->GetName(), 1);
  if (!owned) return t;
  DoLog("Table: " + t->GetName());
  if (!add) return nullptr;
  return HandOver(std::move(owned));
}

void TMSSQLParser::ParseTableElements(TTblData& table, bool add) {
  for (;;) {
    TNestingGuard guard(*this);
    if (!guard.Ok()) return;
    switch (scan_.Kind) {
      case tk::Ident:
        if (!identQuoted_ && (IsPlainWord("PERIOD"))) {
          // PERIOD FOR SYSTEM_TIME (a, b): not in the model.
          const std::size_t start = TokenStart();
          while (scan_.Kind != tk::Comma && scan_.Kind != tk::RParen && !AtStatementEnd()) {
            if (scan_.Kind == tk::LParen) SkipBalanced();
            else NextToken();
          }
          NoteMsg("Table element not read: " + TextFrom(start));
          break;
        }
        ParseColumn(table, add);
        break;
      case msk::Constraint:
        ParseNamedConstraint(add, nullptr, false, false, nullptr, &table);
        break;
      // clang-format off
      case msk::Primary: case msk::Unique: case msk::Foreign: case msk::Check: {
        // clang-format on
        const std::uint8_t type = scan_.Kind == msk::Primary   ? ct::PrimaryKey
                                  : scan_.Kind == msk::Unique  ? ct::Unique
                                  : scan_.Kind == msk::Foreign ? ct::ForeignKey
                                                               : ct::Check;
        ParseConstraint(add, NewConstraint(type, &table, nullptr), &table);
        break;
      }
      case msk::Index: {
        // An inline index: read, not built.
        const std::size_t start = TokenStart();
        while (scan_.Kind != tk::Comma && scan_.Kind != tk::RParen && !AtStatementEnd()) {
          if (scan_.Kind == tk::LParen) SkipBalanced();
          else NextToken();
        }
        NoteMsg("Inline index not read: " + TextFrom(start));
        break;
      }
      default: Expect(tk::Ident); return;
    }
    if (scan_.Kind != tk::Comma) return;
    NextToken();
    // The server takes a "," before the closing parenthesis.
    if (scan_.Kind == tk::RParen) return;
  }
}

TFldData* TMSSQLParser::ParseColumn(TTblData& table, bool add) {
  auto col = std::make_unique<TFldData>(Objs(), &table);
  col->TableName = table.GetName();
  col->SetName(IdentText());
  // A column named TIMESTAMP without a type is a TIMESTAMP column.
  if (!IsPlainWord("TIMESTAMP")) NextToken();
  TFldData* raw = col.get();
  table.Fields.Add(raw->GetName(), std::move(col));
  if (scan_.Kind == msk::As) {
    ParseComputed(*raw, add);
    ParseColumnOptions(*raw, add);
  } else {
    ParseDataType(*raw, add, /*allowComputed=*/true);
  }
  return raw;
}

void TMSSQLParser::ParseComputed(TFldData& column, bool add) {
  NextToken();  // AS
  // A table's computed column uses the functions it calls.
  column.SetText(ReadExpression(add ? column.OwnerObj : nullptr));
  if (column.GetText().empty()) Error("Missing: computed column expression");
  if (IsPlainWord("PERSISTED")) {
    column.Persisted = true;
    NextToken();
  }
}

void TMSSQLParser::ParseDataType(TFldData& column, bool add, bool allowComputed) {
  // "TIMESTAMP TIMESTAMP ..." reads the type again for every word.
  TNestingGuard guard(*this);
  if (!Deeper(guard)) return;
  const std::uint8_t code = TypeCode(scan_.Kind, IdentText());
  if (code == dt::Unknown) {
    if (scan_.Kind == tk::Ident) {
      column.DataType = dt::UserType;
      column.DomainName = FoldName(IdentText());
      NextToken();
      if (scan_.Kind == tk::Dot) {
        NextToken();
        column.DomainSchema = column.DomainName;
        column.DomainName = scan_.Kind == tk::Ident ? FoldName(IdentText()) : std::string();
        Expect(tk::Ident);
        NextToken();
      }
      if (scan_.Kind == tk::LParen) {
        // A user type takes no size; read on past it.
        Error("Unknown data-length: a user type has none (" + column.DomainName + ")");
        SkipBalanced();
      }
    } else if (allowComputed && scan_.Kind == msk::As) {
      ParseComputed(column, add);
    } else {
      Error("Unknown DataType: " + CurTokenName());
      return;
    }
    ParseColumnOptions(column, add);
    return;
  }
  NextToken();
  if (code == dt::TIMESTAMP && scan_.Kind == tk::Ident && !identQuoted_) {
    // "TIMESTAMP <type>": a column named TIMESTAMP.
    column.SetName("TIMESTAMP");
    ParseDataType(column, add, allowComputed);
    return;
  }
  if (allowComputed && scan_.Kind == msk::As) {
    ParseComputed(column, add);
    ParseColumnOptions(column, add);
    return;
  }
  column.DataType = code;
  if (scan_.Kind == msk::Varying) {
    if (code == dt::CHAR) column.DataType = dt::VARCHAR;
    else if (code == dt::NCHAR) column.DataType = dt::NVARCHAR;
    else if (code == kCursor) column.DataType = static_cast<std::uint8_t>(kCursor + 1);
    NextToken();
  }
  if (code == dt::DOUBLE && scan_.Kind == msk::Precision) NextToken();
  const std::uint8_t t = column.DataType;
  if (t == dt::FLOAT) column.Precision = 53;
  if (t == dt::TIME || t == dt::DATETIME2 || t == dt::DATETIMEOFFSET) column.Precision = 7;
  auto readInt = [&](std::int32_t& v) {
    if (Expect(tk::Integer)) Int32Value(v);
    NextToken();
  };
  if ((t == dt::FLOAT || t == dt::TIME || t == dt::DATETIME2 || t == dt::DATETIMEOFFSET ||
       t == dt::NUMERIC || t == dt::DECIMAL) &&
      scan_.Kind == tk::LParen) {
    NextToken();
    readInt(column.Precision);
    if (scan_.Kind == tk::Comma) {
      NextToken();
      readInt(column.Scale);
    }
    ExpectAndNext(tk::RParen);
  }
  if (t == dt::DOUBLE) {
    column.DataType = dt::FLOAT;
    column.Precision = 53;
    column.Scale = 0;
  }
  if (column.DataType == dt::FLOAT) {
    if (column.Precision >= 1 && column.Precision <= 24) {
      column.DataType = TypeIndex("REAL");
      column.Precision = 0;
    } else if (column.Precision >= 25 && column.Precision <= 52) {
      column.Precision = 53;
    }
  }
  if (IsTextType(t) || t == dt::BINARY || t == dt::VARBINARY) {
    if (IsTextType(t)) column.Length = 1;
    if (scan_.Kind == tk::LParen) {
      NextToken();
      if (scan_.Kind == tk::Integer) {
        Int32Value(column.Length);
        NextToken();
      } else if (IsPlainWord("MAX")) {
        column.Length = -1;
        NextToken();
      } else {
        Error("Unknown data-length");
        while (scan_.Kind != tk::RParen && !AtStatementEnd()) NextToken();
      }
      ExpectAndNext(tk::RParen);
    }
  }
  if (t == dt::XML && scan_.Kind == tk::LParen) {
    NextToken();
    std::string text = "(";
    if (IsPlainWord("CONTENT") || IsPlainWord("DOCUMENT")) {
      text += UpperAscii(IdentText()) + " ";
      NextToken();
    }
    ParseObjectName(TDbObject::dboDomain, /*defaultOwner=*/false);
    if (!NameOwner.empty()) text += FormatName(NameOwner) + ".";
    text += FormatName(NameObject) + ")";
    column.XmlSchema = text;
    ExpectAndNext(tk::RParen);
  }
  if (t == dt::TABLE && scan_.Kind == tk::LParen) {
    // A table type (a routine's table result): its columns, not added.
    column.TableType = std::make_unique<TTblData>(Objs());
    column.TableType->SetName(column.GetName());
    NextToken();
    ParseTableElements(*column.TableType, /*add=*/false);
    ExpectAndNext(tk::RParen);
  }
  ParseColumnOptions(column, add);
}

void TMSSQLParser::ParseColumnOptions(TFldData& column, bool add) {
  auto* table = dynamic_cast<TTblData*>(column.OwnerObj);
  for (;;) {
    TNestingGuard guard(*this);
    if (!guard.Ok()) return;
    switch (scan_.Kind) {
      case msk::Null:
        column.Nullable = true;
        NextToken();
        continue;
      case msk::Not:
        NextToken();
        if (scan_.Kind == msk::Null) {
          column.Nullable = false;
          NextToken();
        } else if (scan_.Kind == msk::For) {
          // NOT FOR REPLICATION of an identity column.
          NextToken();
          // The column has no field for it: read and dropped.
          if (scan_.Kind == msk::Replication) NextToken();
        } else {
          Expect(msk::Null);
        }
        continue;
      case msk::Default: {
        NextToken();
        const std::string text = StripOuterParens(ReadExpression());
        if (text.empty()) {
          Error("Missing: default expression (" + CurTokenName() + ")");
          continue;
        }
        if (!table) {
          // A parameter's default or a type's own.
          column.DefaultValue = text;
          continue;
        }
        auto ctr = NewConstraint(ct::Default, table, &column);
        ctr->SetText(text.front() == '(' ? text : "(" + text + ")");
        if (add) Objs()->AddObject(ctr, /*freeOnFail=*/true);
        column.DefaultValue.clear();
        continue;
      }
      case msk::Constraint:
        ParseNamedConstraint(add, nullptr, false, false, &column, table);
        continue;
      // clang-format off
      case msk::Primary: case msk::Foreign: case msk::Unique: case msk::Check:
      case msk::References: {
        // clang-format on
        const std::uint8_t type = scan_.Kind == msk::Primary  ? ct::PrimaryKey
                                  : scan_.Kind == msk::Unique ? ct::Unique
                                  : scan_.Kind == msk::Check  ? ct::Check
                                                              : ct::ForeignKey;
        ParseConstraint(add, NewConstraint(type, table, &column), table);
        continue;
      }
      case msk::Identity: {
        NextToken();
        column.Identity = true;
        column.Nullable = false;
        column.IdentitySeed = 1;
        column.IdentityIncrement = 1;
        if (scan_.Kind == tk::LParen) {
          NextToken();
          std::int32_t seed = 1, inc = 1;
          if (Expect(tk::Integer)) seed = SignedInt();
          NextToken();
          if (ExpectAndNext(tk::Comma) && Expect(tk::Integer)) inc = SignedInt();
          NextToken();
          ExpectAndNext(tk::RParen);
          if (seed == 0 && inc == 0) seed = inc = 1;
          column.IdentitySeed = seed;
          column.IdentityIncrement = inc;
        }
        continue;
      }
      case msk::Rowguidcol:
        column.RowGuidCol = true;
        NextToken();
        continue;
      case msk::Collate: {
        NextToken();
        std::string name = UpperLocale(scan_.Kind == tk::Ident ? IdentText() : std::string());
        ExpectAndNext(tk::Ident);
        const TObjs* objs = Objs();
        if (objs && SameText(name, objs->MSSQLServerOptions.Collation)) name.clear();
        column.Collation = name;
        continue;
      }
      case tk::Ident:
        if (IsPlainWord("SPARSE") || IsPlainWord("FILESTREAM")) {
          NoteMsg("Column option not read: " + IdentText());
          NextToken();
          continue;
        }
        if (IsPlainWord("MASKED") || IsPlainWord("ENCRYPTED") || IsPlainWord("GENERATED")) {
          const std::size_t start = TokenStart();
          while (scan_.Kind != tk::Comma && scan_.Kind != tk::RParen && !AtStatementEnd()) {
            if (scan_.Kind == tk::LParen) SkipBalanced();
            else NextToken();
          }
          NoteMsg("Column option not read: " + TextFrom(start));
          continue;
        }
        return;
      default: return;
    }
  }
}

// ------------------------------------------------------------- constraints

std::unique_ptr<TCtrData> TMSSQLParser::NewConstraint(std::uint8_t type, TTblData* table,
                                                      TFldData* column) {
  auto ctr = std::make_unique<TCtrData>(Objs());
  ctr->SetConstraintType(type);
  if (table) {
    ctr->SetTableName(table->GetName());
    ctr->SetParentName(table->GetParentName());
  } else if (column) {
    ctr->SetTableName(column->GetTableName());
  }
  if (column) ctr->Columns.Add(column->GetName(), nullptr);
  return ctr;
}

void TMSSQLParser::ParseNamedConstraint(bool add, std::unique_ptr<TCtrData> ctr, bool withNoCheck,
                                        bool withCheck, TFldData* column, TTblData* table) {
  if (!ExpectAndNext(msk::Constraint)) return;
  if (!ctr) ctr = NewConstraint(ct::ForeignKey, table, column);
  // WITH CHECK / NOCHECK has no field in the model.
  (void)withNoCheck;
  (void)withCheck;
  ParseObjectName(TDbObject::dboConstraint, false);
  ctr->SetName(NameObject);
  ParseConstraint(add, std::move(ctr), table);
}

void TMSSQLParser::ParseColumnList(TFieldList* target) {
  if (!ExpectAndNext(tk::LParen)) return;
  for (;;) {
    if (scan_.Kind != tk::Ident) {
      Expect(tk::Ident);
      break;
    }
    const std::string name = FoldName(IdentText());
    NextToken();
    std::int32_t order = 0;
    if (scan_.Kind == msk::Asc) {
      order = 1;
      NextToken();
    } else if (scan_.Kind == msk::Desc) {
      order = 2;
      NextToken();
    }
    if (target) {
      auto f = std::make_unique<TFldData>(Objs(), nullptr);
      f->SetName(name);
      f->SortOrder = order;
      target->Add(name, std::move(f));
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  while (scan_.Kind != tk::RParen && !AtStatementEnd()) NextToken();
  ExpectAndNext(tk::RParen);
}

std::uint8_t TMSSQLParser::ParseFKAction() {
  switch (scan_.Kind) {
    case msk::Cascade: NextToken(); return 2;
    case msk::Set:
      NextToken();
      if (scan_.Kind == msk::Null) {
        NextToken();
        return 4;
      }
      if (scan_.Kind == msk::Default) {
        NextToken();
        return 3;
      }
      Error("Unknown action for FK (? SET NULL/DEFAULT)");
      return 0;
    default:
      if (IsPlainWord("NO")) {
        NextToken();
        ExpectWord("ACTION");
        if (IsPlainWord("ACTION")) NextToken();
        return 0;
      }
      Error("Unknown action for FK");
      NextToken();
      return 0;
  }
}

void TMSSQLParser::ParseConstraint(bool add, std::unique_ptr<TCtrData> ctr, TTblData* table) {
  if (IsPlainWord("CONNECTION")) {
    // An edge constraint of a graph table: the model has none.
    const std::size_t start = TokenStart();
    NextToken();
    if (scan_.Kind == tk::LParen) SkipBalanced();
    if (scan_.Kind == msk::On) {
      NextToken();
      if (scan_.Kind == msk::Delete) NextToken();
      ParseFKAction();
    }
    NoteMsg("Edge constraint not read: " + TextFrom(start));
    return;
  }
  switch (scan_.Kind) {
    case msk::References: ctr->SetConstraintType(ct::ForeignKey); break;
    case msk::Check: {
      ctr->SetConstraintType(ct::Check);
      NextToken();
      if (scan_.Kind == msk::Not) {
        NextToken();
        if (scan_.Kind == msk::For) NextToken();
        if (scan_.Kind == msk::Replication) NextToken();
        ctr->NotForReplication = true;
      }
      ctr->SetText(StripOuterParens(ReadParenthesised()));
      break;
    }
    case msk::Unique:
      ctr->SetConstraintType(ct::Unique);
      NextToken();
      break;
    case msk::Default: {
      ctr->SetConstraintType(ct::Default);
      NextToken();
      ctr->SetText(StripOuterParens(ReadExpression()));
      if (scan_.Kind == msk::For) {
        NextToken();
        if (scan_.Kind == tk::Ident) {
          const std::string col = FoldName(IdentText());
          ctr->Columns.Clear();
          ctr->Columns.Add(col, nullptr);
        }
        ExpectAndNext(tk::Ident);
      }
      if (scan_.Kind == msk::With && IsPlainWord("VALUES")) NextToken();
      if (scan_.Kind == msk::With) {
        NextToken();
        if (IsPlainWord("VALUES")) NextToken();
      }
      break;
    }
    case msk::Primary:
      ctr->SetConstraintType(ct::PrimaryKey);
      ctr->Clustered = true;
      NextToken();
      if (scan_.Kind == msk::Key) NextToken();
      break;
    case msk::Foreign:
      ctr->SetConstraintType(ct::ForeignKey);
      NextToken();
      if (scan_.Kind == msk::Key) NextToken();
      break;
    default: Error("Unknown constraint declaration (PRIMARY/FOREIGN/UNIQUE)."); return;
  }
  const std::uint8_t type = ctr->GetConstraintType();
  if (scan_.Kind == msk::Clustered || scan_.Kind == msk::Nonclustered) {
    ctr->Clustered = scan_.Kind == msk::Clustered;
    NextToken();
  }
  if (type == ct::Unique && scan_.Kind == msk::Index) {
    // CREATE UNIQUE [NON]CLUSTERED INDEX.
    ParseCreateIndex(true, ctr->Clustered, nullptr);
    return;
  }
  if (scan_.Kind == tk::LParen && type != ct::Check && type != ct::Default) {
    ctr->Columns.Clear();
    ParseColumnList(&ctr->Columns);
  } else if (type != ct::Check && type != ct::Default && ctr->Columns.Empty()) {
    // A key of no column: the script would write "()", which no server takes.
    Expect(tk::LParen);
    return;
  }
  // A primary key makes its columns NOT NULL; a unique constraint allows
  // NULL in SQL Server and leaves them as declared.
  if (type == ct::PrimaryKey) {
    for (int i = 0; i < ctr->Columns.Count(); ++i) {
      const std::string& name = ctr->Columns.Name(i);
      TFldData* f = table ? table->FindField(name) : nullptr;
      if (!f && Objs()) {
        const std::string key = ctr->GetParentName().empty()
                                    ? ctr->GetTableName()
                                    : ctr->GetParentName() + "." + ctr->GetTableName();
        f = Objs()->FindField(key, name);
      }
      if (f) f->Nullable = false;
    }
  }
  if (type == ct::ForeignKey) {
    if (ExpectAndNext(msk::References)) {
      ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
      ctr->SetRefTableName(NameObject);
      ctr->SetRefSchemaName(NameOwner);
      if (scan_.Kind == tk::LParen) ParseColumnList(&ctr->RefColumns);
    }
    for (;;) {
      if (scan_.Kind == msk::On) {
        NextToken();
        if (scan_.Kind == msk::Update) {
          NextToken();
          ctr->UpdateRule = ParseFKAction();
        } else if (scan_.Kind == msk::Delete) {
          NextToken();
          ctr->DeleteRule = ParseFKAction();
        } else {
          Error("Must be: UPDATE / DELETE");
          break;
        }
        continue;
      }
      if (scan_.Kind == msk::Not) {
        NextToken();
        if (scan_.Kind == msk::For) NextToken();
        if (scan_.Kind == msk::Replication) NextToken();
        ctr->NotForReplication = true;
        continue;
      }
      break;
    }
  }
  if (scan_.Kind == msk::With) ParseIndexWith(ctr->IndexOptions, /*kept=*/false);
  // The constraint's filegroup has no place in the model: read and dropped.
  std::string fileGroup;
  ParseFileGroup(fileGroup);
  ctr->CheckSystemConstraintName();
  if (LogWanted()) DoLog("Constraint: " + ctr->GetCreateSQL());
  if (add) HandOver(std::move(ctr));
}

// ------------------------------------------------------------------ indexes

void TMSSQLParser::ParseIndexOptions(TIndexOptions& o, bool kept) {
  for (;;) {
    const TIndexOption* opt = nullptr;
    if (scan_.Kind == msk::Fillfactor) opt = &kIndexOptions[0];
    else if (scan_.Kind == tk::Ident && !identQuoted_) opt = FindIndexOption(IdentText());
    if (!opt) {
      Error("Unknown WITH-option for index-keys");
      // Skip the rest of the list so the statement stays in step.
      while (scan_.Kind != tk::RParen && !AtStatementEnd() && scan_.Kind != msk::On) NextToken();
      return;
    }
    const std::size_t start = TokenStart();
    NextToken();
    // The old form names a flag alone: it is on.
    bool on = true;
    bool stored = false;
    if (opt->Value == TOptionValue::Int) {
      ExpectAndNext(tk::Equal);
      std::int32_t v = 0;
      if (Expect(tk::Integer)) Int32Value(v);
      NextToken();
      if (opt->Int) o.*(opt->Int) = v;
      stored = opt->Stored && v != 0;
    } else if (scan_.Kind == tk::Equal) {
      NextToken();
      if (opt->Value == TOptionValue::OnOff) {
        on = scan_.Kind == msk::On;
        if (scan_.Kind == msk::On || scan_.Kind == msk::Off) NextToken();
        else Error("Must be: ON / OFF");
        stored = opt->Stored && on;
      } else {
        // A word such as NONE, ROW or PAGE.
        stored = opt->Stored && !IsPlainWord("NONE");
        if (scan_.Kind == tk::Ident || scan_.Kind == msk::On || scan_.Kind == msk::Off) NextToken();
        else Expect(tk::Ident);
      }
    }
    if (opt->Flag) o.*(opt->Flag) = on;
    if (opt->Int == &TIndexOptions::PadIndex && opt->Value == TOptionValue::OnOff)
      o.PadIndex = on ? 1 : 0;
    // ONLINE = ON (WAIT_AT_LOW_PRIORITY (...)), MAX_DURATION = n MINUTES,
    // DATA_COMPRESSION = PAGE ON PARTITIONS (...).
    if (scan_.Kind == tk::LParen) SkipBalanced();
    if (IsPlainWord("MINUTES")) NextToken();
    if (scan_.Kind == msk::On) {
      TParseContext saved(this);
      NextToken();
      if (IsPlainWord("PARTITIONS")) {
        NextToken();
        if (scan_.Kind == tk::LParen) SkipBalanced();
      } else {
        TParseContext::Restore(*this, saved);
      }
    }
    // The text of a CREATE INDEX keeps every option; a key constraint has
    // no place for these.
    if (stored && !kept) NoteMsg("Index option not kept: " + TextFrom(start));
    if (scan_.Kind != tk::Comma) return;
    // Without parentheses a "," may end the options and start the next
    // element of a table.
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind != msk::Fillfactor && scan_.Kind != tk::Ident) {
      TParseContext::Restore(*this, saved);
      return;
    }
  }
}

void TMSSQLParser::ParseIndexWith(TIndexOptions& options, bool kept) {
  if (scan_.Kind != msk::With) return;
  NextToken();
  options.Clear();
  if (scan_.Kind == tk::LParen) {
    NextToken();
    ParseIndexOptions(options, kept);
    ExpectAndNext(tk::RParen);
  } else {
    ParseIndexOptions(options, kept);
  }
}

void TMSSQLParser::ParseFileGroup(std::string& fileGroup) {
  if (scan_.Kind != msk::On) return;
  NextToken();
  if (scan_.Kind == tk::Ident) {
    fileGroup = IdentText();
    NextToken();
    // A partition scheme: ON scheme (column).
    if (scan_.Kind == tk::LParen) SkipBalanced();
  } else if (scan_.Kind == tk::String) {
    fileGroup = TokenText();
    NextToken();
  } else if (scan_.Kind == msk::Default) {
    fileGroup.clear();
    NextToken();
  } else if (scan_.Kind == msk::Primary) {
    // [PRIMARY] unbracketed is the keyword.
    fileGroup = "PRIMARY";
    NextToken();
  } else {
    Error("Must be: FileGroup/DEFAULT.");
  }
  if (IsPlainWord("TEXTIMAGE_ON")) {
    NextToken();
    if (scan_.Kind == tk::Ident || scan_.Kind == msk::Default || scan_.Kind == tk::String ||
        scan_.Kind == msk::Primary)
      NextToken();
  }
  const TObjs* objs = Objs();
  if (objs && objs->MSSQLServerOptions.MSSQLCompareOptions.IgnoreFileGroup) fileGroup.clear();
}

void TMSSQLParser::ParseIndexHead(TIdxData& idx) {
  ParseObjectName(TDbObject::dboIndex, false);
  idx.SetName(NameSubObject.empty() ? NameObject : NameSubObject);
  ExpectAndNext(msk::On);
  ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
  idx.TableName = NameObject;
  idx.SetParentName(NameOwner);
  ParseColumnList(&idx.Columns);
  if (IsPlainWord("INCLUDE")) {
    NextToken();
    ParseColumnList(&idx.IncludeColumns);
  }
}

void TMSSQLParser::ParseCreateIndex(bool unique, bool clustered, TDbObj* context) {
  if (scan_.Kind == msk::Index) NextToken();
  auto idx = std::make_unique<TIdxData>(Objs());
  idx->Unique = unique;
  idx->Clustered = clustered;
  ParseIndexHead(*idx);
  if (scan_.Kind == msk::Where) {
    NextToken();
    idx->FilterText = TrimCtl(ReadExpression());
  }
  if (scan_.Kind == msk::With) {
    const std::size_t start = TokenStart();
    ParseIndexWith(idx->IndexOptions, /*kept=*/true);
    idx->WithText = TextFrom(start);
  }
  ParseFileGroup(idx->FileGroup);
  if (IsPlainWord("FILESTREAM_ON")) {
    NextToken();
    if (scan_.Kind == tk::Ident || scan_.Kind == msk::Default) NextToken();
  }
  if (LogWanted()) DoLog("Index: " + idx->GetCreateSQL());
  SetStatement(TDbObject::dboIndex, idx->GetName(), 1);
  if (IsScratch(idx->TableName, context)) return;
  HandOver(std::move(idx));
}

void TMSSQLParser::ParseCreateXmlIndex(bool primary, TDbObj* context) {
  auto idx = std::make_unique<TIdxData>(Objs());
  idx->Xml = true;
  idx->PrimaryXml = primary;
  if (IsPlainWord("XML")) NextToken();
  ExpectAndNext(msk::Index);
  ParseIndexHead(*idx);
  if (IsPlainWord("USING")) {
    NextToken();
    if (IsPlainWord("XML")) NextToken();
    ExpectAndNext(msk::Index);
    std::string text = "USING XML INDEX " + idx->QuoteName(IdentText());
    ExpectAndNext(tk::Ident);
    if (scan_.Kind == msk::For) {
      NextToken();
      text += " FOR " + UpperAscii(IdentText());
      NextToken();
    }
    idx->Parameters = text;
  }
  // The options inside and after USING fill one record.
  if (scan_.Kind == msk::With) {
    const std::size_t start = TokenStart();
    ParseIndexWith(idx->IndexOptions, /*kept=*/true);
    idx->WithText = TextFrom(start);
  }
  ParseFileGroup(idx->FileGroup);
  if (LogWanted()) DoLog("Xml index: " + idx->GetCreateSQL());
  SetStatement(TDbObject::dboIndex, idx->GetName(), 1);
  if (IsScratch(idx->TableName, context) || !Objs() || idx->GetName().empty()) return;
  Objs()->AddObject(idx, /*freeOnFail=*/true);
}

void TMSSQLParser::ParseFullTextOptions(TFullTextIndexOptions& o) {
  const bool parens = scan_.Kind == tk::LParen;
  if (parens) NextToken();
  for (;;) {
    if (IsPlainWord("CHANGE_TRACKING")) {
      NextToken();
      if (scan_.Kind == tk::Equal) NextToken();
      if (scan_.Kind == msk::Off || IsPlainWord("AUTO") || IsPlainWord("MANUAL")) {
        o.ChangeTracking = scan_.Kind == msk::Off ? "OFF" : UpperAscii(IdentText());
        NextToken();
      } else {
        Error("Must be: CHANGE TRACKING [=] AUTO / MANUAL / OFF");
      }
    } else if (IsPlainWord("STOPLIST")) {
      NextToken();
      if (scan_.Kind == tk::Equal) NextToken();
      if (scan_.Kind == msk::Off) {
        o.StopListOff = true;
        NextToken();
      } else if (IsPlainWord("SYSTEM")) {
        o.SystemStopList = true;
        NextToken();
      } else {
        o.StopListName = FormatName(IdentText());
        ExpectAndNext(tk::Ident);
      }
    } else if (IsPlainWord("SEARCH")) {
      NextToken();
      if (IsPlainWord("PROPERTY")) NextToken();
      if (IsPlainWord("LIST")) NextToken();
      if (scan_.Kind == tk::Equal) NextToken();
      o.SearchPropertyList = FormatName(IdentText());
      ExpectAndNext(tk::Ident);
    } else {
      Error("Unknown FillText-index option directive");
      NextToken();
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (parens) ExpectAndNext(tk::RParen);
}

void TMSSQLParser::ParseCreateFullTextIndex(TDbObj* context) {
  auto idx = std::make_unique<TIdxData>(Objs());
  idx->FullText = true;
  ExpectAndNext(msk::Index);
  ExpectAndNext(msk::On);
  ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
  idx->TableName = NameObject;
  idx->SetParentName(NameOwner);
  if (scan_.Kind == tk::LParen) {
    // Column [TYPE COLUMN t] [LANGUAGE l] ...: the names only.
    NextToken();
    while (!AtStatementEnd()) {
      if (scan_.Kind == tk::Ident) {
        const std::string name = FoldName(IdentText());
        idx->Columns.Add(name, nullptr);
        NextToken();
        while (scan_.Kind != tk::Comma && scan_.Kind != tk::RParen && !AtStatementEnd())
          NextToken();
      }
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
    ExpectAndNext(tk::RParen);
  }
  if (ExpectAndNext(msk::Key)) {
    ExpectAndNext(msk::Index);
    // A table has one full-text index, which has no name of its own: it
    // is keyed by its table; the key index is kept beside it.
    idx->IndexTypeName = scan_.Kind == tk::Ident ? IdentText() : std::string();
    ExpectAndNext(tk::Ident);
  }
  if (scan_.Kind == msk::On) {
    NextToken();
    const bool parens = scan_.Kind == tk::LParen;
    if (parens) NextToken();
    for (int i = 0; i < 2; ++i) {
      if (IsPlainWord("FILEGROUP")) {
        NextToken();
        idx->FileGroup = IdentText();
        ExpectAndNext(tk::Ident);
      } else if (scan_.Kind == tk::Ident) {
        idx->TablespaceName = IdentText();  // the catalog
        NextToken();
      }
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
    if (parens) ExpectAndNext(tk::RParen);
  }
  if (scan_.Kind == msk::With) {
    NextToken();
    ParseFullTextOptions(idx->FullTextOptions);
  }
  std::string cols;
  for (int i = 0; i < idx->Columns.Count(); ++i) cols += (i ? ", " : "") + idx->Columns.Name(i);
  SetStatement(TDbObject::dboIndex, "[" + idx->TableName + ": " + cols + "]", 1);
  if (IsScratch(idx->TableName, context)) return;
  HandOver(std::move(idx));
}

// -------------------------------------------------------------- ALTER TABLE

void TMSSQLParser::ParseAlterTable(TDbObj* context) {
  if (scan_.Kind == msk::Table) NextToken();
  const std::int32_t nameLine = tokenLine_, nameColumn = tokenColumn_;
  ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
  const std::string key = QualifiedName();
  TObjs* objs = Objs();
  TTblData* found = objs && !IsScratch(NameObject, context) ? objs->FindTable(key) : nullptr;
  // A table that is not in the collection is read into a scratch table.
  std::unique_ptr<TTblData> scratch;
  if (!found) {
    scratch = std::make_unique<TTblData>(objs);
    scratch->SetParentName(NameOwner);
    scratch->SetName(NameObject);
    const std::int32_t line = tokenLine_, column = tokenColumn_;
    tokenLine_ = nameLine;
    tokenColumn_ = nameColumn;
    if (!IsScratch(NameObject, context))
      NoteMsg("ALTER TABLE of a table that is not in the collection: " + key +
              " (read, not applied)");
    tokenLine_ = line;
    tokenColumn_ = column;
  }
  TTblData& table = found ? *found : *scratch;
  const bool add = found != nullptr;
  SetStatement(TDbObject::dboTable, table.GetName(), 2);
  for (;;) {
    TNestingGuard guard(*this);
    if (!guard.Ok()) return;
    if (scan_.Kind == msk::Add) {
      NextToken();
      for (;;) {
        if (scan_.Kind == tk::Ident) {
          if (!identQuoted_ && StartsWith(IdentText(), "<")) {
            while (scan_.Kind == tk::Ident && StartsWith(IdentText(), "<")) NextToken();
          } else {
            ParseColumn(table, add);
          }
        } else if (scan_.Kind == tk::Less) {
          ParseNamePart();  // a template placeholder
        } else if (scan_.Kind == msk::Constraint) {
          ParseNamedConstraint(add, nullptr, false, false, nullptr, &table);
        } else if (scan_.Kind == msk::Default || scan_.Kind == msk::Primary ||
                   scan_.Kind == msk::Foreign || scan_.Kind == msk::Unique ||
                   scan_.Kind == msk::Check) {
          ParseConstraint(add, NewConstraint(ct::ForeignKey, &table, nullptr), &table);
        } else if (scan_.Kind == msk::Column) {
          // Other dialects write ADD COLUMN; the server refuses it.
          Error("ALTER TABLE ... ADD COLUMN is no T-SQL: the column is not added");
          SkipStatementRest();
          return;
        } else {
          Error("Unknown ALTER TABLE ... ADD element: " + CurTokenName());
          SkipStatementRest();
          return;
        }
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
      continue;
    }
    if (scan_.Kind == msk::Alter) {
      // ALTER without COLUMN begins the next statement.
      TParseContext saved(this);
      NextToken();
      if (scan_.Kind != msk::Column) {
        TParseContext::Restore(*this, saved);
        break;
      }
      NextToken();
      TFldData& col = ScratchColumn();
      col.DataType = dt::Unknown;
      NextToken();  // the column name
      ParseDataType(col, false, false);
      // ADD / DROP ROWGUIDCOL and the like.
      if (scan_.Kind == msk::Add || scan_.Kind == msk::Drop) {
        NextToken();
        if (scan_.Kind == tk::Ident || scan_.Kind == msk::Rowguidcol) NextToken();
      }
      continue;
    }
    if (scan_.Kind == msk::Drop) {
      TParseContext saved(this);
      NextToken();
      if (IsDropKind()) {
        // DROP TABLE and its siblings begin the next statement.
        TParseContext::Restore(*this, saved);
        break;
      }
      if (scan_.Kind == msk::Column) {
        NextToken();
        do {
          if (scan_.Kind == tk::Comma) NextToken();
          const std::string name = FoldName(IdentText());
          ExpectAndNext(tk::Ident);
          const int i = table.Fields.IndexOf(name);
          if (i >= 0 && found) {
            TFldData* f = table.Fields.Object(i);
            if (objs && f) objs->DetachObject(f);
            table.Fields.Delete(i);
          }
        } while (scan_.Kind == tk::Comma);
      } else if (scan_.Kind == msk::Constraint) {
        NextToken();
        do {
          if (scan_.Kind == tk::Comma) NextToken();
          ExpectAndNext(tk::Ident);
        } while (scan_.Kind == tk::Comma);
      } else {
        Error("Unknown ALTER TABLE ... DROP statement");
        SkipStatementRest();
        return;
      }
      continue;
    }
    if (scan_.Kind == msk::Set) {
      // SET (LOCK_ESCALATION = ...): a table option; SET without "(" is
      // the next statement.
      TParseContext saved(this);
      const std::size_t start = TokenStart();
      NextToken();
      if (scan_.Kind != tk::LParen) {
        TParseContext::Restore(*this, saved);
        break;
      }
      SkipBalanced();
      NoteMsg("Table options not read: " + TextFrom(start));
      continue;
    }
    if (IsPlainWord("ENABLE") || IsPlainWord("DISABLE")) {
      NextToken();
      if (scan_.Kind == msk::Trigger) NextToken();
      if (scan_.Kind == msk::All || scan_.Kind == tk::Ident) NextToken();
      continue;
    }
    if (scan_.Kind == msk::With) {
      NextToken();
      const bool check = scan_.Kind == msk::Check;
      if (scan_.Kind != msk::Check && scan_.Kind != msk::Nocheck) {
        Error("Must be: CHECK / NOCHECK.");
        SkipStatementRest();
        return;
      }
      NextToken();
      // WITH CHECK CHECK CONSTRAINT ... re-enables constraints.
      if (scan_.Kind == msk::Check || scan_.Kind == msk::Nocheck) continue;
      ExpectAndNext(msk::Add);
      for (;;) {
        if (scan_.Kind == msk::Constraint) {
          ParseNamedConstraint(add, nullptr, !check, check, nullptr, &table);
        } else if (scan_.Kind == msk::Primary || scan_.Kind == msk::Foreign ||
                   scan_.Kind == msk::Unique || scan_.Kind == msk::Check) {
          ParseConstraint(add, NewConstraint(ct::ForeignKey, &table, nullptr), &table);
        } else {
          Error("Unknown constraint.");
          SkipStatementRest();
          return;
        }
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
      continue;
    }
    if (scan_.Kind == msk::Check || scan_.Kind == msk::Nocheck) {
      NextToken();
      ExpectAndNext(msk::Constraint);
      if (scan_.Kind == msk::All || scan_.Kind == tk::Ident) {
        NextToken();
        while (scan_.Kind == tk::Comma) {
          NextToken();
          ExpectAndNext(tk::Ident);
        }
      } else {
        Error("Must be: ALL / <Ident>");
      }
      continue;
    }
    break;
  }
}

}  // namespace qor
