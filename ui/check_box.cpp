#include "ui/check_box.h"

namespace tovin::ui {

TCheckBox::TCheckBox(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TCheckBox::SetChecked(bool value) { Assign(checked_, value, prChecked); }

void TCheckBox::Clicked() {
  SetChecked(!checked_);
  Raise(OnClick);
}

}  // namespace tovin::ui
