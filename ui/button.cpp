#include "ui/button.h"

#include "ui/form.h"

namespace tovin::ui {

TButton::TButton(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TButton::SetDefault(bool value) {
  if (default_ == value) return;
  default_ = value;
  Changed();
}

void TButton::SetCancel(bool value) {
  if (cancel_ == value) return;
  cancel_ = value;
  Changed();
}

void TButton::Clicked() {
  if (modalResult_ != mrNone && Form()) Form()->SetModalResult(modalResult_);
  Raise(OnClick);
}

}  // namespace tovin::ui
