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

void TApplication::ProcessMessages() { backend_.ProcessMessages(*this); }

void TApplication::PostAction(TNotifyEvent action) {
  posted_.push_back(std::move(action));
  backend_.ActionPosted();
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

bool TApplication::AcceptsInput(const TForm& form) const { return modal_.empty() || modal_.back() == &form; }

TMessageAnswer TApplication::Ask(const TMessageRequest& request) {
  auto button = [&](int index) { return index >= 0 && static_cast<size_t>(index) < request.Buttons.size(); };
  if (!button(request.DefaultButton) || !button(request.CancelButton))
    throw EInvalidOperation("Message box \"" + request.Caption + "\" has no such button");
  if (terminated_) {
    TMessageAnswer answer{request.CancelButton, request.Value};
    backend_.Dismissed(request, answer);
    return answer;
  }
  TMessageAnswer answer = backend_.Ask(request);
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
  backend_.FormDestroyed(form);
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
