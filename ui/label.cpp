#include "ui/label.h"

#include <algorithm>
#include <cstdlib>

namespace tovin::ui {

int FontPixelHeight(int32_t points) {
  int64_t magnitude = std::llabs(static_cast<int64_t>(points));
  return static_cast<int>(std::min<int64_t>((magnitude * 96 + 36) / 72, 32767));
}

TLabel::TLabel(TControl& parent, std::string name) : TControl(parent, std::move(name)) { AdjustSize(); }

void TLabel::SetAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  Changed();
  AdjustSize();
}

void TLabel::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  Changed();
}

void TLabel::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  Changed();
}

void TLabel::SetBounds(int left, int top, int width, int height) {
  if (autoSize_) {
    TSize size = TextExtent();
    width = size.Width;
    height = size.Height;
  }
  StoreBounds(left, top, width, height);
}

TSize TLabel::TextExtent() const {
  int64_t pixels = FontPixelHeight(Font().Size);
  int64_t width = static_cast<int64_t>(Text().size()) * ((pixels + 1) / 2);
  return {static_cast<int>(std::min<int64_t>(width, 32767)), static_cast<int>(pixels + 2)};
}

void TLabel::AdjustSize() {
  if (autoSize_) SetBounds(Left(), Top(), Width(), Height());
}

}  // namespace tovin::ui
