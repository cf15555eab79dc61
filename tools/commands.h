// The tovin subcommands. Each takes the arguments after its name and returns the exit status.
#pragma once
#include <string>
#include <vector>

namespace tovin::cli {

using Args = std::vector<std::string>;

int ConfigCommand(const Args& args);
int CodecCommand(const Args& args);
int ArchiveCommand(const Args& args);
// pack, list, test, extract
int PackageCommand(const std::string& verb, const Args& args);

// Takes "--root R" out of args and sets up the machine; without it the POSIX build uses a
// fresh temporary root and says so on standard error.
void SetUpMachine(Args& args);

}  // namespace tovin::cli
