// The restart component: asks Windows to log off, shut down or restart.
#pragma once
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace tovin {

class TWinReboot {
 public:
  // ExitWindowsEx modes; add kForce to close applications without asking them.
  static constexpr uint32_t kLogOff = plat::kExitLogOff, kShutdown = plat::kExitShutdown,
                            kReboot = plat::kExitReboot, kForce = plat::kExitForce, kPowerOff = plat::kExitPowerOff;

  bool SetPrivilege(const std::string& name, bool enable);
  // Enables the shutdown privilege, asks for the exit, disables the privilege again. The
  // result is whether the request was accepted; the program carries on either way.
  bool ExitSystem(uint32_t mode);
};

}  // namespace tovin
