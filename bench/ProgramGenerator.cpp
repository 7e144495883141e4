#include "ProgramGenerator.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <random>

namespace kelvan::bench {
namespace {

class Generator {
 public:
  Generator(unsigned seed, const ProgramOptions& options) : rng_(seed), options_(options) {}

  std::string Run(size_t blocks) {
    out_.reserve(blocks * 32);
    Header();
    while (lines_ + 8 < blocks) {
      ToolChange();
      const size_t sectionEnd = lines_ + 200 + Pick(2000);
      while (lines_ + 8 < blocks && lines_ < sectionEnd) {
        const uint32_t r = Pick(100);
        if (r < 45) Line01();
        else if (r < 60) Rapid();
        else if (r < 90) Arc();
        else if (r < 92) DrillSection();
        else Plunge();
      }
    }
    Block(false, "G00Z50.");
    Block(false, "M05");
    Block(false, "M30");
    Raw("%");
    return std::move(out_);
  }

 private:
  uint32_t Pick(uint32_t n) { return static_cast<uint32_t>(rng_() % n); }
  double Coordinate() { return (static_cast<int>(Pick(400001)) - 200000) / 1000.0; }
  // Separator between words: most programs pack words, some CAM output spaces them.
  const char* Sep() const { return spaced_ ? " " : ""; }

  void Raw(const char* text) {
    out_ += text;
    out_ += options_.crLf ? "\r\n" : "\n";
    ++lines_;
  }

  // One block with a sequence number on most of them.
  void Block(bool noNumber, const char* format, ...) __attribute__((format(printf, 3, 4))) {
    char body[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(body, sizeof body, format, args);
    va_end(args);
    char line[200];
    if (noNumber) {
      std::snprintf(line, sizeof line, "%s", body);
    } else {
      sequence_ = sequence_ >= 99990 ? 10 : sequence_ + 10;
      std::snprintf(line, sizeof line, "N%d%s%s", sequence_, Sep(), body);
    }
    Raw(line);
  }

  void Header() {
    Raw("%");
    Raw("O1234");
    Raw(options_.japaneseComments ? "(\x83\x76\x83\x8D\x83\x4F\x83\x89\x83\x80 \x8D\xED\x82\xE8)"
                                  : "(PROGRAM POCKET ROUGHING)");
    Block(false, "G90%sG17%sG21%sG40%sG49%sG80", Sep(), Sep(), Sep(), Sep(), Sep());
  }

  void ToolChange() {
    ++tool_;
    spaced_ = Pick(3) == 0;
    const int diameter = 2 + static_cast<int>(Pick(19));
    if (options_.japaneseComments) {
      // "(T.. φD フラットエンドミル)" in Shift-JIS.
      Block(true, "(T%02d \x83\xD3%d \x83\x74\x83\x89\x83\x62\x83\x67\x83\x47\x83\x93\x83\x68"
                  "\x83\x7E\x83\x8B)", tool_, diameter);
    } else {
      Block(true, "(T%02d D%d FLAT END MILL)", tool_, diameter);
    }
    Block(false, "T%02d%sM06", tool_, Sep());
    Block(false, "G00%sG90%sG54%sX%.3f%sY%.3f%sS%d%sM03", Sep(), Sep(), Sep(), x_, Sep(), y_, Sep(),
          1000 + static_cast<int>(Pick(9000)), Sep());
    Block(false, "G43%sH%02d%sZ50.%sM08", Sep(), tool_, Sep(), Sep());
    z_ = -0.5 - Pick(40) / 10.0;
  }

  void Line01() {
    x_ = Coordinate();
    y_ = Coordinate();
    if (Pick(4) == 0) {
      const int feed = 300 + static_cast<int>(Pick(30)) * 50;
      Block(false, "G01%sX%.3f%sY%.3f%sF%d", Sep(), x_, Sep(), y_, Sep(), feed);
    } else {
      Block(false, "X%.3f%sY%.3f", x_, Sep(), y_);
    }
  }

  void Rapid() {
    x_ = Coordinate();
    y_ = Coordinate();
    Block(false, "G00%sX%.3f%sY%.3f", Sep(), x_, Sep(), y_);
  }

  void Plunge() {
    z_ = -0.5 - Pick(40) / 10.0;
    Block(false, "G01%sZ%.1f%sF%d", Sep(), z_, Sep(), 100 + static_cast<int>(Pick(10)) * 20);
  }

  // A quarter-ish arc from the current point; by R or by the centre offset I/J.
  void Arc() {
    const char* g = Pick(2) ? "G02" : "G03";
    const double radius = 1.0 + Pick(50000) / 1000.0;
    const double i = Pick(2) ? radius : -radius;  // centre beside the start point
    x_ += i;
    y_ += Pick(2) ? radius : -radius;
    if (Pick(2)) {
      Block(false, "%s%sX%.3f%sY%.3f%sR%.3f", g, Sep(), x_, Sep(), y_, Sep(), radius);
    } else {
      Block(false, "%s%sX%.3f%sY%.3f%sI%.3f%sJ0.", g, Sep(), x_, Sep(), y_, Sep(), i, Sep());
    }
  }

  void DrillSection() {
    const bool peck = Pick(2) == 0;
    const double depth = -5.0 - Pick(200) / 10.0;
    x_ = Coordinate();
    y_ = Coordinate();
    if (peck) {
      Block(false, "G83%sG99%sX%.3f%sY%.3f%sZ%.1f%sR2.%sQ2.%sF80", Sep(), Sep(), x_, Sep(), y_,
            Sep(), depth, Sep(), Sep(), Sep());
    } else {
      Block(false, "G81%sG99%sX%.3f%sY%.3f%sZ%.1f%sR2.%sF120", Sep(), Sep(), x_, Sep(), y_, Sep(),
            depth, Sep(), Sep());
    }
    for (uint32_t holes = 3 + Pick(20); holes > 0; --holes) {
      x_ += 10.0 + Pick(100) / 10.0;
      Block(false, "X%.3f%sY%.3f", x_, Sep(), y_);
    }
    Block(false, "G80");
  }

  std::mt19937 rng_;
  ProgramOptions options_;
  std::string out_;
  size_t lines_ = 0;
  int sequence_ = 0;
  int tool_ = 0;
  bool spaced_ = false;
  double x_ = 0, y_ = 0, z_ = 0;
};

}  // namespace

std::string GenerateProgram(size_t blocks, unsigned seed, const ProgramOptions& options) {
  return Generator(seed, options).Run(blocks);
}

}  // namespace kelvan::bench
