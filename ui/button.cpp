#include "ui/button.h"

#include "ui/form.h"

namespace tovin::ui {

TButton::TButton(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TButton::SetDefault(bool value) { Assign(default_, value, prButtonRole); }

void TButton::SetCancel(bool value) { Assign(cancel_, value, prButtonRole); }

void TButton::Clicked() {
  if (modalResult_ != mrNone && Form()) Form()->SetModalResult(modalResult_);
  Raise(OnClick);
}

}  // namespace tovin::ui
