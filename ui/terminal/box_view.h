// A message box or input query on the terminal: a window centred on the screen with the
// caption in its title bar, the text wrapped to the screen, an input line for a query, and the
// buttons in a row. Tab and the arrows move between the buttons, Enter presses the focused one
// (the default button at first), Esc the cancel button, Alt+letter (and the plain letter in a
// box without an input line) the button with that accelerator. Text typed goes to the input
// line.
#pragma once
#include <optional>
#include <string>

#include "ui/message_request.h"
#include "ui/terminal/cell_canvas.h"
#include "ui/terminal/control_painter.h"
#include "ui/terminal/key.h"
#include "ui/terminal/theme.h"

namespace tovin::ui::terminal {

class TBoxView {
 public:
  explicit TBoxView(const TMessageRequest& request);

  const TMessageRequest& Request() const { return request_; }
  // The button pressed, once one was.
  std::optional<int> Pressed() const { return pressed_; }
  const std::string& Value() const { return value_; }
  int FocusedButton() const { return focus_; }

  // Returns whether the key meant something to the box.
  bool Key(const TKey& key);
  void Press(int button) { pressed_ = button; }
  // Paints the box centred on the canvas; the caret of the input line goes to cursor.
  void Paint(TCellCanvas& canvas, const TTheme& theme, std::optional<TCursorPlace>& cursor) const;

 private:
  const TMessageRequest& request_;
  int focus_;
  std::string value_;
  int caret_ = -1;
  bool selected_ = true;  // the input line's text starts selected
  std::optional<int> pressed_;
};

}  // namespace tovin::ui::terminal
