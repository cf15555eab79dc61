#include "ui/timer.h"

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace tovin::ui {

TTimer::TTimer(TForm& owner, std::string name)
    : application_(owner.Application()), owner_(owner), name_(std::move(name)) {
  application_.AddTimer(*this);
}

TTimer::~TTimer() { application_.RemoveTimer(*this); }

void TTimer::SetInterval(uint32_t milliseconds) {
  if (interval_ == milliseconds) return;
  interval_ = milliseconds;
  application_.Backend().TimerChanged(*this);
}

void TTimer::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  application_.Backend().TimerChanged(*this);
}

void TTimer::Fire() {
  if (!enabled_ || !OnTimer) return;
  TNotifyEvent handler = OnTimer;  // the handler may destroy the timer's form
  handler();
}

}  // namespace tovin::ui
