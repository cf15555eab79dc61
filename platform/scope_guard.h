// Runs a clean-up step when a scope ends, by return or by exception, unless dismissed first.
// The step must not throw: it may run while an exception is on its way out.
#pragma once
#include <utility>

namespace tovin {

template <typename Step>
class ScopeGuard {
 public:
  explicit ScopeGuard(Step step) : step_(std::move(step)) {}
  ~ScopeGuard() {
    if (armed_) step_();
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

  // What the step would undo is to stay.
  void Dismiss() { armed_ = false; }

 private:
  Step step_;
  bool armed_ = true;
};

}  // namespace tovin
