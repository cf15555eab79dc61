// TListBox: a list of text items with at most one selected.
#pragma once
#include <string>
#include <vector>

#include "ui/control.h"

namespace tovin::ui {

class TListBox : public TControl {
 public:
  TListBox(TControl& parent, std::string name);

  const std::vector<std::string>& Items() const { return items_; }
  // Replacing or clearing the items also clears the selection.
  void SetItems(std::vector<std::string> items);
  void Clear() { SetItems({}); }
  void Add(const std::string& item);

  // -1 when no item is selected.
  int ItemIndex() const { return itemIndex_; }
  // An index outside the items clears the selection (-1), as the list control does.
  void SetItemIndex(int index);
  bool Focusable() const override { return true; }

 protected:
  // The items from index `kept` on are new (0 after SetItems).
  virtual void ItemsChanged(size_t kept) { (void)kept; }

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

}  // namespace tovin::ui
