// Fuzzes the MySQL parser: any text is read as a script, then as the stored
// CREATE text of a table, a view and a routine (wrapped in DELIMITER lines
// as the extractor wraps it) and as a trigger body, then linked. The work
// must stay bounded: the parser reads at most a fixed number of tokens per
// character of input, so no rule spins or rescans without end. Run under
// the sanitizers, so a dangling object or edge fails.
#include "parsers/mysql/qorMySQLParser.h"
#include "fuzz/qorFuzzCounting.h"

#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace qor;

using qor::fuzz::Check;

using TCountingParser = qor::fuzz::TTokenCounting<TMySQLParser>;

// Look-aheads rescan a token now and then; a rule that loops rescans far
// more than this.
constexpr std::size_t kTokensPerChar = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.SetServerType(TDatabaseType::dbMySQL);
  objs.MySQLServerOptions.MySQLCompareOptions.CaseSensitiveIdentifiers = (data[0] & 1) != 0;
  TCountingParser p(nullptr);
  p.OnErrorMessage = [](TObject*, const std::string&) {};
  p.SetObjs(&objs);

  p.SetSource(text);
  p.ParseText();
  Check(p.Tokens <= kTokensPerChar * (text.size() + 2));

  // The same text as the extractor hands stored texts over.
  auto table = std::make_unique<TTblData>(&objs);
  table->ObjectSource = "CREATE TABLE `fuzz_t` (" + text;
  auto view = std::make_unique<TViwData>(&objs);
  view->ObjectSource = "CREATE VIEW `fuzz_v` AS " + text;
  auto proc = std::make_unique<TPrcData>(&objs);
  proc->SetName("fuzz_p");
  proc->ObjectSource =
      "DELIMITER $$\r\nCREATE PROCEDURE `fuzz_p`(" + text + "$$\r\nDELIMITER ;\r\n";
  auto trg = std::make_unique<TTrgData>(&objs);
  trg->SetName("fuzz_tr");
  trg->SetText(text);
  TDbObj* held = objs.AddObject(proc, true);
  for (TDbObj* obj : {static_cast<TDbObj*>(table.get()), static_cast<TDbObj*>(view.get()), held,
                      static_cast<TDbObj*>(trg.get())}) {
    if (!obj) continue;
    p.Tokens = 0;
    p.ParseObjectSource(obj);
    Check(p.Tokens <= kTokensPerChar * (text.size() + 60));
  }
  objs.AddObject(table, true);
  objs.AddObject(view, true);
  objs.AddObject(trg, true);
  p.AfterParse();
  return 0;
}
