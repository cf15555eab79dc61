// The controls' own rules: who receives a click, radio groups, check lists, list selection,
// auto-sized labels, progress fractions, change events, and how a form lists its controls.
#include <climits>
#include <memory>

#include "tests/ui/ui_fixture.h"

namespace tovin::ui::test {
namespace {

class Controls : public UiTest {
 protected:
  TForm form{app, "form"};
  void SetUp() override { form.Show(); }
};

TEST_F(Controls, AClickReachesOnlyAControlAUserCouldPress) {
  TPageBook book(form, "book", {"page1", "page2"});
  TPanel panel(book.Page(0), "panel");
  TButton button(panel, "button");
  TButton onSecondPage(book.Page(1), "onSecondPage");
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  onSecondPage.OnClick = [&] { ++clicks; };

  struct Case {
    const char* name;
    std::function<void()> change, undo;
  } cases[] = {
      {"button hidden", [&] { button.Hide(); }, [&] { button.Show(); }},
      {"button disabled", [&] { button.SetEnabled(false); }, [&] { button.SetEnabled(true); }},
      {"parent hidden", [&] { panel.Hide(); }, [&] { panel.Show(); }},
      {"parent disabled", [&] { panel.SetEnabled(false); }, [&] { panel.SetEnabled(true); }},
      {"page not current", [&] { book.SetPageIndex(1); }, [&] { book.SetPageIndex(0); }},
      {"form hidden", [&] { form.Hide(); }, [&] { form.Show(); }},
  };
  for (const Case& c : cases) {
    c.change();
    EXPECT_FALSE(button.Click()) << c.name;
    EXPECT_FALSE(button.DblClick()) << c.name;
    EXPECT_EQ(clicks, 0) << c.name;
    c.undo();
  }
  EXPECT_TRUE(button.Click());
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(onSecondPage.Click());
  book.SetPageIndex(1);
  EXPECT_TRUE(onSecondPage.Click());
  EXPECT_EQ(clicks, 2);
}

TEST_F(Controls, RadioButtonsOfOneParentFormOneGroup) {
  TPanel page5(form, "page5"), page4(form, "page4");
  TRadioButton launch(page5, "RadioButton1"), back(page5, "RadioButton2"), reboot(page5, "reboot");
  TCheckBox unrelated(page5, "unrelated");
  TRadioButton full(page4, "full"), min(page4, "min");
  int clicks = 0;
  back.OnClick = [&] { ++clicks; };

  full.SetChecked(true);
  launch.SetChecked(true);
  reboot.SetChecked(true);
  EXPECT_FALSE(launch.Checked());
  EXPECT_TRUE(reboot.Checked());
  EXPECT_TRUE(full.Checked()) << "another parent is another group";
  min.SetChecked(true);
  EXPECT_FALSE(full.Checked());
  EXPECT_TRUE(reboot.Checked());

  reboot.SetChecked(false);
  EXPECT_FALSE(launch.Checked());
  EXPECT_FALSE(back.Checked()) << "unchecking checks nothing else";
  EXPECT_EQ(clicks, 0) << "setting raises no event";

  EXPECT_TRUE(back.Click());
  EXPECT_TRUE(back.Checked());
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(back.Click());
  EXPECT_TRUE(back.Checked()) << "a click never unchecks a radio button";
  EXPECT_EQ(clicks, 2);
}

TEST_F(Controls, ACheckBoxClickTogglesAndThenRaisesOnClick) {
  TCheckBox box(form, "CheckBox1");
  std::vector<bool> seen;
  box.OnClick = [&] { seen.push_back(box.Checked()); };
  box.Click();
  box.Click();
  box.SetChecked(true);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  EXPECT_TRUE(box.Checked());
}

TEST_F(Controls, CheckListItemsCarryTheirOwnCheck) {
  TCheckListBox dk(form, "DK");
  dk.SetItems({"Program", "Readme"});
  dk.SetChecked(0, true);
  dk.Add("Help");
  EXPECT_TRUE(dk.Checked(0));
  EXPECT_FALSE(dk.Checked(1));
  EXPECT_FALSE(dk.Checked(2)) << "a new item starts unchecked";

  int clicks = 0;
  dk.OnClickCheck = [&] { ++clicks; };
  EXPECT_TRUE(dk.ClickCheck(2));
  EXPECT_TRUE(dk.Checked(2));
  dk.SetEnabled(false);
  EXPECT_FALSE(dk.ClickCheck(2));
  EXPECT_TRUE(dk.Checked(2));
  EXPECT_EQ(clicks, 1);

  for (int bad : {-1, 3}) {
    try {
      dk.SetChecked(bad, true);
      ADD_FAILURE() << bad;
    } catch (const EListIndexError& e) {
      EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
    }
    EXPECT_THROW(dk.Checked(bad), EListIndexError);
  }

  dk.SetItems({"Other", "Items", "Here"});
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(dk.Checked(i)) << "replaced items start unchecked: " << i;
  dk.Clear();
  EXPECT_THROW(dk.Checked(0), EListIndexError);
}

TEST_F(Controls, AListBoxSelectionIsAnItemOrNone) {
  TListBox folders(form, "Folders");
  EXPECT_EQ(folders.ItemIndex(), -1);
  folders.SetItems({"Accessories", "Games", "StartUp"});
  struct {
    int set, expected;
  } cases[] = {{1, 1}, {2, 2}, {3, -1}, {0, 0}, {-5, -1}};
  for (const auto& c : cases) {
    folders.SetItemIndex(c.set);
    EXPECT_EQ(folders.ItemIndex(), c.expected) << c.set;
  }
  folders.SetItemIndex(2);
  folders.Add("Tools");
  EXPECT_EQ(folders.ItemIndex(), 2) << "adding keeps the selection";
  folders.SetItems({"Accessories"});
  EXPECT_EQ(folders.ItemIndex(), -1) << "replacing the items clears it";
}

TEST(FontMetric, PointsToPixelsAtNinetySixDotsPerInch) {
  struct {
    int32_t points;
    int pixels;
  } cases[] = {{8, 11}, {10, 13}, {26, 35}, {40, 53}, {1, 1}, {0, 0}, {-8, 11}, {INT32_MAX, 32767}, {INT32_MIN, 32767}};
  for (const auto& c : cases) EXPECT_EQ(FontPixelHeight(c.points), c.pixels) << c.points;
}

TEST_F(Controls, AnAutoSizedLabelFollowsItsTextAndFont) {
  TShadowLabel header(form, "Setup_Header");
  TShadowLabel header2(form, "Setup_Header2");
  header.SetShadowSize(2);
  header.SetFont({"Impact", 26, clBlack});
  header.SetText("Tovin - Brastow 32Bit");
  EXPECT_EQ(header.Height(), 35 + 2 + 2);
  EXPECT_EQ(header.Width(), 21 * 18 + 2);

  // The layout the background window does on resize: the second line sits below the first.
  auto layout = [&] {
    header.SetTop(1);
    header2.SetTop(header.Top() + header.Height() + 2);
  };
  layout();
  int before = header2.Top();
  header.SetFont({"Impact", 40, clBlack});
  layout();
  EXPECT_EQ(header2.Top(), before + (53 - 35));

  header.SetWidth(5);
  header.SetLeft(8);
  EXPECT_EQ(header.Width(), 21 * 27 + 2) << "an auto-sized label keeps its own size";
  EXPECT_EQ(header.Left(), 8);

  TLabel credit(form, "Setup_Credit");
  credit.SetText("credit");
  EXPECT_EQ(credit.Height(), 13) << "8-point default font";
  credit.SetAutoSize(false);
  credit.SetBounds(0, 700, 1024, 20);
  credit.SetText("a much longer credit line");
  EXPECT_EQ(credit.Width(), 1024);
  EXPECT_EQ(credit.Height(), 20);
  credit.SetAutoSize(true);
  EXPECT_EQ(credit.Height(), 13);
}

TEST(ProgressFraction, ClampsWhatIsDrawnNotWhatIsSet) {
  struct {
    int min, max, position;
    double fraction;
  } cases[] = {
      {0, 100, 0, 0.0}, {0, 100, 50, 0.5}, {0, 100, 100, 1.0}, {0, 100, 250, 1.0}, {0, 100, -3, 0.0},
      {0, 11, 11, 1.0}, {0, 11, 14, 1.0},  {10, 20, 15, 0.5},  {0, 0, 0, 1.0},     {0, 0, -1, 0.0},
      {5, 2, 4, 1.0},   {5, 2, 1, 0.0},    {INT_MIN, INT_MAX, INT_MAX, 1.0},
  };
  THeadlessBackend backend;
  TApplication app(backend);
  TForm form(app, "form");
  TProgressBar bar(form, "ProgressBar2");
  for (const auto& c : cases) {
    bar.SetRange(c.min, c.max);
    bar.SetPosition(c.position);
    EXPECT_EQ(bar.Position(), c.position);
    EXPECT_DOUBLE_EQ(bar.Fraction(), c.fraction) << c.min << ".." << c.max << " at " << c.position;
  }
}

TEST_F(Controls, AnEditReportsEveryChangeOfItsText) {
  TEdit edit(form, "Edit1");
  std::vector<std::string> seen;
  edit.OnChange = [&] { seen.push_back(edit.Text()); };
  edit.SetText("C:\\Program Files");
  edit.SetText("C:\\Program Files");
  edit.SetCaption("D:\\");
  EXPECT_EQ(seen, (std::vector<std::string>{"C:\\Program Files", "D:\\"}));
}

TEST_F(Controls, AFormListsItsControlsInCreationOrder) {
  TPageBook book(form, "Notebook1", {"page1", "Page2"});
  TMemo memo(book.Page(0), "Memo1");
  TPanel bar(form, "Panel1");
  TButton cancel(bar, "cancel"), next(bar, "next");
  auto late = std::make_unique<TLabel>(book.Page(1), "Label3");
  auto names = [&] {
    std::vector<std::string> out;
    for (TControl* c : form.AllControls()) out.push_back(c->Name().empty() ? c->Caption() : c->Name());
    return out;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"Notebook1", "page1", "Memo1", "Page2", "Label3", "Panel1", "cancel",
                                               "next"}));
  EXPECT_EQ(form.FindControl("next"), &next);
  EXPECT_EQ(form.FindControl("missing"), nullptr);
  EXPECT_EQ(next.Form(), &form);
  EXPECT_EQ(memo.Parent(), &book.Page(0));
  late.reset();
  EXPECT_EQ(names(), (std::vector<std::string>{"Notebook1", "page1", "Memo1", "Page2", "Panel1", "cancel", "next"}));
  EXPECT_EQ(memo.Font(), form.Font()) << "a control starts with its parent's font";
}

}  // namespace
}  // namespace tovin::ui::test
