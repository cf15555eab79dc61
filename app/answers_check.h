// The answers file held against the machine and the package before the setup starts, so that a
// wrong name is refused with what would have been right instead of ending in a half-done run.
#pragma once
#include <string>
#include <vector>

#include "app/setup_answers.h"
#include "common/setup_settings.h"

namespace tovin {

// The drives a destination may name: C: to Z: as the machine has them (the floppy letters are
// not probed, as the directory dialog does not probe them).
std::vector<std::string> MachineDrives();

// Why the answers cannot be carried out on this machine with this configuration: a destination
// on a drive the machine lacks (naming the drives it has), a NoDesktop or NoStartMenu name that
// no [Desktop] entry has (with the near one, if any). Empty when nothing is wrong.
std::string AnswersProblem(const TSetupAnswers& answers, const SetupSettings& settings);

}  // namespace tovin
