// T-SQL expressions, search conditions and queries. They build nothing;
// what they leave is the dependencies of the object whose body is read: a
// function call links it to the routine, a named FROM, JOIN or USING source
// to the table, view or table-valued function. Every loop here consumes a
// token per round or stops, and every recursion passes a nesting guard.
#include "parsers/mssql/qorMSSQLParser.h"

#include "base/qorMSSQLVersions.h"
#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

// ------------------------------------------------------------------ links

TDbObjectSet TMSSQLParser::TableSourceKinds() {
  TDbObjectSet s;
  s.Include(TDbObject::dboTable);
  s.Include(TDbObject::dboView);
  s.Include(TDbObject::dboProcedure);
  return s;
}

TDbObjectSet TMSSQLParser::RoutineKinds() {
  TDbObjectSet s;
  s.Include(TDbObject::dboProcedure);
  return s;
}

void TMSSQLParser::LinkUse(TDbObj* context, TDbObjectSet kinds) {
  TObjs* objs = Objs();
  if (!context || !objs || NameObject.empty()) return;
  // Temporary tables and variables are no schema objects.
  if (NameObject[0] == '#' || NameObject[0] == '@' || NameOwner.empty() || NameOwner[0] == '@')
    return;
  // Another server's or database's objects are not in this collection.
  if (!NameServer.empty()) return;
  if (!NameDatabase.empty() && !SameText(NameDatabase, ConnectionOptions.DatabaseName)) return;
  if (!ownerWritten_) {
    for (const std::string& local : localTables_)
      if (SameText(local, NameObject)) return;
  }
  auto find = [&](const std::string& key) -> TDbObj* {
    TDbObj* found = nullptr;
    if (kinds.Contains(TDbObject::dboTable)) found = objs->FindTable(key);
    if (!found && kinds.Contains(TDbObject::dboView)) found = objs->FindView(key);
    if (!found && kinds.Contains(TDbObject::dboProcedure)) found = objs->FindProcedure(key);
    return found;
  };
  TDbObj* target = nullptr;
  // An unqualified name is looked for in the schema of the object that
  // uses it first, then under dbo.
  if (!ownerWritten_ && !context->GetParentName().empty() &&
      !SameText(context->GetParentName(), NameOwner))
    target = find(context->GetParentName() + "." + NameObject);
  if (!target) target = find(NameOwner + "." + NameObject);
  if (!target || target == context) return;
  LinkDependency(context, target, {});
}

bool TMSSQLParser::Deeper(const TNestingGuard& guard) {
  if (guard.Ok()) return true;
  if (!tooDeep_) NoteMsg("Nested too deeply: the rest of the batch is passed over");
  tooDeep_ = true;
  SkipToBatchEnd();
  return false;
}

// ------------------------------------------------------------ expressions

bool TMSSQLParser::IsExpressionStart() const {
  switch (scan_.Kind) {
    case tk::Ident:
    case tk::Integer:
    case tk::Float:
    case tk::String:
    case tk::LParen:
    case tk::Minus:
    case tk::Plus:
    case tk::Colon:
    case msk::DEFAULT:
    case msk::COALESCE:
    case msk::NOT:
    case msk::NULL_:
    case msk::UPDATE:
    case msk::SYSTEM_USER:
    case msk::SESSION_USER:
    case msk::CURRENT_USER:
    case msk::USER:
    case msk::LEFT:
    case msk::RIGHT:
    case msk::CONVERT:
    case msk::CASE:
    case msk::NULLIF:
    case msk::Tilde:
    case msk::EXISTS:
    case msk::CURRENT_DATE:
    case msk::CURRENT_TIME:
    case msk::CURRENT_TIMESTAMP:
    case msk::IDENTITYCOL:
    case msk::IDENTITY:
    case msk::LBrace:
    case msk::ROWGUIDCOL:
    case msk::CURSOR:
    case msk::CURRENT:
    case msk::CONTAINS:
    case msk::FREETEXT: return true;
    default: return false;
  }
}

bool TMSSQLParser::IsAssignOperator() const {
  if (scan_.Kind == tk::Equal) return true;
  const TObjs* objs = Objs();
  if (!objs || !MSSQLCaps(objs->MSSQLServerOptions.SQLServerVersion).compoundAssignment)
    return false;
  switch (scan_.Kind) {
    case msk::StarEqual:
    case msk::PlusAssign:
    case msk::MinusAssign:
    case msk::StarAssign:
    case msk::SlashAssign:
    case msk::PercentAssign:
    case msk::CaretAssign:
    case msk::AmpAssign:
    case msk::PipeAssign: return true;
    default: return false;
  }
}

bool TMSSQLParser::IsComparison() const {
  switch (scan_.Kind) {
    case tk::Equal:
    case tk::NotEqual:
    case tk::Less:
    case tk::Greater:
    case tk::LessEqual:
    case tk::GreaterEqual:
    case tk::DoubleEqual:
    case msk::NotLess:
    case msk::NotGreater:
    case msk::EqualStar:
    case msk::StarEqual: return true;
    default: return false;
  }
}

std::string TMSSQLParser::ReadExpression(TDbObj* context) {
  const std::size_t start = TokenStart();
  if (!IsExpressionStart()) return {};
  ParseCondition(context);
  return TextFrom(start);
}

void TMSSQLParser::ParseCondition(TDbObj* context) {
  TNestingGuard guard(*this);
  if (!Deeper(guard)) return;
  if (scan_.Kind == msk::NOT) NextToken();
  ParsePredicate(context);
  while (scan_.Kind == msk::AND || scan_.Kind == msk::OR) {
    NextToken();
    ParsePredicate(context);
  }
}

void TMSSQLParser::ParsePredicate(TDbObj* context) {
  TNestingGuard guard(*this);
  if (!Deeper(guard)) return;
  switch (scan_.Kind) {
    case msk::NOT:
      NextToken();
      ParsePredicate(context);
      return;
    case msk::EXISTS:
    case msk::IN:
    case msk::ANY:
    case msk::SOME:
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        if (scan_.Kind == msk::SELECT || scan_.Kind == msk::WITH) ParseQuery(context);
        else ParseConditionList(context);
        ExpectAndNext(tk::RParen);
      }
      return;
    default: break;
  }
  if (IsPlainWord("INSERTING") || IsPlainWord("UPDATING") || IsPlainWord("DELETING")) {
    NextToken();
    return;
  }
  ParseExpression(context);
  while (ParsePredicateTail(context)) {
  }
}

bool TMSSQLParser::ParsePredicateTail(TDbObj* context) {
  if (IsComparison()) {
    NextToken();
    if (scan_.Kind == msk::ALL || scan_.Kind == msk::ANY || scan_.Kind == msk::SOME) {
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        ParseQuery(context);
        ExpectAndNext(tk::RParen);
      }
      return true;
    }
    ParseExpression(context);
    return true;
  }
  bool negated = false;
  if (scan_.Kind == msk::NOT) {
    // NOT here belongs to IN, LIKE or BETWEEN; otherwise (DEFAULT 0 NOT
    // NULL) it is the next clause's.
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind != msk::IN && scan_.Kind != msk::LIKE && scan_.Kind != msk::BETWEEN) {
      TParseContext::Restore(*this, saved);
      return false;
    }
    negated = true;
  }
  switch (scan_.Kind) {
    case msk::IS:
      NextToken();
      if (scan_.Kind == msk::NOT) NextToken();
      if (scan_.Kind == msk::NULL_) {
        NextToken();
      } else if (scan_.Kind == msk::DISTINCT) {
        NextToken();
        ExpectAndNext(msk::FROM);
        ParseExpression(context);
      } else {
        Error("Must be: NULL/DISTINCT FROM.");
      }
      return true;
    case msk::IN:
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        if (scan_.Kind == msk::SELECT || scan_.Kind == msk::WITH) ParseQuery(context);
        else ParseConditionList(context);
        ExpectAndNext(tk::RParen);
      }
      return true;
    case msk::LIKE:
      NextToken();
      ParseExpression(context);
      if (scan_.Kind == msk::ESCAPE) {
        NextToken();
        ParseExpression(context);
      }
      return true;
    case msk::BETWEEN:
      NextToken();
      ParseExpression(context);
      ExpectAndNext(msk::AND);
      ParseExpression(context);
      return true;
    default: break;
  }
  if (negated) return true;  // not reached: NOT was restored above
  if (IsPlainWord("STARTING")) {
    NextToken();
    if (scan_.Kind == msk::WITH) NextToken();
    ParseExpression(context);
    return true;
  }
  if (IsPlainWord("CONTAINING")) {
    NextToken();
    ParseExpression(context);
    return true;
  }
  return false;
}

void TMSSQLParser::ParseExpression(TDbObj* context) {
  ParseTerm(context);
  while (scan_.Kind == tk::Plus || scan_.Kind == tk::Minus || scan_.Kind == tk::Concat) {
    NextToken();
    ParseTerm(context);
  }
}

void TMSSQLParser::ParseTerm(TDbObj* context) {
  ParseFactor(context);
  for (;;) {
    switch (scan_.Kind) {
      case tk::Star: {
        // A star that no operand follows is no product: "t.*" and "(*)".
        TParseContext saved(this);
        NextToken();
        if (!IsExpressionStart()) {
          TParseContext::Restore(*this, saved);
          return;
        }
        break;
      }
      case tk::Slash:
      case tk::Percent:
      case tk::Ampersand:
      case msk::Pipe:
      case msk::Caret: NextToken(); break;
      default: return;
    }
    ParseFactor(context);
  }
}

void TMSSQLParser::ParseConditionList(TDbObj* context) {
  for (;;) {
    ParseCondition(context);
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

void TMSSQLParser::ParseFactor(TDbObj* context) {
  TNestingGuard guard(*this);
  if (!Deeper(guard)) return;
  if (scan_.Kind == tk::Colon) NextToken();
  switch (scan_.Kind) {
    case tk::Integer:
    case tk::Float:
    case tk::String:
    case msk::DEFAULT:
    case msk::NULL_:
    case msk::ROWGUIDCOL:
    case msk::USER:
    case msk::SYSTEM_USER:
    case msk::SESSION_USER:
    case msk::CURRENT_DATE:
    case msk::CURRENT_TIME:
    case msk::CURRENT_TIMESTAMP:
    case msk::CURRENT_USER:
    case msk::IDENTITYCOL: NextToken(); break;
    case tk::Minus:
    case tk::Plus:
    case msk::Tilde:
      NextToken();
      ParseFactor(context);
      return;
    case msk::NOT:
    case msk::EXISTS:
      // A predicate in an expression's place (CASE WHEN NOT EXISTS ...).
      ParsePredicate(context);
      return;
    case tk::LParen:
      NextToken();
      if (scan_.Kind == msk::SELECT || scan_.Kind == msk::WITH) ParseQuery(context);
      else ParseCondition(context);
      // A row of values: (a, b).
      while (scan_.Kind == tk::Comma) {
        NextToken();
        ParseCondition(context);
      }
      ExpectAndNext(tk::RParen);
      break;
    case msk::LBrace:
      NextToken();
      // {fn f(x)}, {d '2020-01-01'}
      if (IsPlainWord("FN")) NextToken();
      else if (scan_.Kind == tk::Ident && !identQuoted_ && IdentText().size() <= 2) {
        TParseContext saved(this);
        NextToken();
        if (scan_.Kind != tk::String) TParseContext::Restore(*this, saved);
      }
      ParseFactor(context);
      ExpectAndNext(msk::RBrace);
      break;
    case msk::CONVERT:
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        ParseDataType(ScratchColumn(), /*add=*/false, /*allowComputed=*/false);
        ExpectAndNext(tk::Comma);
        ParseCondition(context);
        if (scan_.Kind == tk::Comma) {
          NextToken();
          ParseCondition(context);
        }
        ExpectAndNext(tk::RParen);
      }
      break;
    case msk::IDENTITY:
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        ParseDataType(ScratchColumn(), /*add=*/false, /*allowComputed=*/false);
        while (scan_.Kind == tk::Comma) {
          NextToken();
          ParseCondition(context);
        }
        ExpectAndNext(tk::RParen);
      }
      break;
    case msk::CASE:
      NextToken();
      if (scan_.Kind != msk::WHEN) ParseCondition(context);
      if (scan_.Kind != msk::WHEN) Expect(msk::WHEN);
      while (scan_.Kind == msk::WHEN) {
        NextToken();
        ParseCondition(context);
        ExpectAndNext(msk::THEN);
        ParseCondition(context);
      }
      if (scan_.Kind == msk::ELSE) {
        NextToken();
        ParseCondition(context);
      }
      ExpectAndNext(msk::END);
      break;
    case msk::LEFT:
    case msk::RIGHT:
    case msk::NULLIF:
    case msk::COALESCE:
    case msk::CONTAINS:
    case msk::FREETEXT:
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        ParseConditionList(context);
        ExpectAndNext(tk::RParen);
      }
      break;
    case msk::CURSOR: ParseCursorDefinition(context); return;
    case msk::CURRENT:
      NextToken();
      ExpectAndNext(msk::OF);
      if (IsPlainWord("GLOBAL")) NextToken();
      ExpectAndNext(tk::Ident);
      return;
    case msk::UPDATE:
      NextToken();
      if (scan_.Kind == tk::LParen) {
        // UPDATE(column) in a trigger.
        NextToken();
        ParseCondition(context);
        ExpectAndNext(tk::RParen);
      } else {
        ParseUpdate(context);
      }
      break;
    case tk::Ident: ParseNameFactor(context); break;
    case tk::EOFKind:
    case tk::Terminator:
      Error("Unknown/Invalid factor in expression (" + CurTokenName() + ")");
      return;
    default:
      Error("Unknown/Invalid factor in expression (" + CurTokenName() + ")");
      NextToken();
      return;
  }
  // Postfix parts, any number of times.
  for (;;) {
    if (scan_.Kind == msk::COLLATE) {
      NextToken();
      ExpectAndNext(tk::Ident);
      continue;
    }
    if (IsPlainWord("AT")) {
      TParseContext saved(this);
      NextToken();
      if (!IsPlainWord("TIME")) {
        TParseContext::Restore(*this, saved);
        return;
      }
      NextToken();
      WordAndNext("ZONE");
      ParseFactor(context);
      continue;
    }
    return;
  }
}

void TMSSQLParser::ParseNameFactor(TDbObj* context) {
  const std::string word = identQuoted_ ? std::string() : UpperAscii(IdentText());
  if (word == "CAST" || word == "TRY_CAST" || word == "PARSE" || word == "TRY_PARSE") {
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind == tk::LParen) {
      NextToken();
      ParseCondition(context);
      if (ExpectAndNext(msk::AS)) {
        if (word == "CAST" || word == "TRY_CAST")
          ParseDataType(ScratchColumn(), /*add=*/false, /*allowComputed=*/false);
        else ExpectAndNext(tk::Ident);
      }
      if (IsPlainWord("USING")) {
        NextToken();
        ParseExpression(context);
      }
      ExpectAndNext(tk::RParen);
      return;
    }
    TParseContext::Restore(*this, saved);
  }
  if (word == "ROW_NUMBER" || word == "RANK" || word == "DENSE_RANK" || word == "NTILE") {
    NextToken();
    if (scan_.Kind == tk::LParen) {
      NextToken();
      if (scan_.Kind != tk::RParen) ParseConditionList(context);
      ExpectAndNext(tk::RParen);
    }
    if (scan_.Kind == msk::OVER) ParseOverClause(context);
    return;
  }
  if (word == "NEXT") {
    TParseContext saved(this);
    NextToken();
    if (IsPlainWord("VALUE")) {
      NextToken();
      ExpectAndNext(msk::FOR);
      ParseObjectName(TDbObject::dboGenerator, /*defaultOwner=*/true);
      if (scan_.Kind == msk::OVER) ParseOverClause(context);
      return;
    }
    TParseContext::Restore(*this, saved);
  }
  ParseObjectName(TDbObject::dboUnknown, /*defaultOwner=*/true);
  if (scan_.Kind == msk::ColonColon) {
    // type::Method(...) of a CLR type.
    NextToken();
    ExpectAndNext(tk::Ident);
    if (scan_.Kind == tk::LParen) ParseFunctionArgs(nullptr);
    return;
  }
  if (scan_.Kind != tk::LParen) return;
  LinkUse(context, RoutineKinds());
  ParseFunctionArgs(context);
  // Methods of the value: x.value('...', 'int').exist(...)
  while (scan_.Kind == tk::Dot) {
    NextToken();
    ExpectAndNext(tk::Ident);
    if (scan_.Kind == tk::LParen) ParseFunctionArgs(context);
  }
  if (IsPlainWord("WITHIN")) {
    // STRING_AGG(...) WITHIN GROUP (ORDER BY ...)
    NextToken();
    ExpectAndNext(msk::GROUP);
    if (ExpectAndNext(tk::LParen)) {
      ParseOrderBy(context);
      ExpectAndNext(tk::RParen);
    }
  }
  if (scan_.Kind == msk::OVER) ParseOverClause(context);
}

void TMSSQLParser::ParseFunctionArgs(TDbObj* context) {
  NextToken();  // (
  if (scan_.Kind == msk::DISTINCT || scan_.Kind == msk::ALL) NextToken();
  if (scan_.Kind != tk::RParen) {
    for (;;) {
      if (scan_.Kind == tk::Star) NextToken();
      else ParseCondition(context);
      // TRIM(' ' FROM x), data types as arguments: DATEADD(day, ...).
      if (scan_.Kind == msk::FROM || scan_.Kind == msk::AS) {
        const bool as = scan_.Kind == msk::AS;
        NextToken();
        if (as) ParseDataType(ScratchColumn(), /*add=*/false, /*allowComputed=*/false);
        else ParseCondition(context);
      }
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
  }
  ExpectAndNext(tk::RParen);
}

void TMSSQLParser::ParseOverClause(TDbObj* context) {
  NextToken();  // OVER
  if (scan_.Kind == tk::Ident) {
    // OVER window_name
    NextToken();
    return;
  }
  if (!ExpectAndNext(tk::LParen)) return;
  if (IsPlainWord("PARTITION")) {
    NextToken();
    ExpectAndNext(msk::BY);
    ParseConditionList(context);
  }
  if (scan_.Kind == msk::ORDER) ParseOrderBy(context);
  if (IsPlainWord("ROWS") || IsPlainWord("RANGE")) {
    // The frame: words and numbers up to the closing parenthesis.
    while (scan_.Kind != tk::RParen && !AtStatementEnd()) NextToken();
  }
  ExpectAndNext(tk::RParen);
}

void TMSSQLParser::ParseOrderBy(TDbObj* context) {
  NextToken();  // ORDER
  ExpectAndNext(msk::BY);
  for (;;) {
    ParseCondition(context);
    if (scan_.Kind == msk::COLLATE) {
      NextToken();
      ExpectAndNext(tk::Ident);
    }
    if (scan_.Kind == msk::ASC || scan_.Kind == msk::DESC) NextToken();
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (IsPlainWord("OFFSET")) {
    // OFFSET n ROWS [FETCH FIRST/NEXT n ROWS ONLY]
    NextToken();
    ParseExpression(context);
    if (IsPlainWord("ROWS") || IsPlainWord("ROW")) NextToken();
    if (scan_.Kind == msk::FETCH) {
      NextToken();
      if (IsPlainWord("FIRST") || IsPlainWord("NEXT")) NextToken();
      ParseExpression(context);
      if (IsPlainWord("ROWS") || IsPlainWord("ROW")) NextToken();
      ExpectWord("ONLY");
      if (IsPlainWord("ONLY")) NextToken();
    }
  }
}

// ---------------------------------------------------------------- queries

void TMSSQLParser::ParseQuery(TDbObj* context) {
  TNestingGuard guard(*this);
  if (!Deeper(guard)) return;
  const std::size_t locals = localTables_.size();
  if (scan_.Kind == msk::WITH) ParseWithList(context);
  ParseQueryTerm(context);
  for (;;) {
    if (scan_.Kind == msk::UNION) {
      NextToken();
      if (scan_.Kind == msk::ALL) NextToken();
    } else if (scan_.Kind == msk::EXCEPT || scan_.Kind == msk::INTERSECT) {
      NextToken();
    } else {
      break;
    }
    ParseQueryTerm(context);
  }
  if (scan_.Kind == msk::ORDER) ParseOrderBy(context);
  while (scan_.Kind == msk::COMPUTE) ParseCompute(context);
  if (scan_.Kind == msk::FOR) ParseForClause();
  if (scan_.Kind == msk::OPTION) ParseQueryHints(context);
  // The names of a nested query's FROM items are its own.
  if (localTables_.size() > locals) localTables_.resize(locals);
}

void TMSSQLParser::ParseQueryTerm(TDbObj* context) {
  if (scan_.Kind == tk::LParen) {
    NextToken();
    ParseQuery(context);
    ExpectAndNext(tk::RParen);
    return;
  }
  if (scan_.Kind == msk::SELECT) {
    ParseSelect(context);
    return;
  }
  Expect(msk::SELECT);
}

void TMSSQLParser::ParseWithList(TDbObj* context) {
  NextToken();  // WITH
  // XMLNAMESPACES ('uri' AS p, ...)
  if (IsPlainWord("XMLNAMESPACES")) {
    NextToken();
    if (scan_.Kind == tk::LParen) SkipBalanced();
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
  for (;;) {
    if (scan_.Kind != tk::Ident) {
      Expect(tk::Ident);
      return;
    }
    localTables_.push_back(IdentText());
    NextToken();
    if (scan_.Kind == tk::LParen) SkipBalanced();
    if (!ExpectAndNext(msk::AS)) return;
    if (ExpectAndNext(tk::LParen)) {
      ParseQuery(context);
      ExpectAndNext(tk::RParen);
    }
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

void TMSSQLParser::ParseSelect(TDbObj* context) {
  NextToken();  // SELECT
  if (scan_.Kind == msk::ALL || scan_.Kind == msk::DISTINCT) NextToken();
  if (scan_.Kind == msk::TOP) {
    NextToken();
    ParseFactor(context);
    if (scan_.Kind == msk::PERCENT) NextToken();
    if (scan_.Kind == msk::WITH) {
      NextToken();
      ExpectWord("TIES");
      if (IsPlainWord("TIES")) NextToken();
    }
  }
  ParseSelectList(context);
  if (scan_.Kind == msk::INTO) {
    // SELECT ... INTO a new table: its name is made here, not used.
    NextToken();
    ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
  }
  if (scan_.Kind == msk::FROM) {
    NextToken();
    ParseFromList(context);
  }
  if (scan_.Kind == msk::WHERE) {
    NextToken();
    ParseCondition(context);
  }
  if (scan_.Kind == msk::GROUP) ParseGroupBy(context);
  if (scan_.Kind == msk::HAVING) {
    NextToken();
    ParseCondition(context);
  }
}

void TMSSQLParser::ParseGroupBy(TDbObj* context) {
  NextToken();  // GROUP
  ExpectAndNext(msk::BY);
  if (scan_.Kind == msk::ALL) NextToken();
  for (;;) {
    if (IsPlainWord("GROUPING")) {
      // GROUPING SETS ((a), (b, c))
      TParseContext saved(this);
      NextToken();
      if (IsPlainWord("SETS")) {
        NextToken();
        if (ExpectAndNext(tk::LParen)) {
          ParseConditionList(context);
          ExpectAndNext(tk::RParen);
        }
      } else {
        TParseContext::Restore(*this, saved);
        ParseCondition(context);
      }
    } else {
      ParseCondition(context);
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (scan_.Kind == msk::WITH) {
    NextToken();
    if (IsPlainWord("CUBE") || IsPlainWord("ROLLUP")) NextToken();
    else Error("Must be: CUBE / ROLLUP");
  }
}

void TMSSQLParser::ParseSelectList(TDbObj* context) {
  for (;;) {
    if (scan_.Kind == tk::Star) {
      NextToken();
    } else {
      ParseCondition(context);
      // @v += x, col = x (the comparison took the plain "=").
      if (IsAssignOperator()) {
        NextToken();
        ParseCondition(context);
      }
      if (scan_.Kind == msk::AS) {
        NextToken();
        if (scan_.Kind == tk::Ident || scan_.Kind == tk::String) NextToken();
        else Expect(tk::Ident);
      } else if ((scan_.Kind == tk::Ident && IsAliasWord()) || scan_.Kind == tk::String) {
        NextToken();
      }
    }
    if (scan_.Kind == msk::ASC || scan_.Kind == msk::DESC) NextToken();
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

bool TMSSQLParser::IsAliasWord() const {
  if (scan_.Kind != tk::Ident) return false;
  if (identQuoted_) return true;
  // Words that start a clause or a statement after a table or select item.
  for (const char* w : {"PIVOT", "UNPIVOT", "TABLESAMPLE", "APPLY", "MERGE", "THROW", "SEND",
                        "RECEIVE", "ENABLE", "DISABLE", "REVERT", "OFFSET", "WINDOW"})
    if (SameText(IdentText(), w)) return false;
  return true;
}

void TMSSQLParser::ParseAlias(bool columnList) {
  if (scan_.Kind == msk::AS) {
    NextToken();
    if (scan_.Kind != tk::Ident) {
      Expect(tk::Ident);
      return;
    }
  } else if (!IsAliasWord()) {
    return;
  }
  localTables_.push_back(IdentText());
  NextToken();
  if (columnList && scan_.Kind == tk::LParen) SkipBalanced();
}

void TMSSQLParser::ParseFromList(TDbObj* context) {
  for (;;) {
    ParseTableSource(context);
    ParseJoins(context);
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

bool TMSSQLParser::IsTableHint() const {
  if (scan_.Kind == msk::HOLDLOCK || scan_.Kind == msk::INDEX) return true;
  if (scan_.Kind != tk::Ident || identQuoted_) return false;
  for (const char* w : {"NOEXPAND",
                        "FASTFIRSTROW",
                        "NOLOCK",
                        "NOWAIT",
                        "PAGLOCK",
                        "READCOMMITTED",
                        "READCOMMITTEDLOCK",
                        "READPAST",
                        "READUNCOMMITTED",
                        "REPEATABLEREAD",
                        "ROWLOCK",
                        "SERIALIZABLE",
                        "TABLOCK",
                        "TABLOCKX",
                        "UPDLOCK",
                        "XLOCK",
                        "FORCESEEK",
                        "FORCESCAN",
                        "SNAPSHOT",
                        "KEEPIDENTITY",
                        "KEEPDEFAULTS",
                        "IGNORE_CONSTRAINTS",
                        "IGNORE_TRIGGERS"})
    if (SameText(IdentText(), w)) return true;
  return false;
}

void TMSSQLParser::ParseTableHints() {
  // Inside the parentheses; each round consumes a token.
  while (scan_.Kind != tk::RParen && !AtStatementEnd()) {
    if (scan_.Kind == msk::INDEX) {
      NextToken();
      if (scan_.Kind == tk::LParen) {
        SkipBalanced();
      } else if (scan_.Kind == tk::Equal) {
        NextToken();
        if (scan_.Kind == tk::LParen) SkipBalanced();
        else NextToken();
      }
      continue;
    }
    if (scan_.Kind == tk::LParen) {
      SkipBalanced();
      continue;
    }
    NextToken();
  }
}

void TMSSQLParser::ParseValuesList(TDbObj* context) {
  NextToken();  // VALUES
  for (;;) {
    if (!ExpectAndNext(tk::LParen)) return;
    if (scan_.Kind != tk::RParen) ParseConditionList(context);
    ExpectAndNext(tk::RParen);
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

void TMSSQLParser::ParseTableSource(TDbObj* context) {
  TNestingGuard guard(*this);
  if (!Deeper(guard)) return;
  switch (scan_.Kind) {
    case tk::LParen:
      NextToken();
      if (scan_.Kind == msk::SELECT || scan_.Kind == msk::WITH) {
        ParseQuery(context);
      } else if (scan_.Kind == msk::VALUES) {
        ParseValuesList(context);
      } else if (scan_.Kind == tk::LParen) {
        // ((SELECT ...) UNION (...)) or ((a JOIN b) ...): a query when a
        // query follows the parentheses.
        TParseContext saved(this);
        int depth = 0;
        while (scan_.Kind == tk::LParen) {
          ++depth;
          NextToken();
        }
        const bool query = scan_.Kind == msk::SELECT || scan_.Kind == msk::WITH;
        TParseContext::Restore(*this, saved);
        if (query) {
          ParseQuery(context);
        } else {
          ParseTableSource(context);
          ParseJoins(context);
        }
        (void)depth;
      } else {
        ParseTableSource(context);
        ParseJoins(context);
      }
      ExpectAndNext(tk::RParen);
      ParseAlias(/*columnList=*/true);
      return;
    case msk::OPENDATASOURCE:
    case msk::OPENQUERY:
    case msk::OPENROWSET: {
      NextToken();
      if (scan_.Kind == tk::LParen) SkipBalanced();
      else Expect(tk::LParen);
      while (scan_.Kind == tk::Dot) {
        NextToken();
        ParseNamePart();
      }
      ParseAlias(/*columnList=*/true);
      return;
    }
    case msk::OPENXML:
      NextToken();
      if (scan_.Kind == tk::LParen) SkipBalanced();
      else Expect(tk::LParen);
      if (scan_.Kind == msk::WITH) {
        NextToken();
        if (scan_.Kind == tk::LParen) SkipBalanced();
        else ParseObjectName(TDbObject::dboTable, true);
      }
      ParseAlias(/*columnList=*/false);
      return;
    case msk::CONTAINSTABLE:
    case msk::FREETEXTTABLE:
      NextToken();
      if (scan_.Kind == tk::LParen) SkipBalanced();
      else Expect(tk::LParen);
      ParseAlias(/*columnList=*/false);
      return;
    case tk::Ident: break;
    default:
      Error("Unknown <table-source> in FROM-clause");
      if (!AtStatementEnd()) NextToken();
      return;
  }
  if (!identQuoted_ && StartsWith(UpperAscii(IdentText()), "SEMANTIC")) {
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind == tk::LParen) {
      SkipBalanced();
      ParseAlias(false);
      return;
    }
    TParseContext::Restore(*this, saved);
  }
  ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
  LinkUse(context, TableSourceKinds());
  if (scan_.Kind == tk::Less) {
    // <placeholder> lists of templates.
    while (scan_.Kind != tk::Greater && !AtStatementEnd()) NextToken();
    if (scan_.Kind == tk::Greater) NextToken();
  }
  if (scan_.Kind == tk::LParen) {
    // Old-style hints, or the arguments of a table-valued function.
    NextToken();
    if (IsTableHint()) {
      ParseTableHints();
    } else if (scan_.Kind != tk::RParen) {
      ParseConditionList(context);
    }
    ExpectAndNext(tk::RParen);
  }
  if (scan_.Kind == msk::FOR && !identQuoted_) {
    // FOR SYSTEM_TIME AS OF ... of a temporal table.
    TParseContext saved(this);
    NextToken();
    if (IsPlainWord("SYSTEM_TIME")) {
      NextToken();
      while (scan_.Kind == msk::AS || scan_.Kind == msk::OF || scan_.Kind == msk::FROM ||
             scan_.Kind == msk::TO || scan_.Kind == msk::BETWEEN || scan_.Kind == msk::AND ||
             scan_.Kind == msk::ALL || IsPlainWord("CONTAINED") || scan_.Kind == msk::IN ||
             scan_.Kind == tk::String || scan_.Kind == tk::LParen) {
        if (scan_.Kind == tk::LParen) SkipBalanced();
        else NextToken();
      }
    } else {
      TParseContext::Restore(*this, saved);
    }
  }
  if (IsPlainWord("TABLESAMPLE")) {
    NextToken();
    if (IsPlainWord("SYSTEM")) NextToken();
    if (scan_.Kind == tk::LParen) SkipBalanced();
    if (IsPlainWord("ROWS") || scan_.Kind == msk::PERCENT) NextToken();
  }
  ParseAlias(/*columnList=*/true);
  if (scan_.Kind == msk::WITH) {
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind == tk::LParen) {
      NextToken();
      ParseTableHints();
      ExpectAndNext(tk::RParen);
    } else {
      TParseContext::Restore(*this, saved);
    }
  }
}

void TMSSQLParser::ParseJoins(TDbObj* context) {
  for (;;) {
    bool apply = false;
    switch (scan_.Kind) {
      case msk::INNER: NextToken(); break;
      case msk::LEFT:
      case msk::RIGHT:
      case msk::FULL:
        NextToken();
        if (scan_.Kind == msk::OUTER) NextToken();
        break;
      case msk::CROSS:
        NextToken();
        if (IsPlainWord("APPLY")) {
          NextToken();
          apply = true;
        }
        break;
      case msk::OUTER:
        NextToken();
        ExpectWord("APPLY");
        if (IsPlainWord("APPLY")) NextToken();
        apply = true;
        break;
      case msk::JOIN: break;
      case tk::Ident:
        if (IsPlainWord("PIVOT") || IsPlainWord("UNPIVOT")) {
          const bool pivot = IsPlainWord("PIVOT");
          NextToken();
          if (ExpectAndNext(tk::LParen)) {
            if (pivot) ParseCondition(context);
            else ExpectAndNext(tk::Ident);
            ExpectAndNext(msk::FOR);
            ExpectAndNext(tk::Ident);
            ExpectAndNext(msk::IN);
            if (scan_.Kind == tk::LParen) SkipBalanced();
            else Expect(tk::LParen);
            ExpectAndNext(tk::RParen);
          }
          ParseAlias(/*columnList=*/false);
          continue;
        }
        return;
      default: return;
    }
    if (!apply) {
      // Join hints: LOOP, HASH, MERGE, REMOTE.
      if (IsPlainWord("LOOP") || IsPlainWord("HASH") || IsPlainWord("MERGE") ||
          IsPlainWord("REMOTE"))
        NextToken();
      if (!ExpectAndNext(msk::JOIN)) return;
    }
    ParseTableSource(context);
    if (!apply && scan_.Kind == msk::ON) {
      NextToken();
      ParseCondition(context);
    }
  }
}

void TMSSQLParser::ParseCompute(TDbObj* context) {
  NextToken();  // COMPUTE
  for (;;) {
    if (IsPlainWord("AVG") || IsPlainWord("COUNT") || IsPlainWord("MIN") || IsPlainWord("MAX") ||
        IsPlainWord("SUM")) {
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        ParseCondition(context);
        ExpectAndNext(tk::RParen);
      }
    } else {
      Error("Unknown aggregate function in COMPUTE-clause");
      return;
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (scan_.Kind == msk::BY) {
    NextToken();
    ParseConditionList(context);
  }
}

void TMSSQLParser::ParseQueryHints(TDbObj* context) {
  NextToken();  // OPTION
  if (!ExpectAndNext(tk::LParen)) return;
  for (;;) {
    if (scan_.Kind == msk::ORDER || IsPlainWord("HASH") || IsPlainWord("CONCAT") ||
        IsPlainWord("MERGE") || IsPlainWord("LOOP") || IsPlainWord("FORCE") ||
        IsPlainWord("ROBUST") || IsPlainWord("KEEP") || IsPlainWord("KEEPFIXED") ||
        IsPlainWord("EXPAND") || IsPlainWord("DISABLE") ||
        IsPlainWord("IGNORE_NONCLUSTERED_COLUMNSTORE_INDEX")) {
      NextToken();
      if (scan_.Kind != tk::Comma && scan_.Kind != tk::RParen) NextToken();
    } else if (IsPlainWord("MAXRECURSION")) {
      NextToken();
      if (Expect(tk::Integer)) NextToken();
    } else if (IsPlainWord("FAST") || IsPlainWord("MAXDOP") || IsPlainWord("QUERYTRACEON")) {
      NextToken();
      ParseExpression(context);
    } else if (IsPlainWord("RECOMPILE") || IsPlainWord("NO_PERFORMANCE_SPOOL")) {
      NextToken();
    } else if (IsPlainWord("OPTIMIZE")) {
      // OPTIMIZE FOR UNKNOWN / OPTIMIZE FOR (@v = value, ...)
      NextToken();
      ExpectAndNext(msk::FOR);
      if (scan_.Kind == tk::LParen) SkipBalanced();
      else if (IsPlainWord("UNKNOWN")) NextToken();
    } else if (scan_.Kind == msk::USE) {
      NextToken();
      if (scan_.Kind == msk::PLAN) {
        NextToken();
        if (Expect(tk::String)) NextToken();
      } else if (IsPlainWord("HINT")) {
        NextToken();
        if (scan_.Kind == tk::LParen) SkipBalanced();
      }
    } else if (scan_.Kind == msk::TABLE) {
      NextToken();
      while (scan_.Kind != tk::Comma && scan_.Kind != tk::RParen && !AtStatementEnd()) {
        if (scan_.Kind == tk::LParen) SkipBalanced();
        else NextToken();
      }
    } else {
      Error("Unknown <query_hint>");
      if (!AtStatementEnd()) NextToken();
      if (!AtStatementEnd()) NextToken();
      ExpectAndNext(tk::RParen);
      return;
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  ExpectAndNext(tk::RParen);
}

void TMSSQLParser::ParseForClause() {
  // FOR READ ONLY and FOR UPDATE belong to a cursor: left to it.
  TParseContext saved(this);
  NextToken();  // FOR
  if (scan_.Kind == msk::BROWSE) {
    NextToken();
    return;
  }
  const bool xml = IsPlainWord("XML");
  const bool json = IsPlainWord("JSON");
  if (!xml && !json) {
    if (scan_.Kind == msk::READ || scan_.Kind == msk::UPDATE) {
      TParseContext::Restore(*this, saved);
      return;
    }
    Error("Must be: BROWSE / XML");
    return;
  }
  NextToken();
  if (IsPlainWord("RAW") || IsPlainWord("PATH")) {
    NextToken();
    if (scan_.Kind == tk::LParen) {
      NextToken();
      ExpectAndNext(tk::String);
      ExpectAndNext(tk::RParen);
    }
  } else if (IsPlainWord("AUTO") || IsPlainWord("EXPLICIT")) {
    NextToken();
  } else {
    Error("Must be: RAW / AUTO / EXPLICIT / PATH");
    return;
  }
  while (scan_.Kind == tk::Comma) {
    NextToken();
    if (IsPlainWord("BINARY")) {
      NextToken();
      if (IsPlainWord("BASE64")) NextToken();
      else Error("Must be: BINARY BASE54 / TYPE / ROOT [ ('RootName') ]");
    } else if (IsPlainWord("TYPE") || IsPlainWord("XMLDATA") ||
               IsPlainWord("INCLUDE_NULL_VALUES") || IsPlainWord("WITHOUT_ARRAY_WRAPPER")) {
      NextToken();
    } else if (IsPlainWord("ROOT")) {
      NextToken();
      if (scan_.Kind == tk::LParen) {
        NextToken();
        ExpectAndNext(tk::String);
        ExpectAndNext(tk::RParen);
      }
    } else if (IsPlainWord("XMLSCHEMA")) {
      NextToken();
      if (scan_.Kind == tk::String) NextToken();
    } else if (IsPlainWord("ELEMENTS")) {
      NextToken();
      if (IsPlainWord("XSINIL") || IsPlainWord("ABSENT")) NextToken();
      else if (scan_.Kind == tk::Ident) Error("Must be: XSINIL / ABSENT");
    } else {
      Error("Must be: XMLDATA / XMLSCHEMA / ELEMENTS");
      return;
    }
  }
}

}  // namespace qor
