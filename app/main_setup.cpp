#include "app/main_setup.h"

#include "common/box_ids.h"
#include "common/install_config.h"
#include "common/system_routines.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "prepare/unzip_form.h"
#include "ui/picture_file.h"
#include "wizard/tovin_wizard.h"

namespace tovin {
namespace {

constexpr uint32_t kMaskAll = 63;  // read-only, hidden, system, volume, directory, archive
constexpr const char* kMsgStartedInTempDir =
    "The setup cannot run from its temporary folder %s, which it empties: copy the package to another folder and start it there.";

ui::TFont MakeFont(const std::string& name, int32_t size, ui::TColor color) {
  ui::TFont f;
  f.Name = name;
  f.Size = size;
  f.Color = color;
  return f;
}

}  // namespace

TMainSetup::TMainSetup(ui::TApplication& app)
    : ui::TForm(app, "MainSetup"),
      MainScreen(*this, "MainScreen"),
      Setup_Header(*this, "Setup_Header"),
      Setup_Header2(*this, "Setup_Header2"),
      Image1(*this, "Image1"),
      Setup_Credit(*this, "Setup_Credit"),
      bitmapscreen(*this, "bitmapscreen"),
      Image2(bitmapscreen, "Image2"),
      Timer1(*this, "Timer1") {
  SetCaption("Tovin 32Bit Installer");
  SetBorderStyle(ui::bsNone);
  SetCaptionButtons(false);
  SetWindowState(ui::wsMaximized);
  SetFont(MakeFont("MS Sans Serif", 8, ui::clWindowText));

  MainScreen.SetFromColor(ui::clBlue);
  MainScreen.SetToColor(ui::clBlack);
  MainScreen.SetSteps(255);
  MainScreen.SetStyle(ui::fsHorizontal);
  MainScreen.SetUsePalette(true);
  MainScreen.SetDrawOnScreen(false);

  Setup_Header.SetCaption("Tovin - Brastow 32Bit v1.0");
  Setup_Header.SetFont(MakeFont("Impact", 26, ui::clBlack));
  Setup_Header.SetShadowColor(ui::clWhite);
  Setup_Header.SetShadowSize(2);
  Setup_Header.SetTransparent(true);
  Setup_Header.SetLeft(8);
  LookSettings initial;
  Setup_Header2.SetCaption(initial.Header2);
  Setup_Header2.SetFont(MakeFont("Times New Roman", 10, ui::clBlack));
  Setup_Header2.SetShadowColor(ui::clWhite);
  Setup_Header2.SetShadowSize(1);
  Setup_Header2.SetTransparent(true);
  Setup_Header2.SetLeft(18);

  Image1.SetBounds(0, 8, 32, 32);
  Image1.SetTransparent(true);
  Image1.SetProgramIcon(true);
  Setup_Credit.SetCaption("Tovin Setup - the classic installer, made again");
  Setup_Credit.SetFont(MakeFont("MS Sans Serif", 8, ui::clWhite));
  Setup_Credit.SetAlignment(ui::taCenter);
  Setup_Credit.SetAutoSize(false);
  Setup_Credit.SetHeight(ui::FontPixelHeight(8) + 2);
  Setup_Credit.SetTransparent(true);
  Setup_Credit.SetCursor(ui::crHandPoint);
  bitmapscreen.SetBevelOuter(ui::bvRaised);
  bitmapscreen.SetBevelInner(ui::bvRaised);
  bitmapscreen.Hide();

  Timer1.SetEnabled(false);
  Timer1.SetInterval(1000);
  Timer1.OnTimer = [this] { Timer1Timer(); };
  Image1.OnDblClick = [this] { Image1DblClick(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this] { FormClose(); };
  OnResize = [this] { FormResize(); };
  FormCreate();
}

TMainSetup::~TMainSetup() = default;

void TMainSetup::Attach(TTovin& wizard, std::unique_ptr<TUnzip> preparing) {
  wizard_ = &wizard;
  preparing_ = std::move(preparing);
}

void TMainSetup::FormCreate() {
  settings_.StartDir = plat::GetCurrentDirectory();
  if (settings_.StartDir.size() > 3) settings_.StartDir += "\\";
  std::string windows = GetWindowsDir();
  settings_.SystemDriveRoot = windows.substr(0, 3);
  settings_.TempDir = windows + "\\Temp\\t";
  try {
    CreateDirectoryPath(settings_.TempDir);
  } catch (const Exception&) {
  }
}

void TMainSetup::FormShow() {
  Application().ProcessMessages();
  ReadInstallConfig();
  if (StartedInTempDir()) {
    Application().ShowMessage(Format(kMsgStartedInTempDir, settings_.TempDir), box::kStartedInTempDir,
                              settings_.StartDir);
    Close();
    return;
  }
  ClearTempDir();
  Timer1.SetEnabled(true);
}

void TMainSetup::ReadInstallConfig() {
  LookSettings look;
  look.FromColor = MainScreen.FromColor();
  look.ToColor = MainScreen.ToColor();
  look.HeaderFontName = Setup_Header.Font().Name;
  look.HeaderFontSize = Setup_Header.Font().Size;
  look.HeaderFontColor = Setup_Header.Font().Color;
  look.HeaderFontShadow = Setup_Header.ShadowColor();
  look.Header2 = Setup_Header2.Caption();
  look.Header2FontName = Setup_Header2.Font().Name;
  look.Header2FontSize = Setup_Header2.Font().Size;
  look.Header2FontColor = Setup_Header2.Font().Color;
  look.Header2FontShadow = Setup_Header2.ShadowColor();
  tovin::ReadInstallConfig(settings_, look);

  MainScreen.SetFromColor(look.FromColor);
  MainScreen.SetToColor(look.ToColor);
  Setup_Header.SetCaption(look.Header);
  Setup_Header.SetFont(MakeFont(look.HeaderFontName, look.HeaderFontSize, look.HeaderFontColor));
  Setup_Header.SetShadowColor(look.HeaderFontShadow);
  Setup_Header2.SetCaption(look.Header2);
  Setup_Header2.SetFont(MakeFont(look.Header2FontName, look.Header2FontSize, look.Header2FontColor));
  Setup_Header2.SetShadowColor(look.Header2FontShadow);
  SetColor(MainScreen.FromColor());
  FormResize();  // the header fonts decide where the second line goes

  if (!wizard_) return;
  TTovin& w = *wizard_;
  w.reboot.SetVisible(settings_.ShowReBoot);
  if (settings_.Launch.empty() || plat::UpperCase(settings_.Launch).find("SETUP.") != std::string::npos) {
    w.RadioButton2.SetChecked(true);
    w.RadioButton1.SetEnabled(false);
    if (settings_.ShowReBoot) w.reboot.SetChecked(true);
    else w.reboot.SetChecked(false);
  } else {
    w.RadioButton1.SetChecked(true);
  }
  if (!settings_.ShowWarningScreen) w.nextClick();
}

void TMainSetup::Timer1Timer() {
  Timer1.SetEnabled(false);
  if (preparing_) {
    preparing_->ShowModal();
    prepareFailed_ = preparing_->PrepareFailed;
    preparing_.reset();
  }
  if (!prepareFailed_ && wizard_ && !Application().Terminated()) {
    wizardShown_ = true;
    wizard_->ShowModal();
  }
  Close();
}

void TMainSetup::FormClose() {
  settings_.DirectoriesList.clear();
  settings_.FilesList.clear();
  settings_.DesktopList.clear();
  settings_.IniSetupList.clear();
  settings_.WorkStationList.clear();
  ClearTempDir();
  // Only a finished installation may restart Windows: declining, cancelling or closing early
  // installed nothing, whatever the restart choice says.
  if (wizard_ && wizard_->InstallationFinished() && wizard_->reboot.Checked()) {
    restartRequested_ = true;
    WinReboot1.ExitSystem(TWinReboot::kReboot);
  }
}

void TMainSetup::FormResize() {
  Image1.SetLeft(Width() - Image1.Width() - Image1.Width() / 2);
  MainScreen.SetBounds(0, 0, Width(), Height());
  Setup_Credit.SetBounds(0, MainScreen.Height() - Setup_Credit.Height() - 10, MainScreen.Width(), Setup_Credit.Height());
  Setup_Header.SetTop(1);
  Setup_Header2.SetTop(Setup_Header.Top() + Setup_Header.Height() + 2);
}

void TMainSetup::Image1DblClick() { Close(); }

bool TMainSetup::StartedInTempDir() const { return PathIsWithin(settings_.StartDir, settings_.TempDir); }

void TMainSetup::ClearTempDir() {
  if (StartedInTempDir()) return;  // the package itself
  const std::string& temp = settings_.TempDir;
  for (const auto& f : plat::FindFiles(temp + "\\*.*", kMaskAll)) {
    // The files are the setup's own copies: a read-only member's copy goes too.
    if ((f.attributes & plat::kAttrReadOnly) && !(f.attributes & plat::kAttrDirectory))
      plat::SetFileAttributes(temp + "\\" + f.name, f.attributes & ~plat::kAttrReadOnly);
    plat::DeleteFile(temp + "\\" + f.name);
  }
  plat::RemoveDirectory(temp);
}

void TMainSetup::ClearRebootChoice() {
  if (wizard_) wizard_->reboot.SetChecked(false);
}

void TMainSetup::ShowBitmap(const std::string& path) {
  ui::PictureInfo picture = ui::ReadPictureInfo(path);
  Image2.SetPictureFile(path);
  Image2.SetBounds(5, 5, picture.Width, picture.Height);
  Application().ProcessMessages();
  bitmapscreen.SetWidth(Image2.Width() + 10);
  bitmapscreen.SetHeight(Image2.Height() + 10);
  bitmapscreen.Show();
  Update();
  Repaint();
  Application().ProcessMessages();
  int left = settings_.AlignCenter ? MainScreen.Width() / 2 - bitmapscreen.Width() / 2
             : settings_.AlignLeft ? 20
                                   : MainScreen.Width() - bitmapscreen.Width() - 20;
  bitmapscreen.SetBounds(left, Setup_Header2.Top() + 30, bitmapscreen.Width(), bitmapscreen.Height());
  Repaint();
  Application().ProcessMessages();
}

}  // namespace tovin
