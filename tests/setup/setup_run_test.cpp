// The setup from start to finish through its four windows, on packages made by the project's
// writers: what is installed, what is asked, and what happens at the end.
#include <gtest/gtest.h>

#include "tests/setup/demo_package.h"
#include "tests/setup/setup_fixture.h"

namespace tovin::test {
namespace {

TEST_F(SetupTest, AFullInstallPutsEverythingInPlace) {
  Package(kFiles, kConfig, 16384);
  TSetupAnswers answers;
  answers.Finish = TSetupAnswers::fiLaunch;
  TSetupOutcome outcome = Run(answers);
  EXPECT_TRUE(outcome.InstallationFinished);
  EXPECT_FALSE(outcome.RestartRequested);
  EXPECT_EQ(ReadFile(kDest + "\\app.exe"), "MZ application");
  EXPECT_EQ(ReadFile(kDest + "\\readme.txt"), "read me");
  EXPECT_EQ(ReadFile(kDest + "\\docs\\help.txt"), "help text");
  EXPECT_EQ(ReadFile(Windows() + "\\System\\shared.dll"), "MZ shared");
  EXPECT_EQ(ReadFile(kDest + "\\install.exe"), "MZ setup program");
  EXPECT_TRUE(Exists(kDest + "\\install.cfg"));
  EXPECT_FALSE(Exists(Windows() + "\\Temp\\t"));  // the temporary folder is gone

  std::string log = ReadFile(kDest + "\\uninstall.cfg");
  for (const std::string& line :
       {std::string("Title=Demo Product"), kDest + "\\*.*=", kDest + "\\Setup\\*.*=", kDest + "\\app.exe=",
        kDest + "\\docs\\help.txt=", Windows() + "\\System\\shared.dll=",
        Windows() + "\\Start Menu\\Programs\\Demo\\Demo App.*=", Windows() + "\\Desktop\\Demo App.*=",
        Windows() + "\\Start Menu\\Demo App.*=", Windows() + "\\demo.ini="})
    EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line << "\n" << log;
  EXPECT_EQ(plat::GetPrivateProfileString("Paths", "Home", "", "demo.ini"), kDest + "\\");
  EXPECT_EQ(plat::GetPrivateProfileString("Paths", "Docs", "", "demo.ini"), kDest + "\\docs\\index");
  EXPECT_EQ(plat::RegQueryStringValue(plat::RegRoot::LocalMachine,
                                      "Software\\Microsoft\\Windows\\currentversion\\uninstall\\Demo Product",
                                      "UninstallString"),
            "\"" + kDest + "\\uninstaller.exe\" Demo Product");
  for (const char* link : {"\\Start Menu\\Programs\\Demo\\Demo App.lnk", "\\Desktop\\Demo App.lnk", "\\Start Menu\\Demo App.lnk"}) {
    auto l = plat::LoadShellLink(Windows() + link);
    ASSERT_TRUE(l) << link;
    EXPECT_EQ(l->target, kDest + "\\app.exe");
  }
  EXPECT_EQ(launches, (std::vector<std::string>{kDest + "\\app.exe"}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{}));
}

TEST_F(SetupTest, ANetworkInstallCopiesOnlyTheWorkStationFiles) {
  std::string config = kConfig;
  config.replace(config.find("Show Re-Boot=1"), 14, "Work Station Prompt=1");
  Package(kFiles, config);
  TSetupOutcome outcome = Run();
  EXPECT_TRUE(outcome.InstallationFinished);
  EXPECT_TRUE(Exists(kDest + "\\app.exe"));
  EXPECT_FALSE(Exists(kDest + "\\readme.txt"));
  EXPECT_FALSE(Exists(kDest + "\\docs\\help.txt"));
}

struct OverwriteCase {
  const char* answer;
  const char* content;
};

class Overwrite : public SetupTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(Overwrite, AFlaggedFileThatExistsIsAskedFor) {
  Package(kFiles, kConfig);
  CreateDirectoryPath(Windows() + "\\System");
  WriteFile(Windows() + "\\System\\shared.dll", "older");
  TSetupAnswers answers;
  answers.Overwrite = std::string(GetParam().answer) == "Yes";
  Run(answers);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"File Already Exists (shared.dll). Overwrite?"}));
  EXPECT_EQ(backend.Transcript()[0].Caption, "Confirm");
  EXPECT_EQ(ReadFile(Windows() + "\\System\\shared.dll"), GetParam().content);
  EXPECT_NE(ReadFile(kDest + "\\uninstall.cfg").find(Windows() + "\\System\\shared.dll="), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(YesAndNo, Overwrite,
                         ::testing::Values(OverwriteCase{"Yes", "MZ shared"}, OverwriteCase{"No", "older"}));

TEST_F(SetupTest, AMissingSegmentThatAppearsAfterThePrompt) {
  Package(BigFiles(), kConfig, 16384);
  ASSERT_GE(segments.size(), 2u);
  std::string hidden = Path("away.002");
  ASSERT_TRUE(plat::MoveFileReplace(segments[1], hidden));
  script = [&](const ui::TMessageRequest& r) -> std::optional<ui::THeadlessAnswer> {
    if (r.Id == box::kInsertDisk) plat::MoveFileReplace(hidden, segments[1]);
    return std::nullopt;
  };
  TSetupOutcome outcome = Run();
  EXPECT_TRUE(outcome.InstallationFinished);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Please Insert Disk #2 into Floppy Drive."}));
}

TEST_F(SetupTest, AMissingSegmentThatNeverAppearsEndsThePreparation) {
  Package(BigFiles(), kConfig, 16384);
  ASSERT_GE(segments.size(), 2u);
  plat::DeleteFile(segments[1]);
  TSetupOutcome outcome = Run();
  EXPECT_TRUE(outcome.PrepareFailed);
  EXPECT_FALSE(outcome.WizardShown);
  EXPECT_FALSE(outcome.RestartRequested);
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "Please Insert Disk #2 into Floppy Drive.", "Please Insert Disk #2 into Floppy Drive.",
                         "Unable to locate \"tovinsetup.002\" on this segment!\n\rCorrect and then press OK, or "
                         "Cancel to abort",
                         "Error Expanding Files!!"}));
  EXPECT_EQ(backend.Transcript()[2].Button, "Cancel");
  EXPECT_EQ(backend.Transcript()[3].Caption, "Tovin - Setup");
  EXPECT_FALSE(Exists(kDest));
  EXPECT_TRUE(RestartRequests().empty());
}

TEST_F(SetupTest, AbortInTheMiddleOfThePreparation) {
  Package(BigFiles(), kConfig);
  // While big.txt is decoded, the user clicks the window at the next pause, and again while
  // the question is open: the box is modal, so the second click nests no second question.
  bool clicked = false;
  TUnzip* unzip = nullptr;
  std::vector<bool> clickWhileAsked;
  beforeRun = [&](const TSetupWindows&) {
    for (auto* f : app.Forms())
      if (f->Name() == "Unzip") unzip = dynamic_cast<TUnzip*>(f);
    ASSERT_NE(unzip, nullptr);
    auto original = unzip->SegVelloxEZ1.ShowProgress;
    unzip->SegVelloxEZ1.ShowProgress = [&, unzip, original](int32_t& percent) {
      if (!clicked && unzip->Label2.Caption() == "big.txt") {
        clicked = true;
        backend.AtProcessMessages(backend.ProcessMessagesCalls() + 1, [unzip] { EXPECT_TRUE(unzip->Click()); });
      }
      original(percent);
    };
  };
  script = [&](const ui::TMessageRequest& r) -> std::optional<ui::THeadlessAnswer> {
    if (r.Id != box::kAbortSetup) return std::nullopt;
    clickWhileAsked.push_back(unzip->Click());
    return ui::THeadlessAnswer::Press("Abort");
  };
  TSetupOutcome outcome = Run();
  EXPECT_TRUE(clicked);
  EXPECT_EQ(clickWhileAsked, std::vector<bool>{false});
  EXPECT_TRUE(outcome.PrepareFailed);
  EXPECT_FALSE(outcome.WizardShown);
  EXPECT_FALSE(outcome.RestartRequested);
  EXPECT_FALSE(Exists(Windows() + "\\Temp\\t"));
  ASSERT_GE(backend.Transcript().size(), 2u);
  EXPECT_EQ(backend.Transcript()[0].Caption, "Warning");
  EXPECT_EQ(backend.Transcript()[1].Text, "Error Expanding Files!!");
  EXPECT_EQ(backend.Transcript()[1].Source, ui::asTerminated);
}

class CancelOnPage : public SetupTest, public ::testing::WithParamInterface<int> {};

TEST_P(CancelOnPage, NothingIsInstalledAndNothingRestarts) {
  std::string config = kConfig;
  config.replace(config.find("Show Re-Boot=1"), 14, "Work Station Prompt=1");
  config.replace(config.find("Launch=<INSTALLDIR>app.exe"), 26, "Launch=");
  Package(kFiles, config);
  TSetupAnswers answers;
  answers.CancelOnPage = GetParam();
  TSetupOutcome outcome = Run(answers);
  EXPECT_FALSE(outcome.InstallationStarted);
  EXPECT_FALSE(outcome.RestartRequested);
  EXPECT_FALSE(Exists(kDest));
  EXPECT_TRUE(RestartRequests().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryPage, CancelOnPage, ::testing::Values(0, 1, 2, 3, 4, 5));

TEST_F(SetupTest, DecliningTheLicenceNeverRestarts) {
  std::string config = kConfig;
  config.replace(config.find("Launch=<INSTALLDIR>app.exe"), 26, "Launch=");  // restart preselected
  Package(kFiles, config);
  TSetupAnswers answers;
  answers.AcceptLicence = false;
  TSetupOutcome outcome = Run(answers);
  EXPECT_FALSE(outcome.InstallationStarted);
  EXPECT_FALSE(outcome.RestartRequested);
  EXPECT_TRUE(RestartRequests().empty());
}

TEST_F(SetupTest, TheRestartFollowsOnlyAFinishedRun) {
  std::string config = kConfig;
  config.replace(config.find("Launch=<INSTALLDIR>app.exe"), 26, "Launch=");
  Package(kFiles, config);
  if (!RestartsObservable()) GTEST_SKIP() << "a restart here would be real";
  TSetupOutcome outcome = Run();
  EXPECT_TRUE(outcome.InstallationFinished);
  EXPECT_TRUE(outcome.RestartRequested);
  EXPECT_EQ(RestartRequests(1), (std::vector<uint32_t>{2}));
  EXPECT_TRUE(launches.empty());
}

TEST_F(SetupTest, ADamagedPackageInstallsNothing) {
  std::map<std::string, std::string> files = kFiles;
  files["big.txt"] = BigFiles()["big.txt"];
  Package(files, kConfig);
  std::string seg = ReadFile(segments[0]);
  seg[seg.size() / 2] ^= 0x5A;  // inside big.txt's coded data
  WriteFile(segments[0], seg);
  TSetupOutcome outcome = Run();
  EXPECT_TRUE(outcome.PrepareFailed);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error Expanding Files!!"}));
  EXPECT_FALSE(Exists(kDest));
}

// Windows takes '/' for a folder separator too, so the bare name the preparation writes in
// its temporary folder ends at the last '/' as well as at the last backslash.
TEST_F(SetupTest, AMemberNameWithSlashesStaysInTheTemporaryFolder) {
  Package(kFiles, kConfig);
  std::vector<SourceFile> sources;
  for (const auto& [name, bytes] : kFiles) sources.push_back({Src() + "\\" + name, name, bytes.size()});
  WriteFile(Src() + "\\climber", "from above");
  sources.push_back({Src() + "\\climber", "a/../../../climber.txt", 10});
  for (const auto& segment : segments) ASSERT_TRUE(plat::DeleteFile(segment));
  PackageOptions o;
  o.OutDir = Pkg();
  segments = WritePackage(GroupIntoArchives(sources, false), o).Segments;
  Run();
  EXPECT_FALSE(Exists("C:\\WINDOWS\\climber.txt"));
  EXPECT_FALSE(Exists("C:\\climber.txt"));
}

TEST_F(SetupTest, ASetupProgramLaunchIsAlwaysStarted) {
  std::string config = kConfig;
  config.replace(config.find("Launch=<INSTALLDIR>app.exe"), 26, "Launch=<INSTALLDIR>SETUP.EXE");
  Package(kFiles, config);
  TSetupAnswers answers;
  answers.Finish = TSetupAnswers::fiReturn;
  Run(answers);
  EXPECT_EQ(launches, (std::vector<std::string>{kDest + "\\SETUP.EXE"}));
}

TEST_F(SetupTest, AConfigurationWithoutADestinationIsRefusedBeforeAnythingIsCopied) {
  std::string config = kConfig;
  config.replace(config.find("D1=<INSTALLDIR>~\r\n"), 18, "");
  Package(kFiles, config);
  TSetupOutcome outcome = Run();
  EXPECT_TRUE(outcome.InstallationStarted);
  EXPECT_FALSE(outcome.InstallationFinished);
  ASSERT_EQ(backend.Transcript().size(), 1u);
  EXPECT_NE(backend.Transcript()[0].Text.find("no <INSTALLDIR>"), std::string::npos);
  EXPECT_FALSE(Exists(Windows() + "\\System\\shared.dll"));
}

// A destination must name its drive: a network path or one without a drive is refused in the
// directory dialog, and the run installs nothing (an unattended run does not fall back on the
// setup's own destination).
class DestinationRefused : public SetupTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DestinationRefused, WhereItIsTyped) {
  Package(kFiles, kConfig);
  TSetupAnswers answers;
  answers.Destination = GetParam();
  TSetupOutcome outcome = Run(answers);
  EXPECT_FALSE(outcome.InstallationStarted);
  EXPECT_EQ(Texts().back(), "Invalid Directory [" + std::string(GetParam()) +
                                "]. Enter a full path with a drive letter, such as C:\\Program Files\\App.");
  EXPECT_NE(driver->Problem().find("the setup refused the destination"), std::string::npos);
  EXPECT_FALSE(Exists(kDest));
}

INSTANTIATE_TEST_SUITE_P(Table, DestinationRefused,
                         ::testing::Values("\\\\server\\share\\app", "\\Apps\\Demo", "Demo", "C:Demo"));

struct PreselectCase {
  const char* launch;
  bool showReBoot;
  const char* selected;
  bool launchEnabled;
};

class Preselection : public SetupTest, public ::testing::WithParamInterface<PreselectCase> {};

TEST_P(Preselection, TheFinalChoiceFollowsLaunchAndShowReBoot) {
  const auto& c = GetParam();
  Package(kFiles, std::string("[Setup - Main]\r\nLaunch=") + c.launch + "\r\nShow Re-Boot=" + (c.showReBoot ? "1" : "0") +
                      "\r\n[Directories]\r\nD=<INSTALLDIR>~\r\n");
  TSetupAnswers answers;
  answers.CancelOnPage = 5;
  beforeRun = [&](const TSetupWindows& w) {
    backend.OnIdle = [&, &wizard = w.Wizard](ui::TForm& f) {
      if (&f == &wizard && wizard.Notebook1.PageIndex() == TTovin::kReady) {
        std::string selected = wizard.RadioButton1.Checked() ? "launch" : wizard.RadioButton2.Checked() ? "return"
                               : wizard.reboot.Checked()      ? "reboot"
                                                              : "none";
        EXPECT_EQ(selected, c.selected);
        EXPECT_EQ(wizard.RadioButton1.Enabled(), c.launchEnabled);
        EXPECT_EQ(wizard.reboot.Visible(), c.showReBoot);
      }
      return driver->OnIdle(f);
    };
  };
  Run(answers);
}

INSTANTIATE_TEST_SUITE_P(Table, Preselection,
                         ::testing::Values(PreselectCase{"", true, "reboot", false},
                                           PreselectCase{"", false, "return", false},
                                           PreselectCase{"<INSTALLDIR>x\\setup.exe", true, "reboot", false},
                                           PreselectCase{"<INSTALLDIR>app.exe", true, "launch", true},
                                           PreselectCase{"<INSTALLDIR>app.exe", false, "launch", true}));

TEST_F(SetupTest, DoubleClickOnTheIconBeforeTheTimerRunsNoPhase) {
  Package(kFiles, kConfig);
  beforeRun = [&](const TSetupWindows& w) {
    w.Main.OnShow = [&main = w.Main] {
      main.FormShow();
      main.Image1DblClick();
    };
  };
  TSetupOutcome outcome = Run();
  EXPECT_FALSE(outcome.WizardShown);
  EXPECT_FALSE(outcome.PrepareFailed);
  EXPECT_FALSE(outcome.RestartRequested);
  EXPECT_TRUE(RestartRequests().empty());
}

TEST_F(SetupTest, TheBackgroundLaysOutItsHeadersAndThePicture) {
  std::string bmp(54, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  auto put32 = [&](size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + static_cast<size_t>(i)] = static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
  };
  put32(2, 54 + 4 * 3 * 2);
  put32(10, 54);
  put32(14, 40);
  put32(18, 4);
  put32(22, 2);
  bmp[26] = 1;
  bmp[28] = 24;
  bmp += std::string(4 * 3 * 2, '\x7f');
  std::map<std::string, std::string> files = kFiles;
  files["logo.bmp"] = bmp;
  std::string config = kConfig;
  config += "[Setup - Main]\r\n";  // a second section of the same name is ignored
  config.replace(config.find("Header=Demo Product"), 19,
                 "Header=Demo Product\r\nHeader Font Size=40\r\nBitmap File=logo.bmp\r\nAlign Center=0\r\nAlign Left=0");
  Package(files, config);
  TSetupAnswers answers;
  answers.CancelOnPage = 0;
  int left = -1, top = -1, width = -1, header2Top = -1;
  beforeRun = [&](const TSetupWindows& w) {
    backend.OnIdle = [&, &main = w.Main](ui::TForm& f) {
      left = main.bitmapscreen.Left();
      top = main.bitmapscreen.Top();
      width = main.bitmapscreen.Width();
      header2Top = main.Setup_Header2.Top();
      EXPECT_EQ(main.Setup_Header2.Top(), main.Setup_Header.Top() + main.Setup_Header.Height() + 2);
      EXPECT_EQ(main.Image1.Left(), main.Width() - 32 - 16);
      return driver->OnIdle(f);
    };
  };
  Run(answers);
  EXPECT_EQ(width, 4 + 10);
  EXPECT_EQ(left, 1024 - 14 - 20);  // neither centred nor left: 20 pixels from the right
  EXPECT_EQ(top, header2Top + 30);
  EXPECT_GT(header2Top, 1 + ui::FontPixelHeight(40));
}

}  // namespace
}  // namespace tovin::test

namespace tovin::test {
namespace {

TEST_F(SetupTest, StartDirEndsInABackslashAndTempDirHangsBelowWindows) {
  for (const auto& [current, start] : std::vector<std::pair<std::string, std::string>>{
           {"C:\\", "C:\\"}, {Base(), Base() + "\\"}}) {
    ASSERT_TRUE(plat::SetCurrentDirectory(current));
    TMainSetup main(app);
    EXPECT_EQ(main.Settings().StartDir, start);
    EXPECT_EQ(main.Settings().SystemDriveRoot, "C:\\");
    EXPECT_EQ(main.Settings().TempDir, Windows() + "\\Temp\\t");
    EXPECT_TRUE(Exists(main.Settings().TempDir));
  }
}

TEST_F(SetupTest, ClearTempDirKeepsASubFolderAndSoItself) {
  TMainSetup main(app);
  std::string temp = main.Settings().TempDir;
  WriteFile(temp + "\\a.txt", "a");
  main.ClearTempDir();
  EXPECT_FALSE(Exists(temp));
  CreateDirectoryPath(temp + "\\sub");
  WriteFile(temp + "\\b.txt", "b");
  WriteFile(temp + "\\sub\\c.txt", "c");
  main.ClearTempDir();
  EXPECT_FALSE(Exists(temp + "\\b.txt"));
  EXPECT_TRUE(Exists(temp + "\\sub\\c.txt"));
}

TEST_F(SetupTest, TheFileCountBarRunsOverTheFilesListPlusOne) {
  Package(kFiles, kConfig);
  int maxAtFirstFile = -1, lastPosition = -1;
  beforeRun = [&](const TSetupWindows&) {
    for (auto* f : app.Forms())
      if (auto* unzip = dynamic_cast<TUnzip*>(f)) {
        auto original = unzip->SegVelloxEZ1.OnCheckFile;
        unzip->SegVelloxEZ1.OnCheckFile = [&, unzip, original](std::string& path, TCProcessMode mode) {
          if (maxAtFirstFile < 0) maxAtFirstFile = unzip->ProgressBar2.Max();
          original(path, mode);
          lastPosition = unzip->ProgressBar2.Position();
        };
      }
  };
  TSetupAnswers answers;
  answers.CancelOnPage = 0;
  Run(answers);
  EXPECT_EQ(maxAtFirstFile, 4 + 1);
  EXPECT_EQ(lastPosition, 5);  // every packaged file counts, the licence too
}

TEST_F(SetupTest, AnUnknownPictureEndsThePreparation) {
  std::map<std::string, std::string> files = kFiles;
  files["logo.gif"] = "GIF89a";
  std::string config = kConfig;
  config.insert(config.find("Header=Demo Product"), "Bitmap File=logo.gif\r\n");
  Package(files, config);
  TSetupOutcome outcome = Run();
  EXPECT_TRUE(outcome.PrepareFailed);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error Expanding Files!!"}));
}

TEST_F(SetupTest, APictureThatIsNotInThePackageIsNoError) {
  std::string config = kConfig;
  config.insert(config.find("Header=Demo Product"), "Bitmap File=missing.bmp\r\n");
  Package(kFiles, config);
  EXPECT_TRUE(Run().InstallationFinished);
}

TEST_F(SetupTest, AFileThatCannotBeCopiedIsReportedAndLoggedAndTheRunGoesOn) {
  std::string config = kConfig;
  config.insert(config.find("[Files - OverWrite]"), "F5=absent.dat~<INSTALLDIR>\r\nF6=readme.txt~<SUBDOCS>\r\n");
  Package(kFiles, config);
  TSetupOutcome outcome = Run();
  EXPECT_TRUE(outcome.InstallationFinished);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"ERROR on absent.dat"}));
  EXPECT_NE(ReadFile(kDest + "\\uninstall.cfg").find(kDest + "\\absent.dat="), std::string::npos);
  // readme.txt is named twice: its temporary copy stays for the second entry.
  EXPECT_EQ(ReadFile(kDest + "\\readme.txt"), "read me");
  EXPECT_EQ(ReadFile(kDest + "\\docs\\readme.txt"), "read me");
}

}  // namespace
}  // namespace tovin::test

namespace tovin::test {
namespace {

// Every control lies inside its parent's client area, so a backend that clips children (every
// real one) shows all of it.
void ExpectInsideParents(const ui::TForm& form) {
  for (const ui::TControl* c : form.AllControls()) {
    ui::TSize room = c->Parent()->ClientSize();
    EXPECT_TRUE(c->Left() >= 0 && c->Top() >= 0 && c->Left() + c->Width() <= room.Width &&
                c->Top() + c->Height() <= room.Height)
        << form.Name() << "." << c->Name() << " at " << c->Left() << "," << c->Top() << " " << c->Width() << "x"
        << c->Height() << " in " << c->Parent()->Name() << " " << room.Width << "x" << room.Height;
  }
}

TEST_F(SetupTest, EveryControlOfTheWindowsLiesInsideItsParent) {
  Package(kFiles, kConfig);
  std::set<std::string> checked;
  beforeRun = [&](const TSetupWindows& w) {
    auto driven = backend.OnIdle;
    backend.OnIdle = [&, driven, w](ui::TForm& form) {
      if (checked.insert(form.Name()).second) {
        ExpectInsideParents(form);
        if (&form == &w.Wizard) ExpectInsideParents(w.Main);
      }
      return driven(form);
    };
    backend.AtProcessMessages(3, [&] {
      for (ui::TForm* form : app.Forms())
        if (form->Name() == "Unzip" && checked.insert("Unzip").second) ExpectInsideParents(*form);
    });
  };
  TSetupAnswers answers;
  answers.Destination = kDest;
  EXPECT_TRUE(Run(answers).InstallationFinished);
  EXPECT_EQ(checked, (std::set<std::string>{"Form3", "Tovin", "Unzip"}));
}

}  // namespace
}  // namespace tovin::test
