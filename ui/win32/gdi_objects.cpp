#include "ui/win32/gdi_objects.h"

#include <cstdlib>

#include "ui/colors.h"

namespace tovin::ui::win32 {

TGdiObjects::TGdiObjects() : measure_(::CreateCompatibleDC(nullptr)) {}

TGdiObjects::~TGdiObjects() {
  for (auto& [key, font] : fonts_) ::DeleteObject(font);
  for (auto& [key, brush] : brushes_) ::DeleteObject(brush);
  for (auto& [key, icon] : icons_) ::DestroyIcon(icon);
  if (measure_) ::DeleteDC(measure_);
}

HFONT TGdiObjects::Font(const TFont& font) {
  auto key = std::make_pair(font.Name, font.Size);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
  int dpi = measure_ ? ::GetDeviceCaps(measure_, LOGPIXELSY) : 96;
  int height = -::MulDiv(std::abs(font.Size), dpi, 72);
  HFONT made = ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name.c_str());
  if (!made) made = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  fonts_[key] = made;
  return made;
}

HBRUSH TGdiObjects::Brush(COLORREF color) {
  if (auto it = brushes_.find(color); it != brushes_.end()) return it->second;
  return brushes_[color] = ::CreateSolidBrush(color);
}

COLORREF TGdiObjects::Rgb(TColor color) {
  return ColorToRgb(color, [](int index) { return static_cast<uint32_t>(::GetSysColor(index)); });
}

TSize TGdiObjects::Extent(const TFont& font, const std::string& text) {
  if (!measure_) return {};
  HGDIOBJ old = ::SelectObject(measure_, Font(font));
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(measure_, &metrics);
  SIZE size{};
  if (!text.empty()) ::GetTextExtentPoint32A(measure_, text.data(), static_cast<int>(text.size()), &size);
  ::SelectObject(measure_, old);
  return {static_cast<int>(size.cx), static_cast<int>(metrics.tmHeight)};
}

HCURSOR TGdiObjects::HandCursor() {
  // IDC_HAND came with Windows 98 and 2000; the arrow stands in where the system lacks it.
  static HCURSOR hand = [] {
    HCURSOR c = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    return c ? c : ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  }();
  return hand;
}

HICON TGdiObjects::ProgramIcon(int width, int height) {
  auto key = std::make_pair(width, height);
  if (auto it = icons_.find(key); it != icons_.end()) return it->second;
  auto icon = static_cast<HICON>(
      ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
  if (!icon) icon = static_cast<HICON>(::CopyImage(::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)), IMAGE_ICON, width, height, 0));
  return icons_[key] = icon;
}

}  // namespace tovin::ui::win32
