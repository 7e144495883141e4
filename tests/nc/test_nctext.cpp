#include "nc/NcText.h"
#include "nc/DecodedText.h"
#include "nc/PathList.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kelvan::nc {
namespace {

namespace fs = std::filesystem;
using E = LineEnd;

struct SplitCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
  std::vector<LineEnd> ends;
};

void ExpectSplit(const NcText& t, const SplitCase& c) {
  ASSERT_EQ(t.LineCount(), static_cast<int32_t>(c.lines.size()));
  for (size_t i = 0; i < c.lines.size(); ++i) {
    const auto k = static_cast<int32_t>(i);
    EXPECT_EQ(t.Line(k), c.lines[i]) << "line " << i;
    EXPECT_EQ(t.End(k), c.ends[i]) << "line " << i;
  }
  EXPECT_EQ(t.ToBytes(), c.bytes);
}

// Rebuilds the bytes from the lines and their ends, so that the index is checked
// independently of the buffer ToBytes hands back.
std::string Reassemble(const NcText& t) {
  std::string s;
  for (int32_t i = 0; i < t.LineCount(); ++i) {
    s.append(t.Line(i));
    s.append(LineEndBytes(t.End(i)));
  }
  return s;
}

TEST(NcTextSplit, LinesAndEnds) {
  const SplitCase cases[] = {
      {"empty file", "", {}, {}},
      {"only LF", "\n", {""}, {E::Lf}},
      {"only CR", "\r", {""}, {E::Cr}},
      {"final LF", "A\nB\n", {"A", "B"}, {E::Lf, E::Lf}},
      {"no final end", "A\nB", {"A", "B"}, {E::Lf, E::None}},
      {"CR LF", "G00\r\nG01\r\n", {"G00", "G01"}, {E::CrLf, E::CrLf}},
      {"bare CR", "A\rB", {"A", "B"}, {E::Cr, E::None}},
      {"mixed", "A\r\n\rB\n\n", {"A", "", "B", ""}, {E::CrLf, E::Cr, E::Lf, E::Lf}},
      {"LF CR is two ends", "\n\r", {"", ""}, {E::Lf, E::Cr}},
      {"CR then CR LF", "A\r\r\n", {"A", ""}, {E::Cr, E::CrLf}},
      {"CR at the very end", "A\r", {"A"}, {E::Cr}},
      {"CP932 comment", "(\x8D\xED\x82\xE8\xB6)\r\nM30\r\n",
       {"(\x8D\xED\x82\xE8\xB6)", "M30"}, {E::CrLf, E::CrLf}},
      {"lone lead bytes", "G\x81\nX\x81", {"G\x81", "X\x81"}, {E::Lf, E::None}},
      {"NUL bytes", std::string("G\0\n\0", 4), {std::string("G\0", 2), std::string(1, '\0')},
       {E::Lf, E::None}},
      {"long line", std::string(100, 'X') + "\n" + std::string(17, 'Y'),
       {std::string(100, 'X'), std::string(17, 'Y')}, {E::Lf, E::None}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSplit(NcText::FromBytes(c.bytes), c);
  }
}

TEST(NcTextSplit, BreakAtEveryOffset) {
  // The line-break search reads words of eight bytes; a break in any lane or in the tail
  // must be found, also right after another one.
  for (size_t pos = 0; pos < 24; ++pos) {
    for (const char* end : {"\n", "\r", "\r\n"}) {
      const std::string bytes = std::string(pos, 'x') + end + std::string(pos % 5, 'y');
      const NcText t = NcText::FromBytes(bytes);
      const int32_t expected = pos % 5 == 0 ? 1 : 2;
      ASSERT_EQ(t.LineCount(), expected) << pos << " " << testing::PrintToString(end);
      EXPECT_EQ(t.Line(0), std::string(pos, 'x'));
      EXPECT_EQ(t.ToBytes(), bytes);
    }
  }
}

TEST(NcTextSplit, OutOfRangeIndexes) {
  const NcText t = NcText::FromBytes("A\nB");
  for (int32_t i : {-1, 2, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(t.Line(i), "");
    EXPECT_EQ(t.End(i), E::None);
  }
  const NcText empty;
  EXPECT_EQ(empty.LineCount(), 0);
  EXPECT_EQ(empty.ToBytes(), "");
}

TEST(NcTextRoundTrip, BinaryAndRandomBytes) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::vector<std::string> inputs = {all, std::string(all.rbegin(), all.rend())};
  std::mt19937 rng(4711);
  for (size_t size : {1u, 2u, 3u, 64u, 1000u, 1u << 18}) {
    std::string uniform(size, '\0');
    for (char& c : uniform) c = static_cast<char>(rng());
    inputs.push_back(uniform);
    // Line ends packed close together: CR LF pairs split and joined in every way.
    std::string ends(size, '\0');
    const char pool[] = {'\r', '\n', 'G', '\x81'};
    for (char& c : ends) c = pool[rng() % 4];
    inputs.push_back(ends);
  }
  for (const std::string& b : inputs) {
    SCOPED_TRACE(b.size());
    const NcText t = NcText::FromBytes(b);
    EXPECT_EQ(t.ToBytes(), b);
    EXPECT_EQ(Reassemble(t), b);
    for (int32_t i = 0; i < t.LineCount(); ++i) {
      ASSERT_EQ(t.Line(i).find_first_of("\r\n"), std::string_view::npos) << "line " << i;
      if (i + 1 < t.LineCount()) {
        ASSERT_NE(t.End(i), E::None) << "line " << i;
      }
    }
  }
}

TEST(NcTextEncoding, DetectedOnLoad) {
  struct Case {
    std::string bytes;
    TextEncoding enc;
  } cases[] = {
      {"", TextEncoding::Cp932},
      {"G00X0Y0\n", TextEncoding::Cp932},
      {"(\x8D\xED\x82\xE8)\n", TextEncoding::Cp932},
      {"(削り)\n", TextEncoding::Utf8},
      {"(削り)\n\xFF", TextEncoding::Cp932},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NcText::FromBytes(c.bytes).Encoding(), c.enc) << testing::PrintToString(c.bytes);
  }
}

TEST(NcTextEnds, DominantEnd) {
  struct Case {
    std::string bytes;
    LineEnd dominant;
  } cases[] = {
      {"", E::Lf},
      {"G01", E::Lf},
      {"A\r\nB\r\nC\n", E::CrLf},
      {"A\rB\rC\r\n", E::Cr},
      {"A\rB\n", E::Lf},      // tie
      {"A\r\nB\r", E::CrLf},  // tie
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NcText::FromBytes(c.bytes).DominantEnd(), c.dominant)
        << testing::PrintToString(c.bytes);
  }
}

TEST(NcTextFromLines, BuildsBytesAndIndex) {
  const std::vector<std::string> lines = {"G00X0", "", "(\x8D\xED\x82\xE8)"};
  struct Case {
    const char* name;
    NcText text;
    std::string bytes;
    std::vector<LineEnd> ends;
  } cases[] = {
      {"CR LF with final end", NcText::FromLines(lines, TextEncoding::Cp932, E::CrLf, true),
       "G00X0\r\n\r\n(\x8D\xED\x82\xE8)\r\n", {E::CrLf, E::CrLf, E::CrLf}},
      {"LF without final end", NcText::FromLines(lines, TextEncoding::Cp932, E::Lf, false),
       "G00X0\n\n(\x8D\xED\x82\xE8)", {E::Lf, E::Lf, E::None}},
      {"per-line ends", NcText::FromLines(lines, {E::Cr, E::CrLf, E::None}, TextEncoding::Cp932),
       "G00X0\r\r\n(\x8D\xED\x82\xE8)", {E::Cr, E::CrLf, E::None}},
      {"no end inside the text", NcText::FromLines(lines, {E::None, E::None}, TextEncoding::Cp932),
       "G00X0\n\n(\x8D\xED\x82\xE8)\n", {E::Lf, E::Lf, E::Lf}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSplit(c.text, {c.name, c.bytes, lines, c.ends});
    // Written and read again, the file gives the same lines.
    ExpectSplit(NcText::FromBytes(c.text.ToBytes()), {c.name, c.bytes, lines, c.ends});
  }
  const NcText none = NcText::FromLines({}, TextEncoding::Utf8, E::CrLf, true);
  EXPECT_EQ(none.LineCount(), 0);
  EXPECT_EQ(none.ToBytes(), "");
  EXPECT_EQ(none.Encoding(), TextEncoding::Utf8);
}

class NcTextFiles : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "nctextXXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  size_t EntryCount() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  fs::path dir_;
};

TEST_F(NcTextFiles, LoadKeepsEveryByte) {
  const std::string bytes = "%\r\nO0001(\x8D\xED\x82\xE8)\r\nG00X0\nM30\x81";
  Put(Path("a.nc"), bytes);
  NcText t;
  std::string error;
  ASSERT_TRUE(NcText::Load(Path("a.nc"), t, error)) << error;
  EXPECT_EQ(t.ToBytes(), bytes);
  EXPECT_EQ(t.LineCount(), 4);
  EXPECT_EQ(t.Line(3), "M30\x81");
}

TEST_F(NcTextFiles, LoadFailuresLeaveTheTextAlone) {
  fs::create_directory(Path("folder"));
  for (const std::string& path : {Path("missing.nc"), Path("folder")}) {
    NcText t = NcText::FromBytes("keep\n");
    std::string error;
    EXPECT_FALSE(NcText::Load(path, t, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_EQ(t.ToBytes(), "keep\n");
  }
}

TEST_F(NcTextFiles, WriteCreatesAndReplaces) {
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(Path("new.nc"), "G00\r\n", error)) << error;
  EXPECT_EQ(Get(Path("new.nc")), "G00\r\n");

  Put(Path("old.nc"), "old content");
  ASSERT_EQ(chmod(Path("old.nc").c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(Path("old.nc"), std::string("G\0\x81", 3), error)) << error;
  EXPECT_EQ(Get(Path("old.nc")), std::string("G\0\x81", 3));
  struct stat st {};
  ASSERT_EQ(stat(Path("old.nc").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(EntryCount(), 2u);  // no temporary file left behind
}

TEST_F(NcTextFiles, WriteThroughSymbolicLink) {
  Put(Path("real.nc"), "old");
  fs::create_symlink(Path("real.nc"), Path("link.nc"));
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(Path("link.nc"), "new", error)) << error;
  EXPECT_TRUE(fs::is_symlink(Path("link.nc")));
  EXPECT_EQ(Get(Path("real.nc")), "new");
}

TEST_F(NcTextFiles, WriteFailuresLeaveTheTargetUntouched) {
  Put(Path("keep.nc"), "original");
  fs::create_directory(Path("folder"));
  const std::string paths[] = {Path("no/such/folder/a.nc"), Path("folder")};
  for (const std::string& path : paths) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, "new", error)) << path;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_TRUE(fs::is_directory(Path("folder")));
  EXPECT_EQ(Get(Path("keep.nc")), "original");
  EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(NcTextFiles, WriteRespectsReadOnlyFoldersAndFiles) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  fs::create_directory(Path("ro"));
  Put(Path("ro/a.nc"), "original");
  Put(Path("b.nc"), "original");
  ASSERT_EQ(chmod(Path("ro").c_str(), 0555), 0);
  ASSERT_EQ(chmod(Path("b.nc").c_str(), 0444), 0);
  for (const std::string& path : {Path("ro/a.nc"), Path("b.nc")}) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, "new", error));
    EXPECT_NE(error.find("ermission"), std::string::npos) << error;
    EXPECT_EQ(Get(path), "original");
  }
  EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(NcTextFiles, DiskFullMidSaveLeavesTheTargetUntouched) {
  // A file size limit makes write() fail part-way, as a full disk would.
  Put(Path("keep.nc"), "original");
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool ok = WriteFileAtomically(Path("keep.nc"), std::string(100000, 'G'), error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find("write"), std::string::npos) << error;
  EXPECT_EQ(Get(Path("keep.nc")), "original");
  EXPECT_EQ(EntryCount(), 1u);
}

}  // namespace
}  // namespace kelvan::nc

namespace kelvan::nc {
namespace {

// A file as the editor takes it: its UTF-8 text and what writing it back needs.
TEST(DecodedText, FromFileBytes) {
  struct Case {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    bool bom;
    LineEnd newLineEnd;
    std::vector<std::string> lines;  // UTF-8
  } cases[] = {
      {"ascii, CR LF", "G01 X1.\r\nM30\r\n", TextEncoding::Cp932, false, LineEnd::CrLf, {"G01 X1.", "M30"}},
      {"ascii, mostly LF", "A\nB\nC\r\n", TextEncoding::Cp932, false, LineEnd::Lf, {"A", "B", "C"}},
      {"no line end at all", "G00 X1.", TextEncoding::Cp932, false, LineEnd::CrLf, {"G00 X1."}},
      {"empty", "", TextEncoding::Cp932, false, LineEnd::CrLf, {}},
      {"shift-jis comment", "(\x8D\xED\x82\xE8)\n", TextEncoding::Cp932, false, LineEnd::Lf,
       {"(\xE5\x89\x8A\xE3\x82\x8A)"}},
      {"utf-8", "(\xE5\x89\x8A)\r\nX1\r\n", TextEncoding::Utf8, false, LineEnd::CrLf, {"(\xE5\x89\x8A)", "X1"}},
      {"utf-8 with a mark", "\xEF\xBB\xBF(\xE5\x89\x8A)\nX1\n", TextEncoding::Utf8, true, LineEnd::Lf,
       {"(\xE5\x89\x8A)", "X1"}},
      {"bare CR", "A\rB\r", TextEncoding::Cp932, false, LineEnd::Cr, {"A", "B"}},
  };
  for (const Case& c : cases) {
    const DecodedText d = DecodeText(NcText::FromBytes(c.bytes));
    EXPECT_EQ(d.Encoding, c.encoding) << c.name;
    EXPECT_EQ(d.Bom, c.bom) << c.name;
    EXPECT_EQ(d.NewLineEnd, c.newLineEnd) << c.name;
    ASSERT_TRUE(d.Utf8) << c.name;
    EXPECT_EQ(d.Utf8->Encoding(), TextEncoding::Utf8) << c.name;
    std::vector<std::string> lines;
    for (int32_t i = 0; i < d.Utf8->LineCount(); ++i) lines.emplace_back(d.Utf8->Line(i));
    EXPECT_EQ(lines, c.lines) << c.name;
  }
}

TEST(PathListSwap, ExchangesItemsOfEqualCapacityOnly) {
  PathList a(4), b(4), c(5);
  const float v[8] = {1, 2, 3, 4, 5, 6, 0, 0};
  AddPathItem(a, 100, 7, PathKind::pkLinear, v);
  const PathItem* itemsOfA = a.begin();
  EXPECT_TRUE(a.Swap(b));
  EXPECT_EQ(a.Count, 0);
  EXPECT_EQ(b.Count, 1);
  EXPECT_EQ(b.begin(), itemsOfA);
  EXPECT_EQ(b[0].Line, 7);
  EXPECT_FALSE(b.Swap(c));
  EXPECT_EQ(b.Count, 1);
  EXPECT_EQ(c.Count, 0);
}

}  // namespace
}  // namespace kelvan::nc
