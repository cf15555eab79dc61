// TShadowLabel: a label drawn twice, first in ShadowColor shifted ShadowSize pixels towards the
// right and bottom, then in its font colour in place. Its auto size includes the shadow.
#pragma once
#include "ui/label.h"

namespace tovin::ui {

class TShadowLabel : public TLabel {
 public:
  TShadowLabel(TControl& parent, std::string name);

  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor value);
  // Pixels; a negative size is kept as set and drawn as no shadow.
  int ShadowSize() const { return shadowSize_; }
  void SetShadowSize(int value);

 protected:
  TSize LineExtent(const std::string& line) const override;
  int ShadowAllowance() const override;

 private:
  TColor shadowColor_ = clBtnHighlight;
  int shadowSize_ = 1;
};

}  // namespace tovin::ui
