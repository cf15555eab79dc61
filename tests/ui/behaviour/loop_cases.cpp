// Modal loops, timers and the loop contract; boxes; what a backend is told of changes.
#include <memory>
#include <stdexcept>

#include "tests/ui/behaviour/behaviour_suite.h"

namespace tovin::ui::test {

TEST_P(Loops, AModalRunInsideATimerHandlerReturnsItsResultAndTheOuterRunGoesOn) {
  TProbe main(app, "Main"), dialog(app, "Dialog");
  TTimer timer(main, "Timer1");
  timer.SetInterval(10);
  std::vector<std::string> log;
  timer.OnTimer = [&] {
    timer.SetEnabled(false);  // one shot
    log.push_back("dialog " + std::to_string(dialog.ShowModal()));
    main.Close();
  };
  harness->WhenIdle([&](TForm& loop) { return &loop == &dialog && dialog.cancel.Click(); });
  app.Run(main);
  EXPECT_EQ(log, (std::vector<std::string>{"dialog " + std::to_string(mrCancel)}));
  EXPECT_FALSE(dialog.Visible());
}

TEST_P(Loops, AFailureIsShownAndTheLoopGoesOnAFaultLeavesTheLoopOutsideTheBackend) {
  TProbe form(app);
  std::vector<std::string> shown;
  harness->AnswerBoxes([&](const TMessageRequest& r) {
    shown.push_back(r.Text);
    return r.DefaultButton;
  });
  form.check.OnClick = [] { throw Exception("Disk full"); };
  form.edit.OnChange = [] { throw std::logic_error("a fault of the program"); };
  int turn = 0;
  harness->WhenIdle([&](TForm&) {
    ++turn;
    if (turn == 1) return form.check.Click();
    if (turn == 2) return app.FromUser(form.edit, prCaption, [&] { form.edit.SetText("typed"); }) || true;
    ADD_FAILURE() << "the loop went on after a fault";
    return false;
  });
  EXPECT_THROW(form.ShowModal(), std::logic_error);
  EXPECT_EQ(shown, (std::vector<std::string>{"Disk full"}));
  EXPECT_FALSE(form.Visible()) << "the form is hidden again";
  EXPECT_FALSE(form.Modal());
}

TEST_P(Loops, TerminateEndsEveryRunAndLaterBoxesAreNotShown) {
  TProbe main(app, "Main"), dialog(app, "Dialog");
  int asked = 0;
  harness->AnswerBoxes([&](const TMessageRequest& r) {
    ++asked;
    return r.DefaultButton;
  });
  harness->WhenIdle([&](TForm& loop) {
    if (&loop != &dialog) return false;
    app.Terminate();
    return true;
  });
  TModalResult result = mrNone;
  main.OnShow = [&] { app.PostAction([&] { result = dialog.ShowModal(); }); };
  app.Run(main);
  EXPECT_EQ(result, mrCancel);
  EXPECT_FALSE(app.Confirm("Still there?")) << "answered with its cancel button";
  EXPECT_EQ(asked, 0);
}

TEST_P(Boxes, WhileABoxIsOpenNoFormTakesInputSoQuestionsDoNotNest) {
  TProbe form(app);
  int questions = 0;
  form.check.OnClick = [&] {
    ++questions;
    app.Confirm("Abort Setup Process ?");
  };
  std::vector<bool> secondClick;
  harness->AnswerBoxes([&](const TMessageRequest& r) {
    EXPECT_EQ(r.Owner, &form) << "the box belongs to the modal form";
    EXPECT_TRUE(app.BoxOpen());
    secondClick.push_back(form.check.Click());
    secondClick.push_back(form.ok.Click());
    return r.CancelButton;
  });
  harness->WhenIdle([&](TForm&) { return questions == 0 ? form.check.Click() : form.ok.Click(); });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(secondClick, (std::vector<bool>{false, false}));
  EXPECT_FALSE(app.BoxOpen());
}

TEST_P(Boxes, TheAnswerIsTheButtonPressedAndAnInputQueryReturnsItsText) {
  TProbe form(app);
  harness->AnswerBoxes([](const TMessageRequest& r) { return r.Kind == mkInput ? r.DefaultButton : r.CancelButton; });
  std::string value = "C:\\Apps";
  std::vector<bool> answers;
  harness->WhenIdle([&](TForm&) {
    answers.push_back(app.Confirm("Create New Directory?"));
    answers.push_back(app.InputQuery("Folder", "Name:", value));
    return form.ok.Click();
  });
  form.ShowModal();
  EXPECT_EQ(answers, (std::vector<bool>{false, true}));
  EXPECT_EQ(value, "C:\\Apps");
}

TEST_P(Changes, EachChangeNamesItsPropertyOnceAndInputIsNotEchoed) {
  TProbe form(app);
  TCheckListBox list(form, "list");
  TProgressBar bar(form, "bar");
  form.Show();
  recorder.changes.clear();
  form.check.SetCaption("&Remember");  // unchanged: no news
  form.check.SetChecked(true);
  list.SetItems({"a", "b"});
  list.SetChecked(1, true);
  bar.SetPosition(40);
  form.ok.SetEnabled(false);
  EXPECT_EQ(recorder.changes, (std::vector<TRecorder::Change>{{&form.check, prChecked},
                                                               {&list, prItems},
                                                               {&list, prChecked},
                                                               {&bar, prPosition},
                                                               {&form.ok, prEnabled}}));
  recorder.changes.clear();
  int onChange = 0;
  form.edit.OnChange = [&] {
    ++onChange;
    if (form.edit.Text() == "c:\\x") form.edit.SetText("C:\\x");  // the form's own change is told
  };
  app.FromUser(form.edit, prCaption, [&] { form.edit.SetText("typed"); });
  app.FromUser(form.edit, prCaption, [&] { form.edit.SetText("c:\\x"); });
  EXPECT_EQ(onChange, 3);
  EXPECT_EQ(recorder.changes, (std::vector<TRecorder::Change>{{&form.edit, prCaption}}));
  EXPECT_EQ(form.edit.Text(), "C:\\x");
  form.Hide();
}

TEST_P(Changes, UpdatePaintsNowAndRepaintLater) {
  TProbe form(app);
  form.Show();
  form.Update();
  form.edit.Repaint();
  EXPECT_EQ(recorder.paints, (std::vector<std::string>{"now Probe", "later edit"}));
  form.Hide();
}

}  // namespace tovin::ui::test
