#pragma once

#include <memory>
#include <string>

#include "cli/CliOptions.h"
#include "nc/AnalysisError.h"
#include "nc/NcText.h"
#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"

namespace kelvan::cli {

// Reads an NC program file byte-exact. On failure prints "kelvan-cli: <cause>" to stderr
// and returns null; the caller exits with status 2.
std::shared_ptr<const nc::NcText> LoadProgramText(const std::string& file);

// The workbench of kelvan-cli: the program file, in its own encoding, as the document,
// with the effective settings. The error-avoidance words go into the text's encoding,
// since the tokenizer compares them with the line's bytes.
class CliBench {
 public:
  CliBench(std::shared_ptr<const nc::NcText> text, const EffectiveSettings& settings);
  workbench::Workbench& Bench() { return bench_; }
  // Analyses the whole text, as the window does on opening the file.
  const nc::AnalysisResult& Analyse();

 private:
  workbench::MemoryDocument document_;
  workbench::Workbench bench_;
};

// "result error CODE LINE COLUMN MESSAGE" (0-based line and column), without a line end.
std::string AnalysisErrorText(const nc::AnalysisResult& result);

}  // namespace kelvan::cli
