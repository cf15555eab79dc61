// TBackend: what the application delegates to the thing that shows its forms (the headless
// backend for tests and unattended runs; a terminal and a Win32 backend). Backends hold no
// setup logic: they run loops, answer boxes and follow the model's changes.
//
// The loop contract, which every backend keeps:
// - A loop (RunLoop, ProcessMessages, the loop of an open box) hands every input and every
//   timer to the model through TApplication::Deliver, which shows a tovin::Exception in an
//   error box and holds any other exception until the native dispatch has returned; the
//   backend rethrows it with TApplication::RethrowFault from RunLoop (or ProcessMessages), so
//   nothing ever unwinds through the window system's own code.
// - At every turn, before waiting, a loop runs TApplication::AnnounceNew (controls made while
//   their form was shown) and TApplication::RunPostedActions, and checks ended().
// - Timers may fire in any pump: a loop turn, ProcessMessages, the loop of a message box.
//   Forms must not rely on a pump that fires none (the headless backend fires timers only at
//   a loop turn, which its own tests rely on; no other backend promises that).
// - Input that a backend takes from the user (text typed, a box ticked, an item chosen, the
//   focus moved) reaches the model through TApplication::FromUser, so that the change is not
//   told back to the backend that made it.
// - Wake() may come at any time (Terminate, PostAction): a loop that waits for input returns
//   to check ended() and the posted actions.
// - While a box is open (Ask) no form accepts input (TApplication::BoxOpen); a backend that
//   shows a native box disables the box's owner form as Windows does.
#pragma once
#include <functional>
#include <string>

#include "ui/graphics.h"
#include "ui/message_request.h"
#include "ui/property.h"

namespace tovin::ui {

class TApplication;
class TControl;
class TForm;
class TTimer;

class TBackend {
 public:
  virtual ~TBackend() = default;

  // Loops.
  // Runs the message loop of loopForm (a modal form, or the main form under Run) until ended()
  // is true; ended() is checked before every turn.
  virtual void RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) = 0;
  // Handles what is pending, without waiting; posted actions included.
  virtual void ProcessMessages(TApplication& app) = 0;
  // A loop that waits should return to its checks (Terminate, PostAction).
  virtual void Wake() {}

  // Boxes. Shows a message box or input query, owned by request.Owner, and waits for the answer.
  virtual TMessageAnswer Ask(const TMessageRequest& request) = 0;
  // A box the application answered with its cancel button without showing it, because the
  // application is ending.
  virtual void Dismissed(const TMessageRequest& request, const TMessageAnswer& answer) {
    (void)request;
    (void)answer;
  }

  // Measures. The area a maximized form fills and a centred form is centred in.
  virtual TSize ScreenSize() const { return {1024, 768}; }
  // The frame around a form's client area for its border style (the classic Windows metrics
  // by default).
  virtual TFrame FrameOf(const TForm& form) const;
  // The size of one line of text in font (FixedTextExtent by default, which backends without
  // fonts share).
  virtual TSize TextExtent(const TFont& font, const std::string& text) const;
  // A system colour (the index of clWindow, clBtnFace...) as 0x00BBGGRR (the classic Windows
  // standard scheme by default; GetSysColor on Win32).
  virtual uint32_t SysColor(int index) const;

  // Changes of the model.
  // A control is complete and may be shown (forms too); it comes before any other news of it.
  virtual void ControlCreated(TControl& control) { (void)control; }
  // The control goes; its form is still alive. Nothing more comes about it.
  virtual void ControlDestroyed(TControl& control) { (void)control; }
  virtual void FormShown(TForm& form) { (void)form; }
  virtual void FormHidden(TForm& form) { (void)form; }
  virtual void ControlChanged(TControl& control, TProperty property) {
    (void)control;
    (void)property;
  }
  // Paint the control again when the backend next paints (Repaint), or before returning (Update).
  virtual void Repaint(TControl& control) { (void)control; }
  virtual void Update(TControl& control) { Repaint(control); }
  // Enabled or Interval changed (also when the timer is made).
  virtual void TimerChanged(TTimer& timer) { (void)timer; }
  virtual void TimerDestroyed(TTimer& timer) { (void)timer; }
};

}  // namespace tovin::ui
