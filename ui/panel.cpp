#include "ui/panel.h"

namespace tovin::ui {

TPanel::TPanel(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TPanel::SetBevelOuter(TPanelBevel value) { Assign(bevelOuter_, value, prAppearance); }

void TPanel::SetBevelInner(TPanelBevel value) { Assign(bevelInner_, value, prAppearance); }

void TPanel::SetBevelWidth(int value) { Assign(bevelWidth_, value, prAppearance); }

}  // namespace tovin::ui
