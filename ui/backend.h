// TBackend: what the application delegates to the thing that shows its forms (the headless
// backend for tests and unattended runs; a terminal and a Win32 backend). Backends hold no
// setup logic: they run loops, answer boxes and follow the model's changes.
#pragma once
#include <functional>

#include "ui/graphics.h"
#include "ui/message_request.h"

namespace tovin::ui {

class TApplication;
class TControl;
class TForm;
class TTimer;

class TBackend {
 public:
  virtual ~TBackend() = default;

  // Runs the message loop of loopForm (a modal form, or the main form under Run) until ended()
  // is true; ended() is checked before every turn. Every handler the loop calls goes through
  // app.Dispatch, so a failure is shown and the loop goes on; actions posted with PostAction
  // are run with app.RunPostedActions.
  virtual void RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) = 0;
  // Handles what is pending, without waiting; posted actions included.
  virtual void ProcessMessages(TApplication& app) = 0;
  // Shows a message box or input query and waits for the answer.
  virtual TMessageAnswer Ask(const TMessageRequest& request) = 0;
  // A box the application answered with its cancel button without showing it, because the
  // application is ending.
  virtual void Dismissed(const TMessageRequest& request, const TMessageAnswer& answer) {
    (void)request;
    (void)answer;
  }
  // The area a maximized form fills and a centred form is centred in.
  virtual TSize ScreenSize() const { return {1024, 768}; }

  // Changes of the model. ControlChanged also comes while a control is being constructed; a
  // backend that makes native windows does so when a form is shown (Form.AllControls()).
  virtual void FormShown(TForm& form) { (void)form; }
  virtual void FormHidden(TForm& form) { (void)form; }
  virtual void FormDestroyed(TForm& form) { (void)form; }
  virtual void ControlChanged(TControl& control) { (void)control; }
  virtual void Repaint(TControl& control) { (void)control; }
  // Enabled or Interval changed (also when the timer is made).
  virtual void TimerChanged(TTimer& timer) { (void)timer; }
  virtual void TimerDestroyed(TTimer& timer) { (void)timer; }
  // PostAction queued something: a waiting loop should wake up.
  virtual void ActionPosted() {}
};

}  // namespace tovin::ui
