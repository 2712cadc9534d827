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
    case msk::Default:
    case msk::Coalesce:
    case msk::Not:
    case msk::Null:
    case msk::Update:
    case msk::SystemUser:
    case msk::SessionUser:
    case msk::CurrentUser:
    case msk::User:
    case msk::Left:
    case msk::Right:
    case msk::Convert:
    case msk::Case:
    case msk::Nullif:
    case msk::Tilde:
    case msk::Exists:
    case msk::CurrentDate:
    case msk::CurrentTime:
    case msk::CurrentTimestamp:
    case msk::Identitycol:
    case msk::Identity:
    case msk::LBrace:
    case msk::Rowguidcol:
    case msk::Cursor:
    case msk::Current:
    case msk::Contains:
    case msk::Freetext: return true;
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
  if (scan_.Kind == msk::Not) NextToken();
  ParsePredicate(context);
  while (scan_.Kind == msk::And || scan_.Kind == msk::Or) {
    NextToken();
    ParsePredicate(context);
  }
}

void TMSSQLParser::ParsePredicate(TDbObj* context) {
  TNestingGuard guard(*this);
  if (!Deeper(guard)) return;
  switch (scan_.Kind) {
    case msk::Not:
      NextToken();
      ParsePredicate(context);
      return;
    case msk::Exists:
    case msk::In:
    case msk::Any:
    case msk::Some:
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        if (scan_.Kind == msk::Select || scan_.Kind == msk::With) ParseQuery(context);
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
    if (scan_.Kind == msk::All || scan_.Kind == msk::Any || scan_.Kind == msk::Some) {
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
  if (scan_.Kind == msk::Not) {
    // NOT here belongs to IN, LIKE or BETWEEN; otherwise (DEFAULT 0 NOT
    // NULL) it is the next clause's.
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind != msk::In && scan_.Kind != msk::Like && scan_.Kind != msk::Between) {
      TParseContext::Restore(*this, saved);
      return false;
    }
    negated = true;
  }
  switch (scan_.Kind) {
    case msk::Is:
      NextToken();
      if (scan_.Kind == msk::Not) NextToken();
      if (scan_.Kind == msk::Null) {
        NextToken();
      } else if (scan_.Kind == msk::Distinct) {
        NextToken();
        ExpectAndNext(msk::From);
        ParseExpression(context);
      } else {
        Error("Must be: NULL/DISTINCT FROM.");
      }
      return true;
    case msk::In:
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        if (scan_.Kind == msk::Select || scan_.Kind == msk::With) ParseQuery(context);
        else ParseConditionList(context);
        ExpectAndNext(tk::RParen);
      }
      return true;
    case msk::Like:
      NextToken();
      ParseExpression(context);
      if (scan_.Kind == msk::Escape) {
        NextToken();
        ParseExpression(context);
      }
      return true;
    case msk::Between:
      NextToken();
      ParseExpression(context);
      ExpectAndNext(msk::And);
      ParseExpression(context);
      return true;
    default: break;
  }
  if (negated) return true;  // not reached: NOT was restored above
  if (IsPlainWord("STARTING")) {
    NextToken();
    if (scan_.Kind == msk::With) NextToken();
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
    case msk::Default:
    case msk::Null:
    case msk::Rowguidcol:
    case msk::User:
    case msk::SystemUser:
    case msk::SessionUser:
    case msk::CurrentDate:
    case msk::CurrentTime:
    case msk::CurrentTimestamp:
    case msk::CurrentUser:
    case msk::Identitycol: NextToken(); break;
    case tk::Minus:
    case tk::Plus:
    case msk::Tilde:
      NextToken();
      ParseFactor(context);
      return;
    case msk::Not:
    case msk::Exists:
      // A predicate in an expression's place (CASE WHEN NOT EXISTS ...).
      ParsePredicate(context);
      return;
    case tk::LParen:
      NextToken();
      if (scan_.Kind == msk::Select || scan_.Kind == msk::With) ParseQuery(context);
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
    case msk::Convert:
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
    case msk::Identity:
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
    case msk::Case:
      NextToken();
      if (scan_.Kind != msk::When) ParseCondition(context);
      if (scan_.Kind != msk::When) Expect(msk::When);
      while (scan_.Kind == msk::When) {
        NextToken();
        ParseCondition(context);
        ExpectAndNext(msk::Then);
        ParseCondition(context);
      }
      if (scan_.Kind == msk::Else) {
        NextToken();
        ParseCondition(context);
      }
      ExpectAndNext(msk::End);
      break;
    case msk::Left:
    case msk::Right:
    case msk::Nullif:
    case msk::Coalesce:
    case msk::Contains:
    case msk::Freetext:
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        ParseConditionList(context);
        ExpectAndNext(tk::RParen);
      }
      break;
    case msk::Cursor: ParseCursorDefinition(context); return;
    case msk::Current:
      NextToken();
      ExpectAndNext(msk::Of);
      if (IsPlainWord("GLOBAL")) NextToken();
      ExpectAndNext(tk::Ident);
      return;
    case msk::Update:
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
    if (scan_.Kind == msk::Collate) {
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
      if (ExpectAndNext(msk::As)) {
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
    if (scan_.Kind == msk::Over) ParseOverClause(context);
    return;
  }
  if (word == "NEXT") {
    TParseContext saved(this);
    NextToken();
    if (IsPlainWord("VALUE")) {
      NextToken();
      ExpectAndNext(msk::For);
      ParseObjectName(TDbObject::dboGenerator, /*defaultOwner=*/true);
      if (scan_.Kind == msk::Over) ParseOverClause(context);
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
    ExpectAndNext(msk::Group);
    if (ExpectAndNext(tk::LParen)) {
      ParseOrderBy(context);
      ExpectAndNext(tk::RParen);
    }
  }
  if (scan_.Kind == msk::Over) ParseOverClause(context);
}

void TMSSQLParser::ParseFunctionArgs(TDbObj* context) {
  NextToken();  // (
  if (scan_.Kind == msk::Distinct || scan_.Kind == msk::All) NextToken();
  if (scan_.Kind != tk::RParen) {
    for (;;) {
      if (scan_.Kind == tk::Star) NextToken();
      else ParseCondition(context);
      // TRIM(' ' FROM x), data types as arguments: DATEADD(day, ...).
      if (scan_.Kind == msk::From || scan_.Kind == msk::As) {
        const bool as = scan_.Kind == msk::As;
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
    ExpectAndNext(msk::By);
    ParseConditionList(context);
  }
  if (scan_.Kind == msk::Order) ParseOrderBy(context);
  if (IsPlainWord("ROWS") || IsPlainWord("RANGE")) {
    // The frame: words and numbers up to the closing parenthesis.
    while (scan_.Kind != tk::RParen && !AtStatementEnd()) NextToken();
  }
  ExpectAndNext(tk::RParen);
}

void TMSSQLParser::ParseOrderBy(TDbObj* context) {
  NextToken();  // ORDER
  ExpectAndNext(msk::By);
  for (;;) {
    ParseCondition(context);
    if (scan_.Kind == msk::Collate) {
      NextToken();
      ExpectAndNext(tk::Ident);
    }
    if (scan_.Kind == msk::Asc || scan_.Kind == msk::Desc) NextToken();
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (IsPlainWord("OFFSET")) {
    // OFFSET n ROWS [FETCH FIRST/NEXT n ROWS ONLY]
    NextToken();
    ParseExpression(context);
    if (IsPlainWord("ROWS") || IsPlainWord("ROW")) NextToken();
    if (scan_.Kind == msk::Fetch) {
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
  if (scan_.Kind == msk::With) ParseWithList(context);
  ParseQueryTerm(context);
  for (;;) {
    if (scan_.Kind == msk::Union) {
      NextToken();
      if (scan_.Kind == msk::All) NextToken();
    } else if (scan_.Kind == msk::Except || scan_.Kind == msk::Intersect) {
      NextToken();
    } else {
      break;
    }
    ParseQueryTerm(context);
  }
  if (scan_.Kind == msk::Order) ParseOrderBy(context);
  while (scan_.Kind == msk::Compute) ParseCompute(context);
  if (scan_.Kind == msk::For) ParseForClause();
  if (scan_.Kind == msk::Option) ParseQueryHints(context);
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
  if (scan_.Kind == msk::Select) {
    ParseSelect(context);
    return;
  }
  Expect(msk::Select);
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
    if (!ExpectAndNext(msk::As)) return;
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
  if (scan_.Kind == msk::All || scan_.Kind == msk::Distinct) NextToken();
  if (scan_.Kind == msk::Top) {
    NextToken();
    ParseFactor(context);
    if (scan_.Kind == msk::Percent) NextToken();
    if (scan_.Kind == msk::With) {
      NextToken();
      ExpectWord("TIES");
      if (IsPlainWord("TIES")) NextToken();
    }
  }
  ParseSelectList(context);
  if (scan_.Kind == msk::Into) {
    // SELECT ... INTO a new table: its name is made here, not used.
    NextToken();
    ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
  }
  if (scan_.Kind == msk::From) {
    NextToken();
    ParseFromList(context);
  }
  if (scan_.Kind == msk::Where) {
    NextToken();
    ParseCondition(context);
  }
  if (scan_.Kind == msk::Group) ParseGroupBy(context);
  if (scan_.Kind == msk::Having) {
    NextToken();
    ParseCondition(context);
  }
}

void TMSSQLParser::ParseGroupBy(TDbObj* context) {
  NextToken();  // GROUP
  ExpectAndNext(msk::By);
  if (scan_.Kind == msk::All) NextToken();
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
  if (scan_.Kind == msk::With) {
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
      if (scan_.Kind == msk::As) {
        NextToken();
        if (scan_.Kind == tk::Ident || scan_.Kind == tk::String) NextToken();
        else Expect(tk::Ident);
      } else if ((scan_.Kind == tk::Ident && IsAliasWord()) || scan_.Kind == tk::String) {
        NextToken();
      }
    }
    if (scan_.Kind == msk::Asc || scan_.Kind == msk::Desc) NextToken();
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
  if (scan_.Kind == msk::As) {
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
  if (scan_.Kind == msk::Holdlock || scan_.Kind == msk::Index) return true;
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
    if (scan_.Kind == msk::Index) {
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
      if (scan_.Kind == msk::Select || scan_.Kind == msk::With) {
        ParseQuery(context);
      } else if (scan_.Kind == msk::Values) {
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
        const bool query = scan_.Kind == msk::Select || scan_.Kind == msk::With;
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
    case msk::Opendatasource:
    case msk::Openquery:
    case msk::Openrowset: {
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
    case msk::Openxml:
      NextToken();
      if (scan_.Kind == tk::LParen) SkipBalanced();
      else Expect(tk::LParen);
      if (scan_.Kind == msk::With) {
        NextToken();
        if (scan_.Kind == tk::LParen) SkipBalanced();
        else ParseObjectName(TDbObject::dboTable, true);
      }
      ParseAlias(/*columnList=*/false);
      return;
    case msk::Containstable:
    case msk::Freetexttable:
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
  if (scan_.Kind == msk::For && !identQuoted_) {
    // FOR SYSTEM_TIME AS OF ... of a temporal table.
    TParseContext saved(this);
    NextToken();
    if (IsPlainWord("SYSTEM_TIME")) {
      NextToken();
      while (scan_.Kind == msk::As || scan_.Kind == msk::Of || scan_.Kind == msk::From ||
             scan_.Kind == msk::To || scan_.Kind == msk::Between || scan_.Kind == msk::And ||
             scan_.Kind == msk::All || IsPlainWord("CONTAINED") || scan_.Kind == msk::In ||
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
    if (IsPlainWord("ROWS") || scan_.Kind == msk::Percent) NextToken();
  }
  ParseAlias(/*columnList=*/true);
  if (scan_.Kind == msk::With) {
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
      case msk::Inner: NextToken(); break;
      case msk::Left:
      case msk::Right:
      case msk::Full:
        NextToken();
        if (scan_.Kind == msk::Outer) NextToken();
        break;
      case msk::Cross:
        NextToken();
        if (IsPlainWord("APPLY")) {
          NextToken();
          apply = true;
        }
        break;
      case msk::Outer:
        NextToken();
        ExpectWord("APPLY");
        if (IsPlainWord("APPLY")) NextToken();
        apply = true;
        break;
      case msk::Join: break;
      case tk::Ident:
        if (IsPlainWord("PIVOT") || IsPlainWord("UNPIVOT")) {
          const bool pivot = IsPlainWord("PIVOT");
          NextToken();
          if (ExpectAndNext(tk::LParen)) {
            if (pivot) ParseCondition(context);
            else ExpectAndNext(tk::Ident);
            ExpectAndNext(msk::For);
            ExpectAndNext(tk::Ident);
            ExpectAndNext(msk::In);
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
      if (!ExpectAndNext(msk::Join)) return;
    }
    ParseTableSource(context);
    if (!apply && scan_.Kind == msk::On) {
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
  if (scan_.Kind == msk::By) {
    NextToken();
    ParseConditionList(context);
  }
}

void TMSSQLParser::ParseQueryHints(TDbObj* context) {
  NextToken();  // OPTION
  if (!ExpectAndNext(tk::LParen)) return;
  for (;;) {
    if (scan_.Kind == msk::Order || IsPlainWord("HASH") || IsPlainWord("CONCAT") ||
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
      ExpectAndNext(msk::For);
      if (scan_.Kind == tk::LParen) SkipBalanced();
      else if (IsPlainWord("UNKNOWN")) NextToken();
    } else if (scan_.Kind == msk::Use) {
      NextToken();
      if (scan_.Kind == msk::Plan) {
        NextToken();
        if (Expect(tk::String)) NextToken();
      } else if (IsPlainWord("HINT")) {
        NextToken();
        if (scan_.Kind == tk::LParen) SkipBalanced();
      }
    } else if (scan_.Kind == msk::Table) {
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
  if (scan_.Kind == msk::Browse) {
    NextToken();
    return;
  }
  const bool xml = IsPlainWord("XML");
  const bool json = IsPlainWord("JSON");
  if (!xml && !json) {
    if (scan_.Kind == msk::Read || scan_.Kind == msk::Update) {
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
