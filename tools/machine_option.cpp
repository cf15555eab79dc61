#include <cstdio>

#include "platform/platform.h"
#include "tools/commands.h"

namespace tovin::cli {

void SetUpMachine(Args& args, bool quiet) {
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "--root") {
      plat::SetMachineRoot(args[i + 1]);
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
      return;
    }
  }
  if (plat::IsEmulated()) {
    std::string windows = plat::GetWindowsDirectory();  // creates the fresh root
    if (!quiet) std::fprintf(stderr, "tovin: no --root given; using a fresh machine in a temporary folder, removed at the end\n");
  }
}

}  // namespace tovin::cli
