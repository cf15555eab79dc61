#include "app/unattended_driver.h"

#include "app/main_setup.h"
#include "common/box_ids.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "wizard/select_directory.h"
#include "wizard/tovin_wizard.h"

namespace tovin {
namespace {

// The answers that act on one page of the wizard, by their upper-cased keys.
struct PageKey {
  const char* key;
  int page;
};
constexpr PageKey kPageKeys[] = {{"LICENCE", TTovin::kLicence},         {"FOLDER", TTovin::kFolders},
                                 {"FOLDERSTARTMENU", TTovin::kFolders}, {"FOLDERDESKTOP", TTovin::kFolders},
                                 {"NODESKTOP", TTovin::kFolders},       {"NOSTARTMENU", TTovin::kFolders},
                                 {"INSTALLTYPE", TTovin::kInstallType}};

// What pressing control does, as the trace says it.
std::string PressText(const ui::TControl& control) {
  std::string caption = ui::StripAccelerator(control.Caption());
  if (auto* box = dynamic_cast<const ui::TCheckBox*>(&control)) return (box->Checked() ? "untick \"" : "tick \"") + caption + "\"";
  if (dynamic_cast<const ui::TRadioButton*>(&control)) return "choose \"" + caption + "\"";
  return caption;
}

}  // namespace

TUnattendedDriver::TUnattendedDriver(TSetupAnswers answers, const TSetupWindows& windows, TSetupTrace* trace,
                                     bool strict)
    : answers_(std::move(answers)), windows_(windows), trace_(trace), strict_(strict) {}

std::string TUnattendedDriver::Why(const char* upperKey, const std::string& otherwise) const {
  std::string said = answers_.Said(upperKey);
  if (!said.empty()) return "answers file: " + said;
  return (answers_.File.empty() ? "no answers file: " : "not in the answers file: ") + otherwise;
}

bool TUnattendedDriver::Press(ui::TControl& control, const std::string& why) {
  if (!control.AcceptsInput()) return false;
  if (trace_) trace_->Press(PressText(control), why);
  return control.Click();
}

bool TUnattendedDriver::OnIdle(ui::TForm& loopForm) {
  if (&loopForm == &windows_.DirectoryDialog) {
    // Browse was pressed to enter the destination: type it and press OK.
    typedDestination_ = true;
    TForm3& dialog = windows_.DirectoryDialog;
    dialog.Edit1.SetText(*answers_.Destination);
    if (trace_) trace_->Press("type \"" + *answers_.Destination + "\"", Why("DESTINATION", ""));
    tracedPage_ = -1;  // the wizard's page shows again, with the new destination
    return Press(dialog.BitBtn1, Why("DESTINATION", ""));
  }
  if (&loopForm == &windows_.Wizard) return Wizard();
  return false;
}

bool TUnattendedDriver::Cancel(const std::string& problem) {
  problem_ = problem;
  return Press(windows_.Wizard.cancel, problem);
}

void TUnattendedDriver::Unanswerable(const std::string& sentence) {
  if (noted_.insert(sentence).second) unused_.push_back(sentence);
}

bool TUnattendedDriver::CheckSkippedPages(int page) {
  auto passed = [&](int answered) { return answered < page && !shownPages_.count(answered); };
  for (const PageKey& k : kPageKeys)
    if (std::string said = answers_.Said(k.key); !said.empty() && passed(k.page))
      Unanswerable(said + " found nothing to press: the setup went past page " + std::to_string(k.page) + " (" +
                   WizardPageRole(k.page) + ") without showing it");
  if (answers_.CancelOnPage && passed(*answers_.CancelOnPage))
    Unanswerable(answers_.Said("CANCEL") + " found nothing to press: the setup went past page " +
                 std::to_string(*answers_.CancelOnPage) + " (" + WizardPageRole(*answers_.CancelOnPage) +
                 ") without showing it");
  return !(strict_ && !unused_.empty());
}

bool TUnattendedDriver::Wizard() {
  TTovin& w = windows_.Wizard;
  if (w.InstallationStarted()) {
    // The run stopped with an error and left the wizard open on its strip: close it, as the
    // person would with the window's close button.
    runStopped_ = !w.InstallationFinished();
    if (trace_) trace_->Press("close the window", "the installation run stopped");
    w.Close();
    return true;
  }
  int page = w.Notebook1.PageIndex();
  if (page != tracedPage_ && trace_) trace_->Page(w);
  tracedPage_ = page;
  shownPages_.insert(page);
  if (!CheckSkippedPages(page)) return Cancel(unused_.front());
  if (answers_.CancelOnPage && *answers_.CancelOnPage == page) return Press(w.cancel, Why("CANCEL", ""));
  switch (page) {
    case TTovin::kLicence:
      if (answers_.AcceptLicence.value_or(true)) return Press(w.accept, Why("LICENCE", "accepted"));
      return Press(w.decline, Why("LICENCE", ""));
    case TTovin::kDestination:
      // The setup refused the typed destination: installing into its own instead would put the
      // files where nobody asked for them.
      if (destinationRefused_) return Cancel("the setup refused the destination " + *answers_.Destination);
      if (answers_.Destination && !destinationEntered_) {
        destinationEntered_ = true;
        return Press(w.browse, Why("DESTINATION", ""));
      }
      break;
    case TTovin::kFolders:
      ApplyFolders();
      if (strict_ && !unused_.empty()) return Cancel(unused_.front());
      break;
    case TTovin::kInstallType:
      if (answers_.MinimumInstall) Press(*answers_.MinimumInstall ? w.min : w.full, Why("INSTALLTYPE", ""));
      break;
    case TTovin::kReady: {
      if (answers_.Finish) {
        ui::TRadioButton& choice = *answers_.Finish == TSetupAnswers::fiLaunch   ? w.RadioButton1
                                   : *answers_.Finish == TSetupAnswers::fiReturn ? w.RadioButton2
                                                                                 : w.reboot;
        if (!Press(choice, Why("FINISH", "")))
          return Cancel("answers file: Finish asks for \"" + choice.Caption() + "\", which this setup does not offer");
      }
      return Press(w.install, "to go on");
    }
    default:
      break;
  }
  if (Press(w.next, "to go on")) return true;
  return Cancel("the wizard could not go on from page " + std::to_string(page));
}

void TUnattendedDriver::Untick(ui::TCheckListBox& list, const ui::TLabel& title, const std::vector<std::string>& names,
                               const char* key) {
  for (const auto& n : names) {
    bool found = false;
    for (int i = 0; i < static_cast<int>(list.Items().size()); ++i) {
      if (list.Items()[static_cast<size_t>(i)] != n) continue;
      found = true;
      if (!list.Checked(i) || !list.AcceptsInput()) continue;
      if (trace_) trace_->Press("untick \"" + n + "\" under \"" + title.ShownText() + "\"", Why(key, ""));
      list.ClickCheck(i);
    }
    if (!found)
      Unanswerable(answers_.Said(key) + " found nothing to press: \"" + n + "\" is not offered under \"" +
                   title.ShownText() + "\"");
  }
}

void TUnattendedDriver::ApplyFolders() {
  TTovin& w = windows_.Wizard;
  if (answers_.Folder && w.CreateFolder.Text() != *answers_.Folder) {
    if (trace_) trace_->Press("type \"" + *answers_.Folder + "\" as the folder", Why("FOLDER", ""));
    w.CreateFolder.SetText(*answers_.Folder);
  }
  if (answers_.FolderStartMenu && w.CheckBox1.Checked() != *answers_.FolderStartMenu)
    Press(w.CheckBox1, Why("FOLDERSTARTMENU", ""));
  if (answers_.FolderDesktop && w.CheckBox2.Checked() != *answers_.FolderDesktop)
    Press(w.CheckBox2, Why("FOLDERDESKTOP", ""));
  Untick(w.DK, w.Label5, answers_.NoDesktop, "NODESKTOP");
  Untick(w.SM, w.Label6, answers_.NoStartMenu, "NOSTARTMENU");
}

std::optional<ui::THeadlessAnswer> TUnattendedDriver::Answer(const ui::TMessageRequest& request) {
  const std::string& id = request.Id;
  if (id == box::kOverwriteFile) {
    if (auto yes = answers_.OverwriteAnswer(request.Subject)) {
      std::string said = answers_.Said("OVERWRITE." + plat::UpperCase(request.Subject));
      lastWhy_ = "answers file: " + (said.empty() ? answers_.Said("OVERWRITE") : said);
      return ui::THeadlessAnswer::Press(*yes ? "Yes" : "No");
    }
    return std::nullopt;
  }
  if (id == box::kCreateDirectory && typedDestination_) {
    lastWhy_ = Why("DESTINATION", "");
    return ui::THeadlessAnswer::Press("Yes");
  }
  if (id == box::kBadDestination && typedDestination_) destinationRefused_ = true;
  if (id == box::kSegmentMissing) {
    // No disk drive to wait for: go on only if the segment has appeared meanwhile.
    std::string path = windows_.Main.Settings().StartDir + request.Subject;
    bool there = plat::GetFileAttributes(path) != plat::kInvalidAttributes;
    lastWhy_ = there ? "the segment is there now" : "no disk drive to insert it in";
    return ui::THeadlessAnswer::Press(there ? "OK" : "Cancel");
  }
  if (id == box::kWrongSegment) {
    lastWhy_ = "no disk drive to insert another in";
    return ui::THeadlessAnswer::Press("Cancel");
  }
  return std::nullopt;
}

}  // namespace tovin
