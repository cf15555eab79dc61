#include "ui/panel.h"

namespace tovin::ui {

TPanel::TPanel(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TPanel::SetBevelOuter(TPanelBevel value) {
  if (bevelOuter_ == value) return;
  bevelOuter_ = value;
  Changed();
}

void TPanel::SetBevelInner(TPanelBevel value) {
  if (bevelInner_ == value) return;
  bevelInner_ = value;
  Changed();
}

void TPanel::SetBevelWidth(int value) {
  if (bevelWidth_ == value) return;
  bevelWidth_ = value;
  Changed();
}

}  // namespace tovin::ui
