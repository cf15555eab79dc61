// The page book: which requests it ignores, and that every accepted change is reported at once,
// also a change made from inside the report.
#include "tests/ui/ui_fixture.h"

namespace tovin::ui::test {
namespace {

class PageBook : public UiTest {
 protected:
  TForm form{app, "Tovin"};
  TPageBook book{form, "Notebook1", {"page1", "Page2", "Page3", "Page4", "installtype", "Page5", "install"}};
  std::vector<int> reported;
  void SetUp() override {
    book.OnPageChanged = [this] { reported.push_back(book.PageIndex()); };
  }
};

TEST_F(PageBook, TheCurrentPageOrOneOutsideIsIgnored) {
  book.SetPageIndex(3);
  reported.clear();
  for (int index : {3, -1, 7, 100}) {
    book.SetPageIndex(index);
    EXPECT_EQ(book.PageIndex(), 3) << index;
  }
  EXPECT_TRUE(reported.empty());
}

TEST_F(PageBook, EveryAcceptedChangeIsReportedBeforeTheSetterReturns) {
  EXPECT_EQ(book.PageIndex(), 0);
  EXPECT_EQ(book.ActivePage(), "page1");
  for (int index : {1, 2, 1, 6, 0}) {
    size_t before = reported.size();
    book.SetPageIndex(index);
    ASSERT_EQ(reported.size(), before + 1) << index;
    EXPECT_EQ(reported.back(), index);
    for (int i = 0; i < book.PageCount(); ++i) EXPECT_EQ(book.Page(i).Visible(), i == index) << index << "/" << i;
  }
  book.SetPageIndex(4);
  EXPECT_EQ(book.ActivePage(), "installtype");
}

TEST_F(PageBook, AHandlerMayChangeThePageAgain) {
  // A step that arrives at page 1 and skips on to page 2, as the wizard skips an empty licence.
  std::vector<std::string> log;
  book.OnPageChanged = [&] {
    int index = book.PageIndex();
    log.push_back("changed to " + std::to_string(index));
    if (index == 1) {
      book.SetPageIndex(2);
      log.push_back("skip returned on " + std::to_string(book.PageIndex()));
    }
  };
  book.SetPageIndex(1);
  log.push_back("caller sees " + std::to_string(book.PageIndex()));
  EXPECT_EQ(log, (std::vector<std::string>{"changed to 1", "changed to 2", "skip returned on 2", "caller sees 2"}));
  EXPECT_FALSE(book.Page(1).Visible());
  EXPECT_TRUE(book.Page(2).Visible());
}

TEST_F(PageBook, PagesOutsideTheBookAreAnError) {
  for (int bad : {-1, 7}) {
    try {
      book.Page(bad);
      ADD_FAILURE() << bad;
    } catch (const EListIndexError& e) {
      EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
    }
  }
  TPageBook empty(form, "empty", {});
  empty.OnPageChanged = [&] { reported.push_back(-100); };
  empty.SetPageIndex(0);
  EXPECT_EQ(empty.PageIndex(), -1);
  EXPECT_EQ(empty.ActivePage(), "");
  EXPECT_TRUE(reported.empty());
}

}  // namespace
}  // namespace tovin::ui::test
