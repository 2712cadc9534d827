#include "platform/odbc/qorConnString.h"

#include "platform/qorObject.h"
#include "platform/qorStrings.h"

#include <cstdlib>
#include <map>
#include <mutex>

namespace qor {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

[[noreturn]] void ParseError(std::string_view text, std::size_t pos, const std::string& what) {
  throw EQorError("Connection string: " + what + " at position " +
                  IntToStr(static_cast<std::int64_t>(pos) + 1) + " of " +
                  IntToStr(static_cast<std::int64_t>(text.size())));
}

std::size_t SkipSpaces(std::string_view text, std::size_t p) {
  while (p < text.size() && IsSpace(text[p])) ++p;
  return p;
}

// The key up to its "=": OLE DB writes "=" inside a key as "==".
std::string ReadKey(std::string_view text, std::size_t& p, TConnStringSyntax syntax) {
  const std::size_t start = p;
  std::string key;
  while (p < text.size()) {
    const char c = text[p];
    if (c == ';') ParseError(text, start, "the keyword '" + TrimBlanks(key) + "' has no \"=\"");
    if (c == '=') {
      if (syntax == TConnStringSyntax::OLEDB && p + 1 < text.size() && text[p + 1] == '=') {
        key += '=';
        p += 2;
        continue;
      }
      ++p;
      return TrimCtl(key);
    }
    key += c;
    ++p;
  }
  ParseError(text, start, "the keyword '" + TrimCtl(key) + "' has no \"=\"");
}

// Reads up to the closing `close`, a doubled one standing for itself.
std::string ReadEnclosed(std::string_view text, std::size_t& p, char close) {
  const std::size_t open = p++;
  std::string value;
  while (p < text.size()) {
    if (text[p] == close) {
      if (p + 1 < text.size() && text[p + 1] == close) {
        value += close;
        p += 2;
        continue;
      }
      ++p;
      return value;
    }
    value += text[p++];
  }
  ParseError(text, open, std::string("the value opened with ") + text[open] + " is not closed");
}

}  // namespace

std::vector<TConnStringPair> ParseConnectionString(std::string_view text,
                                                   TConnStringSyntax syntax) {
  std::vector<TConnStringPair> pairs;
  std::size_t p = 0;
  while (true) {
    while (p < text.size() && (IsSpace(text[p]) || text[p] == ';')) ++p;
    if (p >= text.size()) break;
    TConnStringPair pair;
    pair.Key = ReadKey(text, p, syntax);
    if (pair.Key.empty()) ParseError(text, p, "a value has no keyword");
    p = SkipSpaces(text, p);
    pair.ValueStart = p;
    const char c = p < text.size() ? text[p] : '\0';
    const bool enclosed = syntax == TConnStringSyntax::OLEDB ? (c == '"' || c == '\'') : c == '{';
    if (enclosed) {
      pair.Value = ReadEnclosed(text, p, c == '{' ? '}' : c);
      pair.ValueLength = p - pair.ValueStart;
      p = SkipSpaces(text, p);
      if (p < text.size() && text[p] != ';')
        ParseError(text, p, "text follows the closing quote of '" + pair.Key + "'");
    } else {
      while (p < text.size() && text[p] != ';') ++p;
      std::size_t end = p;
      while (end > pair.ValueStart && IsSpace(text[end - 1])) --end;
      pair.Value = std::string(text.substr(pair.ValueStart, end - pair.ValueStart));
      pair.ValueLength = end - pair.ValueStart;
    }
    pairs.push_back(std::move(pair));
  }
  return pairs;
}

namespace {

void CheckCarried(std::string_view value, std::string_view what) {
  if (value.find('\0') != std::string_view::npos)
    throw EQorError("The " + std::string(what) +
                    " holds a NUL character, which a connection string cannot carry.");
}

bool EdgeBlank(std::string_view v) {
  return !v.empty() && (IsSpace(v.front()) || IsSpace(v.back()));
}

}  // namespace

std::string QuoteOLEDBValue(std::string_view value, std::string_view what) {
  CheckCarried(value, what);
  const bool plain = value.find_first_of(";\"'") == std::string_view::npos && !EdgeBlank(value) &&
                     (value.empty() || value.front() != '=');
  if (plain) return std::string(value);
  const bool hasDouble = value.find('"') != std::string_view::npos;
  const bool hasSingle = value.find('\'') != std::string_view::npos;
  if (hasDouble && !hasSingle) return "'" + std::string(value) + "'";
  return QuotedStr(value, '"');
}

std::string QuoteODBCValue(std::string_view value, std::string_view what) {
  CheckCarried(value, what);
  const bool plain = value.find_first_of(";{}=") == std::string_view::npos && !EdgeBlank(value);
  if (plain) return std::string(value);
  return "{" + ReplaceAll(value, "}", "}}") + "}";
}

namespace {

bool IsDriverKey(std::string_view key) {
  return SameText(key, "Driver") || SameText(key, "DSN") || SameText(key, "FileDSN");
}

bool IsPasswordKey(std::string_view key) {
  return SameText(key, "Password") || SameText(key, "PWD");
}

}  // namespace

bool NamesODBCDriver(std::string_view text) {
  try {
    for (const TConnStringPair& p : ParseConnectionString(text, TConnStringSyntax::ODBC))
      if (IsDriverKey(p.Key)) return true;
  } catch (const EQorError&) {
    return false;
  }
  return false;
}

std::string MaskConnectionStringPassword(std::string_view text) {
  const TConnStringSyntax syntax =
      NamesODBCDriver(text) ? TConnStringSyntax::ODBC : TConnStringSyntax::OLEDB;
  std::vector<TConnStringPair> pairs;
  try {
    pairs = ParseConnectionString(text, syntax);
  } catch (const EQorError& e) {
    // Where the password ends cannot be told: nothing of it is shown.
    return std::string("(not shown: ") + e.what() + ")";
  }
  std::string out(text);
  // Back to front, so earlier positions stay valid.
  for (auto it = pairs.rbegin(); it != pairs.rend(); ++it)
    if (IsPasswordKey(it->Key) && !it->Value.empty())
      out.replace(it->ValueStart, it->ValueLength, "*******");
  return out;
}

// ------------------------------------------------------------ provider map

namespace {

struct ProviderMap {
  std::mutex lock;
  std::map<std::string, std::string> drivers;  // upper-cased provider -> driver
  bool loaded = false;
};

ProviderMap& Providers() {
  static ProviderMap map;
  return map;
}

// "SQLOLEDB.1" names the same provider as "SQLOLEDB".
std::string ProviderKey(std::string_view provider) {
  std::string key = UpperAscii(TrimCtl(provider));
  const std::size_t dot = key.rfind('.');
  if (dot != std::string::npos && dot + 1 < key.size() &&
      key.find_first_not_of("0123456789", dot + 1) == std::string::npos)
    key.resize(dot);
  return key;
}

void LoadDefaults(ProviderMap& m) {
  if (m.loaded) return;
  m.loaded = true;
  const char* env = std::getenv("QOR_SQLOLEDB_DRIVER");
  const std::string driver = env && *env ? env : "FreeTDS";
  for (const char* p : {"SQLOLEDB", "SQLNCLI", "SQLNCLI10", "SQLNCLI11", "MSOLEDBSQL"})
    m.drivers[p] = driver;
}

}  // namespace

std::string ProviderDriver(std::string_view provider) {
  ProviderMap& m = Providers();
  std::lock_guard<std::mutex> guard(m.lock);
  LoadDefaults(m);
  const auto it = m.drivers.find(ProviderKey(provider));
  return it == m.drivers.end() ? std::string() : it->second;
}

void SetProviderDriver(std::string_view provider, std::string driver) {
  ProviderMap& m = Providers();
  std::lock_guard<std::mutex> guard(m.lock);
  LoadDefaults(m);
  if (driver.empty()) m.drivers.erase(ProviderKey(provider));
  else m.drivers[ProviderKey(provider)] = std::move(driver);
}

// ------------------------------------------------------------- translation

namespace {

bool AnyOf(std::string_view key, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (SameText(key, n)) return true;
  return false;
}

bool IsTrue(std::string_view v) {
  return SameText(v, "SSPI") || SameText(v, "true") || SameText(v, "yes");
}

// FreeTDS finds the end of a braced value by the ODBC rule but keeps a
// doubled "}" doubled, so a braced value cannot hold "}"; an unbraced one it
// reads up to the next ";" as it stands, blanks included.
bool IsFreeTDS(std::string_view driver) {
  const std::string u = UpperAscii(driver);
  return u.find("FREETDS") != std::string::npos || u.find("TDSODBC") != std::string::npos;
}

std::string QuoteFreeTDSValue(std::string_view value, std::string_view what) {
  CheckCarried(value, what);
  const bool braces =
      value.find(';') != std::string_view::npos || (!value.empty() && value.front() == '{');
  if (!braces) return std::string(value);
  if (value.find('}') != std::string_view::npos)
    throw EQorError(
        "The " + std::string(what) +
        " holds \"}\" together with \";\" or a leading \"{\", which the FreeTDS driver cannot receive.");
  return "{" + std::string(value) + "}";
}

}  // namespace

TODBCConnectString TranslateConnectionString(std::string_view text) {
  TODBCConnectString result;
  if (NamesODBCDriver(text)) {
    result.Text = std::string(text);
    return result;
  }
  const std::vector<TConnStringPair> pairs = ParseConnectionString(text, TConnStringSyntax::OLEDB);
  std::string driver, body;
  for (const TConnStringPair& p : pairs) {
    if (!SameText(p.Key, "Provider")) continue;
    driver = ProviderDriver(p.Value);
    if (driver.empty())
      throw EQorError("No ODBC driver is configured for the OLE DB provider '" + p.Value + "'.");
  }
  const bool freeTDS = IsFreeTDS(driver);
  auto add = [&body, freeTDS](const char* key, std::string_view value, std::string_view what) {
    body += std::string(key) + "=" +
            (freeTDS ? QuoteFreeTDSValue(value, what) : QuoteODBCValue(value, what)) + ";";
  };
  for (const TConnStringPair& p : pairs) {
    if (SameText(p.Key, "Provider")) {
      continue;
    } else if (AnyOf(p.Key, {"Initial Catalog", "Database"})) {
      add("Database", p.Value, "database name");
    } else if (AnyOf(p.Key, {"Data Source", "Server", "Address", "Addr"})) {
      add("Server", p.Value, "server name");
    } else if (AnyOf(p.Key, {"User ID", "UID", "User"})) {
      add("UID", p.Value, "user name");
    } else if (AnyOf(p.Key, {"Password", "PWD"})) {
      add("PWD", p.Value, "password");
    } else if (AnyOf(p.Key, {"Integrated Security", "Trusted_Connection"})) {
      if (IsTrue(p.Value)) body += "Trusted_Connection=Yes;";
    } else if (AnyOf(p.Key, {"Connect Timeout", "Connection Timeout"})) {
      int seconds = 0;
      for (char ch : p.Value) {
        if (ch < '0' || ch > '9' || seconds > 100000)
          throw EQorError("Connection string: '" + p.Key +
                          "' is not a number of seconds: " + p.Value);
        seconds = seconds * 10 + (ch - '0');
      }
      result.LoginTimeout = seconds;
    }
    // Every other keyword has no ODBC meaning.
  }
  if (!driver.empty()) {
    body = "Driver=" + QuoteODBCValue(driver, "driver name") + ";" + body;
  }
  result.Text = body;
  return result;
}

}  // namespace qor
