// TCursesScreen: the one place that talks to curses. It opens a screen on a terminal (newterm,
// so the streams can be a pseudo-terminal in tests), chooses the colours, shows a canvas (curses
// sends only the cells that changed), reads keys, and gives the terminal back exactly as it was
// found (endwin restores the modes curses saved when it started).
#pragma once
#include <cstdio>
#include <deque>
#include <map>
#include <optional>
#include <string>

#include "platform/exception.h"
#include "ui/terminal/cell_canvas.h"
#include "ui/terminal/control_painter.h"
#include "ui/terminal/key.h"
#include "ui/terminal/terminal_colors.h"

namespace tovin::ui::terminal {

// The terminal cannot be used (no description for it, not a terminal).
TOVIN_EXCEPTION(ETerminalUnavailable);

struct TScreenOptions {
  FILE* Out = stdout;
  FILE* In = stdin;
  std::string Term;       // the terminal's type; empty: $TERM
  std::string ColorTerm;  // what the terminal announces of its colours; empty: $COLORTERM
};

// The direct-colour descriptions to try for a terminal type that announces true colour:
// "xterm-256color" gives "xterm-direct", then "xterm-direct" for any other.
std::vector<std::string> DirectColorCandidates(const std::string& term);

class TCursesScreen {
 public:
  explicit TCursesScreen(const TScreenOptions& options);
  ~TCursesScreen();
  TCursesScreen(const TCursesScreen&) = delete;
  TCursesScreen& operator=(const TCursesScreen&) = delete;

  // Gives the terminal back; later calls do nothing.
  void Close();
  bool IsOpen() const { return screen_ != nullptr; }

  TColorMode ColorMode() const { return mode_; }
  const std::string& TermName() const { return termName_; }
  int OutputHandle() const { return outFd_; }
  int Columns() const;
  int Rows() const;
  // Takes a new size of the terminal (curses learns of most by itself, on SIGWINCH).
  void Resize(int columns, int rows);

  void Show(const TCellCanvas& canvas, const std::optional<TCursorPlace>& cursor);
  // A key, waiting up to timeoutMs for one (0: none waiting); nullopt when none came.
  std::optional<TKey> ReadKey(int timeoutMs);

 private:
  int Pair(uint32_t fg, uint32_t bg, bool& bright);
  std::optional<TKey> Decode(int status, unsigned int ch);

  struct ScreenHandle;
  ScreenHandle* screen_ = nullptr;
  int outFd_ = -1;
  TColorMode mode_ = cmMono;
  std::string termName_;
  std::map<uint64_t, int> pairs_;
  int pairLimit_ = 0;
  bool wideText_ = false;
  std::deque<TKey> pending_;
};

}  // namespace tovin::ui::terminal
