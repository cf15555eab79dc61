#include "ui/edit.h"

namespace tovin::ui {

TEdit::TEdit(TControl& parent, std::string name) : TControl(parent, std::move(name)) { SetColor(clWindow); }

}  // namespace tovin::ui
