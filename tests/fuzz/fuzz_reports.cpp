// The reports of any program, in either encoding, and the economy layout of their lines.

#include "AnalyseInput.h"
#include "report/BuildAreaReport.h"
#include "report/BuildDetailsReport.h"
#include "report/BuildDumpReport.h"
#include "report/BuildEconomyLines.h"
#include "report/BuildToolsReport.h"

using namespace kelvan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const uint8_t choice = in.Byte();
  const int rows = static_cast<int8_t>(in.Byte());
  const int columns = static_cast<int8_t>(in.Byte());
  const fuzz::Analysed a(in);
  const nc::TextEncoding encoding = (choice & 1) ? nc::TextEncoding::Utf8 : nc::TextEncoding::Cp932;
  const nc::NcTextLineSource lines(a.Text);
  const std::vector<std::string> dump = report::BuildDumpReport(*a.Path, lines, encoding);
  fuzz::Check(dump.size() >= static_cast<size_t>(a.Path->Count), "a dump line per item");
  report::BuildAreaReport(a.State);
  report::BuildDetailsReport(*a.Path, a.State, lines, encoding, "/nc/fuzz.nc");
  const std::vector<std::string> tools = report::BuildToolsReport(lines, encoding, "/nc/fuzz.nc");
  report::BuildEconomyLines(tools, rows, columns);
  return 0;
}
