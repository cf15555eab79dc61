// The Start-menu folder list and where the links of one program go.
#include <gtest/gtest.h>

#include <set>

#include "common/system_routines.h"
#include "platform/platform.h"
#include "tests/support/test_machine.h"
#include "wizard/shortcuts.h"

namespace tovin::test {
namespace {

// The shell folders below the Windows directory; on Windows they are the machine's own, so the
// tests make them when missing and count only the links of their own programs.
class Shortcuts : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    for (const auto& l : Links()) plat::DeleteFile(W() + "\\" + l);
    for (const char* f : {"\\Start Menu\\Programs\\readme.txt", "\\Start Menu\\Programs\\Old App.lnk",
                          "\\Start Menu\\Programs\\x.LNK.bak"})
      plat::DeleteFile(W() + f);
    for (const char* d : {"\\Start Menu\\Programs\\MyApp", "\\Start Menu\\MyApp", "\\Desktop\\MyApp",
                          "\\Start Menu\\Programs\\Games", "\\Start Menu\\Programs\\.hidden"})
      plat::RemoveDirectory(W() + d);
    CreateDirectoryPath(W() + "\\Start Menu\\Programs");
    CreateDirectoryPath(W() + "\\Desktop");
  }
  std::string W() { return GetWindowsDir(); }
  static bool Ours(const std::string& name) { return name == "My App.lnk" || name == "Tool.lnk"; }
  // The links of the test programs below the Start menu and the desktop, relative to the
  // Windows directory.
  std::set<std::string> Links() {
    std::set<std::string> found;
    std::vector<std::string> pending{"Start Menu", "Desktop"};
    while (!pending.empty()) {
      std::string dir = pending.back();
      pending.pop_back();
      for (const auto& f : plat::FindFiles(W() + "\\" + dir + "\\*.*", 0x37)) {
        if (f.name == "." || f.name == "..") continue;
        if (f.attributes & plat::kAttrDirectory) pending.push_back(dir + "\\" + f.name);
        else if (Ours(f.name)) found.insert(dir + "\\" + f.name);
      }
    }
    return found;
  }
};

TEST_F(Shortcuts, FolderListHoldsFoldersAndFilesButNoLinks) {
  std::string programs = W() + "\\Start Menu\\Programs\\";
  plat::CreateDirectory(programs + "Games");
  WriteFile(programs + "readme.txt", "r");
  WriteFile(programs + "Old App.lnk", "l");
  WriteFile(programs + "x.LNK.bak", "l");
  plat::CreateDirectory(programs + ".hidden");
  TShortcuts s;
  std::vector<std::string> ours;
  for (const auto& f : s.FolderList)
    if (f == "Games" || f == "readme.txt" || f.find("Old App") != std::string::npos || f[0] == '.') ours.push_back(f);
  EXPECT_EQ(ours, (std::vector<std::string>{"Games", "readme.txt"}));
}

struct FolderRule {
  bool folderDesktop, folderStartMenu, desktop, startMenu;
  std::set<std::string> links;
};

class ShortcutRules : public Shortcuts, public ::testing::WithParamInterface<FolderRule> {};

TEST_P(ShortcutRules, LinksLandWhereTheFlagsSay) {
  const auto& c = GetParam();
  TShortcuts s;
  s.Folder = "MyApp";
  s.ProgramName = "My App";
  s.RunProgram = "C:\\Program Files\\App\\app.exe";
  s.IconFile = "C:\\Program Files\\App\\app.ico";
  s.FolderDesktop = c.folderDesktop;
  s.FolderStartMenu = c.folderStartMenu;
  s.Desktop = c.desktop;
  s.StartMenu = c.startMenu;
  s.CreateShortcut();
  EXPECT_EQ(Links(), c.links);
  for (const auto& l : c.links) {
    auto link = plat::LoadShellLink(W() + "\\" + l);
    ASSERT_TRUE(link) << l;
    EXPECT_EQ(link->target, "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(link->workingDirectory, "C:\\Program Files\\App\\");
    EXPECT_EQ(link->iconLocation, "C:\\Program Files\\App\\app.ico");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShortcutRules,
    ::testing::Values(
        FolderRule{false, false, false, false, {"Start Menu\\Programs\\MyApp\\My App.lnk"}},
        FolderRule{true, false, true, false,
                   {"Desktop\\MyApp\\My App.lnk", "Start Menu\\Programs\\MyApp\\My App.lnk", "Desktop\\My App.lnk"}},
        FolderRule{false, true, false, false, {"Start Menu\\MyApp\\My App.lnk"}},
        FolderRule{false, false, false, true, {"Start Menu\\Programs\\MyApp\\My App.lnk", "Start Menu\\My App.lnk"}},
        FolderRule{true, true, true, true,
                   {"Desktop\\MyApp\\My App.lnk", "Start Menu\\Programs\\MyApp\\My App.lnk",
                    "Start Menu\\MyApp\\My App.lnk", "Desktop\\My App.lnk", "Start Menu\\My App.lnk"}}));

TEST_F(Shortcuts, AnEmptyFolderPutsTheLinkIntoProgramsItself) {
  TShortcuts s;
  s.ProgramName = "Tool";
  s.RunProgram = "C:\\T\\tool.exe";
  s.CreateShortcut();
  EXPECT_EQ(Links(), (std::set<std::string>{"Start Menu\\Programs\\Tool.lnk"}));
}

}  // namespace
}  // namespace tovin::test
