#include "tools/setup_screen.h"

#include <cstdio>
#include <vector>

#include "platform/platform.h"
#include "tools/host_paths.h"
#include "tools/interruption.h"
#include "tools/options.h"
#ifdef TOVIN_TERMINAL_UI
#include "platform/posix/machine.h"
#include "ui/terminal/terminal_backend.h"
#endif

namespace tovin::cli {
namespace {

#ifdef TOVIN_TERMINAL_UI
class SetupScreen final : public ui::TTerminalBackend {
 public:
  SetupScreen() {
    OnTurn = [] { StopIfInterrupted(); };
    plat::posix::SetNoticeSink([this](const std::string& text) { notices_.push_back(text); });
  }
  ~SetupScreen() override {
    Close();
    plat::posix::SetNoticeSink({});
    for (const std::string& text : notices_) std::fprintf(stderr, "tovin: %s\n", Printable(text).c_str());
  }

 private:
  std::vector<std::string> notices_;
};
#endif

}  // namespace

std::unique_ptr<ui::TBackend> MakeSetupScreen(const std::string& uiName, bool answersFile) {
  if (!uiName.empty() && uiName != "terminal" && uiName != "headless")
    throw UsageError("--ui takes terminal or headless, not '" + uiName + "'");
  if (uiName == "terminal" && answersFile) throw UsageError("--answers runs the setup headless: leave out --ui terminal");
  bool person = !answersFile && plat::IsTerminal(0) && plat::IsTerminal(1);
  if (uiName == "headless" || (uiName.empty() && !person)) return nullptr;
#ifdef TOVIN_TERMINAL_UI
  if (!plat::IsTerminal(0) || !plat::IsTerminal(1))
    throw std::runtime_error("--ui terminal needs a terminal on standard input and output");
  try {
    return std::make_unique<SetupScreen>();
  } catch (const ui::terminal::ETerminalUnavailable& e) {
    if (!uiName.empty()) throw std::runtime_error("the terminal cannot be used: " + e.Message());
    std::fprintf(stderr, "tovin setup: the terminal cannot be used (%s); running headless\n", e.Message().c_str());
    return nullptr;
  }
#else
  if (uiName.empty()) return nullptr;
  throw std::runtime_error("this build has no terminal interface (--ui headless runs without it)");
#endif
}

}  // namespace tovin::cli
