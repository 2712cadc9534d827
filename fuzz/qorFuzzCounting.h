// What every parser target asserts: the work stays bounded, so the parser
// scans at most a fixed multiple of its input's length in tokens.
#pragma once

#include <cstddef>
#include <cstdlib>

namespace qor::fuzz {

inline void Check(bool ok) {
  if (!ok) std::abort();
}

// Counts the tokens the parser scans; the dialect's own per-token work
// still runs.
template <class Parser>
class TTokenCounting : public Parser {
 public:
  using Parser::Parser;
  std::size_t Tokens = 0;

 protected:
  void AfterToken() override {
    ++Tokens;
    Parser::AfterToken();
  }
};

}  // namespace qor::fuzz
