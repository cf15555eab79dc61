// tovin setup end to end: a package made by tovin pack, installed unattended into a fresh
// emulated machine, with the transcript, the exit statuses and the files the setup leaves.
#include <gtest/gtest.h>

#include "tests/tools/cli_fixture.h"

namespace tovin::test {
namespace {

const char* kConfig =
    "[Setup - Main]\r\nInstall Dir=App\r\nLaunch=<INSTALLDIR>app.exe\r\nFolder=App\r\nHeader=Sample App\r\n"
    "INI File=app.ini\r\n"
    "[Directories]\r\nD1=<INSTALLDIR>~\r\nD2=<SUBDATA>~data\r\n"
    "[Files]\r\nF1=app.exe~<INSTALLDIR>\r\nF2=data\\table.dat~<SUBDATA>\r\n"
    "[Files - OverWrite]\r\nFile #0=1\r\n"
    "[Desktop]\r\nS=Sample~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe\r\n"
    "[INI - Setup]\r\nI=Paths~Data~<SUBDATA>table.dat\r\n";

class SetupCommand : public Cli {
 protected:
  void Package(const std::string& config = kConfig) {
    Make("src/app.exe", "MZ the application");
    Make("src/data/table.dat", "1 2 3");
    Make("src/license.txt", "first line\r\nsecond line\r\n");
    Make("cfg/install.cfg", config);
    Make("cfg/install.exe", "MZ setup");
    ASSERT_EQ(Tovin("pack -q --config cfg/install.cfg --setup cfg/install.exe -o pkg src"), 0) << err_;
  }
  std::string Installed(const std::string& rel) { return ReadHostFile(dir_ + "/root/drive_c/" + rel); }
};

TEST_F(SetupCommand, InstallsWithAnAnswersFileAndPrintsTheTranscript) {
  Package();
  Make("root/drive_c/App/app.exe", "an older one");
  Make("answers.ini", "[Answers]\r\nOverwrite.app.exe=Yes\r\nNoStartMenu=Sample\r\nFinish=Launch\r\n");
  ASSERT_EQ(Tovin("setup -q --root root --answers answers.ini pkg"), 0) << err_ << out_;
  EXPECT_NE(out_.find("[Confirm] File Already Exists (app.exe). Overwrite? -> Yes (answers file)\n"), std::string::npos)
      << out_;
  EXPECT_NE(out_.find("could not launch " + dir_ + "/root/drive_c/App/app.exe: no program on this system runs it\n"),
            std::string::npos)
      << out_;
  EXPECT_NE(out_.find("result: installed\n"), std::string::npos) << out_;
  EXPECT_EQ(Installed("App/app.exe"), "MZ the application");
  EXPECT_EQ(Installed("App/data/table.dat"), "1 2 3");
  EXPECT_NE(Installed("App/uninstall.cfg").find("[Program]\r\nTitle=Sample App\r\n"), std::string::npos);
  EXPECT_NE(Installed("WINDOWS/app.ini").find("Data=C:\\App\\data\\table.dat"), std::string::npos);
  EXPECT_NE(ReadHostFile(dir_ + "/root/registry/HKEY_LOCAL_MACHINE.reg").find("\"DisplayName\"=\"Sample App\""),
            std::string::npos);
  EXPECT_TRUE(fs::exists(dir_ + "/root/drive_c/WINDOWS/Desktop/Sample.lnk"));
  EXPECT_FALSE(fs::exists(dir_ + "/root/drive_c/WINDOWS/Start Menu/Sample.lnk"));
  EXPECT_FALSE(fs::exists(dir_ + "/root/exitwindows.log"));
}

struct StatusCase {
  const char* name;
  const char* answers;  // empty: no answers file
  const char* change;   // "", "drop-segment", "no-installdir", "no-launch" or "no-folder"
  int status;
  const char* says;
};

class SetupStatus : public SetupCommand, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(SetupStatus, ExitStatusSaysHowFarItGot) {
  const auto& c = GetParam();
  std::string change = c.change;
  std::string config = kConfig;
  if (change == "no-installdir") config.replace(config.find("D1=<INSTALLDIR>~\r\n"), 18, "");
  if (change == "no-launch") config.replace(config.find("Launch=<INSTALLDIR>app.exe\r\n"), 28, "Show Re-Boot=0\r\n");
  Package(config);
  if (change == "drop-segment") fs::remove(dir_ + "/pkg/tovinsetup.001");
  std::string args = "setup -q --root root";
  if (*c.answers) {
    Make("answers.ini", std::string("[Answers]\r\n") + c.answers + "\r\n");
    args += " --answers answers.ini";
  }
  args += change == "no-folder" ? " nowhere" : " pkg";
  EXPECT_EQ(Tovin(args), c.status) << c.name << "\n" << out_ << err_;
  EXPECT_NE((out_ + err_).find(c.says), std::string::npos) << c.name << "\n" << out_ << err_;
  EXPECT_FALSE(fs::exists(dir_ + "/root/exitwindows.log")) << c.name;
}

const std::string kLongDestination = "Destination=C:\\" + std::string(1100, 'd');

INSTANTIATE_TEST_SUITE_P(
    Table, SetupStatus,
    ::testing::Values(
        StatusCase{"installed", "", "", 0, "result: installed"},
        StatusCase{"cancel", "Cancel=2", "", 2, "result: cancelled before anything was installed"},
        StatusCase{"decline", "Licence=Decline", "", 2, "result: cancelled"},
        StatusCase{"return", "Finish=Return\r\nInstallType=Full", "", 0, "result: installed"},
        StatusCase{"finish-not-offered", "Finish=Launch", "no-launch", 2, "which this setup does not offer"},
        StatusCase{"no-segment", "", "drop-segment", 3,
                   "[Tovin - Setup] Please Insert Disk #1 into Floppy Drive. -> OK (default button)"},
        StatusCase{"no-installdir", "", "no-installdir", 4, "result: the installation run stopped on an error"},
        StatusCase{"no-package-folder", "", "no-folder", 1, "no package folder at nowhere"},
        StatusCase{"unknown-key", "Colour=blue", "", 1, "answers file: unknown key Colour in [Answers]"},
        StatusCase{"bad-value", "InstallType=Half", "", 1, "InstallType=Half: expected Full or Min"},
        // Read whole and refused: cut to the reader's buffer it would name another folder.
        StatusCase{"long-destination", kLongDestination.c_str(), "", 1,
                   "answers file: Destination: The destination folder's path is longer than 247 characters"}));

TEST_F(SetupCommand, TheRestartIsRecordedAfterAFinishedRun) {
  std::string config = kConfig;
  config.replace(config.find("Launch=<INSTALLDIR>app.exe\r\n"), 28, "");
  Package(config);
  ASSERT_EQ(Tovin("setup -q --root root pkg"), 0) << out_ << err_;
  EXPECT_NE(out_.find("restart of Windows requested\n"), std::string::npos) << out_;
  EXPECT_TRUE(fs::exists(dir_ + "/root/exitwindows.log"));
}

TEST_F(SetupCommand, OnATerminalTheProgressLineFollowsThePreparationAndTheRun) {
  if (RunShell("command -v script >/dev/null") != 0) GTEST_SKIP() << "no script(1) for a terminal";
  Package();
  std::string run = "'" TOVIN_BINARY "' setup --ui headless --root root pkg";
  ASSERT_EQ(RunShell("cd '" + dir_ + "' && script -qec \"" + run + "\" tty.log </dev/null >/dev/null"), 0);
  std::string tty = ReadHostFile(dir_ + "/tty.log");
  size_t at = 0;
  for (const char* line : {"\rpreparing app.exe ", "\rpreparing table.dat ", "\rinstalling app.exe ",
                           "\rinstalling table.dat ", "\rinstalling Sample "}) {
    at = tty.find(line, at);
    ASSERT_NE(at, std::string::npos) << line << "\n" << tty;
  }
}

TEST_F(SetupCommand, HelpListsTheExitStatuses) {
  ASSERT_EQ(Tovin("setup --help"), 0);
  EXPECT_NE(out_.find("4 the installation run stopped"), std::string::npos) << out_;
  EXPECT_NE(out_.find("--launch runs that program as a host program"), std::string::npos) << out_;
}

}  // namespace
}  // namespace tovin::test
