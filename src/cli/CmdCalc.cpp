#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "nc/TEasyCalc.h"

namespace kelvan::cli {

int RunCalc(const CliOptions& options) {
  nc::TEasyCalc calc;
  int status = 0;
  for (const std::string& expr : options.Positional) {
    double value = 0;
    if (calc.Evaluate(expr, value)) {
      std::printf("ok %.10g\n", value);
    } else {
      std::puts("error");
      status = 1;
    }
  }
  return status;
}

}  // namespace kelvan::cli
