#include "ui/terminal/terminal_backend.h"

#include <algorithm>

#include "platform/platform.h"
#include "platform/scope_guard.h"
#include "ui/application.h"
#include "ui/form.h"
#include "ui/terminal/key_input.h"
#include "ui/timer.h"

namespace tovin::ui {

using namespace terminal;

namespace {

constexpr int kLongestWaitMs = 100;
constexpr auto kPaintInterval = std::chrono::milliseconds(40);

}  // namespace

TTerminalBackend::TTerminalBackend(const TScreenOptions& options)
    : screen_(options), painter_(canvas_, *this, views_) {
  cells_ = LiveCells();
}

TTerminalBackend::~TTerminalBackend() { Close(); }

void TTerminalBackend::Close() { screen_.Close(); }

TSize TTerminalBackend::LiveCells() const {
  int columns = 0, rows = 0;
  if (screen_.IsOpen() && plat::TerminalSize(screen_.OutputHandle(), columns, rows)) return {columns, rows};
  if (screen_.IsOpen() && screen_.Columns() > 0) return {screen_.Columns(), screen_.Rows()};
  return {80, 24};
}

TSize TTerminalBackend::CellSize() const { return LiveCells(); }

TSize TTerminalBackend::ScreenSize() const {
  TSize cells = LiveCells();
  return PixelsOf(cells.Width, cells.Height);
}

TFrame TTerminalBackend::FrameOf(const TForm& form) const {
  return form.BorderStyle() == bsNone ? TFrame{} : CellFrame();
}

TSize TTerminalBackend::TextExtent(const TFont& font, const std::string& text) const {
  (void)font;
  return CellTextExtent(text);
}

bool TTerminalBackend::TimerPending() const {
  return std::any_of(due_.begin(), due_.end(), [](const auto& entry) { return entry.first->Running(); });
}

void TTerminalBackend::RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) {
  app_ = &app;
  for (;;) {
    app.RethrowFault();
    if (ended()) break;
    if (OnTurn) OnTurn();
    if (Busy(app) || Idle(app, &loopForm, nullptr)) continue;
    Wait(app);
  }
  app.RethrowFault();
}

void TTerminalBackend::ProcessMessages(TApplication& app) {
  app_ = &app;
  if (OnTurn) OnTurn();
  FollowSize(app);
  TakeKeys();  // each to whatever is open when it is taken
  FireDueTimer(app);
  app.RunPostedActions();
  // A frame due here is taken at the next call: work that reports in two steps (a bar set back
  // to 0, then to where it got) is shown as it stands after both.
  if (paintDue_) Paint();
  else paintDue_ = dirty_ && Clock::now() - lastPaint_ >= kPaintInterval;
  app.RethrowFault();
}

void TTerminalBackend::TakeKeys() {
  if (!app_) return;
  for (int i = 0; i < 32 && ReadKey(*app_, 0); ++i) {
  }
}

TMessageAnswer TTerminalBackend::Ask(const TMessageRequest& request) {
  TApplication* app = app_ ? app_ : request.Owner ? &request.Owner->Application() : nullptr;
  if (!app) throw ETerminalUnavailable("a box was asked for before any form was shown");
  TBoxView box(request);
  boxes_.push_back(&box);
  dirty_ = true;
  ScopeGuard pop([&] {
    std::erase(boxes_, &box);
    dirty_ = true;
  });
  while (!box.Pressed()) {
    app->RethrowFault();
    if (app->Terminated()) {
      box.Press(request.CancelButton);  // the application is ending: the cancel answer
      break;
    }
    if (OnTurn) OnTurn();
    if (Busy(*app) || Idle(*app, request.Owner, &request)) continue;
    Wait(*app);
  }
  return {*box.Pressed(), request.Kind == mkInput ? box.Value() : request.Value};
}

bool TTerminalBackend::Busy(TApplication& app) {
  app.AnnounceNew();
  FollowSize(app);
  if (app.RunPostedActions()) return true;
  if (ReadKey(app, 0)) return true;
  return FireDueTimer(app);
}

bool TTerminalBackend::Idle(TApplication& app, TForm* loopForm, const TMessageRequest* box) {
  if (!OnIdle) return false;
  if (dirty_) Paint();
  bool acted = true;  // an action that failed was still an action: its error box was shown
  auto idle = OnIdle;
  app.Deliver([&] { acted = idle(loopForm, box); });
  return acted;
}

void TTerminalBackend::Wait(TApplication& app) {
  if (dirty_) Paint();
  if (woken_) {
    woken_ = false;
    return;
  }
  int timeout = kLongestWaitMs;
  Clock::time_point now = Clock::now();
  for (const auto& [timer, due] : due_)
    if (timer->Running()) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due.time - now).count();
      timeout = std::min<int>(timeout, static_cast<int>(std::max<decltype(left)>(left, 0)));
    }
  ReadKey(app, timeout);
}

bool TTerminalBackend::ReadKey(TApplication& app, int timeoutMs) {
  std::optional<TKey> key = screen_.ReadKey(timeoutMs);
  if (!key) return false;
  DeliverKey(app, *key);
  return true;
}

TForm* TTerminalBackend::InputForm(TApplication& app) const {
  TForm* form = !app.ModalForms().empty() ? app.ModalForms().back() : app.MainForm();
  return form && form->Visible() ? form : nullptr;
}

void TTerminalBackend::DeliverKey(TApplication& app, const TKey& key) {
  dirty_ = true;
  if (key.Code == kcResize) {
    FollowSize(app);
    return;
  }
  if (!boxes_.empty()) {
    boxes_.back()->Key(key);
    return;
  }
  TForm* form = InputForm(app);
  if (!form || !app.AcceptsInput(*form)) return;
  if (form->WindowState() != wsMaximized && !painter_.Fits(*form)) return;  // not seen, not used
  HandleFormKey(app, *form, key, views_);
}

bool TTerminalBackend::FireDueTimer(TApplication& app) {
  TTimer* next = nullptr;
  Due when{};
  Clock::time_point now = Clock::now();
  for (const auto& [timer, due] : due_) {
    if (!timer->Running() || due.time > now) continue;
    if (!next || due.time < when.time || (due.time == when.time && due.order < when.order)) {
      next = timer;
      when = due;
    }
  }
  if (!next) return false;
  due_[next] = {now + std::chrono::milliseconds(next->Interval()), ++order_};
  app.Deliver([next] { next->Fire(); });
  return true;
}

void TTerminalBackend::FollowSize(TApplication& app) {
  TSize cells = LiveCells();
  if (cells == cells_) return;
  cells_ = cells;
  screen_.Resize(cells.Width, cells.Height);
  dirty_ = true;
  app.Deliver([&app] { app.ScreenChanged(); });
}

void TTerminalBackend::Paint() {
  dirty_ = false;
  paintDue_ = false;
  lastPaint_ = Clock::now();
  if (!screen_.IsOpen()) return;
  TSize cells = LiveCells();
  screen_.Resize(cells.Width, cells.Height);
  canvas_.Reset(cells.Width, cells.Height, 0);
  painter_.BeginFrame();
  bool boxOpen = !boxes_.empty();
  for (int onTop = 0; onTop < 2; ++onTop)
    for (TForm* form : shown_) {
      if (!form->Visible() || (form->FormStyle() == fsStayOnTop) != (onTop == 1)) continue;
      bool active = !boxOpen && app_ && app_->AcceptsInput(*form) && InputForm(*app_) == form;
      if (form->WindowState() != wsMaximized && !painter_.Fits(*form)) painter_.PaintTooSmall(*form);
      else painter_.PaintForm(*form, active);
    }
  std::optional<TCursorPlace> cursor = painter_.Cursor;
  if (boxOpen) cursor.reset();
  for (TBoxView* box : boxes_) {
    cursor.reset();
    box->Paint(canvas_, painter_.Theme(), cursor);
  }
  screen_.Show(canvas_, cursor);
}

void TTerminalBackend::Mark(TControl& control) {
  if (!app_ && control.Form()) app_ = &control.Form()->Application();
  dirty_ = true;
}

void TTerminalBackend::ControlCreated(TControl& control) { Mark(control); }

void TTerminalBackend::ControlDestroyed(TControl& control) {
  views_.erase(&control);
  painter_.Forget(control);
  if (auto* form = dynamic_cast<TForm*>(&control)) std::erase(shown_, form);
  dirty_ = true;
}

void TTerminalBackend::FormShown(TForm& form) {
  std::erase(shown_, &form);
  shown_.push_back(&form);
  Mark(form);
}

void TTerminalBackend::FormHidden(TForm& form) {
  std::erase(shown_, &form);
  dirty_ = true;
}

void TTerminalBackend::ControlChanged(TControl& control, TProperty property) {
  if (property == prLines) views_[&control].Top = 0;  // new text starts at its top
  if (property == prCaption) views_[&control].Caret = -1;
  Mark(control);
}

void TTerminalBackend::Repaint(TControl& control) { Mark(control); }

void TTerminalBackend::Update(TControl& control) {
  Mark(control);
  Paint();
}

void TTerminalBackend::TimerChanged(TTimer& timer) {
  if (timer.Enabled() && timer.Interval() > 0)
    due_[&timer] = {Clock::now() + std::chrono::milliseconds(timer.Interval()), ++order_};
  else
    due_.erase(&timer);
}

void TTerminalBackend::TimerDestroyed(TTimer& timer) { due_.erase(&timer); }

}  // namespace tovin::ui
