// The SQL parser base every dialect parser derives from: SQL comments, the
// statement terminator and "||" on top of the generic scanner, and what the
// dialects share once a script or a stored body has been read: names
// resolved to objects of the target collection and the dependency edges
// between them, with AfterParse linking indices, constraints, foreign keys,
// grants and users once all objects exist.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/qorDBOptions.h"
#include "base/qorTypes.h"
#include "parsers/qorParser.h"
#include "platform/qorNameList.h"

namespace qor {

class TDbObj;
class TFldData;

class TCustomSQLParser : public TCustomParser {
 public:
  explicit TCustomSQLParser(TExtractorHost* owner,
                            TDatabaseType serverType = TDatabaseType::dbAbstract);
  ~TCustomSQLParser() override;
  const char* ClassName() const override { return "TCustomSQLParser"; }

  // Filled by the dialects' CONNECT, CREATE DATABASE and USE statements.
  TConnectionOptions ConnectionOptions;
  // The inner text of the last comment skipped.
  std::string LastCommentText;
  // Names declared in the body being parsed (variables, parameters); never
  // linked as schema objects. Unsorted, compared case-insensitively.
  TBasicNameList<int> LocalNames;

  // A column with no owning object, bound to the target collection, for
  // parsing data types without creating a real column.
  TFldData& ScratchColumn();

  // ---- Scanning ----
  // Calls NextToken until the token's kind is in `kinds` or the text ends.
  virtual void SkipTo(const TKindSet& kinds);
  // The source from `start` up to the current token, trimmed.
  virtual std::string TextFrom(std::size_t start);
  // Collects raw characters into `text` until one of `stops` (compared
  // upper-cased) starts at the next character; the scanner then stands on
  // its first character. True when a stop was found before the end.
  bool ReadUntil(std::string& text, std::span<const std::string_view> stops);

  // ---- Names ----
  // owner "." name; an empty owner gets the dialect's default owner when
  // `useDefault` ("dbo", "DBA", "public"; none for the other types).
  std::string QualifyName(std::string_view name, std::string_view owner, bool useDefault) const;
  // The name as it is written back; unchanged here.
  virtual std::string FormatName(std::string_view name);

  // ---- Statement lists ----
  // The statements of a block, a body or a batch: `parseOne` reads one (or
  // passes what cannot start one) until `atEnd` holds or it returns false.
  // A round that leaves the same token current passes it, so no rule can
  // hold the loop.
  template <class AtEnd, class ParseOne>
  void ParseStatementList(AtEnd&& atEnd, ParseOne&& parseOne) {
    while (!atEnd()) {
      const std::size_t before = TokenStart();
      const TTokenKind kind = TokenKind();
      if (!parseOne()) return;
      if (TokenStart() == before && TokenKind() == kind && !atEnd()) NextToken();
    }
  }
  // Readies `nested` (an included file, a text read inside a statement) to
  // report as this parser does: into this parser's message list, through
  // the same error, log and warning events, with no progress of its own.
  void PrepareNested(TCustomSQLParser& nested);

  // ---- Re-parsing stored texts (the dialects) ----
  virtual void ParseObjectText(TDbObj* /*obj*/) {}
  virtual void ParseObjectSource(TDbObj* /*obj*/) {}

  // ---- Dependencies ----
  // Resolves `name` to an object of one of `kinds` and links `dependent`
  // to it. System names, self references and unknown names link nothing.
  void LinkDepend(TDbObj* dependent, std::string_view name, TDbObjectSet kinds);
  // Records that `dependent` uses `target` (optionally its column), once.
  void LinkDependency(TDbObj* dependent, TDbObj* target, std::string_view column);
  // While a body is read, the links made and the edges of each dependent
  // are remembered, so a link costs a lookup, never a walk of the
  // dependent's edges. The memory is dropped at the end: objects may be
  // freed between bodies.
  void BeginLinkMemory();
  void EndLinkMemory();
  // Resolves a column reference of a body against the scope stack.
  virtual void AddColumnRef(TDbObj* dependent, std::string_view relation, std::string_view column);

  void ParseScript(const std::vector<std::string>& lines, TObjs* collection) override;
  void AfterParse() override;

 protected:
  bool ScanToken() override;
  bool SkipWhite() override;
  // Skips one "/* */" or "--" comment at the current character; true when
  // one was skipped.
  virtual bool SkipComment();

  // The table, else the view, else the procedure named `name`.
  TDbObj* FindRelation(std::string_view name) const;
  // Whether `relation` has a column or output parameter `column`.
  static bool RelationHasColumn(TDbObj* relation, std::string_view column);

 private:
  // The relation an alias or relation name of the scope stack stands for.
  TDbObj* ResolveAlias(std::string_view relation) const;
  // The key of a table named `table` in the dialect's qualified form.
  std::string TableKey(std::string_view table, std::string_view schema,
                       std::string_view ownerQualifier) const;
  void LinkIndices();
  void LinkConstraints();
  void LinkForeignKeyTargets();
  void LinkGrants();
  void LinkUsers();

  std::unique_ptr<TFldData> scratch_;

  struct TLinkKey {
    const TDbObj* From;
    const TDbObj* To;
    std::string Column;
    bool operator==(const TLinkKey&) const = default;
  };
  struct TLinkKeyHash {
    std::size_t operator()(const TLinkKey& k) const;
  };
  // Links the edge through the memory; false when the model's own rules
  // must decide (a column of neither a relation nor a procedure).
  bool LinkRemembered(TDbObj* dependent, TDbObj* target, std::string_view column);

  bool linkMemory_ = false;
  std::unordered_set<TLinkKey, TLinkKeyHash> said_;   // references as the grammar made them
  std::unordered_set<TLinkKey, TLinkKeyHash> edges_;  // edges as the model holds them
  std::unordered_set<const TDbObj*> seeded_;          // dependents whose edges are in edges_
};

}  // namespace qor
