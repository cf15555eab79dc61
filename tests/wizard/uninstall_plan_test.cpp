// Logs no setup writes are refused whole, naming the entry, before anything is touched; the
// record beside the log reads back as it was written.
#include <gtest/gtest.h>

#include "common/system_routines.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "tests/support/test_machine.h"
#include "wizard/uninstall_plan.h"
#include "wizard/uninstall_record.h"

namespace tovin::test {
namespace {

struct HostileLog {
  const char* name;
  std::string dest;     // where uninstall.cfg lies
  std::string section;  // the hostile entry's
  std::string entry;    // W stands for the Windows folder
  const char* why;      // empty: the entry is sound
};

class HostileLogs : public MachineTest, public ::testing::WithParamInterface<HostileLog> {};

TEST_P(HostileLogs, AreRefusedNamingTheEntry) {
  const auto& c = GetParam();
  std::string w = GetWindowsDir(), entry = c.entry;
  if (entry == "W" || entry.rfind("W\\", 0) == 0) entry = w + entry.substr(1);
  auto in = [&](const std::string& name) { return c.dest + (c.dest.back() == '\\' ? "" : "\\") + name; };
  CreateDirectoryPath(c.dest);
  WriteFile(w + "\\win.ini", "[windows]\r\n");
  std::string log = "[Program]\r\nTitle=Demo\r\n[UNINS]\r\n" + in("*.*") + "=\r\n" + in("app.exe") + "=\r\n";
  log += c.section == "UNINS" ? entry + "=\r\n[Folders]\r\n" : "[Folders]\r\n" + entry + "=\r\n";
  WriteFile(in("uninstall.cfg"), log);
  TUninstallPlan plan = PlanUninstall(c.dest);
  if (!*c.why) {
    EXPECT_EQ(plan.Refusals, std::vector<std::string>{}) << c.name;
    return;
  }
  ASSERT_EQ(plan.Refusals.size(), 1u) << c.name;
  EXPECT_EQ(plan.Refusals[0], "[" + c.section + "] \"" + entry + "\" " + c.why) << c.name;
  EXPECT_TRUE(plan.Files.empty() && plan.Folders.empty() && plan.RegistryKeys.empty()) << c.name;
}

const std::string kApp = "C:\\App";
constexpr const char* kOutside = "would remove files outside the destination and the Start menu and desktop folders";
constexpr const char* kShortcut = "would remove more than a shortcut from the Start menu or the desktop";
constexpr const char* kNotFull = "is not a full path on a drive";
constexpr const char* kNotOwnFolder = "is not a folder of its own in the Start menu or on the desktop";

INSTANTIATE_TEST_SUITE_P(
    Table, HostileLogs,
    ::testing::Values(
        // The destination "C:\" writes "C:\*.*".
        HostileLog{"root-destination", "C:\\", "UNINS", "C:\\*.*", "would remove the files of a drive's root as a whole"},
        HostileLog{"windows", kApp, "UNINS", "W\\*.*", "would remove the files of the Windows folder as a whole"},
        HostileLog{"system", kApp, "UNINS", "W\\sYsTeM\\*.dll",
                   "would remove the files of the Windows System folder as a whole"},
        HostileLog{"system32", kApp, "UNINS", "W\\System32\\*.*", "would remove the files of the Windows System folder as a whole"},
        HostileLog{"climbing", kApp, "UNINS", "C:\\App\\..\\*.*", kNotFull},
        HostileLog{"trimmed-dot", kApp, "UNINS", "W.\\*.*", kNotFull},
        HostileLog{"stream", kApp, "UNINS", "W\\win.ini:x", kNotFull},
        HostileLog{"relative", kApp, "UNINS", "App\\*.*", kNotFull},
        HostileLog{"wild-folder", kApp, "UNINS", "C:\\*\\app.exe", kNotFull},
        HostileLog{"elsewhere", kApp, "UNINS", "C:\\Users\\*.*", kOutside},
        HostileLog{"whole-desktop", kApp, "UNINS", "W\\Desktop\\*.*", kShortcut},
        HostileLog{"all-links", kApp, "UNINS", "W\\Start Menu\\Programs\\*.lnk", kShortcut},
        HostileLog{"windows-itself", kApp, "UNINS", "W", "names the Windows folder itself"},
        HostileLog{"root-itself", kApp, "UNINS", "D:\\", "names a drive's root itself"},
        HostileLog{"folder-windows", kApp, "Folders", "W", "names the Windows folder itself"},
        HostileLog{"folder-elsewhere", kApp, "Folders", "C:\\Program Files\\Other", kNotOwnFolder},
        HostileLog{"folder-programs", kApp, "Folders", "W\\Start Menu\\Programs", kNotOwnFolder},
        // What a setup writes passes.
        HostileLog{"shortcut", kApp, "UNINS", "W\\Start Menu\\Programs\\Demo\\Demo App.*", ""},
        HostileLog{"installed-in-windows", kApp, "UNINS", "W\\win.ini", ""},
        HostileLog{"below-destination", kApp, "UNINS", "C:\\App\\Setup\\*.*", ""},
        HostileLog{"start-menu-folder", kApp, "Folders", "W\\Start Menu\\Programs\\Demo", ""}),
    [](const auto& info) {
      std::string n = info.param.name;
      std::replace(n.begin(), n.end(), '-', '_');
      return n;
    });

class Planning : public MachineTest {};

TEST_F(Planning, NoLogNothingToDo) {
  try {
    PlanUninstall(Path("nothing"));
    FAIL() << "planned";
  } catch (const EGeneralError& e) {
    EXPECT_EQ(std::string(e.what()), "There is nothing to uninstall: no uninstall.cfg can be read in " + Path("nothing"));
  }
}

TEST(UninstallCommand, NamesTheProgram) {
  EXPECT_EQ(UninstallCommandProgram("\"C:\\Program Files\\App\\uninstaller.exe\" Demo Product"),
            "C:\\Program Files\\App\\uninstaller.exe");
  EXPECT_EQ(UninstallCommandProgram("C:\\App\\UNINSTALLER.EXE Demo Product"), "C:\\App\\UNINSTALLER.EXE");
}

// Values that a plain INI line would change: blanks around them, quotes, "=", ";", "[".
TEST(UninstallRecordFile, ReadsBackAsWritten) {
  TUninstallRecord r;
  r.FoundFiles = {"C:\\WINDOWS\\System\\shared.dll", "C:\\a=b;c"};
  r.SetupFiles = {"C:\\App\\install.exe"};
  r.CreatedFolders = {"C:\\Program Files", "C:\\Program Files\\App"};
  r.IniFiles = {{"C:\\WINDOWS\\app.ini", true}, {"C:\\App\\new.ini", false}};
  r.IniEntries = {{"C:\\WINDOWS\\app.ini", "[Paths", "Home", "  \"quoted\" ; not a comment ", false},
                  {"C:\\WINDOWS\\app.ini", "Paths", "Added", std::nullopt, true}};
  r.RegistryKeys = {"Software\\Microsoft\\Windows\\currentversion\\uninstall\\[Demo] = 1"};
  r.CreatedKeys = {"Software"};
  TUninstallRecord back = TUninstallRecord::Parse(r.Text());
  EXPECT_EQ(back.Text(), r.Text());
  EXPECT_EQ(back.IniEntries.at(0).Old, "  \"quoted\" ; not a comment ");
  EXPECT_FALSE(back.IniEntries.at(1).Old);
  EXPECT_TRUE(back.IniEntries.at(1).NewSection);
  EXPECT_TRUE(back.IniFiles.at(0).Existed);
  EXPECT_FALSE(back.IniFiles.at(1).Existed);
  EXPECT_EQ(back.RegistryKeys, r.RegistryKeys);
  EXPECT_TRUE(back.Found("c:\\windows\\system\\SHARED.DLL"));
}

}  // namespace
}  // namespace tovin::test
