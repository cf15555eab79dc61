// TPageBook: a stack of pages of which one is shown. Each page is a container control: the
// controls of page i are made with Page(i) as their parent.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ui/control.h"

namespace tovin::ui {

class TPageBook;

// A page always fills its book.
class TPage : public TControl {
 public:
  TPage(TPageBook& book, std::string caption);

 protected:
  void ParentResized() override;
};

class TPageBook : public TControl {
 public:
  // One page per caption, in order; page 0 is current (PageIndex -1 when there are none).
  TPageBook(TControl& parent, std::string name, const std::vector<std::string>& pageCaptions);
  ~TPageBook() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Raises EListIndexError "List index out of bounds (%d)" outside 0 .. PageCount - 1.
  TPage& Page(int index) const;
  int PageIndex() const { return pageIndex_; }
  // Selecting the current page or an index outside the pages does nothing. Any other index
  // becomes current and OnPageChanged is raised at once, before this returns; a handler that
  // selects another page raises it again from inside.
  void SetPageIndex(int index);
  // Caption of the current page; empty when there are no pages.
  std::string ActivePage() const;

  TNotifyEvent OnPageChanged;

 private:
  std::vector<std::unique_ptr<TPage>> pages_;
  int pageIndex_ = -1;
};

}  // namespace tovin::ui
