#include "wizard/tovin_wizard.h"

#include "common/box_ids.h"
#include "common/destination_path.h"
#include "common/system_routines.h"
#include "platform/platform.h"
#include "wizard/destination_check.h"
#include "wizard/installation_run.h"
#include "wizard/select_directory.h"

namespace tovin {
namespace {

const std::vector<std::string> kWelcomeText = {
    "It is strongly recommended that you exit all windows programs",
    "before running this Setup program.",
    "",
    "Click Cancel to quit Setup and then close any programs you have",
    "running ( Re-Boot if Necessary ). Click Next continue with Setup",
    "Program.",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    ""};

const std::vector<std::string> kDestinationText = {
    "Setup will now install Software into the following directory",
    "",
    "To install to this directory, click next.",
    "",
    "To install to different directory, click browse and select ",
    "another",
    "directory.",
    "",
    "you can choose not to install by clicking cancel."};

constexpr int kWidth = 480, kHeight = 360, kBarHeight = 40;


}  // namespace

const std::vector<std::string>& TTovin::DefaultLicence() {
  static const std::vector<std::string> text = {
      "This software is provided as is, without warranty of any kind.",
      "The package's own licence text replaces this one when it is shown.",
      "Read it before you accept it."};
  return text;
}

TTovin::TTovin(ui::TApplication& app, TSetupHost& host, TForm3& directoryDialog)
    : ui::TForm(app, "Tovin"),
      Notebook1(*this, "Notebook1", {"page1", "Page2", "Page3", "Page4", "installtype", "Page5", "install"}),
      Image1(Notebook1.Page(kWelcome), "Image1"),
      Memo1(Notebook1.Page(kWelcome), "Memo1"),
      Label3(Notebook1.Page(kLicence), "Label3"),
      Memo3(Notebook1.Page(kLicence), "Memo3"),
      Panel4(Notebook1.Page(kLicence), "Panel4"),
      accept(Panel4, "accept"),
      decline(Panel4, "decline"),
      Label4(Panel4, "Label4"),
      Memo2(Notebook1.Page(kDestination), "Memo2"),
      GroupBox2(Notebook1.Page(kDestination), "GroupBox2"),
      Label1(GroupBox2, "Label1"),
      browse(Notebook1.Page(kDestination), "browse"),
      RxLabel1(Notebook1.Page(kFolders), "RxLabel1"),
      CreateFolder(Notebook1.Page(kFolders), "CreateFolder"),
      Folders(Notebook1.Page(kFolders), "Folders"),
      CheckBox1(Notebook1.Page(kFolders), "CheckBox1"),
      CheckBox2(Notebook1.Page(kFolders), "CheckBox2"),
      Label5(Notebook1.Page(kFolders), "Label5"),
      DK(Notebook1.Page(kFolders), "DK"),
      Label6(Notebook1.Page(kFolders), "Label6"),
      SM(Notebook1.Page(kFolders), "SM"),
      RxLabel3(Notebook1.Page(kInstallType), "RxLabel3"),
      full(Notebook1.Page(kInstallType), "full"),
      min(Notebook1.Page(kInstallType), "min"),
      RxLabel2(Notebook1.Page(kReady), "RxLabel2"),
      RadioButton1(Notebook1.Page(kReady), "RadioButton1"),
      RadioButton2(Notebook1.Page(kReady), "RadioButton2"),
      reboot(Notebook1.Page(kReady), "reboot"),
      Label2(Notebook1.Page(kReady), "Label2"),
      Memo4(Notebook1.Page(kReady), "Memo4"),
      source(Notebook1.Page(kInstall), "source"),
      Dest(Notebook1.Page(kInstall), "Dest"),
      ProgressBar1(Notebook1.Page(kInstall), "ProgressBar1"),
      Panel1(*this, "Panel1"),
      cancel(Panel1, "cancel"),
      back(Panel1, "back"),
      next(Panel1, "next"),
      install(Panel1, "install"),
      host_(host),
      directoryDialog_(directoryDialog) {
  SetCaption("Tovin32 - Setup");
  SetBorderStyle(ui::bsToolWindow);
  SetPosition(ui::poScreenCenter);
  SetClientSize(kWidth, kHeight);
  Notebook1.SetBounds(0, 0, kWidth, kHeight - kBarHeight);
  Panel1.SetBounds(0, kHeight - kBarHeight, kWidth, kBarHeight);

  Image1.SetBounds(8, 8, 32, 32);
  Image1.SetProgramIcon(true);
  Memo1.SetBounds(48, 8, 416, 300);
  Memo1.SetReadOnly(true);
  Memo1.SetBorderStyle(ui::bsNone);
  Memo1.SetWordWrap(false);
  Memo1.SetLines(kWelcomeText);

  Label3.SetCaption("Click on Accept to continue with install process. pgdn/pgup to view License information.");
  Label3.SetBounds(8, 4, 460, 16);
  Memo3.SetBounds(8, Label3.Top() + Label3.Height() + 4, 460, 234 - (Label3.Top() + Label3.Height() + 4));
  Memo3.SetScrollBars(ui::ssVertical);
  Memo3.SetReadOnly(true);
  Memo3.SetLines(DefaultLicence());
  Panel4.SetBounds(0, 240, kWidth, 80);
  accept.SetCaption("Accept");
  decline.SetCaption("Decline");
  accept.SetBounds(300, 8, 75, 25);
  decline.SetBounds(385, 8, 75, 25);
  Label4.SetCaption(
      "You must select Accept or Decline to Continue with installation. if you accept License then click Accept!");
  Label4.SetBounds(8, 40, 460, 16);

  Memo2.SetBounds(8, 8, 460, 170);
  Memo2.SetReadOnly(true);
  Memo2.SetBorderStyle(ui::bsNone);
  Memo2.SetLines(kDestinationText);
  GroupBox2.SetCaption(" Destination  Directory ");
  GroupBox2.SetBounds(8, 190, 360, 50);
  Label1.SetShowAccelChar(false);  // paths may hold an '&'
  Label1.SetCaption("C:\\");
  Label1.SetBounds(10, 20, 340, 16);
  browse.SetCaption("Browse");
  browse.SetBounds(380, 205, 80, 25);

  RxLabel1.SetCaption("Create Folder's and Shortcuts.");
  RxLabel1.SetBounds(8, 4, 300, 16);
  CreateFolder.SetText("CreateFolder");
  CreateFolder.SetBounds(8, 24, 220, 21);
  Folders.SetBounds(8, 50, 220, 170);
  CheckBox1.SetCaption("Add Folder to Start Menu");
  CheckBox2.SetCaption("Add Folder to Desktop");
  CheckBox1.SetBounds(8, 226, 220, 17);
  CheckBox2.SetBounds(8, 246, 220, 17);
  Label5.SetCaption("Add Shortcut to Desktop?");
  Label5.SetBounds(240, 4, 220, 16);
  DK.SetBounds(240, 24, 225, 110);
  Label6.SetCaption("Add Shortcut to Startmenu?");
  Label6.SetBounds(240, 140, 220, 16);
  SM.SetBounds(240, 160, 225, 110);

  RxLabel3.SetCaption("What type of install to Execute");
  RxLabel3.SetBounds(8, 8, 400, 16);
  full.SetCaption("Full Install ( All Files will be installed )");
  min.SetCaption("Only Files need to run from Network will be installed");
  full.SetBounds(24, 60, 420, 17);
  min.SetBounds(24, 90, 420, 17);
  full.SetChecked(true);

  RxLabel2.SetCaption("Ready to Start Installing Software");
  RxLabel2.SetBounds(8, 8, 400, 16);
  RadioButton1.SetCaption("Launch Program after installed");
  RadioButton2.SetCaption("Return to Windows after installed");
  reboot.SetCaption("Re Boot Windows After installed");
  RadioButton1.SetBounds(24, 36, 300, 17);
  RadioButton2.SetBounds(24, 56, 300, 17);
  reboot.SetBounds(24, 76, 300, 17);
  reboot.SetChecked(true);
  Label2.SetCaption("Program to Launch");
  Label2.SetBounds(24, 100, 420, 16);
  Memo4.SetBounds(8, 124, 460, 180);
  Memo4.SetReadOnly(true);

  source.SetShowAccelChar(false);
  Dest.SetShowAccelChar(false);
  source.SetCaption("Copy Source");
  Dest.SetCaption("Copy to");
  source.SetBounds(8, 8, 460, 16);
  Dest.SetBounds(8, 28, 460, 16);
  ProgressBar1.SetBounds(8, 52, 460, 18);

  cancel.SetCaption("&Cancel");
  cancel.SetCancel(true);  // Esc, as in any dialog
  back.SetCaption("&Back");
  next.SetCaption("&Next");
  install.SetCaption("&Install");
  cancel.SetBounds(8, 8, 75, 25);
  back.SetBounds(230, 8, 75, 25);
  next.SetBounds(310, 8, 75, 25);
  install.SetBounds(395, 8, 75, 25);
  install.Hide();

  next.OnClick = [this] { nextClick(); };
  back.OnClick = [this] { backClick(); };
  accept.OnClick = [this] { acceptClick(); };
  decline.OnClick = [this] { declineClick(); };
  cancel.OnClick = [this] { cancelClick(); };
  browse.OnClick = [this] { browseClick(); };
  install.OnClick = [this] { installClick(); };
  Folders.OnDblClick = [this] { FoldersDblClick(); };
  Notebook1.OnPageChanged = [this] { Notebook1PageChanged(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this] { FormClose(); };
  FormCreate();
}

void TTovin::FormCreate() {
  Notebook1.SetPageIndex(kWelcome);
  Notebook1PageChanged();  // page 0 is current from the start: no change event came for it
}

void TTovin::FormShow() {
  const SetupSettings& s = host_.Settings();
  Folders.SetItems(Shortcuts1.FolderList);
  CreateFolder.SetText(s.Folder);
  std::string licence = s.TempDir + "\\license.txt";
  if (plat::GetFileAttributes(licence) != plat::kInvalidAttributes) Memo3.LoadFromFile(licence);
  else Memo3.Clear();
  if (s.WorkStationPrompt) min.SetChecked(true);
  else full.SetChecked(true);
  Label1.SetCaption(s.SystemDriveRoot + (s.AddToProgramFiles ? "Program Files\\" : "") + s.InstallDir);
  Repaint();
  host_.BackgroundForm().Repaint();
  Application().ProcessMessages();
}

void TTovin::FormClose() { Application().ProcessMessages(); }

// Without a licence of two or more lines the page is passed over towards skipTo; with one,
// the user must press Accept or Decline.
void TTovin::ArriveAtLicence(int skipTo) {
  if (Memo3.Lines().size() <= 1) {
    Notebook1.SetPageIndex(skipTo);
  } else {
    back.SetEnabled(true);
    next.SetEnabled(false);
  }
}

void TTovin::nextClick() {
  const SetupSettings& s = host_.Settings();
  Notebook1.SetPageIndex(Notebook1.PageIndex() + 1);
  back.SetEnabled(true);
  next.SetEnabled(true);
  install.Hide();
  switch (Notebook1.PageIndex()) {
    case kLicence:
      ArriveAtLicence(kDestination);
      break;
    case kFolders:
      if (s.Folder.empty()) {
        if (s.WorkStationPrompt) {
          Notebook1.SetPageIndex(kInstallType);
        } else {
          Notebook1.SetPageIndex(kReady);
          ReadySummary();
        }
      }
      break;
    case kInstallType:
      if (!s.WorkStationPrompt) {
        Notebook1.SetPageIndex(kReady);
        ReadySummary();
      }
      break;
    case kReady:
      ReadySummary();
      break;
    default:
      break;
  }
}

void TTovin::backClick() {
  const SetupSettings& s = host_.Settings();
  Notebook1.SetPageIndex(Notebook1.PageIndex() - 1);
  back.SetEnabled(true);
  next.SetEnabled(true);
  install.Hide();
  switch (Notebook1.PageIndex()) {
    case kLicence:
      ArriveAtLicence(kWelcome);
      break;
    case kFolders:
      if (s.Folder.empty()) Notebook1.SetPageIndex(kDestination);
      break;
    case kInstallType:
      if (!s.WorkStationPrompt) Notebook1.SetPageIndex(s.Folder.empty() ? kDestination : kFolders);
      break;
    default:
      break;
  }
  if (Notebook1.PageIndex() == kWelcome) back.SetEnabled(false);
}

void TTovin::acceptClick() {
  back.SetEnabled(true);
  next.SetEnabled(true);
  Notebook1.SetPageIndex(Notebook1.PageIndex() + 1);
}

void TTovin::declineClick() { Close(); }

void TTovin::cancelClick() {
  reboot.SetChecked(false);
  Close();
}

void TTovin::FoldersDblClick() {
  int i = Folders.ItemIndex();
  if (i >= 0) CreateFolder.SetText(Folders.Items()[static_cast<size_t>(i)]);
}

void TTovin::ReadySummary() {
  install.Show();
  next.SetEnabled(false);
  Memo4.Clear();
  Memo4.Add("Install to:");
  Memo4.Add("  " + Label1.Caption());
  Memo4.Add("");
  Memo4.Add("Folders:" + CreateFolder.Text());
  Memo4.Add("  ");
}

void TTovin::Notebook1PageChanged() {
  int page = Notebook1.PageIndex();
  back.SetEnabled(page != kWelcome);
  if (page == kFolders) {
    std::vector<std::string> desktop, startMenu;
    for (const auto& entry : host_.Settings().DesktopList) {
      std::string rest = entry, name, target, onDesktop, inStartMenu, icon;
      NextField(rest, '~', name);
      NextField(rest, '~', target);
      NextField(rest, '~', onDesktop);
      NextField(rest, '~', inStartMenu);
      NextField(rest, '~', icon);
      if (onDesktop == "X") desktop.push_back(name);
      if (inStartMenu == "X") startMenu.push_back(name);
    }
    DK.SetItems(desktop);
    SM.SetItems(startMenu);
    for (int i = 0; i < static_cast<int>(desktop.size()); ++i) DK.SetChecked(i, true);
    for (int i = 0; i < static_cast<int>(startMenu.size()); ++i) SM.SetChecked(i, true);
  }
  if (page == kReady) {
    const std::string& launch = host_.Settings().Launch;
    auto cut = launch.find('>');
    Label2.SetCaption(cut == std::string::npos ? launch : launch.substr(cut + 1));
  }
}

void TTovin::browseClick() {
  std::string before = Label1.Caption();
  directoryDialog_.Edit1.SetText(before);
  if (directoryDialog_.ShowModal() != ui::mrOk) return;
  std::string chosen = directoryDialog_.Edit1.Text();
  if (chosen == before) return;
  if (!NamesDriveFolder(chosen)) {  // nothing is taken against the start folder or a share
    Application().ShowMessage(Format(kMsgInvalidDestination, chosen), box::kBadDestination, chosen);
    return;
  }
  if (std::string why = DestinationProblem(chosen); !why.empty()) {
    Application().ShowMessage(why, box::kBadDestination, chosen);
    return;
  }
  if (Application().Confirm("Create New Directory for Installation [" + chosen + "] ?", box::kCreateDirectory, chosen))
    Label1.SetCaption(chosen);
}

void TTovin::installClick() {
  Shortcuts1.Folder = CreateFolder.Text();
  Shortcuts1.FolderStartMenu = CheckBox1.Checked();
  Shortcuts1.FolderDesktop = CheckBox2.Checked();
  Notebook1.SetPageIndex(kInstall);
  installationStarted_ = true;
  RunInstallation(*this);
}

}  // namespace tovin
