// What a typed destination must be: a folder named from the root of a drive (C:\App). A path
// without a drive would be taken against the start folder, which is the package's disk, and
// a network path (\\server\share) is no place of this machine: both are refused where the
// user types them.
#pragma once
#include <string>

namespace tovin {

// %s is the path as typed.
inline constexpr const char* kMsgInvalidDestination =
    "Invalid Directory [%s]. Enter a full path with a drive letter, such as C:\\Program Files\\App.";

bool NamesDriveFolder(const std::string& path);

}  // namespace tovin
