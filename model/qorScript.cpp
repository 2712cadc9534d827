// Script generation: the whole database script of a collection, kind by
// kind in a fixed order with the header of its dialect, the terminators and
// separators each dialect needs, the owner and description statements after
// each object and, when an output folder is set, one file per object; and
// the script of one table with its constraints, indices and triggers.
#include "model/qorDBStructure.h"

#include "base/qorIBVersions.h"
#include "model/qorComp_Clt.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Evt.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Opr.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "parsers/keywords/qorQuoteIdentifier.h"
#include "platform/qorScopedValue.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <cstdio>
#include <cstring>
#include <utility>

namespace qor {

namespace {

using DB = TDatabaseType;
using SD = TScriptDialect;
using IBV = TIBSQLServerVersionType;
using UD = TUpdateDescriptionType;

// The longest object name that goes into a file name; longer ones are cut,
// and the collision suffix keeps cut names apart.
constexpr std::size_t kMaxFileNamePart = 120;

// The InterBase description mode of one script run. Firebird has COMMENT ON
// from 2.0 on and no DESCRIBE, and from 3.0 on it refuses direct writes to
// its catalog tables.
UD ScriptDescriptionMode(TObjs& objs) {
  const UD mode = objs.IBServerOptions.IBCompareOptions.UpdateDescriptionMode;
  if (objs.GetServerType() != DB::dbInterBase || mode != UD::udSysTables) return mode;
  return IBCaps(objs.IBServerOptions.SQLServerVersion).commentOn ? UD::udComment : UD::udDescribe;
}

// Text for a "--" comment: a line break would end the comment and let the
// rest run as SQL.
std::string LineCommentText(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

// `text` ended by `terminator`, on a line of its own where the text's last
// line is a comment.
std::string Terminated(const std::string& text, const std::string& terminator) {
  const bool ownLine = EndsInLineComment(text) && !StartsWith(terminator, "\r\n");
  return text + (ownLine ? "\r\n" : "") + terminator;
}

// Appends `text` with its terminator. An empty text (a kind the dialect has
// no statement for, a description it cannot store) is left out: a bare
// terminator is an error in some clients ("No query specified").
bool AddStatement(std::vector<std::string>& dest, const std::string& text,
                  const std::string& terminator) {
  if (text.empty()) return false;
  dest.push_back(Terminated(text, terminator));
  return true;
}

bool SameName(std::string_view a, std::string_view b, bool caseSensitive) {
  return caseSensitive ? a == b : SameText(a, b);
}

// Whether an object that names its table by `tableName` in `schema` belongs
// to `table`. A schema missing on either side does not tell them apart.
bool BelongsTo(const TTblData& table, std::string_view tableName, std::string_view schema,
               bool caseSensitive) {
  if (!SameName(tableName, table.GetName(), caseSensitive)) return false;
  return schema.empty() || table.GetParentName().empty() ||
         SameName(schema, table.GetParentName(), caseSensitive);
}

// An MS SQL default constraint in a dialect without them goes with its
// column as the column's DEFAULT. Where it cannot, it is named with why;
// empty when the column carries it.
std::string UnwrittenDefaultNote(TObjs& objs, TCtrData& c) {
  TFldData* column = nullptr;
  if (c.Columns.Count() == 1) {
    std::vector<TDbObj*> tables;
    objs.ObjectsNamed(TDbObject::dboTable, c.GetTableName(), tables);
    for (TDbObj* t : tables)
      if (TFldData* f = static_cast<TTblData*>(t)->FindField(c.Columns.Name(0));
          f && objs.DefaultConstraintOf(*f) == &c)
        column = f;
  }
  const char* why = nullptr;
  if (!column) why = "its column is not in the script";
  else if (!column->DefaultValue.empty()) why = "the column has a default of its own";
  else if (c.ColumnDefaultText().empty()) why = "its expression is MS SQL's own";
  else return {};
  const std::string& name = c.GetName().empty() ? c.SystemName : c.GetName();
  std::string target = c.GetTableName();
  if (c.Columns.Count() > 0) target += "." + c.Columns.Name(0);
  return "-- default not written, " + std::string(why) + ": " +
         LineCommentText(name + " DEFAULT " + c.GetText() + " FOR " + target);
}

bool TriggerOf(TTrgData& trg, const TTblData& table, bool caseSensitive) {
  if (TDbObj* linked = trg.GetTableObj()) return linked == &table;
  return BelongsTo(table, trg.GetTableName(), trg.GetParentName(), caseSensitive);
}

// The file-name part of an object name: letters, digits, "_", "$" and "-"
// stay, every other character (a whole UTF-8 sequence counting as one)
// becomes "_", so no separator or ".." reaches the path.
std::string FileNamePart(std::string_view name) {
  std::string s;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '$' || c == '-';
    if (keep) {
      s += static_cast<char>(c);
    } else {
      s += '_';
      // A whole UTF-8 character becomes one "_".
      if (const std::size_t n = Utf8SequenceLength(name, i); n > 1) i += n - 1;
    }
    if (s.size() >= kMaxFileNamePart) break;
  }
  return s;
}

// The kind word of a per-object file name; empty for the other classes.
const char* FileKindWord(const TDbObj& obj) {
  const char* word = obj.KindWord(TKindWordUse::kwFileName);
  return word ? word : "";
}

// Whether the dialect has no routine text, so the script leaves routines
// out (and says so).
bool WritesNoRoutines(DB st) {
  const SD d = ScriptDialect(st);
  return d == SD::sdDB2 || d == SD::sdGeneric;
}

// DB2's command-line client ends a statement at ";" unless the script sets
// another terminator: a body holding ";" would be cut there.
const char* const kDB2BlockTerminator = "--#SET TERMINATOR @";
const char* const kDB2PlainTerminator = "--#SET TERMINATOR ;";

// A MySQL routine runs to the DELIMITER it announces: one its body holds
// would end it early on replay.
std::string RoutineDelimiter(const std::string& body) {
  std::string d = "//";
  if (body.find(d) == std::string::npos) return d;
  for (d = "$$"; body.find(d) != std::string::npos;) d += '$';
  return d;
}

// The SET TERM terminator of a run of InterBase statements: "^", or as
// many "^" more as it takes for none of their texts to hold it (isql would
// end the statement there).
std::string IBTerminatorFor(const std::vector<std::string>& texts) {
  std::string t = "^";
  for (bool held = true; held;) {
    held = std::any_of(texts.begin(), texts.end(),
                       [&t](const std::string& s) { return s.find(t) != std::string::npos; });
    if (held) t += '^';
  }
  return t;
}

// The PostgreSQL statement that hands `obj` to its owner, without the
// terminator; empty for the classes that have none.
std::string PGOwnerStatement(TDbObj& obj) {
  const char* word = obj.KindWord(TKindWordUse::kwPGOwner);
  if (!word) return {};
  return std::string("ALTER ") + word + " " + obj.GetQualifiedName() + obj.GetSignatureText() +
         " OWNER TO " + obj.QuoteName(obj.OwnerQualifier);
}

}  // namespace

// ------------------------------------------------------------- TCustomObjs

// The base has no script of its own; the whole script, kind by kind, is
// TObjs::GenerateScript further down this file.
void TCustomObjs::GenerateScript() {}

void TCustomObjs::GetScript(std::vector<std::string>& dest) {
  ScriptLines.clear();
  GenerateScript();
  // Handed over, not copied: a large schema's script is a million lines.
  if (dest.empty()) dest.swap(ScriptLines);
  else
    dest.insert(dest.end(), std::make_move_iterator(ScriptLines.begin()),
                std::make_move_iterator(ScriptLines.end()));
  ScriptLines.clear();
}

// ------------------------------------------------------------------- files

bool WriteTextFile(const std::string& fileName, std::string_view text, std::string& error) {
  error.clear();
  std::FILE* f = std::fopen(fileName.c_str(), "wb");
  if (!f) {
    error = "Cannot create file \"" + fileName + "\": " + std::strerror(errno);
    return false;
  }
  const bool written = text.empty() || std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const int writeErrno = errno;
  const bool closed = std::fclose(f) == 0;
  if (written && closed) return true;
  error = "Cannot write file \"" + fileName + "\": " + std::strerror(written ? errno : writeErrno);
  return false;
}

std::string TObjs::UniqueFileStem(const std::string& stem) {
  std::string candidate = stem;
  for (int n = 2; !fileStems_.insert(UpperAscii(candidate)).second; ++n)
    candidate = stem + "_" + IntToStr(n);
  return candidate;
}

void TObjs::WriteObjectFiles(TDbObj& obj) {
  if (OutputDirectory.empty()) return;
  const std::string header = obj.GetStubSQL();
  const std::string body = obj.GetCreateSQL();
  if (header.empty() && body.empty()) return;
  const std::string name = obj.GetName().empty() ? obj.GetKeyName() : obj.GetName();
  const std::string stem =
      UniqueFileStem(std::string(FileKindWord(obj)) + "_" + FileNamePart(name));
  auto write = [this, &stem](const char* part, const std::string& text) {
    if (text.empty()) return;
    std::string error;
    if (!WriteTextFile(OutputDirectory + "/" + stem + "_" + part, text, error) && FileErrorHandler)
      FileErrorHandler(error);
  };
  write("header.sql", header);
  write("body.sql", body);
}

// ------------------------------------------------------------ the pieces

void TObjs::WriteMSSQLSetOptions(bool quotedIdentifier, bool ansiNulls) {
  WriteMSSQLSetOptions(quotedIdentifier, ansiNulls, ScriptLines);
}

void TObjs::WriteMSSQLSetOptions(bool quotedIdentifier, bool ansiNulls,
                                 std::vector<std::string>& dest) {
  if (GetServerType() != DB::dbMSSQL) return;
  if (quotedIdentifier != CurQuotedIdentifier) {
    dest.push_back(std::string("SET QUOTED_IDENTIFIER ") + (quotedIdentifier ? "ON" : "OFF") +
                   Terminator + kCrlf);
    CurQuotedIdentifier = quotedIdentifier;
  }
  if (ansiNulls != CurAnsiNulls) {
    dest.push_back(std::string("SET ANSI_NULLS ") + (ansiNulls ? "ON" : "OFF") + Terminator +
                   kCrlf);
    CurAnsiNulls = ansiNulls;
  }
}

void TObjs::WriteOwnerSQL(TDbObj& obj, std::vector<std::string>& dest) {
  if (GetServerType() == DB::dbPostgreSQL && !obj.OwnerQualifier.empty()) {
    const std::string stmt = PGOwnerStatement(obj);
    if (AddStatement(dest, stmt, Terminator)) dest.emplace_back();
  }
  if (!obj.GetDescription().empty() && AddStatement(dest, obj.GetDescriptionSQL(), Terminator))
    dest.emplace_back();
  auto described = [this, &dest](const TFieldList& list) {
    for (const auto& e : list)
      if (e.Value && !e.Value->GetDescription().empty()) WriteOwnerSQL(*e.Value, dest);
  };
  if (auto* tbl = dynamic_cast<TTblData*>(&obj)) {
    described(tbl->Fields);
  } else if (auto* prc = dynamic_cast<TPrcData*>(&obj)) {
    described(prc->InParams);
    described(prc->OutParams);
  }
}

std::string TObjs::IBDatabaseDescriptionSQL(const std::string& description) const {
  const TIBVersionCaps& caps = IBCaps(IBServerOptions.SQLServerVersion);
  const std::string text = QuotedStr(description);
  if (caps.alterDescription) return "ALTER DESCRIPTION FOR DATABASE SET\r\n" + text;
  if (caps.commentOn) return "COMMENT ON DATABASE IS\r\n" + text;
  // Before COMMENT ON the catalog row itself takes it.
  return "UPDATE RDB$DATABASE SET RDB$DESCRIPTION =\r\n" + text;
}

void TObjs::WriteHeader(std::vector<std::string>& dest) {
  const std::string& db = ConnectionOptions.DatabaseName;
  const std::string& user = ConnectionOptions.UserName;
  const std::string& password = ConnectionOptions.Password;
  const bool connect = ScriptOptions.Connect;
  auto statement = [this, &dest](const std::string& text) {
    dest.push_back(text + Terminator + kCrlf);
  };
  auto literal = [this](const std::string& text) {
    return QuoteStringLiteral(text, GetServerType());
  };
  // A database named like a keyword, or with a blank, must still be the one
  // the script goes into.
  auto identifier = [this](const std::string& name) {
    return QuoteIdentifier(name, GetServerType(), IBServerOptions.SQLServerVersion,
                           IBServerOptions.SQLDialect);
  };
  switch (ScriptDialect(GetServerType())) {
    case SD::sdInterBase: {
      const std::string setNames = IBServerOptions.GetSetNamesSQL();
      if (ScriptOptions.DBCharSet && !setNames.empty()) statement(setNames);
      if (ScriptOptions.SQLDialect &&
          (IBServerOptions.SQLDialect == 2 || IBServerOptions.SQLDialect == 3))
        statement("SET SQL DIALECT 3");
      const TIBDatabaseOptions& dbo = IBServerOptions.IBDatabaseOptions;
      if (connect && !db.empty()) {
        std::string s = "CREATE DATABASE " + literal(db);
        if (!user.empty() || !password.empty()) {
          s += kCrlf;
          if (!user.empty()) s += " USER " + literal(user);
          if (!password.empty()) s += " PASSWORD " + literal(password);
        }
        if (dbo.PageSize != 0) s += "\r\nPAGE_SIZE " + IntToStr(dbo.PageSize);
        if (!IBServerOptions.GetDBCharSet().empty())
          s += "  DEFAULT CHARACTER SET " + IBServerOptions.GetDBCharSet();
        statement(s);
      }
      if (dbo.ODSMajorVersion != 0)
        dest.push_back("/* Server Version: " + BlockCommentText(dbo.Version) +
                       ".  ODS Version: " + IntToStr(dbo.ODSMajorVersion) + "." +
                       IntToStr(dbo.ODSMinorVersion) + ". */\r\n");
      // The database's comment belongs to the whole script, not to one
      // table's.
      if (!tableHeader_ && !dbo.Description.empty() &&
          ObjFilter.Contains(TCmpObjType::coDescription))
        statement(IBDatabaseDescriptionSQL(dbo.Description));
      break;
    }
    case SD::sdMSSQL:
      if (connect && !db.empty()) statement("USE " + identifier(db));
      CurQuotedIdentifier = true;
      CurAnsiNulls = true;
      WriteMSSQLSetOptions(false, false, dest);
      break;
    case SD::sdOracle:
      if (connect && !user.empty() && !password.empty())
        statement("-- CONNECT " + LineCommentText(user + "/*****" + "@" + db));
      break;
    case SD::sdMySQL:
      if (connect && !db.empty()) statement("USE " + identifier(db));
      break;
    case SD::sdASE: {
      const TASEDatabaseOptions& o = ASEServerOptions.ASEDatabaseOptions;
      auto comment = [&dest](const std::string& label, const std::string& value) {
        if (!value.empty()) dest.push_back("-- " + label + LineCommentText(value) + kCrlf);
      };
      comment("", o.Text1);
      comment("Database: ", db);
      comment("Size    : ", o.Text3);
      comment("Owner   : ", o.Text4);
      comment("Created : ", o.Text5);
      comment("Options : ", o.Text2);
      if (!o.Text1.empty()) dest.emplace_back();
      // A script of one table goes into the database; it must never drop
      // and create the database the rest of the objects live in.
      if (connect && !db.empty() && tableHeader_) {
        statement("use " + identifier(db));
      } else if (connect && !db.empty()) {
        statement("use " + identifier(db));
        statement("use master");
        statement("if exists( select 1 from master.dbo.sysdatabases where name = " + literal(db) +
                  ")\r\n  drop database " + identifier(db));
        statement("create database " + identifier(db));
        statement("use " + identifier(db));
        if (!o.DBOptions.Empty()) {
          for (int i = 0; i < static_cast<int>(kASEDBOptionCount); ++i)
            if (o.DBOptions.Contains(static_cast<TASEDBOption>(i)))
              statement("exec master.dbo.sp_dboption " + literal(db) + ", " +
                        literal(TASEDatabaseOptions::GetOptionName(i)) + ", True");
          statement("checkpoint");
        }
      }
      break;
    }
    case SD::sdPostgreSQL:
      if (!db.empty()) dest.push_back("/* Database: " + BlockCommentText(db) + " */");
      break;
    case SD::sdGeneric:
    case SD::sdASA:
    case SD::sdDB2: break;
  }
}

// ---------------------------------------------------------------- sections

namespace {

// The objects of `roots` in their order, except that an object is written
// after the objects among them that it uses: a view over a view, a
// procedure calling a procedure, a view over a selectable procedure or a
// procedure over a view, which would otherwise be created before what it
// names and the script would not run. Edges to a column or a parameter
// count as edges to its holder. A cycle is broken in the order of `roots`.
std::vector<TDbObj*> DependencyOrder(const std::vector<TDbObj*>& roots) {
  // Objects outside `roots` keep mark zero and are passed over.
  enum : std::uint8_t { kOutside, kWaiting, kOnPath, kPlaced };
  std::vector<TDbObj*> out;
  out.reserve(roots.size());
  for (TDbObj* o : roots) o->OrderMark = kWaiting;
  // The marks go back to zero however the walk ends.
  struct TClearMarks {
    const std::vector<TDbObj*>& roots;
    ~TClearMarks() {
      for (TDbObj* o : roots) o->OrderMark = kOutside;
    }
  } clearMarks{roots};
  // A depth-first walk on a stack of its own: a chain of views is as long
  // as the database makes it. Each frame is an object and its next edge.
  std::vector<std::pair<TDbObj*, int>> path;
  auto place = [&](TDbObj* root) {
    root->OrderMark = kOnPath;
    path.emplace_back(root, 0);
    while (!path.empty()) {
      TDbObj* obj = path.back().first;
      const TDependList& edges = obj->DependsOn();
      TDbObj* next = nullptr;
      for (int& i = path.back().second; !next && i < edges.Count(); ++i) {
        const TDependObj* edge = edges.Object(i);
        TDbObj* used = edge ? edge->Target : nullptr;
        if (!used) continue;
        // Only columns and parameters say dboField (cheaper than a dynamic
        // cast per edge).
        if (used->GetKind() == TDbObject::dboField)
          if (TDbObj* holder = static_cast<TFldData*>(used)->OwnerObj) used = holder;
        if (used->OrderMark == kWaiting) next = used;
      }
      if (next) {
        next->OrderMark = kOnPath;
        path.emplace_back(next, 0);
        continue;
      }
      obj->OrderMark = kPlaced;
      out.push_back(obj);
      path.pop_back();
    }
  };
  for (TDbObj* o : roots)
    if (o->OrderMark == kWaiting) place(o);
  return out;
}

template <class List>
void AppendObjects(List& list, std::vector<TDbObj*>& to) {
  for (auto& e : list)
    if (e.Value) to.push_back(e.Value.get());
}

// The objects of one list in key order, each after what it uses.
template <class List>
std::vector<TDbObj*> InDependencyOrder(List& list) {
  std::vector<TDbObj*> roots;
  roots.reserve(static_cast<std::size_t>(list.Count()));
  AppendObjects(list, roots);
  return DependencyOrder(roots);
}

// The source catalog's creation order; objects of no known order keep
// theirs (key order) before the others.
bool CreatedBefore(const TDbObj* a, const TDbObj* b) { return a->CatalogOrder < b->CatalogOrder; }

}  // namespace

template <class List, class TextFn>
void TObjs::WriteSection(List& list, TextFn text, bool msSettings, bool blankAfter) {
  WriteObjects(InDependencyOrder(list), text, msSettings, blankAfter);
}

template <class TextFn>
void TObjs::WriteObjects(const std::vector<TDbObj*>& objects, TextFn text, bool msSettings,
                         bool blankAfter) {
  for (TDbObj* o : objects) {
    auto& obj = *o;
    WriteObjectFiles(obj);
    if (msSettings) WriteMSSQLSetOptions(obj.QuotedIdentifier, obj.AnsiNulls);
    // What follows an object that is not written would name nothing.
    if (!AddStatement(ScriptLines, text(obj), Terminator)) continue;
    if (blankAfter) ScriptLines.emplace_back();
    WriteOwnerSQL(obj, ScriptLines);
  }
}

namespace {
auto CreateText = [](TDbObj& obj) { return obj.GetCreateSQL(); };
auto ScriptText = [](TDbObj& obj) { return obj.GetScriptSQL(); };
}  // namespace

void TObjs::WriteSchemas() {
  const DB st = GetServerType();
  for (auto& e : Schemas) {
    if (!e.Value) continue;
    TSchData& sch = *e.Value;
    // The schemas every database has are not created again.
    const bool builtIn = (st == DB::dbPostgreSQL && sch.GetName() == "public") ||
                         (st == DB::dbMSSQL && sch.GetName() == sch.SystemName);
    if (!builtIn) {
      WriteObjectFiles(sch);
      if (AddStatement(ScriptLines, sch.GetCreateSQL(), Terminator)) ScriptLines.emplace_back();
    }
    WriteOwnerSQL(sch, ScriptLines);
  }
}

void TObjs::WriteUdfs() {
  WriteSection(Udfs, CreateText, /*msSettings=*/false, /*blankAfter=*/true);
}

void TObjs::WriteCollations() {
  WriteSection(Collations, ScriptText, /*msSettings=*/true, /*blankAfter=*/false);
}

void TObjs::WriteDomains() {
  // An Oracle type is a PL/SQL unit: it runs on a "/" line, as a routine.
  if (GetServerType() == DB::dbOracle) {
    WriteBlockSection(Domains);
    return;
  }
  WriteSection(Domains, CreateText, /*msSettings=*/true, /*blankAfter=*/true);
}

void TObjs::MarkInlineKeys(TTblData& table, std::set<const TDbObj*>& marks) {
  // The same selection as the MySQL table text.
  std::vector<TCtrData*> keys;
  std::vector<TIdxData*> indices;
  InlineKeysOf(table.GetName(), keys, indices);
  marks.insert(keys.begin(), keys.end());
  marks.insert(indices.begin(), indices.end());
}

void TObjs::WriteTables() {
  const bool mySQL = GetServerType() == DB::dbMySQL;
  for (auto& e : Tables) {
    if (!e.Value) continue;
    TTblData& tbl = *e.Value;
    WriteObjectFiles(tbl);
    WriteMSSQLSetOptions(tbl.QuotedIdentifier, tbl.AnsiNulls);
    if (!AddStatement(ScriptLines, tbl.GetCreateSQL(), Terminator)) continue;
    if (mySQL) MarkInlineKeys(tbl, inlineKeys_);
    ScriptLines.emplace_back();
    WriteOwnerSQL(tbl, ScriptLines);
  }
}

std::vector<TIdxData*> TObjs::WriteIndexes() {
  // An index names its table or view by schema and name: one that a view
  // has and no table is the view's (MS SQL, any case of the name).
  auto key = [](const TDbObj& o, const std::string& name) {
    return UpperLocale(o.GetParentName()) + "." + UpperLocale(name);
  };
  std::unordered_set<std::string> viewOnly;
  for (auto& e : Views)
    if (e.Value) viewOnly.insert(key(*e.Value, e.Value->GetName()));
  if (!viewOnly.empty())
    for (auto& e : Tables)
      if (e.Value) viewOnly.erase(key(*e.Value, e.Value->GetName()));
  std::vector<TIdxData*> onViews;
  // In dependency order: an MS SQL secondary xml index needs its primary.
  for (TDbObj* o : InDependencyOrder(Indices)) {
    auto* idx = dynamic_cast<TIdxData*>(o);
    if (!idx || inlineKeys_.count(idx)) continue;
    if (!viewOnly.empty() && viewOnly.count(key(*idx, idx->TableName)) != 0) onViews.push_back(idx);
    else WriteIndex(*idx);
  }
  return onViews;
}

void TObjs::WriteViewIndexes(const std::vector<TIdxData*>& indexes) {
  for (TIdxData* idx : indexes) WriteIndex(*idx);
}

void TObjs::WriteIndex(TIdxData& idx) {
  WriteObjectFiles(idx);
  WriteMSSQLSetOptions(idx.QuotedIdentifier, idx.AnsiNulls);
  if (AddStatement(ScriptLines, idx.GetCreateSQL(), Terminator)) WriteOwnerSQL(idx, ScriptLines);
}

void TObjs::WritePackages() {
  if (GetServerType() == DB::dbInterBase) {
    WriteIBPackages(/*bodies=*/false);
    return;
  }
  if (GetServerType() != DB::dbOracle) {
    WritePackageNotes("this dialect has no packages");
    return;
  }
  for (auto& e : Packages) {
    if (!e.Value) continue;
    TPkgData& pkg = *e.Value;
    WriteObjectFiles(pkg);
    ScriptLines.push_back(pkg.GetHeaderSQL() + "\r\n/");
    ScriptLines.emplace_back();
    // Without a body a "/" line would only run the header again.
    const std::string body = pkg.GetBodySQL();
    if (!body.empty()) {
      ScriptLines.push_back(body + "\r\n/");
      ScriptLines.emplace_back();
    }
    WriteOwnerSQL(pkg, ScriptLines);
  }
}

// A package the script cannot hold is named where it would stand, so that
// the loss is not silent.
void TObjs::WritePackageNotes(const char* why) {
  for (auto& e : Packages)
    if (e.Value)
      ScriptLines.push_back("-- package " + LineCommentText(e.Value->GetName()) +
                            ": not written, " + why);
}

// Firebird: the headers before the stored routines, which may call what
// they declare; the bodies after them, as they may call the routines.
void TObjs::WriteIBPackages(bool bodies) {
  if (Packages.Empty()) return;
  // Packages exist from Firebird 3 on; older servers would refuse them, so
  // each is named where its header would stand.
  if (!IBCaps(IBServerOptions.SQLServerVersion).packageHeaderAs) {
    if (!bodies) WritePackageNotes("this server version has no packages");
    return;
  }
  std::vector<TPkgData*> packages;
  std::vector<std::string> texts;
  for (auto& e : Packages) {
    if (!e.Value) continue;
    packages.push_back(e.Value.get());
    texts.push_back(bodies ? e.Value->GetBodySQL() : e.Value->GetHeaderSQL());
  }
  TScopedValue<std::string> keep(Terminator);
  const std::string term = IBTerminatorFor(texts);
  ScriptLines.push_back("SET TERM " + term + " ;\r\n");
  Terminator = "\r\n" + term;
  for (std::size_t i = 0; i < packages.size(); ++i) {
    TPkgData& pkg = *packages[i];
    if (texts[i].empty()) continue;
    if (!bodies) WriteObjectFiles(pkg);
    ScriptLines.push_back(texts[i] + Terminator);
    ScriptLines.emplace_back();
    if (!bodies) WriteOwnerSQL(pkg, ScriptLines);
  }
  ScriptLines.push_back("SET TERM ; " + term + kCrlf);
}

void TObjs::WriteConstraints() {
  // One pass sorts them by type, each type in list order: a pass per type
  // would read every constraint of a large schema five times.
  constexpr std::uint8_t kOrder[] = {ct::Default, ct::PrimaryKey, ct::Unique, ct::ForeignKey,
                                     ct::Check};
  std::vector<TCtrData*> byType[std::size(kOrder)];
  for (auto& e : Constraints) {
    TCtrData* c = e.Value.get();
    if (!c) continue;
    const auto at = std::find(std::begin(kOrder), std::end(kOrder), c->GetConstraintType());
    if (at != std::end(kOrder)) byType[at - std::begin(kOrder)].push_back(c);
  }
  // The engine numbers unnamed checks as they come: in the source's order,
  // a replay numbers and lists them as the source does.
  static_assert(kOrder[std::size(kOrder) - 1] == ct::Check);
  std::vector<TCtrData*>& checks = byType[std::size(kOrder) - 1];
  std::stable_sort(checks.begin(), checks.end(), CreatedBefore);
  // Default constraints are statements of their own in MS SQL only;
  // elsewhere those their columns do not carry are named in a note.
  std::size_t first = 0;
  if (GetServerType() != DB::dbMSSQL) {
    for (TCtrData* c : byType[0])
      if (std::string note = UnwrittenDefaultNote(*this, *c); !note.empty())
        ScriptLines.push_back(std::move(note));
    first = 1;
  }
  for (std::size_t t = first; t < std::size(kOrder); ++t)
    for (TCtrData* c : byType[t]) {
      if (inlineKeys_.count(c)) continue;
      WriteObjectFiles(*c);
      if (!c->GetName().empty())
        ScriptLines.push_back("/* " + BlockCommentText(c->GetName()) + " */");
      if (!c->SystemName.empty())
        ScriptLines.push_back("/* " + BlockCommentText(c->SystemName) + " */");
      WriteMSSQLSetOptions(c->QuotedIdentifier, c->AnsiNulls);
      if (AddStatement(ScriptLines, c->GetCreateSQL(), Terminator)) ScriptLines.emplace_back();
    }
}

void TObjs::WriteExceptions() {
  WriteSection(Exceptions, CreateText, /*msSettings=*/true, /*blankAfter=*/true);
}

void TObjs::WriteGenerators() {
  WriteSection(Generators, CreateText, /*msSettings=*/true, /*blankAfter=*/false);
}

void TObjs::WriteViewsAndRoutines(const std::vector<TIdxData*>& viewIndexes) {
  // One walk over both kinds: a view may read a selectable procedure or
  // call a function, and a routine may read a view. Views go first, in the
  // order the source created them (which the engine numbers and lists
  // them by); a routine comes forward only for a view that needs it.
  std::vector<TDbObj*> roots;
  roots.reserve(static_cast<std::size_t>(Views.Count() + Procedures.Count()));
  AppendObjects(Views, roots);
  std::stable_sort(roots.begin(), roots.end(), CreatedBefore);
  AppendObjects(Procedures, roots);
  const std::vector<TDbObj*> order = DependencyOrder(roots);
  auto isView = [](const TDbObj* o) { return o->GetKind() == TDbObject::dboView; };
  // The indices on views go after the last view (before the routines when
  // there is none).
  const auto lastView = std::find_if(order.rbegin(), order.rend(), isView).base();
  if (lastView == order.begin()) WriteViewIndexes(viewIndexes);
  // Each run of one kind under its own separators.
  for (auto run = order.begin(); run != order.end();) {
    const bool views = isView(*run);
    const auto end =
        std::find_if(run, order.end(), [&](const TDbObj* o) { return isView(o) != views; });
    const std::vector<TDbObj*> part(run, end);
    if (views) WriteObjects(part, CreateText, /*msSettings=*/true, /*blankAfter=*/true);
    else WriteBlockObjects(part);
    if (end == lastView) WriteViewIndexes(viewIndexes);
    run = end;
  }
}

template <class List>
void TObjs::WriteBlockSection(List& list) {
  WriteBlockObjects(InDependencyOrder(list));
}

void TObjs::WriteBlockObjects(const std::vector<TDbObj*>& objects) {
  const DB st = GetServerType();
  const bool setTerm = st == DB::dbInterBase && !objects.empty();
  std::vector<std::string> texts;
  texts.reserve(objects.size());
  for (TDbObj* o : objects) texts.push_back(o->GetCreateSQL());
  TScopedValue<std::string> keep(Terminator);
  const std::string term = setTerm ? IBTerminatorFor(texts) : std::string();
  if (setTerm) {
    ScriptLines.push_back("SET TERM " + term + " ;\r\n");
    Terminator = "\r\n" + term;
  }
  if (st == DB::dbOracle) Terminator = "\r\n/";
  bool db2Block = false;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    auto& obj = *objects[i];
    WriteObjectFiles(obj);
    WriteMSSQLSetOptions(obj.QuotedIdentifier, obj.AnsiNulls);
    const std::string& text = texts[i];
    if (text.empty()) {
      // Nothing to write (see AddStatement); a routine left out is named,
      // so that the loss is not silent.
      if (auto* prc = dynamic_cast<TPrcData*>(&obj); prc && WritesNoRoutines(st))
        ScriptLines.push_back(std::string("-- ") + (prc->IsFunction ? "function " : "procedure ") +
                              LineCommentText(prc->GetQualifiedName()) +
                              ": not written, this dialect has no routine text");
      if (auto* trg = dynamic_cast<TTrgData*>(&obj); trg && trg->IsIBDDLTrigger())
        ScriptLines.push_back("-- trigger " + LineCommentText(trg->GetName()) +
                              (IBDDLEventText(trg->TriggerType).empty()
                                   ? ": not written, its type names a DDL event unknown here"
                                   : ": not written, this dialect has no DDL trigger"));
      else if (trg && trg->IsIBDatabaseTrigger())
        ScriptLines.push_back("-- trigger " + LineCommentText(trg->GetName()) +
                              ": not written, this dialect has no database trigger of its kind");
      if (auto* dmn = dynamic_cast<TDmnData*>(&obj))
        ScriptLines.push_back("-- domain " + LineCommentText(dmn->GetName()) +
                              ": not written, this dialect has no domains");
      continue;
    }
    if (st == DB::dbDB2 && !std::exchange(db2Block, true)) {
      ScriptLines.emplace_back(kDB2BlockTerminator);
      Terminator = "\r\n@";
    }
    if (st == DB::dbMySQL) {
      // The body holds ";", so the statement ends with the delimiter it
      // announces.
      const std::string delimiter = RoutineDelimiter(text);
      ScriptLines.push_back("DELIMITER " + delimiter);
      ScriptLines.push_back(text + "\r\n" + delimiter);
      ScriptLines.emplace_back("DELIMITER ;");
    } else {
      ScriptLines.push_back(Terminated(text, Terminator));
    }
    ScriptLines.emplace_back();
    WriteOwnerSQL(obj, ScriptLines);
  }
  if (setTerm) ScriptLines.push_back("SET TERM ; " + term + kCrlf);
  if (db2Block) ScriptLines.emplace_back(kDB2PlainTerminator);
}

void TObjs::WriteTriggers() { WriteBlockSection(Triggers); }

void TObjs::WriteEvents() {
  WriteSection(Events, ScriptText, /*msSettings=*/true, /*blankAfter=*/false);
}

void TObjs::WriteRoles() {
  WriteSection(Roles, ScriptText, /*msSettings=*/true, /*blankAfter=*/false);
}

void TObjs::WriteGrants() {
  // A grant on a routine the script leaves out would name nothing: it is
  // kept as a comment.
  const bool noRoutines = WritesNoRoutines(GetServerType());
  const bool denies = GetServerType() == DB::dbMSSQL;
  // So is a grant to a trigger the script leaves out (a DDL trigger
  // outside Firebird).
  auto triggerLeftOut = [this](const TGntData& g) {
    if (g.GranteeKind != TDbObject::dboTrigger) return false;
    TTrgData* t = FindTrigger(g.Grantee);
    return t && t->GetCreateSQL().empty();
  };
  // And a grant on or to a package the script leaves out.
  const bool noPackages = GetServerType() == DB::dbInterBase
                              ? !IBCaps(IBServerOptions.SQLServerVersion).packageHeaderAs
                              : GetServerType() != DB::dbOracle;
  auto text = [noRoutines, noPackages, denies, &triggerLeftOut](TDbObj& obj) {
    std::string s = obj.GetScriptSQL();
    auto* g = dynamic_cast<TGntData*>(&obj);
    if (g && !s.empty() && triggerLeftOut(*g))
      return "-- not written with its trigger: " + LineCommentText(s);
    if (g && !s.empty() && noPackages &&
        (g->ObjectKind == TDbObject::dboPackage || g->GranteeKind == TDbObject::dboPackage))
      return "-- not written with its package: " + LineCommentText(s);
    // A dialect without DENY names what it leaves out.
    if (g && g->Deny && !denies)
      return "-- not written, this dialect has no DENY: DENY " +
             LineCommentText(g->GetPrivilegesText()) + " TO " + LineCommentText(g->Grantee);
    if (!noRoutines || s.empty() || !g ||
        (g->ObjectKind != TDbObject::dboProcedure && g->ObjectKind != TDbObject::dboFunction))
      return s;
    return "-- not written with its routine: " + LineCommentText(s);
  };
  // The denials follow the grants: a GRANT on a whole table written after
  // a DENY on one of its columns would lift it.
  std::vector<TDbObj*> order = InDependencyOrder(Grants);
  std::stable_partition(order.begin(), order.end(), [](TDbObj* o) {
    const auto* g = dynamic_cast<TGntData*>(o);
    return !g || !g->Deny;
  });
  for (TDbObj* o : order) {
    WriteObjectFiles(*o);
    if (AddStatement(ScriptLines, text(*o), Terminator)) WriteOwnerSQL(*o, ScriptLines);
  }
}

// ------------------------------------------------------------ the scripts

void TObjs::GenerateScript() {
  TScopedValue<UD> mode(IBServerOptions.IBCompareOptions.UpdateDescriptionMode,
                        ScriptDescriptionMode(*this));
  // The MS SQL settings of this run start unknown and end forgotten.
  struct TResetSettings {
    TObjs& objs;
    ~TResetSettings() { objs.CurQuotedIdentifier = objs.CurAnsiNulls = false; }
  } resetSettings{*this};
  inlineKeys_.clear();
  fileStems_.clear();
  ScriptLines.clear();
  const DB st = GetServerType();
  // Every MySQL table declares its keys: one pass over the keys and
  // indices serves them all.
  struct TInlineKeysScope {
    TObjs& objs;
    ~TInlineKeysScope() { objs.SetInlineKeysIndexed(false); }
  } inlineKeysScope{*this};
  SetInlineKeysIndexed(st == DB::dbMySQL);
  const bool batches = st == DB::dbSybaseASA || st == DB::dbMSSQL || st == DB::dbSybaseASE;
  Terminator = batches ? "\r\ngo" : ";";
  auto blank = [this] { ScriptLines.emplace_back(); };

  WriteHeader(ScriptLines);
  blank();
  WriteSchemas();
  blank();
  WriteUdfs();
  blank();
  WriteCollations();
  blank();
  WriteDomains();
  WriteTables();
  const std::vector<TIdxData*> viewIndexes = WriteIndexes();
  WritePackages();
  WriteConstraints();
  WriteExceptions();
  blank();
  WriteGenerators();
  blank();
  WriteViewsAndRoutines(viewIndexes);
  if (st == DB::dbInterBase) WriteIBPackages(/*bodies=*/true);
  WriteTriggers();
  blank();
  WriteEvents();
  WriteRoles();
  blank();
  WriteGrants();
  blank();
  inlineKeys_.clear();
}

void TObjs::GenerateTableScript(std::vector<std::string>& dest, std::string_view tableName,
                                bool withHeader, TCmpObjSetType filter) {
  TScopedValue<UD> mode(IBServerOptions.IBCompareOptions.UpdateDescriptionMode,
                        ScriptDescriptionMode(*this));
  TTblData* table = FindTable(tableName);
  if (!table) table = FindTable(UpperLocale(tableName));
  if (!table) {
    dest.push_back("/* Table \"" + BlockCommentText(tableName) + "\" not found */");
    return;
  }
  const DB st = GetServerType();
  const std::string term = GetStatementTerminator(st);
  const bool descriptions = filter.Contains(TCmpObjType::coDescription);
  const bool cs = Tables.CaseSensitive();

  if (withHeader) {
    TScopedValue<bool> keep(tableHeader_, true);
    WriteHeader(dest);
  }
  std::set<const TDbObj*> inlineKeys;
  if (AddStatement(dest, table->GetCreateSQL(), term)) {
    if (st == DB::dbMySQL) MarkInlineKeys(*table, inlineKeys);
    if (descriptions) WriteOwnerSQL(*table, dest);
  }

  struct TPass {
    TCmpObjType kind;
    std::uint8_t type;
  };
  // MS SQL keeps a column default as a constraint of its own, read with the
  // checks: left out, the table would come back without its defaults.
  static constexpr TPass kPasses[] = {{TCmpObjType::coCheck, ct::Default},
                                      {TCmpObjType::coPrimaryKey, ct::PrimaryKey},
                                      {TCmpObjType::coUnique, ct::Unique},
                                      {TCmpObjType::coForeignKey, ct::ForeignKey},
                                      {TCmpObjType::coCheck, ct::Check}};
  for (const TPass& pass : kPasses) {
    if (!filter.Contains(pass.kind)) continue;
    const bool note = pass.type == ct::Default && st != DB::dbMSSQL;
    bool first = true;
    for (auto& e : Constraints) {
      TCtrData* c = e.Value.get();
      if (!c || c->GetConstraintType() != pass.type || inlineKeys.count(c) ||
          !BelongsTo(*table, c->GetTableName(), c->GetParentName(), cs))
        continue;
      if (note) {
        if (std::string line = UnwrittenDefaultNote(*this, *c); !line.empty())
          dest.push_back(std::move(line));
        continue;
      }
      const std::string text = c->GetCreateSQL();
      if (text.empty()) continue;
      if (std::exchange(first, false)) dest.emplace_back();
      AddStatement(dest, text, term);
    }
  }
  if (filter.Contains(TCmpObjType::coIndex)) {
    bool first = true;
    for (auto& e : Indices) {
      TIdxData* idx = e.Value.get();
      if (!idx || inlineKeys.count(idx) ||
          !BelongsTo(*table, idx->TableName, idx->GetParentName(), cs))
        continue;
      const std::string text = idx->GetCreateSQL();
      if (text.empty()) continue;
      if (std::exchange(first, false)) dest.emplace_back();
      AddStatement(dest, text, term);
      if (descriptions) WriteOwnerSQL(*idx, dest);
    }
  }
  if (filter.Contains(TCmpObjType::coTrigger)) {
    for (auto& e : Triggers) {
      TTrgData* trg = e.Value.get();
      if (!trg || !TriggerOf(*trg, *table, cs)) continue;
      const std::string text = trg->GetCreateSQL();
      if (text.empty()) continue;
      if (st == DB::dbInterBase) {
        const std::string term = IBTerminatorFor({text});
        dest.emplace_back();
        dest.push_back("SET TERM " + term + " ;");
        dest.emplace_back();
        dest.push_back(text);
        dest.push_back(term);
        dest.emplace_back();
        dest.push_back("SET TERM ; " + term);
      } else if (st == DB::dbMySQL) {
        // As in the whole script: the body holds ";", which would end the
        // statement for the client.
        dest.emplace_back();
        const std::string delimiter = RoutineDelimiter(text);
        dest.push_back("DELIMITER " + delimiter);
        dest.push_back(text + "\r\n" + delimiter);
        dest.emplace_back("DELIMITER ;");
      } else if (st == DB::dbOracle) {
        // A PL/SQL block ends with its own ";" and runs on a "/" line.
        dest.emplace_back();
        dest.push_back(text + "\r\n/");
      } else if (st == DB::dbDB2) {
        dest.emplace_back();
        dest.emplace_back(kDB2BlockTerminator);
        dest.push_back(text + "\r\n@");
        dest.emplace_back(kDB2PlainTerminator);
      } else {
        dest.emplace_back();
        dest.push_back(Terminated(text, term));
      }
      if (descriptions) WriteOwnerSQL(*trg, dest);
    }
  }
}

}  // namespace qor
