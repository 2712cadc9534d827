// The InterBase/Firebird procedural-body parser: reads the stored PSQL of
// objects the collection already holds (procedure, function, trigger and
// package bodies, view queries, computed-column, index and check
// expressions, domain checks and defaults) and records what each of them
// uses as dependency edges. It builds no objects.
//
// A query's select list is read once, before its FROM list is known: the
// column references it makes are held on the query's scope level and
// resolved when the FROM list has been read, so nesting costs one reading
// of the text per level and an error in one body never changes what
// another body links.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "parsers/ib/qorIBParser.h"

namespace qor {

class TDbObj;
class TPkgData;

class TIbExParser : public TIbParser {
 public:
  explicit TIbExParser(TExtractorHost* owner);
  ~TIbExParser() override;
  const char* ClassName() const override { return "TIbExParser"; }

  void Error(const std::string& text) override;
  // The column-reference rule of the SQL parser base over the scopes this
  // parser pushes; a reference made before its query's FROM list is known
  // waits on that query's level.
  void AddColumnRef(TDbObj* dependent, std::string_view relation, std::string_view column) override;
  // The stored text of `obj` by its class, parsed for what it uses.
  void ParseObjectText(TDbObj* obj) override;
  // The current source (first token read) as the body or expression of
  // `obj`, by its class.
  void ParseObjectSource(TDbObj* obj) override;
  // A body met inside a script: parsed, then its text stored in the object.
  void ReadBody(TDbObj& obj, std::size_t start = kReadPosition) override;
  bool ParseDefault(TFldData& column, std::string& text) override;

  // The object being parsed; none between objects.
  TDbObj* CurrentObject() const { return obj_; }

  // ---- Expressions ----
  void ParseExpression();
  void ParseComparison();
  void ParseBooleanPrimary();
  void ParsePredicate();
  void ParseSimpleExpression();
  void ParseTerm();
  // A factor and its AT TIME ZONE / AT LOCAL (Firebird 4).
  void ParseZonedFactor();
  void ParseFactor();
  void ParseFunctionCall();
  void ParseIdentifierFactor(const std::string& name);
  void ParseWindowClause();
  void ParseExtract();
  void ParseTrim();
  void ParseOverlay();
  void ParseDateDiff();
  void ParseDateAdd();
  void ParsePad();
  void ParseArraySubscript();

  // ---- Queries and DML ----
  void ParseSelect();
  void ParseWithSelect();
  void ParseValueList();
  void ParseFromList();
  void ParseFromItem();
  void ParsePlan();
  void ParseRowsClause();
  // INSERT, or UPDATE OR INSERT from its INTO (`orInsert`).
  void ParseInsert(bool orInsert);
  void ParseUpdate();
  void ParseDelete();
  void ParseMerge();

  // ---- Declarations and statements ----
  void ParseDeclarations();
  void ParseBlock();
  void ParseStatement();
  void ParseAssignment(const std::string& target);
  void ParseForStatement();
  void ParseIntoList();
  // AS CURSOR name, from its AS.
  void ParseCursorName();
  void ParseExecute();
  void ParseExecuteStatementOptions();
  void ParseAlterStatement();
  void ParseSetStatement();

 protected:
  std::unique_ptr<TIbParser> NewNestedParser() override;
  // A word of the statement: a plain name or a keyword whose text is
  // `upper` (upper-case ASCII), in any version's keyword table.
  bool W(std::string_view upper);
  // W, else the ExpectWord error.
  bool ExpectW(std::string_view upper);

 private:
  struct TColumnRef {
    TDbObj* Dependent;
    std::string Relation, Column;
  };
  // Resolves a reference against the scope levels from the top down to
  // `lowest`; true when it found its relation (and linked it).
  bool ResolveColumnRef(TDbObj* dependent, std::string_view relation, std::string_view column,
                        int lowest);
  // Resolves what waits on the top level (now active); what still finds
  // nothing moves on to the next waiting level below.
  void ResolvePending();
  // The index of the innermost level whose FROM list is not known yet, or -1.
  int InnermostPendingLevel();
  void PushLevel(bool active);
  void PopLevel();

  bool ParseDeclaredType();
  // A sub-routine, a package's routine (current token FUNCTION or
  // PROCEDURE) or the rest of EXECUTE BLOCK (`block`).
  void ParseRoutineDefinition(bool isFunction, bool block);
  // DML target: name [AS] [alias], linked, pushed as an active level.
  bool ParseTargetRelation(bool allowAs);
  void ParseReturning();
  void ParseSetList(TDbObj* target);
  // The table or view of the DML level on top; none when it is the object.
  TDbObj* TopTarget();
  void ParseSearchTail();
  void PlanIndex();
  void PlanIndexList();
  // Parts of EXTRACT, DATEDIFF and DATEADD.
  bool IsDatePart(bool extract);
  // The tokens up to the ")" that closes the current level, not consumed.
  void SkipToCloseParen();
  void ParsePackageRoutines(TPkgData& pkg);
  // A PSQL or external function named `name`: linked without a column.
  bool LinkFunction(const std::string& name);
  // NEW.x / OLD.x of a trigger or check constraint: the relation it names.
  TDbObj* ContextRelation();
  void LinkContextColumn(const std::string& column);
  // Statement end: skips one ";".
  void SkipSemicolon();
  bool AtStatementEnd();
  bool IsFunctionCallAhead();
  // At AS: whether the word after it is CURSOR.
  bool IsCursorAhead();
  std::string CurrentWordText();

  TDbObj* obj_ = nullptr;
  bool inPackageHeader_ = false;
  // Per scope level: the references waiting for that level's FROM list.
  std::vector<std::vector<TColumnRef>> pending_;
};

}  // namespace qor
