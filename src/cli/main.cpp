#include <cstdio>
#include <cstring>
#include <string>

#include "cli/Commands.h"

namespace {

void Usage(std::FILE* to = stderr) {
  std::fputs(
      "usage: kelvan-cli COMMAND [options] [--] ARGS...\n"
      "The command-line face of Kelvan, the workbench for NC programs.\n"
      "commands:\n"
      "  tokenize LINE          the words, attributes and fault column of one NC block\n"
      "  calc EXPR...           evaluates expressions on one calculator\n"
      "  dump FILE [--summary]  the path list of an NC program\n"
      "  report area|tools|details|dump FILE  a machining report of an NC program\n"
      "  render FILE -o OUT.png [--view 0..3] [--size WxH] [--scale S] [--pan X,Y] [--white] [--fit]\n"
      "                         the path view of an NC program as a PNG picture\n"
      "  convert TOOL FILE [-o OUT]  rewrites an NC program: TOOL expand, optimise, incremental,\n"
      "                         fixed, noblank, rotate:DEG, mirror-x, mirror-y, rough:START:END:STEP\n"
      "  dnc send|receive [--profile N] [--device PATH] [--send-anyway] FILE\n"
      "                         sends FILE to a machine, or receives a program into FILE, over a\n"
      "                         serial device with machine profile N (default 1)\n"
      "  dnc check [--profile N] FILE  the transfer time and whether the line keeps up with\n"
      "                         the machine when it runs the program as it arrives\n"
      "  script FILE.pas [--nc FILE] [--max-seconds N]  runs a script on an NC program (empty\n"
      "                         without --nc) and prints the resulting program; boxes answer\n"
      "                         as cancelled\n"
      "  restart --line N FILE [-o OUT]  the program from line N (1-based) on, after a preamble\n"
      "                         that restores the state it had reached there and brings the\n"
      "                         tool safely to the block; refused (exit 1) when not exact\n"
      "  compare A B [--tolerance T]  where the tool paths of two programs differ by more\n"
      "                         than T (default 0.001); exit 1 when they do\n"
      "  --help                 this text;  --version  the version\n"
      "options:\n"
      "  --floatpos 0|1|2   value unit 0.01, 0.001, 0.0001 for numbers without a point\n"
      "  --atc Z            ATC height       --work-height H   UV contour height\n"
      "  --skip             block skip on    --error-tag WORD  error-avoidance word (repeatable)\n"
      "  --capacity N       path list capacity (exactly N items)\n"
      "  --                 ends the options\n",
      to);
}

int Run(const std::string& command, const kelvan::cli::CliOptions& options) {
  if (command == "tokenize") return kelvan::cli::RunTokenize(options);
  if (command == "calc") return kelvan::cli::RunCalc(options);
  if (command == "dump") return kelvan::cli::RunDump(options);
  if (command == "report") return kelvan::cli::RunReport(options);
  if (command == "render") return kelvan::cli::RunRender(options);
  if (command == "convert") return kelvan::cli::RunConvert(options);
  if (command == "dnc") return kelvan::cli::RunDnc(options);
  if (command == "script") return kelvan::cli::RunScript(options);
  if (command == "restart") return kelvan::cli::RunRestart(options);
  if (command == "compare") return kelvan::cli::RunCompare(options);
  std::fprintf(stderr, "kelvan-cli: unknown command %s\n", command.c_str());
  Usage();
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    Usage();
    return 2;
  }
  const std::string command = argv[1];
  if (command == "--help" || command == "help" || command == "-h") {
    Usage(stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("kelvan-cli %s\n", KELVAN_VERSION);
    return 0;
  }
  kelvan::cli::CliOptions options;
  std::string error;
  if (!kelvan::cli::ParseCliOptions(argc, argv, 2, options, error)) {
    std::fprintf(stderr, "kelvan-cli: %s\n", error.c_str());
    return 2;
  }
  const int status = Run(command, options);
  // Output that did not all arrive (a full disk, a closed pipe) is no success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fputs("kelvan-cli: cannot write the output\n", stderr);
    return 2;
  }
  return status;
}
