// Kept apart: <windows.h> renames calls of the platform layer through its A/W macros.
#ifdef _WIN32
#include <windows.h>
#endif

#include "tests/support/test_machine.h"

namespace tovin::test {

bool RunningUnderWine() {
#ifdef _WIN32
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

}  // namespace tovin::test
