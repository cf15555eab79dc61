// A key as the terminal backend reads it, whatever the terminal's own encoding of it.
#pragma once

namespace tovin::ui::terminal {

enum TKeyCode {
  kcChar,  // Char holds the character (8-bit, as the setup's texts)
  kcTab,
  kcBackTab,
  kcEnter,
  kcEscape,
  kcUp,
  kcDown,
  kcLeft,
  kcRight,
  kcPageUp,
  kcPageDown,
  kcHome,
  kcEnd,
  kcBackspace,
  kcDelete,
  kcResize,  // the terminal changed its size
};

struct TKey {
  TKeyCode Code = kcChar;
  char Char = 0;
  bool Alt = false;
};

}  // namespace tovin::ui::terminal
