// The InterBase-client binding on the real embedded Firebird engine.
#include "engine/qorConnection_IBXDB.h"
#include "engine/qorDB_IBX.h"
#include "engine/qorDBEngine.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(FbEmbedded, Smoke) {
  TQORConnection c;
  std::vector<std::string> errors, log;
  c.OnErrorMessage = [&](TObject*, const std::string& t) { errors.push_back(t); };
  c.OnLogNextLine = [&](TObject*, const std::string& t) { log.push_back(t); };
  c.SetConnectionType(TconnectionType::cnIBX);
  c.SetDatabaseType(TDatabaseType::dbInterBase);
  c.ConnectionOptions.DatabaseName = test::FreshTestFile("smoke.fdb");
  c.ConnectionOptions.Protocol = TQORProtocol::ptLocal;
  c.IBServerOptions.SetDBCharSet("UTF8");
  EXPECT_TRUE(c.CreateDatabase());
  c.SetConnected(true);
  for (auto& e : errors) ADD_FAILURE() << e;
  for (auto& l : log) std::cout << l << "\n";
  ASSERT_TRUE(c.Connected());
  std::cout << c.GetServerInfo(false);
  auto q = c.CreateQuery();
  q->GetSQL()->Add("select rdb$relation_name, rdb$description from rdb$relations where rdb$relation_name starting with :P");
  q->ParamByName("P")->SetAsString("RDB$R");
  q->Open();
  while (!q->Eof()) { std::cout << "[" << q->FieldByName("RDB$RELATION_NAME")->AsString() << "]\n"; q->Next(); }
  q->Close();
  c.SetConnected(false);
  EXPECT_FALSE(c.Connected());
}

}  // namespace
}  // namespace qor
