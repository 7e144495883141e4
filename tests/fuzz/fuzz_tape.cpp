// The tape decoder: any bytes from a machine, in ISO or EIA, become lines of tape
// characters; a program ends with "%" and nothing is read after its end.

#include <string>

#include "FuzzInput.h"
#include "comm/ReceiveAssembler.h"
#include "comm/TapeCode.h"

using namespace kelvan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const comm::TapeCode code = (in.Byte() & 1) ? comm::TapeCode::Eia : comm::TapeCode::Iso;
  const std::string_view bytes = in.Rest();
  comm::ReceiveAssembler tape(code);
  comm::ReceiveAssembler::Step step = comm::ReceiveAssembler::Step::More;
  for (char b : bytes) {
    step = tape.Feed(uint8_t(b));
    if (step != comm::ReceiveAssembler::Step::More) break;
  }
  for (const std::string& line : tape.Lines()) {
    for (char c : line) {
      fuzz::Check(c != '\n' && c != '\r' && c != '\0', "no line end or NUL inside a line");
      fuzz::Check(comm::Carries(code, uint8_t(c)) || (c == 'O'), "only characters the code carries");
    }
  }
  if (step == comm::ReceiveAssembler::Step::Percent)
    fuzz::Check(!tape.Lines().empty() && tape.Lines().back() == "%", "a complete program ends with %");
  // Whatever came in can be sent back out.
  for (const std::string& line : tape.Lines())
    fuzz::Check(comm::EncodeLine(code, line, nc::TextEncoding::Cp932).size() == line.size(), "one byte a character");
  return 0;
}
