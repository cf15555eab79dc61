// TProgressBar: a position within a range, Min 0 and Max 100 at first. A position outside the
// range is kept as set; only Fraction, what a backend draws, is clamped.
#pragma once
#include "ui/control.h"

namespace tovin::ui {

class TProgressBar : public TControl {
 public:
  TProgressBar(TControl& parent, std::string name);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetMin(int value) { SetRange(value, max_); }
  void SetMax(int value) { SetRange(min_, value); }
  void SetRange(int min, int max);
  void SetPosition(int value);

  // The filled part, 0 to 1: (Position - Min) / (Max - Min), clamped. With an empty range
  // (Max <= Min) the bar is full once Position reaches Max.
  double Fraction() const;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};

}  // namespace tovin::ui
