// The last step of the MS SQL extractor: the dependencies the server
// records (sysdepends), then the stored texts read again by the T-SQL
// parser, which links what they name.
#include "extract/mssql/qorMSSQLDatabaseExtract.h"

#include "base/qorMsgMngr.h"
#include "engine/qorDBEngine.h"
#include "extract/mssql/qorMSSQLCatalogQueries.h"
#include "extract/mssql/qorMSSQLExtractRead.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/mssql/qorMSSQLParser.h"

#include <unordered_map>

namespace qor {

using namespace msread;

// ------------------------------------------------------------ Dependencies

namespace {

// Catalog ids to objects, the first hit in the order FindObjectById tries
// the lists, so that the rows of sysdepends are looked up in constant time.
class TIdIndex {
 public:
  explicit TIdIndex(TObjs& o) {
    Add(o.Rules);
    Add(o.Defaults);
    Add(o.Domains);
    Add(o.Tables);
    Add(o.Indices);
    Add(o.Views);
    Add(o.Procedures);
    Add(o.Triggers);
    Add(o.Constraints);
  }
  TDbObj* Find(std::int32_t id) const {
    if (id == 0) return nullptr;
    const auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
  }

 private:
  template <class T>
  void Add(const TOwnedNameList<T>& list) {
    for (int i = 0; i < list.Count(); ++i)
      if (T* obj = list.Value(i).get(); obj && obj->ObjectId != 0)
        byId_.emplace(obj->ObjectId, obj);
  }
  std::unordered_map<std::int32_t, TDbObj*> byId_;
};

}  // namespace

void TMSSQLDBExtract::ExtractDependencies() {
  LogLine("Extracting dependencies...");
  TObjs* o = GetObjs();
  const TIdIndex index(*o);
  TQORQuery& q = *CatalogQuery();
  SetSQL(q, msq::kDependencies);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    TDbObj* user = index.Find(Int32(q, msq::DependencyCol::Id));
    TDbObj* used = index.Find(Int32(q, msq::DependencyCol::DepId));
    if (user && used) o->AddDependency(user, used, 0, 0);
  }
  Done(q);
}

void TMSSQLDBExtract::ParseBodies() {
  LogLine("Parsing bodies...");
  TObjs* o = GetObjs();
  auto parser = std::make_unique<TMSSQLParser>(this);
  parser->SetObjs(o);
  // A stored text the parser cannot read reaches the host as a log line;
  // the parser's messages keep it as an error.
  parser->OnErrorMessage = [this](TObject* sender, const std::string& text) {
    if (OnLogNextLine) OnLogNextLine(sender, text);
  };
  parser->QuotedIdentifiers = true;
  // Its line count of one stored text is no progress of the run.
  parser->ShowProgress = false;
  auto each = [&parser](auto& list) {
    for (int i = 0; i < list.Count(); ++i) {
      parser->ParseObject(list.Value(i).get());
      ProcessMessages();
    }
  };
  each(o->Rules);
  each(o->Defaults);
  each(o->Indices);

  // Parsing a constraint may change its key; the list is keyed anew.
  TOwnedNameList<TCtrData>& ctrs = o->Constraints;
  ctrs.SetSorted(false);
  for (int i = 0; i < ctrs.Count(); ++i) {
    TCtrData* c = ctrs.Value(i).get();
    if (!c || c->GetConstraintType() == ct::ForeignKey) continue;
    parser->ParseObject(c);
    const std::string key = c->GetKeyName();
    if (key != ctrs.Name(i)) {
      std::unique_ptr<TCtrData> moved = std::move(ctrs.Value(i));
      ctrs.Delete(i);
      ctrs.Insert(i, key, std::move(moved));
    }
    ProcessMessages();
  }
  ctrs.SetSorted(true);

  each(o->Views);
  each(o->Procedures);
  each(o->Triggers);

  LogLine("Linking dependencies...");
  parser->AfterParse();
  GetMsgManager()->AddFrom(&parser->Messages());
}

}  // namespace qor
