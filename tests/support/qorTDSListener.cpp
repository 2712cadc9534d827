#include "tests/support/qorTDSListener.h"

#include "platform/qorStrings.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace qor::test {

namespace {

constexpr std::uint8_t kPreLogin = 0x12;
constexpr std::uint8_t kLogin7 = 0x10;
constexpr std::uint8_t kReply = 0x04;

int BoundLocalSocket(int& port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) throw std::runtime_error("test listener: no socket");
  const int yes = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  socklen_t len = sizeof a;
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    close(s);
    throw std::runtime_error("test listener: cannot bind 127.0.0.1");
  }
  port = ntohs(a.sin_port);
  return s;
}

bool ReadFull(int s, std::uint8_t* out, std::size_t n) {
  while (n > 0) {
    pollfd p{s, POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0) return false;
    const ssize_t got = recv(s, out, n, 0);
    if (got <= 0) return false;
    out += got;
    n -= static_cast<std::size_t>(got);
  }
  return true;
}

// One message: the packets up to the one marked end-of-message.
bool ReadMessage(int s, std::uint8_t& type, std::vector<std::uint8_t>& payload) {
  payload.clear();
  while (true) {
    std::uint8_t header[8];
    if (!ReadFull(s, header, sizeof header)) return false;
    type = header[0];
    const std::size_t length = (std::size_t{header[2]} << 8) | header[3];
    if (length < 8) return false;
    const std::size_t start = payload.size();
    payload.resize(start + length - 8);
    if (!ReadFull(s, payload.data() + start, length - 8)) return false;
    if (header[1] & 0x01) return true;
  }
}

void SendMessage(int s, const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> packet = {kReply, 0x01, 0, 0, 0, 0, 1, 0};
  const std::size_t length = payload.size() + 8;
  packet[2] = static_cast<std::uint8_t>(length >> 8);
  packet[3] = static_cast<std::uint8_t>(length & 0xFF);
  packet.insert(packet.end(), payload.begin(), payload.end());
  send(s, packet.data(), packet.size(), MSG_NOSIGNAL);
}

std::uint16_t U16(const std::vector<std::uint8_t>& p, std::size_t at) {
  return at + 1 < p.size() ? static_cast<std::uint16_t>(p[at] | (p[at + 1] << 8)) : 0;
}

// `chars` UTF-16 little-endian code units from `offset`.
std::string Utf16Field(const std::vector<std::uint8_t>& p, std::size_t offset, std::size_t chars) {
  std::u16string units;
  for (std::size_t i = 0; i < chars && offset + 2 * i + 1 < p.size(); ++i)
    units.push_back(static_cast<char16_t>(U16(p, offset + 2 * i)));
  return Utf16ToUtf8(units);
}

// The password travels with each byte's halves swapped and XOR 0xA5.
std::vector<std::uint8_t> Unscramble(const std::vector<std::uint8_t>& p, std::size_t offset,
                                     std::size_t chars) {
  std::vector<std::uint8_t> out(
      p.begin() + static_cast<std::ptrdiff_t>(std::min(offset, p.size())),
      p.begin() + static_cast<std::ptrdiff_t>(std::min(offset + 2 * chars, p.size())));
  for (std::uint8_t& b : out) {
    b ^= 0xA5;
    b = static_cast<std::uint8_t>((b << 4) | (b >> 4));
  }
  return out;
}

TTDSLogin ReadLogin7(const std::vector<std::uint8_t>& p) {
  TTDSLogin login;
  if (p.size() >= 8)
    login.TDSVersion = static_cast<std::uint32_t>(p[4] | (p[5] << 8) | (p[6] << 16)) |
                       (static_cast<std::uint32_t>(p[7]) << 24);
  auto field = [&p](std::size_t at) { return Utf16Field(p, U16(p, at), U16(p, at + 2)); };
  login.HostName = field(36);
  login.UserName = field(40);
  const std::vector<std::uint8_t> pw = Unscramble(p, U16(p, 44), U16(p, 46));
  login.Password = Utf16Field(pw, 0, pw.size() / 2);
  login.AppName = field(48);
  login.ServerName = field(52);
  login.Database = field(68);
  return login;
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

void PutUcs2(std::vector<std::uint8_t>& out, std::string_view ascii) {
  for (char c : ascii) PutU16(out, static_cast<std::uint8_t>(c));
}

// Version 15.0, no encryption.
std::vector<std::uint8_t> PreLoginReply() {
  return {0x00, 0x00, 0x0B, 0x00, 0x06, 0x01, 0x00, 0x11, 0x00,
          0x01, 0xFF, 0x0F, 0x00, 0x07, 0xD0, 0x00, 0x00, 0x02};
}

// ERROR 18456 and DONE with the error flag, as a server refuses a login.
std::vector<std::uint8_t> LoginRefusal(std::uint32_t tdsVersion) {
  const bool wide = (tdsVersion >> 24) >= 0x72;
  const std::string text = kTDSLoginRefusal;
  const std::string server = "qortest";
  std::vector<std::uint8_t> body;
  PutU32(body, 18456);
  body.push_back(1);   // state
  body.push_back(14);  // class
  PutU16(body, static_cast<std::uint32_t>(text.size()));
  PutUcs2(body, text);
  body.push_back(static_cast<std::uint8_t>(server.size()));
  PutUcs2(body, server);
  body.push_back(0);  // procedure name
  if (wide) PutU32(body, 1);
  else PutU16(body, 1);
  std::vector<std::uint8_t> out = {0xAA};
  PutU16(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  out.push_back(0xFD);
  PutU16(out, 0x0002);
  PutU16(out, 0);
  PutU32(out, 0);
  if (wide) PutU32(out, 0);
  return out;
}

}  // namespace

TLocalAcceptor::TLocalAcceptor(std::function<void(int)> serve) : serve_(std::move(serve)) {
  listen_ = BoundLocalSocket(port_);
  if (listen(listen_, 8) != 0) {
    close(listen_);
    throw std::runtime_error("test listener: cannot listen");
  }
  thread_ = std::thread([this] { Run(); });
}

TLocalAcceptor::~TLocalAcceptor() {
  Stop();
  close(listen_);
}

void TLocalAcceptor::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void TLocalAcceptor::Run() {
  while (!stop_) {
    pollfd p{listen_, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    const int s = accept(listen_, nullptr, nullptr);
    if (s >= 0) serve_(s);
  }
}

TTDSLoginListener::TTDSLoginListener()
    : acceptor_([this](int s) {
        Serve(s);
        close(s);
      }) {}

std::vector<TTDSLogin> TTDSLoginListener::Logins() const {
  std::lock_guard<std::mutex> guard(lock_);
  return logins_;
}

void TTDSLoginListener::Serve(int s) {
  std::uint8_t type = 0;
  std::vector<std::uint8_t> payload;
  while (!acceptor_.Stopping() && ReadMessage(s, type, payload)) {
    if (type == kPreLogin) {
      SendMessage(s, PreLoginReply());
      continue;
    }
    if (type != kLogin7) return;
    TTDSLogin login = ReadLogin7(payload);
    const std::uint32_t version = login.TDSVersion;
    {
      std::lock_guard<std::mutex> guard(lock_);
      logins_.push_back(std::move(login));
    }
    SendMessage(s, LoginRefusal(version));
    return;
  }
}

TSilentListener::TSilentListener()
    : acceptor_([this](int s) {
        open_.push_back(s);
        ++accepted_;
      }) {}

TSilentListener::~TSilentListener() {
  acceptor_.Stop();
  for (int s : open_) close(s);
}

int ClosedLocalPort() {
  int port = 0;
  close(BoundLocalSocket(port));
  return port;
}

}  // namespace qor::test
