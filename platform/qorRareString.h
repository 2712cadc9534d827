// TRareString: a string member that most objects of its class leave empty.
//
// A schema holds columns, key entries and edges by the million, and most of
// their text members (a default, a check, a collation, an owner) are never
// set. Such a member costs one pointer while empty; its text is made on the
// first non-empty assignment and given back when it is emptied again. Reads
// see a std::string (an empty one while unset), so the member reads like a
// std::string wherever one is read; writes go through assignment, `+=`, or
// `Mut()` for the rare caller that edits it in place.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace qor {

class TRareString {
 public:
  using size_type = std::string::size_type;
  static constexpr size_type npos = std::string::npos;

  TRareString() = default;
  explicit TRareString(std::string_view s) { Assign(s); }
  TRareString(const TRareString& o) { Assign(o.str()); }
  TRareString(TRareString&&) noexcept = default;
  TRareString& operator=(const TRareString& o) {
    if (this != &o) Assign(o.str());
    return *this;
  }
  TRareString& operator=(TRareString&&) noexcept = default;
  TRareString& operator=(std::string&& s) {
    if (s.empty()) text_.reset();
    else if (text_) *text_ = std::move(s);
    else text_ = std::make_unique<std::string>(std::move(s));
    return *this;
  }
  TRareString& operator=(const std::string& s) { return Assign(s); }
  TRareString& operator=(std::string_view s) { return Assign(s); }
  TRareString& operator=(const char* s) { return Assign(s); }
  TRareString& operator=(char c) { return Assign(std::string_view(&c, 1)); }

  // ---- Reading ----
  const std::string& str() const { return text_ ? *text_ : Empty(); }
  operator const std::string&() const { return str(); }
  operator std::string_view() const { return str(); }
  bool empty() const { return !text_ || text_->empty(); }
  size_type size() const { return str().size(); }
  size_type length() const { return str().size(); }
  const char* c_str() const { return str().c_str(); }
  const char* data() const { return str().data(); }
  char operator[](size_type i) const { return str()[i]; }
  char front() const { return str().front(); }
  char back() const { return str().back(); }
  std::string::const_iterator begin() const { return str().begin(); }
  std::string::const_iterator end() const { return str().end(); }
  std::string substr(size_type pos = 0, size_type n = npos) const { return str().substr(pos, n); }
  size_type find(std::string_view s, size_type pos = 0) const { return str().find(s, pos); }
  size_type find(char c, size_type pos = 0) const { return str().find(c, pos); }
  size_type rfind(std::string_view s, size_type pos = npos) const { return str().rfind(s, pos); }
  size_type rfind(char c, size_type pos = npos) const { return str().rfind(c, pos); }
  size_type find_first_of(std::string_view s, size_type pos = 0) const {
    return str().find_first_of(s, pos);
  }
  size_type find_first_not_of(std::string_view s, size_type pos = 0) const {
    return str().find_first_not_of(s, pos);
  }
  bool starts_with(std::string_view s) const { return str().starts_with(s); }
  bool starts_with(char c) const { return str().starts_with(c); }
  bool ends_with(std::string_view s) const { return str().ends_with(s); }
  bool ends_with(char c) const { return str().ends_with(c); }
  int compare(std::string_view s) const { return str().compare(s); }

  // ---- Writing ----
  void clear() { text_.reset(); }
  // The text for editing in place; made (empty) when unset.
  std::string& Mut() {
    if (!text_) text_ = std::make_unique<std::string>();
    return *text_;
  }
  TRareString& operator+=(std::string_view s) {
    if (!s.empty()) Mut() += s;
    return *this;
  }
  TRareString& operator+=(char c) {
    Mut() += c;
    return *this;
  }
  TRareString& assign(std::string_view s) { return Assign(s); }

  friend bool operator==(const TRareString& a, const TRareString& b) { return a.str() == b.str(); }
  friend bool operator==(const TRareString& a, std::string_view b) { return a.str() == b; }
  friend bool operator==(const TRareString& a, const char* b) { return a.str() == b; }
  friend bool operator==(const TRareString& a, const std::string& b) { return a.str() == b; }
  friend auto operator<=>(const TRareString& a, const TRareString& b) {
    return a.str() <=> b.str();
  }
  friend auto operator<=>(const TRareString& a, std::string_view b) {
    return std::string_view(a.str()) <=> b;
  }

  friend std::string operator+(const TRareString& a, const TRareString& b) {
    return a.str() + b.str();
  }
  friend std::string operator+(const TRareString& a, std::string_view b) {
    std::string s(a.str());
    s += b;
    return s;
  }
  friend std::string operator+(const TRareString& a, const char* b) { return a.str() + b; }
  friend std::string operator+(const TRareString& a, const std::string& b) { return a.str() + b; }
  friend std::string operator+(const TRareString& a, char b) { return a.str() + b; }
  friend std::string operator+(std::string_view a, const TRareString& b) {
    std::string s(a);
    s += b.str();
    return s;
  }
  friend std::string operator+(const char* a, const TRareString& b) { return a + b.str(); }
  friend std::string operator+(const std::string& a, const TRareString& b) { return a + b.str(); }
  friend std::string operator+(std::string&& a, const TRareString& b) {
    return std::move(a) + b.str();
  }
  friend std::string operator+(char a, const TRareString& b) { return a + b.str(); }

 private:
  TRareString& Assign(std::string_view s) {
    if (s.empty()) text_.reset();
    else if (text_) text_->assign(s);
    else text_ = std::make_unique<std::string>(s);
    return *this;
  }
  static const std::string& Empty() {
    static const std::string none;
    return none;
  }

  std::unique_ptr<std::string> text_;
};

// For streams (test output) without this header pulling in <ostream>; outside
// the class because clang checks the return type while the class is incomplete.
template <class Stream>
auto operator<<(Stream& out, const TRareString& s) -> decltype(out << s.str()) {
  return out << s.str();
}

}  // namespace qor
