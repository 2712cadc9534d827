// Tables: CREATE TABLE with its columns, keys, indices, foreign keys,
// checks and options, CREATE INDEX and ALTER TABLE.
#include "parsers/mysql/qorMySQLParser.h"

#include <array>

#include "base/qorMsgMngr.h"
#include "model/qorClasses.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

// The type-name index of `name`; the first of equal names (TIME and
// TIMESTAMP come twice, the plain forms first).
std::uint8_t TypeIndex(std::string_view name) {
  for (int i = 1; i < dt::Count; ++i)
    if (DataTypeName(i) == name) return static_cast<std::uint8_t>(i);
  return dt::Unknown;
}

// The type words that are no keyword of the table.
struct TTypeWord {
  const char* Word;
  const char* TypeName;
};
constexpr std::array<TTypeWord, 13> kTypeWords = {{
    {"TIMESTAMP", "TIMESTAMP"},
    {"GEOMETRY", "Geometry"},
    {"POINT", "Point"},
    {"CURVE", "Curve"},
    {"LINESTRING", "LineString"},
    {"SURFACE", "Surface"},
    {"POLYGON", "Polygon"},
    {"GEOMETRYCOLLECTION", "GeometryCollection"},
    {"MULTIPOINT", "MultiPoint"},
    {"MULTICURVE", "MultiCurve"},
    {"MULTILINESTRING", "MultiLineString"},
    {"MULTISURFACE", "MultiSurface"},
    {"MULTIPOLYGON", "MultiPolygon"},
}};

// Other spellings of the types.
constexpr std::array<TTypeWord, 8> kTypeSynonyms = {{
    {"INT1", "TINYINT"},
    {"INT2", "SMALLINT"},
    {"INT3", "MEDIUMINT"},
    {"MIDDLEINT", "MEDIUMINT"},
    {"INT4", "INTEGER"},
    {"INT8", "BIGINT"},
    {"FIXED", "DECIMAL"},
    {"FLOAT8", "DOUBLE"},
}};

// Types the type table has no entry for; a column keeps them by name.
constexpr std::array<std::string_view, 4> kNamedTypes = {"UUID", "INET4", "INET6", "JSON"};

const char* KeywordTypeName(TTokenKind k) {
  switch (k) {
    case myk::Int: return "INTEGER";
    case myk::Tinyint: return "TINYINT";
    case myk::Smallint: return "SMALLINT";
    case myk::Mediumint: return "MEDIUMINT";
    case myk::Bigint: return "BIGINT";
    case myk::Real: return "REAL";
    case myk::Float: return "FLOAT";
    case myk::Double: return "DOUBLE";
    case myk::Decimal: return "DECIMAL";
    case myk::Numeric: return "NUMERIC";
    case myk::Char: return "CHAR";
    case myk::Varchar: return "VARCHAR";
    case myk::Binary: return "BINARY";
    case myk::Varbinary: return "VARBINARY";
    case myk::Date: return "DATE";
    case myk::Time: return "TIME";
    case myk::Datetime: return "DATETIME";
    case myk::Year: return "YEAR";
    case myk::Tinyblob: return "TINYBLOB";
    case myk::Blob: return "BLOB";
    case myk::Mediumblob: return "MEDIUMBLOB";
    case myk::Longblob: return "LONGBLOB";
    case myk::Tinytext: return "TINYTEXT";
    case myk::Text: return "TEXT";
    case myk::Mediumtext: return "MEDIUMTEXT";
    case myk::Longtext: return "LONGTEXT";
    case myk::Enum: return "ENUM";
    case myk::Set: return "SET";
    case myk::Bit: return "BIT";
    default: return nullptr;
  }
}

bool TakesLength(std::uint8_t t) {
  return t == dt::CHAR || t == dt::VARCHAR || t == dt::NATIONAL_CHAR || t == dt::BINARY ||
         t == dt::VARBINARY;
}

std::unique_ptr<TCtrData> NewConstraint(TObjs* objs, TTblData& table, std::uint8_t type,
                                        const std::string& name) {
  auto c = std::make_unique<TCtrData>(objs);
  c->SetName(name);
  c->SetTableName(table.GetName());
  c->SetConstraintType(type);
  return c;
}

}  // namespace

// ------------------------------------------------------------------ tables

void TMySQLParser::ParseCreateTable(TTblData* given) {
  std::unique_ptr<TTblData> owned;
  TTblData* table = given;
  if (TokenKind() == myk::Temporary) NextToken();
  if (!Expect(myk::Table)) {
    SkipTo(KindSet({tk::Terminator}));
    return;
  }
  NextToken();
  SkipIfExists(/*withNot=*/true);
  std::string name;
  if (!ReadName(name)) return;
  if (!table) {
    owned = std::make_unique<TTblData>(Objs());
    table = owned.get();
  }
  table->SetName(name);
  auto finish = [&]() {
    Notify(6, name, 1, 1);
    if (owned) {
      // Straight into the collection: the table itself was never filtered.
      if (TObjs* objs = Objs()) objs->AddObject(owned, /*freeOnFail=*/true);
    }
    DoLog("Table: " + name);
  };
  // LIKE t / (LIKE t): a copy of another table's definition.
  const bool parenLike = TokenKind() == tk::LParen && NextWordIs("LIKE");
  if (IsWord("LIKE") || parenLike) {
    if (parenLike) NextToken();
    NextToken();
    std::string source;
    if (!ReadName(source)) return;
    if (parenLike && Expect(tk::RParen)) NextToken();
    // Without its source's columns the table could not be written.
    if (CopyTableDefinition(source, *table)) finish();
    return;
  }
  const bool columns = TokenKind() == tk::LParen && !SelectFollows();
  if (columns) {
    NextToken();
    ParseTableItems(*table);
    // Without its ")" (a text cut short) the table keeps what was read.
    if (!Expect(tk::RParen)) {
      finish();
      return;
    }
    NextToken();
  }
  ParseTableOptions(*table);
  // [IGNORE | REPLACE] [AS] SELECT ...: the query is kept as text, the
  // columns it makes are the server's to derive.
  if (IsWord("IGNORE") || TokenKind() == myk::Replace) NextToken();
  if (TokenKind() == myk::As) NextToken();
  if (TokenKind() == myk::Select || TokenKind() == tk::LParen || IsWord("WITH") ||
      IsWord("VALUES") || IsWord("TABLE")) {
    table->AsQuery = ReadQueryText();
  } else if (!columns && table->MySQLOptions.Clauses.empty()) {
    // Neither columns nor a query (nor clauses, which may end in one):
    // options alone make no table, and our script would write one the
    // server refuses.
    Expect(tk::LParen);
    SkipTo(KindSet({tk::Terminator}));
    return;
  } else if (columns && table->Fields.Empty()) {
    // Items of no column (keys only, or passed over) and no query: the
    // server refuses the table, and so would our script of it.
    Error("Table " + name + " has no column");
    SkipTo(KindSet({tk::Terminator}));
    return;
  }
  finish();
}

bool TMySQLParser::NextWordIs(std::string_view word) {
  TLookahead saved(*this);
  NextToken();
  const bool is = IsWord(word);
  saved.Undo();
  return is;
}

bool TMySQLParser::SelectFollows() {
  // "(" SELECT, or "(" "(" SELECT ...: a query, not a column list.
  TLookahead saved(*this);
  while (TokenKind() == tk::LParen) NextToken();
  const bool query = TokenKind() == myk::Select || IsWord("WITH") || IsWord("VALUES");
  saved.Undo();
  return query;
}

void TMySQLParser::ParseTableItems(TTblData& table) {
  while (!AtStatementEnd() && TokenKind() != tk::RParen) {
    const std::size_t before = TokenStart();
    if (ParseKeyItem(table, "table " + table.GetName())) {
      // a key, an index or a check
    } else if (TokenKind() == myk::References) {
      ParseReferences(table);
    } else if (IsWord("PERIOD")) {
      SkipItem("table " + table.GetName());
    } else if (IsNameToken()) {
      std::unique_ptr<TFldData> column = ParseColumnDef(&table, false, false);
      if (column) {
        const std::string colName = column->GetName();
        table.Fields.Add(colName, std::move(column));
      }
    } else {
      SkipItem("table " + table.GetName());
    }
    if (TokenKind() != tk::Comma && TokenKind() != tk::RParen && !AtStatementEnd())
      SkipItem("table " + table.GetName());
    if (TokenKind() == tk::Comma) NextToken();
    if (TokenStart() == before && !AtStatementEnd()) NextToken();
  }
}

bool TMySQLParser::CopyTableDefinition(const std::string& sourceName, TTblData& table) {
  TObjs* objs = Objs();
  TTblData* source = objs ? objs->FindTable(sourceName) : nullptr;
  if (!source) {
    NoteHere("Table " + table.GetName() + ": LIKE " + sourceName +
             ", a table not in the model: not kept.");
    return false;
  }
  // One made by a query has the columns the server derived, which the
  // model does not hold: a copy of none would be written as no table.
  if (source->Fields.Empty()) {
    NoteHere("Table " + table.GetName() + ": LIKE " + sourceName +
             ", a table whose columns the model does not hold: not kept.");
    return false;
  }
  for (int i = 0; i < source->Fields.Count(); ++i) {
    const TFldData* from = source->Fields.Object(i);
    if (!from) continue;
    auto f = std::make_unique<TFldData>(objs, &table);
    f->SetName(from->GetName());
    f->TableName = table.GetName();
    f->OwnerObj = &table;
    CopyColumnDefinition(*from, *f);
    table.Fields.Add(from->GetName(), std::move(f));
  }
  table.MySQLOptions.Assign(source->MySQLOptions);
  // Keys and indices; foreign keys stay with the table they were made on,
  // as the server does.
  std::vector<TCtrData*> keys;
  std::vector<TIdxData*> indices;
  for (int i = 0; i < objs->Constraints.Count(); ++i) {
    TCtrData* c = objs->Constraints.Object(i);
    if (c && c->GetTableName() == source->GetName() &&
        (c->GetConstraintType() == ct::PrimaryKey || c->GetConstraintType() == ct::Unique ||
         c->GetConstraintType() == ct::Check))
      keys.push_back(c);
  }
  for (int i = 0; i < objs->Indices.Count(); ++i)
    if (TIdxData* x = objs->Indices.Object(i); x && x->TableName == source->GetName())
      indices.push_back(x);
  for (TCtrData* c : keys) {
    auto copy = NewConstraint(objs, table, c->GetConstraintType(), c->GetName());
    for (int j = 0; j < c->Columns.Count(); ++j) copy->Columns.Add(c->Columns.Name(j), nullptr);
    copy->IndexName = c->IndexName;
    copy->SetText(c->GetText());
    HandOn(std::move(copy));
  }
  for (TIdxData* x : indices) {
    auto copy = std::make_unique<TIdxData>(objs);
    copy->SetName(x->GetName());
    copy->TableName = table.GetName();
    copy->Unique = x->Unique;
    copy->FullText = x->FullText;
    copy->Spatial = x->Spatial;
    copy->MySQLIndexOptions = x->MySQLIndexOptions;
    copy->SetDescription(x->GetDescription());
    for (int j = 0; j < x->Columns.Count(); ++j) {
      std::unique_ptr<TFldData> col;
      if (const TFldData* from = x->Columns.Object(j)) {
        col = std::make_unique<TFldData>(objs, copy.get());
        col->SetName(from->GetName());
        col->Length = from->Length;
        col->SortOrder = from->SortOrder;
      }
      copy->Columns.Add(x->Columns.Name(j), std::move(col));
    }
    HandOn(std::move(copy));
  }
  return true;
}

void TMySQLParser::CopyColumnDefinition(const TFldData& from, TFldData& to) {
  to.DataType = from.DataType;
  to.Length = from.Length;
  to.Precision = from.Precision;
  to.Scale = from.Scale;
  to.CharSet = from.CharSet;
  to.Collation = from.Collation;
  to.Unsigned = from.Unsigned;
  to.ZeroFill = from.ZeroFill;
  to.BinaryAttr = from.BinaryAttr;
  to.AutoIncrement = from.AutoIncrement;
  to.Persisted = from.Persisted;
  to.Nullable = from.Nullable;
  to.DefaultValue = from.DefaultValue;
  to.DomainName = from.DomainName;
  to.EnumValues = from.EnumValues;
  to.GeneratedKind = from.GeneratedKind;
  to.GeneratedExpr = from.GeneratedExpr;
  to.SetDescription(from.GetDescription());
}

bool TMySQLParser::ParseKeyItem(TTblData& table, const std::string& where) {
  const TTokenKind k = TokenKind();
  if (k == myk::Primary) {
    ParsePrimaryKey(table, {});
  } else if (k == myk::Unique) {
    ParseUniqueKey(table, {});
  } else if (k == myk::Foreign) {
    ParseForeignKey(table, {});
  } else if (k == myk::Fulltext || k == myk::Spatial) {
    NextToken();
    ParseCreateIndex(&table, false, k == myk::Fulltext, k == myk::Spatial);
  } else if (k == myk::Key || k == myk::Index) {
    ParseIndexKey(table);
  } else if (k == myk::Constraint) {
    NextToken();
    std::string name;
    if (TokenKind() == tk::Ident && !IsWord("CHECK")) ReadName(name);
    if (TokenKind() == myk::Primary) ParsePrimaryKey(table, name);
    else if (TokenKind() == myk::Unique) ParseUniqueKey(table, name);
    else if (TokenKind() == myk::Foreign) ParseForeignKey(table, name);
    else if (IsWord("CHECK")) ParseCheck(table, name, {});
    else SkipItem(where);
  } else if (IsWord("CHECK") && NextCharIs('(')) {
    ParseCheck(table, {}, {});
  } else {
    return false;
  }
  return true;
}

void TMySQLParser::SkipItem(const std::string& where) {
  const std::size_t start = TokenStart();
  const std::int32_t line = tokenLine_, column = tokenColumn_;
  int depth = 0;
  while (!AtStatementEnd()) {
    const TTokenKind k = TokenKind();
    if (depth == 0 && (k == tk::Comma || k == tk::RParen)) break;
    if (k == tk::LParen) ++depth;
    else if (k == tk::RParen) --depth;
    NextToken();
  }
  std::string text = ReplaceAll(NormalizeLineBreaks(TrimCtl(GetText(
                                    start, PrevTokenEnd() > start ? PrevTokenEnd() - start : 0))),
                                "\r\n", " ");
  if (text.empty()) return;
  if (text.size() > 60) text = text.substr(0, 57) + "...";
  Messages().AddMsg("Not read in " + where + ": " + text, ScriptName, column, line, kMsgNote);
}

// ----------------------------------------------------------------- columns

std::unique_ptr<TFldData> TMySQLParser::ParseColumnDef(TDbObj* holder, bool param, bool result) {
  std::string name;
  if (result) name = UpperLocale(IdentText());
  else name = TokenKind() == tk::Ident ? IdentText() : FoldName(IdentText());
  auto owned = std::make_unique<TFldData>(Objs(), holder);
  TFldData* f = owned.get();
  f->SetName(name);
  auto* table = dynamic_cast<TTblData*>(holder);
  if (table) {
    f->TableName = table->GetName();
    f->OwnerObj = table;
  }
  NextToken();

  if (!ParseDataType(*f)) return owned;
  if (serial_) {
    // SERIAL: BIGINT UNSIGNED NOT NULL AUTO_INCREMENT UNIQUE.
    serial_ = false;
    f->Unsigned = true;
    f->Nullable = false;
    f->AutoIncrement = true;
    if (table) AddColumnUnique(*table, *f);
  }
  ParseColumnAttributes(*f, table, param || result);
  return owned;
}

bool TMySQLParser::ParseDataType(TFldData& column) {
  TFldData* f = &column;
  const TTokenKind k = TokenKind();
  const std::string word = k == tk::Ident ? UpperLocale(IdentText()) : std::string();
  std::uint8_t type = dt::Unknown;
  // The character set the server gives a NATIONAL type.
  auto national = [&](std::uint8_t t) {
    type = t;
    if (t == dt::VARCHAR) f->CharSet = "utf8mb3";
  };
  if (k == myk::Char) {
    // CHAR VARYING, CHARACTER VARYING: VARCHAR.
    type = NextWordIs("VARYING") ? dt::VARCHAR : dt::CHAR;
    if (type == dt::VARCHAR) NextToken();
  } else if (const char* tn = KeywordTypeName(k)) {
    type = TypeIndex(tn);
    // BOOL shares TINYINT's keyword; it is TINYINT(1), as BOOLEAN is.
    if (k == myk::Tinyint && UpperAscii(IdentText()) == "BOOL") f->Precision = 1;
  } else if (k == myk::National || word == "NCHAR") {
    // NATIONAL CHAR [VARYING], NATIONAL VARCHAR, NCHAR [VARCHAR|VARYING].
    NextToken();
    if (TokenKind() == myk::Varchar || IsWord("VARYING")) {
      national(dt::VARCHAR);
    } else if (TokenKind() == myk::Char) {
      national(NextWordIs("VARYING") ? dt::VARCHAR : dt::NATIONAL_CHAR);
      if (type == dt::VARCHAR) NextToken();
    } else if (k == myk::National) {
      Expect(myk::Char);
      return false;
    } else {
      // NCHAR alone: the current token is what follows the type.
      f->DataType = dt::NATIONAL_CHAR;
      return ParseTypeArguments(*f);
    }
  } else if (word == "NVARCHAR") {
    national(dt::VARCHAR);
  } else if (word == "BOOLEAN") {
    type = TypeIndex("TINYINT");
    f->Precision = 1;
  } else if (word == "LONG") {
    // LONG, LONG VARCHAR: MEDIUMTEXT; LONG VARBINARY: MEDIUMBLOB.
    TLookahead saved(*this);
    NextToken();
    if (TokenKind() == myk::Varbinary) {
      type = TypeIndex("MEDIUMBLOB");
    } else {
      type = TypeIndex("MEDIUMTEXT");
      if (TokenKind() != myk::Varchar) saved.Undo();
    }
  } else if (word == "SERIAL") {
    type = TypeIndex("BIGINT");
    serial_ = true;
  } else {
    for (const TTypeWord& w : kTypeWords)
      if (word == w.Word) type = TypeIndex(w.TypeName);
    for (const TTypeWord& w : kTypeSynonyms)
      if (word == w.Word) type = TypeIndex(w.TypeName);
    for (std::string_view n : kNamedTypes)
      if (word == n) {
        type = dt::UserType;
        f->DomainName = word;
      }
  }
  if (type == dt::Unknown) {
    Error("Invalid field-type: " + CurTokenName() + " " + UpperLocale(IdentText()));
    return false;
  }
  f->DataType = type;
  NextToken();
  if (type == TypeIndex("DOUBLE") && TokenKind() == myk::Precision) NextToken();
  return ParseTypeArguments(*f);
}

bool TMySQLParser::ParseTypeArguments(TFldData& column) {
  TFldData* f = &column;
  const std::uint8_t type = f->DataType;
  if (type == dt::ENUM || type == dt::SET) {
    f->EnumValues.clear();
    if (Expect(tk::LParen)) {
      NextToken();
      for (;;) {
        std::string value;
        if (!ReadEnumValue(value)) break;
        // Written back as they stand, so quoted for MySQL now.
        f->EnumValues.push_back(QuoteStringLiteral(value, TDatabaseType::dbMySQL));
        if (TokenKind() != tk::Comma) break;
        NextToken();
      }
      if (Expect(tk::RParen)) NextToken();
    }
  } else if (TokenKind() == tk::LParen) {
    std::int32_t v = 0;
    NextToken();
    if (Expect(tk::Integer) && Int32Value(v)) {
      if (TakesLength(type)) f->Length = v;
      else f->Precision = v;
    }
    NextToken();
    if (TokenKind() == tk::Comma) {
      NextToken();
      if (Expect(tk::Integer) && Int32Value(v)) f->Scale = v;
      NextToken();
    }
    if (Expect(tk::RParen)) NextToken();
  }
  return true;
}

bool TMySQLParser::ReadEnumValue(std::string& value) {
  if (TokenKind() == myk::CharsetIntroducer) NextToken();
  if (TokenKind() == tk::String) {
    value = TokenText();
    NextToken();
    return true;
  }
  // 0x61 and X'61' (a number or a word touching its digits), the bytes of
  // the value in hexadecimal.
  const std::size_t start = TokenStart();
  std::string hex;
  if (TokenKind() == tk::Integer && TokenText() == "0" && CurChar() != ' ') {
    NextToken();
    if (TokenKind() == tk::Ident && TokenStart() == PrevTokenEnd() &&
        (IdentText()[0] == 'x' || IdentText()[0] == 'X')) {
      hex = GetText(TokenStart() + 1, CurIndex() - TokenStart() - 1);
      NextToken();
    }
  } else if (TokenKind() == tk::Ident && UpperAscii(IdentText()) == "X" && CurChar() == '\'') {
    NextToken();
    hex = TokenText();
    NextToken();
  }
  if (hex.empty() || hex.size() % 2 != 0 ||
      hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    if (TokenStart() == start) Expect(tk::String);
    else Error("Invalid ENUM/SET value: " + GetText(start, PrevTokenEnd() - start));
    return false;
  }
  value.clear();
  for (std::size_t i = 0; i < hex.size(); i += 2)
    value += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return true;
}

void TMySQLParser::AddColumnUnique(TTblData& table, TFldData& column) {
  // A column's UNIQUE is an index named after the column.
  auto idx = std::make_unique<TIdxData>(Objs());
  idx->SetName(column.GetName());
  idx->TableName = table.GetName();
  idx->Unique = true;
  auto col = std::make_unique<TFldData>(Objs(), idx.get());
  col->SetName(column.GetName());
  idx->Columns.Add(column.GetName(), std::move(col));
  LogObject("Index: ", *idx);
  HandOn(std::move(idx));
}

void TMySQLParser::ParseColumnAttributes(TFldData& column, TTblData* table, bool routineItem) {
  TFldData* f = &column;
  // ---- attributes, in any order; each round reads one or stops
  f->Nullable = true;
  for (;;) {
    const std::size_t before = TokenStart();
    const TTokenKind a = TokenKind();
    if (a == myk::Char || IsWord("CHARSET")) {
      NextToken();
      if (a == myk::Char) {
        if (!Expect(myk::Set)) break;
        NextToken();
      }
      if (IsNameToken() || TokenKind() == tk::String) {
        f->CharSet = TokenKind() == tk::String ? TokenText() : RawTokenText();
        NextToken();
      }
    } else if (a == myk::Collate) {
      NextToken();
      if (IsNameToken() || TokenKind() == tk::String) {
        f->Collation = TokenKind() == tk::String ? TokenText() : RawTokenText();
        NextToken();
      }
    } else if (a == myk::Unsigned) {
      f->Unsigned = true;
      NextToken();
    } else if (IsWord("SIGNED")) {
      NextToken();
    } else if (a == myk::Zerofill) {
      f->ZeroFill = true;
      NextToken();
    } else if (a == myk::Binary) {
      f->BinaryAttr = true;
      NextToken();
    } else if (routineItem) {
      break;
    } else if (a == myk::Not) {
      NextToken();
      if (Expect(myk::Null)) {
        f->Nullable = false;
        NextToken();
      }
    } else if (a == myk::Null) {
      f->Nullable = true;
      NextToken();
    } else if (a == myk::Default) {
      NextToken();
      f->DefaultValue = ParseDefaultValue();
      if (f->DefaultValue == "NULL") f->DefaultValue.clear();
    } else if (a == myk::On) {
      NextToken();
      if (!Expect(myk::Update)) break;
      NextToken();
      const std::string value = ParseDefaultValue();
      f->DefaultValue =
          (f->DefaultValue.empty() ? std::string("NULL") : f->DefaultValue) + " ON UPDATE " + value;
    } else if (IsWord("AUTO_INCREMENT")) {
      f->AutoIncrement = true;
      NextToken();
    } else if (a == myk::Primary || a == myk::Key) {
      if (a == myk::Primary) NextToken();
      if (TokenKind() == myk::Key) NextToken();
      if (table) {
        auto pk = NewConstraint(Objs(), *table, ct::PrimaryKey, {});
        pk->Columns.Add(f->GetName(), nullptr);
        LogObject("Primary Key: ", *pk);
        HandOn(std::move(pk));
      }
    } else if (a == myk::Unique) {
      NextToken();
      if (TokenKind() == myk::Key) NextToken();
      if (table) AddColumnUnique(*table, *f);
    } else if (IsWord("COMMENT")) {
      NextToken();
      if (Expect(tk::String)) {
        f->SetDescription(TokenText());
        NextToken();
      }
    } else if (a == myk::Constraint || (IsWord("CHECK") && NextCharIs('('))) {
      std::string ctrName;
      if (a == myk::Constraint) {
        NextToken();
        if (TokenKind() == tk::Ident && !IsWord("CHECK")) ReadName(ctrName);
        if (!IsWord("CHECK")) {
          ExpectWord("CHECK");
          break;
        }
      }
      if (table) ParseCheck(*table, ctrName, f->GetName());
      else ReadParenthesised();
    } else if (a == myk::References) {
      NextToken();
      std::string ref;
      if (!ReadName(ref)) break;
      auto fk = table ? NewConstraint(Objs(), *table, ct::ForeignKey, {}) : nullptr;
      if (fk) {
        fk->Columns.Add(f->GetName(), nullptr);
        fk->SetRefTableName(ref);
      }
      if (TokenKind() == tk::LParen) {
        TFieldList refs;
        ParseKeyColumns(fk ? fk->RefColumns : refs, false);
      }
      if (fk) {
        ParseReferentialActions(*fk);
        LogObject("Foreign Key: ", *fk);
        HandOn(std::move(fk));
      }
    } else if (IsWord("GENERATED")) {
      NextToken();
      ExpectWord("ALWAYS");
      NextToken();
    } else if (a == myk::As && NextCharIs('(')) {
      f->GeneratedKind = 'A';
      f->GeneratedExpr = ReadParenthesised();
    } else if (IsWord("VIRTUAL")) {
      NextToken();
    } else if (IsWord("PERSISTENT") || IsWord("STORED")) {
      f->Persisted = true;
      NextToken();
    } else if (IsWord("INVISIBLE")) {
      // The model has no place for it; said, not lost silently.
      NoteHere("Column " + f->GetName() + ": INVISIBLE is not kept.");
      NextToken();
    } else if (IsWord("COLUMN_FORMAT") || IsWord("STORAGE")) {
      NextToken();
      if (!AtStatementEnd()) NextToken();
    } else if (IsWord("SERIAL")) {
      // SERIAL DEFAULT VALUE: NOT NULL AUTO_INCREMENT UNIQUE.
      NextToken();
      if (TokenKind() == myk::Default) NextToken();
      if (IsWord("VALUE")) NextToken();
      f->Nullable = false;
      f->AutoIncrement = true;
    } else {
      break;
    }
    if (TokenStart() == before) break;
  }
}

std::string TMySQLParser::ParseDefaultValue() {
  // (expression): the parenthesised text as it stands.
  if (TokenKind() == tk::LParen) {
    const std::size_t start = TokenStart();
    int depth = 0;
    do {
      if (TokenKind() == tk::LParen) ++depth;
      else if (TokenKind() == tk::RParen) --depth;
      NextToken();
    } while (depth > 0 && !AtStatementEnd());
    return TrimCtl(GetText(start, PrevTokenEnd() - start));
  }
  const TTokenKind k = TokenKind();
  if (k == tk::Minus || k == tk::Plus) {
    const std::string sign = k == tk::Minus ? "-" : "+";
    NextToken();
    if (TokenKind() == tk::Integer || TokenKind() == tk::Float) {
      std::string v = (sign == "-" ? sign : std::string()) + TokenText();
      NextToken();
      return v;
    }
    Error("DEFAUT " + sign + CurTokenName() + " error...");
    return {};
  }
  if (k == myk::Null) {
    NextToken();
    return "NULL";
  }
  if (k == tk::Integer || k == tk::Float) {
    std::string v = TokenText();
    const std::size_t start = TokenStart();
    NextToken();
    // 0x41 and 0b101 scan as a number and a name that touch.
    if (TokenKind() == tk::Ident && TokenStart() == PrevTokenEnd()) {
      NextToken();
      v = GetText(start, PrevTokenEnd() - start);
    }
    return v;
  }
  if (k == myk::CharsetIntroducer) NextToken();
  if (TokenKind() == tk::String) {
    // The model keeps a string default as a literal with doubled quotes;
    // the writer quotes it anew for the dialect.
    std::string v = QuotedStr(TokenText());
    NextToken();
    return v;
  }
  if (TokenKind() == tk::Ident) {
    const std::size_t start = TokenStart();
    const std::string word = UpperLocale(IdentText());
    // b'101', x'41': the prefix touches the literal.
    if ((word == "B" || word == "X") && (CurChar() == '\'')) {
      NextToken();
      NextToken();
      return GetText(start, PrevTokenEnd() - start);
    }
    if (word == "N" && CurChar() == '\'') {
      NextToken();
      std::string v = QuotedStr(TokenText());
      NextToken();
      return v;
    }
    if (CurChar() == '(') return word + ReadParenthesised();
    NextToken();
    return word;
  }
  // A function whose name is a keyword: DEFAULT char(65), DEFAULT left(a, 2).
  if (IsNameToken() && CurChar() == '(') {
    const std::string word = UpperLocale(IdentText());
    return word + ReadParenthesised();
  }
  Error("DEFAUT " + CurTokenName() + " error...");
  if (!AtStatementEnd() && TokenKind() != tk::Comma && TokenKind() != tk::RParen) NextToken();
  return {};
}

// ------------------------------------------------------- keys and indices

void TMySQLParser::ParseKeyColumns(TFieldList& list, bool withObjects) {
  if (!Expect(tk::LParen)) return;
  NextToken();
  while (!AtStatementEnd() && TokenKind() != tk::RParen) {
    const std::size_t before = TokenStart();
    if (TokenKind() == tk::LParen) {
      SkipItem("key columns");
      NoteHere("An expression key part is not kept.");
    } else {
      std::string name;
      if (!ReadName(name)) break;
      std::int32_t length = 0;
      if (TokenKind() == tk::LParen) {
        NextToken();
        if (Expect(tk::Integer)) Int32Value(length);
        NextToken();
        if (Expect(tk::RParen)) NextToken();
      }
      // An application-time period (p WITHOUT OVERLAPS): the model keeps
      // no period, so the key keeps its columns only.
      const bool period = IsWord("WITHOUT");
      if (period) {
        NoteHere("Key part " + name + " WITHOUT OVERLAPS is not kept.");
        NextToken();
        if (IsWord("OVERLAPS")) NextToken();
      }
      bool desc = false;
      if (IsWord("ASC")) {
        NextToken();
      } else if (IsWord("DESC")) {
        desc = true;
        NextToken();
      }
      std::unique_ptr<TFldData> col;
      if (withObjects || desc) {
        col = std::make_unique<TFldData>(Objs(), nullptr);
        col->SetName(name);
        col->Length = length;
        if (desc) col->SortOrder = 2;
      }
      if (!period) list.Add(name, std::move(col));
    }
    if (TokenKind() == tk::Comma) NextToken();
    else if (TokenKind() != tk::RParen) break;
    if (TokenStart() == before) break;
  }
  if (Expect(tk::RParen)) NextToken();
}

void TMySQLParser::ParseIndexOptions(TIdxData* index) {
  for (;;) {
    const std::size_t before = TokenStart();
    if (IsWord("USING")) {
      NextToken();
      const std::string type = UpperLocale(IdentText());
      if (type == "BTREE" || type == "HASH" || type == "RTREE") {
        if (index) index->MySQLIndexOptions.IndexType = type;
      } else {
        Error("Must be: BTREE/HASH");
      }
      if (IsNameToken()) NextToken();
    } else if (IsWord("COMMENT")) {
      NextToken();
      if (Expect(tk::String)) {
        if (index) index->SetDescription(TokenText());
        NextToken();
      }
    } else if (IsWord("KEY_BLOCK_SIZE")) {
      NextToken();
      if (TokenKind() == tk::Equal) NextToken();
      if (!AtStatementEnd()) NextToken();
    } else if (IsWord("WITH")) {
      NextToken();
      ExpectWord("PARSER");
      NextToken();
      if (IsNameToken()) NextToken();
    } else if (IsWord("VISIBLE") || IsWord("INVISIBLE") || IsWord("IGNORED")) {
      NextToken();
    } else if (TokenKind() == myk::Not) {
      NextToken();
      ExpectWord("IGNORED");
      NextToken();
    } else if (IsWord("CLUSTERING")) {
      NextToken();
      if (TokenKind() == tk::Equal) NextToken();
      if (!AtStatementEnd()) NextToken();
    } else {
      return;
    }
    if (TokenStart() == before) return;
  }
}

void TMySQLParser::ParsePrimaryKey(TTblData& table, const std::string& name) {
  NextToken();
  if (!Expect(myk::Key)) return;
  NextToken();
  auto pk = NewConstraint(Objs(), table, ct::PrimaryKey, name);
  // PRIMARY KEY USING BTREE (a) and (a) USING BTREE: read, the model
  // keeps no index type for a key.
  ParseIndexOptions(nullptr);
  ParseKeyColumns(pk->Columns, false);
  ParseIndexOptions(nullptr);
  LogObject("Primary Key: ", *pk);
  HandOn(std::move(pk));
}

void TMySQLParser::ParseUniqueKey(TTblData& table, const std::string& name) {
  NextToken();
  if (TokenKind() == myk::Key || TokenKind() == myk::Index) {
    NextToken();
    ParseCreateIndex(&table, /*unique=*/true, false, false);
    return;
  }
  auto uq = NewConstraint(Objs(), table, ct::Unique, name);
  if (IsNameToken() && !IsWord("USING")) {
    std::string indexName;
    ReadName(indexName);
    uq->IndexName = indexName;
  }
  ParseIndexOptions(nullptr);
  ParseKeyColumns(uq->Columns, false);
  ParseIndexOptions(nullptr);
  LogObject("Unique: ", *uq);
  HandOn(std::move(uq));
}

void TMySQLParser::ParseIndexKey(TTblData& table) { ParseCreateIndex(&table, false, false, false); }

void TMySQLParser::ParseCreateIndex(TTblData* table, bool unique, bool fullText, bool spatial) {
  if (TokenKind() == myk::Key || TokenKind() == myk::Index) NextToken();
  if (!table) SkipIfExists(/*withNot=*/true);
  auto idx = std::make_unique<TIdxData>(Objs());
  idx->Unique = unique;
  idx->FullText = fullText;
  idx->Spatial = spatial;
  std::string name;
  if (IsNameToken() && TokenKind() != myk::On && !IsWord("USING")) ReadName(name);
  ParseIndexOptions(idx.get());
  if (table) {
    idx->TableName = table->GetName();
  } else {
    if (!Expect(myk::On)) return;
    NextToken();
    std::string tableName;
    if (!ReadName(tableName)) return;
    if (TObjs* objs = Objs())
      if (TTblData* t = objs->FindTable(tableName)) tableName = t->GetName();
    idx->TableName = tableName;
  }
  ParseIndexOptions(idx.get());
  ParseKeyColumns(idx->Columns, true);
  ParseIndexOptions(idx.get());
  // An unnamed index is named after its first column, as the server does.
  if (name.empty() && idx->Columns.Count() > 0) name = idx->Columns.Name(0);
  idx->SetName(name);
  LogObject("Index: ", *idx);
  HandOn(std::move(idx));
}

void TMySQLParser::ParseForeignKey(TTblData& table, const std::string& name) {
  NextToken();
  if (!Expect(myk::Key)) return;
  NextToken();
  auto fk = NewConstraint(Objs(), table, ct::ForeignKey, name);
  if (IsNameToken()) {
    std::string indexName;
    ReadName(indexName);
    fk->IndexName = indexName;
  }
  ParseKeyColumns(fk->Columns, false);
  if (!Expect(myk::References)) return;
  NextToken();
  std::string ref;
  if (!ReadName(ref)) return;
  fk->SetRefTableName(ref);
  // Without columns the referenced table's primary key is meant: filled
  // in after the script, as that table may come later.
  if (TokenKind() == tk::LParen) ParseKeyColumns(fk->RefColumns, false);
  ParseReferentialActions(*fk);
  LogObject("Foreign Key: ", *fk);
  HandOn(std::move(fk));
}

void TMySQLParser::ParseReferentialActions(TCtrData& fk) {
  if (IsWord("MATCH")) {
    NextToken();
    if (IsWord("FULL")) fk.MatchType = 1;
    else if (IsWord("PARTIAL")) fk.MatchType = 2;
    if (IsNameToken()) NextToken();
  }
  while (TokenKind() == myk::On) {
    NextToken();
    std::uint8_t* rule = nullptr;
    if (TokenKind() == myk::Update) rule = &fk.UpdateRule;
    else if (TokenKind() == myk::Delete) rule = &fk.DeleteRule;
    else {
      Error("Missing: UPDATE/DELETE");
      return;
    }
    NextToken();
    if (TokenKind() == myk::Restrict) {
      *rule = 1;
    } else if (TokenKind() == myk::Cascade) {
      *rule = 2;
    } else if (TokenKind() == myk::Set) {
      NextToken();
      if (TokenKind() == myk::Default) *rule = 3;
      else if (TokenKind() == myk::Null) *rule = 4;
      else {
        Error("Missing: DEFAULT/NULL");
        return;
      }
    } else if (IsWord("NO")) {
      NextToken();
      if (!ExpectWord("ACTION")) return;
    } else {
      Error("Unknown action into UPDATE/DELETE rule.");
      return;
    }
    NextToken();
  }
}

void TMySQLParser::ParseReferences(TTblData& table) {
  NextToken();
  auto ref = NewConstraint(Objs(), table, ct::References, {});
  std::string refTable;
  if (!ReadName(refTable)) return;
  ref->SetRefTableName(refTable);
  if (TokenKind() == tk::LParen) ParseKeyColumns(ref->RefColumns, false);
  LogObject("References: ", *ref);
  HandOn(std::move(ref));
}

void TMySQLParser::ParseCheck(TTblData& table, const std::string& name, const std::string& column) {
  if (!NextCharIs('(')) {
    NextToken();
    Expect(tk::LParen);
    return;
  }
  auto check = NewConstraint(Objs(), table, ct::Check, name);
  if (!column.empty()) check->Columns.Add(column, nullptr);
  check->SetText(ReadParenthesised());
  LogObject("Check: ", *check);
  HandOn(std::move(check));
}

// ------------------------------------------------------------ table options

std::string TMySQLParser::ReadOptionValue() {
  if (TokenKind() == tk::Equal) NextToken();
  std::string v;
  if (TokenKind() == tk::String || TokenKind() == tk::Integer || TokenKind() == tk::Float)
    v = TokenText();
  else if (IsNameToken())
    v = TokenKind() == tk::Ident && QuoteChar() == '`' ? IdentText() : RawTokenText();
  else return v;
  NextToken();
  return v;
}

void TMySQLParser::ParseTableOptions(TTblData& table) {
  TMySQLTableOptions& o = table.MySQLOptions;
  auto toInt = [](const std::string& v) {
    std::int32_t n = 0;
    return StrToIntOk(v, n) ? n : 0;
  };
  for (;;) {
    const std::size_t before = TokenStart();
    const TTokenKind k = TokenKind();
    const std::string word = k == tk::Ident ? UpperAscii(IdentText()) : std::string();
    if (k == tk::Comma || k == myk::Default) {
      NextToken();
    } else if (word == "ENGINE" || word == "TYPE") {
      NextToken();
      o.Engine = ReadOptionValue();
      if (UpperAscii(o.Engine) == "HEAP") o.Engine = "MEMORY";
    } else if (k == myk::Char || word == "CHARSET") {
      NextToken();
      if (k == myk::Char) {
        if (!Expect(myk::Set)) return;
        NextToken();
      }
      o.SetDefaultCharset(ReadOptionValue());
    } else if (k == myk::Collate) {
      NextToken();
      o.DefaultCollate = ReadOptionValue();
    } else if (word == "COMMENT") {
      NextToken();
      table.SetDescription(ReadOptionValue());
    } else if (word == "AUTO_INCREMENT") {
      NextToken();
      o.AutoIncrement = ReadOptionValue();
    } else if (word == "IGNORE") {
      // CREATE TABLE ... IGNORE SELECT
      return;
    } else if (word == "PACK_KEYS") {
      NextToken();
      o.PackKeys = ReadOptionValue();
    } else if (word == "ROW_FORMAT") {
      NextToken();
      o.RowFormat = ReadOptionValue();
    } else if (word == "AVG_ROW_LENGTH") {
      NextToken();
      o.AvgRowLength = toInt(ReadOptionValue());
    } else if (word == "CHECKSUM") {
      NextToken();
      o.Checksum = toInt(ReadOptionValue());
    } else if (word == "DELAY_KEY_WRITE") {
      NextToken();
      o.DelayKeyWrite = toInt(ReadOptionValue());
    } else if (word == "KEY_BLOCK_SIZE") {
      NextToken();
      o.KeyBlockSize = toInt(ReadOptionValue());
    } else if (word == "MAX_ROWS") {
      NextToken();
      o.MaxRows = toInt(ReadOptionValue());
    } else if (word == "MIN_ROWS") {
      NextToken();
      o.MinRows = toInt(ReadOptionValue());
    } else if (word == "CONNECTION") {
      NextToken();
      o.Connection = ReadOptionValue();
    } else if (word == "PASSWORD") {
      NextToken();
      o.Password = ReadOptionValue();
    } else if (word == "INSERT_METHOD") {
      NextToken();
      o.InsertMethod = ReadOptionValue();
    } else if ((word == "DATA" || k == myk::Index)) {
      NextToken();
      if (!ExpectWord("DIRECTORY")) return;
      NextToken();
      (word == "DATA" ? o.DataDirectory : o.IndexDirectory) = ReadOptionValue();
    } else if (word == "PARTITION" || word == "WITH") {
      // Partitions and system versioning end the table's text: kept as
      // written, for the table to be made again as it stands.
      o.Clauses = ReadRawBody();
      return;
    } else if (word == "UNION") {
      // A merge table's union: not in the model.
      const std::size_t start = TokenStart();
      const std::int32_t line = tokenLine_, column = tokenColumn_;
      SkipTo(KindSet({tk::Terminator}));
      std::string text = ReplaceAll(
          NormalizeLineBreaks(TrimCtl(GetText(start, PrevTokenEnd() - start))), "\r\n", " ");
      if (text.size() > 60) text = text.substr(0, 57) + "...";
      Messages().AddMsg("Table " + table.GetName() + ": not kept: " + text, ScriptName, column,
                        line, kMsgNote);
      return;
    } else if (k == tk::Ident && !word.empty()) {
      // Options the model has no place for (STATS_PERSISTENT=0,
      // PAGE_CHECKSUM=1 ...): said, not lost silently.
      const std::string name = RawTokenText();
      const std::int32_t line = tokenLine_, column = tokenColumn_;
      NextToken();
      if (TokenKind() != tk::Equal) {
        Messages().AddMsg("Table " + table.GetName() + ": unknown option " + name + ".", ScriptName,
                          column, line, kMsgNote);
        return;
      }
      const std::string value = ReadOptionValue();
      Messages().AddMsg("Table " + table.GetName() + ": option not kept: " + name + "=" + value,
                        ScriptName, column, line, kMsgNote);
    } else {
      return;
    }
    if (TokenStart() == before) return;
  }
}

// --------------------------------------------------------------- ALTER TABLE

void TMySQLParser::ParseAlterTable() {
  if (IsWord("IGNORE")) NextToken();
  std::string name;
  if (!ReadName(name)) return;
  TObjs* objs = Objs();
  TTblData* table = objs ? objs->FindTable(name) : nullptr;
  std::unique_ptr<TTblData> scratch;
  if (!table) {
    // Keys of a table the collection lacks still name it.
    scratch = std::make_unique<TTblData>(objs);
    scratch->SetName(name);
    table = scratch.get();
  }
  while (!AtStatementEnd()) {
    const std::size_t before = TokenStart();
    const TTokenKind k = TokenKind();
    const std::string word = k == tk::Ident ? UpperAscii(IdentText()) : std::string();
    if (k == tk::Comma) {
      NextToken();
    } else if (k == myk::Add) {
      NextToken();
      if (ParseKeyItem(*table, "ALTER TABLE " + name)) {
        // a key, an index or a check
      } else if (IsWord("COLUMN") || TokenKind() == tk::Ident) {
        if (IsWord("COLUMN")) NextToken();
        std::unique_ptr<TFldData> column = ParseColumnDef(table, false, false);
        if (column && !scratch) {
          const std::string colName = column->GetName();
          table->Fields.Add(colName, std::move(column));
        }
      } else {
        Error("Unknown/Invalid symbol in ALTER: " + CurTokenName());
        SkipItem("ALTER TABLE " + name);
      }
    } else if (word == "MODIFY") {
      NextToken();
      if (IsWord("COLUMN")) NextToken();
      TFldData* existing = IsNameToken() ? table->FindField(IdentText()) : nullptr;
      // MODIFY gives the whole definition anew; the column object stays,
      // so what refers to it keeps its link. An unknown column is read and
      // dropped.
      std::unique_ptr<TFldData> fresh = ParseColumnDef(table, false, false);
      if (existing && fresh) CopyColumnDefinition(*fresh, *existing);
    } else if (word == "AUTO_INCREMENT") {
      NextToken();
      table->MySQLOptions.AutoIncrement = ReadOptionValue();
    } else if (word == "ENGINE" || word == "TYPE" || word == "COMMENT" || word == "CHARSET" ||
               k == myk::Char || k == myk::Default || k == myk::Collate || word == "ROW_FORMAT" ||
               word == "PACK_KEYS") {
      ParseTableOptions(*table);
    } else {
      SkipItem("ALTER TABLE " + name);
    }
    if (TokenStart() == before && !AtStatementEnd()) NextToken();
  }
}

}  // namespace qor
