// TLabel: text without a window of its own, painted by its parent. An auto-sized label takes
// the size of its text in its font, as the backend measures it (TBackend::TextExtent).
//
// One rule for text wider than the room: an auto-sized label wraps at blanks to the width its
// parent leaves right of it and grows downwards; a label of fixed size wraps to its own width
// and is cut at its bounds. A word wider than the room stands on a line of its own and is cut
// where the label ends. Lines() is what every backend draws.
//
// A single '&' marks the accelerator and "&&" shows one '&' (ShowAccelChar, on at first); a
// label that shows paths turns it off so that every '&' shows. The accelerator passes the
// focus to FocusControl, or to the next control after the label that can take it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/control.h"

namespace tovin::ui {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A point size at 96 pixels per inch, rounded to the nearest pixel: 8 -> 11, 10 -> 13,
// 26 -> 35. A negative size counts as its magnitude; the result is at most 32767.
int FontPixelHeight(int32_t points);
// The metric of backends without fonts: an average character half as wide as the font's pixel
// height, and the height plus 2 pixels of leading.
TSize FixedTextExtent(const TFont& font, const std::string& text);

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
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  TControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TControl* control) { focusControl_ = control; }

  // The text as drawn, one string per line.
  const std::vector<std::string>& Lines() const { return lines_; }
  // The text as shown (accelerator marks resolved when ShowAccelChar is on).
  std::string ShownText() const;

  bool Windowed() const override { return false; }
  char Accelerator() const override { return showAccelChar_ ? TControl::Accelerator() : 0; }
  bool PressAccelerator() override;
  void SetBounds(int left, int top, int width, int height) override;

 protected:
  // The size one line of text needs; a shadowed label adds its shadow.
  virtual TSize LineExtent(const std::string& line) const;
  // What LineExtent adds below the text (a shadow).
  virtual int ShadowAllowance() const { return 0; }
  void AdjustSize();
  void TextChanged() override { AdjustSize(); }
  void FontChanged() override { AdjustSize(); }
  void ParentResized() override { AdjustSize(); }

 private:
  std::vector<std::string> Wrap(const std::string& text, int room) const;

  bool autoSize_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool transparent_ = false;
  bool showAccelChar_ = true;
  TControl* focusControl_ = nullptr;
  std::vector<std::string> lines_;
};

}  // namespace tovin::ui
