#include "wizard/destination_check.h"

#include "wizard/log_paths.h"

namespace tovin {

std::string DestinationProblem(const std::string& path) {
  // Never cut: a shortened path is another folder.
  if (path.size() > kMaxDestinationLength)
    return "The destination folder's path is longer than " + std::to_string(kMaxDestinationLength) +
           " characters, the most Windows allows for a folder.";
  // The uninstall log names the destination; a key that reads back as another path would have
  // the uninstaller delete the wrong things.
  if (!LogCanHold(path) || path.find_first_of("*?") != std::string::npos)
    return "The destination folder [" + path + "] cannot be recorded for the uninstaller; choose a name without \"=\", \"*\" or \"?\".";
  return "";
}

}  // namespace tovin
