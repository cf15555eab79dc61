// Geometry (client sizes, pages, placement, labels wider than their parent) and the keyboard
// (tab order, focus that must move, default and cancel buttons, accelerators).
#include "tests/ui/behaviour/behaviour_suite.h"

namespace tovin::ui::test {

TEST_P(Geometry, ClientSizesPagesAndAMaximizedFormAreRightBeforeTheFirstPaint) {
  TProbe dialog(app);
  EXPECT_EQ(dialog.ClientWidth(), 300);
  EXPECT_EQ(dialog.ClientHeight(), 200);
  TFrame frame = recorder.FrameOf(dialog);
  EXPECT_EQ(dialog.Width(), 300 + frame.Left + frame.Right);

  TPageBook book(dialog, "book", {"one", "two"});
  book.SetBounds(0, 0, 300, 150);
  EXPECT_EQ(book.Page(1).Width(), 300);
  EXPECT_EQ(book.Page(1).Height(), 150);
  book.SetHeight(120);
  EXPECT_EQ(book.Page(0).Height(), 120) << "pages follow their book";

  TForm main(app, "Main");
  main.SetBorderStyle(bsNone);
  main.SetWindowState(wsMaximized);
  TSize screen = recorder.ScreenSize();
  std::vector<int> widthAtShow;
  main.OnShow = [&] { widthAtShow.push_back(main.Width()); };
  main.Show();
  EXPECT_EQ(widthAtShow, std::vector<int>{screen.Width});
  EXPECT_EQ(recorder.shownSizes.back(), screen) << "the backend first shows it at its size";
  main.Hide();
}

TEST_P(Geometry, ALabelWiderThanItsParentWrapsAndStaysInside) {
  TProbe form(app);
  TPanel panel(form, "panel");
  panel.SetBounds(0, 0, 200, 100);
  TLabel label(panel, "label");
  label.SetLeft(8);
  std::string text = "You must select Accept or Decline to Continue with installation.";
  label.SetCaption(text);
  EXPECT_GT(label.Lines().size(), 1u);
  EXPECT_LE(label.Left() + label.Width(), 200);
  TSize one = recorder.TextExtent(label.Font(), label.Lines().front());
  EXPECT_EQ(label.Height(), one.Height * static_cast<int>(label.Lines().size()));
  std::string joined;
  for (const std::string& line : label.Lines()) joined += (joined.empty() ? "" : " ") + line;
  EXPECT_EQ(joined, text) << "wrapping loses no word";
  panel.SetWidth(1000);
  EXPECT_EQ(label.Lines().size(), 1u) << "a wider parent unwraps it";
  EXPECT_EQ(label.Width(), recorder.TextExtent(label.Font(), text).Width) << "the backend measures the text";
}

TEST_P(Geometry, AfterTheScreenChangesMaximizedAndCentredFormsArePlacedAgain) {
  TProbe dialog(app);
  dialog.SetPosition(poScreenCenter);
  TForm main(app, "Main");
  main.SetWindowState(wsMaximized);
  main.Show();
  dialog.Show();
  // A size every backend can take: a terminal's screen is a whole number of cells.
  const TSize screen{816, 608};
  if (!harness->ResizeScreen(screen)) GTEST_SKIP() << "this backend's screen has a fixed size";
  app.ScreenChanged();
  EXPECT_EQ(main.Width(), screen.Width);
  EXPECT_EQ(main.Height(), screen.Height);
  EXPECT_EQ(dialog.Left(), (screen.Width - dialog.Width()) / 2);
  EXPECT_EQ(dialog.Top(), (screen.Height - dialog.Height()) / 2);
  dialog.Hide();
  main.Hide();
}

TEST_P(Focus, TabWalksTheStopsInCreationOrderAndAFocusThatCannotStayMovesOn) {
  TProbe form(app);
  TRadioButton first(form, "first"), second(form, "second");
  second.SetChecked(true);
  std::vector<std::string> walk;
  harness->WhenIdle([&](TForm&) {
    walk.push_back(form.ActiveControl() ? form.ActiveControl()->Name() : "none");
    if (walk.size() < 6) {
      harness->Press(form, {walk.size() < 5 ? TKeyPress::kTab : TKeyPress::kShiftTab});
      return true;
    }
    form.check.SetFocus();
    form.check.Hide();
    walk.push_back(form.ActiveControl()->Name());
    form.ok.SetFocus();
    form.ok.SetEnabled(false);
    walk.push_back(form.ActiveControl()->Name());
    return form.cancel.Click();
  });
  form.ShowModal();
  EXPECT_EQ(walk, (std::vector<std::string>{"edit", "check", "ok", "cancel", "second", "cancel", "ok", "cancel"}));
}

TEST_P(Focus, EnterEscapeAndAcceleratorsPressTheirButtons) {
  struct Case {
    const char* name;
    TKeyPress key;
    bool focusCheck;
    TModalResult result;
    bool checked;
  } cases[] = {
      {"Enter presses the default button", {TKeyPress::kEnter}, false, mrOk, false},
      {"Escape presses the cancel button", {TKeyPress::kEscape}, false, mrCancel, false},
      {"Alt+C presses &Cancel", {TKeyPress::kAlt, 'c'}, false, mrCancel, false},
  };
  for (const Case& c : cases) {
    TProbe form(app);
    harness->WhenIdle([&](TForm&) {
      harness->Press(form, {TKeyPress::kAlt, 'R'});  // &Remember: ticks the box, the run goes on
      harness->Press(form, c.key);
      return true;
    });
    EXPECT_EQ(form.ShowModal(), c.result) << c.name;
    EXPECT_TRUE(form.check.Checked()) << c.name;
  }
}

TEST_P(Focus, ALabelShowsADoubledAmpersandAndPassesItsAcceleratorOn) {
  TProbe form(app);
  TLabel path(form, "path"), prompt(form, "prompt");
  TEdit field(form, "field");
  path.SetCaption("C:\\Tom && Jerry");
  EXPECT_EQ(path.ShownText(), "C:\\Tom & Jerry");
  EXPECT_EQ(path.Accelerator(), 0);
  path.SetShowAccelChar(false);
  path.SetCaption("C:\\R&D");
  EXPECT_EQ(path.ShownText(), "C:\\R&D");
  EXPECT_EQ(path.Accelerator(), 0) << "a path is not an accelerator";
  prompt.SetCaption("&Name:");
  harness->WhenIdle([&](TForm&) {
    harness->Press(form, {TKeyPress::kAlt, 'n'});
    EXPECT_EQ(form.ActiveControl(), &field);
    return form.ok.Click();
  });
  form.ShowModal();
}

}  // namespace tovin::ui::test
