#include "ui/terminal/cell_geometry.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace tovin::ui::terminal {
namespace {

int Nearest(int pixels, int unit) {
  // Floor division for negative coordinates too (a form larger than the screen starts above it).
  int twice = 2 * pixels + unit;
  int q = twice / (2 * unit);
  if (twice % (2 * unit) != 0 && twice < 0) --q;
  return q;
}

}  // namespace

TCellRect TCellRect::Intersect(const TCellRect& other) const {
  TCellRect r{std::max(Left, other.Left), std::max(Top, other.Top), std::min(Right, other.Right),
              std::min(Bottom, other.Bottom)};
  if (r.Empty()) return {r.Left, r.Top, r.Left, r.Top};
  return r;
}

int ColumnOf(int pixels) { return Nearest(pixels, kCellWidth); }
int RowOf(int pixels) { return Nearest(pixels, kCellHeight); }

TScreenPlace PlaceOf(const TControl& control) {
  TScreenPlace place;
  if (const TControl* parent = control.Parent()) {
    TScreenPlace outer = PlaceOf(*parent);
    place.Left = outer.ClientLeft + control.Left();
    place.Top = outer.ClientTop + control.Top();
  } else {
    place.Left = control.Left();
    place.Top = control.Top();
  }
  place.ClientLeft = place.Left;
  place.ClientTop = place.Top;
  int right = place.Left + control.Width(), bottom = place.Top + control.Height();
  int clientRight = right, clientBottom = bottom;
  if (const auto* form = dynamic_cast<const TForm*>(&control)) {
    TFrame frame = form->Application().Backend().FrameOf(*form);
    place.ClientLeft += frame.Left;
    place.ClientTop += frame.Top;
    clientRight -= frame.Right;
    clientBottom -= frame.Bottom;
  }
  place.Outer = {ColumnOf(place.Left), RowOf(place.Top), ColumnOf(right), RowOf(bottom)};
  place.Client = {ColumnOf(place.ClientLeft), RowOf(place.ClientTop), ColumnOf(clientRight), RowOf(clientBottom)};
  return place;
}

TFrame CellFrame() { return {kCellWidth, kCellHeight, kCellWidth, kCellHeight}; }

TSize CellTextExtent(const std::string& text) {
  return {static_cast<int>(std::min<size_t>(text.size(), 5000)) * kCellWidth, kCellHeight};
}

TSize PixelsOf(int columns, int rows) { return {columns * kCellWidth, rows * kCellHeight}; }

}  // namespace tovin::ui::terminal
