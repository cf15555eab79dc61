// Reading install.cfg: defaults, conversions, list encodings, the setup paths.
#include <gtest/gtest.h>

#include "common/install_config.h"
#include "common/profile_reader.h"
#include "common/win_reboot.h"
#include "platform/platform.h"
#include "tests/support/test_machine.h"
#ifndef _WIN32
#include "platform/posix/machine.h"
#endif

namespace tovin::test {
namespace {

TEST(ProfileInteger, Conversions) {
  struct {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {
      {"0", 0},           {"17", 17},         {"-17", -17},        {"+5", 5},
      {"0x0000FF", 255},  {"0XFF0000", 0xFF0000}, {"$FF0000", 0xFF0000}, {"$ff", 255},
      {"0x10", 16},       {"-$10", -16},      {"$80000005", static_cast<int32_t>(0x80000005u)},
      {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt}, {"$100000000", std::nullopt},
      {"0x", std::nullopt}, {"$", std::nullopt}, {"", std::nullopt}, {"yes", std::nullopt},
      {"true", std::nullopt}, {"12ab", std::nullopt}, {"0xZZ", std::nullopt}, {"1 ", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseProfileInteger(c.text), c.value) << '"' << c.text << '"';
}

class InstallConfig : public MachineTest {
 protected:
  void Read(const std::string& cfg) {
    if (!cfg.empty()) WriteFile(Path("install.cfg"), cfg);
    ASSERT_TRUE(plat::SetCurrentDirectory(Base()));
    ComputeSetupPaths(s);
    ReadInstallConfig(s, look);
  }
  SetupSettings s;
  LookSettings look;
};

TEST_F(InstallConfig, SetupPaths) {
  Read("");
  std::string windows = plat::GetWindowsDirectory();
  EXPECT_EQ(s.StartDir, Base() + "\\");
  EXPECT_EQ(s.SystemDriveRoot, windows.substr(0, 3));
  EXPECT_EQ(s.TempDir, windows + "\\Temp\\t");
  ASSERT_TRUE(plat::SetCurrentDirectory(Base().substr(0, 3)));
  ComputeSetupPaths(s);
  EXPECT_EQ(s.StartDir, Base().substr(0, 3));  // a root keeps its single backslash
}

TEST_F(InstallConfig, NoFileGivesTheDefaults) {
  Read("");
  EXPECT_EQ(s.InstallDisks, 0);
  EXPECT_EQ(s.InstallDir, "");
  EXPECT_EQ(s.Folder, "Accessories");
  EXPECT_TRUE(s.ShowWarningScreen);
  EXPECT_TRUE(s.ShowReBoot);
  EXPECT_TRUE(s.AlignCenter);
  EXPECT_FALSE(s.AlignLeft);
  EXPECT_FALSE(s.AlignRight);
  EXPECT_FALSE(s.AddToProgramFiles);
  EXPECT_FALSE(s.WorkStationPrompt);
  EXPECT_TRUE(s.DirectoriesList.empty() && s.FilesList.empty() && s.DesktopList.empty() &&
              s.IniSetupList.empty() && s.WorkStationList.empty());
  EXPECT_EQ(look.Header, "Tovin - Brastow 32Bit");
  EXPECT_EQ(look.FromColor, 0xFF0000);
  EXPECT_EQ(look.ToColor, 0);
  EXPECT_EQ(look.HeaderFontName, "Impact");
  EXPECT_EQ(look.HeaderFontSize, 26);
  EXPECT_EQ(look.Header2FontName, "Times New Roman");
  EXPECT_EQ(look.Header2FontShadow, 0xFFFFFF);
}

TEST_F(InstallConfig, SettingsOfTheMainSection) {
  Read(
      "[Setup - Main]\r\nInstall Disks=3\r\nInstall Dir=MyApp\r\nINI File=myapp.ini\r\n"
      "Launch=<INSTALLDIR>\\app.exe\r\nFolder=\r\nAdd to Program Files=1\r\nShow Warning Screen=0\r\n"
      "Show Re-Boot=yes\r\nWork Station Prompt=-1\r\nBitmap File=logo.bmp\r\nAlign Center=0\r\n"
      "Align Left=0x10\r\nAlign Right=1\r\n");
  EXPECT_EQ(s.InstallDisks, 3);
  EXPECT_EQ(s.InstallDir, "MyApp");
  EXPECT_EQ(s.IniFile, "myapp.ini");
  EXPECT_EQ(s.Launch, "<INSTALLDIR>\\app.exe");
  EXPECT_EQ(s.Folder, "");  // present but empty: not the default
  EXPECT_TRUE(s.AddToProgramFiles);
  EXPECT_FALSE(s.ShowWarningScreen);
  EXPECT_TRUE(s.ShowReBoot);  // "yes" is not a number
  EXPECT_TRUE(s.WorkStationPrompt);
  EXPECT_EQ(s.BitmapFile, "logo.bmp");
  EXPECT_FALSE(s.AlignCenter);
  EXPECT_TRUE(s.AlignLeft);
  EXPECT_TRUE(s.AlignRight);
}

TEST_F(InstallConfig, LookSettingsAndTheirDefaults) {
  struct {
    const char* line;
    int32_t from;
  } cases[] = {{"Dither From=0x0000FF", 0x0000FF}, {"Dither From=$FF0000", 0xFF0000},
               {"Dither From=0x", 0xFF0000}, {"Dither From=$80000001", static_cast<int32_t>(0x80000001u)}};
  for (const auto& c : cases) {
    look = LookSettings{};
    Read(std::string("[Setup - Main]\r\n") + c.line + "\r\n");
    EXPECT_EQ(look.FromColor, c.from) << c.line;
  }
  look = LookSettings{};
  look.HeaderFontSize = 30;  // the control's current value is the default
  Read("[Setup - Main]\r\nHeader=My Product\r\nHeader Font Color=255\r\nHeader2=by me\r\nHeader2 Font Size=12\r\n");
  EXPECT_EQ(look.Header, "My Product");
  EXPECT_EQ(look.HeaderFontColor, 255);
  EXPECT_EQ(look.HeaderFontSize, 30);
  EXPECT_EQ(look.Header2, "by me");
  EXPECT_EQ(look.Header2FontSize, 12);
}

TEST_F(InstallConfig, ListsKeepKeyOrderAndFilesGetTheOverwriteFlag) {
  Read(
      "[Directories]\r\nz=<INSTALLDIR>~\r\na=<SUBDATA>~Data\r\n"
      "[Files]\r\n1=first.exe~<INSTALLDIR>\r\n2=second.dll~<WINDOWS_SYSTEM>\r\n3=third.txt~<SUBDATA>\r\n"
      "[Files - OverWrite]\r\nFile #1=1\r\n"
      "[Desktop]\r\nApp=App~<INSTALLDIR>\\first.exe~X~~<INSTALLDIR>\\first.exe\r\n"
      "[INI - Setup]\r\nx=Paths~Data~<SUBDATA>\\base.db\r\n"
      "[WorkStation]\r\nw=first.exe~<INSTALLDIR>~X\r\n");
  EXPECT_EQ(s.DirectoriesList, (std::vector<std::string>{"<INSTALLDIR>~", "<SUBDATA>~Data"}));
  EXPECT_EQ(s.FilesList, (std::vector<std::string>{"first.exe~<INSTALLDIR>~", "second.dll~<WINDOWS_SYSTEM>~X",
                                                   "third.txt~<SUBDATA>~"}));
  EXPECT_EQ(s.DesktopList, (std::vector<std::string>{"App~<INSTALLDIR>\\first.exe~X~~<INSTALLDIR>\\first.exe"}));
  EXPECT_EQ(s.IniSetupList, (std::vector<std::string>{"Paths~Data~<SUBDATA>\\base.db"}));
  EXPECT_EQ(s.WorkStationList, (std::vector<std::string>{"first.exe~<INSTALLDIR>~X"}));
}

TEST_F(InstallConfig, OverwriteFlagsAreBooleans) {
  Read("[Files]\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\n[Files - OverWrite]\r\nFile #0=yes\r\nfile #1=0x1\r\nFile #2=0\r\nFile #3=-1\r\n");
  EXPECT_EQ(s.FilesList, (std::vector<std::string>{"1~", "2~X", "3~", "4~X"}));
}

TEST_F(InstallConfig, LongValuesAreCut) {
  Read("[Setup - Main]\r\nInstall Dir=" + std::string(1500, 'd') + "\r\n");
  EXPECT_EQ(s.InstallDir.size(), 1023u);
}

#ifndef _WIN32
TEST_F(InstallConfig, RestartIsRecordedOnTheEmulatedMachine) {
  plat::posix::SetNoticeSink([](const std::string&) {});
  TWinReboot reboot;
  EXPECT_TRUE(reboot.ExitSystem(TWinReboot::kReboot));
  plat::posix::SetNoticeSink(nullptr);
  EXPECT_EQ(plat::posix::ExitRequests(), std::vector<uint32_t>{2});
}
#endif

}  // namespace
}  // namespace tovin::test
