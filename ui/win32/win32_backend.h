// TWin32Backend: the forms as native Windows windows. Every windowed control of the model is a
// child window of its parent's window (buttons, check boxes and radio buttons, edits and memos,
// list boxes, the drive box, progress bars; forms, panels, group boxes, page books and pages
// are windows of our own that paint their frames); windowless controls (gradient, labels,
// pictures) are painted by the window of their parent, in creation order. Message boxes are
// MessageBoxA where its buttons fit the request, else a dialog built at run time (named
// buttons, the input query).
//
// The loop keeps the contract of TBackend: every message reaches the model through
// TApplication::Deliver (or FromUser for what the user changed in a native control), a fault
// is rethrown from RunLoop or ProcessMessages once the native dispatch has returned, and a
// modal run disables the other forms' windows as Windows disables a dialog's owner. Keys of a
// dialog (Tab, Shift+Tab, Enter, Escape, Alt+letter) go to the model's own keyboard rules
// (TForm::SelectNext, PressDefault, PressCancel, PressAccelerator); the rest to
// IsDialogMessage. Timers are SetTimer timers: they fire in any pump, a box's loop included.
//
// This header names no type of the window system, so the program entry and drivers above the
// toolkit may hold a backend.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ui/backend.h"

namespace tovin::ui {

namespace win32 {
class TWin32Impl;
}

// A key as a person presses it, for drivers (tests, automation): sent through the system's
// input queue to the window with the focus, so that the loop handles it as typed.
struct TKeyStroke {
  enum TKey { kTab, kEnter, kEscape, kSpace, kLetter } Key = kTab;
  char Letter = 0;  // kLetter
  bool Shift = false;
  bool Alt = false;
};

class TWin32Backend final : public TBackend {
 public:
  TWin32Backend();
  ~TWin32Backend() override;

  // Runs when a loop has emptied its queue, before it waits (as the class library's
  // Application.OnIdle); returns whether it did something, which makes the loop look again
  // instead of waiting.
  std::function<bool(TForm& loopForm)> OnIdle;
  // Runs inside a box's own loop once the box is on screen (a driver answers it from here).
  std::function<void(const TMessageRequest& request)> OnBoxShown;
  // While non-zero, a waiting loop wakes at least every milliseconds to run OnIdle again.
  void SetIdleWakeInterval(uint32_t milliseconds);
  // Clicks button index of the open box through the box's own button; false when none is open.
  bool PressBoxButton(int index);
  // Types keys into the system's input queue and handles them before it returns.
  void SendKeys(const std::vector<TKeyStroke>& keys);
  // The window system asks the program to end: every loop ends as after Terminate.
  void Quit();
  // The native window of a control (an HWND; null for windowless or unknown controls).
  void* WindowOf(const TControl& control) const;

  void RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) override;
  void ProcessMessages(TApplication& app) override;
  void Wake() override;
  TMessageAnswer Ask(const TMessageRequest& request) override;
  TSize ScreenSize() const override;
  TFrame FrameOf(const TForm& form) const override;
  TSize TextExtent(const TFont& font, const std::string& text) const override;
  uint32_t SysColor(int index) const override;
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
  std::unique_ptr<win32::TWin32Impl> impl_;
};

}  // namespace tovin::ui
