#include "ui/application.h"


#include "ui/backend.h"
#include "ui/form.h"
#include "ui/timer.h"
#include "ui/ui_errors.h"

namespace tovin::ui {

TApplication::TApplication(TBackend& backend) : backend_(backend) {}

TApplication::~TApplication() = default;

void TApplication::Run(TForm& mainForm) {
  mainForm_ = &mainForm;
  mainForm.Show();
  backend_.RunLoop(*this, mainForm, [this] { return terminated_; });
}

void TApplication::ProcessMessages() {
  AnnounceNew();
  backend_.ProcessMessages(*this);
}

void TApplication::Terminate() {
  terminated_ = true;
  backend_.Wake();
}

void TApplication::PostAction(TNotifyEvent action) {
  posted_.push_back(std::move(action));
  backend_.Wake();
}

void TApplication::ScreenChanged() {
  for (TForm* form : std::vector<TForm*>(forms_))
    if (form->Visible()) form->Place();
}

bool TApplication::RunPostedActions() {
  if (posted_.empty()) return false;
  std::vector<TNotifyEvent> batch;
  batch.swap(posted_);
  for (const TNotifyEvent& action : batch) Dispatch(action);
  return true;
}

void TApplication::Dispatch(const TNotifyEvent& handler) {
  if (!handler) return;
  TNotifyEvent run = handler;  // the handler may release the object that holds it
  try {
    run();
  } catch (const Exception& error) {
    ShowException(error);
  }
}

bool TApplication::Deliver(const TNotifyEvent& handler) {
  if (fault_) return false;  // the loop is on its way out: nothing more runs
  try {
    Dispatch(handler);
    return true;
  } catch (...) {
    fault_ = std::current_exception();
    Wake();
    return false;
  }
}

void TApplication::Wake() { backend_.Wake(); }

void TApplication::RethrowFault() {
  if (!fault_) return;
  std::exception_ptr fault = fault_;
  fault_ = nullptr;
  std::rethrow_exception(fault);
}

bool TApplication::FromUser(TControl& control, TProperty property, const TNotifyEvent& change) {
  TControl* savedControl = inputControl_;
  TProperty savedProperty = inputProperty_;
  inputControl_ = &control;
  inputProperty_ = property;
  bool delivered = Deliver(change);
  inputControl_ = savedControl;
  inputProperty_ = savedProperty;
  return delivered;
}

void TApplication::PropertyChanged(TControl& control, TProperty property) {
  if (inputControl_ == &control && inputProperty_ == property) {
    inputControl_ = nullptr;  // that was the input itself; later changes are the model's own
    return;
  }
  backend_.ControlChanged(control, property);
}

void TApplication::ControlMade(TControl& control) { made_.push_back(&control); }

void TApplication::ControlGone(TControl& control) {
  std::erase(made_, &control);
  if (inputControl_ == &control) inputControl_ = nullptr;
  if (!control.announced_) return;
  control.announced_ = false;
  backend_.ControlDestroyed(control);
}

void TApplication::AnnounceNew() {
  if (made_.empty()) return;
  std::vector<TControl*> made;
  made.swap(made_);
  for (TControl* control : made)
    if (control->Form() && control->Form()->announced_ && !control->announced_) {
      control->announced_ = true;
      backend_.ControlCreated(*control);
    }
}

void TApplication::Announce(TForm& form) {
  if (!form.announced_) {
    form.announced_ = true;
    backend_.ControlCreated(form);
  }
  for (TControl* control : form.AllControls())
    if (!control->announced_) {
      control->announced_ = true;
      backend_.ControlCreated(*control);
    }
  std::erase_if(made_, [&form](TControl* c) { return c->Form() == &form; });
}

bool TApplication::AcceptsInput(const TForm& form) const {
  return boxes_.empty() && (modal_.empty() || modal_.back() == &form);
}

TMessageAnswer TApplication::Ask(const TMessageRequest& request) {
  auto button = [&](int index) { return index >= 0 && static_cast<size_t>(index) < request.Buttons.size(); };
  if (!button(request.DefaultButton) || !button(request.CancelButton))
    throw EInvalidOperation("Message box \"" + request.Caption + "\" has no such button");
  TMessageRequest owned = request;
  if (!owned.Owner) owned.Owner = !modal_.empty() ? modal_.back() : mainForm_;
  if (terminated_) {
    TMessageAnswer answer{owned.CancelButton, owned.Value};
    backend_.Dismissed(owned, answer);
    return answer;
  }
  AnnounceNew();
  boxes_.push_back(&owned);
  TMessageAnswer answer;
  try {
    answer = backend_.Ask(owned);
  } catch (...) {
    std::erase(boxes_, &owned);
    throw;
  }
  std::erase(boxes_, &owned);
  if (!button(answer.Button))
    throw EInvalidOperation("Message box \"" + request.Caption + "\" answered with button " +
                            std::to_string(answer.Button));
  return answer;
}

void TApplication::ShowMessage(const std::string& text, const std::string& id, const std::string& subject) {
  Ask({title_, text, mkPlain, {"OK"}, 0, 0, {}, id, subject});
}

bool TApplication::Confirm(const std::string& text, const std::string& id, const std::string& subject) {
  return Ask({"Confirm", text, mkConfirmation, {"&Yes", "&No"}, 0, 1, {}, id, subject}).Button == 0;
}

int TApplication::WarningBox(const std::string& text, const std::string& caption,
                             const std::vector<std::string>& buttons, int defaultButton, int cancelButton,
                             const std::string& id, const std::string& subject) {
  return Ask({caption, text, mkWarning, buttons, defaultButton, cancelButton, {}, id, subject}).Button;
}

bool TApplication::ErrorBoxOkCancel(const std::string& text, const std::string& id, const std::string& subject) {
  return Ask({"Error", text, mkError, {"OK", "Cancel"}, 0, 1, {}, id, subject}).Button == 0;
}

bool TApplication::InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                              const std::string& id, const std::string& subject) {
  TMessageAnswer answer = Ask({caption, prompt, mkInput, {"OK", "Cancel"}, 0, 1, value, id, subject});
  if (answer.Button != 0) return false;
  value = answer.Value;
  return true;
}

void TApplication::ShowException(const Exception& error) {
  Ask({title_, error.Message(), mkError, {"OK"}, 0, 0, {}, kExceptionBoxId, {}});
}

void TApplication::AddForm(TForm& form) { forms_.push_back(&form); }

void TApplication::RemoveForm(TForm& form) {
  std::erase(forms_, &form);
  std::erase(modal_, &form);
  if (mainForm_ == &form) mainForm_ = nullptr;
}

void TApplication::PushModal(TForm& form) { modal_.push_back(&form); }

void TApplication::PopModal(TForm& form) { std::erase(modal_, &form); }

void TApplication::AddTimer(TTimer& timer) {
  timers_.push_back(&timer);
  backend_.TimerChanged(timer);
}

void TApplication::RemoveTimer(TTimer& timer) {
  std::erase(timers_, &timer);
  backend_.TimerDestroyed(timer);
}

}  // namespace tovin::ui
