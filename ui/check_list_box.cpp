#include "ui/check_list_box.h"

#include "ui/ui_errors.h"

namespace tovin::ui {

TCheckListBox::TCheckListBox(TControl& parent, std::string name) : TListBox(parent, std::move(name)) {}

size_t TCheckListBox::CheckIndex(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= Items().size()) throw EListIndexError(ListIndexMessage(index));
  return static_cast<size_t>(index);
}

bool TCheckListBox::Checked(int index) const { return checked_[CheckIndex(index)]; }

void TCheckListBox::SetChecked(int index, bool value) {
  size_t at = CheckIndex(index);
  if (checked_[at] == value) return;
  checked_[at] = value;
  Changed(prChecked);
}

bool TCheckListBox::ClickCheck(int index) {
  size_t at = CheckIndex(index);
  if (!AcceptsInput()) return false;
  SetChecked(index, !checked_[at]);
  Raise(OnClickCheck);
  return true;
}

void TCheckListBox::ItemsChanged(size_t kept) {
  checked_.resize(kept);
  checked_.resize(Items().size(), false);
}

}  // namespace tovin::ui
