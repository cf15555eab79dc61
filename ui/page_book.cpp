#include "ui/page_book.h"

#include "ui/ui_errors.h"

namespace tovin::ui {

TPage::TPage(TPageBook& book, std::string caption) : TControl(book, "") {
  SetCaption(caption);
  ParentResized();
}

void TPage::ParentResized() {
  TSize book = Parent() ? Parent()->ClientSize() : TSize{};
  SetBounds(0, 0, book.Width, book.Height);
}

TPageBook::TPageBook(TControl& parent, std::string name, const std::vector<std::string>& pageCaptions)
    : TControl(parent, std::move(name)) {
  for (const std::string& caption : pageCaptions) {
    pages_.push_back(std::make_unique<TPage>(*this, caption));
    pages_.back()->SetVisible(pages_.size() == 1);
  }
  if (!pages_.empty()) pageIndex_ = 0;
}

TPageBook::~TPageBook() = default;

TPage& TPageBook::Page(int index) const {
  if (index < 0 || index >= PageCount()) throw EListIndexError(ListIndexMessage(index));
  return *pages_[static_cast<size_t>(index)];
}

void TPageBook::SetPageIndex(int index) {
  if (index == pageIndex_ || index < 0 || index >= PageCount()) return;
  Page(pageIndex_).SetVisible(false);
  pageIndex_ = index;
  Page(index).SetVisible(true);
  Changed(prPageIndex);
  Raise(OnPageChanged);
}

std::string TPageBook::ActivePage() const { return pageIndex_ < 0 ? std::string() : Page(pageIndex_).Caption(); }

}  // namespace tovin::ui
