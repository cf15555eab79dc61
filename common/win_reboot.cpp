#include "common/win_reboot.h"

#include "platform/platform.h"

namespace tovin {

bool TWinReboot::SetPrivilege(const std::string& name, bool enable) {
  plat::Handle token = 0;
  plat::OpenProcessToken(plat::kTokenAdjustPrivileges | plat::kTokenQuery, token);
  uint64_t luid = 0;
  bool result = false;
  if (plat::LookupPrivilegeValue(name, luid))
    result = plat::AdjustTokenPrivileges(token, luid, enable ? plat::kPrivilegeEnabled : 0);
  plat::CloseHandle(token);
  return result;
}

bool TWinReboot::ExitSystem(uint32_t mode) {
  SetPrivilege(plat::kShutdownPrivilegeName, true);  // systems without token security still try
  bool ok = plat::ExitWindowsEx(mode, 0);
  SetPrivilege(plat::kShutdownPrivilegeName, false);
  return ok;
}

}  // namespace tovin
