#include "ui/radio_button.h"

namespace tovin::ui {

TRadioButton::TRadioButton(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TRadioButton::SetChecked(bool value) {
  if (!Assign(checked_, value, prChecked)) return;
  if (!value || !Parent()) return;
  for (TControl* sibling : Parent()->Controls())
    if (auto* other = dynamic_cast<TRadioButton*>(sibling); other && other != this) other->SetChecked(false);
}

void TRadioButton::Clicked() {
  SetChecked(true);
  Raise(OnClick);
}

}  // namespace tovin::ui
