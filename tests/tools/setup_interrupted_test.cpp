// A second installation into a machine, stopped by a signal while it prepares or while it copies:
// the uninstall log still names every file on disk, the registry is as the first installation
// left it, the temporary folder is gone (or, after kill -9, gone after the next run), and no
// half-written file of the setup's own stays behind.
#include <gtest/gtest.h>

#include "platform/ini_document.h"
#include "tests/tools/cli_fixture.h"

namespace tovin::test {
namespace {

// The first package installs f1 to f5; the second drops f5 and puts big.bin first, into the
// same folder as f1 to f3, so that a stop while it is copied comes before any earlier entry is
// named again.
std::string Config(bool second) {
  std::string files = second ? "F0=big.bin~<WINDOWS_SYSTEM>\r\n" : "";
  for (int n = 1; n <= (second ? 4 : 5); ++n)
    files += "F" + std::to_string(n) + "=f" + std::to_string(n) + ".dll~" + (n <= 3 ? "<WINDOWS_SYSTEM>" : "<SUBDATA>") + "\r\n";
  return "[Setup - Main]\r\nInstall Dir=App\r\nFolder=Demo\r\nHeader=Demo\r\nLaunch=\r\nShow Re-Boot=0\r\n"
         "[Directories]\r\nD1=<INSTALLDIR>~\r\nD2=<WINDOWS_SYSTEM>~\r\nD3=<SUBDATA>~data\r\n"
         "[Files]\r\nF9=app.exe~<INSTALLDIR>\r\n" + files +
         "[Desktop]\r\nS=App~<INSTALLDIR>app.exe~~~<INSTALLDIR>app.exe\r\n";
}

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Windows wildcards as the uninstaller reads them; "N.*" also matches a plain N.
bool Matches(const std::string& pattern, const std::string& name) {
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      Matches(pattern.substr(0, pattern.size() - 2), name))
    return true;
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*')
    for (size_t i = 0; i <= name.size(); ++i)
      if (Matches(pattern.substr(1), name.substr(i))) return true;
  return !name.empty() && (pattern[0] == '?' || pattern[0] == name[0]) && Matches(pattern.substr(1), name.substr(1));
}

// The files below the machine's drive C: (its temporary folder aside) that the log names
// neither by their path nor by a pattern of their folder.
std::vector<std::string> Unlogged(const std::string& root, const std::string& logText) {
  std::vector<std::string> keys;
  for (auto& k : ini::Document(logText).Keys("UNINS")) keys.push_back(Lower(k));
  std::vector<std::string> missing;
  std::string drive = root + "/drive_c";
  for (auto it = fs::recursive_directory_iterator(drive); it != fs::recursive_directory_iterator(); ++it) {
    std::string rel = fs::relative(it->path(), drive).string();
    if (Lower(rel) == "windows/temp") it.disable_recursion_pending();
    if (!it->is_regular_file()) continue;
    std::string path = "c:\\" + Lower(rel);
    for (auto& c : path) c = c == '/' ? '\\' : c;
    bool named = false;
    for (const auto& key : keys) {
      size_t cut = key.rfind('\\');
      named = named || key == path ||
              (key.find('*') != std::string::npos && cut == path.rfind('\\') &&
               key.compare(0, cut, path, 0, cut) == 0 && Matches(key.substr(cut + 1), path.substr(cut + 1)));
    }
    if (!named) missing.push_back(rel);
  }
  return missing;
}

struct StopPoint {
  const char* name;
  const char* waitFor;  // the signal is sent once this file is there
};

const StopPoint kPoints[] = {
    {"Preparing", "root/drive_c/WINDOWS/Temp/t/big.bin"},
    {"Copying", "root/drive_c/WINDOWS/System/big.bin"},
};

struct Signal {
  const char* name;
  int status;
};

const Signal kSignals[] = {{"INT", 130}, {"TERM", 143}, {"KILL", 137}};

class SetupInterrupted : public Cli, public ::testing::WithParamInterface<std::tuple<StopPoint, Signal>> {
 protected:
  void SetUp() override {
    Cli::SetUp();
    for (int n = 1; n <= 5; ++n) Make("src/f" + std::to_string(n) + ".dll", "library " + std::to_string(n));
    Make("src/app.exe", "MZ app");
    Make("first.cfg", Config(false));
    Make("second.cfg", Config(true));
    Make("install.exe", "MZ setup");
    ASSERT_EQ(Tovin("pack -q --config first.cfg --setup install.exe -o pkg1 src"), 0) << err_;
    Zeros(dir_ + "/src/big.bin", uintmax_t{160} << 20);  // long enough to expand and copy that a signal lands during it
    ASSERT_EQ(Tovin("pack -q -m rle --config second.cfg --setup install.exe -o pkg2 src"), 0) << err_;
  }
  std::string Log() { return ReadHostFile(dir_ + "/root/drive_c/App/uninstall.cfg"); }
  std::string Registry() { return ReadHostFile(dir_ + "/root/registry/HKEY_LOCAL_MACHINE.reg"); }
};

TEST_P(SetupInterrupted, TheLogStillNamesEveryFileOnDiskAndTheTemporaryFolderGoes) {
  const auto& [point, signal] = GetParam();
  ASSERT_EQ(Tovin("setup -q --root root pkg1"), 0) << out_ << err_;
  std::string registry = Registry();
  ASSERT_NE(registry.find("\"DisplayName\"=\"Demo\""), std::string::npos) << registry;
  ASSERT_EQ(Unlogged(dir_ + "/root", Log()), std::vector<std::string>{}) << Log();

  // Job control, so that the command in the background does not start with SIGINT ignored.
  int status = Script(dir_, "set -m\n'" TOVIN_BINARY "' setup -q --root root pkg2 >out.txt 2>err.txt </dev/null &\npid=$!\n"
                            "for i in $(seq 3000); do [ -e '" + std::string(point.waitFor) + "' ] && break; sleep 0.01; done\n"
                            "kill -" + signal.name + " $pid\nwait $pid\necho $? >status.txt\n");
  EXPECT_EQ(status, signal.status) << ReadHostFile(dir_ + "/err.txt");
  std::string log = Log();
  EXPECT_NE(log.find("Title=Demo\r\n"), std::string::npos) << log;
  EXPECT_EQ(Unlogged(dir_ + "/root", log), std::vector<std::string>{}) << log;
  EXPECT_EQ(Registry(), registry);  // written only at the end of a run
  if (std::string(signal.name) != "KILL") {
    EXPECT_TRUE(fs::is_empty(dir_ + "/root/drive_c/WINDOWS/Temp"));
  }

  // The next run takes over whatever a kill left, and leaves nothing of its own.
  ASSERT_EQ(Tovin("setup -q --root root pkg2"), 0) << out_ << err_;
  log = Log();
  EXPECT_EQ(Unlogged(dir_ + "/root", log), std::vector<std::string>{}) << log;
  EXPECT_NE(log.find("C:\\App\\data\\f5.dll=\r\n"), std::string::npos) << log;  // still on disk: kept
  EXPECT_TRUE(fs::is_empty(dir_ + "/root/drive_c/WINDOWS/Temp"));
  for (auto& e : fs::recursive_directory_iterator(dir_ + "/root"))
    EXPECT_EQ(e.path().string().find(".tovin-tmp"), std::string::npos) << e.path();
}

INSTANTIATE_TEST_SUITE_P(PointsAndSignals, SetupInterrupted,
                         ::testing::Combine(::testing::ValuesIn(kPoints), ::testing::ValuesIn(kSignals)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_SIG" + std::get<1>(info.param).name;
                         });

}  // namespace
}  // namespace tovin::test
