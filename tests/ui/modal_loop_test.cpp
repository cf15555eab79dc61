// Modal runs, the main loop, posted actions, the n-th ProcessMessages action, failures shown by
// the loop, and the headless guards against stalled and runaway loops.
#include <memory>

#include "tests/ui/ui_fixture.h"

namespace tovin::ui::test {
namespace {

class ModalLoop : public UiTest {};

TEST_F(ModalLoop, NestedRunsReturnTheirOwnResultsInOrder) {
  TDialog outer(app, "Outer"), inner(app, "Inner");
  TTimer timer(outer, "timer");
  std::vector<std::string> log;
  TModalResult innerResult = mrNone;
  timer.SetInterval(10);
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    EXPECT_EQ(app.ModalForms(), (std::vector<TForm*>{&outer}));
    innerResult = inner.ShowModal();
    log.push_back("inner returned");
    outer.Close();
  };
  inner.OnShow = [&] { log.push_back("inner shown"); };
  inner.OnClose = [&] { log.push_back("inner closed, visible " + std::to_string(inner.Visible())); };
  outer.OnClose = [&] { log.push_back("outer closed"); };
  backend.OnIdle = [&](TForm& form) {
    EXPECT_EQ(&form, &inner) << "only the inner run is left without work";
    EXPECT_EQ(app.ModalForms(), (std::vector<TForm*>{&outer, &inner}));
    return inner.ok.Click();
  };

  EXPECT_EQ(outer.ShowModal(), mrCancel);
  EXPECT_EQ(innerResult, mrOk);
  EXPECT_EQ(log, (std::vector<std::string>{"inner shown", "inner closed, visible 0", "inner returned",
                                           "outer closed"}));
  EXPECT_FALSE(outer.Visible());
  EXPECT_FALSE(outer.Modal());
  EXPECT_TRUE(app.ModalForms().empty());
}

TEST_F(ModalLoop, OnlyTheInnermostModalFormTakesInput) {
  TDialog outer(app, "Outer"), inner(app, "Inner");
  int outerPresses = 0;
  outer.action.OnClick = [&] { ++outerPresses; };
  outer.action.OnDblClick = [&] { ++outerPresses; };
  std::vector<bool> delivered;
  app.PostAction([&] {
    delivered.push_back(outer.action.Click());
    inner.ShowModal();
    outer.Close();
  });
  backend.OnIdle = [&](TForm&) {
    delivered.push_back(outer.action.Click());
    delivered.push_back(outer.action.DblClick());
    inner.Close();
    return true;
  };
  outer.ShowModal();
  EXPECT_EQ(delivered, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(outerPresses, 1);
}

TEST_F(ModalLoop, HowTheRunEndsDecidesTheResult) {
  struct Case {
    const char* name;
    std::function<void(TDialog&)> end;
    TModalResult expected;
  } cases[] = {
      {"Close", [](TDialog& d) { d.Close(); }, mrCancel},
      {"Close keeps a result set before", [](TDialog& d) { d.SetModalResult(mrOk); d.Close(); }, mrOk},
      {"button result", [](TDialog& d) { d.ok.SetModalResult(mrYes); d.ok.Click(); }, mrYes},
      {"result set in OnClick then Close",
       [](TDialog& d) {
         d.action.OnClick = [&d] {
           d.SetModalResult(mrAbort);
           d.Close();
         };
         d.action.Click();
       },
       mrAbort},
  };
  for (const Case& c : cases) {
    TDialog dialog(app, "Dialog");
    int closes = 0;
    dialog.OnClose = [&] {
      ++closes;
      EXPECT_FALSE(dialog.Visible()) << "hidden before OnClose";
    };
    backend.OnIdle = [&](TForm&) { c.end(dialog); return true; };
    EXPECT_EQ(dialog.ShowModal(), c.expected) << c.name;
    EXPECT_EQ(closes, 1) << c.name;
  }
}

TEST_F(ModalLoop, ARunEndedFromOnShowNeedsNoTurn) {
  TDialog dialog(app, "Dialog");
  dialog.OnShow = [&] { dialog.Close(); };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);  // without OnIdle a turn would stall
  dialog.OnShow = [&] { dialog.SetModalResult(mrOk); };
  EXPECT_EQ(dialog.ShowModal(), mrOk) << "the result of the previous run is cleared";
}

TEST_F(ModalLoop, AShownFormCannotBeMadeModal) {
  TDialog dialog(app, "Dialog");
  dialog.Show();
  try {
    dialog.ShowModal();
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Cannot make a visible window modal");
  }
  EXPECT_TRUE(app.ModalForms().empty());
}

TEST_F(ModalLoop, TerminateEndsEveryRunWithCancelAndAnswersLaterBoxesAtOnce) {
  TDialog outer(app, "Outer"), inner(app, "Inner"), later(app, "Later");
  int scriptCalls = 0;
  backend.Script = [&](const TMessageRequest&) -> std::optional<THeadlessAnswer> {
    ++scriptCalls;
    return THeadlessAnswer::Press("OK");
  };
  TModalResult innerResult = mrNone, laterResult = mrNone;
  bool laterShown = false;
  std::string value = "C:\\";
  std::vector<int> answers;
  later.OnShow = [&] { laterShown = true; };
  app.PostAction([&] {
    innerResult = inner.ShowModal();
    app.ShowMessage("Error Expanding Files!!");
    answers.push_back(app.Confirm("Overwrite?"));
    answers.push_back(app.WarningBox("Abort Setup Process ?", "Warning", {"&No", "&Abort"}, 1, 0));
    answers.push_back(app.ErrorBoxOkCancel("Retry?"));
    answers.push_back(app.InputQuery("Mount Segment #2", "Directory Path:", value));
    laterResult = later.ShowModal();
  });
  backend.OnIdle = [&](TForm&) {
    inner.SetModalResult(mrOk);  // a result set before the end is overruled
    app.Terminate();
    return true;
  };
  EXPECT_EQ(outer.ShowModal(), mrCancel);
  EXPECT_EQ(innerResult, mrCancel);
  EXPECT_EQ(laterResult, mrCancel);
  EXPECT_TRUE(laterShown);
  EXPECT_EQ(answers, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(value, "C:\\");
  EXPECT_EQ(scriptCalls, 0);
  ASSERT_EQ(backend.Transcript().size(), 5u);
  const char* pressed[] = {"OK", "&No", "&No", "Cancel", "Cancel"};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(backend.Transcript()[i].Source, asTerminated) << i;
    EXPECT_EQ(backend.Transcript()[i].Button, pressed[i]) << i;
  }
}

TEST_F(ModalLoop, RunEndsWhenTheMainFormCloses) {
  TDialog main(app, "Main"), dialog(app, "Dialog");
  TTimer timer(main, "Timer1");
  std::vector<std::string> log;
  main.OnShow = [&] { log.push_back("show"); };
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    log.push_back("timer at " + std::to_string(backend.Clock()));
    dialog.ShowModal();
    main.Close();
  };
  main.OnClose = [&] { log.push_back("close, terminated " + std::to_string(app.Terminated())); };
  backend.OnIdle = [&](TForm& form) {
    EXPECT_EQ(&form, &dialog);
    dialog.Close();
    return true;
  };
  app.Run(main);
  EXPECT_EQ(log, (std::vector<std::string>{"show", "timer at 1000", "close, terminated 0"}));
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(app.MainForm(), &main);
}

TEST_F(ModalLoop, APostedActionRunsBeforeTheFirstTimer) {
  TDialog main(app, "Main");
  TTimer timer(main, "Timer1");
  bool timerFired = false;
  timer.OnTimer = [&] { timerFired = true; };
  app.PostAction([&] { main.Close(); });
  app.Run(main);
  EXPECT_FALSE(timerFired);
}

TEST_F(ModalLoop, AFormReleasedThroughPostActionOutlivesItsRun) {
  // OnClose posts the release; the caller of ShowModal can still read the form.
  auto wizard = std::make_unique<TDialog>(app, "Wizard");
  wizard->OnClose = [&] { app.PostAction([&] { wizard.reset(); }); };
  backend.OnIdle = [&](TForm&) { wizard->Close(); return true; };
  EXPECT_EQ(wizard->ShowModal(), mrCancel);
  ASSERT_NE(wizard, nullptr);
  EXPECT_FALSE(wizard->Visible());
  app.ProcessMessages();
  EXPECT_EQ(wizard, nullptr);
}

TEST_F(ModalLoop, AFormMayBeReleasedInsideItsOwnOnClose) {
  // Nothing of the form is touched after OnClose, so even a release run by a ProcessMessages
  // inside the handler is safe (the sanitizer build would catch a use after free).
  auto wizard = std::make_unique<TDialog>(app, "Wizard");
  wizard->OnClose = [&] {
    app.PostAction([&] { wizard.reset(); });
    app.ProcessMessages();
  };
  backend.OnIdle = [&](TForm&) { wizard->ok.Click(); return true; };
  EXPECT_EQ(wizard->ShowModal(), mrOk);
  EXPECT_EQ(wizard, nullptr);
  EXPECT_TRUE(app.Forms().empty());
}

TEST_F(ModalLoop, PostedActionsRunAtTheNextTurnNotAtOnce) {
  TDialog dialog(app, "Dialog");
  std::vector<std::string> log;
  backend.OnIdle = [&](TForm&) {
    app.PostAction([&] {
      log.push_back("posted");
      app.PostAction([&] {
        log.push_back("posted by posted");
        dialog.Close();
      });
    });
    log.push_back("idle");
    return true;
  };
  dialog.ShowModal();
  EXPECT_EQ(log, (std::vector<std::string>{"idle", "posted", "posted by posted"}));
}

TEST_F(ModalLoop, ActionAtTheNthProcessMessagesAbortsWorkInProgress) {
  // A form doing long work inside a timer, as the preparing window does, with the user's abort
  // question on a click of the form.
  TDialog unzip(app, "Preparing");
  TTimer timer(unzip, "Timer1");
  bool abort = false;
  int stepsDone = 0;
  unzip.OnClick = [&] {
    if (app.WarningBox("Abort Setup Process ?", "Warning", {"&No", "&Abort"}) == 1) abort = true;
  };
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    for (int step = 0; step < 10 && !abort; ++step) {
      ++stepsDone;
      app.ProcessMessages();
    }
    unzip.Close();
  };
  backend.AtProcessMessages(2, [&] { EXPECT_TRUE(unzip.Click()); });
  backend.AtProcessMessages(4, [&] { EXPECT_TRUE(unzip.Click()); });
  AnswerInOrder({THeadlessAnswer::Press("no"), THeadlessAnswer::Press("abort")});
  unzip.ShowModal();
  EXPECT_EQ(stepsDone, 4);
  EXPECT_EQ(backend.ProcessMessagesCalls(), 4);
  ASSERT_EQ(backend.Transcript().size(), 2u);
  EXPECT_EQ(backend.Transcript()[0].Button, "&No");
  EXPECT_EQ(backend.Transcript()[1].Button, "&Abort");
  EXPECT_THROW(backend.AtProcessMessages(4, [] {}), std::invalid_argument);
}

TEST_F(ModalLoop, AFailureInAHandlerIsShownAndTheLoopGoesOn) {
  app.SetTitle("Tovin - Setup");
  TDialog dialog(app, "Tovin32 - Setup");
  int idleCalls = 0;
  dialog.action.OnClick = [] { throw EFOpenError("Cannot open file C:\\SETUP\\install.exe"); };
  backend.OnIdle = [&](TForm&) {
    if (++idleCalls == 1) return dialog.action.Click();
    dialog.Close();
    return true;
  };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_EQ(idleCalls, 2);
  ASSERT_EQ(backend.Transcript().size(), 1u);
  const TTranscriptEntry& box = backend.Transcript()[0];
  EXPECT_EQ(box.Caption, "Tovin - Setup");
  EXPECT_EQ(box.Text, "Cannot open file C:\\SETUP\\install.exe");
  EXPECT_EQ(box.Kind, mkError);
  EXPECT_EQ(box.Button, "OK");
}

TEST_F(ModalLoop, AFaultThatIsNotAFailureOfTheProgramLeavesTheRunAndRestoresTheForm) {
  TDialog dialog(app, "Dialog");
  int closes = 0;
  dialog.OnClose = [&] { ++closes; };
  backend.OnIdle = [](TForm&) -> bool { throw std::runtime_error("driver bug"); };
  EXPECT_THROW(dialog.ShowModal(), std::runtime_error);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_FALSE(dialog.Modal());
  EXPECT_TRUE(app.ModalForms().empty());
  EXPECT_EQ(closes, 0);
  EXPECT_TRUE(backend.Transcript().empty());
}

TEST_F(ModalLoop, ALoopWithNothingLeftToDoStalls) {
  struct Case {
    const char* name;
    std::function<void(TTimer&)> setUp;
  } cases[] = {
      {"no timer running", [](TTimer& t) { t.SetEnabled(false); }},
      {"timer without handler", [](TTimer& t) { t.OnTimer = nullptr; }},
      {"timer with interval 0", [](TTimer& t) { t.SetInterval(0); }},
  };
  for (const Case& c : cases) {
    TDialog dialog(app, "Select Directory");
    TTimer timer(dialog, "timer");
    timer.OnTimer = [] {};
    c.setUp(timer);
    int idleCalls = 0;
    backend.OnIdle = [&](TForm&) { ++idleCalls; return false; };
    try {
      dialog.ShowModal();
      ADD_FAILURE() << c.name;
    } catch (const EHeadlessStall& e) {
      EXPECT_STREQ(e.what(), "modal loop of Select Directory has nothing left to do") << c.name;
    }
    EXPECT_EQ(idleCalls, 1) << c.name;
    EXPECT_FALSE(dialog.Modal()) << c.name;
    EXPECT_FALSE(dialog.Visible()) << c.name;
  }
  TDialog main(app, "Tovin 32Bit Installer");
  backend.OnIdle = nullptr;
  EXPECT_THROW(
      {
        try {
          app.Run(main);
        } catch (const EHeadlessStall& e) {
          EXPECT_STREQ(e.what(), "main loop of Tovin 32Bit Installer has nothing left to do");
          throw;
        }
      },
      EHeadlessStall);
}

TEST_F(ModalLoop, ARunawayLoopIsStopped) {
  backend.MaxTurns = 50;
  TDialog dialog(app, "Dialog");
  TTimer ticker(dialog, "ticker");
  int ticks = 0;
  ticker.SetInterval(1);
  ticker.OnTimer = [&] { ++ticks; };
  try {
    dialog.ShowModal();
    FAIL();
  } catch (const EHeadlessRunaway& e) {
    EXPECT_STREQ(e.what(), "modal loop of Dialog did not end after 50 turns");
  }
  EXPECT_EQ(ticks, 50);
  ticker.SetEnabled(false);
  backend.OnIdle = [](TForm&) { return true; };  // a driver that always claims to act
  EXPECT_THROW(dialog.ShowModal(), EHeadlessRunaway);
}

}  // namespace
}  // namespace tovin::ui::test
