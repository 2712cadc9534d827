// Listeners of the tests' own on 127.0.0.1. The TDS one speaks just enough TDS to
// receive a client's login: it answers the pre-login, reads the LOGIN7
// packet (user, password, database and the rest, as the client sent them)
// and refuses the login with an error a real server would send. It shows
// what a connection string made of the values reaches a server.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
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

// Accepts connections on 127.0.0.1 (a port of the system's choice) on a
// thread of its own and hands each to `serve`, on that thread.
class TLocalAcceptor {
 public:
  explicit TLocalAcceptor(std::function<void(int socket)> serve);
  ~TLocalAcceptor();
  TLocalAcceptor(const TLocalAcceptor&) = delete;
  TLocalAcceptor& operator=(const TLocalAcceptor&) = delete;

  int Port() const { return port_; }
  bool Stopping() const { return stop_; }
  // Ends the thread; nothing is handed to `serve` afterwards.
  void Stop();

 private:
  void Run();
  std::function<void(int)> serve_;
  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class TTDSLoginListener {
 public:
  TTDSLoginListener();

  int Port() const { return acceptor_.Port(); }
  std::vector<TTDSLogin> Logins() const;

 private:
  void Serve(int socket);
  mutable std::mutex lock_;
  std::vector<TTDSLogin> logins_;
  TLocalAcceptor acceptor_;  // last: its thread ends before the rest goes
};

// A listener on 127.0.0.1 that accepts every connection and never answers:
// a server that hangs after the handshake. The connections stay open until
// the listener goes.
class TSilentListener {
 public:
  TSilentListener();
  ~TSilentListener();

  int Port() const { return acceptor_.Port(); }
  // Connections accepted so far.
  int Accepted() const { return accepted_; }

 private:
  std::atomic<int> accepted_{0};
  std::vector<int> open_;  // only the acceptor's thread adds to it
  TLocalAcceptor acceptor_;
};

// A port on 127.0.0.1 that nothing listens on (bound and released).
int ClosedLocalPort();

}  // namespace qor::test
