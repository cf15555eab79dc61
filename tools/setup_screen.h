// Which user interface `tovin setup` runs on: the terminal, for a person at one, or the headless
// backend, for an answers file or a run without a terminal.
#pragma once
#include <memory>
#include <string>

#include "ui/backend.h"

namespace tovin::cli {

// The backend a person answers the setup on: the terminal backend when uiName is "terminal", or
// when it is empty, no answers file is given and standard input and output are terminals;
// null for a headless run. The terminal backend stops the run at its next pause after Ctrl+C,
// SIGTERM or SIGHUP, and gives the terminal back when it goes, before what the emulation had
// to say (a program it cannot start, a restart it does not perform) is printed. Raises
// UsageError for another uiName or for "terminal" with an answers file, and an error when the
// terminal cannot be used.
std::unique_ptr<ui::TBackend> MakeSetupScreen(const std::string& uiName, bool answersFile);

}  // namespace tovin::cli
