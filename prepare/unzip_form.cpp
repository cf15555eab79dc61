#include "prepare/unzip_form.h"

#include <cstdio>

#include "common/box_ids.h"
#include "common/system_routines.h"
#include "platform/platform.h"
#include "platform/scope_guard.h"

namespace tovin {

TUnzip::TUnzip(ui::TApplication& app, TSetupHost& host)
    : ui::TForm(app, "Unzip"),
      Label2(*this, "Label2"),
      Label1(*this, "Label1"),
      ProgressBar1(*this, "ProgressBar1"),
      Label3(*this, "Label3"),
      ProgressBar2(*this, "ProgressBar2"),
      Image6(*this, "Image6"),
      Timer1(*this, "Timer1"),
      host_(host),
      dialogs_(app, *this) {
  SetCaption("Preparing Tovin Setup");
  SetBorderStyle(ui::bsToolWindow);
  SetCaptionButtons(false);
  SetPosition(ui::poScreenCenter);
  SetClientSize(394, 150);
  Label2.SetShowAccelChar(false);  // a file name may hold an '&'
  Label2.SetBounds(12, 10, 330, 16);
  Label1.SetCaption("Current File Progress....");
  Label1.SetBounds(12, 36, 200, 16);
  ProgressBar1.SetBounds(12, 54, 370, 16);
  Label3.SetCaption("Decompression Progress....");
  Label3.SetBounds(12, 80, 200, 16);
  ProgressBar2.SetBounds(12, 98, 370, 16);
  Image6.SetBounds(350, 4, 32, 32);
  Image6.SetProgramIcon(true);
  Timer1.SetEnabled(false);
  Timer1.SetInterval(1000);
  Timer1.OnTimer = [this] { Timer1Timer(); };

  SegVelloxEZ1.SegPopUp = false;
  SegVelloxEZ1.MakeDirectories = false;
  SegVelloxEZ1.ExceptionOnFileError = false;
  SegVelloxEZ1.CheckSpaceBeforeExpand = true;  // a member that cannot fit is refused before a byte is written
  SegVelloxEZ1.KeyValue = 0;
  SegVelloxEZ1.Dialogs = &dialogs_;
  SegVelloxEZ1.OnCheckFile = [this](std::string& path, TCProcessMode mode) { SegVelloxEZ1CheckFile(path, mode); };
  SegVelloxEZ1.ShowProgress = [this](int32_t& percent) { SegVelloxEZ1ShowProgress(percent); };
  SegVelloxEZ1.OnSegBefore = [this](TSegMode mode, const std::string& name, uint16_t n) {
    SegVelloxEZ1SegBefore(mode, name, n);
  };
  OnShow = [this] { FormShow(); };
  OnClick = [this] { FormClick(); };
}

void TUnzip::FormShow() {
  PrepareFailed = false;
  BitmapShown = false;
  Timer1.SetEnabled(true);
}

void TUnzip::Timer1Timer() {
  Timer1.SetEnabled(false);
  PrepareFailed = false;
  ExpandPackage();
}

void TUnzip::ExpandPackage() {
  const SetupSettings& s = host_.Settings();
  SegVelloxEZ1.SetSegBaseName("tovinsetup");
  SegVelloxEZ1.SetSegDir(s.StartDir);
  SegVelloxEZ1.SetSegTmpDir(GetWindowsDir() + "\\temp");
  SegVelloxEZ1.SetTargetPath(s.TempDir);
  SegVelloxEZ1.Archives().clear();
  SegVelloxEZ1.SegSource.clear();
  ScopeGuard finished([this] { host_.Progress().Finished(); });
  step_ = "the temporary folder " + s.TempDir;
  try {
    CreateDirectoryPath(s.TempDir);
    // Something else standing there (a file of the user's) is never written over.
    if (!PathIsDirectory(s.TempDir)) throw EGeneralError(kMsgUnableToCreateDirectory);
    CreateDirectoryPath(SegVelloxEZ1.SegTmpDir());
    step_ = "the segment set";
    SegVelloxEZ1.ExpandSet();
  } catch (const std::runtime_error& e) {  // every failure of the expansion, whatever its kind
    // The box says no more than the setup always said; its subject keeps the cause for a
    // transcript.
    std::string cause = PrepareFailed ? "aborted by the user" : step_ + ": " + e.what();
    Application().ShowMessage("Error Expanding Files!!", box::kExpandFailed, "(" + cause + ")");
    host_.ClearRebootChoice();
    PrepareFailed = true;
  }
  Close();
}

void TUnzip::SegVelloxEZ1SegBefore(TSegMode, const std::string&, uint16_t SegNumber) {
  const SetupSettings& s = host_.Settings();
  char number[8];
  std::snprintf(number, sizeof number, "%03u", static_cast<unsigned>(SegNumber));
  Application().ProcessMessages();
  SegmentFileName = s.StartDir + "TovinSetup." + number;
  step_ = "segment TovinSetup." + std::string(number);
  for (int prompts = 0; prompts < 2 && plat::GetFileAttributes(SegmentFileName) == plat::kInvalidAttributes; ++prompts)
    Application().ShowMessage("Please Insert Disk #" + std::to_string(SegNumber) + " into Floppy Drive.",
                              box::kInsertDisk, SegmentFileName);
  if (SegNumber == 1) {
    Label2.SetCaption("Copying Install Files...");
    ProgressBar2.SetRange(0, 2);
    ProgressBar2.SetPosition(0);
    Application().ProcessMessages();
    step_ = "install.exe";
    CopyFileInto(s.StartDir + "install.exe", s.TempDir);
    ProgressBar2.SetPosition(1);
    host_.Progress().Preparing("install.exe", 1, 2);
    Application().ProcessMessages();
    step_ = "install.cfg";
    CopyFileInto(s.StartDir + "install.cfg", s.TempDir);
    ProgressBar2.SetPosition(2);
    host_.Progress().Preparing("install.cfg", 2, 2);
    Application().ProcessMessages();
    ProgressBar2.SetRange(0, static_cast<int>(s.FilesList.size()) + 1);
    ProgressBar2.SetPosition(0);
    step_ = "segment TovinSetup." + std::string(number);
  }
  Application().ProcessMessages();
}

void TUnzip::SegVelloxEZ1CheckFile(std::string& filepath, TCProcessMode) {
  const SetupSettings& s = host_.Settings();
  // Windows takes '/' for a folder separator too: "a/../../x" must not climb out of TempDir.
  std::string name = filepath.substr(filepath.find_last_of("\\/:") + 1);
  filepath = s.TempDir + "\\" + name;
  // A read-only copy already there (an earlier member of that name) is replaced all the same.
  uint32_t a = plat::GetFileAttributes(filepath);
  if (a != plat::kInvalidAttributes && (a & plat::kAttrReadOnly) && !(a & plat::kAttrDirectory))
    plat::SetFileAttributes(filepath, a & ~plat::kAttrReadOnly);
  step_ = name;
  Label2.SetCaption(name);
  ProgressBar2.SetPosition(ProgressBar2.Position() + 1);
  host_.Progress().Preparing(name, ProgressBar2.Position(), ProgressBar2.Max());
  Application().ProcessMessages();
  if (!s.BitmapFile.empty() && !BitmapShown &&
      plat::GetFileAttributes(s.TempDir + "\\" + s.BitmapFile) != plat::kInvalidAttributes) {
    BitmapShown = true;
    step_ = "the picture " + s.BitmapFile + " (Bitmap File)";
    host_.ShowBitmap(s.TempDir + "\\" + s.BitmapFile);
    step_ = name;
  }
}

void TUnzip::SegVelloxEZ1ShowProgress(int32_t& PercentageDone) {
  ProgressBar1.SetPosition(0);
  Application().ProcessMessages();
  ProgressBar1.SetPosition(PercentageDone);
  Application().ProcessMessages();
  if (PrepareFailed) PercentageDone = -1;
}

void TUnzip::FormClick() {
  if (Application().WarningBox("Abort Setup Process ?", "Warning", {"&No", "&Abort"}, 0, 0, box::kAbortSetup) != 1)
    return;
  PrepareFailed = true;
  host_.ClearRebootChoice();
  host_.ClearTempDir();
  Application().Terminate();
}

}  // namespace tovin
