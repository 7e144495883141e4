// kelvan-cli script FILE.pas [--nc FILE] [--max-seconds N]: runs a script on an NC
// program and prints the program it leaves. Boxes answer as cancelled.

#include <chrono>
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/LoadProgram.h"
#include "cli/Output.h"
#include "nc/Cp932.h"
#include "nc/DecodedText.h"
#include "nc/NcText.h"
#include "script/CancelledScriptUi.h"
#include "script/ScriptHost.h"

namespace kelvan::cli {

namespace {

constexpr const char* kUsage = "usage: kelvan-cli script FILE.pas [--nc FILE] [--max-seconds N]\n";

bool ReadScript(const std::string& path, std::string& utf8) {
  nc::DecodedText decoded;
  std::string error;
  if (!nc::ReadDecodedText(path, decoded, error)) {
    std::fprintf(stderr, "kelvan-cli: %s\n", error.c_str());
    return false;
  }
  const nc::NcText& lines = *decoded.Utf8;
  for (int32_t i = 0; i < lines.LineCount(); ++i) {
    utf8 += lines.Line(i);
    utf8 += '\n';
  }
  return true;
}

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace

int RunScript(const CliOptions& options) {
  if (options.Positional.size() != 1) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string source;
  if (!ReadScript(options.Positional[0], source)) return 2;
  nc::DecodedText program;
  program.Utf8 = std::make_shared<const nc::NcText>();
  program.NewLineEnd = nc::LineEnd::Lf;
  std::string error;
  if (options.NcFile && !nc::ReadDecodedText(*options.NcFile, program, error)) {
    std::fprintf(stderr, "kelvan-cli: %s\n", error.c_str());
    return 2;
  }
  script::CancelledScriptUi ui;
  script::ScriptHost host(ui, Folder(options.Positional[0]));
  for (int32_t i = 0; i < program.Utf8->LineCount(); ++i) host.Text().Lines.emplace_back(program.Utf8->Line(i));

  script::ScriptHost::Options run;
  bool timedOut = false;
  if (options.MaxSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(*options.MaxSeconds);
    run.Poll = [deadline, &timedOut] { return !(timedOut = std::chrono::steady_clock::now() > deadline); };
  }
  if (!host.RunScriptText(source, run)) {
    const scriptengine::Message& m = host.Messages().front();
    std::fprintf(stderr, "%d:%d %s\n", m.Line, m.Column,
                 timedOut ? "--max-seconds の時間を超えたので停止しました。" : m.Text.c_str());
    return 1;
  }
  const std::string end(nc::LineEndBytes(program.NewLineEnd));
  std::string out;
  for (const std::string& line : host.Text().Lines) out += nc::EncodeFromUtf8(line, program.Encoding) + end;
  WriteOut(out);
  return 0;
}

}  // namespace kelvan::cli
