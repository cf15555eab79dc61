// The dialogs: what each asks the backend, how scripted answers press buttons and type text,
// and what the transcript keeps.
#include "tests/ui/ui_fixture.h"

namespace tovin::ui::test {
namespace {

class MessageBoxes : public UiTest {
 protected:
  void SetUp() override { app.SetTitle("Tovin - Setup"); }
  std::vector<TMessageRequest> asked;
  void RecordRequests(std::vector<std::optional<THeadlessAnswer>> answers = {}) {
    auto queue = std::make_shared<std::vector<std::optional<THeadlessAnswer>>>(std::move(answers));
    backend.Script = [this, queue](const TMessageRequest& request) -> std::optional<THeadlessAnswer> {
      asked.push_back(request);
      if (queue->empty()) return std::nullopt;
      auto next = queue->front();
      queue->erase(queue->begin());
      return next;
    };
  }
};

TEST_F(MessageBoxes, EachDialogAsksWithItsCaptionButtonsAndDefaults) {
  RecordRequests();
  std::string value = "C:\\SETUP";
  app.ShowMessage("Please Insert Disk #2 into Floppy Drive.");
  EXPECT_TRUE(app.Confirm("File Already Exists (README.TXT). Overwrite?"));
  EXPECT_EQ(app.WarningBox("Abort Setup Process ?", "Warning", {"&No", "&Abort"}), 0);
  EXPECT_TRUE(app.ErrorBoxOkCancel("Incorrect segmented mounted!\n\rCorrect and then press OK, or Cancel to abort"));
  EXPECT_TRUE(app.InputQuery("Mount Segment #2", "Directory Path:", value));
  EXPECT_EQ(value, "C:\\SETUP") << "the default answer keeps the initial text";

  struct Expected {
    const char* caption;
    TMessageKind kind;
    std::vector<std::string> buttons;
    int defaultButton, cancelButton;
    const char* value;
  } expected[] = {
      {"Tovin - Setup", mkPlain, {"OK"}, 0, 0, ""},
      {"Confirm", mkConfirmation, {"&Yes", "&No"}, 0, 1, ""},
      {"Warning", mkWarning, {"&No", "&Abort"}, 0, 0, ""},
      {"Error", mkError, {"OK", "Cancel"}, 0, 1, ""},
      {"Mount Segment #2", mkInput, {"OK", "Cancel"}, 0, 1, "C:\\SETUP"},
  };
  ASSERT_EQ(asked.size(), std::size(expected));
  for (size_t i = 0; i < asked.size(); ++i) {
    EXPECT_EQ(asked[i].Caption, expected[i].caption) << i;
    EXPECT_EQ(asked[i].Kind, expected[i].kind) << i;
    EXPECT_EQ(asked[i].Buttons, expected[i].buttons) << i;
    EXPECT_EQ(asked[i].DefaultButton, expected[i].defaultButton) << i;
    EXPECT_EQ(asked[i].CancelButton, expected[i].cancelButton) << i;
    EXPECT_EQ(asked[i].Value, expected[i].value) << i;
  }
  EXPECT_EQ(asked[3].Text, "Incorrect segmented mounted!\n\rCorrect and then press OK, or Cancel to abort");
  EXPECT_EQ(asked[4].Text, "Directory Path:");
  for (const TTranscriptEntry& entry : backend.Transcript()) EXPECT_EQ(entry.Source, asDefault);
}

TEST_F(MessageBoxes, ScriptedAnswersPressButtonsByTheirLabel) {
  std::string value = "C:\\SETUP", untouched = "A:\\";
  RecordRequests({THeadlessAnswer::Press("No"), THeadlessAnswer::Press("abort"), THeadlessAnswer::Press("&Cancel"),
                  THeadlessAnswer::Type("D:\\DISK2"), THeadlessAnswer::Press("cancel"),
                  THeadlessAnswer{"OK", std::string("")}});
  EXPECT_FALSE(app.Confirm("Create New Directory for Installation [D:\\APP] ?"));
  EXPECT_EQ(app.WarningBox("Abort Setup Process ?", "Warning", {"&No", "&Abort"}), 1);
  EXPECT_FALSE(app.ErrorBoxOkCancel("Unable to locate"));
  EXPECT_TRUE(app.InputQuery("Mount Segment #2", "Directory Path:", value));
  EXPECT_EQ(value, "D:\\DISK2");
  EXPECT_FALSE(app.InputQuery("Mount Segment #3", "Directory Path:", untouched));
  EXPECT_EQ(untouched, "A:\\");
  EXPECT_TRUE(app.InputQuery("Mount Segment #3", "Directory Path:", untouched));
  EXPECT_EQ(untouched, "") << "an empty line typed is returned as typed";

  const auto& t = backend.Transcript();
  ASSERT_EQ(t.size(), 6u);
  std::vector<std::string> lines;
  for (const TTranscriptEntry& entry : t) lines.push_back(FormatTranscriptEntry(entry));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "[Confirm] Create New Directory for Installation [D:\\APP] ? -> &No (script)",
                       "[Warning] Abort Setup Process ? -> &Abort (script)",
                       "[Error] Unable to locate -> Cancel (script)",
                       "[Mount Segment #2] Directory Path: -> OK \"D:\\DISK2\" (script)",
                       "[Mount Segment #3] Directory Path: -> Cancel \"A:\\\" (script)",
                       "[Mount Segment #3] Directory Path: -> OK \"\" (script)",
                   }));
}

TEST_F(MessageBoxes, TheTranscriptKeepsTheTextExactlyAndEscapesItOnlyWhenFormatted) {
  std::string text = "Unable to locate \"TovinSetup.002\" on this segment!\n\rCorrect and then press OK\x01";
  app.ErrorBoxOkCancel(text);
  ASSERT_EQ(backend.Transcript().size(), 1u);
  EXPECT_EQ(backend.Transcript()[0].Text, text);
  EXPECT_EQ(FormatTranscriptEntry(backend.Transcript()[0]),
            "[Error] Unable to locate \"TovinSetup.002\" on this segment!\\n\\rCorrect and then press OK\\x01 -> OK "
            "(default)");
}

TEST_F(MessageBoxes, AScriptThatCannotBeFollowedIsADriverFault) {
  TDialog dialog(app, "Dialog");
  struct Case {
    const char* name;
    THeadlessAnswer answer;
    const char* message;
  } cases[] = {
      {"unknown button", THeadlessAnswer::Press("Retry"), "box \"Warning\" has no button \"Retry\" (&No, &Abort)"},
      {"text for a box without input", THeadlessAnswer::Type("x"), "box \"Warning\" has no input line for \"x\""},
  };
  for (const Case& c : cases) {
    AnswerInOrder({c.answer});
    // Asked from a handler the loop calls: the fault is not shown in a box but leaves the run.
    backend.OnIdle = [&](TForm&) {
      app.WarningBox("Abort Setup Process ?", "Warning", {"&No", "&Abort"});
      return true;
    };
    try {
      dialog.ShowModal();
      ADD_FAILURE() << c.name;
    } catch (const EHeadlessScript& e) {
      EXPECT_STREQ(e.what(), c.message) << c.name;
    }
  }
  EXPECT_TRUE(backend.Transcript().empty());
}

TEST_F(MessageBoxes, ARequestWithoutAButtonToPressIsRefused) {
  TMessageRequest requests[] = {
      {"Empty", "", mkPlain, {}, 0, 0, {}},
      {"Default outside", "", mkPlain, {"OK"}, 1, 0, {}},
      {"Cancel outside", "", mkPlain, {"OK"}, 0, -1, {}},
  };
  for (const TMessageRequest& request : requests) EXPECT_THROW(app.Ask(request), EInvalidOperation) << request.Caption;
  EXPECT_TRUE(backend.Transcript().empty());
}

}  // namespace
}  // namespace tovin::ui::test
