#pragma once

#include <string>

#include "cli/CliOptions.h"
#include "nc/AnalysisError.h"
#include "nc/NcText.h"

namespace kelvan::nc {
class PathList;
struct MachineState;
}  // namespace kelvan::nc

namespace kelvan::cli {

// Reads an NC program file byte-exact. On failure prints "kelvan-cli: <cause>" to stderr
// and returns false; the caller exits with status 2.
bool LoadProgramText(const std::string& file, nc::NcText& text);

// Analyses the whole text with the effective settings, as the window does on opening the
// file. The error-avoidance words go into the text's encoding, since the tokenizer
// compares them with the line's bytes.
nc::AnalysisResult AnalyseProgramText(const nc::NcText& text, const EffectiveSettings& settings,
                                      nc::PathList& path, nc::MachineState& state);

// "result error CODE LINE COLUMN MESSAGE" (0-based line and column), without a line end.
std::string AnalysisErrorText(const nc::AnalysisResult& result);

}  // namespace kelvan::cli
