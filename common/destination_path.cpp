#include "common/destination_path.h"

#include <cctype>

namespace tovin {

bool NamesDriveFolder(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         (path[2] == '\\' || path[2] == '/');
}

}  // namespace tovin
