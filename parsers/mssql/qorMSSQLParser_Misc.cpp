// The CREATE, ALTER and DROP dispatchers, CREATE SCHEMA, SET options,
// EXECUTE and procedure calls with sp_executesql, IF and BEGIN ... END
// blocks. Statements that build nothing of the model are read so that the
// parser stays in step; the ones this parser does not read yet are passed
// over with a note.
#include "parsers/mssql/qorMSSQLParser.h"

#include "model/qorClasses.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

bool TMSSQLParser::CanStartStatement() const {
  switch (scan_.Kind) {
    case tk::Ident: case tk::LParen: case msk::Label: case msk::SET: case msk::INSERT:
    case msk::DELETE: case msk::UPDATE: case msk::SELECT: case msk::BEGIN:
    case msk::RECONFIGURE: case msk::SHUTDOWN: case msk::CHECKPOINT: case msk::BREAK:
    case msk::CONTINUE: case msk::CREATE: case msk::ALTER: case msk::DROP: case msk::GRANT:
    case msk::REVOKE: case msk::DENY: case msk::EXEC: case msk::IF: case msk::DECLARE:
    case msk::TRUNCATE: case msk::DUMP: case msk::SAVE: case msk::OPEN: case msk::GOTO:
    case msk::DEALLOCATE: case msk::CLOSE: case msk::USE: case msk::ROLLBACK: case msk::COMMIT:
    case msk::PRINT: case msk::SETUSER: case msk::RAISERROR: case msk::WAITFOR:
    case msk::RETURN: case msk::WHILE: case msk::FETCH: case msk::BACKUP: case msk::RESTORE:
    case msk::DBCC: case msk::UPDATETEXT: case msk::READTEXT: case msk::WRITETEXT:
    case msk::WITH: case msk::EndConversation:
      return true;
    default:
      return false;
  }
}

// ------------------------------------------------------------------ CREATE

void TMSSQLParser::ParseCreate(TDbObj* context) {
  NextToken();  // CREATE
  if (scan_.Kind == msk::OR) {
    // CREATE OR ALTER reads as CREATE.
    NextToken();
    ExpectAndNext(msk::ALTER);
  }
  auto notRead = [&](const std::string& what) {
    SkipBatch("CREATE " + what + " is not read: passed over to the end of its batch");
  };
  switch (scan_.Kind) {
    case msk::TABLE:
      ParseCreateTable(nullptr, context);
      return;
    case msk::INDEX:
      ParseCreateIndex(false, false, context);
      return;
    case msk::CLUSTERED:
    case msk::NONCLUSTERED: {
      const bool clustered = scan_.Kind == msk::CLUSTERED;
      NextToken();
      if (Expect(msk::INDEX)) ParseCreateIndex(false, clustered, context);
      return;
    }
    case msk::UNIQUE: {
      NextToken();
      bool clustered = false;
      if (scan_.Kind == msk::CLUSTERED || scan_.Kind == msk::NONCLUSTERED) {
        clustered = scan_.Kind == msk::CLUSTERED;
        NextToken();
      }
      if (Expect(msk::INDEX)) ParseCreateIndex(true, clustered, context);
      return;
    }
    case msk::PRIMARY:
      NextToken();
      ParseCreateXmlIndex(true, context);
      return;
    case msk::VIEW:
      ParseCreateView(nullptr, false);
      return;
    case msk::PROC:
      ParseCreateRoutine(context, nullptr, false, false);
      return;
    case msk::FUNCTION:
      ParseCreateRoutine(context, nullptr, true, false);
      return;
    case msk::TRIGGER:
      ParseCreateTrigger(context, nullptr, false);
      return;
    case msk::RULE:
      ParseCreateRule(nullptr);
      return;
    case msk::DEFAULT:
      ParseCreateDefault(nullptr);
      return;
    case msk::SCHEMA:
      ParseCreateSchema();
      return;
    case msk::USER:
    case msk::DATABASE:
    case msk::STATISTICS:
      notRead(CurTokenName());
      return;
    case tk::Ident: {
      const std::string word = UpperAscii(scan_.Ident);
      if (word == "XML") {
        NextToken();
        if (scan_.Kind == msk::INDEX) {
          ParseCreateXmlIndex(false, context);
          return;
        }
        notRead("XML " + (scan_.Kind == tk::Ident ? scan_.Ident : CurTokenName()));
        return;
      }
      if (word == "FULLTEXT") {
        NextToken();
        if (scan_.Kind == msk::INDEX) {
          ParseCreateFullTextIndex(context);
          return;
        }
        notRead("FULLTEXT " + (scan_.Kind == tk::Ident ? scan_.Ident : CurTokenName()));
        return;
      }
      static const char* const kServerObjects[] = {
          "ASSEMBLY", "MESSAGE", "CONTRACT", "QUEUE", "SERVICE", "CERTIFICATE", "LOGIN",
          "ROLE", "TYPE", "SEQUENCE", "SYNONYM", "PARTITION", "APPLICATION", "ASYMMETRIC",
          "SYMMETRIC", "CREDENTIAL", "ENDPOINT", "EVENT", "AGGREGATE", "SPATIAL", "COLUMNSTORE",
          "SECURITY", "EXTERNAL", "SEARCH", "SELECTIVE", "BROKER", "ROUTE", "REMOTE",
          "RESOURCE", "WORKLOAD", "SERVER", "MASTER", "COLUMN", "DATABASE"};
      for (const char* w : kServerObjects)
        if (word == w) {
          notRead(word);
          return;
        }
      Error("Unknown CREATE-statement: " + scan_.Ident);
      NextToken();
      return;
    }
    default:
      Error("Unknown CREATE-statement: " + CurTokenName());
      NextToken();
      return;
  }
}

void TMSSQLParser::ParseCreateSchema() {
  NextToken();  // SCHEMA
  std::string name, owner;
  if (scan_.Kind == tk::Ident) {
    name = FoldName(scan_.Ident);
    NextToken();
  }
  if (scan_.Kind == msk::AUTHORIZATION) {
    NextToken();
    owner = FoldName(scan_.Ident);
    ExpectAndNext(tk::Ident);
  }
  if (name.empty()) name = owner;
  if (owner.empty()) owner = name;
  if (name.empty()) {
    Error("Missing: " + TokenName(tk::Ident) + " (" + CurTokenName() + ")");
    return;
  }
  auto sch = std::make_unique<TSchData>(Objs());
  sch->SetName(name);
  sch->Authorization = owner;
  SetStatement(TDbObject::dboSchema, name, 1);
  if (Objs()) Objs()->AddObject(sch, /*freeOnFail=*/true);
}

// ------------------------------------------------------------ ALTER, DROP

void TMSSQLParser::ParseAlter(TDbObj* context) {
  NextToken();  // ALTER
  switch (scan_.Kind) {
    case msk::TABLE:
      ParseAlterTable(context);
      return;
    case msk::PROC:
      ParseCreateRoutine(context, nullptr, false, true);
      return;
    case msk::FUNCTION:
      ParseCreateRoutine(context, nullptr, true, true);
      return;
    case msk::TRIGGER:
      ParseCreateTrigger(context, nullptr, true);
      return;
    case msk::DATABASE:
      SkipBatch("ALTER DATABASE is not read: passed over to the end of its batch");
      return;
    default:
      if (scan_.Kind == tk::Ident) {
        const std::string word = UpperAscii(scan_.Ident);
        for (const char* w : {"ASSEMBLY", "QUEUE", "CERTIFICATE", "LOGIN", "ROLE", "SCHEMA",
                              "USER", "SEQUENCE", "AUTHORIZATION"})
          if (word == w) {
            SkipBatch("ALTER " + word + " is not read: passed over to the end of its batch");
            return;
          }
      }
      Error("Unknown/Invalid ALTER-statement");
      // The rest of the statement would only produce follow-up errors.
      SkipToBatchEnd();
      return;
  }
}

void TMSSQLParser::ParseDrop() {
  NextToken();  // DROP
  TDbObject kind = TDbObject::dboUnknown;
  switch (scan_.Kind) {
    case msk::DATABASE: kind = TDbObject::dboDatabase; break;
    case msk::TABLE: kind = TDbObject::dboTable; break;
    case msk::VIEW: kind = TDbObject::dboView; break;
    case msk::TRIGGER: kind = TDbObject::dboTrigger; break;
    case msk::DEFAULT: kind = TDbObject::dboDefault; break;
    case msk::RULE: kind = TDbObject::dboRule; break;
    case msk::INDEX: kind = TDbObject::dboIndex; break;
    case msk::PROC:
    case msk::FUNCTION: kind = TDbObject::dboProcedure; break;
    case msk::USER:
    case msk::SCHEMA:
    case msk::STATISTICS: break;
    default:
      if (scan_.Kind == tk::Ident) {
        const std::string word = UpperAscii(scan_.Ident);
        bool known = false;
        for (const char* w : {"LOGIN", "SERVICE", "QUEUE", "CONTRACT", "CERTIFICATE", "MESSAGE",
                              "TYPE", "SEQUENCE", "SYNONYM", "ROLE", "ASSEMBLY", "XML",
                              "FULLTEXT", "PARTITION", "AGGREGATE"})
          if (word == w) known = true;
        if (known) {
          // Multi-word kinds: MESSAGE TYPE, XML SCHEMA COLLECTION ...
          NextToken();
          while ((scan_.Kind == tk::Ident && (IsPlainWord("TYPE") || IsPlainWord("COLLECTION") ||
                                              IsPlainWord("CATALOG") || IsPlainWord("STOPLIST") ||
                                              IsPlainWord("SCHEME"))) ||
                 scan_.Kind == msk::SCHEMA || scan_.Kind == msk::INDEX ||
                 scan_.Kind == msk::FUNCTION) {
            NextToken();
            if (!IsPlainWord("TYPE") && !IsPlainWord("COLLECTION")) break;
          }
          goto names;
        }
      }
      Error("Unknown DROP-statement");
      NextToken();
      return;
  }
  NextToken();
names:
  if (scan_.Kind == msk::IF) {
    // DROP ... IF EXISTS reads as DROP.
    NextToken();
    ExpectAndNext(msk::EXISTS);
  }
  std::string last;
  for (;;) {
    if (kind == TDbObject::dboIndex) {
      ParseObjectName(TDbObject::dboIndex, false);
      if (scan_.Kind == msk::ON) {
        // DROP INDEX ix ON table
        const std::string index = NameSubObject.empty() ? NameObject : NameSubObject;
        NextToken();
        ParseObjectName(TDbObject::dboTable, false);
        NameSubObject = index;
      }
      last = NameObject + "." + NameSubObject;
    } else {
      ParseObjectName(kind, false);
      last = NameObject;
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  SetStatement(kind, last, 3);
}

// --------------------------------------------------------------------- SET

void TMSSQLParser::ParseSet() {
  NextToken();  // SET
  std::vector<std::string> words;
  for (;;) {
    if (scan_.Kind == tk::Ident && StartsWith(scan_.Ident, "@")) {
      NextToken();
      switch (scan_.Kind) {
        case tk::Equal: case msk::PlusAssign: case msk::MinusAssign: case msk::StarAssign:
        case msk::SlashAssign: case msk::PercentAssign: case msk::CaretAssign:
        case msk::AmpAssign: case msk::PipeAssign: case msk::StarEqual:
          NextToken();
          if (scan_.Kind == msk::CURSOR) PassStatement(nullptr, "Cursor variable");
          else ReadExpression();
          break;
        default:
          break;
      }
    } else if (scan_.Kind == msk::TEXTSIZE || scan_.Kind == 206 /* ROWCOUNT */) {
      NextToken();
      ReadExpression();
    } else if (scan_.Kind == msk::IDENTITY_INSERT) {
      NextToken();
      std::string db, owner, name;
      ParseThreePartName(db, owner, name);
      if (scan_.Kind != msk::ON && scan_.Kind != msk::OFF) Error("Must be: ON / OFF.");
    } else if (scan_.Kind == msk::TRAN) {
      NextToken();
      if (IsPlainWord("ISOLATION")) NextToken();
      if (IsPlainWord("LEVEL")) NextToken();
      if (scan_.Kind == msk::READ) {
        NextToken();
        if (IsPlainWord("UNCOMMITTED") || IsPlainWord("COMMITTED")) NextToken();
        else Error("Unknown transaction isolation level");
      } else if (IsPlainWord("REPEATABLE")) {
        NextToken();
        if (scan_.Kind == msk::READ) NextToken();
      } else if (IsPlainWord("SERIALIZABLE") || IsPlainWord("SNAPSHOT")) {
        NextToken();
      } else {
        Error("Unknown transaction isolation level");
      }
    } else if (scan_.Kind == msk::STATISTICS) {
      NextToken();
      while (scan_.Kind == tk::Ident) {
        NextToken();
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
    } else if (scan_.Kind == tk::Ident) {
      const std::string word = UpperAscii(scan_.Ident);
      NextToken();
      if (word == "BLOBFILE") {
        StatementCode = 4;
        SetStatement(StatementObjectKind, TokenText(), 8);
        Expect(tk::String);
        NextToken();
      } else if (scan_.Kind != msk::ON && scan_.Kind != msk::OFF && scan_.Kind != tk::Comma &&
                 !AtStatementEnd() && IsOperandStart()) {
        // DATEFORMAT dmy, LANGUAGE us_english, LOCK_TIMEOUT 100 ...
        ReadExpression();
      } else {
        words.push_back(word);
      }
    } else {
      Error("Unknown SET-statement.");
      NextToken();
      return;
    }
    if (scan_.Kind == msk::ON || scan_.Kind == msk::OFF) {
      const bool on = scan_.Kind == msk::ON;
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
  if (scan_.Kind == msk::AS) {
    NextToken();
    if (IsPlainWord("LOGIN") || scan_.Kind == msk::USER) {
      NextToken();
      ExpectAndNext(tk::Equal);
      ReadExpression();
    } else if (IsPlainWord("CALLER")) {
      NextToken();
    } else {
      Error("Must be: LOGIN / USER / CALLER");
    }
    return;
  }
  if (scan_.Kind == tk::LParen) {
    // Dynamic SQL: its text is not read, but an object it would create is
    // not lost without a word.
    const std::int32_t line = tokenLine_, column = tokenColumn_;
    bool creates = false;
    int depth = 0;
    do {
      if (scan_.Kind == tk::LParen) ++depth;
      else if (scan_.Kind == tk::RParen) --depth;
      else if (scan_.Kind == tk::String && UpperAscii(TokenText()).find("CREATE ") != std::string::npos)
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
    if (scan_.Kind == msk::AS || IsPlainWord("AT")) {
      NextToken();
      if (IsPlainWord("LOGIN") || scan_.Kind == msk::USER) NextToken();
      if (scan_.Kind == tk::Equal) NextToken();
      ReadExpression();
    }
    return;
  }
  if (scan_.Kind == tk::Ident && StartsWith(scan_.Ident, "@")) {
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind != tk::Equal) {
      // EXEC @procedureNameVariable args
      ParseArgumentList();
      return;
    }
    NextToken();  // @status = procedure
  }
  if (scan_.Kind == tk::Ident) {
    ParseProcedureCall(context, /*viaExec=*/true);
    return;
  }
  ReadExpression();
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
    ParseArgumentList();
    return;
  }
  PassStatement(context, "Procedure call");
}

void TMSSQLParser::ParseArgumentList() {
  if (scan_.Kind == tk::Semicolon && PeekChar() >= '0' && PeekChar() <= '9') {
    NextToken();
    NextToken();
  }
  while (IsOperandStart()) {
    const std::size_t before = TokenStart();
    ReadExpression();
    if (IsPlainWord("OUTPUT") || IsPlainWord("OUT")) NextToken();
    if (TokenStart() == before) break;
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  if (scan_.Kind == msk::WITH) {
    NextToken();
    if (scan_.Kind == tk::Ident) NextToken();
  }
}

void TMSSQLParser::ParseExecuteSql(TDbObj* /*context*/) {
  std::string sql;
  bool haveText = false;
  if (scan_.Kind == tk::Ident && StartsWith(scan_.Ident, "@")) {
    TParseContext saved(this);
    NextToken();
    if (scan_.Kind == tk::Equal) NextToken();
    else TParseContext::Restore(*this, saved);
  }
  if (scan_.Kind == tk::String) {
    sql = TokenText();
    haveText = true;
    NextToken();
  } else {
    ReadExpression();
  }
  if (haveText) {
    // The statement in the string is read by a parser of its own, which
    // reports into this one; a script without an extractor needs it too.
    if (!NestedParser) {
      NestedParser = std::make_unique<TMSSQLParser>(nullptr);
      NestedParser->OwnerParser = this;
      NestedParser->ReportInto(this);
    }
    TMSSQLParser& n = *NestedParser;
    n.SetObjs(Objs());
    n.BodyMode = BodyMode;
    n.OnErrorMessage = OnErrorMessage;
    n.OnLogNextLine = OnLogNextLine;
    n.OnWarning = OnWarning;
    n.ShowProgress = false;
    n.ScriptName = ScriptName;
    n.QuotedIdentifiers = QuotedIdentifiers;
    n.AnsiNulls = AnsiNulls;
    n.SetSource(sql);
    n.NextToken();
    n.ParseStatement(nullptr);
    n.SetSource({});
  }
  while (scan_.Kind == tk::Comma) {
    NextToken();
    ReadExpression();
    if (IsPlainWord("OUTPUT") || IsPlainWord("OUT")) NextToken();
  }
}

// ---------------------------------------------------------- IF and blocks

void TMSSQLParser::ParseIf(TDbObj* context) {
  NextToken();  // IF
  ReadExpression();
  if (AtStatementEnd()) return;
  // The statement under IF is parsed, so that a guarded CREATE keeps its
  // object.
  ParseStatement(context);
  while (scan_.Kind == tk::Semicolon) NextToken();
  if (scan_.Kind == msk::ELSE) {
    NextToken();
    ParseStatement(context);
  }
}

void TMSSQLParser::ParseBlock(TDbObj* context) {
  NextToken();  // BEGIN
  if (scan_.Kind == msk::TRAN || scan_.Kind == 129 /* DISTRIBUTED */) {
    if (scan_.Kind != msk::TRAN) NextToken();
    NextToken();
    if (scan_.Kind == tk::Ident) NextToken();
    if (scan_.Kind == msk::WITH) {
      NextToken();
      if (IsPlainWord("MARK")) NextToken();
      if (scan_.Kind == tk::String) NextToken();
    }
    return;
  }
  if (IsPlainWord("DIALOG") || IsPlainWord("CONVERSATION")) {
    PassStatement(context, "BEGIN DIALOG statement");
    return;
  }
  const bool tryCatch = IsPlainWord("TRY") || IsPlainWord("CATCH");
  if (tryCatch) NextToken();
  while (!AtStatementEnd() && scan_.Kind != msk::END) {
    TNestingGuard guard(*this);
    if (!guard.Ok()) return;
    if (scan_.Kind == tk::Semicolon) {
      NextToken();
      continue;
    }
    if (!CanStartStatement()) {
      Error("Unknown statement: " + CurTokenName());
      NextToken();
      continue;
    }
    const std::size_t before = TokenStart();
    ParseStatement(context);
    if (TokenStart() == before && !AtStatementEnd()) NextToken();
  }
  if (scan_.Kind == msk::END) {
    NextToken();
    if (tryCatch && (IsPlainWord("TRY") || IsPlainWord("CATCH"))) NextToken();
  }
}

}  // namespace qor
