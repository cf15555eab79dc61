// Which property of a control changed, so that a backend updates only what it shows of it.
#pragma once

namespace tovin::ui {

enum TProperty {
  prCaption,      // Caption/Text
  prVisible,
  prEnabled,
  prBounds,       // Left, Top, Width, Height
  prFont,
  prColor,
  prCursor,
  prTabStop,
  prAppearance,   // a kind's own look: border, bevels, alignment, transparency, shadow, read-only...
  prChecked,      // a check box, radio button or an item of a check list
  prItems,
  prItemIndex,
  prLines,
  prPosition,     // a progress bar's position or range
  prPageIndex,
  prButtonRole,   // Default, Cancel
  prPicture,
  prGradient,     // colours, steps, style, palette of a gradient
  prWindow,       // a form's border style, caption buttons, placement, state, style
  prFocus,        // a form's ActiveControl
};

}  // namespace tovin::ui
