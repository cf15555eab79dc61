#include "app/setup_trace.h"

#include <algorithm>

#include "app/form_text.h"
#include "wizard/tovin_wizard.h"

namespace tovin {
namespace {

const char* SourceText(ui::TAnswerSource source) {
  switch (source) {
    case ui::asScript: return "answered";
    case ui::asDefault: return "default button";
    case ui::asTerminated: return "not shown: the setup was ending";
  }
  return "";
}

}  // namespace

const char* WizardPageRole(int page) {
  static const char* const kRoles[] = {"welcome", "licence", "destination", "folder and shortcuts",
                                       "install type", "ready to install", "installation"};
  return page >= 0 && page < 7 ? kRoles[page] : "unknown";
}

void TSetupTrace::Texts(const ui::TControl& root) {
  for (const std::string& line : ShownTexts(root)) lines_.push_back("    " + line);
}

void TSetupTrace::Window(const ui::TForm& form) {
  lines_.push_back("window \"" + ui::EscapeControls(form.Caption()) + "\":");
  Texts(form);
}

void TSetupTrace::Page(const TTovin& wizard) {
  int page = wizard.Notebook1.PageIndex();
  std::vector<std::string> texts = ShownTexts(wizard);
  auto before = pages_.find(page);
  lines_.push_back("page " + std::to_string(page) + " (" + WizardPageRole(page) + ") of \"" +
                   ui::EscapeControls(wizard.Caption()) + "\"" + (before == pages_.end() ? ":" : ", again; what changed:"));
  // A page shown again repeats only what is new on it.
  for (const std::string& line : texts)
    if (before == pages_.end() || std::find(before->second.begin(), before->second.end(), line) == before->second.end())
      lines_.push_back("    " + line);
  pages_[page] = std::move(texts);
}

void TSetupTrace::Press(const std::string& what, const std::string& why) {
  lines_.push_back("  -> " + ui::EscapeControls(what) + " (" + ui::EscapeControls(why) + ")");
}

void TSetupTrace::Box(const ui::TTranscriptEntry& entry, const std::string& why) {
  boxes_.push_back({entry, why});
  lines_.push_back(FormatTracedBox(boxes_.back()));
}

std::string FormatTracedBox(const TTracedBox& box) {
  const ui::TTranscriptEntry& e = box.Entry;
  return "[" + ui::EscapeControls(e.Caption) + "] " + ui::EscapeControls(e.Text) + " -> " +
         ui::StripAccelerator(e.Button) + (e.Kind == ui::mkInput ? " \"" + ui::EscapeControls(e.Value) + "\"" : "") +
         " (" + ui::EscapeControls(box.Why) + ")";
}

void TTraceBackend::FormShown(ui::TForm& form) {
  TForwardingBackend::FormShown(form);
  if (&form != Paged) trace_.Window(form);
}

void TTraceBackend::LastBox() {
  const ui::TTranscriptEntry& e = headless_.Transcript().back();
  std::string why = e.Source == ui::asScript && Why ? Why(e) : SourceText(e.Source);
  trace_.Box(e, why);
}

ui::TMessageAnswer TTraceBackend::Ask(const ui::TMessageRequest& request) {
  ui::TMessageAnswer answer = TForwardingBackend::Ask(request);
  LastBox();
  return answer;
}

void TTraceBackend::Dismissed(const ui::TMessageRequest& request, const ui::TMessageAnswer& answer) {
  TForwardingBackend::Dismissed(request, answer);
  LastBox();
}

}  // namespace tovin
