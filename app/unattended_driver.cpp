#include "app/unattended_driver.h"

#include "app/main_setup.h"
#include "common/box_ids.h"
#include "platform/platform.h"
#include "wizard/select_directory.h"
#include "wizard/tovin_wizard.h"

namespace tovin {
namespace {

void Untick(ui::TCheckListBox& list, const std::vector<std::string>& names) {
  for (int i = 0; i < static_cast<int>(list.Items().size()); ++i)
    for (const auto& n : names)
      if (list.Items()[static_cast<size_t>(i)] == n && list.Checked(i)) list.ClickCheck(i);
}

}  // namespace

TUnattendedDriver::TUnattendedDriver(TSetupAnswers answers, const TSetupWindows& windows)
    : answers_(std::move(answers)), windows_(windows) {}

bool TUnattendedDriver::OnIdle(ui::TForm& loopForm) {
  if (&loopForm == &windows_.DirectoryDialog) {
    // Browse was pressed to enter the destination: type it and press OK.
    typedDestination_ = true;
    windows_.DirectoryDialog.Edit1.SetText(*answers_.Destination);
    return windows_.DirectoryDialog.BitBtn1.Click();
  }
  if (&loopForm == &windows_.Wizard) return Wizard();
  return false;
}

bool TUnattendedDriver::Cancel(const std::string& problem) {
  problem_ = problem;
  return windows_.Wizard.cancel.Click();
}

bool TUnattendedDriver::Wizard() {
  TTovin& w = windows_.Wizard;
  if (w.InstallationStarted()) {
    // The run stopped with an error and left the wizard open on its strip: close it, as the
    // person would with the window's close button.
    runStopped_ = !w.InstallationFinished();
    w.Close();
    return true;
  }
  int page = w.Notebook1.PageIndex();
  if (answers_.CancelOnPage && *answers_.CancelOnPage == page) return w.cancel.Click();
  switch (page) {
    case TTovin::kLicence:
      if (answers_.AcceptLicence.value_or(true)) return w.accept.Click();
      return w.decline.Click();
    case TTovin::kDestination:
      // The setup refused the typed destination: installing into its own instead would put the
      // files where nobody asked for them.
      if (destinationRefused_) return Cancel("the setup refused the destination " + *answers_.Destination);
      if (answers_.Destination && !destinationEntered_) {
        destinationEntered_ = true;
        return w.browse.Click();
      }
      break;
    case TTovin::kFolders:
      ApplyFolders();
      break;
    case TTovin::kInstallType:
      if (answers_.MinimumInstall) (*answers_.MinimumInstall ? w.min : w.full).Click();
      break;
    case TTovin::kReady: {
      if (answers_.Finish) {
        ui::TRadioButton& choice = *answers_.Finish == TSetupAnswers::fiLaunch   ? w.RadioButton1
                                   : *answers_.Finish == TSetupAnswers::fiReturn ? w.RadioButton2
                                                                                 : w.reboot;
        if (!choice.Click()) return Cancel("answers file: Finish asks for \"" + choice.Caption() + "\", which this setup does not offer");
      }
      return w.install.Click();
    }
    default:
      break;
  }
  if (w.next.Click()) return true;
  return Cancel("the wizard could not go on from page " + std::to_string(page));
}

void TUnattendedDriver::ApplyFolders() {
  TTovin& w = windows_.Wizard;
  if (answers_.Folder) w.CreateFolder.SetText(*answers_.Folder);
  if (answers_.FolderStartMenu && w.CheckBox1.Checked() != *answers_.FolderStartMenu) w.CheckBox1.Click();
  if (answers_.FolderDesktop && w.CheckBox2.Checked() != *answers_.FolderDesktop) w.CheckBox2.Click();
  Untick(w.DK, answers_.NoDesktop);
  Untick(w.SM, answers_.NoStartMenu);
}

std::optional<ui::THeadlessAnswer> TUnattendedDriver::Answer(const ui::TMessageRequest& request) {
  const std::string& id = request.Id;
  if (id == box::kOverwriteFile) {
    if (auto yes = answers_.OverwriteAnswer(request.Subject)) return ui::THeadlessAnswer::Press(*yes ? "Yes" : "No");
    return std::nullopt;
  }
  if (id == box::kCreateDirectory && typedDestination_) return ui::THeadlessAnswer::Press("Yes");
  if (id == box::kBadDestination && typedDestination_) destinationRefused_ = true;
  if (id == box::kSegmentMissing) {
    // No disk drive to wait for: go on only if the segment has appeared meanwhile.
    std::string path = windows_.Main.Settings().StartDir + request.Subject;
    return ui::THeadlessAnswer::Press(plat::GetFileAttributes(path) != plat::kInvalidAttributes ? "OK" : "Cancel");
  }
  if (id == box::kWrongSegment) return ui::THeadlessAnswer::Press("Cancel");
  return std::nullopt;
}

}  // namespace tovin
