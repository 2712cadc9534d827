#include "app/qorIniFile.h"

#include "base/qorTypes.h"
#include "platform/qorStrings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <utility>

namespace qor {

namespace {

std::string_view TrimSpaces(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

bool IsComment(std::string_view trimmed) {
  return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// The name inside "[...]", or false when the line is no section header.
bool SectionName(std::string_view line, std::string_view& name) {
  const std::string_view t = TrimSpaces(line);
  if (t.empty() || t.front() != '[') return false;
  const auto close = t.find(']');
  if (close == std::string_view::npos) return false;
  name = TrimSpaces(t.substr(1, close - 1));
  return true;
}

// Key and raw value of a "key=value" line.
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view t = TrimSpaces(line);
  if (t.empty() || IsComment(t)) return false;
  const auto eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  key = TrimSpaces(t.substr(0, eq));
  value = TrimSpaces(t.substr(eq + 1));
  return true;
}

bool Enclosed(std::string_view v) { return v.size() >= 2 && v.front() == '"' && v.back() == '"'; }

}  // namespace

TIniFile::TIniFile(std::string FileName) : fileName_(std::move(FileName)) {
  std::ifstream in(fileName_, std::ios::binary);
  if (!in) return;
  std::ostringstream all;
  all << in.rdbuf();
  std::string text = all.str();
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  if (text.find("\r\n") == std::string::npos && text.find('\n') != std::string::npos)
    lineBreak_ = "\n";
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
    start = end + 1;
  }
}

int TIniFile::FindSection(std::string_view Section) const {
  std::string_view name;
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (SectionName(lines_[i], name) && SameText(name, Section)) return static_cast<int>(i);
  return -1;
}

int TIniFile::FindKey(int header, std::string_view Key) const {
  std::string_view name, key, value;
  for (std::size_t i = static_cast<std::size_t>(header) + 1; i < lines_.size(); ++i) {
    if (SectionName(lines_[i], name)) break;
    if (KeyValue(lines_[i], key, value) && SameText(key, Key)) return static_cast<int>(i);
  }
  return -1;
}

int TIniFile::SectionEnd(int header) const {
  std::string_view name;
  int last = header;
  for (std::size_t i = static_cast<std::size_t>(header) + 1; i < lines_.size(); ++i) {
    if (SectionName(lines_[i], name)) break;
    if (!TrimSpaces(lines_[i]).empty()) last = static_cast<int>(i);
  }
  return last + 1;
}

bool TIniFile::ValueExists(std::string_view Section, std::string_view Key) const {
  const int header = FindSection(Section);
  return header >= 0 && FindKey(header, Key) >= 0;
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Key,
                                 std::string_view Default) const {
  const int header = FindSection(Section);
  const int at = header < 0 ? -1 : FindKey(header, Key);
  if (at < 0) return std::string(Default);
  std::string_view key, value;
  KeyValue(lines_[static_cast<std::size_t>(at)], key, value);
  if (Enclosed(value)) value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::int32_t TIniFile::ReadInteger(std::string_view Section, std::string_view Key,
                                   std::int32_t Default) const {
  std::int32_t v = 0;
  return StrToIntOk(ReadString(Section, Key, ""), v) ? v : Default;
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Key, bool Default) const {
  return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view Section, std::string_view Key, std::string_view Value) {
  std::string v;
  for (char c : Value)
    if (c != '\r' && c != '\n') v += c;
  if (TrimSpaces(v) != v || Enclosed(v)) v = '"' + v + '"';
  const std::string line = std::string(Key) + "=" + v;
  int header = FindSection(Section);
  if (header < 0) {
    if (!lines_.empty() && !TrimSpaces(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(Section) + "]");
    lines_.push_back(line);
    return;
  }
  const int at = FindKey(header, Key);
  if (at >= 0) {
    lines_[static_cast<std::size_t>(at)] = line;
    return;
  }
  lines_.insert(lines_.begin() + SectionEnd(header), line);
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Key, std::int32_t Value) {
  WriteString(Section, Key, std::to_string(Value));
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Key, bool Value) {
  WriteString(Section, Key, Value ? "1" : "0");
}

std::string TIniFile::Text() const {
  std::string out;
  for (const auto& l : lines_) out += l + lineBreak_;
  return out;
}

bool TIniFile::UpdateFile(std::string& Error) const {
  std::string temp = fileName_ + ".XXXXXX";
  // mkstemp creates the file with mode 0600.
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    Error = "Cannot create a file beside \"" + fileName_ + "\": " + std::strerror(errno);
    return false;
  }
  const std::string text = Text();
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  const int savedErrno = errno;
  if (::close(fd) != 0 && ok) ok = false;
  if (ok && ::rename(temp.c_str(), fileName_.c_str()) == 0) return true;
  Error = "Cannot write \"" + fileName_ + "\": " + std::strerror(ok ? errno : savedErrno);
  ::unlink(temp.c_str());
  return false;
}

}  // namespace qor
