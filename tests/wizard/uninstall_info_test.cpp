// The uninstall log, the INI entries and the uninstall registry entry.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tests/support/test_machine.h"
#include "wizard/uninstall_info.h"

namespace tovin::test {
namespace {

class UninstallInfo : public MachineTest {};

TEST_F(UninstallInfo, TheLogOfAFreshInstallLineByLine) {
  std::string dest = Path("Program Files\\App");
  plat::CreateDirectory(Path("Program Files"));
  plat::CreateDirectory(dest);
  TUninstallLog log;
  log.Open(dest, "My Product");
  log.Add("UNINS", dest + "\\app.exe");
  log.Add("UNINS", "C:\\WINDOWS\\Start Menu\\Programs\\MyApp\\App.*");
  log.Add("Folders", "C:\\WINDOWS\\Start Menu\\Programs\\MyApp");
  log.Close();
  // Line by line; Windows and the emulation differ only in the blank line before a new section.
  std::vector<std::string> lines;
  std::string text = ReadFile(dest + "\\uninstall.cfg");
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    if (end > at) lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"[Program]", "Title=My Product", "[UNINS]", dest + "\\*.*=",
                                             dest + "\\Setup\\*.*=", dest + "\\app.exe=",
                                             "C:\\WINDOWS\\Start Menu\\Programs\\MyApp\\App.*=", "[Folders]",
                                             "C:\\WINDOWS\\Start Menu\\Programs\\MyApp="}));
}

// A second installation into the same folder keeps the earlier entries while it runs (a run
// that dies must not leave files on disk that no log names) and drops at its close those that
// name nothing on disk any more; every other section stays.
TEST_F(UninstallInfo, ASecondInstallKeepsTheEarlierEntriesUntilItsCloseThenOnlyWhatIsOnDisk) {
  std::string dest = Path("App");
  plat::CreateDirectory(dest);
  plat::CreateDirectory(dest + "\\old");
  WriteFile(dest + "\\kept.txt", "k");
  WriteFile(dest + "\\uninstall.cfg", "[Mine]\r\nkeep=1\r\n[UNINS]\r\n" + dest + "\\gone.txt=\r\n" + dest +
                                          "\\kept.txt=\r\n" + dest + "\\K*.TXT=\r\n" + dest + "\\A.TXT=\r\n[Folders]\r\n" + dest +
                                          "\\old=\r\n" + dest + "\\gone=\r\n");
  WriteFile(dest + "\\uninstall.cfg.tovin-tmp", "[UNINS]\r\nhalf a log");  // left by a crash
  TUninstallLog log;
  log.Open(dest, "P");
  log.Add("UNINS", dest + "\\a.txt");
  log.Save();
  auto keys = [&](const char* section) { return plat::GetPrivateProfileKeys(section, dest + "\\uninstall.cfg"); };
  EXPECT_EQ(keys("UNINS"), (std::vector<std::string>{dest + "\\*.*", dest + "\\Setup\\*.*", dest + "\\a.txt",
                                                     dest + "\\gone.txt", dest + "\\kept.txt", dest + "\\K*.TXT"}));
  EXPECT_EQ(keys("Folders"), (std::vector<std::string>{dest + "\\old", dest + "\\gone"}));
  log.Close();
  EXPECT_EQ(keys("UNINS"), (std::vector<std::string>{dest + "\\*.*", dest + "\\Setup\\*.*", dest + "\\a.txt",
                                                     dest + "\\kept.txt", dest + "\\K*.TXT"}));
  EXPECT_EQ(keys("Folders"), (std::vector<std::string>{dest + "\\old"}));
  EXPECT_EQ(plat::GetPrivateProfileString("Mine", "keep", "", dest + "\\uninstall.cfg"), "1");
  EXPECT_EQ(plat::GetPrivateProfileString("Program", "Title", "", dest + "\\uninstall.cfg"), "P");
  EXPECT_FALSE(Exists(dest + "\\uninstall.cfg.tovin-tmp"));
}

TEST_F(UninstallInfo, AFailedWriteStopsWithTheFilesName) {
  TUninstallLog log;
  try {
    log.Open(Path("missing\\dir"), "P");
    FAIL() << "no error";
  } catch (const EUnableToWrite& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + Path("missing\\dir") + "\\uninstall.cfg");
  }
}

TEST_F(UninstallInfo, IniEntriesDirectoryByDirectory) {
  std::string ini = Path("app.ini");
  int written = 0;
  WriteIniEntries({"<INSTALLDIR>", "<SUB1>", "<INSTALLDIR>"}, {"D:\\App", "D:\\App\\data", "D:\\Again"},
                  {"Paths~Base~<INSTALLDIR>data\\base.db", "Paths~Data~<sub1>x", "Paths~None~<NOPE>y",
                   "Other~Home~<INSTALLDIR>"},
                  ini, [&] { ++written; });
  EXPECT_EQ(written, 5);  // two entries for each <INSTALLDIR> directory, one for <SUB1>
  EXPECT_EQ(plat::GetPrivateProfileString("Paths", "Base", "", ini), "D:\\Again\\data\\base.db");
  EXPECT_EQ(plat::GetPrivateProfileString("Paths", "Data", "", ini), "D:\\App\\data\\x");
  EXPECT_EQ(plat::GetPrivateProfileString("Paths", "None", "absent", ini), "absent");
  EXPECT_EQ(plat::GetPrivateProfileString("Other", "Home", "", ini), "D:\\Again\\");
}

TEST_F(UninstallInfo, TheRegistryEntryQuotesTheProgramPath) {
  WriteUninstallRegistry("Demo App", "C:\\Program Files\\Demo");
  std::string key = std::string(kUninstallKey) + "Demo App";
  EXPECT_EQ(plat::RegQueryStringValue(plat::RegRoot::LocalMachine, key, "DisplayName"), "Demo App");
  EXPECT_EQ(plat::RegQueryStringValue(plat::RegRoot::LocalMachine, key, "UninstallString"),
            "\"C:\\Program Files\\Demo\\uninstaller.exe\" Demo App");
  WriteUninstallRegistry("Vendor\\Tool", "C:\\T");
  EXPECT_EQ(plat::RegQueryStringValue(plat::RegRoot::LocalMachine, std::string(kUninstallKey) + "Vendor\\Tool",
                                      "DisplayName"),
            "Vendor\\Tool");
}

}  // namespace
}  // namespace tovin::test
