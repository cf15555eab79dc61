// Hostile packages and answers through tovin setup: the machine is a sandbox. A package writes
// only to the machine's drives (the host, Z:, is a write-protected disk to it), starts nothing
// on the host, opens no fifo or device, follows no link among the machine's own files, and a
// root is never a folder of the user's. Every case checks the host folder beside the machine
// is as it was, that nothing was started, and what the user is told.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "platform/platform.h"
#include "tests/tools/cli_fixture.h"

namespace tovin::test {
namespace {

// Placeholders in the texts of a case: {HOST} is the host folder as a path of the machine
// (Z:\...), {BARE} the same without its drive, {DIR} the test folder as the host names it.
#define MAIN "[Setup - Main]\nInstall Dir=App\nHeader=Sample\n"
#define DIRS "[Directories]\nD1=<INSTALLDIR>~\n"
#define FILES "[Files]\nF1=app.exe~<INSTALLDIR>\n"
#define INI "[INI - Setup]\nI=Paths~Data~<INSTALLDIR>app.exe\n"

struct Hostile {
  const char* name;
  const char* config = MAIN DIRS FILES;
  const char* answers = "";  // [Answers] lines; empty: no answers file
  const char* options = "";  // more options; without --root the machine is in root/
  const char* package = "pkg";
  void (*prepare)(const std::string& dir) = nullptr;  // plants what the case needs
  int status = 0;
  const char* says = "result: installed";  // in what tovin prints
  const char* machineHas = nullptr;        // below the root, after the run
  const char* machineLacks = nullptr;
  const char* stillFifo = nullptr;  // a fifo planted below the root, still one
};

void PrintTo(const Hostile& h, std::ostream* os) { *os << h.name; }

void Fifo(const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  fs::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
}
void Link(const std::string& target, const std::string& at) {
  fs::create_directories(fs::path(at).parent_path());
  fs::remove(at);
  fs::create_symlink(target, at);
}

const Hostile kHostile[] = {
    // Nothing is written through Z:, named or reached by a relative or rooted path.
    {.name = "DirectoryOnTheHost",
     .config = MAIN DIRS "D2=<SUB1><X>~{HOST}\\made\n[Files]\nF1=app.exe~<SUB1><X>\n",
     .status = 6,
     .says = "[Tovin - Setup] ERROR on app.exe -> OK (default button)"},
    {.name = "RelativeDirectory",
     .config = MAIN DIRS "D2=<SUB1><X>~..\\host\\made\n[Files]\nF1=app.exe~<SUB1><X>\n",
     .status = 6,
     .says = "[Tovin - Setup] ERROR on app.exe -> OK"},
    {.name = "RootedDirectory",
     .config = MAIN DIRS "D2=<SUB1><X>~{BARE}\\made\n[Files]\nF1=app.exe~<SUB1><X>\n",
     .status = 6,
     .says = "[Tovin - Setup] ERROR on app.exe -> OK"},
    {.name = "OverwriteAHostFile",
     .config = MAIN DIRS "D2=<SUB1><X>~{HOST}\n[Files]\nF1=victim.txt~<SUB1><X>\n",
     .status = 6,
     .says = "[Tovin - Setup] ERROR on victim.txt -> OK"},
    {.name = "IniFileOnTheHost",
     .config = MAIN "INI File={HOST}\\victim.txt\n" DIRS FILES INI,
     .status = 5,
     .says = "Unable to write to {HOST}\\victim.txt -> OK"},
    {.name = "RelativeIniFile",
     .config = MAIN "INI File=..\\host\\victim.txt\n" DIRS FILES INI,
     .status = 5,
     .says = "Unable to write to ..\\host\\victim.txt -> OK"},
    {.name = "DestinationOnTheHost", .answers = "Destination={HOST}\\dest", .status = 5,
     .says = "Unable to write to {HOST}\\dest\\uninstall.cfg"},
    {.name = "DestinationOnAShare", .answers = "Destination=\\\\server\\share\\app", .status = 1,
     .says = "Destination=\\\\server\\share\\app: expected a full path that begins with a drive letter"},
    {.name = "DestinationWithoutADrive", .answers = "Destination={BARE}\\dest", .status = 1,
     .says = "expected a full path that begins with a drive letter"},

    // Nothing is started on the host; --launch starts only what lies on the machine's drives.
    {.name = "LaunchAHostScript",  // a name holding "SETUP." is started whatever the choice
     .config = MAIN "Launch={HOST}\\SETUP.sh\n" DIRS FILES,
     .answers = "Finish=Return",
     .says = "would launch {DIR}/host/SETUP.sh; not started (tovin setup --launch starts"},
    {.name = "LaunchAHostScriptAsked",
     .config = MAIN "Launch={HOST}\\SETUP.sh\n" DIRS FILES,
     .options = "--launch",
     .says = "did not launch {DIR}/host/SETUP.sh: only a program on the emulated machine's drives"},
    {.name = "OverwriteAHostProgramThenLaunchIt",
     .config = MAIN "Launch={HOST}\\SETUP.sh\n" DIRS "D2=<SUB1><X>~{HOST}\n[Files]\nF1=SETUP.sh~<SUB1><X>\n",
     .options = "--launch",
     .status = 6,
     .says = "[Tovin - Setup] ERROR on SETUP.sh -> OK"},
    {.name = "LaunchThroughALinkOnTheMachine",
     .config = MAIN "Launch=<INSTALLDIR>SETUP.sh\n" DIRS FILES,
     .options = "--launch",
     .prepare = [](const std::string& d) { Link(d + "/host/SETUP.sh", d + "/root/drive_c/App/SETUP.sh"); },
     .says = "did not launch {DIR}/root/drive_c/App/SETUP.sh: only a program on the emulated machine's drives"},

    // No fifo, device or endless file is opened, and none blocks the run.
    {.name = "FifoAsConfiguration",
     .prepare = [](const std::string& d) { Fifo(d + "/pkg/install.cfg"); },
     .status = 1,
     .says = "tovin setup: pkg/install.cfg is not a regular file; refused"},
    {.name = "EndlessConfiguration",
     .prepare = [](const std::string& d) { Link("/dev/zero", d + "/pkg/install.cfg"); },
     .status = 1,
     .says = "tovin setup: pkg/install.cfg is not a regular file; refused"},
    {.name = "HugeConfiguration",
     .prepare = [](const std::string& d) { WriteHostFile(d + "/pkg/install.cfg", std::string(2 << 20, ';')); },
     .status = 1,
     .says = "pkg/install.cfg is larger than 1 MiB (2097152 bytes); refused"},
    {.name = "EndlessAnswers",
     .options = "--answers zero.ini",
     .prepare = [](const std::string& d) { Link("/dev/zero", d + "/zero.ini"); },
     .status = 1,
     .says = "tovin setup: answers file zero.ini is not a regular file; refused"},
    {.name = "FifoAsAnswers",
     .options = "--answers fifo.ini",
     .prepare = [](const std::string& d) { Fifo(d + "/fifo.ini"); },
     .status = 1,
     .says = "answers file fifo.ini is not a regular file; refused"},
    {.name = "FifoAsSegment",
     .prepare = [](const std::string& d) { Fifo(d + "/pkg/tovinsetup.001"); },
     .status = 4,
     .says = "[Tovin - Setup] Error Expanding Files!! -> OK"},
    {.name = "FifoAsTarget",
     .prepare = [](const std::string& d) { Fifo(d + "/root/drive_c/App/app.exe"); },
     .status = 6,
     .says = "[Tovin - Setup] ERROR on app.exe -> OK",
     .stillFifo = "drive_c/App/app.exe"},
    {.name = "FifoAsIniFile",
     .config = MAIN "INI File=app.ini\n" DIRS FILES INI,
     .prepare = [](const std::string& d) { Fifo(d + "/root/drive_c/WINDOWS/app.ini"); },
     .status = 5,
     .says = "Unable to write to app.ini -> OK",
     .stillFifo = "drive_c/WINDOWS/app.ini"},
    {.name = "FifoAsProgram",
     .config = MAIN "Launch=<INSTALLDIR>run\n" DIRS FILES,
     .options = "--launch",
     .prepare = [](const std::string& d) { Fifo(d + "/root/drive_c/App/run"); },
     .says = "could not launch {DIR}/root/drive_c/App/run: no program on this system runs it",
     .stillFifo = "drive_c/App/run"},

    // The machine's own files and folders are reached without following a link.
    {.name = "LinkAsRestartLog",
     .prepare = [](const std::string& d) { Link(d + "/host/victim.txt", d + "/root/exitwindows.log"); },
     .says = "cannot record the request in {DIR}/root/exitwindows.log"},
    {.name = "LinkAsRegistry",
     .prepare = [](const std::string& d) { Link(d + "/host/sub", d + "/root/registry"); },
     .status = 5,
     .says = "[Tovin - Setup] Failed to create key Software\\Microsoft\\Windows\\currentversion\\uninstall\\Sample"},
    {.name = "LinkAsWindowsFolder",
     .prepare = [](const std::string& d) { Link(d + "/host/sub", d + "/root/drive_c/WINDOWS"); },
     .status = 1,
     .says = "drive_c/WINDOWS in it is a link; the machine's own folders are never followed"},

    // A root is new, empty or a machine; the package is looked at before a machine is made.
    {.name = "RootIsTheHostsRoot", .options = "--root /", .status = 1,
     .says = "machine root /: the host's root folder cannot hold a machine"},
    {.name = "RootIsAFolderOfTheUser", .options = "--root host", .status = 1,
     .says = "machine root host: it holds"},
    {.name = "NoPackageMakesNoMachine", .package = "nowhere", .status = 1, .says = "no package folder at nowhere",
     .machineLacks = "."},

    // Names as Win32 takes them: a trailing dot or blank is dropped, a device name refused.
    {.name = "TrailingDotsAndBlanks",
     .config = "[Setup - Main]\nInstall Dir=Dot.\n" DIRS "D2=<SUB1>~data. \n[Files]\nF1=app.exe~<SUB1>\n",
     .machineHas = "drive_c/Dot/data/app.exe",
     .machineLacks = "drive_c/Dot."},
    {.name = "DeviceNameAsFolder",
     .config = MAIN DIRS "D2=<SUB1>~CON\n[Files]\nF1=app.exe~<SUB1>\n",
     .status = 6,
     .says = "[Tovin - Setup] ERROR on app.exe -> OK",
     .machineLacks = "drive_c/App/CON"},
    {.name = "DeviceNameAsShortcutFolder",
     .config = MAIN DIRS FILES "[Desktop]\nS=Sample~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe\n",
     .answers = "Folder=nul.txt",
     .machineHas = "drive_c/App/app.exe",
     .machineLacks = "drive_c/WINDOWS/Start Menu/Programs/nul.txt"},
};

std::string Replaced(std::string text, const std::string& placeholder, const std::string& value) {
  for (size_t at = 0; (at = text.find(placeholder, at)) != std::string::npos; at += value.size())
    text.replace(at, placeholder.size(), value);
  return text;
}

std::string WithLineEnds(const std::string& text) { return Replaced(text, "\n", "\r\n"); }

// Everything about a host folder tree a write could change: names, kinds, modes, times, bytes.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> seen;
  for (auto& e : fs::recursive_directory_iterator(root)) {
    auto status = e.symlink_status();
    std::string facts = std::to_string(static_cast<int>(status.type())) + " " +
                        std::to_string(static_cast<unsigned>(status.permissions())) + " " +
                        std::to_string(fs::last_write_time(e.path()).time_since_epoch().count());
    if (status.type() == fs::file_type::regular) facts += " " + ReadHostFile(e.path().string());
    seen[e.path().string()] = facts;
  }
  return seen;
}

class SetupHostile : public Cli, public ::testing::WithParamInterface<Hostile> {
 protected:
  void SetUp() override {
    Cli::SetUp();
    Make("host/victim.txt", "the user's own file\r\n");
    Make("host/sub/kept.txt", "kept");
    Make("host/SETUP.sh", "#!/bin/sh\necho started > '" + dir_ + "/host/started.txt'\n");
    fs::permissions(dir_ + "/host/SETUP.sh", fs::perms::owner_exec, fs::perm_options::add);
  }
  std::string Expand(const std::string& text) const {
    std::string host = "Z:" + Replaced(dir_, "/", "\\") + "\\host";
    return Replaced(Replaced(Replaced(text, "{HOST}", host), "{BARE}", host.substr(2)), "{DIR}", dir_);
  }
  // tovin setup cut off after a while: a run that blocks fails the case instead of hanging it.
  int Setup(const std::string& args) {
    int rc = RunShell("cd '" + dir_ + "' && timeout -k 5 120 '" TOVIN_BINARY "' setup -q " + args +
                      " >out.txt 2>err.txt </dev/null");
    out_ = ReadHostFile(dir_ + "/out.txt");
    err_ = ReadHostFile(dir_ + "/err.txt");
    return rc;
  }
};

TEST_P(SetupHostile, WritesNothingOutsideTheMachineAndStartsNothing) {
  const Hostile& c = GetParam();
  Make("src/app.exe", "MZ the application");
  Make("src/victim.txt", "the package's replacement");
  Make("src/SETUP.sh", "#!/bin/sh\necho replaced\n");
  Make("cfg/install.cfg", WithLineEnds(Expand(c.config)));
  Make("cfg/install.exe", "MZ setup");
  ASSERT_EQ(Tovin("pack -q --config cfg/install.cfg --setup cfg/install.exe -o pkg src"), 0) << err_;
  std::string args = c.options;
  if (args.find("--root") == std::string::npos) args += " --root root";
  if (*c.answers) {
    Make("answers.ini", WithLineEnds("[Answers]\n" + Expand(c.answers) + "\n"));
    args += " --answers answers.ini";
  }
  if (c.prepare) c.prepare(dir_);
  auto before = Snapshot(dir_ + "/host");

  EXPECT_EQ(Setup(args + " " + c.package), c.status) << out_ << err_;
  EXPECT_NE((out_ + err_).find(Expand(c.says)), std::string::npos) << Expand(c.says) << "\n" << out_ << err_;
  EXPECT_EQ(out_.find("\nlaunched "), std::string::npos) << out_;
  EXPECT_EQ(Snapshot(dir_ + "/host"), before);
  EXPECT_FALSE(fs::exists(dir_ + "/host/started.txt"));
  if (c.machineHas) {
    EXPECT_TRUE(fs::exists(dir_ + "/root/" + c.machineHas)) << c.machineHas;
  }
  if (c.machineLacks) {
    EXPECT_FALSE(fs::exists(dir_ + "/root/" + c.machineLacks)) << c.machineLacks;
  }
  if (c.stillFifo) {
    EXPECT_TRUE(fs::is_fifo(dir_ + "/root/" + c.stillFifo)) << c.stillFifo;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, SetupHostile, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

// --launch starts a program that lies on the machine's drives, in its own folder.
TEST_F(Cli, SetupLaunchStartsAProgramOfTheMachine) {
  Make("src/app.exe", "MZ the application");
  Make("cfg/install.cfg", WithLineEnds(MAIN "Launch=<INSTALLDIR>run.sh\n" DIRS FILES));
  Make("cfg/install.exe", "MZ setup");
  ASSERT_EQ(Tovin("pack -q --config cfg/install.cfg --setup cfg/install.exe -o pkg src"), 0) << err_;
  Make("root/drive_c/App/run.sh", "#!/bin/sh\necho started > started.txt\n");
  fs::permissions(dir_ + "/root/drive_c/App/run.sh", fs::perms::owner_exec, fs::perm_options::add);
  ASSERT_EQ(Tovin("setup -q --root root pkg"), 0) << out_ << err_;
  EXPECT_NE(out_.find("would launch " + dir_ + "/root/drive_c/App/run.sh; not started"), std::string::npos) << out_;
  ASSERT_EQ(Tovin("setup -q --launch --root root pkg"), 0) << out_ << err_;
  EXPECT_NE(out_.find("launched " + dir_ + "/root/drive_c/App/run.sh\n"), std::string::npos) << out_;
  // The program runs on its own: the shell makes the file before it writes into it.
  for (int i = 0; i < 500 && ReadHostFile(dir_ + "/root/drive_c/App/started.txt") != "started\n"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(ReadHostFile(dir_ + "/root/drive_c/App/started.txt"), "started\n");
}

// One run at a time in a machine: a second is refused at once, naming the run that holds it,
// and installs nothing; once the first has ended the machine is free again.
TEST_F(Cli, ASecondSetupInTheSameMachineIsRefusedNamingTheFirst) {
  Make("src/app.exe", "MZ the application");
  Make("cfg/install.cfg", WithLineEnds(MAIN DIRS FILES));
  Make("cfg/install.exe", "MZ setup");
  ASSERT_EQ(Tovin("pack -q --config cfg/install.cfg --setup cfg/install.exe -o pkg src"), 0) << err_;
  // The first run, as the lock file shows it: held, and naming its process.
  std::string pid = std::to_string(::getpid());
  Make("root/machine.lock", pid + "\n");
  auto held = plat::OpenFile(plat::FromHostPath(dir_ + "/root/machine.lock"), plat::Access::Read,
                             plat::Share::Exclusive, plat::Disposition::OpenExisting);
  ASSERT_TRUE(held);
  EXPECT_EQ(Tovin("setup -q --root root pkg"), 1) << out_ << err_;
  EXPECT_NE(err_.find("machine root " + dir_ + "/root: another tovin setup is running in this machine (process " +
                      pid + ")"),
            std::string::npos)
      << err_;
  EXPECT_FALSE(fs::exists(dir_ + "/root/drive_c/App"));
  held.reset();
  ASSERT_EQ(Tovin("setup -q --root root pkg"), 0) << out_ << err_;
  EXPECT_TRUE(fs::exists(dir_ + "/root/drive_c/App/app.exe"));
}

}  // namespace
}  // namespace tovin::test
