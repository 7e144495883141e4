// The user's script folder: where it is, and the first start's seeding that never
// replaces a user's file.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "script/ReservedWords.h"
#include "script/ScriptFolder.h"

namespace kelvan::script {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

class ScriptFolderTest : public ::testing::Test {
 protected:
  fs::path root = fs::temp_directory_path() / ("kelvan-seed-" + std::to_string(::getpid()));
  fs::path bundled = root / "bundled";
  fs::path user = root / "data/Morwen/KELVAN/Script";
  void SetUp() override {
    fs::remove_all(root);
    fs::create_directories(bundled / "sub");
    Write(bundled / "シーケンス番号.PAS", "begin end.\r\n");
    Write(bundled / "a.png", std::string("\x89PNG\0x", 6));
  }
  void TearDown() override { fs::remove_all(root); }
};

TEST_F(ScriptFolderTest, FolderFollowsXdgDataHome) {
  struct Case { const char* data; const char* home; std::string expected; };
  const Case cases[] = {
      {"/x/share", "/home/u", "/x/share/Morwen/KELVAN/Script"},
      {"/x/share/", "/home/u", "/x/share/Morwen/KELVAN/Script"},
      {"relative", "/home/u", "/home/u/.local/share/Morwen/KELVAN/Script"},  // only absolute paths count
      {nullptr, "/home/u", "/home/u/.local/share/Morwen/KELVAN/Script"},
  };
  const std::string savedData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  for (const Case& c : cases) {
    if (c.data) ::setenv("XDG_DATA_HOME", c.data, 1); else ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", c.home, 1);
    EXPECT_EQ(UserScriptFolder(), c.expected) << (c.data ? c.data : "(unset)");
  }
  if (savedData.empty()) ::unsetenv("XDG_DATA_HOME"); else ::setenv("XDG_DATA_HOME", savedData.c_str(), 1);
  ::setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(ScriptFolderTest, FirstStartCopiesEveryBundledFileWhole) {
  const SeedResult r = SeedScriptFolder(bundled.string(), user.string());
  EXPECT_TRUE(r.Created);
  EXPECT_EQ(r.Copied, 2);
  EXPECT_EQ(r.Error, "");
  EXPECT_EQ(Read(user / "シーケンス番号.PAS"), "begin end.\r\n");
  EXPECT_EQ(Read(user / "a.png"), std::string("\x89PNG\0x", 6));
  // Only the files: no folders, no temporary leftovers.
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(user)) names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"a.png", "シーケンス番号.PAS"}));
}

TEST_F(ScriptFolderTest, AnExistingFolderIsTheUsers) {
  fs::create_directories(user);
  Write(user / "シーケンス番号.PAS", "mine");
  const SeedResult r = SeedScriptFolder(bundled.string(), user.string());
  EXPECT_FALSE(r.Created);
  EXPECT_EQ(r.Copied, 0);
  EXPECT_EQ(Read(user / "シーケンス番号.PAS"), "mine");
  EXPECT_FALSE(fs::exists(user / "a.png"));  // deleted by the user: it stays deleted
}

TEST_F(ScriptFolderTest, FailuresAreReported) {
  // A file where the folder should be, and a bundle that is missing.
  fs::create_directories(root / "data/Morwen");
  Write(root / "data/Morwen/KELVAN", "a file");
  SeedResult r = SeedScriptFolder(bundled.string(), user.string());
  EXPECT_FALSE(r.Created);
  EXPECT_NE(r.Error, "");
  r = SeedScriptFolder((root / "nowhere").string(), (root / "other/Script").string());
  EXPECT_TRUE(r.Created);
  EXPECT_NE(r.Error.find("nowhere"), std::string::npos);
}

TEST(ReservedWords, ListIsSortedCaseInsensitivelyAndUnique) {
  std::set<std::string> lower;
  std::string previous;
  for (std::string_view w : kReservedWords) {
    std::string l;
    for (char c : w) l += char(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(lower.insert(l).second) << w;
    EXPECT_LT(previous, l) << w;
    previous = l;
  }
}

}  // namespace
}  // namespace kelvan::script
