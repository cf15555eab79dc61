#include "ui/terminal/curses_screen.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <vector>

#define NCURSES_WIDECHAR 1
#include <curses.h>

#include "platform/platform.h"

namespace tovin::ui::terminal {

struct TCursesScreen::ScreenHandle {
  SCREEN* screen;
  std::string locale;  // LC_CTYPE before the screen was opened
};

namespace {

const cchar_t* LineGlyph(char32_t glyph, bool wide) {
  switch (glyph) {
    case lgHorizontal: return WACS_HLINE;
    case lgVertical: return WACS_VLINE;
    case lgTopLeft: return WACS_ULCORNER;
    case lgTopRight: return WACS_URCORNER;
    case lgBottomLeft: return WACS_LLCORNER;
    case lgBottomRight: return WACS_LRCORNER;
    case lgDoubleHorizontal: return WACS_D_HLINE;
    case lgDoubleVertical: return WACS_D_VLINE;
    case lgDoubleTopLeft: return WACS_D_ULCORNER;
    case lgDoubleTopRight: return WACS_D_URCORNER;
    case lgDoubleBottomLeft: return WACS_D_LLCORNER;
    case lgDoubleBottomRight: return WACS_D_LRCORNER;
    case lgThumb: return wide ? nullptr : WACS_BLOCK;
    case lgShade: return wide ? nullptr : WACS_CKBOARD;
    case lgArrowDown: return WACS_DARROW;
    default: return nullptr;
  }
}

}  // namespace

std::vector<std::string> DirectColorCandidates(const std::string& term) {
  std::vector<std::string> names;
  std::string base = term.substr(0, term.find('-'));
  if (!base.empty()) names.push_back(base + "-direct");
  if (base != "xterm") names.push_back("xterm-direct");
  return names;
}

TCursesScreen::TCursesScreen(const TScreenOptions& options) {
  std::string term = options.Term;
  if (term.empty())
    if (const char* env = std::getenv("TERM")) term = env;
  std::string colorTerm = options.ColorTerm;
  if (colorTerm.empty())
    if (const char* env = std::getenv("COLORTERM")) colorTerm = env;
  if (term.empty() || term == "dumb")
    throw ETerminalUnavailable("the terminal type is " + std::string(term.empty() ? "not set (TERM)" : "\"dumb\""));

  // Should a second Ctrl+C end the process without its clean-up, the terminal still gets the
  // modes it has now (curses changes them as it starts) and leaves full-screen mode.
  plat::KeepTerminalForHardStop(fileno(options.Out));
  std::string locale = std::setlocale(LC_CTYPE, nullptr);
  std::setlocale(LC_CTYPE, "");  // curses writes the locale's characters (UTF-8 line glyphs)
  SCREEN* screen = nullptr;
  if (AnnouncesTrueColor(colorTerm))
    for (const std::string& name : DirectColorCandidates(term))
      if ((screen = newterm(name.c_str(), options.Out, options.In)) != nullptr) {
        termName_ = name;
        break;
      }
  if (!screen && (screen = newterm(term.c_str(), options.Out, options.In)) != nullptr) termName_ = term;
  if (!screen) {
    plat::KeepTerminalForHardStop(-1);
    std::setlocale(LC_CTYPE, locale.c_str());
    throw ETerminalUnavailable("there is no description of the terminal type \"" + term + "\"");
  }
  screen_ = new ScreenHandle{screen, locale};
  outFd_ = fileno(options.Out);
  wideText_ = MB_CUR_MAX > 1;
  set_term(screen);
  std::string leave;
  for (const char* capability : {"sgr0", "cnorm", "rmkx", "rmcup"}) {
    char* sequence = tigetstr(capability);
    if (sequence && sequence != reinterpret_cast<char*>(-1)) leave += sequence;
  }
  plat::HardStopLeave(leave);
  cbreak();  // Ctrl+C and Ctrl+Z stay signals: the setup stops cleanly, or is suspended
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  meta(stdscr, TRUE);
  set_escdelay(40);
  curs_set(0);
  if (has_colors() && start_color() == OK) {
    mode_ = ModeForColors(COLORS, COLORS >= 0x1000000);
    pairLimit_ = COLOR_PAIRS;
  }
}

TCursesScreen::~TCursesScreen() { Close(); }

void TCursesScreen::Close() {
  if (!screen_) return;
  set_term(screen_->screen);
  curs_set(1);
  endwin();
  plat::KeepTerminalForHardStop(-1);
  delscreen(screen_->screen);
  std::setlocale(LC_CTYPE, screen_->locale.c_str());
  delete screen_;
  screen_ = nullptr;
}

int TCursesScreen::Columns() const { return screen_ ? COLS : 0; }
int TCursesScreen::Rows() const { return screen_ ? LINES : 0; }

void TCursesScreen::Resize(int columns, int rows) {
  if (screen_ && columns > 0 && rows > 0 && (columns != COLS || rows != LINES)) resize_term(rows, columns);
}

int TCursesScreen::Pair(uint32_t fg, uint32_t bg, bool& bright) {
  TTermColor f = TextColor(fg, mode_), b = BackgroundColor(bg, mode_);
  bright = f.Bright;
  uint64_t key = static_cast<uint64_t>(static_cast<uint32_t>(f.Index)) << 32 | static_cast<uint32_t>(b.Index);
  auto it = pairs_.find(key);
  if (it != pairs_.end()) return it->second;
  // Pair 0 is the terminal's default; when the pairs run out they are handed out again (cells
  // that used an old one are repainted with the frame being shown anyway).
  if (static_cast<int>(pairs_.size()) + 1 >= pairLimit_) pairs_.clear();
  int pair = static_cast<int>(pairs_.size()) + 1;
  init_extended_pair(pair, f.Index, b.Index);
  pairs_[key] = pair;
  return pair;
}

void TCursesScreen::Show(const TCellCanvas& canvas, const std::optional<TCursorPlace>& cursor) {
  if (!screen_) return;
  set_term(screen_->screen);
  int columns = std::min(canvas.Columns(), COLS), rows = std::min(canvas.Rows(), LINES);
  std::vector<cchar_t> line(static_cast<size_t>(columns > 0 ? columns : 1));
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const TCell& cell = canvas.At(c, r);
      attr_t attrs = A_NORMAL;
      int pair = 0;
      if (mode_ != cmMono) {
        bool bright = false;
        pair = Pair(cell.Fg, cell.Bg, bright);
        if (bright) attrs |= A_BOLD;
      } else if (Brightness(cell.Bg) >= 128) {
        attrs |= A_REVERSE;
      }
      if (cell.Style & csBold) attrs |= A_BOLD;
      if (cell.Style & csUnderline) attrs |= A_UNDERLINE;
      if (cell.Style & csReverse) attrs ^= A_REVERSE;
      wchar_t text[2] = {static_cast<wchar_t>(cell.Glyph), 0};
      if (IsLineGlyph(cell.Glyph)) {
        if (const cchar_t* glyph = LineGlyph(cell.Glyph, wideText_)) {
          attr_t glyphAttrs = 0;
          short glyphPair = 0;
          getcchar(glyph, text, &glyphAttrs, &glyphPair, nullptr);
          attrs |= glyphAttrs;
        } else {
          text[0] = cell.Glyph == lgThumb ? 0x2588 : 0x2591;  // full block, light shade
        }
      } else if (!wideText_ && cell.Glyph >= 0x80) {
        text[0] = L'?';
      }
      setcchar(&line[static_cast<size_t>(c)], text, attrs, 0, &pair);
    }
    mvwadd_wchnstr(stdscr, r, 0, line.data(), columns);
  }
  if (cursor && cursor->Row < rows && cursor->Column < columns) {
    wmove(stdscr, cursor->Row, cursor->Column);
    curs_set(1);
  } else {
    curs_set(0);
  }
  wrefresh(stdscr);
}

std::optional<TKey> TCursesScreen::Decode(int status, unsigned int ch) {
  if (status == KEY_CODE_YES) {
    switch (ch) {
      case KEY_UP: return TKey{kcUp};
      case KEY_DOWN: return TKey{kcDown};
      case KEY_LEFT: return TKey{kcLeft};
      case KEY_RIGHT: return TKey{kcRight};
      case KEY_PPAGE: return TKey{kcPageUp};
      case KEY_NPAGE: return TKey{kcPageDown};
      case KEY_HOME: return TKey{kcHome};
      case KEY_END: return TKey{kcEnd};
      case KEY_BTAB: return TKey{kcBackTab};
      case KEY_BACKSPACE: return TKey{kcBackspace};
      case KEY_DC: return TKey{kcDelete};
      case KEY_ENTER: return TKey{kcEnter};
      case KEY_RESIZE: return TKey{kcResize};
      default: return std::nullopt;
    }
  }
  switch (ch) {
    case 9: return TKey{kcTab};
    case 10:
    case 13: return TKey{kcEnter};
    case 8:
    case 127: return TKey{kcBackspace};
    case 27: return TKey{kcEscape};
    default: break;
  }
  if (ch < 32) return std::nullopt;
  int byte = WindowsByteOf(static_cast<char32_t>(ch));
  if (byte < 0) return std::nullopt;
  return TKey{kcChar, static_cast<char>(byte), false};
}

std::optional<TKey> TCursesScreen::ReadKey(int timeoutMs) {
  if (!pending_.empty()) {
    TKey key = pending_.front();
    pending_.pop_front();
    return key;
  }
  if (!screen_) return std::nullopt;
  set_term(screen_->screen);
  wtimeout(stdscr, timeoutMs);
  wint_t ch = 0;
  int status = wget_wch(stdscr, &ch);
  if (status == ERR) return std::nullopt;
  std::optional<TKey> key = Decode(status, static_cast<unsigned int>(ch));
  if (key && key->Code == kcEscape) {
    // Alt+letter comes as Escape and the letter at once.
    wtimeout(stdscr, 0);
    wint_t next = 0;
    int nextStatus = wget_wch(stdscr, &next);
    if (nextStatus != ERR) {
      std::optional<TKey> after = Decode(nextStatus, static_cast<unsigned int>(next));
      if (after && after->Code == kcChar) return TKey{kcChar, after->Char, true};
      if (after) pending_.push_back(*after);
    }
  }
  return key;
}

}  // namespace tovin::ui::terminal
