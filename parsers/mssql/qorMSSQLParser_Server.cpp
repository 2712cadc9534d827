// The CREATE, ALTER and DROP dispatchers, the schema objects that are not
// tables or bodies (schemas, CREATE TYPE types, sequences, XML schema
// collections), CREATE and ALTER DATABASE with the options they set, and
// the server objects (assemblies, Service Broker objects, certificates,
// logins, users, roles, full-text catalogs, statistics) that are read so
// that the parser stays in step but build nothing of the model.
#include "parsers/mssql/qorMSSQLParser.h"

#include "model/qorClasses.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

constexpr const char* kXmlSchemaCollection = "XML SCHEMA COLLECTION";

}  // namespace

// ------------------------------------------------------------------ CREATE

void TMSSQLParser::ParseCreate(TDbObj* context) {
  NextToken();  // CREATE
  if (scan_.Kind == msk::Or) {
    // CREATE OR ALTER reads as CREATE.
    NextToken();
    ExpectAndNext(msk::Alter);
  }
  switch (scan_.Kind) {
    case msk::Table: ParseCreateTable(nullptr, context); return;
    case msk::Index: ParseCreateIndex(false, false, context); return;
    case msk::Clustered:
    case msk::Nonclustered: {
      const bool clustered = scan_.Kind == msk::Clustered;
      NextToken();
      if (Expect(msk::Index)) ParseCreateIndex(false, clustered, context);
      return;
    }
    case msk::Unique: {
      NextToken();
      bool clustered = false;
      if (scan_.Kind == msk::Clustered || scan_.Kind == msk::Nonclustered) {
        clustered = scan_.Kind == msk::Clustered;
        NextToken();
      }
      if (Expect(msk::Index)) ParseCreateIndex(true, clustered, context);
      return;
    }
    case msk::Primary:
      NextToken();
      ParseCreateXmlIndex(true, context);
      return;
    case msk::View:
      if (InBody(context, "VIEW")) return;
      ParseCreateView(nullptr, false);
      return;
    case msk::Proc:
    case msk::Function:
      if (InBody(context, CurTokenName())) return;
      ParseCreateRoutine(context, nullptr, scan_.Kind == msk::Function, false);
      return;
    case msk::Trigger:
      if (InBody(context, "TRIGGER")) return;
      ParseCreateTrigger(context, nullptr, false);
      return;
    case msk::Rule:
      if (InBody(context, "RULE")) return;
      ParseCreateRule(nullptr);
      return;
    case msk::Default:
      if (InBody(context, "DEFAULT")) return;
      ParseCreateDefault(nullptr);
      return;
    case msk::Schema:
      if (InBody(context, "SCHEMA")) return;
      ParseCreateSchema();
      return;
    case msk::User: ParseCreateUser(); return;
    case msk::Database: ParseCreateDatabase(); return;
    case msk::Statistics: ParseCreateStatistics(); return;
    case tk::Ident: break;
    default:
      Error("Unknown CREATE-statement: " + CurTokenName());
      NextToken();
      return;
  }
  const std::string word = identQuoted_ ? std::string() : UpperAscii(IdentText());
  if (word == "TYPE") return ParseCreateType(context == nullptr);
  if (word == "SEQUENCE") return ParseCreateSequence(context == nullptr);
  if (word == "ASSEMBLY") return ParseAssembly(false);
  if (word == "MESSAGE") return ParseMessageType();
  if (word == "CONTRACT") return ParseContract();
  if (word == "QUEUE") return ParseQueue();
  if (word == "SERVICE") return ParseService();
  if (word == "CERTIFICATE") return ParseCertificate(false);
  if (word == "LOGIN") return ParseCreateLogin();
  if (word == "ROLE") {
    NextToken();
    ParseNamePart();
    ParseAuthorization();
    return;
  }
  if (word == "XML") {
    NextToken();
    if (scan_.Kind == msk::Schema) return ParseCreateXmlSchemaCollection(context == nullptr);
    if (scan_.Kind == msk::Index) return ParseCreateXmlIndex(false, context);
    Error("Must be: SCHEMA COLLECTION / INDEX");
    return;
  }
  if (word == "FULLTEXT") {
    NextToken();
    if (scan_.Kind == msk::Index) return ParseCreateFullTextIndex(context);
    if (IsPlainWord("CATALOG")) return ParseFullTextCatalog();
    if (IsPlainWord("STOPLIST")) {
      // The word and the list's name.
      NextToken();
      if (!AtStatementEnd()) NextToken();
      return;
    }
    Error("Unknown CREATE-statement: FULLTEXT " + CurTokenName());
    return;
  }
  // Kinds of the server this model has no place for: passed over to the
  // batch end, with a note that names them.
  static const char* const kNotModelled[] = {
      "SYNONYM",  "PARTITION", "APPLICATION", "ASYMMETRIC", "SYMMETRIC",   "CREDENTIAL",
      "ENDPOINT", "EVENT",     "AGGREGATE",   "SPATIAL",    "COLUMNSTORE", "SECURITY",
      "EXTERNAL", "SEARCH",    "SELECTIVE",   "BROKER",     "ROUTE",       "REMOTE",
      "RESOURCE", "WORKLOAD",  "SERVER",      "MASTER",     "COLUMN"};
  for (const char* w : kNotModelled)
    if (word == w) {
      PassOver("CREATE " + word + " is not read: passed over");
      return;
    }
  Error("Unknown CREATE-statement: " + IdentText());
  NextToken();
}

void TMSSQLParser::ParseAuthorization() {
  if (scan_.Kind != msk::Authorization) return;
  NextToken();
  ParseNamePart();
}

void TMSSQLParser::ParseNamedValues() {
  for (;;) {
    if (!Expect(tk::Ident)) return;
    NextToken();
    ExpectAndNext(tk::Equal);
    ParseOptionValue();
    if (scan_.Kind != tk::Comma) return;
    NextToken();
  }
}

void TMSSQLParser::ParseOptionValue() {
  switch (scan_.Kind) {
    case msk::On:
    case msk::Off:
    case msk::Full:
    case msk::Default:
    case msk::Null: NextToken(); return;
    default:
      if (IsExpressionStart()) ParseExpression(nullptr);
      else Expect(tk::Ident);
  }
}

// ------------------------------------------------- schemas, types, sequences

bool TMSSQLParser::InBody(TDbObj* context, const std::string& kind) {
  if (!context) return false;
  // Only dynamic SQL can create these inside a body; what it creates when
  // the body runs is no object of this schema.
  SkipBatch("CREATE " + kind + " inside a body is not read: passed over to the end of the text");
  return true;
}

void TMSSQLParser::ParseCreateSchema() {
  NextToken();  // SCHEMA
  std::string name, owner;
  if (scan_.Kind == tk::Ident) {
    name = FoldName(IdentText());
    NextToken();
  }
  if (scan_.Kind == msk::Authorization) {
    NextToken();
    if (scan_.Kind == tk::Ident) owner = FoldName(IdentText());
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
  // The schema elements that may follow in the same statement.
  while (scan_.Kind == msk::Create || scan_.Kind == msk::Grant || scan_.Kind == msk::Revoke ||
         scan_.Kind == msk::Deny) {
    const std::size_t before = TokenStart();
    ParseStatement(nullptr);
    if (TokenStart() == before) break;
  }
}

void TMSSQLParser::ParseCreateType(bool add) {
  NextToken();  // TYPE
  ParseObjectName(TDbObject::dboDomain, /*defaultOwner=*/true);
  auto d = std::make_unique<TDmnData>(Objs());
  d->SetParentName(NameOwner);
  d->SetName(NameObject);
  d->CreateTypeFrom = true;
  d->TypeHolder->TableName = NameObject;
  if (scan_.Kind == msk::From) {
    NextToken();
    ParseDataType(*d->TypeHolder, /*add=*/false, /*allowComputed=*/false);
  } else if (scan_.Kind == msk::As && (NextToken(), scan_.Kind == msk::Table)) {
    // A table type: its columns and constraints, none of them added.
    d->TypeHolder->DataType = dt::TABLE;
    d->TypeHolder->TableType = std::make_unique<TTblData>(Objs());
    d->TypeHolder->TableType->SetParentName(NameOwner);
    d->TypeHolder->TableType->SetName(NameObject);
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseTableElements(*d->TypeHolder->TableType, /*add=*/false);
      ExpectAndNext(tk::RParen);
    }
    if (scan_.Kind == msk::With) {
      // WITH (MEMORY_OPTIMIZED = ON)
      NextToken();
      if (scan_.Kind == tk::LParen) SkipBalanced();
    }
  } else if (IsPlainWord("EXTERNAL")) {
    // A CLR type: EXTERNAL NAME assembly.class
    NextToken();
    ExpectWord("NAME");
    if (IsPlainWord("NAME")) NextToken();
    ParseObjectName(TDbObject::dboUnknown, false);
    d->BaseTypeText = "EXTERNAL";
  } else {
    Expect(msk::From);
    return;
  }
  SetStatement(TDbObject::dboDomain, d->GetName(), 1);
  DoLog("Create type: " + d->GetName());
  if (Objs() && add && !d->GetName().empty()) Objs()->AddObject(d, /*freeOnFail=*/true);
}

void TMSSQLParser::ParseCreateSequence(bool add) {
  NextToken();  // SEQUENCE
  ParseObjectName(TDbObject::dboGenerator, /*defaultOwner=*/true);
  auto g = std::make_unique<TGnrData>(Objs());
  g->SetParentName(NameOwner);
  g->SetName(NameObject);
  // The server's defaults until the statement says otherwise.
  g->SetCache("");
  auto readInt = [&](std::string& into) {
    // A sign is joined to the token by Expect.
    if (Expect(tk::Integer)) into = TokenText();
    if (!AtStatementEnd()) NextToken();
  };
  if (scan_.Kind == msk::As) {
    NextToken();
    ParseDataType(*g->SequenceType, /*add=*/false, /*allowComputed=*/false);
  }
  // The options may come in any order, with or without AS.
  for (;;) {
    if (IsPlainWord("START")) {
      NextToken();
      ExpectAndNext(msk::With);
      readInt(g->StartWith);
    } else if (IsPlainWord("INCREMENT")) {
      NextToken();
      ExpectAndNext(msk::By);
      readInt(g->IncrementBy);
    } else if (IsPlainWord("MINVALUE")) {
      NextToken();
      readInt(g->MinValue);
    } else if (IsPlainWord("MAXVALUE")) {
      NextToken();
      std::string v;
      readInt(v);
      g->SetMaxValue(v);
      g->NoMaxValue = false;
    } else if (IsPlainWord("NO")) {
      NextToken();
      if (IsPlainWord("MINVALUE")) {
        g->MinValue.clear();
      } else if (IsPlainWord("MAXVALUE")) {
        g->SetMaxValue("");
        g->NoMaxValue = true;
      } else if (IsPlainWord("CYCLE")) {
        g->Cycle = false;
      } else if (IsPlainWord("CACHE")) {
        g->SetNoCache(true);
      } else {
        ExpectWord("CACHE");
        break;
      }
      NextToken();
    } else if (IsPlainWord("NOCACHE")) {
      // Older scripts of ours wrote it as one word.
      NextToken();
      g->SetNoCache(true);
    } else if (IsPlainWord("CYCLE")) {
      NextToken();
      g->Cycle = true;
    } else if (IsPlainWord("CACHE")) {
      NextToken();
      if (scan_.Kind == tk::Integer) {
        g->SetCache(TokenText());
        NextToken();
      }
    } else {
      break;
    }
  }
  SetStatement(TDbObject::dboGenerator, g->GetName(), 1);
  if (Objs() && add && !g->GetName().empty()) Objs()->AddObject(g, /*freeOnFail=*/true);
}

void TMSSQLParser::ParseCreateXmlSchemaCollection(bool add) {
  NextToken();  // SCHEMA
  WordAndNext("COLLECTION");
  ParseObjectName(TDbObject::dboDomain, /*defaultOwner=*/true);
  auto d = std::make_unique<TDmnData>(Objs());
  d->SetParentName(NameOwner);
  d->SetName(NameObject);
  d->BaseTypeText = kXmlSchemaCollection;
  if (ExpectAndNext(msk::As)) {
    if (scan_.Kind == tk::String) {
      d->SetText(TokenText());
      NextToken();
    } else {
      // A variable holding the schema.
      ParseExpression(nullptr);
    }
  }
  SetStatement(TDbObject::dboDomain, d->GetName(), 1);
  if (Objs() && add && !d->GetName().empty()) Objs()->AddObject(d, /*freeOnFail=*/true);
}

// --------------------------------------------------------------- databases

void TMSSQLParser::ParseFileSpecs() {
  // ( NAME = n, FILENAME = 'f', SIZE = 10MB, ... ) [, ( ... )] [, FILEGROUP g ...]
  for (;;) {
    if (scan_.Kind == tk::LParen) {
      NextToken();
      while (scan_.Kind != tk::RParen && !AtStatementEnd()) {
        if (scan_.Kind == tk::Ident || scan_.Kind == msk::File) {
          NextToken();
          if (scan_.Kind == tk::Equal) NextToken();
          // A value: a name, string or number with an optional unit word
          // (10MB, 10 MB, UNLIMITED, 10%).
          if (!AtStatementEnd() && scan_.Kind != tk::Comma && scan_.Kind != tk::RParen) NextToken();
          while (scan_.Kind == tk::Ident || scan_.Kind == tk::Percent) NextToken();
        } else if (scan_.Kind == tk::Comma) {
          NextToken();
        } else {
          Expect(tk::Ident);
          NextToken();
        }
      }
      ExpectAndNext(tk::RParen);
    } else if (IsPlainWord("FILEGROUP")) {
      NextToken();
      ParseNamePart();
      while (scan_.Kind == tk::Ident && !IsPlainWord("LOG") && !IsPlainWord("FILEGROUP"))
        NextToken();
      if (scan_.Kind == msk::Default) NextToken();
    } else {
      return;
    }
    if (scan_.Kind == tk::Comma) NextToken();
  }
}

void TMSSQLParser::ParseCreateDatabase() {
  NextToken();  // DATABASE
  StatementCode = 2;
  std::string name;
  if (scan_.Kind == tk::String) {
    name = TokenText();
    NextToken();
  } else {
    ParseObjectName(TDbObject::dboDatabase, false);
    name = NameObject;
  }
  ConnectionOptions.DatabaseName = name;
  for (;;) {
    if (IsPlainWord("CONTAINMENT")) {
      NextToken();
      ExpectAndNext(tk::Equal);
      if (IsPlainWord("NONE") || IsPlainWord("PARTIAL")) NextToken();
      else Error("Must be: NONE / PARTIAL");
    } else if (scan_.Kind == msk::On) {
      NextToken();
      if (scan_.Kind == msk::Primary) NextToken();
      ParseFileSpecs();
    } else if (IsPlainWord("LOG")) {
      NextToken();
      ExpectAndNext(msk::On);
      ParseFileSpecs();
    } else if (scan_.Kind == msk::Collate) {
      NextToken();
      if (scan_.Kind == tk::Ident && Objs()) {
        const std::string collation = UpperAscii(IdentText());
        Objs()->MSSQLServerOptions.Collation = collation;
        Objs()->MSSQLServerOptions.MSSQLDatabaseOptions.DatabaseCollation = collation;
      }
      ExpectAndNext(tk::Ident);
    } else if (scan_.Kind == msk::With) {
      // WITH options (FILESTREAM, DB_CHAINING, TRUSTWORTHY ...)
      NextToken();
      for (;;) {
        if (scan_.Kind == tk::Ident) {
          NextToken();
          if (scan_.Kind == tk::Equal) NextToken();
          if (scan_.Kind == tk::LParen) SkipBalanced();
          else ParseOptionValue();
        } else {
          Expect(tk::Ident);
          break;
        }
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
    } else if (scan_.Kind == msk::For) {
      // FOR ATTACH / FOR ATTACH_REBUILD_LOG
      NextToken();
      ExpectAndNext(tk::Ident);
    } else {
      break;
    }
  }
  SetStatement(TDbObject::dboDatabase, name, 1);
}

void TMSSQLParser::ParseAlterDatabase() {
  NextToken();  // DATABASE
  std::string name;
  if (scan_.Kind == tk::String) {
    name = TokenText();
    NextToken();
  } else if (scan_.Kind == tk::Ident) {
    name = FoldName(IdentText());
    NextToken();
  } else if (IsPlainWord("CURRENT") || scan_.Kind == msk::Current) {
    NextToken();
  } else {
    Expect(tk::Ident);
  }
  TMSSQLDatabaseOptions* options =
      Objs() ? &Objs()->MSSQLServerOptions.MSSQLDatabaseOptions : nullptr;
  for (;;) {
    if (scan_.Kind == msk::Set) {
      NextToken();
      for (;;) {
        if (IsPlainWord("COMPATIBILITY_LEVEL")) {
          NextToken();
          ExpectAndNext(tk::Equal);
          std::int32_t level = 0;
          if (Expect(tk::Integer) && Int32Value(level) && options)
            options->CompatibilityLevel = level;
          NextToken();
        } else if (IsPlainWord("FILESTREAM")) {
          NextToken();
          if (ExpectAndNext(tk::LParen)) {
            for (;;) {
              if (IsPlainWord("NON_TRANSACTED_ACCESS")) {
                NextToken();
                ExpectAndNext(tk::Equal);
                if (scan_.Kind == msk::Off || IsPlainWord("READ_ONLY") || scan_.Kind == msk::Full)
                  NextToken();
                else Error("Must be: OFF / READ_ONLY / FULL");
              } else if (IsPlainWord("DIRECTORY_NAME")) {
                // Its value is read too: DIRECTORY_NAME = 'dir'.
                NextToken();
                if (scan_.Kind == tk::Equal) {
                  NextToken();
                  ParseOptionValue();
                }
              } else {
                Error("Invalid FILESTREAM option");
                break;
              }
              if (scan_.Kind != tk::Comma) break;
              NextToken();
            }
            ExpectAndNext(tk::RParen);
          }
        } else if (IsPlainWord("TARGET_RECOVERY_TIME")) {
          NextToken();
          ExpectAndNext(tk::Equal);
          if (Expect(tk::Integer)) NextToken();
          if (IsPlainWord("MINUTES") || IsPlainWord("SECONDS")) NextToken();
          else Error("Must be: MINUTES / SECONDS");
        } else if (IsPlainWord("DELAYED_DURABILITY")) {
          NextToken();
          ExpectAndNext(tk::Equal);
          if (IsPlainWord("DISABLED") || IsPlainWord("ALLOWED") || IsPlainWord("FORCED"))
            NextToken();
          else Error("Myst be: DISABLED | ALLOWED | FORCED");
        } else if (scan_.Kind == tk::Ident || scan_.Kind == msk::Reconfigure) {
          // Any other option and its value: ANSI_NULLS ON, RECOVERY FULL,
          // SINGLE_USER, READ_COMMITTED_SNAPSHOT ON ...
          const std::string option = UpperAscii(IdentText());
          NextToken();
          if (scan_.Kind == tk::Equal) NextToken();
          if (scan_.Kind == tk::LParen) {
            SkipBalanced();
          } else if (scan_.Kind == msk::On || scan_.Kind == msk::Off) {
            const std::uint8_t on = scan_.Kind == msk::On ? 1 : 0;
            if (options) {
              if (option == "ANSI_NULLS") options->AnsiNullsEnabled = on;
              else if (option == "ANSI_NULL_DEFAULT") options->AnsiNullDefault = on;
              else if (option == "QUOTED_IDENTIFIER") options->QuotedIdentifiersEnabled = on;
              else if (option == "RECURSIVE_TRIGGERS") options->RecursiveTriggersEnabled = on;
            }
            NextToken();
          } else if (scan_.Kind == tk::Ident || scan_.Kind == msk::Full ||
                     scan_.Kind == tk::Integer || scan_.Kind == tk::String) {
            NextToken();
          }
        } else {
          Expect(tk::Ident);
          break;
        }
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
      // WITH ROLLBACK IMMEDIATE / NO_WAIT
      if (scan_.Kind == msk::With) {
        NextToken();
        if (scan_.Kind == msk::Rollback) {
          NextToken();
          if (IsPlainWord("AFTER")) {
            NextToken();
            if (Expect(tk::Integer)) NextToken();
            if (IsPlainWord("SECONDS")) NextToken();
          } else if (IsPlainWord("IMMEDIATE")) {
            NextToken();
          }
        } else if (IsPlainWord("NO_WAIT")) {
          NextToken();
        }
      }
    } else if (scan_.Kind == msk::Collate) {
      NextToken();
      if (scan_.Kind == tk::Ident && options) options->DatabaseCollation = UpperAscii(IdentText());
      ExpectAndNext(tk::Ident);
    } else if (IsPlainWord("MODIFY")) {
      NextToken();
      if (scan_.Kind == msk::File) {
        NextToken();
        ParseFileSpecs();
      } else if (IsPlainWord("NAME")) {
        NextToken();
        ExpectAndNext(tk::Equal);
        ParseNamePart();
      } else if (IsPlainWord("FILEGROUP")) {
        NextToken();
        ParseNamePart();
        if (scan_.Kind == tk::Ident) NextToken();
        if (scan_.Kind == tk::Equal) {
          NextToken();
          ParseNamePart();
        }
      } else {
        Error("Must be: FILE / NAME");
        break;
      }
    } else if (scan_.Kind == msk::Add || IsPlainWord("REMOVE")) {
      // ADD [LOG] FILE (...) [TO FILEGROUP g], ADD FILEGROUP g [CONTAINS
      // ...], REMOVE FILE / FILEGROUP name
      const bool add = scan_.Kind == msk::Add;
      NextToken();
      if (IsPlainWord("LOG")) NextToken();
      if (scan_.Kind == msk::File) {
        NextToken();
        if (add) ParseFileSpecs();
        else ParseNamePart();
        if (scan_.Kind == msk::To) {
          NextToken();
          if (IsPlainWord("FILEGROUP")) NextToken();
          ParseNamePart();
        }
      } else if (IsPlainWord("FILEGROUP")) {
        NextToken();
        ParseNamePart();
        while (scan_.Kind == msk::Contains || scan_.Kind == tk::Ident) NextToken();
      } else {
        Error("Must be: FILE / FILEGROUP");
        break;
      }
    } else {
      break;
    }
  }
  SetStatement(TDbObject::dboDatabase, name, 2);
}

// ---------------------------------------------------------- server objects

void TMSSQLParser::ParseCreateStatistics() {
  NextToken();  // STATISTICS
  ParseNamePart();
  ExpectAndNext(msk::On);
  ParseObjectName(TDbObject::dboTable, /*defaultOwner=*/true);
  if (scan_.Kind == tk::LParen) SkipBalanced();
  else Expect(tk::LParen);
  if (scan_.Kind == msk::Where) {
    NextToken();
    ParseCondition(nullptr);
  }
  if (scan_.Kind != msk::With) return;
  NextToken();
  for (;;) {
    if (scan_.Kind == tk::Ident) {
      // FULLSCAN, NORECOMPUTE, SAMPLE n PERCENT ...
      NextToken();
      while (scan_.Kind == tk::Integer || scan_.Kind == msk::Percent || IsPlainWord("ROWS"))
        NextToken();
    } else {
      Expect(tk::Ident);
      return;
    }
    if (scan_.Kind == tk::Comma) NextToken();
    else if (scan_.Kind != tk::Ident) return;
  }
}

void TMSSQLParser::ParseAssembly(bool /*alter*/) {
  NextToken();  // ASSEMBLY
  ParseNamePart();
  ParseAuthorization();
  if (scan_.Kind == msk::From) {
    NextToken();
    if (!AtStatementEnd()) NextToken();
    // FROM 'a', 'b' of several files.
    while (scan_.Kind == tk::Comma) {
      NextToken();
      if (!AtStatementEnd()) NextToken();
    }
  }
  for (;;) {
    if (scan_.Kind == msk::With) {
      NextToken();
      for (;;) {
        if (IsPlainWord("PERMISSION_SET") || IsPlainWord("VISIBILITY")) {
          NextToken();
          ExpectAndNext(tk::Equal);
          ParseOptionValue();
        } else if (IsPlainWord("UNCHECKED")) {
          NextToken();
          WordAndNext("DATA");
        } else {
          Expect(tk::Ident);
          break;
        }
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
    } else if (scan_.Kind == msk::Drop) {
      NextToken();
      ExpectAndNext(msk::File);
      for (;;) {
        if (scan_.Kind == tk::String || scan_.Kind == msk::All || scan_.Kind == tk::Ident)
          NextToken();
        else {
          Error("Must be: <filename>, ALL");
          break;
        }
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
    } else if (scan_.Kind == msk::Add) {
      NextToken();
      ExpectAndNext(msk::File);
      ExpectAndNext(msk::From);
      for (;;) {
        ParseOptionValue();
        if (scan_.Kind == msk::As) {
          NextToken();
          ParseOptionValue();
        }
        if (scan_.Kind != tk::Comma) break;
        NextToken();
      }
    } else {
      return;
    }
  }
}

void TMSSQLParser::ParseMessageType() {
  NextToken();  // MESSAGE
  WordAndNext("TYPE");
  ParseNamePart();
  ParseAuthorization();
  if (!IsPlainWord("VALIDATION")) return;
  NextToken();
  ExpectAndNext(tk::Equal);
  if (IsPlainWord("NONE") || IsPlainWord("EMPTY") || IsPlainWord("WELL_FORMED_XML")) {
    NextToken();
  } else if (IsPlainWord("VALID_XML")) {
    NextToken();
    ExpectAndNext(msk::With);
    ExpectAndNext(msk::Schema);
    WordAndNext("COLLECTION");
    ParseObjectName(TDbObject::dboDomain, false);
  } else {
    Error("Unknown VALIDATION-option (CREATE MESSAGE TYPE)");
  }
}

void TMSSQLParser::ParseCertificate(bool alter) {
  NextToken();  // CERTIFICATE
  ParseNamePart();
  // "( FILE = expr, ENCRYPTION BY PASSWORD = expr, ... )"
  auto privateKeyOptions = [&] {
    if (!ExpectAndNext(tk::LParen)) return;
    while (scan_.Kind != tk::RParen && !AtStatementEnd()) {
      if (scan_.Kind == tk::Equal) {
        NextToken();
        ParseOptionValue();
      } else {
        NextToken();  // FILE, ENCRYPTION, DECRYPTION, BY, PASSWORD, ","
      }
    }
    ExpectAndNext(tk::RParen);
  };
  if (alter) {
    if (IsPlainWord("REMOVE")) {
      NextToken();
      if (IsPlainWord("PRIVATE")) NextToken();
      ExpectAndNext(msk::Key);
      return;
    }
    if (!ExpectAndNext(msk::With)) return;
    if (IsPlainWord("PRIVATE")) {
      NextToken();
      ExpectAndNext(msk::Key);
      privateKeyOptions();
    } else if (IsPlainWord("ACTIVE")) {
      NextToken();
      ExpectAndNext(msk::For);
      if (IsPlainWord("BEGIN_DIALOG")) {
        NextToken();
      } else {
        ExpectAndNext(msk::Begin);
        if (IsPlainWord("DIALOG")) NextToken();
      }
      ExpectAndNext(tk::Equal);
      ParseOnOff();
    } else {
      Error("Must be: ACTIVE / PRIVATE");
    }
    return;
  }
  ParseAuthorization();
  if (scan_.Kind == msk::From) {
    NextToken();
    if (IsPlainWord("ASSEMBLY")) {
      NextToken();
      ParseNamePart();
      return;
    }
    if (IsPlainWord("EXECUTABLE")) NextToken();
    ExpectAndNext(msk::File);
    ExpectAndNext(tk::Equal);
    ParseOptionValue();
    if (scan_.Kind == msk::With) {
      NextToken();
      if (IsPlainWord("PRIVATE")) NextToken();
      ExpectAndNext(msk::Key);
      privateKeyOptions();
    }
    return;
  }
  if (IsPlainWord("ENCRYPTION")) {
    NextToken();
    ExpectAndNext(msk::By);
    if (IsPlainWord("PASSWORD")) NextToken();
    ExpectAndNext(tk::Equal);
    ParseOptionValue();
  }
  // SUBJECT = 'x', START_DATE = 'd', EXPIRY_DATE = 'd'
  if (ExpectAndNext(msk::With)) ParseNamedValues();
}

void TMSSQLParser::ParseContract() {
  NextToken();  // CONTRACT
  ParseNamePart();
  ParseAuthorization();
  if (!ExpectAndNext(tk::LParen)) return;
  for (;;) {
    if (scan_.Kind == msk::Default) NextToken();
    else ParseNamePart();
    WordAndNext("SENT");
    ExpectAndNext(msk::By);
    if (IsPlainWord("INITIATOR") || IsPlainWord("TARGET") || scan_.Kind == msk::Any) {
      NextToken();
    } else {
      Error("Must be: INITIATOR / TARGET / ANY");
      break;
    }
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  ExpectAndNext(tk::RParen);
}

void TMSSQLParser::ParseQueue() {
  NextToken();  // QUEUE
  ParseObjectName(TDbObject::dboUnknown, false);
  if (scan_.Kind == msk::With) {
    NextToken();
    for (;;) {
      if (IsPlainWord("STATUS") || IsPlainWord("RETENTION") ||
          IsPlainWord("POISON_MESSAGE_HANDLING")) {
        const bool poison = IsPlainWord("POISON_MESSAGE_HANDLING");
        NextToken();
        if (poison) {
          if (scan_.Kind == tk::LParen) SkipBalanced();
        } else {
          ExpectAndNext(tk::Equal);
          ParseOnOff();
        }
      } else if (IsPlainWord("ACTIVATION")) {
        NextToken();
        if (!ExpectAndNext(tk::LParen)) break;
        for (;;) {
          if (IsPlainWord("STATUS")) {
            NextToken();
            ExpectAndNext(tk::Equal);
            ParseOnOff();
          } else if (IsPlainWord("PROCEDURE_NAME")) {
            NextToken();
            ExpectAndNext(tk::Equal);
            ParseObjectName(TDbObject::dboProcedure, false);
          } else if (IsPlainWord("MAX_QUEUE_READERS")) {
            NextToken();
            ExpectAndNext(tk::Equal);
            ParseExpression(nullptr);
          } else if (scan_.Kind == msk::Exec) {
            NextToken();
            ExpectAndNext(msk::As);
            ParseOptionValue();
          } else if (scan_.Kind == msk::Drop) {
            NextToken();
          } else {
            Expect(tk::Ident);
            break;
          }
          if (scan_.Kind != tk::Comma) break;
          NextToken();
        }
        ExpectAndNext(tk::RParen);
      } else {
        Expect(tk::Ident);
        break;
      }
      if (scan_.Kind != tk::Comma) break;
      NextToken();
    }
  }
  if (scan_.Kind == msk::On) {
    NextToken();
    if (scan_.Kind == msk::Default) NextToken();
    else ParseNamePart();
  }
}

void TMSSQLParser::ParseService() {
  NextToken();  // SERVICE
  ParseNamePart();
  ParseAuthorization();
  ExpectAndNext(msk::On);
  WordAndNext("QUEUE");
  ParseObjectName(TDbObject::dboUnknown, false);
  if (scan_.Kind != tk::LParen) return;
  NextToken();
  for (;;) {
    if (scan_.Kind == msk::Default) NextToken();
    else ParseNamePart();
    if (scan_.Kind != tk::Comma) break;
    NextToken();
  }
  ExpectAndNext(tk::RParen);
}

void TMSSQLParser::ParseCreateLogin() {
  NextToken();  // LOGIN
  ParseNamePart();
  auto options = [&] {
    for (;;) {
      if (IsPlainWord("CHECK_EXPIRATION") || IsPlainWord("CHECK_POLICY")) {
        NextToken();
        ExpectAndNext(tk::Equal);
        ParseOnOff();
      } else if (IsPlainWord("PASSWORD")) {
        NextToken();
        ExpectAndNext(tk::Equal);
        ParseOptionValue();
        while (IsPlainWord("HASHED") || IsPlainWord("MUST_CHANGE")) NextToken();
      } else if (scan_.Kind == tk::Ident) {
        // SID, DEFAULT_DATABASE, DEFAULT_LANGUAGE, CREDENTIAL
        NextToken();
        if (scan_.Kind == tk::Equal) NextToken();
        ParseOptionValue();
      } else {
        Expect(tk::Ident);
        return;
      }
      if (scan_.Kind != tk::Comma) return;
      NextToken();
    }
  };
  if (scan_.Kind == msk::With) {
    NextToken();
    options();
    return;
  }
  if (scan_.Kind != msk::From) {
    Error("Must be: WITH / FROM");
    return;
  }
  NextToken();
  if (IsPlainWord("WINDOWS") || IsPlainWord("EXTERNAL")) {
    NextToken();
    if (IsPlainWord("PROVIDER")) NextToken();
    if (scan_.Kind == msk::With) {
      NextToken();
      options();
    }
  } else if (IsPlainWord("CERTIFICATE")) {
    NextToken();
    ParseNamePart();
  } else if (IsPlainWord("ASYMMETRIC")) {
    NextToken();
    ExpectAndNext(msk::Key);
    ParseNamePart();
  } else {
    Error("Must be: WITH / FROM");
  }
}

void TMSSQLParser::ParseCreateUser() {
  NextToken();  // USER
  ParseNamePart();
  if (scan_.Kind == msk::For || scan_.Kind == msk::From) {
    NextToken();
    if (IsPlainWord("LOGIN") || IsPlainWord("CERTIFICATE")) {
      NextToken();
      ParseNamePart();
    } else if (IsPlainWord("ASYMMETRIC")) {
      NextToken();
      ExpectAndNext(msk::Key);
      ParseNamePart();
    } else if (IsPlainWord("EXTERNAL")) {
      NextToken();
      if (IsPlainWord("PROVIDER")) NextToken();
    } else {
      Error("Must be: LOGIN / CERTIFICATE / ASYMMETRIC KEY");
    }
  } else if (IsPlainWord("WITHOUT")) {
    NextToken();
    WordAndNext("LOGIN");
  }
  if (scan_.Kind != msk::With) return;
  NextToken();
  // DEFAULT_SCHEMA = s, PASSWORD = 'p', ...
  ParseNamedValues();
}

void TMSSQLParser::ParseAlterRole() {
  NextToken();  // ROLE
  ParseNamePart();
  if (scan_.Kind == msk::Add || scan_.Kind == msk::Drop) {
    NextToken();
    WordAndNext("MEMBER");
    ParseNamePart();
    return;
  }
  if (scan_.Kind == msk::With) {
    NextToken();
    WordAndNext("NAME");
    ExpectAndNext(tk::Equal);
    ParseNamePart();
    return;
  }
  Error("Unknown/Invalid ALTER ROLE statement");
}

void TMSSQLParser::ParseFullTextCatalog() {
  NextToken();  // CATALOG
  ParseNamePart();
  for (;;) {
    if (scan_.Kind == msk::On) {
      NextToken();
      if (IsPlainWord("FILEGROUP")) {
        NextToken();
        ParseNamePart();
      } else {
        Error("Must be: ON FILEGROUP <filegroup>");
        return;
      }
    } else if (IsPlainWord("IN")) {
      NextToken();
      if (IsPlainWord("PATH")) NextToken();
      ParseOptionValue();
    } else if (IsPlainWord("PATH")) {
      NextToken();
      ParseOptionValue();
    } else if (scan_.Kind == msk::With) {
      NextToken();
      if (!AtStatementEnd()) NextToken();
      if (scan_.Kind == tk::Equal) {
        NextToken();
        ParseOptionValue();
      }
    } else if (scan_.Kind == msk::As) {
      NextToken();
      ExpectAndNext(msk::Default);
    } else if (scan_.Kind == msk::Authorization) {
      ParseAuthorization();
    } else {
      return;
    }
  }
}

// ------------------------------------------------------------ ALTER, DROP

void TMSSQLParser::ParseAlter(TDbObj* context) {
  NextToken();  // ALTER
  switch (scan_.Kind) {
    case msk::Table: ParseAlterTable(context); return;
    case msk::Proc: ParseCreateRoutine(context, nullptr, false, true); return;
    case msk::Function: ParseCreateRoutine(context, nullptr, true, true); return;
    case msk::Trigger: ParseCreateTrigger(context, nullptr, true); return;
    case msk::Database: ParseAlterDatabase(); return;
    default: break;
  }
  const std::string word =
      scan_.Kind == tk::Ident && !identQuoted_ ? UpperAscii(IdentText()) : std::string();
  if (word == "ASSEMBLY") return ParseAssembly(true);
  if (word == "QUEUE") return ParseQueue();
  if (word == "CERTIFICATE") return ParseCertificate(true);
  if (word == "ROLE") return ParseAlterRole();
  if (word == "LOGIN") {
    NextToken();
    ParseNamePart();
    // ENABLE, DISABLE or any other one word.
    if (!AtStatementEnd()) NextToken();
    return;
  }
  for (const char* w : {"SCHEMA", "USER", "SEQUENCE", "AUTHORIZATION", "XML"})
    if (word == w) {
      PassOver("ALTER " + std::string(word == "XML" ? "XML SCHEMA COLLECTION" : word) +
               " is not read: passed over");
      return;
    }
  Error("Unknown/Invalid ALTER-statement");
  // The rest of the statement would only produce follow-up errors.
  SkipStatementRest();
}

void TMSSQLParser::ParseDrop() {
  NextToken();  // DROP
  TDbObject kind = TDbObject::dboUnknown;
  switch (scan_.Kind) {
    case msk::Database: kind = TDbObject::dboDatabase; break;
    case msk::Table: kind = TDbObject::dboTable; break;
    case msk::View: kind = TDbObject::dboView; break;
    case msk::Trigger: kind = TDbObject::dboTrigger; break;
    case msk::Default: kind = TDbObject::dboDefault; break;
    case msk::Rule: kind = TDbObject::dboRule; break;
    case msk::Index: kind = TDbObject::dboIndex; break;
    case msk::Proc:
    case msk::Function: kind = TDbObject::dboProcedure; break;
    case msk::User:
    case msk::Schema:
    case msk::Statistics: break;
    case tk::Ident: {
      const std::string word = identQuoted_ ? std::string() : UpperAscii(IdentText());
      bool known = false;
      for (const char* w :
           {"LOGIN", "SERVICE", "QUEUE", "CONTRACT", "CERTIFICATE", "MESSAGE", "TYPE", "SEQUENCE",
            "SYNONYM", "ROLE", "ASSEMBLY", "XML", "FULLTEXT", "PARTITION", "AGGREGATE"})
        if (word == w) known = true;
      if (!known) {
        Error("Unknown DROP-statement");
        NextToken();
        return;
      }
      if (word == "TYPE" || word == "XML") kind = TDbObject::dboDomain;
      else if (word == "SEQUENCE") kind = TDbObject::dboGenerator;
      NextToken();
      // The further words of MESSAGE TYPE, XML SCHEMA COLLECTION, FULLTEXT
      // CATALOG / STOPLIST / INDEX ON, PARTITION FUNCTION / SCHEME.
      for (int i = 0; i < 2; ++i) {
        if (IsPlainWord("TYPE") || IsPlainWord("COLLECTION") || IsPlainWord("CATALOG") ||
            IsPlainWord("STOPLIST") || IsPlainWord("SCHEME") || scan_.Kind == msk::Schema ||
            scan_.Kind == msk::Function)
          NextToken();
      }
      if (word == "FULLTEXT" && scan_.Kind == msk::Index) {
        NextToken();
        ExpectAndNext(msk::On);
      }
      goto names;
    }
    default:
      Error("Unknown DROP-statement");
      NextToken();
      return;
  }
  NextToken();
names:
  if (scan_.Kind == msk::If) {
    // DROP ... IF EXISTS reads as DROP.
    NextToken();
    ExpectAndNext(msk::Exists);
  }
  std::string last;
  for (;;) {
    if (kind == TDbObject::dboIndex) {
      ParseObjectName(TDbObject::dboIndex, false);
      if (scan_.Kind == msk::On) {
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

}  // namespace qor
