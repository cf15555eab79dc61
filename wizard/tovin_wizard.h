// TTovin: the setup wizard. Seven pages in a page book above a button bar; it collects the
// destination, the Start-menu folder and shortcuts, the install type and the final choice, and
// runs the installation on its last page.
#pragma once
#include <string>

#include "common/setup_host.h"
#include "ui/ui.h"
#include "wizard/shortcuts.h"

namespace tovin {

class TForm3;

class TTovin : public ui::TForm {
 public:
  enum Page { kWelcome, kLicence, kDestination, kFolders, kInstallType, kReady, kInstall };

  TTovin(ui::TApplication& app, TSetupHost& host, TForm3& directoryDialog);

  TSetupHost& Host() const { return host_; }
  TForm3& DirectoryDialog() const { return directoryDialog_; }

  // Handlers.
  void FormCreate();
  void FormShow();
  void FormClose();
  void nextClick();
  void backClick();
  void acceptClick();
  void declineClick();
  void cancelClick();
  void browseClick();
  void FoldersDblClick();
  void Notebook1PageChanged();
  void installClick();
  void ReadySummary();

  // The installation run reached its end (only then may a restart follow).
  bool InstallationFinished() const { return installationFinished_; }
  bool InstallationStarted() const { return installationStarted_; }
  void SetInstallationFinished() { installationFinished_ = true; }
  // The setup's title was empty, so no uninstall entry was registered.
  bool RegistryEntrySkipped() const { return registryEntrySkipped_; }
  void SetRegistryEntrySkipped() { registryEntrySkipped_ = true; }

  // The built-in licence text: never shown, but it makes the licence page count as present
  // when the configuration advances the wizard before a licence file is loaded.
  static const std::vector<std::string>& DefaultLicence();

  ui::TPageBook Notebook1;
  // page 0
  ui::TImage Image1;
  ui::TMemo Memo1;
  // page 1
  ui::TLabel Label3;
  ui::TMemo Memo3;
  ui::TPanel Panel4;
  ui::TButton accept, decline;
  ui::TLabel Label4;
  // page 2
  ui::TMemo Memo2;
  ui::TGroupBox GroupBox2;
  ui::TLabel Label1;
  ui::TButton browse;
  // page 3
  ui::TLabel RxLabel1;
  ui::TEdit CreateFolder;
  ui::TListBox Folders;
  ui::TCheckBox CheckBox1, CheckBox2;
  ui::TLabel Label5;
  ui::TCheckListBox DK;
  ui::TLabel Label6;
  ui::TCheckListBox SM;
  // page 4
  ui::TLabel RxLabel3;
  ui::TRadioButton full, min;
  // page 5
  ui::TLabel RxLabel2;
  ui::TRadioButton RadioButton1, RadioButton2, reboot;
  ui::TLabel Label2;
  ui::TMemo Memo4;
  // page 6
  ui::TLabel source, Dest;
  ui::TProgressBar ProgressBar1;
  // button bar
  ui::TPanel Panel1;
  ui::TButton cancel, back, next, install;

  TShortcuts Shortcuts1;

 private:
  void ArriveAtLicence(int skipTo);

  TSetupHost& host_;
  TForm3& directoryDialog_;
  bool installationStarted_ = false;
  bool registryEntrySkipped_ = false;
  bool installationFinished_ = false;
};

}  // namespace tovin
