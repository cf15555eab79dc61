#include "ui/shadow_label.h"

#include <algorithm>

namespace tovin::ui {

TShadowLabel::TShadowLabel(TControl& parent, std::string name) : TLabel(parent, std::move(name)) { AdjustSize(); }

void TShadowLabel::SetShadowColor(TColor value) {
  if (shadowColor_ == value) return;
  shadowColor_ = value;
  Changed();
}

void TShadowLabel::SetShadowSize(int value) {
  if (shadowSize_ == value) return;
  shadowSize_ = value;
  Changed();
  AdjustSize();
}

TSize TShadowLabel::TextExtent() const {
  TSize size = TLabel::TextExtent();
  int shadow = std::clamp(shadowSize_, 0, 32767);
  size.Width = std::min(size.Width + shadow, 32767);
  size.Height += shadow;
  return size;
}

}  // namespace tovin::ui
