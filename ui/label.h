// TLabel: a line of text. An auto-sized label takes the size of its text in its font, with a
// simple metric that every backend shares, so a larger font pushes the controls laid out below
// it further down:
//   height = FontPixelHeight(size) + 2 (leading)
//   width  = characters x ((FontPixelHeight(size) + 1) / 2), an average character half as wide
//            as it is high.
#pragma once
#include <cstdint>

#include "ui/control.h"

namespace tovin::ui {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A point size at 96 pixels per inch, rounded to the nearest pixel: 8 -> 11, 10 -> 13,
// 26 -> 35. A negative size counts as its magnitude; the result is at most 32767.
int FontPixelHeight(int32_t points);

class TLabel : public TControl {
 public:
  TLabel(TControl& parent, std::string name);

  // On by default. While on, the label's width and height follow its text and font; bounds
  // set from outside keep only their left and top.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  void SetBounds(int left, int top, int width, int height) override;

 protected:
  // The size the text needs; a shadowed label adds its shadow.
  virtual TSize TextExtent() const;
  void AdjustSize();
  void TextChanged() override { AdjustSize(); }
  void FontChanged() override { AdjustSize(); }

 private:
  bool autoSize_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool transparent_ = false;
};

}  // namespace tovin::ui
