// Fuzzes the T-SQL parser: any text is read as a script (script mode) and as
// the stored definition of a procedure, a function, a view and a trigger
// (body mode: expressions, queries and procedural statements with the
// dependencies they link), then linked. The script's own bodies are read
// again as ParseScript does after a script. The work must stay bounded: the parser reads at most a
// fixed number of tokens per character of input, so no rule spins or rescans without end. Run under
// the sanitizers, so a dangling object or edge fails.
#include "parsers/mssql/qorMSSQLParser.h"
#include "fuzz/qorFuzzCounting.h"

#include "model/qorComp_Prc.h"
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

using TCountingParser = qor::fuzz::TTokenCounting<TMSSQLParser>;

// Look-aheads rescan a token now and then; a rule that loops rescans far
// more than this.
constexpr std::size_t kTokensPerChar = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.SetServerType(TDatabaseType::dbMSSQL);
  if (data[0] & 1) objs.MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2016;
  TCountingParser p(nullptr);
  p.OnErrorMessage = [](TObject*, const std::string&) {};
  p.SetObjs(&objs);
  p.QuotedIdentifiers = (data[0] & 2) != 0;

  p.BodyMode = false;
  p.SetSource(text);
  p.ParseText();
  Check(p.Tokens <= kTokensPerChar * (text.size() + 2));

  // The same text as stored definitions.
  auto proc = std::make_unique<TPrcData>(&objs);
  proc->SetName("FUZZ_P");
  proc->ObjectSource = "CREATE PROCEDURE FUZZ_P AS " + text;
  auto view = std::make_unique<TViwData>(&objs);
  view->SetName("FUZZ_V");
  view->ObjectSource = "CREATE VIEW FUZZ_V AS " + text;
  auto fn = std::make_unique<TPrcData>(&objs);
  fn->SetName("FUZZ_F");
  fn->IsFunction = true;
  fn->ObjectSource = "CREATE FUNCTION FUZZ_F () RETURNS @r TABLE (a int) AS BEGIN " + text;
  auto trg = std::make_unique<TTrgData>(&objs);
  trg->SetName("FUZZ_T");
  trg->ObjectSource = "CREATE TRIGGER FUZZ_T ON T FOR INSERT AS " + text;
  p.BodyMode = true;
  for (TDbObj* obj : {static_cast<TDbObj*>(objs.AddObject(proc, true)),
                      static_cast<TDbObj*>(objs.AddObject(view, true)),
                      static_cast<TDbObj*>(objs.AddObject(fn, true)),
                      static_cast<TDbObj*>(objs.AddObject(trg, true))}) {
    if (!obj) continue;
    p.Tokens = 0;
    p.ParseObject(obj);
    Check(p.Tokens <= kTokensPerChar * (text.size() + 60));
  }
  // The stored texts of everything the script built, read in body mode.
  p.Tokens = 0;
  std::size_t stored = 0;
  for (int i = 0; i < objs.Views.Count(); ++i) {
    stored += objs.Views.Object(i)->GetText().size() + 2;
    p.ParseObjectText(objs.Views.Object(i));
  }
  for (int i = 0; i < objs.Procedures.Count(); ++i) {
    stored += objs.Procedures.Object(i)->GetText().size() + 2;
    p.ParseObjectText(objs.Procedures.Object(i));
  }
  for (int i = 0; i < objs.Triggers.Count(); ++i) {
    stored += objs.Triggers.Object(i)->GetText().size() + 2;
    p.ParseObjectText(objs.Triggers.Object(i));
  }
  Check(p.Tokens <= kTokensPerChar * (stored + 2));
  p.AfterParse();
  p.AfterParse();
  return 0;
}
