// TPanel: a container with a bevelled frame (outer raised, no inner bevel, 1 pixel at first).
#pragma once
#include "ui/control.h"

namespace tovin::ui {

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public TControl {
 public:
  TPanel(TControl& parent, std::string name);

  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel value);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);

 private:
  TPanelBevel bevelOuter_ = bvRaised;
  TPanelBevel bevelInner_ = bvNone;
  int bevelWidth_ = 1;
};

}  // namespace tovin::ui
