// tovin uninstall end to end on the demo package: installed by tovin setup, removed again to the
// last folder and registry key; a dry run, the questions on a terminal, a refused log.
#include <gtest/gtest.h>

#include "tests/tools/cli_fixture.h"

namespace tovin::test {
namespace {

class UninstallCommand : public Cli {
 protected:
  // The demo package installed as scripts/demo.sh installs it; the machine as it was before.
  void InstallDemo() {
    Make("install.exe", "MZ setup program");  // what runs here is tovin; the package only carries it
    ASSERT_EQ(Tovin("pack -q --segment-size 16K --config " TOVIN_EXAMPLES_DIR "/demo/install.cfg --setup install.exe "
                    "-o pkg " TOVIN_EXAMPLES_DIR "/demo/files"),
              0)
        << err_;
    ASSERT_EQ(Tovin("config --root root pkg"), 0) << err_;  // a fresh machine, nothing installed
    before_ = Listing();
    ASSERT_EQ(Tovin("setup -q --root root --answers " TOVIN_EXAMPLES_DIR "/demo/answers.ini pkg"), 0) << out_ << err_;
    ASSERT_NE(out_.find("to uninstall: tovin uninstall --root 'root' 'C:\\Program Files\\Tovin Notepad'\n"),
              std::string::npos)
        << out_;
    installed_ = Listing();
  }
  // Folders and files of the machine with their checksums, and the registry's keys.
  std::string Listing() {
    std::vector<std::string> lines;
    for (auto& e : fs::recursive_directory_iterator(dir_ + "/root")) {
      std::string rel = fs::relative(e.path(), dir_ + "/root").string();
      if (rel.rfind("registry", 0) == 0 || rel == "machine.lock") continue;  // the machine's own bookkeeping
      lines.push_back(e.is_directory() ? rel + "/" : rel + " " + std::to_string(Crc16(ReadHostFile(e.path().string()))));
    }
    std::sort(lines.begin(), lines.end());
    std::string listing;
    for (const auto& l : lines) listing += l + "\n";
    std::string reg = ReadHostFile(dir_ + "/root/registry/HKEY_LOCAL_MACHINE.reg");
    return listing + "registry keys: " + std::to_string(std::count(reg.begin(), reg.end(), '[')) + "\n";
  }
  std::string Dest() const { return dir_ + "/root/drive_c/Program Files/Tovin Notepad"; }
  // Runs tovin on a terminal (script(1)) with answers typed in; the terminal's text.
  std::string OnTerminal(const std::string& args, const std::string& typed) {
    Make("typed.txt", typed);
    std::string run = "'" TOVIN_BINARY "' " + args + "; echo \\$? >status.txt";
    RunShell("cd '" + dir_ + "' && script -qec \"" + run + "\" tty.log <typed.txt >/dev/null");
    return ReadHostFile(dir_ + "/tty.log");
  }
  std::string before_, installed_;
};

TEST_F(UninstallCommand, TheDemoGoesToTheLastFolderAndKey) {
  InstallDemo();
  ASSERT_EQ(Tovin("uninstall --root root --dry-run 'C:\\Program Files\\Tovin Notepad'"), 0) << err_;
  EXPECT_EQ(Listing(), installed_);
  EXPECT_NE(out_.find("would remove " + Dest() + "/tnotepad.exe\n"), std::string::npos) << out_;
  EXPECT_NE(out_.find("would remove registry key HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\currentversion\\"
                      "uninstall\\Tovin Notepad 2.1\n"),
            std::string::npos)
      << out_;
  // The host's path of the folder names it as well as the machine's own.
  ASSERT_EQ(Tovin("uninstall --root root -y 'root/drive_c/Program Files/Tovin Notepad'"), 0) << err_;
  EXPECT_EQ(Listing(), before_);
  EXPECT_NE(out_.find("removed INI file " + dir_ + "/root/drive_c/WINDOWS/tnotepad.ini\n"), std::string::npos) << out_;
  EXPECT_NE(out_.find("result: uninstalled\n"), std::string::npos) << out_;
  EXPECT_EQ(Tovin("uninstall --root root 'C:\\Program Files\\Tovin Notepad'"), 1);
  EXPECT_NE(err_.find("tovin uninstall: There is nothing to uninstall: no uninstall.cfg can be read in " + Dest() + "\n"),
            std::string::npos)
      << err_;
}

TEST_F(UninstallCommand, WithoutATerminalItAsksForYes) {
  InstallDemo();
  EXPECT_EQ(Tovin("uninstall --root root 'C:\\Program Files\\Tovin Notepad'"), 2);
  EXPECT_NE(err_.find("no terminal to ask whether to remove \"Tovin Notepad 2.1\"; -y removes it without asking"),
            std::string::npos)
      << err_;
  EXPECT_EQ(Listing(), installed_);
  EXPECT_EQ(Tovin("uninstall 'C:\\Program Files\\Tovin Notepad'"), 2);
  EXPECT_NE(err_.find("--root R is needed"), std::string::npos) << err_;
}

struct TerminalCase {
  const char* name;
  const char* typed;
  int status;
  bool removed, userFileKept;
};

class UninstallOnATerminal : public UninstallCommand, public ::testing::WithParamInterface<TerminalCase> {};

TEST_P(UninstallOnATerminal, AsksOnceThenForTheUsersFiles) {
  if (RunShell("command -v script >/dev/null") != 0) GTEST_SKIP() << "no script(1) for a terminal";
  const auto& c = GetParam();
  InstallDemo();
  Make("root/drive_c/Program Files/Tovin Notepad/my letter.txt", "mine");
  std::string tty = OnTerminal("uninstall --root root 'C:\\Program Files\\Tovin Notepad'", c.typed);
  EXPECT_EQ(ReadHostFile(dir_ + "/status.txt"), std::to_string(c.status) + "\n") << tty;
  EXPECT_NE(tty.find("Remove \"Tovin Notepad 2.1\" from this machine? [y/N]"), std::string::npos) << tty;
  EXPECT_EQ(fs::exists(Dest() + "/tnotepad.exe"), !c.removed) << tty;
  EXPECT_EQ(fs::exists(Dest() + "/my letter.txt"), c.userFileKept) << tty;
}

INSTANTIATE_TEST_SUITE_P(Table, UninstallOnATerminal,
                         ::testing::Values(TerminalCase{"declined", "n\n", 3, false, true},
                                           TerminalCase{"user-files-kept", "y\nn\n", 0, true, true},
                                           TerminalCase{"user-files-too", "y\ny\n", 0, true, false}),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           std::replace(n.begin(), n.end(), '-', '_');
                           return n;
                         });

TEST_F(UninstallCommand, ARefusedLogNamesItsEntryAndRemovesNothing) {
  InstallDemo();
  std::string log = ReadHostFile(Dest() + "/uninstall.cfg");
  const std::string setup = "C:\\Program Files\\Tovin Notepad\\Setup\\*.*=";
  log.replace(log.find(setup), setup.size(), "C:\\WINDOWS\\*.*=");
  WriteHostFile(Dest() + "/uninstall.cfg", log);
  installed_ = Listing();
  EXPECT_EQ(Tovin("uninstall --root root -y 'C:\\Program Files\\Tovin Notepad'"), 1);
  EXPECT_NE(err_.find("uninstall.cfg is refused, nothing was removed:\n"
                      "  [UNINS] \"C:\\WINDOWS\\*.*\" would remove the files of the Windows folder as a whole\n"),
            std::string::npos)
      << err_;
  EXPECT_EQ(Listing(), installed_);
}

}  // namespace
}  // namespace tovin::test
