// The author's check of install.cfg: every silent fallback of the setup is named, and a sound
// file draws no warning.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/install_config_check.h"
#include "platform/platform.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

const std::string kDirs = "[Directories]\r\nMain=<INSTALLDIR>~\r\n";

const PackageContents kPackage{{"App.EXE", "help\\app.hlp", "readme.txt", "a\\dup.dll", "b\\DUP.dll", "logo.bmp"}, 2, {}};

// A package whose members can be read: a picture with a damaged header and a one-line licence.
const PackageContents kReadable{{"app.exe", "logo.bmp", "license.txt", "extra.dll"},
                                1,
                                [](const std::string& member) -> std::optional<std::string> {
                                  if (member == "logo.bmp") return std::string("BM not really");
                                  if (member == "license.txt") return std::string("All rights reserved.\r\n");
                                  return std::string("MZ");
                                }};

struct Case {
  const char* name;
  std::string cfg;                    // the file's bytes
  std::vector<std::string> expected;  // a part of each warning, in order; no others
  const PackageContents* package = nullptr;
};

std::string ManyKeys() {
  std::string text = kDirs;
  for (int i = 0; i < 800; ++i) text += "Directory" + std::to_string(i) + "=<SUB" + std::to_string(i) + ">~d\r\n";
  return text;
}

const Case kCases[] = {
    {"SoundFileWithPackage",
     "[Setup - Main]\r\nInstall Disks=2\r\nInstall Dir=App\r\nINI File=app.ini\r\nLaunch=<installdir>\\app.exe\r\n"
     "Show Re-Boot=0\r\nAdd to Program Files=-1\r\nBitmap File=LOGO.BMP\r\nDither From=0x0000FF\r\n"
     "Dither To=$FF0000\r\nHeader Font Color=$80000005\r\nheader font size=30\r\n"
     "; comment\r\n\r\n"
     "[Directories]\r\nD1=<INSTALLDIR>~\r\nD2=<SUB1>~data\r\nD3=<SUB2><WINDOWS>~fonts\r\nD4=<WINDOWS>~\r\n"
     "[Files]\r\nF1=c:\\build\\app.exe~<INSTALLDIR>\r\nF2=app.hlp~<sub1>\r\nF3=readme.txt~<SUB2><WINDOWS>\r\n"
     "[Files - OverWrite]\r\nFile #0=1\r\nfile #2=0\r\n"
     "[Desktop]\r\nApp=App~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe\r\n"
     "[INI - Setup]\r\nI1=Paths~Data~<SUB1>db\r\n"
     "[WorkStation]\r\nW1=app.exe~<INSTALLDIR>~X\r\n",
     {},
     &kPackage},
    {"UnknownSectionsAndRepeatedOnes",
     kDirs + "[Setup-Main]\r\nInstall Dir=App\r\n[Extras]\r\nx=1\r\n[directories]\r\nOther=<ALT1>~Data\r\n",
     {"install.cfg:3: unknown section [Setup-Main]; the setup ignores it (did you mean [Setup - Main]?)",
      "install.cfg:5: unknown section [Extras]; the setup ignores it",
      "install.cfg:7: [directories] appears again; the setup reads only the first",
      "install.cfg: the finish page preselects \"Re Boot Windows After installed\""}},
    {"KeysBeforeAnySection", "Install Dir=App\r\n; note\r\nFolder=Tools\r\n" + kDirs,
     {"install.cfg:1: key \"Install Dir\" stands before any section",
      "install.cfg:3: key \"Folder\" stands before any section", "preselects \"Re Boot"}},
    {"UnknownAndRepeatedKeysOfTheMainSection",
     kDirs + "[Setup - Main]\r\nShowReBoot=0\r\nColour=1\r\nFolder=A\r\nfolder=B\r\nLaunch=x.exe\r\n",
     {"install.cfg:4: [Setup - Main] unknown key \"ShowReBoot\"; the setup ignores it (did you mean \"Show Re-Boot\"?)",
      "install.cfg:5: [Setup - Main] unknown key \"Colour\"; the setup ignores it",
      "install.cfg:7: [Setup - Main] key \"folder\" appears again; the setup reads only the first"}},
    {"PitfallsThatBreakAnInstallation",
     "[Setup - Main]\r\nBitmap File=logo.bmp\r\nINI File=C:\\WINDOWS\\WIN.INI\r\nHeader=Acme\\Tools\r\n"
     "Header2=Caf\xC3\xA9\r\nWork Station Prompt=1\r\nLaunch=<INSTALLDIR>app.exe\r\n" + kDirs +
         "[Files]\r\nFile1=app.exe~<INSTALLDIR>\r\nFile3=extra.dll~<INSTALLDIR>\r\n"
         "[Files - OverWrite]\r\nFile #1=1\r\n[WorkStation]\r\nW1=app.exe~<INSTALLDIR>\r\n"
         "[Desktop]\r\nD1=Extra~<INSTALLDIR>extra.dll~X~X~\r\n",
     {"install.cfg:2: [Setup - Main] Bitmap File=logo.bmp: Bitmap image is not valid; the preparing stage ends",
      "install.cfg: license.txt has one line; the wizard shows a licence of two or more lines only",
      "install.cfg:14: [Files - OverWrite] File #1 marks the entry at position 1, File3, since the numbers of [Files] "
      "skip after File1",
      "install.cfg:3: [Setup - Main] INI File=WIN.INI is a file of Windows itself",
      "install.cfg:4: [Setup - Main] Header=Acme\\Tools holds a backslash",
      "install.cfg:5: [Setup - Main] Header2 holds characters outside ASCII; Windows reads them in its ANSI code page, "
      "so a Western European system shows \"Caf\xC3\x83\xC2\xA9\"",
      "install.cfg:18: [Desktop] D1=Extra~<INSTALLDIR>extra.dll~X~X~: Work Station Prompt preselects the minimum "
      "install, which does not copy extra.dll"},
     &kReadable},
    {"AnUnknownPictureKind", kDirs + "[Setup - Main]\r\nBitmap File=logo.png\r\nShow Re-Boot=0\r\n",
     {"install.cfg:4: [Setup - Main] Bitmap File=logo.png: the setup shows only .bmp, .ico, .wmf and .emf"}},
    {"NumbersThatDoNotConvert",
     kDirs + "[Setup - Main]\r\nInstall Disks=\r\nShow Re-Boot=yes\r\nAlign Left=true\r\nDither From=blue\r\n"
             "Dither To=0x\r\nHeader Font Size=big\r\nHeader2 Font Shadow=#FFFFFF\r\n",
     {"Install Disks has no value; the setup uses the default, 0",
      "Show Re-Boot=yes is not a number; the setup uses the default, 1 (true)",
      "Align Left=true is not a number; the setup uses the default, 0 (false)",
      "Dither From=blue is not a number; the setup uses the default, 0xFF0000",
      "Dither To=0x is not a number; the setup uses the default, 0x000000",
      "Header Font Size=big is not a number; the setup uses the default, 26",
      "Header2 Font Shadow=#FFFFFF is not a number; the setup uses the default, 0xFFFFFF"}},
    {"OverwriteFlags",
     kDirs + "[Files]\r\nA=a.exe~<INSTALLDIR>\r\nB=b.exe~<INSTALLDIR>\r\n"
             "[Files - OverWrite]\r\nFile #1=yes\r\nFile #2=1\r\nFile 0=1\r\nFile #01=1\r\n",
     {"[Files - OverWrite] File #2 belongs to no entry of [Files] (File #0 to File #1)",
      "[Files - OverWrite] File 0 belongs to no entry",
      "[Files - OverWrite] File #01 belongs to no entry",
      "[Files - OverWrite] File #1=yes is not a number; the setup uses the default, 0 (false)"}},
    {"RepeatedListKeysLoseEntries",
     kDirs + "[Files]\r\nFile=a.exe~<INSTALLDIR>\r\nFile=b.exe~<INSTALLDIR>\r\n",
     {"[Files] key \"File\" appears again; the setup reads the first one's value for it too"}},
    {"LongValuesAreCut", kDirs + "[Setup - Main]\r\nHeader=" + std::string(1100, 'h') + "\r\n",
     {"[Setup - Main] Header has a value of 1100 characters; the setup reads only the first 1023"}},
    {"KeyNamesBeyondTheBuffer", ManyKeys(),
     {"[Directories] the key names pass the setup's 8192-byte buffer; it loses the entries from Directory"}},
    {"UndeclaredTags",
     kDirs + "[Setup - Main]\r\nINI File=app.ini\r\nLaunch=<BIN>\\app.exe\r\n"
             "[Files]\r\nF1=a.exe~<BIN>\r\nF2=b.exe\r\nF3=c.exe~ <INSTALLDIR>\r\n"
             "[Desktop]\r\nS1=Tool~<BIN>tool.exe~X~X~<BIN>tool.ico\r\n"
             "S2=App~<INSTALLDIR>app.exe~X~~<WINDOWS>app.ico\r\n"
             "[INI - Setup]\r\nI1=Paths~Data~<DATA>db\r\n[WorkStation]\r\nW1=a.exe\r\n",
     {"[Files] F1=a.exe~<BIN>: tag \"<BIN>\" is not declared in [Directories]; the setup never installs a.exe",
      "[Files] F2=b.exe: names no directory tag; the setup never installs b.exe",
      "[Files] F3=c.exe~ <INSTALLDIR>: tag \" <INSTALLDIR>\" is not declared in [Directories] (the blanks around it "
      "count)",
      "[WorkStation] W1=a.exe: names no directory tag; the setup never installs a.exe",
      "[Desktop] S1=Tool~<BIN>tool.exe~X~X~<BIN>tool.ico: tag \"<BIN>\" is not declared in [Directories]; the setup "
      "makes no shortcut Tool",
      "[Desktop] S2=App~<INSTALLDIR>app.exe~X~~<WINDOWS>app.ico: the icon's tag <WINDOWS> is not used; the setup "
      "takes the icon from the directory of <INSTALLDIR>",
      "[INI - Setup] I1=Paths~Data~<DATA>db: tag \"<DATA>\" is not declared in [Directories]; the setup does not "
      "write Data",
      "[Setup - Main] Launch=<BIN>\\app.exe: tag \"<BIN>\" is not declared in [Directories]; the setup cannot start "
      "it"}},
    {"DirectoryDeclarations",
     "[Directories]\r\nA=<SUB1>~data\r\nB=<sub1>~more\r\n[INI - Setup]\r\nI1=Paths~Data~<SUB1>db\r\n",
     {"[Directories] B=<sub1>~more: <sub1> is declared again; the setup installs its files once for each",
      "[Directories] declares no <INSTALLDIR>", "[INI - Setup] has entries but [Setup - Main] names no INI File"}},
    {"FilesMissingFromThePackage",
     "[Setup - Main]\r\nInstall Disks=3\r\nBitmap File=back.bmp\r\n" + kDirs +
         "[Files]\r\nF1=app.exe~<INSTALLDIR>\r\nF2=src\\missing.dll~<INSTALLDIR>\r\nF3=dup.dll~<INSTALLDIR>\r\n"
         "[WorkStation]\r\nW1=gone.txt~<INSTALLDIR>\r\nW2=dup.dll~<INSTALLDIR>\r\n",
     {"[Files] F2=src\\missing.dll~<INSTALLDIR>: missing.dll is not in the package; the setup cannot install it",
      "[Files] F3=dup.dll~<INSTALLDIR>: the package holds dup.dll more than once (a\\dup.dll, b\\DUP.dll); expanded "
      "flat, one overwrites the other",
      "[WorkStation] W1=gone.txt~<INSTALLDIR>: gone.txt is not in the package",
      "[Setup - Main] Bitmap File=back.bmp: back.bmp is not in the package; the background shows no picture",
      "[Setup - Main] Install Disks=3, but the package has 2 segment files"},
     &kPackage},
    {"WithoutAPackageFilesAreNotLookedFor",
     "[Setup - Main]\r\nInstall Disks=3\r\nBitmap File=back.bmp\r\n" + kDirs + "[Files]\r\nF1=x.exe~<INSTALLDIR>\r\n",
     {}},
    {"ByteOrderMarkHidesTheFirstSection", "\xEF\xBB\xBF[Setup - Main]\r\nShow Re-Boot=0\r\n" + kDirs,
     {"starts with a UTF-8 byte-order mark, which hides its first section [Setup - Main] from the setup"}},
    {"ByteOrderMarkBeforeAComment", "\xEF\xBB\xBF; made by an editor\r\n" + kDirs,
     {"starts with a UTF-8 byte-order mark, which hides its first line from the setup"}},
    {"Utf16", std::string("\xFF\xFE[\0D\0]\0", 8), {"is UTF-16 text; the setup reads 8-bit text"}},
};

class CheckInstallConfigTable : public MachineTest, public ::testing::WithParamInterface<Case> {};

TEST_P(CheckInstallConfigTable, WarnsAboutWhatTheSetupIgnores) {
  const Case& c = GetParam();
  WriteFile(Path("install.cfg"), c.cfg);
  auto warnings = CheckInstallConfig(Base(), c.package);
  // Most cases leave out Launch, which makes the finish page preselect a restart: that warning
  // counts only where a case asks for it.
  bool restart = std::any_of(c.expected.begin(), c.expected.end(),
                             [](const std::string& e) { return e.find("Re Boot") != std::string::npos; });
  if (!restart)
    std::erase_if(warnings, [](const TConfigWarning& w) { return w.Text.find("Re Boot") != std::string::npos; });
  std::string all;
  for (const auto& w : warnings) all += "\n  " + FormatConfigWarning(w);
  ASSERT_EQ(warnings.size(), c.expected.size()) << all;
  for (size_t i = 0; i < warnings.size(); ++i)
    EXPECT_NE(FormatConfigWarning(warnings[i]).find(c.expected[i]), std::string::npos) << all;
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckInstallConfigTable, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class CheckInstallConfigFile : public MachineTest {};

TEST_F(CheckInstallConfigFile, MissingOrAFolderGivesOneWarning) {
  auto missing = CheckInstallConfig(Base() + "\\", nullptr);
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(FormatConfigWarning(missing[0]), "install.cfg: not found in " + Base() + "\\; the setup uses the defaults and has nothing to install");
  ASSERT_TRUE(plat::CreateDirectory(Path("install.cfg")));
  auto folder = CheckInstallConfig(Base(), &kPackage);
  ASSERT_EQ(folder.size(), 1u);
  EXPECT_EQ(FormatConfigWarning(folder[0]), "install.cfg: is a folder, not a file; the setup uses the defaults");
}

}  // namespace
}  // namespace tovin::test
