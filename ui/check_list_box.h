// TCheckListBox: a list box whose items each carry a check box. New items start unchecked.
#pragma once
#include <vector>

#include "ui/list_box.h"

namespace tovin::ui {

class TCheckListBox : public TListBox {
 public:
  TCheckListBox(TControl& parent, std::string name);

  // An index outside the items raises EListIndexError "List index out of bounds (%d)".
  bool Checked(int index) const;
  void SetChecked(int index, bool value);  // raises no event
  // A user's click on an item's box: toggles it and raises OnClickCheck when the list accepts
  // input; returns whether it did.
  bool ClickCheck(int index);

  TNotifyEvent OnClickCheck;

 protected:
  void ItemsChanged(size_t kept) override;

 private:
  size_t CheckIndex(int index) const;
  std::vector<bool> checked_;
};

}  // namespace tovin::ui
