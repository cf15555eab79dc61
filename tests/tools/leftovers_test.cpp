// What the commands leave behind when a member fails, when they are interrupted, and when the
// disk cannot hold a member: never a file that looks complete, never a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tools/cli_fixture.h"

namespace tovin::test {
namespace {

constexpr size_t kMemberHeaderBytes = 25, kChecksumAt = 17;

std::string Text(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i * 7919 % 10007) + " of the member\n";
  return text;
}

bool EmptyOrMissing(const std::string& dir) { return !fs::exists(dir) || fs::is_empty(dir); }

// Damage to the data archive's member t.txt, found by its name (the last one in the file).
struct Damage {
  const char* name;
  void (*apply)(std::string& bytes, size_t name);
  const char* message;
};

const Damage kDamages[] = {
    {"Checksum", [](std::string& b, size_t name) { b[name - kMemberHeaderBytes + kChecksumAt] ^= 0x40; },
     "Bad checksum during expansion -- data may be invalid"},
    // One block whose first code table gives three symbols a 1-bit code.
    {"DecodeTable",
     [](std::string& b, size_t name) { b.replace(name + 5, 6, std::string{0x00, 0x01, 0x19, 0x24, 0x00, 0x00}); },
     "Bad decode table in archive!"},
};

struct Command {
  const char* name;
  const char* args;     // the command line, reading pkg or a.vlx
  const char* damaged;  // the file whose bytes are damaged
};

const Command kExtractions[] = {
    {"Extract", "extract -C out pkg", "pkg/tovinsetup.001"},
    {"ExtractFlat", "extract --flat -C out pkg", "pkg/tovinsetup.001"},
    {"ArchiveExtract", "archive extract -C out a.vlx", "a.vlx"},
};

class FailedMember : public Cli, public ::testing::WithParamInterface<std::tuple<Command, Damage>> {};

TEST_P(FailedMember, LeavesNoFileAndSaysWhatIsGone) {
  const auto& [command, damage] = GetParam();
  Make("src/good.txt", "a member that is fine\n");
  Make("src/t.txt", Text(400));
  ASSERT_EQ(Tovin("pack -q -o pkg src"), 0) << err_;
  ASSERT_EQ(Tovin("archive create -q -C src a.vlx good.txt t.txt"), 0) << err_;
  std::string bytes = ReadHostFile(dir_ + "/" + command.damaged);
  size_t name = bytes.rfind("t.txt");
  ASSERT_NE(name, std::string::npos);
  damage.apply(bytes, name);
  WriteHostFile(dir_ + "/" + command.damaged, bytes);

  EXPECT_EQ(Tovin(command.args), 1);
  EXPECT_NE(err_.find("member t.txt: " + std::string(damage.message) + " (no file is left for it)"),
            std::string::npos)
      << err_;
  EXPECT_EQ(ReadHostFile(dir_ + "/out/good.txt"), "a member that is fine\n");
  EXPECT_FALSE(fs::exists(dir_ + "/out/t.txt"));

  Make("out/t.txt", "an earlier file of the same name");
  EXPECT_EQ(Tovin(command.args), 1);
  EXPECT_NE(err_.find(std::string(damage.message) + " (no file is left for it: the file it was replacing is gone too)"),
            std::string::npos)
      << err_;
  EXPECT_FALSE(fs::exists(dir_ + "/out/t.txt"));
}

INSTANTIATE_TEST_SUITE_P(Extractions, FailedMember,
                         ::testing::Combine(::testing::ValuesIn(kExtractions), ::testing::ValuesIn(kDamages)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

// A member that fails in a folder the run made had no file before it.
TEST_F(Cli, FailedMemberInAFolderTheRunMadeSaysWhatIsGone) {
  Make("src/deep/good.txt", "a member that is fine\n");
  Make("src/deep/t.txt", Text(400));
  ASSERT_EQ(Tovin("pack -q --allow-incomplete -o pkg src"), 0) << err_;
  std::string bytes = ReadHostFile(dir_ + "/pkg/tovinsetup.001");
  size_t name = bytes.rfind("deep\\t.txt");
  ASSERT_NE(name, std::string::npos);
  kDamages[0].apply(bytes, name);
  WriteHostFile(dir_ + "/pkg/tovinsetup.001", bytes);
  for (const char* args : {"extract -C out pkg", "extract --flat -C out/flat pkg"}) {
    SCOPED_TRACE(args);
    fs::remove_all(dir_ + "/out");
    EXPECT_EQ(Tovin(args), 1);
    EXPECT_NE(err_.find(std::string(kDamages[0].message) + " (no file is left for it)\n"), std::string::npos) << err_;
    EXPECT_EQ(err_.find("gone too"), std::string::npos) << err_;
  }
  Make("out/deep/t.txt", "an earlier file of the same name");
  EXPECT_EQ(Tovin("extract -C out pkg"), 1);
  EXPECT_NE(err_.find("(no file is left for it: the file it was replacing is gone too)"), std::string::npos) << err_;
}

struct Stoppable {
  const char* name;
  const char* args;
  const char* waitFor;  // a glob: the signal is sent once something matches it
};

const Stoppable kStoppable[] = {
    {"Extract", "extract -q -C out pkg", "out/big.bin"},
    {"ExtractFlat", "extract -q --flat -C out pkg", "out/big.bin"},
    {"Test", "test -q pkg", "tmp/tovin-*/*$A$"},  // the work copy of the archive
    {"ArchiveExtract", "archive extract -q -C out big.vlx", "out/big.bin"},
    // A fresh machine in the temporary folder, the package expanded into its Windows\Temp\t.
    {"Setup", "setup -q pkg", "tmp/tovin-machine-*/drive_c/WINDOWS/Temp/t/big.bin"},
    {"Pack", "pack -q -m rle --allow-incomplete -o out src", "out/tovinsetup.001"},
};

struct Signal {
  const char* name;
  int status;  // what a shell reports for a command the signal stopped
};

const Signal kSignals[] = {{"INT", 130}, {"TERM", 143}, {"HUP", 129}};

// A package and an archive that take seconds to expand: 256 MiB of zeros, run-length coded
// to a few megabytes. Made once per test process.
class Interrupted : public Cli, public ::testing::WithParamInterface<std::tuple<Stoppable, Signal>> {
 protected:
  static void SetUpTestSuite() {
    shared_ = HostTempDir();
    Zeros(shared_ + "/src/big.bin", uintmax_t{256} << 20);
    WriteHostFile(shared_ + "/install.cfg",
                  "[Setup - Main]\r\nInstall Dir=App\r\n[Files]\r\nF1=big.bin~<INSTALLDIR>\r\n");
    WriteHostFile(shared_ + "/install.exe", "MZ setup");
    RunShell("cd '" + shared_ + "' && '" TOVIN_BINARY
             "' pack -q -m rle --config install.cfg --setup install.exe -o pkg src && '" TOVIN_BINARY
             "' archive create -q -m rle -C src big.vlx big.bin");
  }
  static void TearDownTestSuite() { RunShell("rm -rf '" + shared_ + "'"); }
  static std::string shared_;
};
std::string Interrupted::shared_;

TEST_P(Interrupted, RemovesThePartialFileAndTheTemporaryFolderAndExitsAsShellsExpect) {
  const auto& [command, signal] = GetParam();
  ASSERT_TRUE(fs::exists(shared_ + "/pkg/tovinsetup.001") && fs::exists(shared_ + "/big.vlx"));
  fs::create_symlink(shared_ + "/pkg", dir_ + "/pkg");
  fs::create_symlink(shared_ + "/big.vlx", dir_ + "/big.vlx");
  fs::create_symlink(shared_ + "/src", dir_ + "/src");
  fs::create_directories(dir_ + "/tmp");
  // Job control, so that the command in the background does not start with SIGINT ignored.
  int status = Script(dir_, "set -m\nexport TMPDIR=\"$PWD/tmp\"\n'" TOVIN_BINARY "' " + std::string(command.args) +
                                " >out.txt 2>err.txt </dev/null &\npid=$!\n"
                                "for i in $(seq 3000); do compgen -G '" + command.waitFor +
                                "' >/dev/null && break; sleep 0.01; done\n"
                                "kill -" + signal.name + " $pid\nwait $pid\necho $? >status.txt\n");
  EXPECT_EQ(status, signal.status);
  EXPECT_NE(ReadHostFile(dir_ + "/err.txt").find("interrupted"), std::string::npos) << ReadHostFile(dir_ + "/err.txt");
  EXPECT_TRUE(EmptyOrMissing(dir_ + "/out"));
  EXPECT_TRUE(EmptyOrMissing(dir_ + "/tmp"));
}

// Every command with SIGINT, every signal with extract: each case makes its own 256 MiB
// package (a test process per case), so the full cross product would cost minutes.
auto CaseName = [](const auto& info) {
  return std::string(std::get<0>(info.param).name) + "_SIG" + std::get<1>(info.param).name;
};
INSTANTIATE_TEST_SUITE_P(Commands, Interrupted,
                         ::testing::Combine(::testing::ValuesIn(kStoppable), ::testing::Values(kSignals[0])), CaseName);
INSTANTIATE_TEST_SUITE_P(Signals, Interrupted,
                         ::testing::Combine(::testing::Values(kStoppable[0]), ::testing::ValuesIn(kSignals + 1, kSignals + 3)),
                         CaseName);

// A member that declares more than the disk holds is refused before a byte is written, with the
// component's own message. The small disk is a tmpfs in a mount namespace of the test's own.
class FreeSpace : public Cli, public ::testing::WithParamInterface<Command> {};

TEST_P(FreeSpace, AMemberLargerThanTheDiskIsRefusedAtOnce) {
  Zeros(dir_ + "/src/big.bin", uintmax_t{4} << 20);
  ASSERT_EQ(Tovin("pack -q -m rle -o pkg src"), 0) << err_;
  ASSERT_EQ(Tovin("archive create -q -m rle -C src a.vlx big.bin"), 0) << err_;
  fs::create_directories(dir_ + "/small");
  std::string args = GetParam().args;
  args.replace(args.find("-C out"), 6, "-C small/out");
  int status = Script(dir_, "unshare -rm bash -c 'mount -t tmpfs -o size=1m none small || exit 77\n'" TOVIN_BINARY
                            "' " + args + " >small.out 2>small.err </dev/null\nrc=$?\nfind small -type f >found.txt\n"
                            "exit $rc'\necho $? >status.txt\n");
  if (status == 77 || !fs::exists(dir_ + "/small.err")) GTEST_SKIP() << "no mount namespace for a small disk here";
  std::string err = ReadHostFile(dir_ + "/small.err");
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.find("Not enough disk space to expand " + dir_ + "/small/out/big.bin"), std::string::npos) << err;
  EXPECT_EQ(ReadHostFile(dir_ + "/found.txt"), "");
}

INSTANTIATE_TEST_SUITE_P(Extractions, FreeSpace, ::testing::ValuesIn(kExtractions),
                         [](const auto& info) { return std::string(info.param.name); });

// The setup on a machine whose disk, or whose destination drive, cannot hold a packaged file:
// refused with the setup's own text, and no part of the file is left anywhere.
struct SmallDisk {
  const char* name;
  const char* mount;  // the folder that becomes a 1 MiB disk
  const char* args;
  int status;
  const char* says;
  const char* installed;  // a file the run still installs ("" none)
};

const SmallDisk kSmallDisks[] = {
    {"Machine", "small", "setup -q --root small/r pkg", 4, "[Tovin - Setup] Error Expanding Files!! -> OK", ""},
    {"Destination", "r/drive_d", "setup -q --root r --answers d.ini pkg", 6, "[Tovin - Setup] ERROR on big.bin -> OK",
     "r/drive_d/App/a.txt"},
};

class SetupFreeSpace : public Cli, public ::testing::WithParamInterface<SmallDisk> {};

TEST_P(SetupFreeSpace, AFileLargerThanTheDiskIsRefusedAndLeavesNothing) {
  const SmallDisk& c = GetParam();
  Zeros(dir_ + "/src/big.bin", uintmax_t{4} << 20);
  Make("src/a.txt", "a");
  Make("install.cfg", "[Setup - Main]\r\nInstall Dir=App\r\nLaunch=\r\nShow Re-Boot=0\r\n[Directories]\r\n"
                      "D1=<INSTALLDIR>~\r\n[Files]\r\nF1=big.bin~<INSTALLDIR>\r\nF2=a.txt~<INSTALLDIR>\r\n");
  Make("install.exe", "MZ setup");
  Make("d.ini", "[Answers]\r\nDestination=D:\\App\r\n");
  ASSERT_EQ(Tovin("pack -q -m rle --config install.cfg --setup install.exe -o pkg src"), 0) << err_;
  fs::create_directories(dir_ + "/" + c.mount);
  int status = Script(dir_, std::string("unshare -rm bash -c 'mount -t tmpfs -o size=1m none ") + c.mount +
                                " || exit 77\n'" TOVIN_BINARY "' " + c.args +
                                " >small.out 2>small.err </dev/null\nrc=$?\nfind " + c.mount +
                                " -name big.bin >found.txt\nfind " + c.mount + " -type f >all.txt\nexit $rc'\necho $? >status.txt\n");
  if (status == 77 || !fs::exists(dir_ + "/small.err")) GTEST_SKIP() << "no mount namespace for a small disk here";
  std::string out = ReadHostFile(dir_ + "/small.out");
  EXPECT_EQ(status, c.status) << out << ReadHostFile(dir_ + "/small.err");
  EXPECT_NE(out.find(c.says), std::string::npos) << out;
  EXPECT_EQ(ReadHostFile(dir_ + "/found.txt"), "");
  if (*c.installed) {
    EXPECT_NE(ReadHostFile(dir_ + "/all.txt").find(c.installed), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Disks, SetupFreeSpace, ::testing::ValuesIn(kSmallDisks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovin::test
