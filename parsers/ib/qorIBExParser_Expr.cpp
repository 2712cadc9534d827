// The body parser's expressions: conditions, predicates, values, the
// built-in functions of each server version with their argument forms,
// context variables and NEW./OLD. columns. Literals, operators and
// built-in functions record nothing; column references, external and PSQL
// functions called by name and generators do.
#include "parsers/ib/qorIBExParser.h"

#include "base/qorIBVersions.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Trg.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

bool IsComparisonOperator(TTokenKind k) {
  return k == tk::Equal || k == tk::Less || k == tk::Greater || k == tk::LessEqual ||
         k == tk::GreaterEqual || k == tk::NotEqual || k == tk::DoubleEqual;
}

}  // namespace

// ---- Levels

void TIbExParser::ParseExpression() {
  TNestingGuard guard(*this);
  if (!guard.Ok()) return;
  if (IsKw(ibk::Not)) NextToken();
  ParseComparison();
  while (IsKw(ibk::And) || IsKw(ibk::Or)) {
    NextToken();
    ParseComparison();
  }
}

void TIbExParser::ParseComparison() {
  ParseBooleanPrimary();
  for (;;) {
    const TTokenKind k = TokenKind();
    const bool predicate = IsKw(ibk::Between) || IsKw(ibk::Containing) || IsKw(ibk::In) ||
                           IsKw(ibk::Is) || IsKw(ibk::Like) || IsKw(ibk::Similar) ||
                           IsKw(ibk::Starting) || IsKw(ibk::Starts);
    if (IsKw(ibk::Not)) {
      NextToken();
      if (IsKw(ibk::Between) || IsKw(ibk::Containing) || IsKw(ibk::In) || IsKw(ibk::Is) ||
          IsKw(ibk::Like) || IsKw(ibk::Similar) || IsKw(ibk::Starting) || IsKw(ibk::Starts))
        ParsePredicate();
      else ParseBooleanPrimary();
    } else if (predicate) {
      ParsePredicate();
    } else if (IsComparisonOperator(k)) {
      NextToken();
      ParseBooleanPrimary();
    } else {
      return;  // EXISTS or SINGULAR after an operand has no tail form
    }
  }
}

void TIbExParser::ParseBooleanPrimary() {
  if (W("INSERTING") || W("UPDATING") || W("DELETING")) {
    NextToken();
    return;
  }
  if (IsKw(ibk::Not)) {
    NextToken();
    ParseExpression();
    return;
  }
  if (IsKw(ibk::All) || IsKw(ibk::Any) || IsKw(ibk::Exists) || IsKw(ibk::In) ||
      IsKw(ibk::Singular) || IsKw(ibk::Some)) {
    NextToken();
    if (!ExpectAndNext(tk::LParen)) return;
    if (IsKw(ibk::Select) || IsKw(ibk::With)) ParseWithSelect();
    else ParseValueList();
    ExpectAndNext(tk::RParen);
    return;
  }
  ParseSimpleExpression();
}

void TIbExParser::ParsePredicate() {
  if (IsKw(ibk::Is)) {
    NextToken();
    if (IsKw(ibk::Not)) NextToken();
    if (IsKw(ibk::Null) || W("TRUE") || W("FALSE") || W("UNKNOWN")) {
      NextToken();
    } else if (IsKw(ibk::Distinct)) {
      NextToken();
      if (ExpectKw(ibk::From)) NextToken();
      ParseSimpleExpression();
    } else {
      Error("Must be: NULL/DISTINCT FROM.");
    }
  } else if (IsKw(ibk::In)) {
    NextToken();
    if (!ExpectAndNext(tk::LParen)) return;
    if (IsKw(ibk::Select) || IsKw(ibk::With)) ParseWithSelect();
    else ParseValueList();
    ExpectAndNext(tk::RParen);
  } else if (IsKw(ibk::Like)) {
    NextToken();
    ParseSimpleExpression();
    if (IsKw(ibk::Escape)) {
      NextToken();
      ParseSimpleExpression();
    }
  } else if (IsKw(ibk::Between)) {
    NextToken();
    ParseSimpleExpression();
    if (ExpectKw(ibk::And)) NextToken();
    ParseSimpleExpression();
  } else if (IsKw(ibk::Starting) || IsKw(ibk::Starts)) {
    NextToken();
    if (IsKw(ibk::With)) NextToken();
    ParseSimpleExpression();
  } else if (IsKw(ibk::Containing)) {
    NextToken();
    ParseSimpleExpression();
  } else if (IsKw(ibk::Similar)) {
    NextToken();
    if (ExpectKw(ibk::To)) NextToken();
    ParseSimpleExpression();
    if (IsKw(ibk::Escape)) {
      NextToken();
      ParseSimpleExpression();
    }
  } else {
    Error("Must be: IS/IN/EXISTS/SINGULAR/LIKE/BETWEEN/STARTING/CONTAINING.");
    if (TokenKind() != tk::EOFKind && TokenKind() != tk::Terminator) NextToken();
  }
}

void TIbExParser::ParseSimpleExpression() {
  if (TokenKind() == tk::Plus || TokenKind() == tk::Minus) NextToken();
  ParseTerm();
  while (TokenKind() == tk::Plus || TokenKind() == tk::Minus || TokenKind() == tk::Concat) {
    NextToken();
    ParseTerm();
  }
}

void TIbExParser::ParseTerm() {
  ParseZonedFactor();
  while (TokenKind() == tk::Star || TokenKind() == tk::Slash) {
    NextToken();
    ParseZonedFactor();
  }
}

void TIbExParser::ParseZonedFactor() {
  ParseFactor();
  // value AT TIME ZONE zone | value AT LOCAL
  if (!IBBodyCaps(ServerVersion()).fb4) return;
  while (IsKw(ibk::At)) {
    NextToken();
    if (W("LOCAL")) {
      NextToken();
      continue;
    }
    if (ExpectKw(ibk::Time)) NextToken();
    if (ExpectW("ZONE")) NextToken();
    ParseFactor();
  }
}

// ---- Factors

void TIbExParser::ParseFactor() {
  TNestingGuard guard(*this);
  if (!guard.Ok()) return;
  const TIBBodyCaps& caps = IBBodyCaps(ServerVersion());
  bool variable = false;
  if (TokenKind() == tk::Colon) {
    NextToken();
    variable = true;
  }
  const TTokenKind k = TokenKind();
  auto parenExpression = [this] {
    if (!ExpectAndNext(tk::LParen)) return;
    ParseExpression();
    ExpectAndNext(tk::RParen);
  };
  // A word the version does not reserve is a name, unless it is one of the
  // function words and a "(" follows.
  const bool functionWord =
      k == tk::Ident && QuoteChar() == 0 && !variable &&
      (IsKw(ibk::GenId) || IsKw(ibk::Cast) || IsKw(ibk::Upper) || IsKw(ibk::Left) ||
       IsKw(ibk::Right) || IsKw(ibk::Position) || IsKw(ibk::Extract) || IsKw(ibk::Avg) ||
       IsKw(ibk::Count) || IsKw(ibk::Max) || IsKw(ibk::Min) || IsKw(ibk::Sum) ||
       IsKw(ibk::CurrentTime) || IsKw(ibk::CurrentTimestamp)) &&
      IsFunctionCallAhead();
  if (k == tk::Ident && !functionWord) {
    // ":name" is a variable or parameter of the body, never a column.
    if (variable && !W("NEW") && !W("OLD")) {
      NextToken();
      if (TokenKind() == tk::LBracket) ParseArraySubscript();
    } else {
      ParseFunctionCall();
    }
  } else if (k == tk::LParen) {
    parenExpression();
  } else if (k == ibk::Value) {
    NextToken();
  } else if (IsKw(ibk::Cast)) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseExpression();
      if (ExpectKw(ibk::As)) {
        NextToken();
        ParseDeclaredType();
      }
      ExpectAndNext(tk::RParen);
    }
  } else if (IsKw(ibk::GenId)) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      if (Expect(tk::Ident)) {
        LinkDepend(obj_, IdentText(), {TDbObject::dboGenerator});
        NextToken();
      }
      if (TokenKind() == tk::Comma) {
        NextToken();
        ParseExpression();
      }
      ExpectAndNext(tk::RParen);
    }
  } else if (IsKw(ibk::Upper)) {
    NextToken();
    parenExpression();
  } else if (caps.leftRight && (IsKw(ibk::Left) || IsKw(ibk::Right))) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseExpression();
      if (ExpectAndNext(tk::Comma)) ParseExpression();
      ExpectAndNext(tk::RParen);
    }
  } else if (caps.position && IsKw(ibk::Position)) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseSimpleExpression();
      if (IsKw(ibk::In)) {
        NextToken();
        ParseSimpleExpression();
      } else if (TokenKind() == tk::Comma) {
        NextToken();
        ParseSimpleExpression();
        if (TokenKind() == tk::Comma) {
          NextToken();
          ParseSimpleExpression();
        }
      }
      ExpectAndNext(tk::RParen);
    }
  } else if (IsKw(ibk::Case)) {
    NextToken();
    if (!IsKw(ibk::When)) ParseExpression();
    while (IsKw(ibk::When)) {
      NextToken();
      ParseExpression();
      if (ExpectKw(ibk::Then)) NextToken();
      ParseExpression();
    }
    if (IsKw(ibk::Else)) {
      NextToken();
      ParseExpression();
    }
    if (ExpectKw(ibk::End)) NextToken();
  } else if (IsKw(ibk::Avg) || IsKw(ibk::Count) || IsKw(ibk::Max) || IsKw(ibk::Min) ||
             IsKw(ibk::Sum)) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      if (IsKw(ibk::All) || IsKw(ibk::Distinct)) NextToken();
      if (TokenKind() == tk::Star) NextToken();  // COUNT(*) reads no column
      else ParseExpression();
      ExpectAndNext(tk::RParen);
    }
    if (W("OVER")) ParseWindowClause();
  } else if (IsKw(ibk::Select)) {
    ParseSelect();
  } else if (IsKw(ibk::With)) {
    ParseWithSelect();
  } else if (k == tk::Plus || k == tk::Minus) {
    NextToken();
    ParseFactor();
  } else if (k == tk::Star) {
    AddColumnRef(obj_, {}, "*");
    NextToken();
  } else if (IsKw(ibk::Extract)) {
    NextToken();
    ParseExtract();
  } else if (IsKw(ibk::CurrentTime) || IsKw(ibk::CurrentTimestamp)) {
    NextToken();
    if (TokenKind() == tk::LParen) parenExpression();
  } else if (k == ibk::CharsetIntroducer || IsKw(ibk::Distinct)) {
    NextToken();
    ParseFactor();
  } else if (IsKw(ibk::Date) || IsKw(ibk::Time) || IsKw(ibk::Timestamp)) {
    NextToken();
    if (Expect(tk::String)) NextToken();
  } else if (k == tk::Float || k == tk::String || k == tk::Integer || IsKw(ibk::CurrentDate) ||
             IsKw(ibk::Gdscode) || IsKw(ibk::Null) || IsKw(ibk::RdbDbKey) || IsKw(ibk::Sqlcode) ||
             IsKw(ibk::User)) {
    NextToken();
  } else if (caps.fb4 && IsKw(ibk::Default)) {
    NextToken();
  } else {
    Error("Invalid factor in expression (" + CurTokenName() + ")");
    if (k != tk::EOFKind && k != tk::Terminator && k != tk::Semicolon) NextToken();
    return;
  }
  if (IsKw(ibk::Collate)) {
    NextToken();
    if (Expect(tk::Ident)) NextToken();
  }
}

bool TIbExParser::IsFunctionCallAhead() {
  // Blanks between the name and "(" are passed at character level.
  std::size_t i = CurIndex();
  while (i < GetLength() && IsBlank(CharAt(i))) ++i;
  return CharAt(i) == '(';
}

void TIbExParser::ParseFunctionCall() {
  const std::string name = IdentText();
  const bool quoted = QuoteChar() != 0;
  const TIBBodyCaps& caps = IBBodyCaps(ServerVersion());
  if (quoted || !IsFunctionCallAhead()) {
    if (!quoted && (name == "NEW" || name == "OLD") &&
        (dynamic_cast<TTrgData*>(obj_) ||
         (dynamic_cast<TCtrData*>(obj_) &&
          static_cast<TCtrData*>(obj_)->GetConstraintType() == 3))) {
      TParseContext saved(this);
      NextToken();
      if (TokenKind() == tk::Dot) {
        NextToken();
        if (TokenKind() == tk::Ident) LinkContextColumn(IdentText());
        else if (TokenKind() != tk::Star && !IsKw(ibk::RdbDbKey)) Expect(tk::Ident);
        if (TokenKind() == tk::Ident || TokenKind() == tk::Star || IsKw(ibk::RdbDbKey)) NextToken();
        if (TokenKind() == tk::LBracket) ParseArraySubscript();
        return;
      }
      TParseContext::Restore(*this, saved);
    }
    // clang-format off
    static constexpr std::string_view kContext[] = {
        "CURRENT_USER", "TRANSACTION_ID", "CONNECTION_ID", "CURRENT_DATE", "CURRENT_ROLE",
        "ROWS_AFFECTED", "CURRENT_CONNECTION", "CURRENT_TRANSACTION", "ROW_COUNT", "SQLSTATE",
        "LOCALTIME", "LOCALTIMESTAMP", "TRUE", "FALSE", "UNKNOWN", "RESETTING"};
    // clang-format on
    if (!quoted)
      for (std::string_view word : kContext)
        if (name == word) {
          NextToken();
          return;
        }
    NextToken();
    ParseIdentifierFactor(name);
    return;
  }
  auto is = [&](std::initializer_list<std::string_view> words) {
    for (std::string_view w : words)
      if (name == w) return true;
    return false;
  };
  auto valueList = [this] {
    if (!ExpectAndNext(tk::LParen)) return;
    if (TokenKind() != tk::RParen) ParseValueList();
    ExpectAndNext(tk::RParen);
  };
  auto oneExpression = [this] {
    if (!ExpectAndNext(tk::LParen)) return;
    ParseExpression();
    ExpectAndNext(tk::RParen);
  };
  auto emptyParens = [this] {
    if (ExpectAndNext(tk::LParen)) ExpectAndNext(tk::RParen);
  };
  if (is({"COALESCE", "NULLIF", "IIF"}) ||
      (caps.mathFuncs && is({"LPAD", "RPAD", "MOD", "ROUND"})) ||
      (caps.contextFuncs && is({"RDB$GET_CONTEXT", "RDB$SET_CONTEXT"}))) {
    NextToken();
    valueList();
  } else if (caps.mathFuncs && is({"COT"})) {
    NextToken();
    oneExpression();
  } else if (caps.mathFuncs && is({"PI", "RAND"})) {
    NextToken();
    emptyParens();
  } else if (caps.windowFuncs && is({"ROW_NUMBER", "RANK", "DENSE_RANK"})) {
    NextToken();
    emptyParens();
    if (W("OVER")) ParseWindowClause();
  } else if (caps.mathFuncs && is({"LIST"})) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      if (IsKw(ibk::All) || IsKw(ibk::Distinct)) NextToken();
      ParseValueList();
      ExpectAndNext(tk::RParen);
    }
  } else if (is({"SUBSTRING"})) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseSimpleExpression();
      if (IsKw(ibk::From)) {
        NextToken();
        ParseSimpleExpression();
      } else if (IsKw(ibk::Similar)) {
        NextToken();
        ParseSimpleExpression();
      }
      if (IsKw(ibk::For) || IsKw(ibk::Escape)) {
        NextToken();
        ParseSimpleExpression();
      }
      ExpectAndNext(tk::RParen);
    }
  } else if (caps.fb4 && is({"FIRST_DAY", "LAST_DAY"})) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      if (ExpectKw(ibk::Of)) NextToken();
      if (TokenKind() != tk::EOFKind) NextToken();  // the part word
      if (ExpectKw(ibk::From)) NextToken();
      ParseExpression();
      ExpectAndNext(tk::RParen);
    }
  } else if (caps.fb4 &&
             is({"HASH", "CRYPT_HASH", "ENCRYPT", "DECRYPT", "RSA_ENCRYPT", "RSA_DECRYPT",
                 "RSA_SIGN_HASH", "RSA_VERIFY_HASH", "RSA_SIGN", "RSA_VERIFY"})) {
    // Keyword-separated arguments; the words naming an algorithm or mode
    // are no references.
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseExpression();
      for (;;) {
        if (W("USING") || IsKw(ibk::Using) || W("MODE")) {
          NextToken();
          if (TokenKind() == tk::Ident) NextToken();
          else ParseExpression();
        } else if (W("CTR_BIG_ENDIAN") || W("CTR_LITTLE_ENDIAN")) {
          NextToken();
        } else if (IsKw(ibk::Key) || W("KEY") || W("IV") || W("CTR_LENGTH") || W("COUNTER") ||
                   W("LPARAM") || W("HASH") || W("SIGNATURE") || W("SALT_LENGTH")) {
          NextToken();
          if (TokenKind() == tk::Ident && (W("SHA256") || W("SHA512") || W("SHA1") || W("MD5")))
            NextToken();
          else ParseExpression();
        } else {
          break;
        }
      }
      ExpectAndNext(tk::RParen);
    }
  } else if (is({"EXTRACT"})) {
    NextToken();
    ParseExtract();
  } else if (caps.trimFamily && is({"TRIM"})) {
    NextToken();
    ParseTrim();
  } else if (caps.trimFamily && is({"OVERLAY"})) {
    NextToken();
    ParseOverlay();
  } else if (caps.trimFamily && is({"DATEDIFF"})) {
    NextToken();
    ParseDateDiff();
  } else if (caps.trimFamily && is({"DATEADD"})) {
    NextToken();
    ParseDateAdd();
  } else if (caps.padFunction && is({"PAD"})) {
    NextToken();
    ParsePad();
  } else if (is({"CURRENT_TIME", "CURRENT_TIMESTAMP"})) {
    NextToken();
    oneExpression();
  } else {
    NextToken();
    ParseIdentifierFactor(name);
  }
}

void TIbExParser::ParseIdentifierFactor(const std::string& name) {
  if (TokenKind() == tk::Dot) {
    NextToken();
    if (TokenKind() == tk::Ident) {
      const std::string column = IdentText();
      NextToken();
      if (TokenKind() == tk::LParen) {
        // A package's function: the package is what is used.
        if (TObjs* objs = Objs(); objs && obj_)
          if (TDbObj* pkg = objs->FindPackage(name); pkg && pkg != obj_)
            LinkDependency(obj_, pkg, {});
        NextToken();
        if (TokenKind() != tk::RParen) ParseValueList();
        ExpectAndNext(tk::RParen);
        return;
      }
      AddColumnRef(obj_, name, column);
      if (TokenKind() == tk::LBracket) ParseArraySubscript();
    } else if (TokenKind() == tk::Star) {
      AddColumnRef(obj_, name, "*");
      NextToken();
    } else if (IsKw(ibk::RdbDbKey)) {
      NextToken();
    } else {
      Expect(tk::Ident);
    }
    return;
  }
  if (TokenKind() == tk::LBracket) {
    AddColumnRef(obj_, {}, name);  // an element of an array column
    ParseArraySubscript();
    return;
  }
  if (TokenKind() == tk::LParen) {
    LinkFunction(name);
    NextToken();
    if (TokenKind() != tk::RParen) ParseValueList();
    ExpectAndNext(tk::RParen);
    return;
  }
  if (name == "NEXT" && IsKw(ibk::Value)) {
    NextToken();
    if (ExpectKw(ibk::For)) NextToken();
    // The sequence is linked wherever the expression stands.
    if (Expect(tk::Ident)) {
      LinkDepend(obj_, IdentText(), {TDbObject::dboGenerator});
      NextToken();
    }
    if (W("STEP")) {
      NextToken();
      ParseExpression();
    }
    return;
  }
  AddColumnRef(obj_, {}, name);
}

// ---- Special argument forms

void TIbExParser::ParseArraySubscript() {
  if (!ExpectAndNext(tk::LBracket)) return;
  for (;;) {
    ParseExpression();
    if (TokenKind() == tk::Colon) {  // a slice
      NextToken();
      ParseExpression();
    }
    if (TokenKind() != tk::Comma) break;
    NextToken();
  }
  ExpectAndNext(tk::RBracket);
}

void TIbExParser::SkipToCloseParen() {
  int depth = 0;
  while (TokenKind() != tk::EOFKind && TokenKind() != tk::Terminator) {
    if (TokenKind() == tk::LParen) ++depth;
    else if (TokenKind() == tk::RParen && depth-- == 0) return;
    NextToken();
  }
}

void TIbExParser::ParseWindowClause() {
  NextToken();  // past OVER
  if (!ExpectAndNext(tk::LParen)) return;
  if (W("PARTITION")) {
    NextToken();
    if (ExpectKw(ibk::By)) NextToken();
    ParseValueList();
  }
  if (IsKw(ibk::Order)) {
    NextToken();
    if (ExpectKw(ibk::By)) NextToken();
    ParseValueList();
  }
  SkipToCloseParen();  // a frame clause names nothing
  ExpectAndNext(tk::RParen);
}

bool TIbExParser::IsDatePart(bool extract) {
  const TIBSQLServerVersionType v = ServerVersion();
  const TIBBodyCaps& caps = IBBodyCaps(v);
  if (IsKw(ibk::Year) || IsKw(ibk::Yearday)) return extract || IsKw(ibk::Year);
  for (std::string_view w : {"SECOND", "MINUTE", "HOUR", "DAY", "MONTH", "YEAR", "WEEKDAY"})
    if (W(w)) return true;
  if (extract) {
    if (W("YEARDAY")) return true;
    if (caps.fb4 && (W("TIMEZONE_HOUR") || W("TIMEZONE_MINUTE"))) return true;
    return caps.mathFuncs && (W("WEEK") || W("MILLISECOND"));
  }
  return W("MILLISECOND") || W("WEEK");
}

void TIbExParser::ParseExtract() {
  if (!ExpectAndNext(tk::LParen)) return;
  if (!IsDatePart(/*extract=*/true)) Error("Invalid <part> in EXTRACT(part FROM value) function.");
  if (!IsKw(ibk::From) && TokenKind() != tk::EOFKind) NextToken();
  if (ExpectKw(ibk::From)) NextToken();
  ParseSimpleExpression();
  ExpectAndNext(tk::RParen);
}

void TIbExParser::ParseTrim() {
  if (!ExpectAndNext(tk::LParen)) return;
  if (W("LEADING") || W("TRAILING") || W("BOTH")) NextToken();
  if (!IsKw(ibk::From)) ParseSimpleExpression();
  if (IsKw(ibk::From)) {
    NextToken();
    ParseSimpleExpression();
  }
  ExpectAndNext(tk::RParen);
}

void TIbExParser::ParseOverlay() {
  if (!ExpectAndNext(tk::LParen)) return;
  ParseSimpleExpression();
  if (W("PLACING")) {
    NextToken();
    ParseSimpleExpression();
    if (ExpectKw(ibk::From)) NextToken();
    ParseSimpleExpression();
    if (IsKw(ibk::For)) {
      NextToken();
      ParseSimpleExpression();
    }
  }
  ExpectAndNext(tk::RParen);
}

void TIbExParser::ParseDateDiff() {
  if (!ExpectAndNext(tk::LParen)) return;
  if (!IsDatePart(/*extract=*/false)) {
    Error("Invalid timestamp part in DATEDIFF function.");
    return;
  }
  NextToken();
  if (IsKw(ibk::From)) {
    NextToken();
    ParseSimpleExpression();
    if (ExpectKw(ibk::To)) NextToken();
    ParseSimpleExpression();
  } else if (ExpectAndNext(tk::Comma)) {
    ParseSimpleExpression();
    if (ExpectAndNext(tk::Comma)) ParseSimpleExpression();
  }
  ExpectAndNext(tk::RParen);
}

void TIbExParser::ParseDateAdd() {
  if (!ExpectAndNext(tk::LParen)) return;
  if (IsDatePart(/*extract=*/false) && TokenKind() != tk::LParen) {
    TParseContext saved(this);
    NextToken();
    if (TokenKind() == tk::Comma) {
      NextToken();
      ParseSimpleExpression();
      if (ExpectAndNext(tk::Comma)) ParseSimpleExpression();
      ExpectAndNext(tk::RParen);
      return;
    }
    TParseContext::Restore(*this, saved);
  }
  ParseSimpleExpression();
  if (IsDatePart(/*extract=*/false)) NextToken();
  if (IsKw(ibk::To)) {
    NextToken();
    ParseSimpleExpression();
  }
  ExpectAndNext(tk::RParen);
}

void TIbExParser::ParsePad() {
  if (!ExpectAndNext(tk::LParen)) return;
  if (W("LEADING") || W("TRAILING") || W("BOTH")) NextToken();
  ParseSimpleExpression();
  if (IsKw(ibk::From)) {
    NextToken();
    ParseSimpleExpression();
  }
  if (IsKw(ibk::For)) {
    NextToken();
    ParseSimpleExpression();
  }
  ExpectAndNext(tk::RParen);
}

}  // namespace qor
