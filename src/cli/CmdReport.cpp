#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Output.h"
#include "cli/LoadProgram.h"
#include "nc/NcTextLineSource.h"
#include "nc/PathList.h"
#include "report/BuildAreaReport.h"
#include "report/BuildDetailsReport.h"
#include "report/BuildDumpReport.h"
#include "report/BuildToolsReport.h"

namespace kelvan::cli {

namespace {

enum class Report { Area, Tools, Details, Dump };

bool ParseReport(const std::string& name, Report& out) {
  if (name == "area") out = Report::Area;
  else if (name == "tools") out = Report::Tools;
  else if (name == "details") out = Report::Details;
  else if (name == "dump") out = Report::Dump;
  else return false;
  return true;
}

// The window shows the document's full path; a relative argument is made absolute the
// same way, without resolving links or "..".
std::string FullPath(const std::string& file) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(file, ec);
  return ec ? file : p.string();
}

void PrintLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) {
    out += l;
    out += '\n';
    if (out.size() > (1u << 16)) {
      WriteOut(out);
      out.clear();
    }
  }
  WriteOut(out);
}

}  // namespace

int RunReport(const CliOptions& options) {
  Report kind{};
  if (options.Positional.size() != 2 || !ParseReport(options.Positional[0], kind)) {
    std::fputs("usage: kelvan-cli report area|tools|details|dump [options] [--] FILE\n", stderr);
    return 2;
  }
  const std::shared_ptr<const nc::NcText> text = LoadProgramText(options.Positional[1]);
  if (!text) return 2;
  const std::string fileName = FullPath(options.Positional[1]);
  const nc::NcTextLineSource lines(*text);
  if (kind == Report::Tools) {
    // The tools report reads the text only; there is no analysis that could fail.
    PrintLines(report::BuildToolsReport(lines, text->Encoding(), fileName));
    return 0;
  }
  CliBench cli(text, ResolveSettings(options));
  const nc::AnalysisResult result = cli.Analyse();
  const nc::PathList& path = cli.Bench().Path();
  const nc::MachineState& state = cli.Bench().Machine();
  // As in the window, a failed analysis still gives the report of the items it left.
  if (kind == Report::Area) PrintLines(report::BuildAreaReport(state));
  else if (kind == Report::Details)
    PrintLines(report::BuildDetailsReport(path, state, lines, text->Encoding(), fileName));
  else PrintLines(report::BuildDumpReport(path, lines, text->Encoding()));
  if (result.Ok()) return 0;
  std::fprintf(stderr, "%s\n", AnalysisErrorText(result).c_str());
  return 1;
}

}  // namespace kelvan::cli
