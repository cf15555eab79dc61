// TUnzip: the preparing window. It expands the package's segment set flat into the temporary
// folder, prompting for disks, showing two progress bars and the package's picture, and lets
// the user abort. PrepareFailed tells the background window to skip the wizard.
#pragma once
#include <string>

#include "common/setup_host.h"
#include "prepare/seg_dialogs_adapter.h"
#include "segment/seg_vellox.h"
#include "ui/ui.h"

namespace tovin {

class TUnzip : public ui::TForm {
 public:
  TUnzip(ui::TApplication& app, TSetupHost& host);

  void FormShow();
  void Timer1Timer();
  void ExpandPackage();
  void SegVelloxEZ1SegBefore(TSegMode SegMode, const std::string& SegName, uint16_t SegNumber);
  void SegVelloxEZ1CheckFile(std::string& filepath, TCProcessMode mode);
  void SegVelloxEZ1ShowProgress(int32_t& PercentageDone);
  void FormClick();

  bool PrepareFailed = false;
  bool BitmapShown = false;
  std::string SegmentFileName;

  ui::TLabel Label2;
  ui::TLabel Label1;
  ui::TProgressBar ProgressBar1;
  ui::TLabel Label3;
  ui::TProgressBar ProgressBar2;
  ui::TImage Image6;
  ui::TTimer Timer1;
  TSegVelloxEZ SegVelloxEZ1;

 private:
  TSetupHost& host_;
  TApplicationSegDialogs dialogs_;
  std::string step_;  // what the expansion is at, for the cause of a failure
};

}  // namespace tovin
