// The meaning oracle of the round-trip targets. A script the parser reads
// without an error is written back by our own writer in the same dialect;
// that script must read back without an error to the same objects, and
// from the second reading on the model and the script are a fixed point
// (the writer cannot say everything a parser reads the first time: a
// column-level check comes back at table level). A break prints both sides
// before it aborts, so a finding says what changed.
#pragma once

#include "base/qorMsgMngr.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorModelDump.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace qor::fuzz {

struct TRoundTripRead {
  std::string Dump, Script, Messages;
  bool Errors = false;
};

// `read` parses `text` into the fresh collection it is given (already set
// to the dialect by `configure`) and says whether the parser posted an
// error. `objectLine` keeps the dump lines that name an object the whole
// script writes; `written` keeps the objects, by their whole dump block,
// that the script writes as statements (not those it names in a comment
// because the dialect or version has no statement for them).
class TRoundTrip {
 public:
  std::function<void(TObjs&)> configure;
  std::function<bool(const std::string&, TObjs&, std::string&)> read;
  std::function<bool(const std::string&)> objectLine = [](const std::string& line) {
    return !line.empty() && line[0] != ' ';
  };
  std::function<bool(const std::string&)> written = [](const std::string&) { return true; };

  void Check(const std::string& input) const {
    const TRoundTripRead first = Read(input);
    if (first.Errors) return;
    const TRoundTripRead second = Read(first.Script);
    Expect(!second.Errors, "our own script reads with errors", first.Script, second.Messages);
    Expect(Objects(first.Dump) == Objects(second.Dump), "the objects changed", first.Dump,
           second.Dump, first.Script + "\n---- messages\n" + second.Messages);
    const TRoundTripRead third = Read(second.Script);
    Expect(third.Script == second.Script, "the script is no fixed point", second.Script,
           third.Script);
    Expect(third.Dump == second.Dump, "the model is no fixed point", second.Dump, third.Dump);
  }

 private:
  TRoundTripRead Read(const std::string& text) const {
    TDBStructure structure;
    TObjs& objs = *structure.GetObjs();
    configure(objs);
    TRoundTripRead r;
    r.Errors = read(text, objs, r.Messages);
    test::TModelDumpOptions options;
    r.Dump = test::DumpModel(objs, options);
    std::vector<std::string> lines;
    objs.GetScript(lines);
    r.Script = JoinLines(lines) + "\r\n";
    return r;
  }

  std::string Objects(const std::string& dump) const {
    std::string out, block;
    std::vector<std::string> heads;
    auto flush = [&] {
      if (!block.empty() && written(block))
        for (const std::string& h : heads) out += h + "\n";
      block.clear();
      heads.clear();
    };
    for (const std::string& line : SplitLines(dump)) {
      if (!line.empty() && line[0] != ' ') flush();
      block += line + "\n";
      if (objectLine(line)) heads.push_back(line);
    }
    flush();
    return out;
  }

  // `script`, when given, is the script between the two sides.
  static void Expect(bool ok, const char* what, const std::string& a, const std::string& b,
                     const std::string& script = {}) {
    if (ok) return;
    // Written whole: the texts may hold NUL bytes.
    const std::string report = "round trip: " + std::string(what) + "\n---- before\n" + a +
                               "\n---- after\n" + b + "\n" +
                               (script.empty() ? "" : "---- script\n" + script + "\n");
    std::fwrite(report.data(), 1, report.size(), stderr);
    std::abort();
  }
};

// The `read` of a round trip: `Parser` reads the script into the
// collection, silently; `link` runs the parser's own linking after it.
template <class Parser, bool link>
bool ReadScript(const std::string& script, TObjs& objs, std::string& messages) {
  Parser p(nullptr);
  p.OnErrorMessage = [](TObject*, const std::string&) {};
  p.OnLogNextLine = [](TObject*, const std::string&) {};
  p.SetObjs(&objs);
  p.ParseScript({script}, &objs);
  if constexpr (link) p.AfterParse();
  messages = test::DumpMessages(p.Messages());
  return p.Messages().HasErrors();
}

}  // namespace qor::fuzz
