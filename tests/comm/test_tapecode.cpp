// The tape codes, the receive assembler and the profile's mapping onto the port.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/DncProfile.h"
#include "comm/ReceiveAssembler.h"
#include "comm/TapeCode.h"
#include "comm/Trs232c.h"

namespace kelvan::comm {
namespace {

std::string EncodeAll(TapeCode code, const std::string& text) {
  std::string out;
  for (char c : text) out.push_back(char(Encode(code, uint8_t(c))));
  return out;
}

TEST(TapeCode, IsoBytes) {
  const struct { char c; uint8_t b; } cases[] = {
      {'0', 0x30}, {'1', 0xB1}, {'%', 0xA5}, {'G', 0x47}, {'X', 0xD8}, {' ', 0xA0},
      {'\r', 0x8D}, {'\n', 0x0A}, {'[', 0xDB}, {']', 0xDD}, {'"', 0x22},
      // outside the set
      {'a', 0x10}, {'!', 0x10}, {'\\', 0x10}, {'^', 0x10}, {'\t', 0x10}, {char(0x81), 0x10}};
  for (const auto& c : cases) EXPECT_EQ(EncodeIso(uint8_t(c.c)), c.b) << c.c;
  EXPECT_EQ(EncodeAll(TapeCode::Iso, "G01 X1.\n"), "\x47\x30\xB1\xA0\xD8\xB1\x2E\x0A");
}

TEST(TapeCode, IsoReceiveIsTheInverseButForNulAndColon) {
  for (int c = 0; c < 128; ++c) {
    const uint8_t sent = EncodeIso(uint8_t(c));
    if (sent == NotCarried) continue;
    const uint8_t expect = c == 0 ? 0 : c == ':' ? 'O' : uint8_t(c);
    EXPECT_EQ(DecodeIso(sent), expect) << c;
  }
  EXPECT_EQ(DecodeIso(0x31), 0) << "'1' without its parity bit";
  EXPECT_EQ(DecodeIso(0x10), 0);
  EXPECT_EQ(DecodeIso(uint8_t('a')), 0);
}

TEST(TapeCode, EiaRoundTripsEveryCharacterOfItsTable) {
  const std::string table = "\r%()*+-./[]0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (char c : table) {
    const uint8_t sent = EncodeEia(uint8_t(c));
    ASSERT_NE(sent, NotCarried) << c;
    EXPECT_EQ(DecodeEia(sent), uint8_t(c)) << c;
  }
  const struct { uint8_t b; uint8_t c; } receive[] = {
      {0x0B, '%'}, {0x10, ' '}, {0x5B, '%'}, {0x80, '\r'}, {0x13, '3'}, {0x00, 0}, {0xFF, 0}, {0x11, 0}};
  for (const auto& r : receive) EXPECT_EQ(DecodeEia(r.b), r.c) << int(r.b);
  for (char c : std::string("abc \n\t#=")) EXPECT_EQ(EncodeEia(uint8_t(c)), NotCarried) << c;
}

TEST(TapeCode, EveryByteOfAMultiByteCharacterGoesAsTheFillCode) {
  // "(テスト)" in CP932: the trail bytes 0x65, 0x58, 0x67 look like 'e', 'X', 'g'.
  const std::string cp932 = "(\x83\x65\x83\x58\x83\x67)";
  EXPECT_EQ(EncodeLine(TapeCode::Iso, cp932, nc::TextEncoding::Cp932), "\x28" + std::string(6, '\x10') + "\xA9");
  EXPECT_EQ(EncodeLine(TapeCode::Eia, "(\xE5\x88\x83)", nc::TextEncoding::Utf8), "\x1A\x10\x10\x10\x4A");
  // A lead byte cut off at the line's end is one byte.
  EXPECT_EQ(EncodeLine(TapeCode::Iso, "G\x83", nc::TextEncoding::Cp932), "\x47\x10");
}

TEST(TapeCode, UncarriedCharactersAreListedOncePerCharacterWithTheirFirstLine) {
  const std::vector<std::string> lines = {"G00 X1.", "(tool)", "G01\tX2.", "(\x83\x5E\x83\x6F)", "(b)"};
  const std::vector<UncarriedChar> iso = FindUncarried(TapeCode::Iso, lines, nc::TextEncoding::Cp932);
  std::vector<std::string> texts;
  for (const auto& u : iso) texts.push_back(u.Text + "@" + std::to_string(u.Line));
  EXPECT_EQ(texts, (std::vector<std::string>{"t@1", "o@1", "l@1", "\t@2", "\x83\x5E@3", "\x83\x6F@3", "b@4"}));
  // In EIA the space is carried (it comes back as the feed code) but '#' is not.
  EXPECT_TRUE(FindUncarried(TapeCode::Eia, {"G00 X1."}, nc::TextEncoding::Cp932).empty());
  EXPECT_EQ(FindUncarried(TapeCode::Eia, {"#1=2"}, nc::TextEncoding::Cp932).size(), 2u);
  // A UTF-8 character is one entry.
  EXPECT_EQ(FindUncarried(TapeCode::Iso, {"(\xE5\x88\x83)"}, nc::TextEncoding::Utf8).size(), 1u);
}

struct AssembleCase {
  const char* name;
  TapeCode code;
  std::string bytes;
  std::vector<std::string> lines;
  ReceiveAssembler::Step last;
};

TEST(ReceiveAssembler, BytesToLines) {
  using S = ReceiveAssembler::Step;
  const std::string isoProgram = EncodeAll(TapeCode::Iso, "%\nO1 \nG00\n%");
  const AssembleCase cases[] = {
      {"iso", TapeCode::Iso, isoProgram, {"%", "O1", "G00", "%"}, S::Percent},
      {"iso colon is O", TapeCode::Iso, EncodeAll(TapeCode::Iso, "%\n:12\n%"), {"%", "O12", "%"}, S::Percent},
      {"iso CR and NUL ignored", TapeCode::Iso, std::string("\0\0", 2) + EncodeAll(TapeCode::Iso, "%\r\nG01\r\n%"),
       {"%", "G01", "%"}, S::Percent},
      {"iso DC3 drops the partial line", TapeCode::Iso, EncodeAll(TapeCode::Iso, "%\nG01\nX1") + "\x93",
       {"%", "G01"}, S::Control},
      {"iso DC4", TapeCode::Iso, EncodeAll(TapeCode::Iso, "%\n") + "\x14", {"%"}, S::Control},
      {"iso closing percent takes the partial line", TapeCode::Iso, EncodeAll(TapeCode::Iso, "%\nG01%"),
       {"%", "G01", "%"}, S::Percent},
      {"eia lines end at the end-of-block code", TapeCode::Eia,
       std::string("\x10\x10\x0B\x80\x46\x01\x80\x67\x20\x01\x10\x37\x13\x6B\x80\x0B", 16),
       {"%", "O1", "G01 X3.", "%"}, S::Percent},
      {"eia 0x13 is the digit 3, DC4 ends", TapeCode::Eia, std::string("\x0B\x80\x13\x13\x14", 5), {"%"}, S::Control},
      {"eia trailing space dropped", TapeCode::Eia, std::string("\x0B\x80\x67\x10\x80", 5), {"%", "G"}, S::More},
  };
  for (const AssembleCase& c : cases) {
    ReceiveAssembler a(c.code);
    S step = S::More;
    for (char b : c.bytes) {
      step = a.Feed(uint8_t(b));
      if (step != S::More) break;
    }
    EXPECT_EQ(a.Lines(), c.lines) << c.name;
    EXPECT_EQ(step, c.last) << c.name;
  }
}

TEST(DncProfile, ApplyProfileSetsThePortAndTheOptions) {
  struct Case { int xflow; int32_t flag; };
  for (const Case c : {Case{0, 0x70D}, Case{1, 0x72D}, Case{2, 0x401}, Case{7, 0}}) {
    Trs232c port;
    DncProfile p;
    p.XFlow = c.xflow;
    ApplyProfile(p, port);
    EXPECT_EQ(port.flowflag, c.flag) << c.xflow;
  }
  Trs232c port;
  DncProfile p;
  p.CommPort = 2; p.BaudRate = 7; p.ByteSize = 0; p.StopBits = 1; p.Parity = 2;
  p.TimeOut = -50; p.NcCode = 1; p.OutMode = 1; p.FeedLen = 20;
  TransferOptions o = ApplyProfile(p, port);
  EXPECT_EQ(port.portname, "COM3");
  EXPECT_EQ(port.bps, 115200);
  EXPECT_EQ(port.charbit, 7);
  EXPECT_EQ(port.stopbit, "2");
  EXPECT_EQ(port.paritymode, "偶数");
  EXPECT_EQ(port.rxtimeout, 30000);
  EXPECT_EQ(port.txtimeout, 30000);
  EXPECT_EQ(o.PacingMs, 50);
  EXPECT_EQ(o.Code, TapeCode::Eia);
  EXPECT_TRUE(o.Punch);
  // Values outside the items leave the port as it was.
  p = DncProfile{};
  p.CommPort = 9; p.BaudRate = 10; p.ByteSize = 2; p.StopBits = -1; p.Parity = 3; p.TimeOut = 0;
  o = ApplyProfile(p, port);
  EXPECT_EQ(port.portname, "COM3");
  EXPECT_EQ(port.bps, 115200);
  EXPECT_EQ(port.charbit, 7);
  EXPECT_EQ(port.stopbit, "2");
  EXPECT_EQ(port.paritymode, "偶数");
  EXPECT_EQ(port.rxtimeout, 0);
  EXPECT_EQ(o.PacingMs, 0);
}

}  // namespace
}  // namespace kelvan::comm
