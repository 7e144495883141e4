// Will the line keep up: transfer time and drip-feed starvation of analysed programs.

#include <gtest/gtest.h>

#include <string>

#include "comm/DncProfile.h"
#include "comm/LineRateCheck.h"
#include "nc/AnalyseProgram.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"

namespace kelvan::comm {
namespace {

// The line-rate check on an analysed program.
LineRateReport Check(const std::string& program, const DncProfile& profile) {
  const nc::NcText text = nc::NcText::FromBytes(program);
  const nc::NcTextLineSource lines(text);
  nc::PathList path(100000);
  nc::MachineState state;
  nc::TEasyCalc calc;
  nc::RowMarks marks;
  nc::AnalyseProgram(lines, nc::AnalyseOptions{}, calc, path, state, marks);
  return CheckLineRate(text, path, profile);
}

std::string ShortMoves(int count, const char* feed) {
  std::string p = "G90 G00 X0 Y0 Z0\nG01 X0.1 F" + std::string(feed) + "\n";
  for (int i = 0; i < count; ++i) p += (i % 2 ? "X0.1 Y0.1234\n" : "X0. Y0.\n");
  return p + "M30\n";
}

TEST(LineRate, ShortFastBlocksStarveASlowLine) {
  DncProfile slow;
  slow.BaudRate = 0;  // 1200 baud, 8 data bits, 10 bits a character: 120 chars/s
  slow.ByteSize = 1;
  const LineRateReport r = Check(ShortMoves(200, "5000."), slow);
  EXPECT_DOUBLE_EQ(r.CharsPerSecond, 120.0);
  EXPECT_TRUE(r.Starves);
  EXPECT_GE(r.Line, 2);
  EXPECT_GT(r.NeededCharsPerSecond, 120.0);
  // The same blocks at a crawl keep up, and a fast line keeps up with the fast feed.
  EXPECT_FALSE(Check(ShortMoves(200, "10."), slow).Starves);
  DncProfile fast = slow;
  fast.BaudRate = 7;
  EXPECT_FALSE(Check(ShortMoves(200, "5000."), fast).Starves);
}

TEST(LineRate, TransferTimeCountsEveryByteOnTheWire) {
  DncProfile p;
  p.BaudRate = 3;  // 9600, 7 data bits + even parity: 10 bits a character
  p.Parity = 2;
  p.EOB = 1;       // CR LF
  p.DC2DC4 = true;
  const LineRateReport r = Check("G00X1.\nM30\n", p);
  EXPECT_EQ(r.Bytes, 1 + 6 + 2 + 3 + 2 + 1);
  EXPECT_NEAR(r.TransferSeconds, double(r.Bytes) * 10 / 9600, 1e-9);
  p.TimeOut = -20;  // pacing adds 20 ms a byte
  EXPECT_NEAR(Check("G00X1.\nM30\n", p).TransferSeconds, double(r.Bytes) * (10.0 / 9600 + 0.02), 1e-9);
}

}  // namespace
}  // namespace kelvan::comm
