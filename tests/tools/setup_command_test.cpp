// tovin setup end to end: a package made by tovin pack, installed unattended into a fresh
// emulated machine, with the transcript, the exit statuses and the files the setup leaves.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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
  void Package(const std::string& config = kConfig, const std::string& licence = "first line\r\nsecond line\r\n") {
    Make("src/app.exe", "MZ the application");
    Make("src/data/table.dat", "1 2 3");
    Make("src/license.txt", licence);
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
  EXPECT_NE(out_.find("[Confirm] File Already Exists (app.exe). Overwrite? -> Yes (answers file: Overwrite.app.exe=Yes)\n"),
            std::string::npos)
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
        StatusCase{"cancel", "Cancel=2", "", 3, "result: cancelled before anything was installed"},
        StatusCase{"decline", "Licence=Decline", "", 3, "result: cancelled"},
        StatusCase{"return", "Finish=Return\r\nInstallType=Full", "", 0, "result: installed"},
        StatusCase{"finish-not-offered", "Finish=Launch", "no-launch", 3, "which this setup does not offer"},
        StatusCase{"no-segment", "", "drop-segment", 4,
                   "[Tovin - Setup] Please Insert Disk #1 into Floppy Drive. -> OK (default button)"},
        StatusCase{"no-installdir", "", "no-installdir", 5, "result: the installation run stopped on an error"},
        StatusCase{"no-package-folder", "", "no-folder", 1, "no package folder at nowhere"},
        StatusCase{"unknown-key", "Colour=blue", "", 1, "answers file: unknown key Colour in [Answers]"},
        StatusCase{"bad-value", "InstallType=Half", "", 1, "InstallType=Half: expected Full or Min"},
        // Read whole and refused: cut to the reader's buffer it would name another folder.
        StatusCase{"long-destination", kLongDestination.c_str(), "", 1,
                   "answers file: Destination: The destination folder's path is longer than 247 characters"}));

// What a run says when it did not go as the author meant: the status, and the reason on the
// stream it belongs to.
struct ResultCase {
  const char* name;
  const char* answers;  // the whole answers file; empty: none
  const char* change;   // "", "png-picture", "folder-at-target", "one-line-licence" or "drop-segment"
  const char* options;
  int status;
  const char* out;  // in standard output
  const char* err;  // in standard error; empty: standard error stays empty
};

class SetupResult : public SetupCommand, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(SetupResult, StatusAndReasonAreHonest) {
  const auto& c = GetParam();
  std::string change = c.change, config = kConfig;
  if (change == "png-picture") config.insert(config.find("Header="), "Bitmap File=aa.png\r\n");
  if (change == "png-picture") Make("src/aa.png", "\x89PNG\r\n\x1a\n0000");
  Package(config, change == "one-line-licence" ? "only line\r\n" : "first line\r\nsecond line\r\n");
  if (change == "folder-at-target") fs::create_directories(dir_ + "/root/drive_c/App/app.exe");
  if (change == "drop-segment") fs::remove(dir_ + "/pkg/tovinsetup.001");
  std::string args = std::string("setup --root root ") + c.options;
  if (*c.answers) Make("answers.ini", c.answers), args += " --answers answers.ini";
  EXPECT_EQ(Tovin(args + " pkg"), c.status) << out_ << err_;
  EXPECT_NE(out_.find(c.out), std::string::npos) << out_;
  if (*c.err) {
    EXPECT_NE(err_.find(c.err), std::string::npos) << err_;
  } else {
    EXPECT_EQ(err_, "");
  }
  if (!*c.answers) {
    EXPECT_EQ(out_.find("(answers file"), std::string::npos) << out_;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetupResult,
    ::testing::Values(
        ResultCase{"expand-cause", "", "png-picture", "-q", 4, "result: the package could not be prepared",
                   "Error Expanding Files!! (the picture aa.png (Bitmap File): Unknown picture file extension (.png))"},
        ResultCase{"error-box", "", "folder-at-target", "-q", 6, "result: installed with errors: not written: app.exe", ""},
        ResultCase{"no-section", "[Answer]\r\nLicence=Decline\r\n", "", "-q", 1, "",
                   "has no [Answers] section (it has [Answer])"},
        ResultCase{"shortcut-typo", "[Answers]\r\nNoDesktop=sample\r\n", "", "-q", 1, "",
                   "NoDesktop=sample: no shortcut \"sample\" in the package's [Desktop] (did you mean \"Sample\"?)"},
        ResultCase{"missing-drive", "[Answers]\r\nDestination=D:\\App\r\n", "", "-q", 1, "",
                   "Destination=D:\\App: the machine has no drive D: (its drives: C:, Z:)"},
        ResultCase{"cancel-skipped", "[Answers]\r\nCancel=1\r\n", "one-line-licence", "", 0, "result: installed",
                   "note: Cancel=1 found nothing to press: the setup went past page 1 (licence) without showing it"},
        ResultCase{"cancel-skipped-quiet", "[Answers]\r\nCancel=1\r\n", "one-line-licence", "-q", 0,
                   "could not launch", ""},
        ResultCase{"cancel-skipped-strict", "[Answers]\r\nCancel=1\r\n", "one-line-licence", "-q --strict", 3,
                   "result: cancelled before anything was installed", "Cancel=1 found nothing to press"},
        ResultCase{"decline-skipped-strict", "[Answers]\r\nLicence=Decline\r\n", "one-line-licence", "-q --strict", 3,
                   "-> Cancel (Licence=Decline found nothing to press", "Licence=Decline found nothing to press"},
        ResultCase{"installtype-skipped", "[Answers]\r\nInstallType=Min\r\n", "", "", 0, "result: installed",
                   "note: InstallType=Min found nothing to press: the setup went past page 4 (install type)"},
        ResultCase{"no-answers-no-claim", "", "drop-segment", "-q", 4, "-> Cancel (no disk drive to insert it in)",
                   "Error Expanding Files!! (segment TovinSetup.001: "}),
    [](const auto& info) {
      std::string name = info.param.name;
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    });

TEST_F(SetupCommand, TheTranscriptFollowsThePagesAndTheLogHoldsIt) {
  Package();
  Make("answers.ini", "[Answers]\r\nNoStartMenu=Sample\r\nFinish=Return\r\nInstallType=Full\r\n");
  ASSERT_EQ(Tovin("setup -q --root root --answers answers.ini --log run.log pkg"), 0) << out_ << err_;
  size_t at = 0;
  for (const char* line :
       {"window \"Tovin 32Bit Installer\":\n    Sample App\n", "window \"Preparing Tovin Setup\":\n",
        "page 0 (welcome) of \"Tovin32 - Setup\":\n    | It is strongly recommended",
        "    buttons: [Cancel] [Next]; greyed: [Back]\n  -> Next (to go on)\n",
        "page 1 (licence) of \"Tovin32 - Setup\":\n", "    | first line\n    | second line\n",
        "  -> Accept (not in the answers file: accepted)\n", "page 2 (destination)", "    C:\\App\n",
        "page 3 (folder and shortcuts)", "    Add Shortcut to Startmenu?\n      [x] Sample\n",
        "  -> untick \"Sample\" under \"Add Shortcut to Startmenu?\" (answers file: NoStartMenu=Sample)\n",
        "page 5 (ready to install)", "  -> choose \"Return to Windows after installed\" (answers file: Finish=Return)\n",
        "  -> Install (to go on)\n", "\nresult: installed\n"}) {
    at = out_.find(line, at);
    ASSERT_NE(at, std::string::npos) << line << "\n" << out_;
  }
  EXPECT_EQ(out_.find("page 4"), std::string::npos) << "a page the setup skips is not shown";
  EXPECT_EQ(err_, "") << "-q silences the note";
  std::string log = ReadHostFile(dir_ + "/run.log"), note = "note: InstallType=Full found nothing to press";
  size_t cut = log.find(note);
  ASSERT_NE(cut, std::string::npos) << log;
  EXPECT_EQ(log.substr(log.find('\n', cut) + 1), "result: installed\n");
  EXPECT_EQ(out_.rfind(log.substr(0, cut), 0), 0u) << log;
}

TEST_F(SetupCommand, JsonTellsTheResultTheFilesAndTheBoxes) {
  Package();
  fs::create_directories(dir_ + "/root/drive_c/App/data/table.dat");
  ASSERT_EQ(Tovin("setup -q --root root --json pkg"), 6) << out_ << err_;
  auto doc = nlohmann::json::parse(out_);
  EXPECT_EQ(doc["result"], "installed with errors: not written: table.dat");
  EXPECT_EQ(doc["failedFiles"], nlohmann::json::array({"table.dat"}));
  EXPECT_EQ(doc["installDir"], "C:\\App");
  EXPECT_NE(doc["installed"].dump().find("C:\\\\App\\\\app.exe"), std::string::npos) << doc["installed"];
  EXPECT_EQ(doc["boxes"].back()["id"], "copy-failed");
  EXPECT_EQ(doc["boxes"].back()["why"], "default button");
  EXPECT_EQ(doc["transcript"].back(), "result: installed with errors: not written: table.dat");
  EXPECT_NE(doc["uninstall"].get<std::string>().find("tovin uninstall --root"), std::string::npos);

  Make("answers.ini", "[Answer]\r\n");
  ASSERT_EQ(Tovin("setup -q --root root --json --answers answers.ini pkg"), 1) << out_ << err_;
  doc = nlohmann::json::parse(out_);
  EXPECT_NE(doc["errors"][0].get<std::string>().find("has no [Answers] section"), std::string::npos) << out_;
}

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
  EXPECT_NE(out_.find("5 the installation run stopped"), std::string::npos) << out_;
  EXPECT_NE(out_.find("--launch runs that program as a host program"), std::string::npos) << out_;
}

}  // namespace
}  // namespace tovin::test
