#include "ui/label.h"

#include <algorithm>
#include <cstdlib>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace tovin::ui {

int FontPixelHeight(int32_t points) {
  int64_t magnitude = std::llabs(static_cast<int64_t>(points));
  return static_cast<int>(std::min<int64_t>((magnitude * 96 + 36) / 72, 32767));
}

TSize FixedTextExtent(const TFont& font, const std::string& text) {
  int64_t pixels = FontPixelHeight(font.Size);
  int64_t width = static_cast<int64_t>(text.size()) * ((pixels + 1) / 2);
  return {static_cast<int>(std::min<int64_t>(width, 32767)), static_cast<int>(pixels + 2)};
}

TLabel::TLabel(TControl& parent, std::string name) : TControl(parent, std::move(name)) { AdjustSize(); }

void TLabel::SetAutoSize(bool value) {
  if (Assign(autoSize_, value, prAppearance)) AdjustSize();
}

void TLabel::SetAlignment(TAlignment value) { Assign(alignment_, value, prAppearance); }

void TLabel::SetTransparent(bool value) { Assign(transparent_, value, prAppearance); }

void TLabel::SetShowAccelChar(bool value) {
  if (Assign(showAccelChar_, value, prAppearance)) AdjustSize();
}

std::string TLabel::ShownText() const { return showAccelChar_ ? StripAccelerator(Text()) : Text(); }

bool TLabel::PressAccelerator() {
  if (!AcceptsInput() || !Form()) return false;
  if (focusControl_) return focusControl_->SetFocus();
  bool after = false;
  for (TControl* c : Form()->AllControls()) {
    if (c == this) after = true;
    else if (after && c->Focusable() && c->CanFocus()) return c->SetFocus();
  }
  return false;
}

void TLabel::SetBounds(int left, int top, int width, int height) {
  StoreBounds(left, top, width, height);
  AdjustSize();
}

TSize TLabel::LineExtent(const std::string& line) const {
  return Form() ? Form()->Application().Backend().TextExtent(Font(), line) : FixedTextExtent(Font(), line);
}

std::vector<std::string> TLabel::Wrap(const std::string& text, int room) const {
  std::vector<std::string> lines;
  size_t start = 0;
  do {  // hard breaks first, then each paragraph greedily at blanks
    size_t end = text.find('\n', start);
    std::string paragraph = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    start = end == std::string::npos ? text.size() + 1 : end + 1;
    if (room <= 0 || LineExtent(paragraph).Width <= room) {
      lines.push_back(paragraph);
      continue;
    }
    std::string line;
    size_t pos = 0;
    while (pos < paragraph.size()) {
      size_t blank = paragraph.find(' ', pos);
      std::string word = paragraph.substr(pos, blank == std::string::npos ? std::string::npos : blank - pos);
      pos = blank == std::string::npos ? paragraph.size() : blank + 1;
      std::string joined = line.empty() ? word : line + " " + word;
      if (line.empty() || LineExtent(joined).Width <= room) {
        line = joined;
      } else {
        lines.push_back(line);
        line = word;
      }
    }
    lines.push_back(line);
  } while (start <= text.size());
  return lines;
}

void TLabel::AdjustSize() {
  std::string shown = ShownText();
  if (!autoSize_) {
    lines_ = Wrap(shown, Width());
    return;
  }
  int room = Parent() ? Parent()->ClientSize().Width - Left() : 0;
  lines_ = Wrap(shown, room);
  int width = 0;
  for (const std::string& line : lines_) width = std::max(width, LineExtent(line).Width);
  // Lines follow each other at the text's height; a shadow adds to the last one only.
  int oneLine = LineExtent(std::string()).Height, shadow = ShadowAllowance();
  int height = static_cast<int>(lines_.size()) * (oneLine - shadow) + shadow;
  if (room > 0) width = std::min(width, room);
  StoreBounds(Left(), Top(), width, height);
}

}  // namespace tovin::ui
