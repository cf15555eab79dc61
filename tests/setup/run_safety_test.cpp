// Packages and machines that would have the setup write the wrong thing: uninstall-log entries
// that mean something else, a user's file where a folder should be, a destination too long to
// keep, and the setup's own temporary folder misused. Each run must refuse what it cannot do
// with the setup's own text, and its log must name only what the run made.
#include <gtest/gtest.h>

#include "platform/ini_document.h"
#include "tests/setup/setup_fixture.h"
#include "wizard/uninstall_info.h"

namespace tovin::test {
namespace {

const std::string kDest = "C:\\App";
const std::string kUserFile = "the user's";

// Case lines go first in their section: the first key of a name is the one read.
std::string Config(const std::string& main, const std::string& dirs, const std::string& files, const std::string& desktop) {
  return "[Setup - Main]\r\n" + main +
         "Install Dir=App\r\nFolder=Demo\r\nHeader=Demo Product\r\nLaunch=<INSTALLDIR>app.exe\r\nShow Re-Boot=0\r\n"
         "[Directories]\r\nD1=<INSTALLDIR>~\r\n" + dirs + "D2=<WINDOWS>~\r\nD3=<SUB1>~data\r\n"
         "[Files]\r\nF1=app.exe~<INSTALLDIR>\r\n" + files +
         "[Desktop]\r\nS1=App~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe\r\n" + desktop;
}

const std::map<std::string, std::string> kFiles = {
    {"app.exe", "MZ application"}, {"a=b.txt", "a b"}, {"f.txt", "f"}, {"db.txt", "packaged"}};

// What every log must be, whatever the package: the three sections only, keys that read back
// as themselves with no ".." in them, patterns only in the destination and the shell folders,
// and folders to remove only below the shell folders, never the Programs folder itself.
void ExpectLogMeansWhatItSays(const std::string& text, const std::string& windows) {
  ini::Document log(text);
  std::set<std::string> sections;
  for (const auto& section : log.Sections()) {
    EXPECT_TRUE(section == "Program" || section == "UNINS" || section == "Folders") << section << "\n" << text;
    EXPECT_TRUE(sections.insert(section).second) << "a second [" << section << "]\n" << text;
  }
  auto below = [](const std::string& key, const std::string& folder) {
    return key.size() > folder.size() + 1 && ini::EqualNoCase(key.substr(0, folder.size() + 1), folder + "\\");
  };
  for (const char* section : {"UNINS", "Folders"}) {
    for (const auto& key : log.Keys(section)) {
      EXPECT_EQ(key.find(".."), std::string::npos) << key;
      EXPECT_NE(("\n" + text).find("\n" + key + "=\r\n"), std::string::npos) << "a key that does not read back: " << key;
      bool pattern = key.find_first_of("*?") != std::string::npos;
      EXPECT_TRUE(!pattern || below(key, kDest) || below(key, windows + "\\Desktop") || below(key, windows + "\\Start Menu"))
          << key;
    }
  }
  for (auto key : log.Keys("Folders")) {
    while (key.back() == '\\') key.pop_back();
    EXPECT_TRUE(below(key, windows + "\\Desktop") || below(key, windows + "\\Start Menu")) << key;
    EXPECT_FALSE(ini::EqualNoCase(key, windows + "\\Start Menu\\Programs")) << key;
  }
}

struct HostileCase {
  const char* name;
  std::string main, dirs, files, desktop;  // files: [Files] lines, and any section after them
  const char* userFile;                    // a file of the user's that must stay as it is
  std::vector<std::string> messages;       // the whole transcript
  bool finished;
  bool registered;
  std::string logged;    // a key the log holds ("{pkg}" stands for the package folder)
  std::string unlogged;  // a key it must not hold
  std::string absent;    // a path that must not exist afterwards
};

class HostilePackage : public SetupTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostilePackage, RefusesWhatTheLogCannotHoldAndLogsOnlyWhatItMade) {
  const HostileCase& c = GetParam();
  Package(kFiles, Config(c.main, c.dirs, c.files, c.desktop));
  if (*c.userFile) {
    CreateDirectoryPath(std::string(c.userFile).substr(0, std::string(c.userFile).rfind('\\')));
    WriteFile(c.userFile, kUserFile);
  }
  TSetupOutcome outcome = Run();
  EXPECT_EQ(Texts(), c.messages);
  EXPECT_EQ(outcome.InstallationFinished, c.finished);
  if (c.finished) {
    EXPECT_EQ(launches, (std::vector<std::string>{kDest + "\\app.exe"}));
  }
  if (*c.userFile) {
    EXPECT_EQ(ReadFile(c.userFile), kUserFile);
  }
  if (!c.absent.empty()) {
    EXPECT_FALSE(Exists(c.absent)) << c.absent;
  }

  std::string uninstallKey = std::string(kUninstallKey) + "Demo Product";
  EXPECT_EQ(plat::RegQueryStringValue(plat::RegRoot::LocalMachine, uninstallKey, "DisplayName").has_value(), c.registered);
  std::string parent(kUninstallKey, std::string(kUninstallKey).size() - 1);  // without its trailing backslash
  EXPECT_FALSE(plat::RegQueryStringValue(plat::RegRoot::LocalMachine, parent, "DisplayName").has_value());
  EXPECT_EQ(outcome.RegistryEntrySkipped, c.finished && !c.registered);

  if (!Exists(kDest + "\\uninstall.cfg")) return;
  std::string log = ReadFile(kDest + "\\uninstall.cfg");
  ExpectLogMeansWhatItSays(log, Windows());
  auto keys = ini::Document(log).Keys("UNINS");
  auto holds = [&](std::string key) {
    if (auto at = key.find("{pkg}"); at != std::string::npos) key.replace(at, 5, Pkg());
    for (const auto& k : keys)
      if (ini::EqualNoCase(k, key)) return true;
    return false;
  };
  if (!c.logged.empty()) {
    EXPECT_TRUE(holds(c.logged)) << c.logged << "\n" << log;
  }
  if (!c.unlogged.empty()) {
    EXPECT_FALSE(holds(c.unlogged)) << c.unlogged << "\n" << log;
  }
}

const std::string kLongInstallDir(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    Table, HostilePackage,
    ::testing::Values(
        // File names the log cannot hold, or that would make it name something else.
        HostileCase{"EqualsSign", "", "", "F2=a=b.txt~<INSTALLDIR>\r\n", "", "", {"ERROR on a=b.txt"}, true, true, "",
                    "C:\\App\\a", "C:\\App\\a=b.txt"},
        HostileCase{"Wildcards", "", "", "F2=*.*~<WINDOWS>\r\n", "", "", {"ERROR on *.*"}, true, true, "", "", ""},
        HostileCase{"DotDot", "", "", "F2=data\\..~<SUB1>\r\n", "", "", {"ERROR on .."}, true, true, "", "", ""},
        // Windows takes '/' for a separator: the name is what the preparation kept.
        HostileCase{"Slashes", "", "", "F2=x/../../../f.txt~<SUB1>\r\n", "", "", {}, true, true, "C:\\App\\data\\f.txt",
                    "", ""},
        // A folder that would start a line with "[": the log keys the full path.
        HostileCase{"SectionLikeFolder", "", "D4=<SUB2><X>~[Program]\r\n", "F2=f.txt~<SUB2><X>\r\n", "", "", {}, true,
                    true, "{pkg}\\[Program]\\f.txt", "", ""},
        // Shortcuts whose name or folder climbs out of the shell folders.
        HostileCase{"ShortcutName", "", "", "", "S2=..\\..\\..\\*~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe\r\n", "",
                    {"ERROR on ..\\..\\..\\*"}, true, true, "C:\\WINDOWS\\Desktop\\App.*", "", ""},
        HostileCase{"ShortcutFolder", "Folder=..\\..\\..\r\n", "", "", "", "", {"ERROR on App"}, true, true, "", "",
                    "C:\\App.lnk"},
        HostileCase{"EmptyFolder", "Folder=\r\n", "", "", "", "", {}, true, true,
                    "C:\\WINDOWS\\Start Menu\\Programs\\App.*", "", ""},
        HostileCase{"IniFileWildcard", "INI File=*.ini\r\n", "", "[INI - Setup]\r\nI=Paths~Home~<INSTALLDIR>\r\n", "",
                    "", {"Unable to write to *.ini"}, false, false, "", "C:\\WINDOWS\\*.ini", ""},
        // An empty header would put the uninstall entry on the uninstall key itself.
        HostileCase{"EmptyHeader", "Header=\r\n", "", "", "", "", {}, true, false, "", "", ""},
        // An empty key is contained in every Launch text: it must not rewrite it.
        HostileCase{"EmptyDirectoryKey", "", "Blank=\r\n", "", "", "", {}, true, true, "", "", ""},
        // A user's file where the package expects a folder is never written through.
        HostileCase{"FileWhereAFolderShouldBe", "", "D4=<SUB2><X>~C:\\Work\\data\r\n", "F2=db.txt~<SUB2><X>\r\n", "",
                    "C:\\Work\\data", {"ERROR on db.txt"}, true, true, "", "C:\\Work\\data\\db.txt", ""},
        HostileCase{"OverLongDestination", "Install Dir=" + kLongInstallDir + "\r\n", "", "", "", "",
                    {"The destination folder's path is longer than 247 characters, the most Windows allows for a folder."},
                    false, false, "", "", "C:\\" + kLongInstallDir}),
    [](const auto& info) { return std::string(info.param.name); });

// The destination typed into the directory dialog: at the limit it is taken; beyond it, the
// dialog's answer is refused with a message and the destination stays as it was.
struct TypedDestinationCase {
  const char* name;
  size_t length;
  bool taken;
};

class TypedDestination : public SetupTest, public ::testing::WithParamInterface<TypedDestinationCase> {};

TEST_P(TypedDestination, IsTakenOnlyWithinTheLimit) {
  const auto& c = GetParam();
  Package(kFiles, Config("", "", "", ""));
  std::string typed = "C:\\" + std::string(c.length - 3, 'd');
  TSetupAnswers answers;
  answers.Destination = typed;
  // A destination the dialog refuses cancels an unattended run: it never installs elsewhere.
  EXPECT_EQ(Run(answers).InstallationFinished, c.taken);
  if (c.taken) EXPECT_EQ(ReadFile(typed + "\\app.exe"), "MZ application");
  else EXPECT_FALSE(Exists(kDest + "\\app.exe"));
  std::vector<std::string> texts = Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0], c.taken ? "Create New Directory for Installation [" + typed + "] ?"
                              : "The destination folder's path is longer than 247 characters, the most Windows allows "
                                "for a folder.");
}

INSTANTIATE_TEST_SUITE_P(Lengths, TypedDestination,
                         ::testing::Values(TypedDestinationCase{"AtTheLimit", 247, true},
                                           TypedDestinationCase{"OneMore", 248, false},
                                           TypedDestinationCase{"LongerThanAProfileValue", 1100, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The setup's temporary folder C:\WINDOWS\Temp\t: the package may not lie in it, something of
// the user's standing in its place is never written over, and read-only copies of the setup's
// own neither stay behind nor stand in for a later file of their name.
struct TempFolderCase {
  const char* name;
  std::map<std::string, std::string> files;
  std::set<std::string> readOnly;
  void (*prepare)(SetupTest& t, const std::string& temp);
  std::vector<std::string> messages;
  bool refused, prepareFailed;
  const char* installed;  // what C:\App\app.exe holds afterwards; "" none
};

class TemporaryFolder : public SetupTest, public ::testing::WithParamInterface<TempFolderCase> {
 public:
  void CopyPackageTo(const std::string& folder) {
    CreateDirectoryPath(folder);
    for (const auto& f : plat::FindFiles(Pkg() + "\\*.*", plat::kAttrMaskFiles)) CopyFileInto(Pkg() + "\\" + f.name, folder);
    startDir = folder;
  }
};

const std::string kStartedInTemp =
    "The setup cannot run from its temporary folder C:\\WINDOWS\\Temp\\t, which it empties: copy the package to "
    "another folder and start it there.";

TEST_P(TemporaryFolder, HoldsOnlyTheSetupsOwnCopiesAndLosesThem) {
  const auto& c = GetParam();
  readOnly = c.readOnly;
  Package(c.files, Config("", "", "", ""));
  std::string temp = Windows() + "\\Temp\\t";
  if (c.prepare) c.prepare(*this, temp);
  TSetupOutcome outcome = Run();
  EXPECT_EQ(Texts(), c.messages);
  EXPECT_EQ(outcome.StartRefused, c.refused);
  EXPECT_EQ(outcome.PrepareFailed, c.prepareFailed);
  if (*c.installed) {
    EXPECT_EQ(ReadFile(kDest + "\\app.exe"), c.installed);
  } else {
    EXPECT_FALSE(Exists(kDest));
  }
  if (c.refused) {
    EXPECT_TRUE(Exists(startDir + "\\tovinsetup.001"));
  } else if (c.prepareFailed) {
    EXPECT_EQ(ReadFile(temp), kUserFile);
  } else {
    EXPECT_FALSE(Exists(temp));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, TemporaryFolder,
    ::testing::Values(
        TempFolderCase{"PackageIsTheTemporaryFolder", kFiles, {},
                       [](SetupTest& t, const std::string& temp) { static_cast<TemporaryFolder&>(t).CopyPackageTo(temp); },
                       {kStartedInTemp}, true, false, ""},
        TempFolderCase{"PackageBelowIt", kFiles, {},
                       [](SetupTest& t, const std::string& temp) {
                         static_cast<TemporaryFolder&>(t).CopyPackageTo(temp + "\\pkg");
                       },
                       {kStartedInTemp}, true, false, ""},
        TempFolderCase{"AFileInItsPlace", kFiles, {},
                       [](SetupTest&, const std::string& temp) {
                         plat::RemoveDirectory(temp);
                         WriteFile(temp, kUserFile);
                       },
                       {"Error Expanding Files!!"}, false, true, ""},
        TempFolderCase{"AReadOnlyMember", kFiles, {"app.exe"}, nullptr, {}, false, false, "MZ application"},
        TempFolderCase{"AReadOnlyCopyLeftByAnEarlierRun", kFiles, {},
                       [](SetupTest&, const std::string& temp) {
                         CreateDirectoryPath(temp);
                         WriteFile(temp + "\\app.exe", "stale");
                         plat::SetFileAttributes(temp + "\\app.exe", plat::kAttrReadOnly);
                       },
                       {}, false, false, "MZ application"},
        // Two members of one name land as one file, the later one, even when the first is read-only.
        TempFolderCase{"AReadOnlyMemberOfTheSameName",
                       {{"a\\app.exe", "MZ first"}, {"b\\app.exe", "MZ second"}}, {"a\\app.exe"}, nullptr, {}, false,
                       false, "MZ second"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovin::test
