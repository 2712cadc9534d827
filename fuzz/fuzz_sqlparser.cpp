// Fuzzes the SQL parser base over a small collection: a toy grammar reads
// any text, opens an alias scope at "(" and closes it at ")", collects the
// names of a scope as relations (each with an optional alias) until ":"
// makes the scope active, and from then on resolves every name through
// LinkDepend and AddColumnRef, so that alias and column resolution over
// active scopes with relations is reached; then AfterParse links the
// collection twice. Run under the sanitizers, so a dangling edge or a
// runaway recursion fails. Seeds name the collection's objects: tables T
// (A, B) and U (A), view W (C), procedure P (output X), generator G,
// domain D1, index IX.
#include "parsers/qorSQLParser.h"

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace qor;

class ToyParser : public TCustomSQLParser {
 public:
  ToyParser(TDatabaseType type, TDbObj* dependent)
      : TCustomSQLParser(nullptr, type), dependent_(dependent) {}
  void ParseText() override {
    NextToken();
    while (TokenKind() != tk::EOFKind) Item();
  }

 private:
  void Item() {
    TNestingGuard guard(*this);
    if (!guard.Ok()) {
      NextToken();
      return;
    }
    switch (TokenKind()) {
      case tk::LParen: {
        PushScope();
        NextToken();
        while (TokenKind() != tk::EOFKind && TokenKind() != tk::RParen) Item();
        PopScope();
        NextToken();
        return;
      }
      case tk::Colon:
        if (TParseContext* top = TopScope()) top->Active = true;
        NextToken();
        return;
      case tk::Ident: {
        const std::string name = IdentText();
        NextToken();
        if (TokenKind() == tk::Dot) {
          NextToken();
          const std::string column = TokenKind() == tk::Star ? "*" : IdentText();
          AddColumnRef(dependent_, name, column);
          NextToken();
          return;
        }
        TParseContext* top = TopScope();
        if (top && !top->Active) {
          std::string alias;
          if (TokenKind() == tk::Ident) {
            alias = IdentText();
            NextToken();
          }
          top->AddRelation(name, alias);
          return;
        }
        LinkDepend(dependent_, name, TDbObjectSet::All());
        AddColumnRef(dependent_, {}, name);
        return;
      }
      case tk::Star:
        AddColumnRef(dependent_, {}, "*");
        NextToken();
        return;
      case tk::String:
        LocalNames.Add(TokenText(), 0);
        NextToken();
        return;
      default: NextToken(); return;
    }
  }

  TDbObj* dependent_;
};

template <class T>
T* Held(TObjs& objs, const char* name) {
  auto obj = std::make_unique<T>(&objs);
  obj->SetName(name);
  return objs.AddObject(obj, true);
}

void AddColumn(TFieldList& list, TDbObj* holder, TObjs& objs, const char* name,
               const char* domain = "") {
  auto f = std::make_unique<TFldData>(&objs, holder);
  f->SetName(name);
  f->DomainName = domain;
  list.Add(name, std::move(f));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const TDatabaseType types[] = {TDatabaseType::dbInterBase, TDatabaseType::dbMSSQL,
                                 TDatabaseType::dbMySQL};
  const TDatabaseType type = types[data[0] % 3];
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.SetServerType(type);
  Held<TDmnData>(objs, "D1");
  TTblData* t = Held<TTblData>(objs, "T");
  AddColumn(t->Fields, t, objs, "A", "D1");
  AddColumn(t->Fields, t, objs, "B");
  TTblData* u = Held<TTblData>(objs, "U");
  AddColumn(u->Fields, u, objs, "A");
  TViwData* w = Held<TViwData>(objs, "W");
  AddColumn(w->Columns, w, objs, "C");
  TPrcData* p = Held<TPrcData>(objs, "P");
  AddColumn(p->OutParams, p, objs, "X");
  Held<TGnrData>(objs, "G");
  if (TIdxData* ix = Held<TIdxData>(objs, "IX")) {
    ix->TableName = "T";
    AddColumn(ix->Columns, ix, objs, "A");
  }
  TViwData* v = Held<TViwData>(objs, "V");

  ToyParser parser(type, v);
  parser.SetObjs(&objs);
  parser.OnErrorMessage = [](TObject*, const std::string&) {};
  parser.SetSource(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  parser.ParseText();
  while (parser.ScopeCount() > 0) parser.PopScope();
  parser.AfterParse();
  parser.AfterParse();
  return 0;
}
