// TForwardingBackend: a backend that passes every call on to another one; a decorator
// overrides the calls it watches (a progress display, a recorder in tests).
#pragma once
#include "ui/backend.h"

namespace tovin::ui {

class TForwardingBackend : public TBackend {
 public:
  explicit TForwardingBackend(TBackend& inner) : inner_(inner) {}
  TBackend& Inner() const { return inner_; }

  void RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) override {
    inner_.RunLoop(app, loopForm, ended);
  }
  void ProcessMessages(TApplication& app) override { inner_.ProcessMessages(app); }
  void Wake() override { inner_.Wake(); }
  TMessageAnswer Ask(const TMessageRequest& request) override { return inner_.Ask(request); }
  void Dismissed(const TMessageRequest& request, const TMessageAnswer& answer) override {
    inner_.Dismissed(request, answer);
  }
  TSize ScreenSize() const override { return inner_.ScreenSize(); }
  TFrame FrameOf(const TForm& form) const override { return inner_.FrameOf(form); }
  TSize TextExtent(const TFont& font, const std::string& text) const override { return inner_.TextExtent(font, text); }
  uint32_t SysColor(int index) const override { return inner_.SysColor(index); }
  void ControlCreated(TControl& control) override { inner_.ControlCreated(control); }
  void ControlDestroyed(TControl& control) override { inner_.ControlDestroyed(control); }
  void FormShown(TForm& form) override { inner_.FormShown(form); }
  void FormHidden(TForm& form) override { inner_.FormHidden(form); }
  void ControlChanged(TControl& control, TProperty property) override { inner_.ControlChanged(control, property); }
  void Repaint(TControl& control) override { inner_.Repaint(control); }
  void Update(TControl& control) override { inner_.Update(control); }
  void TimerChanged(TTimer& timer) override { inner_.TimerChanged(timer); }
  void TimerDestroyed(TTimer& timer) override { inner_.TimerDestroyed(timer); }

 private:
  TBackend& inner_;
};

}  // namespace tovin::ui
