// tovin setup --json: the result of a setup as one JSON document, for an author's CI.
#pragma once
#include <string>

#include "app/unattended_setup.h"

namespace tovin::cli {

// status, result, where it installed and what (from its uninstall.cfg), every box, the files not
// written, errors, notices and the transcript; uninstall: the command that removes it, or empty.
std::string SetupRunJson(const TUnattendedRun& run, const std::string& uninstall);
// The document of a setup that could not start: status and the error.
std::string SetupFailureJson(int status, const std::string& error);

}  // namespace tovin::cli
