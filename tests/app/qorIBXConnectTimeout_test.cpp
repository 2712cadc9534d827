// The services attach, which the window reaches only after the database
// attach has been answered, gives up on a silent server as the attach does.
#include "platform/ibx/qorIBX.h"
#include "tests/support/qorTDSListener.h"

#include <gtest/gtest.h>

#include <string>

namespace qor {
namespace {

TEST(IBXConnectTimeout, ServicesOfASilentServer) {
  test::TSilentListener server;
  TIBServerProperties services;
  services.ServerName = "127.0.0.1/" + std::to_string(server.Port());
  services.Protocol = TIBProtocol::TCP;
  services.Params.Add("user_name=SYSDBA");
  services.Params.Add("password=x");
  try {
    services.SetActive(true);
    ADD_FAILURE() << "attached to a server that never answers";
  } catch (const EIBError& e) {
    const std::string note = "The server of \"" + services.ServiceName() +
                             "\" did not answer within " + std::to_string(kIBConnectTimeout) +
                             " seconds";
    EXPECT_NE(std::string(e.what()).find(note), std::string::npos) << e.what();
  }
  EXPECT_FALSE(services.Active());
  EXPECT_GE(server.Accepted(), 1);
}

}  // namespace
}  // namespace qor
