// The body parser's queries (select lists, FROM and JOIN, PLAN, the
// clauses after them, common table expressions) and DML (INSERT, UPDATE,
// DELETE, MERGE), with the scope levels their column references resolve in.
#include "parsers/ib/qorIBExParser.h"

#include "base/qorIBVersions.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

// ---- Queries

void TIbExParser::ParseSelect() {
  TNestingGuard guard(*this);
  if (!guard.Ok()) return;
  if (IsKw(ibk::Select)) NextToken();
  const TIBBodyCaps& caps = IBBodyCaps(ServerVersion());
  if (IsKw(ibk::All) || IsKw(ibk::Distinct)) NextToken();
  if (caps.firstSkip) {
    for (const char* word : {"FIRST", "SKIP"}) {
      if (!W(word)) continue;
      NextToken();
      if (TokenKind() == tk::LParen) {
        NextToken();
        ParseExpression();
        ExpectAndNext(tk::RParen);
      } else {
        ParseFactor();
      }
    }
  }
  if (IsKw(ibk::All) || IsKw(ibk::Distinct)) NextToken();
  // The select list is read before its relations are known: its column
  // references wait on this level until the FROM list has been read.
  PushLevel(false);
  ParseValueList();
  if (IsKw(ibk::Into)) ParseIntoList();
  if (ExpectKw(ibk::From)) {
    NextToken();
    ParseFromList();
  }
  ResolvePending();
  if (IsKw(ibk::Where)) {
    NextToken();
    ParseExpression();
  }
  if (IsKw(ibk::Group)) {
    NextToken();
    if (ExpectKw(ibk::By)) NextToken();
    ParseValueList();
  }
  if (IsKw(ibk::Having)) {
    NextToken();
    ParseExpression();
  }
  if (IsKw(ibk::Plan)) ParsePlan();
  if (IsKw(ibk::Union)) {
    NextToken();
    if (IsKw(ibk::All) || IsKw(ibk::Distinct)) NextToken();
    ParseWithSelect();
  }
  if (IsKw(ibk::Order)) {
    NextToken();
    if (ExpectKw(ibk::By)) NextToken();
    ParseValueList();
  }
  if (IsKw(ibk::Rows)) ParseRowsClause();
  if (W("OFFSET")) {
    NextToken();
    ParseSimpleExpression();
    if (W("ROW") || IsKw(ibk::Rows)) NextToken();
  }
  if (IsKw(ibk::Fetch)) {
    NextToken();
    if (W("FIRST") || W("NEXT")) NextToken();
    if (!W("ROW") && !IsKw(ibk::Rows)) ParseSimpleExpression();
    if (W("ROW") || IsKw(ibk::Rows)) NextToken();
    if (W("ONLY")) NextToken();
  }
  if (IsKw(ibk::For)) {
    // FOR UPDATE [OF ...]; a FOR that starts the next statement stays.
    TParseContext saved(this);
    NextToken();
    if (IsKw(ibk::Update)) {
      NextToken();
      if (IsKw(ibk::Of)) {
        NextToken();
        ParseValueList();
      }
    } else {
      TParseContext::Restore(*this, saved);
    }
  }
  if (IsKw(ibk::With)) {
    NextToken();
    if (W("LOCK")) {
      NextToken();
    } else if (IsKw(ibk::Check)) {
      NextToken();
      if (ExpectKw(ibk::Option)) NextToken();
    } else {
      Error("Must be: WITH LOCK / WITH CHECK OPTION");
    }
  }
  PopLevel();
}

void TIbExParser::ParseWithSelect() {
  TNestingGuard guard(*this);
  if (!guard.Ok()) return;
  if (IsKw(ibk::With)) {
    NextToken();
    if (W("RECURSIVE")) NextToken();
    for (;;) {
      if (!Expect(tk::Ident)) return;
      NextToken();
      if (TokenKind() == tk::LParen) {  // the column names: no references
        NextToken();
        while (TokenKind() == tk::Ident) {
          NextToken();
          if (TokenKind() != tk::Comma) break;
          NextToken();
        }
        ExpectAndNext(tk::RParen);
      }
      if (ExpectKw(ibk::As)) NextToken();
      if (ExpectAndNext(tk::LParen)) {
        ParseWithSelect();
        ExpectAndNext(tk::RParen);
      }
      if (TokenKind() != tk::Comma) break;
      NextToken();
    }
  }
  if (ExpectKw(ibk::Select)) ParseSelect();
}

void TIbExParser::ParseValueList() {
  for (;;) {
    ParseExpression();
    if (IsKw(ibk::As)) {
      if (IsCursorAhead()) return;
      NextToken();
    }
    if (TokenKind() == tk::Ident && !W("NULLS") && !W("OFFSET")) NextToken();  // an alias
    if (IsKw(ibk::Asc) || IsKw(ibk::Desc)) NextToken();
    if (W("ROWS")) {
      NextToken();
      if (TokenKind() != tk::EOFKind) NextToken();
    }
    if (W("NULLS")) {
      NextToken();
      if (W("FIRST") || W("LAST")) NextToken();
      else Error("Must be: NULLS FIRST / NULLS LAST (order by clause).");
    }
    if (TokenKind() != tk::Comma) return;
    NextToken();
  }
}

void TIbExParser::ParseFromList() {
  for (;;) {
    ParseFromItem();
    if (TokenKind() != tk::Comma) return;
    NextToken();
  }
}

void TIbExParser::ParseFromItem() {
  TNestingGuard guard(*this);
  if (!guard.Ok()) return;
  const TIBBodyCaps& caps = IBBodyCaps(ServerVersion());
  if (TokenKind() == tk::LParen) {
    NextToken();
    if (IsKw(ibk::Select) || IsKw(ibk::With)) {
      // A derived table: its relations are its own, not this level's.
      ParseWithSelect();
      ExpectAndNext(tk::RParen);
      if (IsKw(ibk::As)) NextToken();
      if (TokenKind() == tk::Ident) NextToken();
      if (TokenKind() == tk::LParen) {
        NextToken();
        while (TokenKind() == tk::Ident) {
          NextToken();
          if (TokenKind() != tk::Comma) break;
          NextToken();
        }
        ExpectAndNext(tk::RParen);
      }
    } else {
      ParseFromItem();
      ExpectAndNext(tk::RParen);
    }
  } else if (Expect(tk::Ident)) {
    std::string name = IdentText();
    NextToken();
    if (TokenKind() == tk::Dot) {  // a package's selectable procedure
      NextToken();
      if (Expect(tk::Ident)) NextToken();
      if (TObjs* objs = Objs(); objs && obj_)
        if (TDbObj* pkg = objs->FindPackage(name)) LinkDependency(obj_, pkg, {});
      name.clear();
    } else {
      LinkDepend(obj_, name, {TDbObject::dboTable, TDbObject::dboProcedure, TDbObject::dboView});
    }
    if (TokenKind() == tk::LParen) {  // procedure arguments
      NextToken();
      if (TokenKind() != tk::RParen) ParseValueList();
      ExpectAndNext(tk::RParen);
    }
    if (IsKw(ibk::As) && !IsCursorAhead()) NextToken();
    std::string alias;
    if (TokenKind() == tk::Ident && !W("OFFSET") &&
        !(caps.rowsNotAlias && (W("ROWS") || W("USING")))) {
      alias = IdentText();
      NextToken();
    }
    TParseContext* top = TopScope();
    if (top && !top->Active && !name.empty()) top->AddRelation(name, alias);
  } else {
    return;
  }
  // Joins.
  while (IsKw(ibk::Join) || IsKw(ibk::Natural) || IsKw(ibk::Inner) || IsKw(ibk::Left) ||
         IsKw(ibk::Right) || IsKw(ibk::Full) || IsKw(ibk::Cross)) {
    while (IsKw(ibk::Natural) || IsKw(ibk::Inner) || IsKw(ibk::Left) || IsKw(ibk::Right) ||
           IsKw(ibk::Full) || IsKw(ibk::Outer) || IsKw(ibk::Cross))
      NextToken();
    if (!ExpectKw(ibk::Join)) return;
    NextToken();
    ParseFromItem();
    if (IsKw(ibk::On)) {
      NextToken();
      ParseExpression();
    } else if (caps.joinUsing && (IsKw(ibk::Using) || W("USING"))) {
      NextToken();
      if (ExpectAndNext(tk::LParen)) {
        while (TokenKind() == tk::Ident) {
          AddColumnRef(obj_, {}, IdentText());
          NextToken();
          if (TokenKind() != tk::Comma) break;
          NextToken();
        }
        ExpectAndNext(tk::RParen);
      }
    }
  }
}

void TIbExParser::ParsePlan() {
  NextToken();  // past PLAN
  // An item list, nested to any depth: [JOIN | SORT [MERGE] | MERGE] "(" items ")".
  struct Local {
    static void Items(TIbExParser& p) {
      TNestingGuard guard(p);
      if (!guard.Ok()) return;
      if (p.IsKw(ibk::Join) || p.IsKw(ibk::Sort) || p.IsKw(ibk::Merge)) {
        p.NextToken();
        if (p.IsKw(ibk::Merge)) p.NextToken();
      }
      if (!p.ExpectAndNext(tk::LParen)) return;
      for (;;) {
        if (p.TokenKind() == tk::LParen || p.IsKw(ibk::Join) || p.IsKw(ibk::Sort) ||
            p.IsKw(ibk::Merge)) {
          Items(p);
        } else if (p.TokenKind() == tk::Ident) {
          while (p.TokenKind() == tk::Ident) p.NextToken();  // relation and aliases
          if (p.IsKw(ibk::Natural)) {
            p.NextToken();
          } else if (p.IsKw(ibk::Order)) {
            p.NextToken();
            p.PlanIndex();
            if (p.IsKw(ibk::Index)) {
              p.NextToken();
              p.PlanIndexList();
            }
          } else if (p.IsKw(ibk::Index)) {
            p.NextToken();
            p.PlanIndexList();
          }
        } else {
          p.Error("Invalid symbol in PLAN-expression: " + p.CurTokenName());
          if (p.TokenKind() == tk::EOFKind || p.TokenKind() == tk::Terminator) return;
          p.NextToken();
        }
        if (p.TokenKind() != tk::Comma) break;
        p.NextToken();
      }
      p.ExpectAndNext(tk::RParen);
    }
  };
  Local::Items(*this);
}

void TIbExParser::PlanIndex() {
  if (!Expect(tk::Ident)) return;
  if (TObjs* objs = Objs(); objs && obj_) {
    // A key's index is no index object of its own: the key stands for it.
    TDbObj* idx = objs->FindIndex(IdentText());
    if (!idx)
      if (TCtrData* key = objs->FindConstraint(IdentText());
          key && (key->IndexName.empty() || key->IndexName == IdentText()))
        idx = key;
    if (idx) LinkDependency(obj_, idx, {});
  }
  NextToken();
}

void TIbExParser::PlanIndexList() {
  if (!ExpectAndNext(tk::LParen)) return;
  for (;;) {
    PlanIndex();
    if (TokenKind() != tk::Comma) break;
    NextToken();
  }
  ExpectAndNext(tk::RParen);
}

void TIbExParser::ParseRowsClause() {
  NextToken();  // past ROWS
  ParseExpression();
  if (IsKw(ibk::To)) {
    NextToken();
    ParseExpression();
  }
  if (IsKw(ibk::By)) {
    NextToken();
    ParseExpression();
  }
  if (IsKw(ibk::Percent)) NextToken();
  if (IsKw(ibk::With)) {
    TParseContext saved(this);
    NextToken();
    if (IsKw(ibk::Ties)) NextToken();
    else TParseContext::Restore(*this, saved);
  }
}

// ---- DML

bool TIbExParser::ParseTargetRelation(bool allowAs) {
  if (!Expect(tk::Ident)) return false;
  const std::string name = IdentText();
  NextToken();
  if (allowAs && IsKw(ibk::As)) NextToken();
  std::string alias;
  if (TokenKind() == tk::Ident && !W("MATCHING") && !W("RETURNING") && !W("USING")) {
    alias = IdentText();
    NextToken();
  }
  PushLevel(true);
  TopScope()->AddRelation(name, alias);
  TObjs* objs = Objs();
  if (objs && obj_) {
    TDbObj* target = objs->FindTable(name);
    if (!target) target = objs->FindView(name);
    if (target && target != obj_) LinkDependency(obj_, target, {});
  }
  return true;
}

void TIbExParser::ParseReturning() {
  if (!W("RETURNING")) return;
  NextToken();
  ParseValueList();
  if (IsKw(ibk::Into)) ParseIntoList();
}

void TIbExParser::ParseInsert(bool orInsert) {
  if (!orInsert) {
    NextToken();  // past INSERT
    if (IsKw(ibk::Or)) {
      NextToken();
      if (ExpectKw(ibk::Update)) NextToken();
    }
  }
  if (!ExpectKw(ibk::Into)) return;
  NextToken();
  if (!ParseTargetRelation(/*allowAs=*/true)) return;
  if (TokenKind() == tk::LParen) {
    NextToken();
    ParseValueList();
    ExpectAndNext(tk::RParen);
  }
  if (IsKw(ibk::Values)) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseValueList();
      ExpectAndNext(tk::RParen);
    }
  } else if (IsKw(ibk::Select) || IsKw(ibk::With)) {
    ParseWithSelect();
  } else if (IsKw(ibk::Default)) {
    NextToken();
    if (IsKw(ibk::Values)) NextToken();
  }
  if (W("MATCHING")) {
    NextToken();
    if (ExpectAndNext(tk::LParen)) {
      ParseValueList();
      ExpectAndNext(tk::RParen);
    }
  }
  ParseReturning();
  PopLevel();
}

// SET column = value {, ...} of UPDATE and MERGE: each column is the
// target's, then the assignment tail reads the value.
void TIbExParser::ParseSetList(TDbObj* target) {
  for (;;) {
    if (!Expect(tk::Ident)) return;
    std::string column = IdentText();
    std::string qualifier;
    NextToken();
    if (TokenKind() == tk::Dot) {
      NextToken();
      if (!Expect(tk::Ident)) return;
      qualifier = column;
      column = IdentText();
      NextToken();
    }
    if (target && obj_) LinkDependency(obj_, target, column);
    if (TokenKind() == tk::Equal) {
      NextToken();
      ParseExpression();
    } else {
      Error("Invalid statement (? assignment)");
      return;
    }
    if (TokenKind() != tk::Comma) return;
    NextToken();
  }
}

TDbObj* TIbExParser::TopTarget() {
  TParseContext* top = TopScope();
  if (!top || top->Relations.empty() || !Objs()) return nullptr;
  TDbObj* t = Objs()->FindTable(top->Relations.front());
  if (!t) t = Objs()->FindView(top->Relations.front());
  return t == obj_ ? nullptr : t;
}

void TIbExParser::ParseUpdate() {
  NextToken();  // past UPDATE
  if (IsKw(ibk::Or)) {
    NextToken();
    if (ExpectKw(ibk::Insert)) NextToken();
    ParseInsert(/*orInsert=*/true);
    return;
  }
  if (!ParseTargetRelation(/*allowAs=*/true)) return;
  if (ExpectKw(ibk::Set)) {
    NextToken();
    ParseSetList(TopTarget());
  }
  ParseSearchTail();
  PopLevel();
}

void TIbExParser::ParseDelete() {
  NextToken();  // past DELETE
  if (!ExpectKw(ibk::From)) return;
  NextToken();
  if (!ParseTargetRelation(/*allowAs=*/true)) return;
  ParseSearchTail();
  PopLevel();
}

// WHERE [CURRENT OF cursor], PLAN, ORDER BY, ROWS and RETURNING of UPDATE
// and DELETE.
void TIbExParser::ParseSearchTail() {
  if (IsKw(ibk::Where)) {
    NextToken();
    if (IsKw(ibk::Current)) {
      NextToken();
      if (ExpectKw(ibk::Of)) NextToken();
      if (Expect(tk::Ident)) NextToken();
    } else {
      ParseExpression();
    }
  }
  if (IsKw(ibk::Plan)) ParsePlan();
  if (IsKw(ibk::Order)) {
    NextToken();
    if (ExpectKw(ibk::By)) NextToken();
    ParseValueList();
  }
  if (IsKw(ibk::Rows)) ParseRowsClause();
  ParseReturning();
}

void TIbExParser::ParseMerge() {
  NextToken();  // past MERGE
  const TIBBodyCaps& caps = IBBodyCaps(ServerVersion());
  if (!ExpectKw(ibk::Into)) return;
  NextToken();
  // Target and source form one level, so the ON condition and the actions
  // resolve their columns against both.
  if (!ParseTargetRelation(/*allowAs=*/true)) return;
  TDbObj* target = TopTarget();
  if (IsKw(ibk::Using) || ExpectW("USING")) NextToken();
  std::string source;
  if (TokenKind() == tk::LParen) {
    NextToken();
    ParseWithSelect();
    ExpectAndNext(tk::RParen);
  } else if (Expect(tk::Ident)) {
    source = IdentText();
    LinkDepend(obj_, source, {TDbObject::dboTable, TDbObject::dboProcedure, TDbObject::dboView});
    NextToken();
  }
  if (IsKw(ibk::As)) NextToken();
  std::string alias;
  if (TokenKind() == tk::Ident) {
    alias = IdentText();
    NextToken();
  }
  if (!source.empty()) TopScope()->AddRelation(source, alias);
  if (ExpectKw(ibk::On)) {
    NextToken();
    ParseExpression();
  }
  if (!IsKw(ibk::When)) {
    Expect(ibk::When);
    if (!AtStatementEnd()) NextToken();
  }
  while (IsKw(ibk::When)) {
    NextToken();
    const bool notMatched = IsKw(ibk::Not);
    if (notMatched) NextToken();
    if (ExpectW("MATCHED")) NextToken();
    if (caps.fb3Statements && IsKw(ibk::And)) {
      NextToken();
      ParseExpression();
    }
    if (ExpectKw(ibk::Then)) NextToken();
    if (!notMatched) {
      if (IsKw(ibk::Update)) {
        NextToken();
        if (ExpectKw(ibk::Set)) NextToken();
        ParseSetList(target);
      } else if (caps.from3 && IsKw(ibk::Delete)) {
        NextToken();
      } else {
        Error("Must be: UPDATE");
        break;
      }
    } else if (ExpectKw(ibk::Insert)) {
      NextToken();
      if (TokenKind() == tk::LParen) {
        NextToken();
        ParseValueList();
        ExpectAndNext(tk::RParen);
      }
      if (IsKw(ibk::Values)) {
        NextToken();
        if (ExpectAndNext(tk::LParen)) {
          ParseValueList();
          ExpectAndNext(tk::RParen);
        }
      }
    } else {
      break;
    }
  }
  ParseReturning();
  PopLevel();
}

}  // namespace qor
