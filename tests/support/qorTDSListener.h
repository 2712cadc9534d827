// Listeners of the tests' own on 127.0.0.1. The TDS one speaks just enough TDS to
// receive a client's login: it answers the pre-login, reads the LOGIN7
// packet (user, password, database and the rest, as the client sent them)
// and refuses the login with an error a real server would send. It shows
// what a connection string made of the values reaches a server.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qor::test {

struct TTDSLogin {
  std::uint32_t TDSVersion = 0;
  std::string HostName, UserName, Password, AppName, ServerName, Database;
};

inline constexpr const char* kTDSLoginRefusal = "Login refused by the test listener.";

class TTDSLoginListener {
 public:
  TTDSLoginListener();
  ~TTDSLoginListener();
  TTDSLoginListener(const TTDSLoginListener&) = delete;
  TTDSLoginListener& operator=(const TTDSLoginListener&) = delete;

  int Port() const { return port_; }
  std::vector<TTDSLogin> Logins() const;

 private:
  void Run();
  void Serve(int socket);
  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex lock_;
  std::vector<TTDSLogin> logins_;
  std::thread thread_;
};

// A listener on 127.0.0.1 that accepts every connection and never answers:
// a server that hangs after the handshake. The connections stay open until
// the listener goes.
class TSilentListener {
 public:
  TSilentListener();
  ~TSilentListener();
  TSilentListener(const TSilentListener&) = delete;
  TSilentListener& operator=(const TSilentListener&) = delete;

  int Port() const { return port_; }
  // Connections accepted so far.
  int Accepted() const { return accepted_; }

 private:
  void Run();
  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::vector<int> open_;  // only the listener's thread touches it
  std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on (bound and released).
int ClosedLocalPort();

}  // namespace qor::test
