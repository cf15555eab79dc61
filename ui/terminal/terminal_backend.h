// TTerminalBackend: shows the setup's windows on a terminal through curses, keyboard only.
//
// Loops. A turn runs the posted actions, then the keys that have come (each to the innermost
// open box, else to the form that takes input), then a timer that is due, and only then waits,
// at most until the next timer is due and never longer than a tenth of a second, so that
// Wake(), a stop asked for (OnTurn) and a resize are seen at once. Timers fire in every pump:
// a loop turn, ProcessMessages and the loop of an open box. ProcessMessages also takes the
// keys that have come, so a person can answer the preparing window's abort question while it
// works.
//
// Painting. Every change of the model marks the screen; the screen is painted whole into a
// cell canvas before a loop waits (from ProcessMessages, which long work calls very often, at
// most every 40 ms, at the call after the one that found a frame due; at once on Update) and
// curses sends only the cells that changed. Forms are
// stacked in the order they were shown, those that stay on top above, boxes above all. A
// window larger than the terminal is replaced by a message saying what it needs; keys do not
// reach it until it fits.
//
// The terminal: the screen is taken when the backend is made and given back, with the modes
// curses found, when it is closed or destroyed, also when a failure or a stop unwinds the run.
#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "ui/backend.h"
#include "ui/terminal/box_view.h"
#include "ui/terminal/cell_canvas.h"
#include "ui/terminal/control_painter.h"
#include "ui/terminal/curses_screen.h"
#include "ui/terminal/key.h"
#include "ui/terminal/view_state.h"

namespace tovin::ui {

class TTerminalBackend : public TBackend {
 public:
  // Raises terminal::ETerminalUnavailable when the terminal cannot be used.
  explicit TTerminalBackend(const terminal::TScreenOptions& options = {});
  ~TTerminalBackend() override;

  // Gives the terminal back now; the backend shows nothing afterwards.
  void Close();

  // Runs at every turn of every loop and in ProcessMessages, outside any dispatch: what it
  // throws (a stop the user asked for) leaves the loop and unwinds the run.
  std::function<void()> OnTurn;
  // For test drivers: runs when a loop has nothing to do, before it waits, with the form whose
  // loop runs and the innermost open box (null when none). Returns whether it acted.
  std::function<bool(TForm* loopForm, const TMessageRequest* box)> OnIdle;

  // Delivers the keys that have come, now, as ProcessMessages would (a test driver that types
  // has its keys taken before it goes on).
  void TakeKeys();
  // A timer is running (it will fire without anyone acting).
  bool TimerPending() const;
  // The screen as last painted, and how its colours are chosen.
  const terminal::TCellCanvas& Canvas() const { return canvas_; }
  terminal::TColorMode ColorMode() const { return screen_.ColorMode(); }
  // The terminal's size in cells.
  TSize CellSize() const;

  void RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) override;
  void ProcessMessages(TApplication& app) override;
  void Wake() override { woken_ = true; }
  TMessageAnswer Ask(const TMessageRequest& request) override;
  TSize ScreenSize() const override;
  TFrame FrameOf(const TForm& form) const override;
  TSize TextExtent(const TFont& font, const std::string& text) const override;
  void ControlCreated(TControl& control) override;
  void ControlDestroyed(TControl& control) override;
  void FormShown(TForm& form) override;
  void FormHidden(TForm& form) override;
  void ControlChanged(TControl& control, TProperty property) override;
  void Repaint(TControl& control) override;
  void Update(TControl& control) override;
  void TimerChanged(TTimer& timer) override;
  void TimerDestroyed(TTimer& timer) override;

 private:
  using Clock = std::chrono::steady_clock;
  struct Due {
    Clock::time_point time;
    uint64_t order;
  };

  // One turn of a loop; false when it found nothing to do.
  bool Busy(TApplication& app);
  bool Idle(TApplication& app, TForm* loopForm, const TMessageRequest* box);
  void Wait(TApplication& app);
  bool ReadKey(TApplication& app, int timeoutMs);
  void DeliverKey(TApplication& app, const terminal::TKey& key);
  bool FireDueTimer(TApplication& app);
  void FollowSize(TApplication& app);
  TSize LiveCells() const;
  void Paint();
  void Mark(TControl& control);
  TForm* InputForm(TApplication& app) const;

  terminal::TCursesScreen screen_;
  terminal::TCellCanvas canvas_;
  terminal::TViewStates views_;
  terminal::TPainter painter_;
  TApplication* app_ = nullptr;
  std::vector<TForm*> shown_;  // stacking order
  std::vector<terminal::TBoxView*> boxes_;
  std::map<TTimer*, Due> due_;
  uint64_t order_ = 0;
  bool dirty_ = true;
  bool paintDue_ = false;
  bool woken_ = false;
  Clock::time_point lastPaint_{};
  TSize cells_{};
};

}  // namespace tovin::ui
