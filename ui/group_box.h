// TGroupBox: a framed container with its Caption in the frame.
#pragma once
#include "ui/control.h"

namespace tovin::ui {

class TGroupBox : public TControl {
 public:
  TGroupBox(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}
};

}  // namespace tovin::ui
