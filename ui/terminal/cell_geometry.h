// How the model's pixels become terminal cells, by one rule: a cell is 6 x 16 pixels. Six is the
// width of an average character of the model's 8-point metric (FixedTextExtent), so a text of n
// characters is n cells wide; sixteen is the height of one text line with its leading rounded
// up, so one line of a label or one row of a list is one cell row. Every edge of a control is
// taken to the nearest cell boundary (halves up), so controls that touch in pixels touch in
// cells and none overlaps its neighbour.
//
// Every font is drawn one cell a character on a terminal: the backend measures text that way
// (TextExtent), which is what the model's labels wrap to.
#pragma once
#include <string>

#include "ui/graphics.h"

namespace tovin::ui {

class TControl;

namespace terminal {

constexpr int kCellWidth = 6;
constexpr int kCellHeight = 16;

// Cells, right and bottom excluded.
struct TCellRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(int column, int row) const { return column >= Left && column < Right && row >= Top && row < Bottom; }
  TCellRect Intersect(const TCellRect& other) const;
  bool operator==(const TCellRect&) const = default;
};

// The cell boundary nearest to a pixel coordinate (halves up), for columns and rows.
int ColumnOf(int pixels);
int RowOf(int pixels);

// Where a control lies on the screen: its outer rectangle and its client area (the area its
// children are laid out in; a form's less its frame), in screen pixels and in cells.
struct TScreenPlace {
  int Left = 0, Top = 0;  // pixels of the outer top left corner
  int ClientLeft = 0, ClientTop = 0;
  TCellRect Outer, Client;
};
TScreenPlace PlaceOf(const TControl& control);

// The frame a framed form has on a terminal: one cell on every side, the caption in the top one.
TFrame CellFrame();
// One line of text in any font: one cell a character.
TSize CellTextExtent(const std::string& text);
// The screen in pixels for a terminal of columns x rows.
TSize PixelsOf(int columns, int rows);

}  // namespace terminal
}  // namespace tovin::ui
