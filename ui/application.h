// TApplication: the event loop and the dialogs of the program. It runs the main form, the
// modal runs of the other forms, posted actions and timers through its backend, and asks every
// message box and input query through one TMessageRequest.
//
// Ending: Terminate() makes every modal run end at its first check with mrCancel, the main
// loop end, and every message box or input query opened afterwards return its cancel answer at
// once (the backend is told, but shows nothing).
//
// Boxes are modal: while one is open no form accepts input, so a second click cannot nest a
// second question. A request without an owner gets the innermost modal form, else the main form.
//
// Failures: a tovin::Exception escaping a handler that a loop calls (a click the backend
// delivers, a timer, a posted action) is shown in an error box titled with Title and the loop
// goes on, as the class library the setup was written against does. Other exceptions (faults
// of the program or of a test driver) are not caught by Dispatch; Deliver holds them for the
// backend to rethrow outside its native dispatch.
#pragma once
#include <exception>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "ui/control.h"
#include "ui/message_request.h"

namespace tovin::ui {

class TBackend;
class TForm;
class TTimer;

class TApplication {
 public:
  // The backend must outlive the application, and the application its forms and timers.
  explicit TApplication(TBackend& backend);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  TBackend& Backend() const { return backend_; }

  // Caption of the plain message boxes and of the error boxes.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }

  // Shows mainForm and runs the main loop until the application is terminated, which closing
  // the main form does.
  void Run(TForm& mainForm);
  TForm* MainForm() const { return mainForm_; }

  // Lets the backend handle what is pending (repaint, a user's action, posted actions) and
  // returns; it does not wait. Virtual time does not move here.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Runs action at the next turn of a loop or the next ProcessMessages, whichever comes first
  // (for instance to release a form once its modal run has returned).
  void PostAction(TNotifyEvent action);

  // Dialogs. Button labels are the class library's ("OK", "Cancel", "&Yes", "&No"); id and
  // subject become the request's Id and Subject.
  // A plain box with Title as caption and an OK button.
  void ShowMessage(const std::string& text, const std::string& id = {}, const std::string& subject = {});
  // "Confirm" with Yes (default) and No (cancel); true for Yes.
  bool Confirm(const std::string& text, const std::string& id = {}, const std::string& subject = {});
  // A warning box with named buttons; returns the index of the pressed button.
  int WarningBox(const std::string& text, const std::string& caption, const std::vector<std::string>& buttons,
                 int defaultButton = 0, int cancelButton = 0, const std::string& id = {},
                 const std::string& subject = {});
  // "Error" with OK (default) and Cancel (cancel); true for OK.
  bool ErrorBoxOkCancel(const std::string& text, const std::string& id = {}, const std::string& subject = {});
  // An input line under a prompt with OK (default) and Cancel (cancel). On OK value becomes
  // the text as typed and the result is true; on Cancel value is left alone.
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                  const std::string& id = {}, const std::string& subject = {});
  // Any box (named Ask: <windows.h> redefines MessageBox). Raises EInvalidOperation for a
  // request without buttons or with an index outside them, and for an answer the backend gives
  // outside them.
  TMessageAnswer Ask(const TMessageRequest& request);
  // The error box of a failure: Title, the exception's message as it stands, OK; its id is
  // kExceptionBoxId.
  void ShowException(const Exception& error);

  // The screen changed size: maximized and centred forms that are shown are placed again.
  void ScreenChanged();

  // For backends and forms.
  // Runs handler; a tovin::Exception from it is shown with ShowException.
  void Dispatch(const TNotifyEvent& handler);
  // What a backend calls where the window system hands it an event: Dispatch, and any other
  // exception is held (the first one) instead of unwinding through the native code; false
  // when one is held. RethrowFault throws it, once the backend is back in its own code.
  bool Deliver(const TNotifyEvent& handler);
  void RethrowFault();
  // Wakes a loop that waits for input (TBackend::Wake).
  void Wake();
  // Input from the user that the backend has already shown (text typed, a box ticked, an item
  // chosen, the focus moved): change makes it in the model, through Deliver, and the first
  // change of property of control that follows is not told back to the backend.
  bool FromUser(TControl& control, TProperty property, const TNotifyEvent& change);
  // Announces to the backend the controls made while their form was shown (see TControl).
  void AnnounceNew();
  // Announces form and every control of it not yet announced.
  void Announce(TForm& form);
  // A box is open: no form accepts input.
  bool BoxOpen() const { return !boxes_.empty(); }
  // The open boxes, innermost last.
  const std::vector<const TMessageRequest*>& Boxes() const { return boxes_; }
  // Runs the actions posted so far (not those they post); false when there were none.
  bool RunPostedActions();
  // Whether a user could act on form now: it is the topmost modal form, or none is modal.
  bool AcceptsInput(const TForm& form) const;
  // Forms and timers in creation order; the modal forms, innermost last.
  const std::vector<TForm*>& Forms() const { return forms_; }
  const std::vector<TTimer*>& Timers() const { return timers_; }
  const std::vector<TForm*>& ModalForms() const { return modal_; }

 private:
  friend class TForm;
  friend class TTimer;
  void AddForm(TForm& form);
  void RemoveForm(TForm& form);
  void PushModal(TForm& form);
  void PopModal(TForm& form);
  void AddTimer(TTimer& timer);
  void RemoveTimer(TTimer& timer);
  friend class TControl;
  void ControlMade(TControl& control);
  void ControlGone(TControl& control);
  void PropertyChanged(TControl& control, TProperty property);

  TBackend& backend_;
  std::string title_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  std::vector<TNotifyEvent> posted_;
  std::vector<TForm*> forms_;
  std::vector<TForm*> modal_;
  std::vector<TTimer*> timers_;
  std::vector<TControl*> made_;  // made while their form was shown, not yet announced
  std::vector<const TMessageRequest*> boxes_;
  TControl* inputControl_ = nullptr;
  TProperty inputProperty_ = prCaption;
  std::exception_ptr fault_;
};

}  // namespace tovin::ui
