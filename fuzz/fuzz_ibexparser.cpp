// Fuzzes the InterBase/Firebird body parser: the input is parsed as the
// stored text of one object of a small model (a procedure, trigger, view,
// computed column, check, domain or package, chosen by the second byte)
// under the server version the first byte picks, and then as a script whose
// bodies the same parser reads. No input may crash it, make it loop or
// recurse without bound; the tokens scanned stay within a fixed multiple
// of the input length.
#include "model/qorComp_Ctr.h"
#include "fuzz/qorFuzzCounting.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/ib/qorIBExParser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using qor::fuzz::Check;

using TCountingParser = qor::fuzz::TTokenCounting<qor::TIbExParser>;

const char* const kModel =
    "CREATE GENERATOR G; CREATE EXCEPTION E 'e'; CREATE DOMAIN D AS INTEGER;\n"
    "CREATE TABLE T (ID INTEGER, A VARCHAR(10), B D, C COMPUTED BY (ID * 2),\n"
    "  CONSTRAINT CK CHECK (ID > 0));\n"
    "CREATE TABLE U (ID INTEGER, T_ID INTEGER);\n"
    "CREATE VIEW V AS SELECT ID, A FROM T;\n"
    "SET TERM ^;\n"
    "CREATE PROCEDURE P (X INTEGER) RETURNS (Y INTEGER) AS BEGIN END^\n"
    "CREATE TRIGGER TR FOR T BEFORE INSERT AS BEGIN END^\n"
    "SET TERM ;^\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  qor::TObjs objs;
  objs.SetServerType(qor::TDatabaseType::dbInterBase);
  objs.IBServerOptions.SQLServerVersion =
      static_cast<qor::TIBSQLServerVersionType>(data[0] % qor::kIBVersionCount);
  {
    qor::TIbParser ddl(nullptr);
    ddl.OnErrorMessage = [](qor::TObject*, const std::string&) {};
    ddl.ParseScript({kModel}, &objs);
  }
  qor::TPkgData pkg(&objs);
  pkg.SetName("PK");
  // clang-format off
  qor::TDbObj* targets[] = {
      objs.FindProcedure("P"), objs.FindTrigger("TR"),       objs.FindView("V"),
      objs.FindField("T", "C"), objs.FindConstraint("CK"),    objs.FindDomain("D"),
      &pkg};
  // clang-format on
  qor::TDbObj* target = targets[data[1] % 7];
  Check(target != nullptr);
  if (auto* d = dynamic_cast<qor::TDmnData*>(target)) d->TypeHolder->CheckText = text;
  else target->SetText(text);
  if (target == &pkg) pkg.HeaderText = text;

  TCountingParser p(nullptr);
  p.SetObjs(&objs);
  p.OnErrorMessage = [](qor::TObject*, const std::string&) {};
  p.OnLogNextLine = [](qor::TObject*, const std::string&) {};
  p.ParseObjectText(target);
  // A package's header and body are the same text here: two readings.
  Check(p.Tokens <= 2 * 4 * (2 * text.size() + 2) + 16);
  Check(p.ScopeCount() == 0);

  // The same text as a script: INPUT would read files of this machine, so
  // the script runs without a collection when it could name one.
  const char* const word = "INPUT";
  const bool input = std::search(text.begin(), text.end(), word, word + 5,
                                 [](char a, char b) { return (a & ~0x20) == b; }) != text.end();
  if (!input) {
    p.Tokens = 0;
    p.ParseScript({text}, &objs);
    p.AfterParse();
    Check(p.Tokens <= 4 * (2 * text.size() + 2) + 16);
  }
  return 0;
}
