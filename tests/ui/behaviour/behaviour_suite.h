// The behaviour every backend shares, written once: modal loops, timers, boxes, focus and
// keyboard, geometry and the lifetime of controls. A backend joins the suite with a harness
// that acts on it as a person would (a click when its loop is idle, a key, a button in a box)
// and an instantiation of the suites below. The recorder between the application and the
// backend checks what every backend relies on: no news of a control before it is announced or
// after it has gone.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/forwarding_backend.h"
#include "ui/ui.h"

namespace tovin::ui::test {

struct TKeyPress {
  enum Kind { kTab, kShiftTab, kEnter, kEscape, kAlt } Key;
  char Letter = 0;  // kAlt: the accelerator letter
};

class TBackendHarness {
 public:
  virtual ~TBackendHarness() = default;
  virtual TBackend& Backend() = 0;
  // act runs whenever a loop has nothing else to do (as a person would act then); it returns
  // whether it did something. A loop with nothing done and nothing pending is a test fault.
  virtual void WhenIdle(std::function<bool(TForm& loopForm)> act) = 0;
  // answer runs while each box is open and returns the index of the button to press.
  virtual void AnswerBoxes(std::function<int(const TMessageRequest& request)> answer) = 0;
  // A key pressed on form, as the backend's keyboard delivers it.
  virtual void Press(TForm& form, TKeyPress key) = 0;
  // The screen becomes size; false when this backend cannot change it.
  virtual bool ResizeScreen(TSize size) = 0;
};

using THarnessFactory = std::function<std::unique_ptr<TBackendHarness>()>;

// Passes everything on and notes what breaks a backend's trust in the model.
class TRecorder final : public TForwardingBackend {
 public:
  using TForwardingBackend::TForwardingBackend;
  struct Change {
    const TControl* Control;
    TProperty Property;
    bool operator==(const Change&) const = default;
  };

  void ControlCreated(TControl& control) override {
    if (!live.insert(&control).second) faults.push_back("announced twice: " + control.Name());
    createdAs.push_back(typeid(control).name());
    TForwardingBackend::ControlCreated(control);
  }
  void ControlDestroyed(TControl& control) override {
    if (live.erase(&control) == 0) faults.push_back("went unannounced: " + control.Name());
    ++destroyed;
    TForwardingBackend::ControlDestroyed(control);
  }
  void ControlChanged(TControl& control, TProperty property) override {
    Known(control, "change");
    changes.push_back({&control, property});
    TForwardingBackend::ControlChanged(control, property);
  }
  void FormShown(TForm& form) override {
    Known(form, "show");
    shownSizes.push_back({form.Width(), form.Height()});
    TForwardingBackend::FormShown(form);
  }
  void Repaint(TControl& control) override {
    Known(control, "repaint");
    paints.push_back("later " + control.Name());
    TForwardingBackend::Repaint(control);
  }
  void Update(TControl& control) override {
    Known(control, "update");
    paints.push_back("now " + control.Name());
    TForwardingBackend::Update(control);
  }

  std::set<const TControl*> live;
  std::vector<std::string> faults, createdAs, paints;
  std::vector<Change> changes;
  std::vector<TSize> shownSizes;
  int destroyed = 0;

 private:
  void Known(const TControl& control, const char* news) {
    if (!live.contains(&control)) faults.push_back(std::string(news) + " of unannounced " + control.Name());
  }
};

class Behaviour : public ::testing::TestWithParam<THarnessFactory> {
 protected:
  Behaviour() : harness(GetParam()()), recorder(harness->Backend()), app(recorder) {}
  // Forms are locals of the test body, gone by now: whatever went wrong with them is known.
  void TearDown() override { EXPECT_EQ(recorder.faults, std::vector<std::string>{}); }

  // Answers every box with its default button.
  void AnswerDefaults() {
    harness->AnswerBoxes([](const TMessageRequest& r) { return r.DefaultButton; });
  }

  std::unique_ptr<TBackendHarness> harness;
  TRecorder recorder;
  TApplication app;
};

// The suites; a backend instantiates them all with TOVIN_BEHAVIOUR_SUITES.
class Lifetime : public Behaviour {};
class Loops : public Behaviour {};
class Boxes : public Behaviour {};
class Changes : public Behaviour {};
class Geometry : public Behaviour {};
class Focus : public Behaviour {};

#define TOVIN_BEHAVIOUR_SUITES(Backend, factory)                                             \
  INSTANTIATE_TEST_SUITE_P(Backend, Lifetime, ::testing::Values(THarnessFactory(factory))); \
  INSTANTIATE_TEST_SUITE_P(Backend, Loops, ::testing::Values(THarnessFactory(factory)));    \
  INSTANTIATE_TEST_SUITE_P(Backend, Boxes, ::testing::Values(THarnessFactory(factory)));    \
  INSTANTIATE_TEST_SUITE_P(Backend, Changes, ::testing::Values(THarnessFactory(factory)));  \
  INSTANTIATE_TEST_SUITE_P(Backend, Geometry, ::testing::Values(THarnessFactory(factory))); \
  INSTANTIATE_TEST_SUITE_P(Backend, Focus, ::testing::Values(THarnessFactory(factory)))

// A dialog to drive: OK ends its run, Cancel is its cancel button, and a few controls to walk.
class TProbe : public TForm {
 public:
  explicit TProbe(TApplication& app, const std::string& name = "Probe") : TForm(app, name) {
    SetCaption(name);
    SetBorderStyle(bsDialog);
    SetClientSize(300, 200);
    ok.SetCaption("&OK");
    ok.SetModalResult(mrOk);
    ok.SetDefault(true);
    cancel.SetCaption("&Cancel");
    cancel.SetModalResult(mrCancel);
    cancel.SetCancel(true);
    check.SetCaption("&Remember");
    edit.SetBounds(8, 40, 200, 21);
    ok.SetBounds(130, 160, 75, 25);
    cancel.SetBounds(215, 160, 75, 25);
  }
  TEdit edit{*this, "edit"};
  TCheckBox check{*this, "check"};
  TButton ok{*this, "ok"};
  TButton cancel{*this, "cancel"};
};

}  // namespace tovin::ui::test
