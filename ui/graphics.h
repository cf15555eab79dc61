// How the model describes colours, fonts and sizes. Nothing here draws: backends turn these
// values into pixels or terminal cells.
#pragma once
#include <cstdint>
#include <string>

namespace tovin::ui {

// 0x00BBGGRR (red in the low byte); the sign bit set names system colour n (0x80000000 + n),
// which a backend resolves when it draws.
using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWindow = static_cast<TColor>(0x80000005u);
constexpr TColor clWindowText = static_cast<TColor>(0x80000008u);
constexpr TColor clBtnFace = static_cast<TColor>(0x8000000Fu);
constexpr TColor clBtnHighlight = static_cast<TColor>(0x80000014u);

struct TFont {
  std::string Name = "MS Sans Serif";
  int32_t Size = 8;  // points
  TColor Color = clWindowText;
  bool operator==(const TFont&) const = default;
};

struct TSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TSize&) const = default;
};

// The frame a backend draws around a form's client area, in pixels on each side.
struct TFrame {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TFrame&) const = default;
};

}  // namespace tovin::ui
