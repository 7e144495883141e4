#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/Output.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"

namespace kelvan::cli {

int RunTokenize(const CliOptions& options) {
  if (options.Positional.size() != 1) {
    std::fputs("usage: kelvan-cli tokenize [options] [--] LINE\n", stderr);
    return 2;
  }
  const EffectiveSettings s = ResolveSettings(options);
  nc::TokenizeOptions topt;
  topt.ValueUnit = nc::ValueUnitForFloatPos(s.FloatPos);
  topt.ErrorTags = s.ErrorTags;
  topt.BlockSkipOn = s.BlockSkip;
  nc::TEasyCalc calc;
  nc::MachineState state;
  nc::NcWordTable words;
  nc::TokenizeError error;
  nc::BlockAttributes attrs;
  nc::TokenizeBlock(options.Positional[0], topt, calc, state, words, error, attrs);

  std::string out = "words";
  char buf[64];
  for (int i = 0; i < words.WordCount; ++i) {
    std::snprintf(buf, sizeof buf, " %c:%.4f", words.Words[i].Letter, words.Words[i].Value);
    out += buf;
  }
  out += "\nattrs";
  for (int a = 0; a < nc::BlockAttrCount; ++a) {
    const auto attr = static_cast<nc::BlockAttr>(a);
    if (attrs.Has(attr)) {
      out += ' ';
      out += nc::BlockAttrName(attr);
    }
  }
  out += '\n';
  WriteOut(out);
  if (error.Failed) {
    std::printf("error %d\n", error.Column);
    return 1;
  }
  std::puts("ok");
  return 0;
}

}  // namespace kelvan::cli
