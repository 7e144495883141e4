#pragma once
// Large, realistic NC programs made at run time for the benchmarks (never stored).

#include <cstddef>
#include <string>

namespace kelvan::bench {

struct ProgramOptions {
  bool crLf = false;              // CR LF line ends, as files written on Windows have
  bool japaneseComments = false;  // tool comments in Shift-JIS instead of ASCII
};

// A milling program of about `blocks` lines: header, then per tool a tool change with its
// comment, rapid approach, G01 contours, G02/G03 arcs by R and by I/J, now and then a
// drilling cycle section (G81/G83 .. G80), words with and without spaces between them,
// and the end M30 %. The same seed gives the same program.
std::string GenerateProgram(size_t blocks, unsigned seed, const ProgramOptions& options = {});

}  // namespace kelvan::bench
