#pragma once

#include "cli/CliOptions.h"

namespace kelvan::cli {

// Each subcommand returns the exit status: 0 ok, 1 the program has an error, 2 usage or
// file error (with a message on stderr).
int RunTokenize(const CliOptions& options);
int RunCalc(const CliOptions& options);
int RunDump(const CliOptions& options);
int RunRender(const CliOptions& options);
int RunReport(const CliOptions& options);
int RunConvert(const CliOptions& options);
int RunDnc(const CliOptions& options);
int RunScript(const CliOptions& options);
int RunRestart(const CliOptions& options);
int RunCompare(const CliOptions& options);

}  // namespace kelvan::cli
