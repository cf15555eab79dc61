#include "ui/progress_bar.h"

#include <algorithm>

namespace tovin::ui {

TProgressBar::TProgressBar(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TProgressBar::SetRange(int min, int max) {
  if (min_ == min && max_ == max) return;
  min_ = min;
  max_ = max;
  Changed(prPosition);
}

void TProgressBar::SetPosition(int value) {
  Assign(position_, value, prPosition);
}

double TProgressBar::Fraction() const {
  if (max_ <= min_) return position_ >= max_ ? 1.0 : 0.0;
  double span = static_cast<double>(max_) - min_;
  return std::clamp((static_cast<double>(position_) - min_) / span, 0.0, 1.0);
}

}  // namespace tovin::ui
