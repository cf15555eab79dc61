// TTimer: raises OnTimer every Interval milliseconds while Enabled, until a handler disables it
// (a one-shot timer disables itself first thing). Like the class library's timer it starts
// enabled with an interval of 1000 ms, so a form that wants it idle disables it in its
// constructor. An interval of 0, or no OnTimer handler, keeps it from firing. Enabling it or
// changing its interval starts the count again. The timer is registered with the application of
// its owner form, whose backend decides when it fires.
#pragma once
#include <cstdint>
#include <string>

#include "ui/control.h"

namespace tovin::ui {

class TApplication;
class TForm;

class TTimer {
 public:
  TTimer(TForm& owner, std::string name);
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  const std::string& Name() const { return name_; }
  TForm& Owner() const { return owner_; }

  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Whether the backend should count it down: enabled, a non-zero interval and a handler.
  bool Running() const { return enabled_ && interval_ > 0 && OnTimer; }

  TNotifyEvent OnTimer;

  // For backends: the interval has elapsed. Raises OnTimer if the timer is still enabled.
  void Fire();

 private:
  TApplication& application_;
  TForm& owner_;
  std::string name_;
  uint32_t interval_ = 1000;
  bool enabled_ = true;
};

}  // namespace tovin::ui
