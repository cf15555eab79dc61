// TPainter: draws the forms of the model into the cell canvas, one function per kind of
// control. Forms with a frame get a one-cell border whose top line is the caption bar (lit
// while the form takes input); children are painted within their parent's client area,
// those without a window of their own first, as the window system stacks them.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/fountain_fill.h"
#include "ui/terminal/cell_canvas.h"
#include "ui/terminal/theme.h"
#include "ui/terminal/view_state.h"

namespace tovin::ui {
class TLabel;
class TMemo;
class TListBox;
}  // namespace tovin::ui

namespace tovin::ui::terminal {

struct TCursorPlace {
  int Column = 0, Row = 0;
};

// A memo's lines as shown in width cells: wrapped at blanks when it wraps (a word wider than
// the width is cut into pieces), else as they are.
std::vector<std::string> MemoDisplayLines(const TMemo& memo, int width);

class TPainter {
 public:
  TPainter(TCellCanvas& canvas, const TBackend& backend, TViewStates& views)
      : canvas_(canvas), backend_(backend), views_(views) {}

  // Starts a frame: the theme is read again (system colours may change).
  void BeginFrame();
  const TTheme& Theme() const { return theme_; }
  // Paints form. active: it takes input now (its focus and caption show that).
  void PaintForm(const TForm& form, bool active);
  // In place of a form the screen cannot hold: a clear message of what it needs.
  void PaintTooSmall(const TForm& form);
  // Whether the screen holds form whole.
  bool Fits(const TForm& form) const;
  // The caret of a focused edit of the active form, when one was painted.
  std::optional<TCursorPlace> Cursor;

  void Forget(const TControl& control) { gradients_.erase(&control); }

 private:
  struct Gradient {
    std::vector<TGradientShape> shapes;
    int columns = 0, rows = 0;
    std::vector<uint32_t> cells;
  };

  void PaintChildren(const TControl& parent, const TCellRect& clip, bool active);
  void PaintControl(const TControl& control, const TCellRect& clip, bool active);
  void FormFrame(const TForm& form, const TCellRect& outer, bool active);
  void FountainFill(const TFountainFill& fill, const TCellRect& r);
  void Label(const TLabel& label, const TCellRect& r);
  void Memo(const TMemo& memo, const TCellRect& r, bool focused);
  void List(const TListBox& list, const TCellRect& r, bool focused);
  void Caption(const TControl& control, int column, int row, uint32_t fg, uint32_t bg, uint8_t style);
  void ScrollBar(int column, int top, int rows, int first, int shown, int total, uint32_t fg, uint32_t bg);
  uint32_t Rgb(TColor color) const { return RgbOf(color, backend_); }
  uint32_t TextOf(const TControl& control) const;
  TViewState& View(const TControl& control) { return views_[&control]; }

  TCellCanvas& canvas_;
  const TBackend& backend_;
  TViewStates& views_;
  TTheme theme_{};
  std::map<const TControl*, Gradient> gradients_;
};

}  // namespace tovin::ui::terminal
