// TRadioButton: the radio buttons with the same parent control form one group; checking one
// unchecks the others. Put buttons that must not interact on different parents (a page, a
// group box, a panel).
#pragma once
#include "ui/control.h"

namespace tovin::ui {

class TRadioButton : public TControl {
 public:
  TRadioButton(TControl& parent, std::string name);

  bool Checked() const { return checked_; }
  // Checking unchecks the group's other buttons; unchecking touches no other button.
  // No event is raised.
  void SetChecked(bool value);
  bool Focusable() const override { return true; }

 protected:
  // A click checks the button, then raises OnClick.
  void Clicked() override;

 private:
  bool checked_ = false;
};

}  // namespace tovin::ui
