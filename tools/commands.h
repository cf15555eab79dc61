// The tovin subcommands. Each takes the arguments after its name and returns the exit status
// (tools/exit_codes.h).
#pragma once
#include <string>
#include <vector>

#include "tools/options.h"

namespace tovin::cli {

// Options given before the command name, for every command.
struct Globals {
  bool quiet = false;
};

int ConfigCommand(const Args& args);
int InitCommand(const Args& args);
int CodecCommand(const Args& args, const Globals& globals);
int ArchiveCommand(const Args& args, const Globals& globals);
int PackCommand(const Args& args, const Globals& globals);
int SetupCommand(const Args& args, const Globals& globals);
int UninstallCommand(const Args& args, const Globals& globals);
// list, test, extract
int ReadPackageCommand(const std::string& verb, const Args& args, const Globals& globals);

// Takes "--root R" out of args and sets up the machine; without it the POSIX build uses a
// fresh temporary root and says so on standard error, unless quiet.
void SetUpMachine(Args& args, bool quiet = false);

}  // namespace tovin::cli
