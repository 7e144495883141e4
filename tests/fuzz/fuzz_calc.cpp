// The calculator on any statements: it ends, and evaluating the same text on a calculator
// in the same state gives the same value.

#include <cstring>
#include <string>

#include "FuzzInput.h"
#include "nc/TEasyCalc.h"

using namespace kelvan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const std::string_view text = in.Rest();
  nc::TEasyCalc a, b;
  // RANDOM draws from a sequence seeded afresh for every calculator; the same seed gives
  // the same draws.
  a.SeedRandom(7);
  b.SeedRandom(7);
  size_t start = 0;
  // Statements one per line, on one calculator each, variables carried along.
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view statement = text.substr(start, end - start);
    double va = 0, vb = 0;
    const bool oka = a.Evaluate(statement, va);
    const bool okb = b.Evaluate(statement, vb);
    fuzz::Check(oka == okb, "the same outcome twice");
    if (oka) fuzz::Check(std::memcmp(&va, &vb, sizeof va) == 0, "the same value twice");
    start = end + 1;
  }
  return 0;
}
