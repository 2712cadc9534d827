// Fuzzes the T-SQL parser: any text is read as a script (script mode) and as
// the stored definition of a procedure, a view and a trigger (body mode),
// then linked. The work must stay bounded: the parser reads at most a fixed
// number of tokens per character of input, so no rule spins or rescans
// without end. Run under the sanitizers, so a dangling object or edge fails.
#include "parsers/mssql/qorMSSQLParser.h"

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

void Check(bool ok) {
  if (!ok) std::abort();
}

// Counts the tokens the parser reads.
class CountingParser : public TMSSQLParser {
 public:
  CountingParser() : TMSSQLParser(nullptr) {}
  void NextToken() override {
    ++Tokens;
    TMSSQLParser::NextToken();
  }
  std::size_t Tokens = 0;
};

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
  if (data[0] & 1)
    objs.MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2016;
  CountingParser p;
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
  auto trg = std::make_unique<TTrgData>(&objs);
  trg->SetName("FUZZ_T");
  trg->ObjectSource = "CREATE TRIGGER FUZZ_T ON T FOR INSERT AS " + text;
  p.BodyMode = true;
  for (TDbObj* obj : {static_cast<TDbObj*>(objs.AddObject(proc, true)),
                      static_cast<TDbObj*>(objs.AddObject(view, true)),
                      static_cast<TDbObj*>(objs.AddObject(trg, true))}) {
    if (!obj) continue;
    p.Tokens = 0;
    p.ParseObject(obj);
    Check(p.Tokens <= kTokensPerChar * (text.size() + 60));
  }
  p.AfterParse();
  p.AfterParse();
  return 0;
}
