// The transcript of an unattended run as a person at the screen would have gone through it:
// each window as it appears and each wizard page the run stops on, with what they show; each
// button pressed and why; each message box with its answer and why. One readable line each,
// the texts of a window indented below it.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/forwarding_backend.h"
#include "ui/headless/headless_backend.h"

namespace tovin {

class TTovin;

// "licence", "destination", ... for a page index of the wizard.
const char* WizardPageRole(int page);

// A box as it was answered.
struct TTracedBox {
  ui::TTranscriptEntry Entry;
  std::string Why;  // "answers file: Overwrite=Yes", "default button", ...
};

class TSetupTrace {
 public:
  void Window(const ui::TForm& form);
  void Page(const TTovin& wizard);
  // what: "Next", "untick \"Help\" under \"Add Shortcut to Startmenu?\""; why: where it came from.
  void Press(const std::string& what, const std::string& why);
  void Box(const ui::TTranscriptEntry& entry, const std::string& why);

  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<TTracedBox>& Boxes() const { return boxes_; }

 private:
  void Texts(const ui::TControl& root);
  std::vector<std::string> lines_;
  std::vector<TTracedBox> boxes_;
  std::map<int, std::vector<std::string>> pages_;  // what each page showed when last traced
};

// "[Caption] Text -> Button \"Value\" (why)", as the transcript shows a box.
std::string FormatTracedBox(const TTracedBox& box);

// Between the application and the headless backend (or a decorator of it): traces every window
// shown except Paged (whose pages its driver traces where it stops) and every box answered,
// asking Why for the reason of each answer.
class TTraceBackend final : public ui::TForwardingBackend {
 public:
  TTraceBackend(ui::TBackend& inner, const ui::THeadlessBackend& headless, TSetupTrace& trace)
      : TForwardingBackend(inner), headless_(headless), trace_(trace) {}
  const ui::TForm* Paged = nullptr;
  std::function<std::string(const ui::TTranscriptEntry&)> Why;

  void FormShown(ui::TForm& form) override;
  ui::TMessageAnswer Ask(const ui::TMessageRequest& request) override;
  void Dismissed(const ui::TMessageRequest& request, const ui::TMessageAnswer& answer) override;

 private:
  void LastBox();
  const ui::THeadlessBackend& headless_;
  TSetupTrace& trace_;
};

}  // namespace tovin
