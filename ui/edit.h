// TEdit: a single-line text box. OnChange follows every change of Text, typed or set.
#pragma once
#include "ui/control.h"

namespace tovin::ui {

class TEdit : public TControl {
 public:
  TEdit(TControl& parent, std::string name);

  bool Focusable() const override { return true; }

  TNotifyEvent OnChange;

 protected:
  void TextChanged() override { Raise(OnChange); }
};

}  // namespace tovin::ui
