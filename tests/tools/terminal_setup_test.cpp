// tovin setup on a terminal, driven as a person would through tmux: keys sent with send-keys,
// the screen read with capture-pane (-e for its colours). Skipped where tmux is missing.
#include <chrono>
#include <thread>

#include "tests/tools/cli_fixture.h"

namespace tovin::test {
namespace {

class TerminalSetup : public Cli {
 protected:
  void SetUp() override {
    Cli::SetUp();
    if (RunShell("tmux -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
    socket_ = "tovin-test-" + fs::path(dir_).filename().string();
    Make("install.exe", "MZ setup program");  // what runs here is tovin; the package only carries it
    ASSERT_EQ(Tovin("pack -q --segment-size 16K --config '" TOVIN_SOURCE_DIR "/examples/demo/install.cfg' --setup "
                    "install.exe -o package '" TOVIN_SOURCE_DIR "/examples/demo/files'"),
              0)
        << err_;
  }
  void TearDown() override {
    if (!socket_.empty()) Tmux("kill-server");
    Cli::TearDown();
  }
  int Tmux(const std::string& args) { return RunShell("tmux -L '" + socket_ + "' " + args + " >/dev/null 2>&1"); }
  // Starts tovin setup in a 120 x 40 terminal that announces true colour; the terminal's modes
  // are written down before and after.
  void Start(const std::string& package = "package") {
    std::string command = "cd '" + dir_ + "' && stty -a >stty.before && '" TOVIN_BINARY "' setup --root m " + package +
                          "; echo \\$? >status.txt; stty -a >stty.tmp; mv stty.tmp stty.after; sleep 600";
    ASSERT_EQ(Tmux("-f /dev/null new-session -d -x 120 -y 40 -e COLORTERM=truecolor \"" + command + "\""), 0);
  }
  void Keys(const std::string& keys) { Tmux("send-keys " + keys); }
  void Type(const std::string& text) { Tmux("send-keys -l '" + text + "'"); }
  std::string Screen(const char* options = "-p") {
    RunShell("tmux -L '" + socket_ + "' capture-pane " + options + " >'" + dir_ + "/screen.txt'");
    return ReadHostFile(dir_ + "/screen.txt");
  }
  // Waits until the screen shows text (15 s at most); false and the screen in the log if not.
  bool WaitFor(const std::string& text) {
    for (int i = 0; i < 300; ++i) {
      if (Screen().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "the screen never showed \"" << text << "\":\n" << Screen();
    return false;
  }
  // The exit status once the setup has ended.
  int Status() {
    for (int i = 0; i < 300 && !fs::exists(dir_ + "/stty.after"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return std::stoi("0" + ReadHostFile(dir_ + "/status.txt"));
  }
  // The terminal's modes as stty -a wrote them, without the size (the person may resize it).
  std::string Modes(const char* file) {
    std::string text = ReadHostFile(dir_ + "/" + file);
    return text.substr(std::min(text.find('\n'), text.size()));
  }
  bool Installed(const std::string& rel) { return fs::exists(dir_ + "/m/drive_c/" + rel); }

  std::string socket_;
};

// The background colour in force at the first cell of each line of a capture-pane -e screen.
std::vector<std::string> LineBackgrounds(const std::string& screen) {
  std::vector<std::string> backgrounds;
  std::string current = "default";
  size_t start = 0;
  while (start < screen.size()) {
    size_t end = screen.find('\n', start);
    std::string line = screen.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // The codes before the first character of the line are in force there.
    size_t at = 0;
    while (line.compare(at, 2, "\x1b[") == 0) {
      size_t final = line.find_first_not_of("0123456789;:", at + 2);
      if (final == std::string::npos || line[final] != 'm') break;
      std::vector<int> codes;
      std::string number;
      for (char c : line.substr(at + 2, final - at - 2) + ";") {
        if (c == ';' || c == ':') {
          codes.push_back(number.empty() ? 0 : std::stoi(number));
          number.clear();
        } else {
          number += c;
        }
      }
      for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == 0) {
          current = "default";
        } else if (codes[i] >= 40 && codes[i] <= 47) {
          current = "ansi" + std::to_string(codes[i] - 40);
        } else if ((codes[i] == 38 || codes[i] == 48) && i + 1 < codes.size()) {
          // An extended colour: its arguments are not codes of their own.
          size_t arguments = codes[i + 1] == 2 ? 4 : 2;
          if (codes[i] == 48 && codes[i + 1] == 2 && i + 4 < codes.size())
            current = std::to_string(codes[i + 2]) + "," + std::to_string(codes[i + 3]) + "," + std::to_string(codes[i + 4]);
          i += arguments;
        }
      }
      at = final + 1;
    }
    backgrounds.push_back(current);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return backgrounds;
}

TEST_F(TerminalSetup, AWholeInstallationByKeyboardWithAResizeInTheMiddle) {
  Start();
  ASSERT_TRUE(WaitFor("It is strongly recommended"));
  if (RunShell("infocmp tmux-direct >/dev/null 2>&1") == 0) {
    // Dither From=0x800000 (navy) in the first row, Dither To=$000000 in the last.
    std::vector<std::string> rows = LineBackgrounds(Screen("-p -e"));
    ASSERT_GE(rows.size(), 40u);
    EXPECT_EQ(rows.front(), "0,0,128");
    EXPECT_TRUE(rows[39] == "ansi0" || rows[39] == "0,0,0") << rows[39];
  }
  Keys("n");
  ASSERT_TRUE(WaitFor("TOVIN NOTEPAD LICENCE"));
  Keys("PageDown Tab Enter");  // the licence, then Accept
  ASSERT_TRUE(WaitFor("Destination  Directory"));
  Keys("BTab Enter");  // Browse
  ASSERT_TRUE(WaitFor("Select Directory"));
  Keys("BTab BTab");  // the path, selected: typing replaces it
  Type("C:\\Apps\\Notepad");
  Keys("Enter");
  ASSERT_TRUE(WaitFor("Create New Directory for Installation [C:\\Apps\\Notepad] ?"));
  Keys("y");
  ASSERT_TRUE(WaitFor("C:\\Apps\\Notepad "));
  Tmux("resize-window -x 70 -y 20");
  ASSERT_TRUE(WaitFor("The terminal is too small for the window"));
  Tmux("resize-window -x 100 -y 32");
  ASSERT_TRUE(WaitFor("Destination  Directory"));  // keys reach the wizard only once it is seen
  Keys("n");
  ASSERT_TRUE(WaitFor("Add Shortcut to Startmenu?"));
  Keys("Tab Tab Tab Tab Tab Space Tab Space Down Space");  // every shortcut unticked
  ASSERT_TRUE(WaitFor("[ ] Notepad Help"));
  Keys("n");
  ASSERT_TRUE(WaitFor("What type of install to Execute"));
  EXPECT_NE(Screen().find("(*) Only Files need to run from Network"), std::string::npos) << "the minimum install";
  Keys("n");
  ASSERT_TRUE(WaitFor("Ready to Start Installing Software"));
  Keys("Tab Down M-i");  // Return to Windows after installed, Install
  EXPECT_EQ(Status(), 0) << Screen();
  EXPECT_EQ(Modes("stty.before"), Modes("stty.after")) << "the terminal's modes are restored";
  EXPECT_GT(Modes("stty.after").size(), 100u);
  EXPECT_TRUE(Installed("Apps/Notepad/tnotepad.exe"));
  EXPECT_TRUE(Installed("Apps/Notepad/readme.txt"));
  EXPECT_FALSE(Installed("Apps/Notepad/tnotepad.hlp")) << "the minimum install leaves the help out";
  EXPECT_FALSE(Installed("WINDOWS/Desktop/Tovin Notepad.lnk"));
  EXPECT_FALSE(Installed("WINDOWS/Start Menu/Tovin Notepad.lnk"));
  EXPECT_FALSE(Installed("WINDOWS/Start Menu/Notepad Help.lnk"));
  EXPECT_NE(Screen().find("result: installed"), std::string::npos);
}

TEST_F(TerminalSetup, CancelOnAPageAndAbortWhilePreparingInstallNothing) {
  struct Case {
    const char* name;
    const char* waitFor;
    const char* keys;
    const char* question;
    const char* answer;
    int status;
  } cases[] = {
      {"Cancel on the licence page", "TOVIN NOTEPAD LICENCE", "M-c", nullptr, nullptr, 3},
      {"Esc on the licence page", "TOVIN NOTEPAD LICENCE", "Escape", nullptr, nullptr, 3},
      {"Abort while preparing", "Preparing Tovin Setup", "Escape", "Abort Setup Process ?", "a", 4},
  };
  const std::string server = socket_;
  for (const Case& c : cases) {
    // A server of its own for each case: a killed server's socket may linger for a moment.
    Tmux("kill-server");
    socket_ = server + "-" + std::to_string(&c - cases);
    fs::remove_all(dir_ + "/m");
    fs::remove(dir_ + "/stty.after");
    Start();
    if (std::string(c.waitFor) != "Preparing Tovin Setup") {
      ASSERT_TRUE(WaitFor("It is strongly recommended")) << c.name;
      Keys("n");
    }
    ASSERT_TRUE(WaitFor(c.waitFor)) << c.name;
    Keys(c.keys);
    if (c.question) {
      ASSERT_TRUE(WaitFor(c.question)) << c.name;
      Keys(c.answer);
    }
    EXPECT_EQ(Status(), c.status) << c.name << "\n" << Screen();
    EXPECT_EQ(Modes("stty.before"), Modes("stty.after")) << c.name;
    EXPECT_FALSE(Installed("Program Files/Tovin Notepad")) << c.name;
  }
}

}  // namespace
}  // namespace tovin::test
