// CreateDirectoryPath on Windows: paths are short there (MAX_PATH), so one CreateDirectory
// per missing level costs little.
#include "platform/directory_path.h"

#include "platform/platform.h"

#include <windows.h>
#undef GetFullPathName

namespace plat {

bool CreateDirectoryPath(const std::string& path) {
  std::string full = GetFullPathName(path);
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  // The root: "C:\" or "\\server\share\".
  size_t from = 3;
  if (full.rfind("\\\\", 0) == 0) {
    size_t share = full.find('\\', 2);
    from = share == std::string::npos ? full.size() : full.find('\\', share + 1);
    if (from == std::string::npos) from = full.size();
  }
  for (size_t at = from; at <= full.size(); ++at) {
    if (at < full.size() && full[at] != '\\') continue;
    std::string level = full.substr(0, at);
    if (level.size() <= 3) continue;
    DWORD before = ::GetFileAttributesA(level.c_str());
    if (before != INVALID_FILE_ATTRIBUTES && (before & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (::CreateDirectoryA(level.c_str(), nullptr)) continue;
    DWORD error = ::GetLastError();
    DWORD after = ::GetFileAttributesA(level.c_str());
    if (after != INVALID_FILE_ATTRIBUTES && (after & FILE_ATTRIBUTE_DIRECTORY)) continue;
    ::SetLastError(error);
    return false;
  }
  return true;
}

}  // namespace plat
