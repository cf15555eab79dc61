// The two questions the segment reader asks its host, and the pause in which the host's
// windows catch up. The preparing window, the command line and the tests answer them their
// own way.
#pragma once
#include <string>

namespace tovin {

class TSegDialogs {
 public:
  virtual ~TSegDialogs() = default;
  // An error box with OK and Cancel; true for OK.
  virtual bool ErrorBoxOkCancel(const std::string& text) = 0;
  // An input box; false for Cancel, else value holds the text as typed.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  virtual void ProcessMessages() {}
  virtual void Repaint() {}
};

}  // namespace tovin
