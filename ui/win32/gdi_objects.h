// The GDI objects the backend draws and measures with, made once and kept: a font per face
// and size, a solid brush per colour, a screen-compatible memory DC for measuring text.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "ui/graphics.h"

namespace tovin::ui::win32 {

class TGdiObjects {
 public:
  TGdiObjects();
  ~TGdiObjects();
  TGdiObjects(const TGdiObjects&) = delete;
  TGdiObjects& operator=(const TGdiObjects&) = delete;

  // The font's face at its point size on this screen (its colour is the caller's).
  HFONT Font(const TFont& font);
  HBRUSH Brush(COLORREF color);
  // A colour of the model as GDI's, system colours resolved with GetSysColor.
  static COLORREF Rgb(TColor color);
  // One line of text in font: its width and the font's height.
  TSize Extent(const TFont& font, const std::string& text);
  HCURSOR HandCursor();
  // The program's own icon (the first icon resource of the executable), at size.
  HICON ProgramIcon(int width, int height);

 private:
  HDC measure_ = nullptr;
  std::map<std::pair<std::string, int32_t>, HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::map<std::pair<int, int>, HICON> icons_;
};

}  // namespace tovin::ui::win32
