// A readable, deterministic text of a schema collection for tests: every
// object of every kind in key order with its names, types, columns,
// constraints, bodies, descriptions and dependency edges, one fact a line.
// Parser tests compare it with an expected file beside their corpus script,
// so a difference shows as a line diff naming the object and the field.
//
// Only what differs from a fresh object is written, so a new model field
// adds lines only where it is set. Line breaks inside texts are written as
// "\n" in one-line values; bodies are written as indented blocks with their
// CR LF made LF. Nothing depends on addresses or on hash order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor {
class TCustomObjs;
class TDbObj;
class TFldData;
class TMsgManager;
}  // namespace qor

namespace qor::test {

struct TModelDumpOptions {
  bool Dependencies = true;  // "depends" lines (DependsOn edges)
  bool Descriptions = true;  // "description" lines
  bool Bodies = true;        // body, view and computed texts
};

// The whole collection, kind by kind in a fixed order, each kind's objects
// in the order of its list (key order).
std::string DumpModel(TCustomObjs& objs, const TModelDumpOptions& options = {});

// One object and what it owns, with the header line "<kind> <key>".
std::string DumpObject(TDbObj& obj, const TModelDumpOptions& options = {});

// The one-line text of a column, parameter or type holder, without its
// name: type, sizes, nullability, default, check, computed text ...
std::string DumpField(TFldData& field, const TModelDumpOptions& options = {});

// The messages, one a line: "error 12:5 text" / "note 3:1 text".
std::string DumpMessages(const TMsgManager& messages);

// The label a dump uses for an object's kind ("table", "domain" ...).
std::string KindLabel(const TDbObj& obj);

// ---- Corpus files ----
// A corpus is a folder of <topic>.sql scripts, each with its expected text
// in <topic>.dump beside it. Directives sit in the script's leading comment
// lines as "-- qor: key=value key=value".
struct TCorpusCase {
  std::string Name;  // the topic: file name without ".sql"
  std::string ScriptPath;
  std::string ExpectedPath;  // the .dump beside it (may not exist yet)
};

// The cases of a folder, sorted by name; none when the folder is missing.
std::vector<TCorpusCase> CorpusCases(const std::string& folder);

// The whole file; empty when it cannot be read.
std::string ReadTextFile(const std::string& path);

// The value of directive `key` in the script's leading "-- qor:" lines, or
// `fallback`.
std::string CorpusDirective(std::string_view script, std::string_view key,
                            std::string_view fallback = {});

// Empty when `actual` equals the expected file; otherwise a message naming
// the first differing line. With QOR_UPDATE_GOLDEN=1 in the environment the
// file is written with `actual` instead and the result is empty.
std::string CompareWithExpected(const std::string& actual, const std::string& expectedPath);

}  // namespace qor::test
