// TCellCanvas: the screen as cells, painted from scratch on every frame and then handed to the
// terminal in one go (the curses layer sends only what changed). Painting here knows nothing of
// curses, so what a frame shows can be read back cell by cell.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/terminal/cell_geometry.h"

namespace tovin::ui::terminal {

// Line glyphs, kept apart from text so the curses layer can draw them with the terminal's own
// line set (or ASCII where it has none).
enum TLineGlyph : char32_t {
  lgHorizontal = 0xE000,
  lgVertical,
  lgTopLeft,
  lgTopRight,
  lgBottomLeft,
  lgBottomRight,
  lgDoubleHorizontal,
  lgDoubleVertical,
  lgDoubleTopLeft,
  lgDoubleTopRight,
  lgDoubleBottomLeft,
  lgDoubleBottomRight,
  lgThumb,   // the thumb of a scroll bar
  lgShade,   // a shaded area (a picture the terminal cannot show)
  lgArrowDown,
};
bool IsLineGlyph(char32_t glyph);

enum TCellStyle : uint8_t { csNone = 0, csBold = 1, csReverse = 2, csUnderline = 4 };

struct TCell {
  char32_t Glyph = U' ';
  uint32_t Fg = 0, Bg = 0;  // plain RGB, 0x00BBGGRR as the model has it
  uint8_t Style = csNone;
  bool operator==(const TCell&) const = default;
};

// A character of the setup's 8-bit texts (Windows-1252) as Unicode; control characters and
// the five unassigned codes become '?'.
char32_t GlyphOf(unsigned char c);
// The Windows-1252 byte of a character typed; -1 when that code page has none for it.
int WindowsByteOf(char32_t c);

class TCellCanvas {
 public:
  void Reset(int columns, int rows, uint32_t bg);
  int Columns() const { return columns_; }
  int Rows() const { return rows_; }
  const TCell& At(int column, int row) const { return cells_[static_cast<size_t>(row * columns_ + column)]; }
  // The text of one row, line glyphs as '-', '|', '+', '#'.
  std::string RowText(int row) const;

  // Painting is clipped to Clip (the whole canvas after Reset).
  TCellRect Clip() const { return clip_; }
  void SetClip(const TCellRect& rect);

  void Put(int column, int row, char32_t glyph, uint32_t fg, uint32_t bg, uint8_t style = csNone);
  // Keeps the cell's background (a transparent text).
  void PutOver(int column, int row, char32_t glyph, uint32_t fg, uint8_t style = csNone);
  void Fill(const TCellRect& rect, uint32_t bg, char32_t glyph = U' ', uint32_t fg = 0);
  // 8-bit text from column on; each character one cell. Returns the column after it.
  int Text(int column, int row, const std::string& text, uint32_t fg, uint32_t bg, uint8_t style = csNone);
  int TextOver(int column, int row, const std::string& text, uint32_t fg, uint8_t style = csNone);
  // The top line of a frame from column left to right (excluded), corners included.
  void TopLine(int left, int right, int row, uint32_t fg, uint32_t bg);
  // A frame along the rectangle's edge.
  void Box(const TCellRect& rect, uint32_t fg, uint32_t bg, bool doubleLine = false);

 private:
  TCell* Cell(int column, int row);

  int columns_ = 0, rows_ = 0;
  std::vector<TCell> cells_;
  TCellRect clip_;
};

}  // namespace tovin::ui::terminal
