// A whole script split the way its dialect's client splits it, for the
// oracle of the writer fuzz target and the quoting tests: the dialect's
// own scanner (the parsers' for InterBase, MySQL and MS SQL; the keyword
// table with double-quoted names for the others, and Adaptive Server's
// bracketed ones) reads the script, and the
// statement ends follow the terminators the writers emit: ";", SET TERM,
// DELIMITER lines, GO lines, DB2's "--#SET TERMINATOR", and Oracle's "/"
// line after a PL/SQL block. TScriptCheck then holds the split against
// the script's entries (each entry one statement, a directive, a comment
// or a blank) and reads the names back out of an object's statement.
// Header-only: the fuzz targets and the tests link the parsers themselves.
#pragma once

#include "model/qorClasses.h"
#include "parsers/ib/qorIBParser.h"
#include "parsers/keywords/qorASAParser.h"
#include "parsers/keywords/qorDB2Parser.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorOracleParser.h"
#include "parsers/keywords/qorPGSQLParser.h"
#include "parsers/mssql/qorMSSQLParser.h"
#include "parsers/mysql/qorMySQLParser.h"
#include "parsers/qorSQLParser.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qor::test {

// One token of the split: where it starts, its kind, its name text as the
// scanner reads it and whether it was written in quotes.
struct TSplitToken {
  std::size_t At = 0;
  TTokenKind Kind = 0;
  std::string Name;
  bool Quoted = false;
};

struct TSplit {
  std::vector<std::size_t> Starts;  // where each statement's first token is
  std::vector<TSplitToken> Tokens;
  bool Clean = true;  // no text or comment left open at the end
};

class TScriptSplitter {
 public:
  virtual ~TScriptSplitter() = default;
  virtual TSplit Split(const std::string& script) = 0;
  // Reads the version and options of `objs` from now on; its dialect must
  // be the one the splitter was made for. Keeps the keyword table, which
  // is most of what making a splitter costs.
  virtual void Rebind(TObjs& objs) = 0;
};

namespace split_detail {

inline bool IsLineBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Whether the text at [at, at + n) stands alone on its line.
inline bool AloneOnLine(const std::string& s, std::size_t at, std::size_t n) {
  for (std::size_t i = at; i > 0 && s[i - 1] != '\n'; --i)
    if (!IsLineBlank(s[i - 1])) return false;
  for (std::size_t i = at + n; i < s.size() && s[i] != '\n'; ++i)
    if (!IsLineBlank(s[i])) return false;
  return true;
}

// The scanner of the dialects without a parser: their keyword table, a
// double-quoted text a name with its case kept, and PostgreSQL's
// dollar-quoted bodies.
class TPlainScanner : public TCustomSQLParser {
 public:
  TPlainScanner(TDatabaseType st, TResWordTable (*table)())
      : TCustomSQLParser(nullptr, st), table_(table) {
    IdentChars.Include('#');
    if (Sybase() || st == TDatabaseType::dbDB2) IdentChars.Include('@');
  }

 protected:
  void InitResWords() override {
    TCustomSQLParser::InitResWords();
    if (table_) ResWords().AddWords(table_());
  }
  bool ScanToken() override {
    if (GetServerType() == TDatabaseType::dbPostgreSQL && CurChar() == '$' && ScanDollarQuoted())
      return true;
    if (GetServerType() == TDatabaseType::dbSybaseASE && CurChar() == '[') return ScanBracketed();
    const bool produced = TCustomSQLParser::ScanToken();
    if (produced && TokenKind() == tk::String && QuoteChar() == '"') {
      scan_.Kind = tk::Ident;
      IdentBuffer() = TokenText();
    }
    return produced;
  }

 private:
  bool ScanDollarQuoted() {
    const std::string& src = Source();
    const std::size_t at = ReadPos() - 1;
    std::size_t j = at + 1;
    while (j < src.size() && (IsAlnumAscii(src[j]) || src[j] == '_')) ++j;
    if (j >= src.size() || src[j] != '$') return false;
    const std::string tag = src.substr(at, j + 1 - at);
    const std::size_t close = src.find(tag, j + 1);
    AdvanceTo(close == std::string::npos ? src.size() : close + tag.size());
    if (close == std::string::npos) ScanError("Unterminated dollar-quoted text.");
    scan_.Kind = tk::String;
    return true;
  }
  // Adaptive Server's delimited name: up to the "]" that closes it, "]]"
  // inside being one "]".
  bool ScanBracketed() {
    const std::string& src = Source();
    std::string name;
    std::size_t j = ReadPos();
    for (; j < src.size(); ++j) {
      if (src[j] != ']') {
        name += src[j];
      } else if (j + 1 < src.size() && src[j + 1] == ']') {
        name += ']';
        ++j;
      } else {
        break;
      }
    }
    AdvanceTo(j < src.size() ? j + 1 : src.size());
    if (j >= src.size()) ScanError("Unterminated bracketed name.");
    scan_.Kind = tk::Ident;
    IdentBuffer() = std::move(name);
    return true;
  }
  bool Sybase() const {
    return GetServerType() == TDatabaseType::dbSybaseASA ||
           GetServerType() == TDatabaseType::dbSybaseASE;
  }
  static bool IsAlnumAscii(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  }

  TResWordTable (*table_)();
};

// The split over the scanner `Base`.
template <class Base>
class TSplitter : public TScriptSplitter, public Base {
 public:
  template <class... Args>
  TSplitter(TDatabaseType st, TObjs* objs, Args&&... args)
      : Base(std::forward<Args>(args)...), st_(st) {
    this->OnErrorMessage = [](TObject*, const std::string&) {};
    this->OnLogNextLine = [](TObject*, const std::string&) {};
    this->SetObjs(objs);
    if (st == TDatabaseType::dbMSSQL) this->IdentChars.Include('@').Include('#');
  }

  void Rebind(TObjs& objs) override { this->SetObjs(&objs); }

  TSplit Split(const std::string& script) override {
    TSplit out;
    this->Messages().Clear();
    this->SetSource(script);
    this->SetTerminator(Batches() ? "\r\ngo" : ";");
    const bool oracle = st_ == TDatabaseType::dbOracle;
    bool atStart = true;
    std::vector<std::string> words;  // the statement's first words (Oracle)
    this->NextToken();
    while (this->TokenKind() != tk::EOFKind) {
      const std::size_t at = this->TokenStart();
      if (atStart) {
        out.Starts.push_back(at);
        atStart = false;
        words.clear();
        if (Directive(at)) {
          atStart = true;
          continue;
        }
      }
      const TTokenKind kind = this->TokenKind();
      TSplitToken t;
      t.At = at;
      t.Kind = kind;
      if (kind == tk::Ident || kind >= kFirstKeywordKind) {
        t.Name = this->IdentText();
        const char c = script[at];
        t.Quoted = c == '"' || c == '`' || c == '[';
        if (words.size() < 4) words.push_back(UpperAscii(t.Name));
      } else if (kind == tk::String) {
        t.Name = this->TokenText();  // a name passed to a system procedure
      }
      out.Tokens.push_back(t);
      if (kind == tk::Terminator) {
        // A ";" inside a PL/SQL block is the block's own.
        if (!(oracle && OpensBlock(words))) atStart = true;
      } else if (Batches() && kind == tk::Ident && !t.Quoted && SameText(t.Name, "GO") &&
                 AloneOnLine(script, at, 2)) {
        atStart = true;
      } else if (oracle && kind == tk::Slash && AloneOnLine(script, at, 1)) {
        atStart = true;
      }
      this->NextToken();
    }
    out.Clean = !this->Messages().HasErrors();
    return out;
  }

 protected:
  // A bare name may start with "_" (T-SQL: "#" too; Sybase: "#", "@" and
  // "$"), as the quoting leaves it.
  bool ScanToken() override {
    const char c = this->CurChar();
    const bool sybase = st_ == TDatabaseType::dbSybaseASA || st_ == TDatabaseType::dbSybaseASE;
    const bool first = (c == '_' && st_ != TDatabaseType::dbInterBase) ||
                       (c == '#' && (sybase || st_ == TDatabaseType::dbMSSQL)) ||
                       ((c == '@' || c == '$') && sybase);
    if (first) {
      this->scan_.TokenStart = this->ReadPos() - 1;
      this->scan_.Kind = tk::Ident;
      this->ScanIdent();
      this->scan_.Kind = this->LookupKeyword();
      if (this->scan_.Kind == tk::Ident) this->UpperIdent();
      return true;
    }
    return Base::ScanToken();
  }

  // DB2's client takes its terminator from a comment line.
  bool SkipComment() override {
    const bool skipped = Base::SkipComment();
    if (skipped && st_ == TDatabaseType::dbDB2 &&
        StartsWith(this->LastCommentText, "#SET TERMINATOR "))
      this->SetTerminator(TrimCtl(this->LastCommentText.substr(16)));
    return skipped;
  }

 private:
  bool Batches() const {
    return st_ == TDatabaseType::dbSybaseASA || st_ == TDatabaseType::dbSybaseASE;
  }

  static bool OpensBlock(const std::vector<std::string>& w) {
    if (w.empty()) return false;
    if (w[0] == "BEGIN" || w[0] == "DECLARE") return true;
    if (w[0] != "CREATE") return false;
    std::size_t i = 1;
    if (w.size() > 3 && w[1] == "OR" && w[2] == "REPLACE") i = 3;
    if (i >= w.size()) return false;
    return w[i] == "PROCEDURE" || w[i] == "FUNCTION" || w[i] == "PACKAGE" || w[i] == "TRIGGER" ||
           w[i] == "TYPE";
  }

  // "SET TERM new old" (InterBase) and "DELIMITER new" (MySQL) at `at`:
  // the terminator changes and the scanner stands on the next token.
  bool Directive(std::size_t at) {
    const std::string& s = this->Source();
    auto blanks = [&](std::size_t i) {
      while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
      return i;
    };
    auto word = [&](std::size_t i, std::string_view w) {
      return i + w.size() < s.size() && SameText(std::string_view(s).substr(i, w.size()), w) &&
             (s[i + w.size()] == ' ' || s[i + w.size()] == '\t');
    };
    auto run = [&](std::size_t i) {
      while (i < s.size() && static_cast<unsigned char>(s[i]) > ' ') ++i;
      return i;
    };
    if (st_ == TDatabaseType::dbInterBase && word(at, "SET")) {
      const std::size_t t = blanks(at + 3);
      if (!word(t, "TERM")) return false;
      const std::size_t from = blanks(t + 4), to = run(from);
      if (to == from) return false;
      const std::string old = this->Terminator();
      const std::size_t o = blanks(to);
      if (s.compare(o, old.size(), old) != 0) return false;
      this->SetTerminator(s.substr(from, to - from));
      this->AdvanceTo(o + old.size());
      this->NextToken();
      return true;
    }
    if (st_ == TDatabaseType::dbMySQL && word(at, "DELIMITER")) {
      std::size_t from = at + 9;
      while (from < s.size() && (s[from] == ' ' || s[from] == '\t')) ++from;
      const std::size_t to = run(from);
      if (to == from) return false;
      this->SetTerminator(s.substr(from, to - from));
      this->AdvanceTo(to);
      this->NextToken();
      return true;
    }
    return false;
  }

  TDatabaseType st_;
};

}  // namespace split_detail

// The splitter of `objs`'s dialect (its version and options are read from
// it as the parsers read them).
inline std::unique_ptr<TScriptSplitter> MakeScriptSplitter(TObjs& objs) {
  using namespace split_detail;
  const TDatabaseType st = objs.GetServerType();
  switch (st) {
    case TDatabaseType::dbInterBase:
      return std::make_unique<TSplitter<TIbParser>>(st, &objs, nullptr);
    case TDatabaseType::dbMySQL:
      return std::make_unique<TSplitter<TMySQLParser>>(st, &objs, nullptr);
    case TDatabaseType::dbMSSQL:
      return std::make_unique<TSplitter<TMSSQLParser>>(st, &objs, nullptr);
    case TDatabaseType::dbSybaseASA:
      return std::make_unique<TSplitter<TPlainScanner>>(st, &objs, st, ASAKeywordTable);
    case TDatabaseType::dbOracle:
      return std::make_unique<TSplitter<TPlainScanner>>(st, &objs, st, OracleKeywordTable);
    case TDatabaseType::dbPostgreSQL:
      return std::make_unique<TSplitter<TPlainScanner>>(st, &objs, st, PGKeywordTable);
    case TDatabaseType::dbDB2:
      return std::make_unique<TSplitter<TPlainScanner>>(st, &objs, st, DB2KeywordTable);
    default: return std::make_unique<TSplitter<TPlainScanner>>(st, &objs, st, MSSQLKeywordTable);
  }
}

// Where the first token of an entry stands when `entry` begins at `at`
// (blanks and comments passed); npos for an entry of no token.
inline std::size_t FirstTokenAt(const std::string& entry, std::size_t at, TDatabaseType st) {
  std::size_t i = 0;
  while (i < entry.size()) {
    const char c = entry[i];
    if (static_cast<unsigned char>(c) <= ' ') {
      ++i;
    } else if ((c == '-' && entry.compare(i, 2, "--") == 0) ||
               (c == '#' && st == TDatabaseType::dbMySQL)) {
      const std::size_t lf = entry.find('\n', i);
      i = lf == std::string::npos ? entry.size() : lf + 1;
    } else if (c == '/' && entry.compare(i, 2, "/*") == 0) {
      const std::size_t close = entry.find("*/", i + 2);
      i = close == std::string::npos ? entry.size() : close + 2;
    } else {
      return at + i;
    }
  }
  return std::string::npos;
}

// Whether `t` reads back as `name` in `st`: a quoted name or a string
// literal as it stands
// (any case where the dialect compares names so), a bare one as the
// dialect folds it.
inline bool ReadsAs(const TSplitToken& t, const std::string& name, TDatabaseType st) {
  const bool literal = t.Kind == tk::String;
  if (t.Kind != tk::Ident && t.Kind < kFirstKeywordKind && !literal) return false;
  const bool anyCase = st == TDatabaseType::dbMySQL || st == TDatabaseType::dbMSSQL ||
                       st == TDatabaseType::dbSybaseASA || st == TDatabaseType::dbSybaseASE;
  if (anyCase) return SameText(t.Name, name);
  if (t.Quoted || literal) return t.Name == name;
  if (st == TDatabaseType::dbPostgreSQL) return LowerLocale(t.Name) == name;
  return UpperLocale(t.Name) == name;
}

// The oracle over one written script.
class TScriptCheck {
 public:
  TScriptCheck(TObjs& objs, const std::vector<std::string>& entries)
      : TScriptCheck(objs, entries, *MakeScriptSplitter(objs)) {}
  // With `splitter`, already bound to `objs`.
  TScriptCheck(TObjs& objs, const std::vector<std::string>& entries, TScriptSplitter& splitter)
      : st_(objs.GetServerType()), entries_(entries) {
    std::size_t at = 0;
    for (const std::string& e : entries_) {
      offsets_.push_back(at);
      const std::size_t first = FirstTokenAt(e, at, st_);
      if (first != std::string::npos) expected_.push_back(first);
      at += e.size() + 2;
    }
    script_ = JoinLines(entries_);
    split_ = splitter.Split(script_);
  }

  const std::string& Script() const { return script_; }
  const TSplit& Result() const { return split_; }
  const std::vector<std::size_t>& ExpectedStarts() const { return expected_; }

  // The statements found are the entries that hold a token, in order.
  bool StatementsAsWritten(std::string& why) const {
    if (split_.Starts == expected_) return true;
    std::size_t i = 0;
    while (i < expected_.size() && i < split_.Starts.size() && expected_[i] == split_.Starts[i])
      ++i;
    why = "statement " + IntToStr(static_cast<std::int64_t>(i + 1)) + " of " +
          IntToStr(static_cast<std::int64_t>(expected_.size())) + ": expected at " +
          Where(i < expected_.size() ? expected_[i] : script_.size()) + ", found at " +
          Where(i < split_.Starts.size() ? split_.Starts[i] : script_.size()) + " (" +
          IntToStr(static_cast<std::int64_t>(split_.Starts.size())) + " found)";
    return false;
  }

  // Every name of `names` is a name token inside the entry that starts
  // with `statement` (an object's create text); true when no entry does.
  bool NamesReadBack(const std::string& statement, const std::vector<std::string>& names,
                     std::string& why) const {
    if (statement.empty()) return true;
    for (std::size_t e = 0; e < entries_.size(); ++e) {
      if (entries_[e].compare(0, statement.size(), statement) != 0) continue;
      const std::size_t from = offsets_[e], to = from + statement.size();
      // The tokens are in script order: only the statement's are read.
      const auto first =
          std::lower_bound(split_.Tokens.begin(), split_.Tokens.end(), from,
                           [](const TSplitToken& t, std::size_t at) { return t.At < at; });
      for (const std::string& name : names) {
        bool found = false;
        for (auto t = first; !found && t != split_.Tokens.end() && t->At < to; ++t)
          found = ReadsAs(*t, name, st_);
        if (!found) {
          why = "the name \"" + name + "\" does not read back from: " + statement;
          return false;
        }
      }
      return true;
    }
    return true;
  }

 private:
  std::string Where(std::size_t at) const {
    return IntToStr(static_cast<std::int64_t>(at)) + " \"" + script_.substr(at, 40) + "\"";
  }

  TDatabaseType st_;
  const std::vector<std::string>& entries_;
  std::vector<std::size_t> offsets_;
  std::vector<std::size_t> expected_;
  std::string script_;
  TSplit split_;
};

}  // namespace qor::test
