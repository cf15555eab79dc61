#include "ui/shadow_label.h"

#include <algorithm>

namespace tovin::ui {

TShadowLabel::TShadowLabel(TControl& parent, std::string name) : TLabel(parent, std::move(name)) { AdjustSize(); }

void TShadowLabel::SetShadowColor(TColor value) {
  Assign(shadowColor_, value, prAppearance);
}

void TShadowLabel::SetShadowSize(int value) {
  if (Assign(shadowSize_, value, prAppearance)) AdjustSize();
}

TSize TShadowLabel::LineExtent(const std::string& line) const {
  TSize size = TLabel::LineExtent(line);
  int shadow = std::clamp(shadowSize_, 0, 32767);
  size.Width = std::min(size.Width + shadow, 32767);
  size.Height += shadow;
  return size;
}

int TShadowLabel::ShadowAllowance() const { return std::clamp(shadowSize_, 0, 32767); }

}  // namespace tovin::ui
