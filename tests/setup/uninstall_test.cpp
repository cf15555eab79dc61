// Install, then uninstall: the machine is as it was before (files, shortcuts, folders, registry,
// INI file), whatever the package put where; the user's own files and an INI file that was
// there before keep what is theirs; a file in use is reported while the rest goes; a dry run
// changes nothing and says what the real run then does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/posix/machine.h"
#include "platform/registry_file.h"
#include "tests/setup/demo_package.h"
#include "tests/setup/setup_fixture.h"
#include "wizard/uninstall_info.h"
#include "wizard/uninstall_plan.h"
#include "wizard/uninstall_record.h"
#include "wizard/uninstall_run.h"

namespace tovin::test {
namespace {

namespace fs = std::filesystem;

// Everything on the machine's drives, folders and files with their bytes, and the registry's
// keys and values (a registry file that holds no key is the same as none). valuesOnly: keys
// that hold nothing are left out.
std::string Machine(bool valuesOnly = false) {
  std::string root = plat::posix::MachineRoot(), listing;
  std::vector<std::string> lines;
  for (auto& e : fs::recursive_directory_iterator(root)) {
    std::string rel = fs::relative(e.path(), root).string();
    if (rel.rfind("registry", 0) == 0) continue;
    lines.push_back(e.is_directory() ? rel + "/" : rel + " " + ReadFile(plat::FromHostPath(e.path().string())));
  }
  std::sort(lines.begin(), lines.end());
  for (const auto& l : lines) listing += l + "\n";
  std::ifstream reg(root + "/registry/HKEY_LOCAL_MACHINE.reg", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(reg)), std::istreambuf_iterator<char>());
  auto doc = reg::Document::Parse(text.empty() ? "REGEDIT4\r\n" : text, "HKEY_LOCAL_MACHINE");
  if (!doc) return listing + "registry: damaged: " + text;
  std::string registry = doc->Text();
  if (valuesOnly) {
    std::string kept;
    for (size_t at = 0, end; at < registry.size(); at = end) {
      end = std::min(registry.find("\r\n\r\n[", at), registry.size());
      end = end == registry.size() ? end : end + 2;
      std::string block = registry.substr(at, end - at);
      if (block.find("\"") != std::string::npos) kept += block;
    }
    registry = kept;
  }
  return listing + "registry:\n" + registry;
}

std::vector<std::string> Lines(const TUninstallReport& report, bool dryRun) {
  std::vector<std::string> lines;
  for (const auto& step : report.Steps) lines.push_back(DescribeStep(step, dryRun, [](const std::string& p) { return p; }));
  return lines;
}

// Lines of a dry run say "would ..." where the real run says what it did.
std::vector<std::string> AsDone(std::vector<std::string> lines) {
  for (auto& l : lines)
    for (auto [would, did] : {std::pair{"would remove ", "removed "}, {"would keep ", "kept "}, {"would restore ", "restored "}})
      if (l.rfind(would, 0) == 0) l = did + l.substr(std::string(would).size());
  return lines;
}

class Uninstall : public SetupTest {
 protected:
  // One more run of the setup, in windows of its own.
  TSetupOutcome Install(const TSetupAnswers& answers) {
    ui::THeadlessBackend b;
    ui::TApplication a(b);
    EXPECT_TRUE(plat::SetCurrentDirectory(Pkg()));
    std::unique_ptr<TUnattendedDriver> d;
    TSetupOutcome outcome = RunSetupProgram(a, [&](const TSetupWindows& w) {
      d = std::make_unique<TUnattendedDriver>(answers, w);
      b.OnIdle = [&](ui::TForm& f) { return d->OnIdle(f); };
      b.Script = [&](const ui::TMessageRequest& r) { return d->Answer(r); };
    });
    EXPECT_TRUE(outcome.InstallationFinished);
    return outcome;
  }
  TUninstallReport Remove(const std::string& dest, TUninstallOptions options = {}) {
    TUninstallPlan plan = PlanUninstall(dest);
    EXPECT_FALSE(plan.Refused()) << plan.Refusals[0];
    return RunUninstall(plan, options);
  }
};

struct RoundTrip {
  const char* name;
  std::string config;
  TSetupAnswers answers;
  int installs = 1;
};

TSetupAnswers Folders(bool startMenu, bool desktop, std::vector<std::string> noDesktop = {},
                      std::vector<std::string> noStartMenu = {}) {
  TSetupAnswers a;
  a.FolderStartMenu = startMenu;
  a.FolderDesktop = desktop;
  a.NoDesktop = std::move(noDesktop);
  a.NoStartMenu = std::move(noStartMenu);
  a.Finish = TSetupAnswers::fiReturn;
  a.Overwrite = true;
  return a;
}

// <SUB> folders in the destination and in the Windows folder, a folder on the drive's root, a
// shared file in the System folder, two shortcuts, an INI file.
const std::string kFolders =
    "[Setup - Main]\r\nInstall Dir=Demo App\r\nAdd to Program Files=1\r\nINI File=demo.ini\r\n"
    "Launch=<INSTALLDIR>app.exe\r\nFolder=Demo\r\nShow Re-Boot=1\r\nHeader=Demo Product\r\n"
    "[Directories]\r\nD1=<INSTALLDIR>~\r\nD2=<SUBDOCS>~docs\r\nD3=<WINDOWS_SYSTEM>~\r\n"
    "D4=<SUBX><WINDOWS>~Fonts\\Demo\r\nD5=<ALTD>~Demo Data\r\n"
    "[Files]\r\nF1=app.exe~<INSTALLDIR>\r\nF2=help.txt~<SUBDOCS>\r\nF3=shared.dll~<WINDOWS_SYSTEM>\r\n"
    "F4=readme.txt~<INSTALLDIR>\r\nF5=demo.fon~<SUBX><WINDOWS>\r\nF6=words.dat~<ALTD>\r\n"
    "[Desktop]\r\nS1=Demo App~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe\r\n"
    "S2=Demo Help~<SUBDOCS>help.txt~X~X~<INSTALLDIR>app.exe\r\n"
    "[INI - Setup]\r\nI1=Paths~Home~<INSTALLDIR>\r\nI2=Paths~Docs~<SUBDOCS>index\r\nI3=Words~List~<ALTD>words.dat\r\n";

class UninstallRoundTrip : public Uninstall, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(UninstallRoundTrip, LeavesTheMachineAsItWas) {
  const auto& c = GetParam();
  std::map<std::string, std::string> files = kFiles;
  files["demo.fon"] = "font";
  files["words.dat"] = "words";
  Package(files, c.config);
  std::string before = Machine();
  for (int i = 0; i < c.installs; ++i) Install(c.answers);
  EXPECT_TRUE(Exists(kDest + "\\uninstaller.exe"));
  EXPECT_EQ(ReadFile(kDest + "\\uninstaller.exe"), "MZ setup program");  // the setup program itself

  TUninstallPlan plan = PlanUninstall(kDest);
  ASSERT_FALSE(plan.Refused()) << plan.Refusals[0];
  EXPECT_EQ(plan.OtherFiles, std::vector<std::string>{});
  EXPECT_EQ(plan.Kept.size(), 0u) << plan.Kept[0].Path;
  std::string installed = Machine();
  auto dry = RunUninstall(plan, {false, true, {}});
  EXPECT_EQ(Machine(), installed) << "a dry run changed the machine";
  auto real = RunUninstall(plan, {});
  EXPECT_TRUE(real.Complete);
  EXPECT_EQ(AsDone(Lines(dry, true)), Lines(real, false));
  EXPECT_EQ(Machine(), before) << c.name;
}

std::string Config(const char* change, const char* with) {
  std::string config = kFolders;
  config.replace(config.find(change), std::string(change).size(), with);
  return config;
}

INSTANTIATE_TEST_SUITE_P(
    Table, UninstallRoundTrip,
    ::testing::Values(RoundTrip{"demo", kConfig, Folders(false, false)},
                      RoundTrip{"programs-folder-only", kFolders, Folders(false, false, {"Demo App"}, {"Demo Help"})},
                      RoundTrip{"start-menu-folder", kFolders, Folders(true, false)},
                      RoundTrip{"desktop-folder", kFolders, Folders(false, true)},
                      RoundTrip{"both-folders", kFolders, Folders(true, true, {"Demo Help"}, {"Demo App"})},
                      RoundTrip{"nested-folder", Config("Folder=Demo", "Folder=Tovin\\Demo"), Folders(true, true)},
                      RoundTrip{"ini-in-destination", Config("INI File=demo.ini", "INI File=C:\\Program Files\\Demo App\\demo.ini"),
                                Folders(false, false)},
                      RoundTrip{"second-install-same-folder", kFolders, Folders(true, false), 2}),
    [](const auto& info) {
      std::string n = info.param.name;
      std::replace(n.begin(), n.end(), '-', '_');
      return n;
    });

// The user's files in the destination match its "*.*" too: kept unless the user agrees.
class UserFiles : public Uninstall, public ::testing::WithParamInterface<bool> {};

TEST_P(UserFiles, StayUnlessTheUserAgrees) {
  bool agree = GetParam();
  Package(kFiles, kConfig);
  std::string before = Machine();
  Install(Folders(false, false));
  WriteFile(kDest + "\\letter.doc", "mine");
  ASSERT_TRUE(plat::CreateDirectory(kDest + "\\Setup"));
  WriteFile(kDest + "\\Setup\\notes.txt", "also mine");
  TUninstallPlan plan = PlanUninstall(kDest);
  EXPECT_EQ(plan.OtherFiles, (std::vector<std::string>{kDest + "\\letter.doc", kDest + "\\Setup\\notes.txt"}));
  auto report = RunUninstall(plan, {agree, false, {}});
  EXPECT_TRUE(report.Complete);
  EXPECT_EQ(Exists(kDest + "\\letter.doc"), !agree);
  EXPECT_EQ(Exists(kDest + "\\Setup\\notes.txt"), !agree);
  EXPECT_FALSE(Exists(kDest + "\\app.exe"));
  EXPECT_FALSE(Exists(kDest + "\\uninstall.cfg"));
  if (!agree) return;
  ASSERT_TRUE(plat::RemoveDirectory(kDest + "\\Setup"));  // a folder of the user's, not the setup's
  ASSERT_TRUE(plat::RemoveDirectory(kDest));  // it held the user's folder when its turn came
  ASSERT_TRUE(plat::RemoveDirectory("C:\\Program Files"));
  EXPECT_EQ(Machine(), before);
}

INSTANTIATE_TEST_SUITE_P(Both, UserFiles, ::testing::Bool());

// An INI file that was there before keeps every entry but the setup's, and a value the setup
// replaced comes back.
TEST_F(Uninstall, AnIniFileThatWasThereKeepsItsOwnEntries) {
  Package(kFiles, kConfig);
  std::string ini = Windows() + "\\demo.ini";
  const std::string mine = "; the user's settings\r\n[Paths]\r\nHome=D:\\Old Home\r\nTheme=dark\r\n\r\n[Window]\r\nLeft=10\r\n";
  WriteFile(ini, mine);
  Install(Folders(false, false));
  EXPECT_EQ(plat::GetPrivateProfileString("Paths", "Home", "", ini), kDest + "\\");
  auto report = Remove(kDest);
  EXPECT_TRUE(report.Complete);
  EXPECT_EQ(ReadFile(ini), mine);
  EXPECT_NE(std::find(Lines(report, false).begin(), Lines(report, false).end(),
                      "restored INI entry [Paths] Home in " + ini + " to its value before the setup"),
            Lines(report, false).end());
}

// A file that is in use cannot go: it is named with the system's reason, everything else goes
// (a read-only file too), and the uninstaller, its log and the registry entry stay so that it
// can be run again.
TEST_F(Uninstall, AFileInUseIsReportedAndTheRestGoes) {
  Package(kFiles, kConfig);
  std::string before = Machine();
  Install(Folders(false, false));
  ASSERT_TRUE(plat::SetFileAttributes(kDest + "\\readme.txt", plat::kAttrReadOnly));  // goes all the same
  {
    auto busy = plat::OpenFile(kDest + "\\app.exe", plat::Access::Read, plat::Share::DenyWrite, plat::Disposition::OpenExisting);
    ASSERT_TRUE(busy);
    auto report = Remove(kDest);
    EXPECT_FALSE(report.Complete);
    auto lines = Lines(report, false);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "could not remove " + kDest + "\\app.exe: " + plat::SystemErrorMessage(32)),
              lines.end());
    EXPECT_FALSE(Exists(kDest + "\\readme.txt"));
    EXPECT_FALSE(Exists(Windows() + "\\System\\shared.dll"));
    EXPECT_FALSE(Exists(Windows() + "\\Desktop\\Demo App.lnk"));
    for (const char* stays : {"\\uninstall.cfg", "\\uninstall.dat", "\\uninstaller.exe"}) EXPECT_TRUE(Exists(kDest + stays)) << stays;
    EXPECT_TRUE(plat::RegQueryStringValue(plat::RegRoot::LocalMachine, kUninstallKey + std::string("Demo Product"), "DisplayName"));
  }
  EXPECT_TRUE(Remove(kDest).Complete);
  EXPECT_EQ(Machine(), before);
}

// A log without the record (an older setup's): files outside the destination may have been
// there before, so they stay; the rest goes as the log says.
TEST_F(Uninstall, WithoutTheRecordWhatMayNotBeTheSetupsStays) {
  Package(kFiles, kConfig);
  Install(Folders(false, false));
  ASSERT_TRUE(plat::DeleteFile(UninstallRecordFile(kDest)));
  TUninstallPlan plan = PlanUninstall(kDest);
  ASSERT_EQ(plan.Kept.size(), 2u);
  EXPECT_EQ(plan.Kept[0].Path, Windows() + "\\System\\shared.dll");
  EXPECT_EQ(plan.Kept[1].Path, Windows() + "\\demo.ini");
  EXPECT_TRUE(RunUninstall(plan, {}).Complete);
  EXPECT_FALSE(Exists(kDest));
  EXPECT_FALSE(Exists(Windows() + "\\Desktop\\Demo App.lnk"));
  EXPECT_FALSE(plat::RegQueryKeyCounts(plat::RegRoot::LocalMachine, kUninstallKey + std::string("Demo Product")));
}

// The same product installed again elsewhere took over the registry entry: uninstalling the first
// copy leaves the entry to the second.
TEST_F(Uninstall, TheRegistryEntryOfAnotherInstallationStays) {
  Package(kFiles, kConfig);
  // The keys above the entry were the first installation's: the second found them there, and
  // they hold the second's entry when the first goes. Windows has them always.
  std::string before = Machine(true);
  Install(Folders(false, false));
  TSetupAnswers elsewhere = Folders(false, false);
  elsewhere.Destination = "C:\\Other";
  Install(elsewhere);
  auto report = Remove(kDest);
  EXPECT_TRUE(report.Complete);
  std::string key = kUninstallKey + std::string("Demo Product");
  EXPECT_EQ(plat::RegQueryStringValue(plat::RegRoot::LocalMachine, key, "UninstallString"),
            "\"C:\\Other\\uninstaller.exe\" Demo Product");
  EXPECT_TRUE(Remove("C:\\Other").Complete);
  EXPECT_EQ(Machine(true), before);
}

// What a run that is itself the uninstaller does with its own file: Windows cannot delete it
// while it runs, so it and the folder that then holds only it go at the next restart.
TEST_F(Uninstall, TheRunningUninstallerGoesAtTheNextRestart) {
  Package(kFiles, kConfig);
  Install(Folders(false, false));
  auto running = plat::OpenFile(kDest + "\\uninstaller.exe", plat::Access::Read, plat::Share::DenyWrite,
                                plat::Disposition::OpenExisting);
  auto report = Remove(kDest, {false, false, kDest + "\\uninstaller.exe"});
  EXPECT_TRUE(report.Complete);
  auto lines = Lines(report, false);
  for (const std::string& line : {"will remove " + kDest + "\\uninstaller.exe when Windows restarts",
                                  "will remove folder " + kDest + " when Windows restarts",
                                  std::string("will remove folder C:\\Program Files when Windows restarts")})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  std::ifstream log(plat::posix::MachineRoot() + "/restartdeletes.log");
  std::string requests((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_EQ(requests, kDest + "\\uninstaller.exe\n" + kDest + "\nC:\\Program Files\n");
}

// A package that installs an uninstaller of its own into the destination keeps it: the setup
// writes its own program there only when the package brings none.
TEST_F(Uninstall, APackagesOwnUninstallerIsTheOneRegistered) {
  std::map<std::string, std::string> files = kFiles;
  files["uninstaller.exe"] = "MZ the package's uninstaller";
  std::string config = kConfig;
  config.replace(config.find("F4=readme.txt~<INSTALLDIR>"), 26, "F4=UNINSTALLER.EXE~<INSTALLDIR>");
  Package(files, config);
  std::string before = Machine();
  Install(Folders(false, false));
  EXPECT_EQ(ReadFile(kDest + "\\uninstaller.exe"), "MZ the package's uninstaller");
  EXPECT_FALSE(ReadUninstallRecord(kDest)->IsSetupFile(kDest + "\\uninstaller.exe"));
  EXPECT_TRUE(Remove(kDest).Complete);
  EXPECT_EQ(Machine(), before);
}

}  // namespace
}  // namespace tovin::test
