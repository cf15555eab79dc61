#include "ui/list_box.h"

namespace tovin::ui {

TListBox::TListBox(TControl& parent, std::string name) : TControl(parent, std::move(name)) { SetColor(clWindow); }

void TListBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  ItemsChanged(0);
  Changed(prItems);
}

void TListBox::Add(const std::string& item) {
  items_.push_back(item);
  ItemsChanged(items_.size() - 1);
  Changed(prItems);
}

void TListBox::SetItemIndex(int index) {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) index = -1;
  Assign(itemIndex_, index, prItemIndex);
}

}  // namespace tovin::ui
