#include "tools/interruption.h"

#include "platform/platform.h"

namespace tovin::cli {

void StopIfInterrupted() {
  if (int signal = plat::InterruptSignal()) throw EInterrupted(signal);
}

int InterruptedExitStatus(int signal) { return 128 + signal; }

}  // namespace tovin::cli
