// The terminal backend's own rules: cells from pixels, colours for the terminal, the gradient's
// rows, and what a person at the keyboard sees and does (on a pseudo-terminal).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "tests/support/pseudo_terminal.h"
#include "platform/platform.h"
#include "ui/terminal/cell_geometry.h"
#include "ui/terminal/curses_screen.h"
#include "ui/terminal/gradient_cells.h"
#include "ui/terminal/terminal_backend.h"
#include "ui/terminal/terminal_colors.h"
#include "ui/ui.h"

namespace tovin::ui::terminal {
namespace {

TEST(CellRule, EdgesGoToTheNearestCellBoundaryHalvesUp) {
  struct Case {
    int pixels, column, row;
  } cases[] = {{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {8, 1, 1}, {7, 1, 0}, {-3, 0, 0}, {-4, -1, 0}, {-9, -1, -1}, {124, 21, 8}};
  for (const Case& c : cases) {
    EXPECT_EQ(ColumnOf(c.pixels), c.column) << c.pixels;
    EXPECT_EQ(RowOf(c.pixels), c.row) << c.pixels;
  }
  EXPECT_EQ(CellTextExtent("Next"), (TSize{24, 16})) << "one cell a character, whatever the font";
}

TEST(TerminalColors, EachModeGetsTheNearestColourItHas) {
  struct Case {
    uint32_t rgb;  // 0x00BBGGRR
    TColorMode mode;
    bool text;
    TTermColor expected;
  } cases[] = {
      {0x800000, cmDirect, true, {0x000080, false}},  // navy
      {0x050000, cmDirect, false, {0, false}},        // 1..7 would be the terminal's own colours
      {0x123456, cmDirect, false, {0x563412, false}},
      {0x800000, cm256, false, {16 + 2, false}},      // the cube's 135 is nearest to 128
      {0x808080, cm256, true, {232 + 12, false}},     // the grey ramp's 128
      {0xC0C0C0, cm8, false, {7, false}},             // a grey face: the light grey of eight
      {0x808080, cm8, true, {0, true}},               // grey text: bright black
      {0xFFFFFF, cm8, true, {7, true}},
      {0x800000, cm8, false, {4, false}},
      {0xC0C0C0, cmMono, false, {7, false}},
  };
  for (const Case& c : cases) {
    TTermColor got = c.text ? TextColor(c.rgb, c.mode) : BackgroundColor(c.rgb, c.mode);
    EXPECT_EQ(got, c.expected) << std::hex << c.rgb << " mode " << c.mode;
  }
  EXPECT_TRUE(AnnouncesTrueColor("truecolor"));
  EXPECT_TRUE(AnnouncesTrueColor("24bit"));
  EXPECT_FALSE(AnnouncesTrueColor("yes"));
  EXPECT_EQ(ModeForColors(0x1000000, true), cmDirect);
  EXPECT_EQ(ModeForColors(256, false), cm256);
  EXPECT_EQ(ModeForColors(8, false), cm8);
  EXPECT_EQ(ModeForColors(2, false), cmMono);
}

TEST(GradientCells, TheFirstAndLastRowsShowTheFirstAndLastBandsExactly) {
  struct Case {
    TFountainStyle style;
    int steps, columns, rows;
  } cases[] = {{fsHorizontal, 255, 120, 40}, {fsHorizontal, 255, 80, 24}, {fsHorizontal, 3, 10, 7}, {fsVertical, 20, 50, 5}};
  const uint32_t from = 0x800000, to = 0x000000;
  for (const Case& c : cases) {
    std::vector<TGradientShape> shapes;
    int width = c.columns * kCellWidth, height = c.rows * kCellHeight;
    for (int i = 0; i < c.steps; ++i) {
      TBandBounds b = BandBounds(c.style, i, c.steps, width, height);
      shapes.push_back({false, b.Left, b.Top, b.Right, b.Bottom, BandColor(from, to, i, c.steps), true});
    }
    std::vector<uint32_t> cells = GradientCells(shapes, width, height, c.columns, c.rows);
    bool rows = c.style == fsHorizontal;
    int lastCell = rows ? (c.rows - 1) * c.columns : c.columns - 1;
    EXPECT_EQ(cells.front(), from);
    EXPECT_EQ(cells[static_cast<size_t>(lastCell)], to);
    // Darker down the screen (or to the right), never lighter.
    for (int i = 1; i < (rows ? c.rows : c.columns); ++i) {
      size_t here = static_cast<size_t>(rows ? i * c.columns : i), before = static_cast<size_t>(rows ? (i - 1) * c.columns : i - 1);
      EXPECT_LE(cells[here] >> 16, cells[before] >> 16);
    }
  }
}

// A person at a terminal: the setup's kinds of windows on a pseudo-terminal, driven by keys.
class AtTheKeyboard : public ::testing::Test {
 protected:
  AtTheKeyboard() : terminal(100, 30), backend({terminal.Screen(), terminal.Keyboard(), "xterm-256color", "-"}), app(backend) {}
  // Types keys and lets the loop of form take them; then closes form.
  void Keys(const std::string& bytes) {
    terminal.Type(bytes);
    backend.TakeKeys();
  }
  std::string Row(int row) const { return backend.Canvas().RowText(row); }
  int FindRow(const std::string& text) const {
    for (int r = 0; r < backend.Canvas().Rows(); ++r)
      if (Row(r).find(text) != std::string::npos) return r;
    return -1;
  }

  tovin::test::TPseudoTerminal terminal;
  TTerminalBackend backend;
  TApplication app;
};

class TWizardLike : public TForm {
 public:
  explicit TWizardLike(TApplication& app) : TForm(app, "Wizard") {
    SetCaption("Tovin32 - Setup");
    SetBorderStyle(bsToolWindow);
    SetPosition(poScreenCenter);
    SetClientSize(480, 240);
    memo.SetBounds(8, 8, 460, 100);
    memo.SetReadOnly(true);
    memo.SetScrollBars(ssVertical);
    std::vector<std::string> lines;
    for (int i = 1; i <= 20; ++i) lines.push_back("Licence line " + std::to_string(i));
    memo.SetLines(lines);
    edit.SetBounds(8, 120, 220, 21);
    edit.SetText("C:\\Program Files");
    choices.SetBounds(240, 120, 220, 60);
    choices.SetItems({"Tovin Notepad", "Notepad Help"});
    choices.SetChecked(0, true);
    choices.SetChecked(1, true);
    next.SetCaption("&Next");
    next.SetModalResult(mrOk);
    next.SetBounds(390, 200, 75, 25);
  }
  TMemo memo{*this, "memo"};
  TEdit edit{*this, "edit"};
  TCheckListBox choices{*this, "choices"};
  TButton next{*this, "next"};
};

TEST_F(AtTheKeyboard, KeysTypeScrollTickAndPressAsTheScreenShows) {
  TWizardLike form(app);
  std::vector<std::string> changes;
  form.edit.OnChange = [&] { changes.push_back(form.edit.Text()); };
  // Each turn acts; the next one reads the screen the loop painted before it came idle.
  int turn = 0;
  backend.OnIdle = [&](TForm*, const TMessageRequest*) {
    switch (++turn) {
      case 1:
        EXPECT_GE(FindRow("Tovin32 - Setup"), 0) << "the caption is in the frame";
        EXPECT_GE(FindRow("Licence line 1 "), 0);
        EXPECT_EQ(form.ActiveControl(), &form.memo) << "the first tab stop";
        Keys("\x1b[6~");  // PgDn
        return true;
      case 2:
        EXPECT_LT(FindRow("Licence line 1 "), 0) << "the licence moved on by what it shows less a line";
        EXPECT_GE(FindRow("Licence line 6 "), 0);
        Keys("\t");  // the edit: its text is selected, typing replaces it
        Keys("D:\\x");
        Keys("\x7f");  // Backspace
        EXPECT_EQ(form.edit.Text(), "D:\\");
        Keys("\t ");  // the check list: Space ticks the first item off
        EXPECT_FALSE(form.choices.Checked(0));
        Keys("\x1bOB ");  // Down (as the terminal sends it in keypad mode), Space
        EXPECT_FALSE(form.choices.Checked(1));
        return true;
      case 3:
        EXPECT_GE(FindRow("[ ] Notepad Help"), 0);
        EXPECT_GE(FindRow("D:\\"), 0);
        Keys("n");  // the plain letter of &Next, no edit having the focus
        return true;
      default:
        ADD_FAILURE() << "Next did not end the run";
        return form.next.Click();
    }
  };
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(changes, (std::vector<std::string>{"D", "D:", "D:\\", "D:\\x", "D:\\"}));
}

TEST_F(AtTheKeyboard, ATerminalResizedInTheMiddlePlacesTheWindowsAgainOrSaysItIsTooSmall) {
  TForm main(app, "Main");
  main.SetBorderStyle(bsNone);
  main.SetWindowState(wsMaximized);
  TWizardLike dialog(app);
  std::vector<TSize> mainSizes;
  main.OnResize = [&] { mainSizes.push_back({main.Width(), main.Height()}); };
  int turn = 0;
  backend.OnIdle = [&](TForm* loop, const TMessageRequest*) {
    if (loop == &main) {
      main.Show();
      dialog.ShowModal();
      main.Close();
      return true;
    }
    switch (++turn) {
      case 1: terminal.SetSize(60, 20); return true;
      case 2:
        EXPECT_GE(FindRow("The terminal is too small for the window"), 0);
        EXPECT_GE(FindRow("it needs 82 x 17 cells and has 60 x 20."), 0);
        Keys("n");
        EXPECT_EQ(dialog.ModalResult(), mrNone) << "keys do not reach a window nobody sees";
        terminal.SetSize(90, 24);
        return true;
      default:
        EXPECT_LT(FindRow("too small"), 0);
        EXPECT_EQ(dialog.Left(), (90 * kCellWidth - dialog.Width()) / 2);
        return dialog.next.Click();
    }
  };
  app.Run(main);
  EXPECT_EQ(mainSizes.back(), (TSize{90 * kCellWidth, 24 * kCellHeight}));
  EXPECT_EQ(mainSizes.size(), 3u) << "shown at 100 x 30, then 60 x 20, then 90 x 24";
}

// A second Ctrl+C ends the process at once, without the clean-up that gives the terminal back:
// the terminal still leaves full-screen mode with the modes it had.
TEST(TerminalHardStopDeathTest, ASecondInterruptLeavesFullScreenAndPutsTheModesBack) {
  tovin::test::TPseudoTerminal terminal(80, 24);
  std::string before = terminal.Modes();
  EXPECT_EXIT(
      {
        plat::CatchInterrupts();
        TCursesScreen screen({terminal.Screen(), terminal.Keyboard(), "xterm", "-"});
        if (terminal.Modes() == before) std::_Exit(2);  // curses has the terminal now
        std::raise(SIGINT);
        std::raise(SIGINT);
        std::_Exit(3);
      },
      ::testing::ExitedWithCode(128 + SIGINT), "");
  EXPECT_EQ(terminal.Modes(), before);
  for (int i = 0; i < 100 && terminal.Tail().find("\x1b[?1049l") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_NE(terminal.Tail().find("\x1b[?1049l"), std::string::npos) << "xterm's rmcup";
}

}  // namespace
}  // namespace tovin::ui::terminal
