#include "ui/terminal/cell_canvas.h"

namespace tovin::ui::terminal {

bool IsLineGlyph(char32_t glyph) { return glyph >= lgHorizontal && glyph <= lgArrowDown; }

namespace {
const char16_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

int WindowsByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] != 0 && kHigh[i] == c) return 0x80 + i;
  return -1;
}

char32_t GlyphOf(unsigned char c) {
  if (c < 0x20 || c == 0x7F) return U'?';
  if (c < 0x80 || c >= 0xA0) return c;
  char16_t high = kHigh[c - 0x80];
  return high ? high : U'?';
}

void TCellCanvas::Reset(int columns, int rows, uint32_t bg) {
  columns_ = columns > 0 ? columns : 0;
  rows_ = rows > 0 ? rows : 0;
  cells_.assign(static_cast<size_t>(columns_ * rows_), TCell{U' ', 0, bg, csNone});
  clip_ = {0, 0, columns_, rows_};
}

std::string TCellCanvas::RowText(int row) const {
  std::string text;
  for (int c = 0; c < columns_; ++c) {
    char32_t g = At(c, row).Glyph;
    if (g == lgHorizontal || g == lgDoubleHorizontal) text += '-';
    else if (g == lgVertical || g == lgDoubleVertical) text += '|';
    else if (IsLineGlyph(g) && g <= lgDoubleBottomRight) text += '+';
    else if (IsLineGlyph(g)) text += '#';
    else text += g < 0x80 ? static_cast<char>(g) : '?';
  }
  return text;
}

void TCellCanvas::SetClip(const TCellRect& rect) { clip_ = rect.Intersect({0, 0, columns_, rows_}); }

TCell* TCellCanvas::Cell(int column, int row) {
  if (!clip_.Contains(column, row)) return nullptr;
  return &cells_[static_cast<size_t>(row * columns_ + column)];
}

void TCellCanvas::Put(int column, int row, char32_t glyph, uint32_t fg, uint32_t bg, uint8_t style) {
  if (TCell* cell = Cell(column, row)) *cell = {glyph, fg, bg, style};
}

void TCellCanvas::PutOver(int column, int row, char32_t glyph, uint32_t fg, uint8_t style) {
  if (TCell* cell = Cell(column, row)) *cell = {glyph, fg, cell->Bg, style};
}

void TCellCanvas::Fill(const TCellRect& rect, uint32_t bg, char32_t glyph, uint32_t fg) {
  TCellRect r = rect.Intersect(clip_);
  for (int row = r.Top; row < r.Bottom; ++row)
    for (int c = r.Left; c < r.Right; ++c) cells_[static_cast<size_t>(row * columns_ + c)] = {glyph, fg, bg, csNone};
}

int TCellCanvas::Text(int column, int row, const std::string& text, uint32_t fg, uint32_t bg, uint8_t style) {
  for (unsigned char c : text) Put(column++, row, GlyphOf(c), fg, bg, style);
  return column;
}

int TCellCanvas::TextOver(int column, int row, const std::string& text, uint32_t fg, uint8_t style) {
  for (unsigned char c : text) PutOver(column++, row, GlyphOf(c), fg, style);
  return column;
}

void TCellCanvas::TopLine(int left, int right, int row, uint32_t fg, uint32_t bg) {
  for (int c = left; c < right; ++c) Put(c, row, c == left ? lgTopLeft : c == right - 1 ? lgTopRight : lgHorizontal, fg, bg);
}

void TCellCanvas::Box(const TCellRect& r, uint32_t fg, uint32_t bg, bool doubleLine) {
  if (r.Width() < 2 || r.Height() < 2) return;
  char32_t h = doubleLine ? lgDoubleHorizontal : lgHorizontal, v = doubleLine ? lgDoubleVertical : lgVertical;
  for (int c = r.Left + 1; c < r.Right - 1; ++c) {
    Put(c, r.Top, h, fg, bg);
    Put(c, r.Bottom - 1, h, fg, bg);
  }
  for (int row = r.Top + 1; row < r.Bottom - 1; ++row) {
    Put(r.Left, row, v, fg, bg);
    Put(r.Right - 1, row, v, fg, bg);
  }
  Put(r.Left, r.Top, doubleLine ? lgDoubleTopLeft : lgTopLeft, fg, bg);
  Put(r.Right - 1, r.Top, doubleLine ? lgDoubleTopRight : lgTopRight, fg, bg);
  Put(r.Left, r.Bottom - 1, doubleLine ? lgDoubleBottomLeft : lgBottomLeft, fg, bg);
  Put(r.Right - 1, r.Bottom - 1, doubleLine ? lgDoubleBottomRight : lgBottomRight, fg, bg);
}

}  // namespace tovin::ui::terminal
