// Reading the uninstall log back: its sections, the wildcards as Windows matches them, paths
// without letter case.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tests/support/test_machine.h"
#include "wizard/uninstall_info.h"
#include "wizard/uninstall_log_reader.h"

namespace tovin::test {
namespace {

struct MatchCase {
  const char* pattern;
  const char* name;
  bool matches;
};

// Many stars against a long name that fails at its end: matched in one pass, not by trying
// every way of sharing the name out.
const std::string kLongName(240, 'a');

class Wildcards : public ::testing::TestWithParam<MatchCase> {};

TEST_P(Wildcards, MatchAsWindowsMatchesAFileName) {
  const auto& c = GetParam();
  EXPECT_EQ(WildcardMatches(c.pattern, c.name), c.matches) << c.pattern << " against " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Wildcards,
    ::testing::Values(MatchCase{"*.*", "readme.txt", true}, MatchCase{"*.*", "README", true},
                      MatchCase{"*.*", ".profile", true}, MatchCase{"*.*", "a.b.c", true},
                      MatchCase{"App.*", "App.lnk", true}, MatchCase{"App.*", "app.LNK", true},
                      MatchCase{"App.*", "App", true}, MatchCase{"App.*", "App.x.y", true},
                      MatchCase{"App.*", "Apps.lnk", false}, MatchCase{"App.*", "App Help.lnk", false},
                      MatchCase{"App.*", "My App.lnk", false}, MatchCase{"Read Me.*", "read me.lnk", true},
                      MatchCase{"*.txt", "notes.txt", true}, MatchCase{"*.txt", "notes.txt.bak", false},
                      MatchCase{"a?c.txt", "abc.txt", true}, MatchCase{"a?c.txt", "ac.txt", false},
                      // "?" takes nothing before a dot or at the end, as the system's does.
                      MatchCase{"abc?.txt", "abc.txt", true}, MatchCase{"abc?", "abc", true},
                      MatchCase{"tnotepad.exe", "TNOTEPAD.EXE", true}, MatchCase{"tnotepad.exe", "tnotepad.ex", false},
                      MatchCase{"*a*a*a*a*a*a*a*a*a*a*b", kLongName.c_str(), false}));

struct PathCase {
  const char* path;
  const char* folder;
  bool below;
};

class Paths : public ::testing::TestWithParam<PathCase> {};

TEST_P(Paths, CompareWithoutLetterCase) {
  const auto& c = GetParam();
  EXPECT_EQ(PathIsBelowOrSame(c.path, c.folder), c.below) << c.path << " in " << c.folder;
}

INSTANTIATE_TEST_SUITE_P(Table, Paths,
                         ::testing::Values(PathCase{"C:\\Program Files\\App\\a.exe", "c:\\PROGRAM FILES\\app", true},
                                           PathCase{"C:\\Program Files\\App", "C:\\Program Files\\App", true},
                                           PathCase{"C:/Program Files/App/x", "C:\\Program Files\\App", true},
                                           PathCase{"C:\\Program Files\\Apps\\x", "C:\\Program Files\\App", false},
                                           PathCase{"C:\\x", "C:\\", true}, PathCase{"D:\\x", "C:\\", false},
                                           PathCase{"C:\\Program Files", "C:\\Program Files\\App", false}));

TEST(PathParts, ParentAndName) {
  EXPECT_EQ(ParentOf("C:\\A\\b.txt"), "C:\\A");
  EXPECT_EQ(ParentOf("C:\\b.txt"), "C:\\");
  EXPECT_EQ(NamePart("C:\\A\\App.*"), "App.*");
  EXPECT_TRUE(SamePath("c:/a/B", "C:\\A\\b"));
}

class LogReader : public MachineTest {};

TEST_F(LogReader, SectionsInAnyLetterCaseEachKeyOnceInFileOrder) {
  std::string log = Path(kUninstallLogName);
  WriteFile(log,
            "[program]\r\nTitle=Tovin Notepad 2.1\r\n\r\n[unins]\r\nC:\\App\\*.*=\r\nC:\\App\\b.txt=\r\nc:\\app\\B.TXT=\r\n"
            "C:\\WINDOWS\\Desktop\\App.*=\r\n\r\n[FOLDERS]\r\nC:\\WINDOWS\\Start Menu\\Programs\\App=\r\n");
  auto read = ReadUninstallLog(log);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Title, "Tovin Notepad 2.1");
  EXPECT_EQ(read->Files, (std::vector<std::string>{"C:\\App\\*.*", "C:\\App\\b.txt", "C:\\WINDOWS\\Desktop\\App.*"}));
  EXPECT_EQ(read->Folders, (std::vector<std::string>{"C:\\WINDOWS\\Start Menu\\Programs\\App"}));
  EXPECT_FALSE(ReadUninstallLog(Path("missing.cfg")));
}

// What the writer puts in the log, the reader gives back.
TEST_F(LogReader, ReadsWhatTheWriterWrote) {
  std::string dest = Path("App");
  ASSERT_TRUE(plat::CreateDirectory(dest));
  TUninstallLog log;
  log.Open(dest, "A = B; [C]");
  log.Add("UNINS", dest + "\\app.exe");
  log.Add("Folders", "C:\\WINDOWS\\Start Menu\\Programs\\App");
  log.Close();
  auto read = ReadUninstallLog(dest + "\\" + kUninstallLogName);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Title, "A = B; [C]");
  EXPECT_EQ(read->Files, (std::vector<std::string>{dest + "\\*.*", dest + "\\Setup\\*.*", dest + "\\app.exe"}));
  EXPECT_EQ(read->Folders, (std::vector<std::string>{"C:\\WINDOWS\\Start Menu\\Programs\\App"}));
}

}  // namespace
}  // namespace tovin::test
