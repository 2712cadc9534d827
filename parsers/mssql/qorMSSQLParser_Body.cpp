// The procedural and data statements of T-SQL bodies: SET options, EXECUTE
// and procedure calls with sp_executesql, IF, WHILE and BEGIN blocks,
// DECLARE with cursors and table variables, SELECT, INSERT, UPDATE, DELETE
// and MERGE with OUTPUT, the cursor and transaction statements, and the
// Service Broker, backup and text-pointer statements that are only read.
// Each rule passes the context object down so that what the statement uses
// is linked to it.
#include "parsers/mssql/qorMSSQLParser.h"

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

// ------------------------------------------------------------------ helpers

void TMSSQLParser::PassStatement(TDbObj* /*context*/, const std::string& what, bool atKeyword) {
  // Script mode: data statements of a batch are not read; a CREATE among
  // the skipped tokens is named so that no object is lost without a word.
  const std::int32_t line = tokenLine_, column = tokenColumn_;
  if (atKeyword) NextToken();
  while (!AtStatementBoundary() && scan_.Kind != msk::Create) NextToken();
  if (AtStatementBoundary()) return;
  tokenLine_ = line;
  tokenColumn_ = column;
  PassOver(what + " passed over");
}

TMSSQLParser::TDmlTarget TMSSQLParser::ParseDmlTarget() {
  TDmlTarget t;
  if (scan_.Kind == msk::Openquery || scan_.Kind == msk::Openrowset ||
      scan_.Kind == msk::Opendatasource) {
    NextToken();
    if (scan_.Kind == tk::LParen) SkipBalanced();
    while (scan_.Kind == tk::Dot) {
      NextToken();
      ParseNamePart();
    }
    return t;
  }
  if (!Expect(tk::Ident)) return t;
  ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
  t.Server = NameServer;
  t.Database = NameDatabase;
  t.Owner = NameOwner;
  t.Object = NameObject;
  t.OwnerWritten = ownerWritten_;
  return t;
}

void TMSSQLParser::LinkDmlTarget(TDbObj* context, const TDmlTarget& target,
                                 std::size_t localsBefore) {
  if (!context || target.Object.empty()) return;
  // UPDATE o SET ... FROM dbo.Orders o: the target is an alias.
  if (!target.OwnerWritten)
    for (std::size_t i = localsBefore; i < localTables_.size(); ++i)
      if (SameText(localTables_[i], target.Object)) return;
  NameServer = target.Server;
  NameDatabase = target.Database;
  NameOwner = target.Owner;
  NameObject = target.Object;
  NameSubObject.clear();
  ownerWritten_ = target.OwnerWritten;
  TDbObjectSet kinds;
  kinds.Include(TDbObject::dboTable);
  kinds.Include(TDbObject::dboView);
  LinkUse(context, kinds);
}

void TMSSQLParser::ParseTop(TDbObj* context) {
  if (scan_.Kind != msk::Top) return;
  NextToken();
  ParseFactor(context);
  if (scan_.Kind == msk::Percent) NextToken();
}

void TMSSQLParser::ParseTargetHints() {
  if (scan_.Kind != msk::With) return;
  NextToken();
  if (ExpectAndNext(tk::LParen)) {
    ParseTableHints();
    ExpectAndNext(tk::RParen);
  }
}

bool TMSSQLParser::WordAndNext(std::string_view word) {
  if (!IsPlainWord(word) && !ExpectWord(word)) return false;
  NextToken();
  return true;
}

void TMSSQLParser::ParseOnOff() {
  if (scan_.Kind == msk::On || scan_.Kind == msk::Off) NextToken();
  else Error("Must be: ON / OFF");
}

// --------------------------------------------------------------------- SET

void TMSSQLParser::ParseSet(TDbObj* context) {
  NextToken();  // SET
  // Options named by a word, followed by ON or OFF or a value.
  static const char* const kOptions[] = {"NOCOUNT",
                                         "IMPLICIT_TRANSACTIONS",
                                         "ARITHABORT",
                                         "ARITHIGNORE",
                                         "NUMERIC_ROUNDABORT",
                                         "CONCAT_NULL_YIELDS_NULL",
                                         "ANSI_WARNINGS",
                                         "NOEXEC",
                                         "ANSI_PADDING",
                                         "ANSI_NULLS",
                                         "QUOTED_IDENTIFIER",
                                         "DATEFORMAT",
                                         "DATEFIRST",
                                         "LANGUAGE",
                                         "XACT_ABORT",
                                         "LOCK_TIMEOUT",
                                         "DEADLOCK_PRIORITY",
                                         "FMTONLY",
                                         "FORCEPLAN",
                                         "PARSEONLY",
                                         "SHOWPLAN_ALL",
                                         "SHOWPLAN_TEXT",
                                         "SHOWPLAN_XML",
                                         "CONTEXT_INFO",
                                         "CURSOR_CLOSE_ON_COMMIT",
                                         "ANSI_DEFAULTS",
                                         "ANSI_NULL_DFLT_ON",
                                         "ANSI_NULL_DFLT_OFF",
                                         "REMOTE_PROC_TRANSACTIONS",
                                         "QUERY_GOVERNOR_COST_LIMIT",
                                         "NOCOUNT",
                                         "OFFSETS",
                                         "BLOBFILE",
                                         "FIPS_FLAGGER"};
  std::vector<std::string> words;
  for (;;) {
    if (scan_.Kind == tk::Ident && !identQuoted_ && StartsWith(IdentText(), "@")) {
      ParseObjectName(TDbObject::dboUnknown, /*defaultOwner=*/false);
      if (IsAssignOperator()) {
        NextToken();
        ParseCondition(context);
      } else if (scan_.Kind == tk::LParen) {
        // SET @x.Method(...) of a CLR value.
        SkipBalanced();
      }
    } else if (scan_.Kind == msk::Textsize || scan_.Kind == msk::Rowcount) {
      NextToken();
      ParseExpression(context);
    } else if (scan_.Kind == msk::IdentityInsert) {
      NextToken();
      std::string db, owner, name;
      ParseThreePartName(db, owner, name);
      if (scan_.Kind != msk::On && scan_.Kind != msk::Off) Error("Must be: ON / OFF.");
    } else if (scan_.Kind == msk::Tran) {
      NextToken();
      if (IsPlainWord("ISOLATION")) NextToken();
      if (IsPlainWord("LEVEL")) NextToken();
      if (scan_.Kind == msk::Read) {
        NextToken();
        if (IsPlainWord("UNCOMMITTED") || IsPlainWord("COMMITTED")) NextToken();
        else Error("Unknown transaction isolation level");
      } else if (IsPlainWord("REPEATABLE")) {
        NextToken();
        ExpectAndNext(msk::Read);
      } else if (IsPlainWord("SERIALIZABLE") || IsPlainWord("SNAPSHOT")) {
        NextToken();
      } else {
        Error("Unknown transaction isolation level");
      }
    } else if (scan_.Kind == msk::Statistics) {
      // SET STATISTICS IO, TIME ON
      NextToken();
      while (scan_.Kind == tk::Ident) {
        NextToken();
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
    } else if (scan_.Kind == tk::Ident && !identQuoted_) {
      const std::string word = UpperAscii(IdentText());
      bool known = false;
      for (const char* o : kOptions)
        if (word == o) known = true;
      if (!known) {
        Error("Unknown SET-statement.");
        NextToken();
        if (scan_.Kind == msk::On || scan_.Kind == msk::Off) NextToken();
        return;
      }
      NextToken();
      if (word == "BLOBFILE") {
        StatementCode = 4;
        SetStatement(StatementObjectKind, TokenText(), 8);
        if (Expect(tk::String)) NextToken();
      } else if (scan_.Kind != msk::On && scan_.Kind != msk::Off && scan_.Kind != tk::Comma &&
                 !AtStatementEnd() && IsExpressionStart()) {
        // DATEFORMAT dmy, LANGUAGE us_english, LOCK_TIMEOUT 100 ...
        ParseExpression(context);
      } else {
        words.push_back(word);
      }
    } else {
      Error("Unknown SET-statement.");
      if (!AtStatementEnd()) NextToken();
      return;
    }
    if (scan_.Kind == msk::On || scan_.Kind == msk::Off) {
      const bool on = scan_.Kind == msk::On;
      for (const std::string& w : words) {
        if (w == "ANSI_NULLS") AnsiNulls = on;
        if (w == "QUOTED_IDENTIFIER") QuotedIdentifiers = on;
      }
      words.clear();
      NextToken();
    }
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

// ----------------------------------------------------------------- EXECUTE

void TMSSQLParser::ParseExecute(TDbObj* context) {
  NextToken();  // EXEC
  if (scan_.Kind == msk::As) {
    NextToken();
    if (IsPlainWord("LOGIN") || scan_.Kind == msk::User) {
      NextToken();
      ExpectAndNext(tk::Equal);
      ParseExpression(context);
    } else if (IsPlainWord("CALLER")) {
      NextToken();
    } else {
      Error("Must be: LOGIN / USER / CALLER");
    }
    return;
  }
  if (scan_.Kind == tk::LParen) {
    // Dynamic SQL built at run time: its text is not read, but an object
    // it would create is not lost without a word.
    const std::int32_t line = tokenLine_, column = tokenColumn_;
    bool creates = false;
    int depth = 0;
    do {
      if (scan_.Kind == tk::LParen) ++depth;
      else if (scan_.Kind == tk::RParen) --depth;
      else if (scan_.Kind == tk::String &&
               UpperAscii(TokenText()).find("CREATE ") != std::string::npos)
        creates = true;
      NextToken();
    } while (depth > 0 && !AtStatementEnd());
    if (creates) {
      const std::int32_t endLine = tokenLine_, endColumn = tokenColumn_;
      tokenLine_ = line;
      tokenColumn_ = column;
      NoteMsg("EXECUTE of a text that creates an object is not read");
      tokenLine_ = endLine;
      tokenColumn_ = endColumn;
    }
    if (scan_.Kind == msk::As || IsPlainWord("AT")) {
      NextToken();
      if (IsPlainWord("LOGIN") || scan_.Kind == msk::User) NextToken();
      if (scan_.Kind == tk::Equal) NextToken();
      ParseExpression(context);
    }
    return;
  }
  if (scan_.Kind == tk::Ident && StartsWith(IdentText(), "@")) {
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind != tk::Equal) {
      // EXEC @procedureNameVariable args
      ParseArgumentList(context);
      return;
    }
    NextToken();  // @status = procedure
  }
  if (scan_.Kind == tk::Ident) {
    ParseProcedureCall(context, /*viaExec=*/true);
    return;
  }
  ParseExpression(context);
}

void TMSSQLParser::ParseProcedureCall(TDbObj* context, bool viaExec) {
  ParseObjectName(TDbObject::dboProcedure, false);
  const std::string proc = LowerAscii(NameObject);
  if (proc == "sp_addtype") return ParseAddType(false);
  if (proc == "sp_bindrule") return ParseBindRule(false, false);
  if (proc == "sp_bindefault") return ParseBindRule(false, true);
  if (proc == "sp_dboption") return ParseDbOption();
  if (proc == "sp_addextendedproperty") return ParseAddExtendedProperty();
  if (proc == "sp_addrolemember") return ParseAddRoleMember();
  if (proc == "sp_executesql") return ParseExecuteSql(context);
  if (proc == "sp_addextendedproc") {
    if (Expect(tk::String)) NextToken();
    if (ExpectAndNext(tk::Comma) && Expect(tk::String)) NextToken();
    Expect(tk::Terminator);
    return;
  }
  if (proc == "sp_configure") {
    if (scan_.Kind == tk::Ident || scan_.Kind == tk::String) NextToken();
    else Error("Must be: <Ident> / <StrVal>");
    if (scan_.Kind == tk::Comma) {
      NextToken();
      if (Expect(tk::Integer)) NextToken();
    }
    return;
  }
  if (viaExec || BodyMode || proc == "sp_addmessage") {
    // The procedure a body calls is one it uses.
    if (context) {
      if (NameOwner.empty()) NameOwner = CaseSensitive() ? "dbo" : "DBO";
      LinkUse(context, RoutineKinds());
    }
    ParseArgumentList(context);
    return;
  }
  PassStatement(context, "Procedure call", /*atKeyword=*/false);
}

void TMSSQLParser::ParseArgumentList(TDbObj* context) {
  // p;2 names a procedure of a group.
  if (scan_.Kind == tk::Semicolon && PeekChar() >= '0' && PeekChar() <= '9') {
    NextToken();
    NextToken();
  }
  while (IsExpressionStart()) {
    ParseCondition(context);
    if (IsPlainWord("OUTPUT") || IsPlainWord("OUT") || scan_.Kind == msk::Default) NextToken();
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (scan_.Kind == msk::With) {
    // WITH RECOMPILE, WITH RESULT SETS (...)
    NextToken();
    while (scan_.Kind == tk::Ident) {
      NextToken();
      if (scan_.Kind == tk::Ident) NextToken();
      if (scan_.Kind == tk::LParen) SkipBalanced();
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
  }
}

void TMSSQLParser::ParseExecuteSql(TDbObj* context) {
  if (scan_.Kind == tk::Ident && StartsWith(IdentText(), "@")) {
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind == tk::Equal) NextToken();
    else TParseContext::Restore(*this, saved);
  }
  int depth = 0;
  for (const TMSSQLParser* p = this; p->OwnerParser; p = p->OwnerParser) ++depth;
  if (scan_.Kind != tk::String) {
    // A statement built at run time.
    ParseCondition(context);
  } else if (depth >= kMaxExecuteSqlDepth) {
    // Each nested parser has a nesting bound of its own: their chain is
    // bounded too.
    Error("sp_executesql texts nested too deeply (more than " + IntToStr(kMaxExecuteSqlDepth) +
          " levels)");
    NextToken();
  } else {
    const std::string sql = TokenText();
    // The text starts after N' or ': its messages are placed there.
    std::int32_t line = tokenLine_;
    std::int32_t column = tokenColumn_ + (Source()[TokenStart()] == '\'' ? 1 : 2);
    if (bodyLine_ > 0) {
      // In a body a script kept as text: its place in the script.
      if (line == 1) column += bodyColumn_ - 1;
      line += bodyLine_ - 1;
    }
    NextToken();
    // The statements in the string are read by a parser of their own,
    // which reports into this one; a script without an extractor needs it
    // too.
    if (!NestedParser) {
      NestedParser = std::make_unique<TMSSQLParser>(nullptr);
      NestedParser->OwnerParser = this;
      NestedParser->ReportInto(this);
    }
    TMSSQLParser& n = *NestedParser;
    PrepareNested(n);
    n.SetObjs(Objs());
    n.BodyMode = BodyMode;
    n.ScriptName = ScriptName;
    n.QuotedIdentifiers = QuotedIdentifiers;
    n.AnsiNulls = AnsiNulls;
    n.CurrentObject = CurrentObject;
    n.ConnectionOptions.DatabaseName = ConnectionOptions.DatabaseName;
    n.nestedLine_ = nestedLine_ ? nestedLine_ : line;
    n.nestedColumn_ = nestedLine_ ? nestedColumn_ : column;
    n.tooDeep_ = false;
    n.SetSource(sql);
    n.NextToken();
    // Every statement of the text, the object whose body holds the call
    // as their context: what they use is what the body uses, and what they
    // create inside a body stays out of the collection.
    n.ParseStatementList([&] { return n.AtStatementEnd(); },
                         [&] {
                           n.ParseStatement(context);
                           while (n.TokenKind() == tk::Semicolon) n.NextToken();
                           return true;
                         });
    n.SetSource({});
    n.CurrentObject = nullptr;
  }
  while (scan_.Kind == tk::Comma) {
    NextToken();
    ParseCondition(context);
    if (IsPlainWord("OUTPUT") || IsPlainWord("OUT")) NextToken();
  }
}

// ------------------------------------------------------- control of flow

void TMSSQLParser::ParseIf(TDbObj* context) {
  NextToken();  // IF
  ParseCondition(context);
  if (AtStatementEnd()) return;
  // The statement under IF is parsed, so that a guarded CREATE keeps its
  // object.
  ParseStatement(context);
  while (scan_.Kind == tk::Semicolon) NextToken();
  if (scan_.Kind == msk::Else) {
    NextToken();
    ParseStatement(context);
  }
}

void TMSSQLParser::ParseWhile(TDbObj* context) {
  NextToken();  // WHILE
  ParseCondition(context);
  if (AtStatementEnd()) return;
  ParseStatement(context);
}

bool TMSSQLParser::ParseStatementsUntilEnd(TDbObj* context) {
  ParseStatementList([&] { return AtStatementEnd() || scan_.Kind == msk::End; },
                     [&] { return ParseBodyStatement(context, "Unknown Statement: "); });
  return scan_.Kind == msk::End;
}

bool TMSSQLParser::ParseBodyStatement(TDbObj* context, std::string_view unknownText) {
  if (scan_.Kind == tk::Semicolon) {
    NextToken();
  } else if (!CanStartStatement()) {
    Error(std::string(unknownText) + CurTokenName());
    NextToken();
  } else {
    ParseStatement(context);
  }
  return true;
}

void TMSSQLParser::ParseBlock(TDbObj* context) {
  NextToken();  // BEGIN
  if (scan_.Kind == msk::Tran || scan_.Kind == msk::Distributed) {
    if (scan_.Kind == msk::Distributed) NextToken();
    ExpectAndNext(msk::Tran);
    if (scan_.Kind == tk::Ident) NextToken();
    if (scan_.Kind == msk::With) {
      NextToken();
      if (IsPlainWord("MARK")) NextToken();
      if (scan_.Kind == tk::String) NextToken();
    }
    return;
  }
  if (IsPlainWord("DIALOG") || IsPlainWord("CONVERSATION")) {
    ParseBeginDialog(context);
    return;
  }
  std::string kind;
  if (IsPlainWord("TRY") || IsPlainWord("CATCH")) {
    kind = UpperAscii(IdentText());
    NextToken();
  } else if (IsPlainWord("ATOMIC")) {
    // BEGIN ATOMIC WITH (...) of natively compiled routines.
    NextToken();
    if (scan_.Kind == msk::With) {
      NextToken();
      if (scan_.Kind == tk::LParen) SkipBalanced();
    }
  }
  const bool ended = ParseStatementsUntilEnd(context);
  if (!ended) {
    if (!AtStatementEnd() || BodyMode) Error("Must be: END");
    return;
  }
  NextToken();  // END
  if (!kind.empty()) {
    if (IsPlainWord(kind)) NextToken();
    else ExpectWord(kind);
  }
}

void TMSSQLParser::ParseBeginDialog(TDbObj* context) {
  if (IsPlainWord("CONVERSATION")) {
    NextToken();
    if (IsPlainWord("TIMER")) {
      // BEGIN CONVERSATION TIMER (@h) TIMEOUT = n
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        ParseExpression(context);
        ExpectAndNext(tk::RParen);
      }
      WordAndNext("TIMEOUT");
      ExpectAndNext(tk::Equal);
      ParseExpression(context);
      return;
    }
  } else {
    NextToken();  // DIALOG
    if (IsPlainWord("CONVERSATION")) NextToken();
  }
  ParseExpression(context);  // the handle
  ExpectAndNext(msk::From);
  WordAndNext("SERVICE");
  ParseNamePart();
  ExpectAndNext(msk::To);
  WordAndNext("SERVICE");
  ParseExpression(context);
  if (scan_.Kind == tk::Comma) {
    NextToken();
    ParseExpression(context);
  }
  if (scan_.Kind == msk::On) {
    NextToken();
    WordAndNext("CONTRACT");
    ParseNamePart();
  }
  if (scan_.Kind != msk::With) return;
  NextToken();
  for (;;) {
    if (IsPlainWord("ENCRYPTION")) {
      NextToken();
      ExpectAndNext(tk::Equal);
      ParseOnOff();
    } else if (scan_.Kind == tk::Ident) {
      // RELATED_CONVERSATION = @h, RELATED_CONVERSATION_GROUP = @g,
      // LIFETIME = n
      NextToken();
      ExpectAndNext(tk::Equal);
      ParseExpression(context);
    } else {
      Expect(tk::Ident);
      return;
    }
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

// ----------------------------------------------------------------- DECLARE

void TMSSQLParser::ParseDeclare(TDbObj* context) {
  NextToken();  // DECLARE
  if (scan_.Kind == tk::Ident && !StartsWith(IdentText(), "@")) {
    // DECLARE name [INSENSITIVE] [SCROLL] CURSOR ...
    NextToken();
    while (IsPlainWord("INSENSITIVE") || IsPlainWord("SCROLL")) NextToken();
    if (Expect(msk::Cursor)) ParseCursorDefinition(context);
    return;
  }
  for (;;) {
    if (!Expect(tk::Ident)) return;
    NextToken();
    if (scan_.Kind == msk::As) NextToken();
    if (scan_.Kind == msk::Cursor) {
      NextToken();
    } else {
      // The type; a table variable's columns go into a throw-away column.
      TFldData variable(Objs(), nullptr);
      ParseDataType(variable, /*add=*/false, /*allowComputed=*/false);
      if (scan_.Kind == tk::Equal) {
        NextToken();
        ParseCondition(context);
      }
    }
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

void TMSSQLParser::ParseCursorDefinition(TDbObj* context) {
  NextToken();  // CURSOR
  while (scan_.Kind == tk::Ident && !identQuoted_) {
    bool option = false;
    for (const char* w :
         {"LOCAL", "GLOBAL", "FORWARD_ONLY", "SCROLL", "STATIC", "KEYSET", "DYNAMIC",
          "FAST_FORWARD", "READ_ONLY", "SCROLL_LOCKS", "OPTIMISTIC", "TYPE_WARNING", "INSENSITIVE"})
      if (IsPlainWord(w)) option = true;
    if (!option) break;
    NextToken();
  }
  if (!ExpectAndNext(msk::For)) return;
  ParseQuery(context);
  if (scan_.Kind != msk::For) return;
  NextToken();
  if (scan_.Kind == msk::Read) {
    NextToken();
    if (IsPlainWord("ONLY")) NextToken();
    else Error("Must be: READ ONLY / UPDATE");
  } else if (scan_.Kind == msk::Update) {
    NextToken();
    if (scan_.Kind == msk::Of) {
      NextToken();
      for (;;) {
        ExpectAndNext(tk::Ident);
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
    }
  } else {
    Error("Must be: READ ONLY / UPDATE");
  }
}

// ------------------------------------------------------------ data changes

void TMSSQLParser::ParseOutputClause(TDbObj* context) {
  // OUTPUT list [INTO target [(columns)]], twice at most.
  while (IsPlainWord("OUTPUT")) {
    NextToken();
    ParseSelectList(context);
    if (scan_.Kind != msk::Into) continue;
    NextToken();
    const std::size_t locals = localTables_.size();
    const TDmlTarget target = ParseDmlTarget();
    if (scan_.Kind == tk::LParen) SkipBalanced();
    LinkDmlTarget(context, target, locals);
  }
}

void TMSSQLParser::ParseDmlTail(TDbObj* context, const TDmlTarget& target,
                                std::size_t localsBefore) {
  ParseOutputClause(context);
  if (scan_.Kind == msk::From) {
    NextToken();
    ParseFromList(context);
  }
  if (scan_.Kind == msk::Where) {
    NextToken();
    ParseCondition(context);
  }
  if (scan_.Kind == msk::Option) ParseQueryHints(context);
  LinkDmlTarget(context, target, localsBefore);
}

void TMSSQLParser::ParseInsert(TDbObj* context) {
  NextToken();  // INSERT
  ParseTop(context);
  if (scan_.Kind == msk::Into) NextToken();
  const std::size_t locals = localTables_.size();
  const TDmlTarget target = ParseDmlTarget();
  ParseTargetHints();
  if (scan_.Kind == tk::LParen) {
    // The column list, unless a query in parentheses follows at once.
    TParseContext saved(this);
    NextToken();
    const bool query = scan_.Kind == msk::Select || scan_.Kind == msk::With;
    TParseContext::Restore(*this, saved);
    if (!query) SkipBalanced();
  }
  ParseOutputClause(context);
  switch (scan_.Kind) {
    case msk::Values: ParseValuesList(context); break;
    case msk::Select:
    case msk::With:
    case tk::LParen: ParseQuery(context); break;
    case msk::Exec: ParseExecute(context); break;
    case msk::Default:
      NextToken();
      ExpectAndNext(msk::Values);
      break;
    default: Error("Unknown INSERT-statement"); return;
  }
  LinkDmlTarget(context, target, locals);
}

void TMSSQLParser::ParseUpdate(TDbObj* context) {
  if (scan_.Kind == msk::Statistics) {
    ParseUpdateStatistics();
    return;
  }
  ParseTop(context);
  const std::size_t locals = localTables_.size();
  const TDmlTarget target = ParseDmlTarget();
  ParseTargetHints();
  if (ExpectAndNext(msk::Set)) {
    for (;;) {
      // col = x, @v = col = x, t.col += x, col.WRITE(...), col.Method(...)
      if (!Expect(tk::Ident)) break;
      ParseObjectName(TDbObject::dboUnknown, false);
      if (IsAssignOperator()) {
        NextToken();
        ParseCondition(context);
      } else if (scan_.Kind == tk::LParen) {
        SkipBalanced();
      } else {
        Error("? Must be Assignment (=)");
        break;
      }
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
  }
  ParseDmlTail(context, target, locals);
}

void TMSSQLParser::ParseUpdateStatistics() {
  NextToken();  // STATISTICS
  ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
  if (scan_.Kind == tk::LParen) SkipBalanced();
  else if (scan_.Kind == tk::Ident) NextToken();
  if (scan_.Kind != msk::With) return;
  NextToken();
  for (;;) {
    if (IsPlainWord("SAMPLE")) {
      NextToken();
      ParseExpression(nullptr);
      if (scan_.Kind == msk::Percent || IsPlainWord("ROWS")) NextToken();
    } else if (scan_.Kind == tk::Ident || scan_.Kind == msk::All || scan_.Kind == msk::Index) {
      // FULLSCAN, RESAMPLE, NORECOMPUTE, COLUMNS, ALL, INDEX
      NextToken();
    } else {
      Expect(tk::Ident);
      return;
    }
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

void TMSSQLParser::ParseDelete(TDbObj* context) {
  NextToken();  // DELETE
  ParseTop(context);
  if (scan_.Kind == msk::From) NextToken();
  const std::size_t locals = localTables_.size();
  const TDmlTarget target = ParseDmlTarget();
  ParseTargetHints();
  ParseDmlTail(context, target, locals);
}

void TMSSQLParser::ParseMerge(TDbObj* context) {
  NextToken();  // MERGE
  ParseTop(context);
  if (scan_.Kind == msk::Into) NextToken();
  const std::size_t locals = localTables_.size();
  const TDmlTarget target = ParseDmlTarget();
  ParseTargetHints();
  if (!IsPlainWord("USING")) ParseAlias(/*columnList=*/false);
  WordAndNext("USING");
  ParseTableSource(context);
  ParseJoins(context);
  if (ExpectAndNext(msk::On)) ParseCondition(context);
  while (scan_.Kind == msk::When) {
    NextToken();
    if (scan_.Kind == msk::Not) NextToken();
    WordAndNext("MATCHED");
    if (scan_.Kind == msk::By) {
      NextToken();
      if (IsPlainWord("TARGET") || IsPlainWord("SOURCE")) NextToken();
      else Error("Must be: SOURCE / TARGET");
    }
    if (scan_.Kind == msk::And) {
      NextToken();
      ParseCondition(context);
    }
    ExpectAndNext(msk::Then);
    if (scan_.Kind == msk::Update) {
      NextToken();
      if (ExpectAndNext(msk::Set)) {
        for (;;) {
          if (!Expect(tk::Ident)) break;
          ParseObjectName(TDbObject::dboUnknown, false);
          if (IsAssignOperator()) {
            NextToken();
            ParseCondition(context);
          } else {
            Error("? Must be Assignment (=)");
            break;
          }
          if (scan_.Kind != tk::Comma) break;
          NextToken();
        }
      }
    } else if (scan_.Kind == msk::Delete) {
      NextToken();
    } else if (scan_.Kind == msk::Insert) {
      NextToken();
      if (scan_.Kind == tk::LParen) SkipBalanced();
      if (scan_.Kind == msk::Values) {
        ParseValuesList(context);
      } else if (scan_.Kind == msk::Default) {
        NextToken();
        ExpectAndNext(msk::Values);
      } else {
        Error("Must be: VALUES(...) / DEFAULT VALUES");
        break;
      }
    } else {
      Error("Must be: INSERT / UPDATE / DELETE");
      break;
    }
  }
  ParseOutputClause(context);
  if (scan_.Kind == msk::Option) ParseQueryHints(context);
  LinkDmlTarget(context, target, locals);
}

// ------------------------------------------------------- other statements

void TMSSQLParser::ParseRaiseError(TDbObj* context) {
  NextToken();  // RAISERROR
  const bool parens = scan_.Kind == tk::LParen;
  if (parens) NextToken();
  while (IsExpressionStart()) {
    const std::size_t before = TokenStart();
    ParseCondition(context);
    if (TokenStart() == before) {
      Error("RaisError loop");
      NextToken();
      break;
    }
    if (scan_.Kind == tk::Comma) NextToken();
  }
  if (parens) ExpectAndNext(tk::RParen);
  if (scan_.Kind != msk::With) return;
  NextToken();
  // LOG, NOWAIT, SETERROR
  while (scan_.Kind == tk::Ident) {
    NextToken();
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
}

void TMSSQLParser::ParseThrow(TDbObj* context) {
  NextToken();  // THROW
  if (!IsExpressionStart()) return;
  ParseConditionList(context);
}

void TMSSQLParser::ParseFetch(TDbObj* context) {
  NextToken();  // FETCH
  if (IsPlainWord("NEXT") || IsPlainWord("PRIOR") || IsPlainWord("FIRST") || IsPlainWord("LAST")) {
    NextToken();
  } else if (IsPlainWord("ABSOLUTE") || IsPlainWord("RELATIVE")) {
    NextToken();
    ParseExpression(context);
  }
  if (scan_.Kind == msk::From) NextToken();
  if (IsPlainWord("GLOBAL")) NextToken();
  ExpectAndNext(tk::Ident);
  if (scan_.Kind != msk::Into) return;
  NextToken();
  for (;;) {
    ExpectAndNext(tk::Ident);
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

void TMSSQLParser::ParseWaitFor(TDbObj* context) {
  NextToken();  // WAITFOR
  if (IsPlainWord("DELAY") || IsPlainWord("TIME")) {
    NextToken();
    ParseExpression(context);
    return;
  }
  if (scan_.Kind != tk::LParen) {
    Error("Must be: DELAY/TIME / (...)");
    return;
  }
  NextToken();
  ParseStatement(context);
  ExpectAndNext(tk::RParen);
  if (scan_.Kind == tk::Comma) NextToken();
  if (IsPlainWord("TIMEOUT")) {
    NextToken();
    ParseExpression(context);
  }
}

void TMSSQLParser::ParseTextPointerStatement() {
  // UPDATETEXT / WRITETEXT / READTEXT table.column pointer ...
  const TTokenKind k = scan_.Kind;
  NextToken();
  ParseObjectName(TDbObject::dboField, /*defaultOwner=*/false);
  for (;;) {
    if (scan_.Kind == msk::With) {
      NextToken();
      WordAndNext("LOG");
    } else if (k == msk::Readtext && scan_.Kind == msk::Holdlock) {
      NextToken();
    } else if (IsExpressionStart() && scan_.Kind != msk::Not && scan_.Kind != msk::Update) {
      ParseExpression(nullptr);
    } else {
      return;
    }
    if (scan_.Kind == tk::Comma) NextToken();
  }
}

void TMSSQLParser::ParseDbcc() {
  NextToken();  // DBCC
  ExpectAndNext(tk::Ident);
  if (scan_.Kind == tk::LParen) SkipBalanced();
  if (scan_.Kind != msk::With) return;
  NextToken();
  for (;;) {
    ExpectAndNext(tk::Ident);
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

void TMSSQLParser::ParseBackupOptions() {
  for (;;) {
    if (IsPlainWord("MOVE")) {
      NextToken();
      ParseExpression(nullptr);
      ExpectAndNext(msk::To);
      ParseExpression(nullptr);
    } else if (scan_.Kind == tk::Ident || scan_.Kind == msk::File) {
      // FORMAT, INIT, NOREWIND, REPLACE ..., or a word = value
      NextToken();
      if (scan_.Kind == tk::Equal) {
        NextToken();
        ParseExpression(nullptr);
      }
    } else {
      Expect(tk::Ident);
      return;
    }
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

void TMSSQLParser::ParseBackupRestore(bool backup) {
  NextToken();  // BACKUP / RESTORE
  if (scan_.Kind == msk::Database || IsPlainWord("LOG")) {
    NextToken();
  } else if (!backup && (IsPlainWord("FILELISTONLY") || IsPlainWord("HEADERONLY") ||
                         IsPlainWord("VERIFYONLY") || IsPlainWord("LABELONLY"))) {
    NextToken();
    ExpectAndNext(msk::From);
    goto devices;
  } else {
    Error(backup ? "Unknown BACKUP-statement" : "Unknown RESTORE statement");
    return;
  }
  if (scan_.Kind == tk::Ident || scan_.Kind == tk::String) NextToken();
  else Expect(tk::Ident);
  if (scan_.Kind != (backup ? msk::To : msk::From)) {
    if (scan_.Kind == msk::With) {
      NextToken();
      ParseBackupOptions();
    }
    return;
  }
  NextToken();
devices:
  for (;;) {
    if (scan_.Kind == msk::Disk || IsPlainWord("TAPE") || IsPlainWord("URL")) {
      NextToken();
      ExpectAndNext(tk::Equal);
      ParseExpression(nullptr);
    } else if (scan_.Kind == tk::Ident) {
      NextToken();  // a backup device by its name
    } else {
      Expect(msk::Disk);
      return;
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (scan_.Kind == msk::With) {
    NextToken();
    ParseBackupOptions();
  }
}

void TMSSQLParser::ParseSend(TDbObj* context) {
  NextToken();  // SEND
  ExpectAndNext(msk::On);
  WordAndNext("CONVERSATION");
  if (scan_.Kind == tk::LParen) SkipBalanced();  // a list of handles
  else ParseExpression(context);
  if (IsPlainWord("MESSAGE")) {
    NextToken();
    WordAndNext("TYPE");
    ParseNamePart();
  }
  if (scan_.Kind == tk::LParen) {
    NextToken();
    ParseCondition(context);
    ExpectAndNext(tk::RParen);
  }
}

void TMSSQLParser::ParseReceive(TDbObj* context) {
  NextToken();  // RECEIVE
  if (scan_.Kind == msk::Top) {
    NextToken();
    ParseFactor(context);
  }
  ParseSelectList(context);
  ExpectAndNext(msk::From);
  ParseObjectName(TDbObject::dboUnknown, /*defaultOwner=*/false);
  if (scan_.Kind == msk::Into) {
    NextToken();
    ExpectAndNext(tk::Ident);
  }
  if (scan_.Kind == msk::Where) {
    NextToken();
    ParseCondition(context);
  }
}

void TMSSQLParser::ParseEnableTrigger() {
  NextToken();  // ENABLE / DISABLE
  ExpectAndNext(msk::Trigger);
  if (scan_.Kind == msk::All) {
    NextToken();
  } else {
    for (;;) {
      ParseObjectName(TDbObject::dboTrigger, /*defaultOwner=*/false);
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
  }
  if (scan_.Kind != msk::On) return;
  NextToken();
  if (scan_.Kind == msk::Database) {
    NextToken();
  } else if (scan_.Kind == msk::All) {
    NextToken();
    WordAndNext("SERVER");
  } else {
    ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/false);
  }
}

}  // namespace qor
