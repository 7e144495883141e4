// The block tokenizer on any line: words within the table, a fault column inside the line.

#include "FuzzInput.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"

using namespace kelvan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  nc::TokenizeOptions options;
  const uint8_t flags = in.Byte();
  options.ValueUnit = nc::ValueUnitForFloatPos(flags % 3);
  options.BlockSkipOn = (flags & 4) != 0;
  if (flags & 8) options.ErrorTags = {"SKIP", "(MSG"};
  const std::string_view line = in.Rest();
  nc::TEasyCalc calc;
  nc::MachineState state;
  nc::NcWordTable words;
  nc::TokenizeError error;
  nc::BlockAttributes attrs;
  nc::TokenizeBlock(line, options, calc, state, words, error, attrs);
  if (error.Failed) {
    fuzz::Check(error.Column >= 0 && static_cast<size_t>(error.Column) <= line.size(), "fault column in the line");
  } else {
    fuzz::Check(words.WordCount >= 0 && words.WordCount <= nc::MaxWordsPerBlock, "words within the table");
    for (int i = 0; i < words.WordCount; ++i)
      fuzz::Check(words.Words[i].Letter >= 'A' && words.Words[i].Letter <= 'Z', "a word's letter");
  }
  return 0;
}
