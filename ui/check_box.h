// TCheckBox: an on/off choice.
#pragma once
#include "ui/control.h"

namespace tovin::ui {

class TCheckBox : public TControl {
 public:
  TCheckBox(TControl& parent, std::string name);

  bool Checked() const { return checked_; }
  void SetChecked(bool value);  // raises no event
  bool Focusable() const override { return true; }

 protected:
  // A click toggles the box, then raises OnClick.
  void Clicked() override;

 private:
  bool checked_ = false;
};

}  // namespace tovin::ui
