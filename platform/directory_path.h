// Making a folder with all its missing parents.
#pragma once
#include <string>

namespace plat {

// Makes the folder and every missing folder above it in one walk down the path; true when it
// is a folder afterwards. A failure sets the error of the first folder that could not be made
// (183 for a file in the way). Links on the way are refused as CreateDirectory refuses them.
bool CreateDirectoryPath(const std::string& path);

}  // namespace plat
