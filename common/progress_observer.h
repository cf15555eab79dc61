// Told how far a setup run is, by the windows at the moments they move their progress bars, so
// that a display beside them (the command line's progress line) needs no look at their controls.
// Every call does nothing unless overridden.
#pragma once
#include <string>

namespace tovin {

class TProgressObserver {
 public:
  virtual ~TProgressObserver() = default;
  // The preparing window is at item (the name of a file it copies or expands): position of max,
  // this one counted.
  virtual void Preparing(const std::string& /*item*/, int /*position*/, int /*max*/) {}
  // The installation run is at item (the name of a file it copies, of a shortcut it makes or of
  // the INI file it writes to): position of max steps, this one counted.
  virtual void Installing(const std::string& /*item*/, int /*position*/, int /*max*/) {}
  // The window that reported progress is through with it: the preparation or the installation
  // run ended, whether or not it succeeded. It may be called while an error unwinds the window:
  // it must not throw.
  virtual void Finished() {}
};

}  // namespace tovin
