// The gradient through GDI: the model works out the bands (TFountainFill::Shapes) and the
// palette; here they are filled into an off-screen bitmap of the control's size and copied to
// the screen, with the palette realised in both when UsePalette is on. When no off-screen
// bitmap can be had (graphics resources run out) or DrawOnScreen is on, the bands are filled
// on the screen itself.
#include "ui/win32/win32_impl.h"

namespace tovin::ui::win32 {
namespace {

constexpr COLORREF kPaletteRelative = 0x02000000;

HPALETTE MakePalette(const std::vector<uint32_t>& entries) {
  if (entries.empty()) return nullptr;
  std::vector<uint8_t> memory(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(memory.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(entries.size());
  for (size_t i = 0; i < entries.size(); ++i)
    palette->palPalEntry[i] = {GetRValue(entries[i]), GetGValue(entries[i]), GetBValue(entries[i]), 0};
  return ::CreatePalette(palette);
}

// Rectangles fill exactly their bounds; an ellipse is outlined in its own colour so that it
// too covers its bounds less the right and bottom edge.
void Fill(HDC dc, const std::vector<TGradientShape>& shapes, int dx, int dy) {
  for (const TGradientShape& s : shapes) {
    COLORREF color = s.Rgb | (s.PaletteRelative ? kPaletteRelative : 0);
    HBRUSH brush = ::CreateSolidBrush(color);
    if (!s.Ellipse) {
      RECT r{s.Left + dx, s.Top + dy, s.Right + dx, s.Bottom + dy};
      ::FillRect(dc, &r, brush);
    } else {
      HPEN pen = ::CreatePen(PS_SOLID, 1, color);
      HGDIOBJ oldPen = ::SelectObject(dc, pen), oldBrush = ::SelectObject(dc, brush);
      ::Ellipse(dc, s.Left + dx, s.Top + dy, s.Right + dx, s.Bottom + dy);
      ::SelectObject(dc, oldPen);
      ::SelectObject(dc, oldBrush);
      ::DeleteObject(pen);
    }
    ::DeleteObject(brush);
  }
}

}  // namespace

void TWin32Impl::PaintGradient(TNative& n, TFountainFill& fill, HDC dc, const RECT& bounds) {
  int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  if (width <= 0 || height <= 0) return;
  HPALETTE palette = nullptr;
  if (fill.UsePalette()) {
    const std::vector<uint32_t>& entries = fill.Palette();
    if (n.Palette && n.PaletteVersion != fill.PaletteVersion()) {
      ::DeleteObject(n.Palette);
      n.Palette = nullptr;
    }
    if (!n.Palette) {
      n.Palette = MakePalette(entries);
      n.PaletteVersion = fill.PaletteVersion();
    }
    palette = n.Palette;
  }
  std::vector<TGradientShape> shapes = fill.Shapes(width, height);
  HPALETTE screenPalette = palette ? ::SelectPalette(dc, palette, FALSE) : nullptr;
  if (palette) ::RealizePalette(dc);
  bool drawn = false;
  if (!fill.DrawOnScreen()) {
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? ::CreateCompatibleBitmap(dc, width, height) : nullptr;
    if (bitmap) {
      HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
      HPALETTE oldPalette = palette ? ::SelectPalette(memory, palette, FALSE) : nullptr;
      if (palette) ::RealizePalette(memory);
      Fill(memory, shapes, 0, 0);
      drawn = ::BitBlt(dc, bounds.left, bounds.top, width, height, memory, 0, 0, SRCCOPY) != 0;
      if (palette) ::SelectPalette(memory, oldPalette, FALSE);
      ::SelectObject(memory, oldBitmap);
      ::DeleteObject(bitmap);
    }
    if (memory) ::DeleteDC(memory);
  }
  if (!drawn) Fill(dc, shapes, bounds.left, bounds.top);
  if (palette) ::SelectPalette(dc, screenPalette, FALSE);
}

}  // namespace tovin::ui::win32
