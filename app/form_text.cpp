#include "app/form_text.h"

#include "ui/headless/transcript.h"
#include "ui/ui.h"

namespace tovin {
namespace {

constexpr size_t kMemoLines = 10, kListItems = 8;

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

class Collector {
 public:
  void Walk(const ui::TControl& c) {
    if (!c.Showing()) return;
    Describe(c);
    for (const ui::TControl* child : c.Controls()) Walk(*child);
  }
  std::vector<std::string> Take() {
    if (!buttons_.empty()) lines_.push_back("buttons:" + buttons_ + (greyed_.empty() ? "" : "; greyed:" + greyed_));
    return std::move(lines_);
  }

 private:
  void Add(const std::string& line) {
    if (!Trimmed(line).empty()) lines_.push_back(ui::EscapeControls(line));
  }
  void Describe(const ui::TControl& c) {
    if (auto* label = dynamic_cast<const ui::TLabel*>(&c)) return Add(label->ShownText());
    if (auto* memo = dynamic_cast<const ui::TMemo*>(&c)) return Memo(memo->Lines());
    if (auto* edit = dynamic_cast<const ui::TEdit*>(&c)) return Add("[" + edit->Text() + "]");
    if (auto* box = dynamic_cast<const ui::TCheckBox*>(&c))
      return Add((box->Checked() ? "[x] " : "[ ] ") + ui::StripAccelerator(box->Caption()));
    if (auto* radio = dynamic_cast<const ui::TRadioButton*>(&c))
      return Add((radio->Checked() ? "(*) " : "( ) ") + ui::StripAccelerator(radio->Caption()));
    if (auto* checks = dynamic_cast<const ui::TCheckListBox*>(&c)) {
      for (int i = 0; i < static_cast<int>(checks->Items().size()); ++i)
        Add((checks->Checked(i) ? "  [x] " : "  [ ] ") + Trimmed(checks->Items()[static_cast<size_t>(i)]));
      return;
    }
    if (auto* list = dynamic_cast<const ui::TListBox*>(&c)) return List(list->Items());
    if (auto* button = dynamic_cast<const ui::TButton*>(&c)) {
      (button->Enabled() ? buttons_ : greyed_) += " [" + ui::StripAccelerator(button->Caption()) + "]";
      return;
    }
    if (dynamic_cast<const ui::TGroupBox*>(&c) || dynamic_cast<const ui::TPanel*>(&c)) Add(Trimmed(c.Caption()));
  }
  void Memo(std::vector<std::string> lines) {
    while (!lines.empty() && Trimmed(lines.back()).empty()) lines.pop_back();
    for (size_t i = 0; i < lines.size() && i < kMemoLines; ++i) lines_.push_back(lines[i].empty() ? "|" : "| " + ui::EscapeControls(lines[i]));
    if (lines.size() > kMemoLines) lines_.push_back("| ... (" + std::to_string(lines.size()) + " lines in all)");
  }
  void List(const std::vector<std::string>& items) {
    if (items.empty()) return;
    std::string line = "list:";
    for (size_t i = 0; i < items.size() && i < kListItems; ++i) line += (i ? ", " : " ") + Trimmed(items[i]);
    if (items.size() > kListItems) line += ", ... (" + std::to_string(items.size()) + " in all)";
    Add(line);
  }

  std::vector<std::string> lines_;
  std::string buttons_, greyed_;
};

}  // namespace

std::vector<std::string> ShownTexts(const ui::TControl& root) {
  Collector collector;
  collector.Walk(root);
  return collector.Take();
}

}  // namespace tovin
