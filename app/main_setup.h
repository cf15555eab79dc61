// TMainSetup: the full-screen background window and the spine of the run. When first shown it
// reads install.cfg, clears the temporary folder and starts a one-shot timer that runs the
// preparing window and then the wizard; at close it cleans up and restarts Windows when a
// finished installation asked for it.
#pragma once
#include <memory>
#include <string>

#include "ui/fountain_fill.h"
#include "common/setup_host.h"
#include "common/win_reboot.h"
#include "ui/ui.h"

namespace tovin {

class TTovin;
class TUnzip;

class TMainSetup : public ui::TForm, public TSetupHost {
 public:
  explicit TMainSetup(ui::TApplication& app);
  ~TMainSetup() override;

  // The other windows, made after this one (they need it).
  void Attach(TTovin& wizard, std::unique_ptr<TUnzip> preparing);

  // Handlers.
  void FormCreate();
  void FormShow();
  void Timer1Timer();
  void FormClose();
  void FormResize();
  void Image1DblClick();
  void ReadInstallConfig();

  // TSetupHost.
  SetupSettings& Settings() override { return settings_; }
  std::string HeaderText() const override { return Setup_Header.Caption(); }
  ui::TForm& BackgroundForm() override { return *this; }
  void ShowBitmap(const std::string& path) override;
  void ClearTempDir() override;
  void ClearRebootChoice() override;
  TProgressObserver& Progress() override { return progress_ ? *progress_ : noProgress_; }

  // Who hears of the progress of the preparation and of the installation run (none: nobody);
  // it must outlive the run.
  void SetProgressObserver(TProgressObserver* observer) { progress_ = observer; }

  // What ended the run, for the unattended command's exit status.
  bool PrepareFailed() const { return prepareFailed_; }
  bool WizardShown() const { return wizardShown_; }
  bool RestartRequested() const { return restartRequested_; }
  // The package lies in the temporary folder, which the setup empties: it refuses to start.
  bool StartedInTempDir() const;

  ui::TFountainFill MainScreen;
  ui::TShadowLabel Setup_Header;
  ui::TShadowLabel Setup_Header2;
  ui::TImage Image1;
  ui::TLabel Setup_Credit;
  ui::TPanel bitmapscreen;
  ui::TImage Image2;
  ui::TTimer Timer1;
  TWinReboot WinReboot1;

 private:
  SetupSettings settings_;
  TTovin* wizard_ = nullptr;
  std::unique_ptr<TUnzip> preparing_;
  bool prepareFailed_ = false;
  bool wizardShown_ = false;
  bool restartRequested_ = false;
  TProgressObserver* progress_ = nullptr;
  TProgressObserver noProgress_;
};

}  // namespace tovin
