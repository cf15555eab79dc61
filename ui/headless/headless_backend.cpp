#include "ui/headless/headless_backend.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace tovin::ui {
namespace {

std::string LoopName(const TForm& form) {
  const std::string& title = form.Caption().empty() ? form.Name() : form.Caption();
  return (form.Modal() ? "modal loop of " : "main loop of ") + title;
}

// A label as a person would read it: without its accelerator mark and letter case.
std::string Plain(const std::string& label) {
  std::string out;
  for (char c : label)
    if (c != '&') out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return out;
}

int FindButton(const TMessageRequest& request, const std::string& label) {
  for (size_t i = 0; i < request.Buttons.size(); ++i)
    if (Plain(request.Buttons[i]) == Plain(label)) return static_cast<int>(i);
  std::string known;
  for (const std::string& button : request.Buttons) known += (known.empty() ? "" : ", ") + button;
  throw EHeadlessScript("box \"" + request.Caption + "\" has no button \"" + label + "\" (" + known + ")");
}

}  // namespace

void THeadlessBackend::AtProcessMessages(int call, TNotifyEvent action) {
  if (call <= processMessagesCalls_)
    throw std::invalid_argument("ProcessMessages call " + std::to_string(call) + " has already happened");
  atProcessMessages_.emplace(call, std::move(action));
}

void THeadlessBackend::RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) {
  for (int turns = 0; !ended();) {
    app.RethrowFault();
    if (++turns > MaxTurns)
      throw EHeadlessRunaway(LoopName(loopForm) + " did not end after " + std::to_string(MaxTurns) + " turns");
    app.AnnounceNew();
    if (app.RunPostedActions()) continue;
    if (FireNextTimer(app)) continue;
    if (OnIdle) {
      bool acted = true;  // an action that failed was still an action: its error box was shown
      TIdleHandler idle = OnIdle;
      app.Deliver([&] { acted = idle(loopForm); });
      if (acted) continue;
    }
    app.RethrowFault();
    throw EHeadlessStall(LoopName(loopForm) + " has nothing left to do");
  }
  app.RethrowFault();
}

void THeadlessBackend::ProcessMessages(TApplication& app) {
  int call = ++processMessagesCalls_;
  auto [first, last] = atProcessMessages_.equal_range(call);
  std::vector<TNotifyEvent> actions;
  for (auto it = first; it != last; ++it) actions.push_back(std::move(it->second));
  atProcessMessages_.erase(first, last);
  for (const TNotifyEvent& action : actions) app.Deliver(action);
  app.RunPostedActions();
  app.RethrowFault();
}

bool THeadlessBackend::FireNextTimer(TApplication& app) {
  TTimer* next = nullptr;
  Due when{};
  for (const auto& [timer, due] : due_) {
    if (!timer->Running()) continue;
    if (!next || due.time < when.time || (due.time == when.time && due.order < when.order)) {
      next = timer;
      when = due;
    }
  }
  if (!next) return false;
  clock_ = std::max(clock_, when.time);
  due_[next] = {clock_ + next->Interval(), ++order_};
  app.Deliver([next] { next->Fire(); });
  return true;
}

void THeadlessBackend::ControlCreated(TControl& control) {
  if (!live_.insert(&control).second)
    throw EHeadlessLifetime("control " + control.Name() + " announced twice");
}

void THeadlessBackend::ControlDestroyed(TControl& control) {
  // This runs in a destructor: a fault is noted for the driver, not thrown.
  if (live_.erase(&control) == 0) lifetimeFaults_.push_back("control " + control.Name() + " went without being announced");
}

void THeadlessBackend::ControlChanged(TControl& control, TProperty property) {
  (void)property;
  Known(control, "change");
}

void THeadlessBackend::FormShown(TForm& form) { Known(form, "show"); }

void THeadlessBackend::Known(const TControl& control, const char* news) const {
  if (!live_.contains(&control))
    throw EHeadlessLifetime(std::string(news) + " of control " + control.Name() + ", which is not announced or has gone");
}

void THeadlessBackend::TimerChanged(TTimer& timer) {
  if (timer.Enabled() && timer.Interval() > 0)
    due_[&timer] = {clock_ + timer.Interval(), ++order_};
  else
    due_.erase(&timer);
}

void THeadlessBackend::TimerDestroyed(TTimer& timer) { due_.erase(&timer); }

TMessageAnswer THeadlessBackend::Ask(const TMessageRequest& request) {
  TMessageAnswer answer{request.DefaultButton, request.Value};
  TAnswerSource source = asDefault;
  if (std::optional<THeadlessAnswer> scripted = Script ? Script(request) : std::nullopt) {
    source = asScript;
    if (scripted->Text) {
      if (request.Kind != mkInput)
        throw EHeadlessScript("box \"" + request.Caption + "\" has no input line for \"" + *scripted->Text + "\"");
      answer.Value = *scripted->Text;
    }
    if (!scripted->Button.empty()) answer.Button = FindButton(request, scripted->Button);
  }
  Record(request, answer, source);
  return answer;
}

void THeadlessBackend::Dismissed(const TMessageRequest& request, const TMessageAnswer& answer) {
  Record(request, answer, asTerminated);
}

void THeadlessBackend::Record(const TMessageRequest& request, const TMessageAnswer& answer, TAnswerSource source) {
  transcript_.push_back({request.Caption, request.Text, request.Kind,
                         request.Buttons[static_cast<size_t>(answer.Button)],
                         request.Kind == mkInput ? answer.Value : std::string(), source, request.Id,
                         request.Subject});
}

}  // namespace tovin::ui
