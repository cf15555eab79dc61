// The path routines every layer above the platform leans on. Their edge behaviour is the
// contract: which failures are silent, which raise, and how a destination path is read.
#pragma once
#include <cstdint>
#include <string>

namespace tovin {

// True when the path exists and has the directory bit.
bool PathIsDirectory(const std::string& path);
// Creates dir and its missing parents; raises only for an empty path. A level that cannot be
// created is not reported: the caller notices when it uses the folder.
void CreateDirectoryPath(const std::string& dir);
// Copies source into destination: an existing file is the target itself, anything else is a
// folder that receives the source's file name. Raises EFOpenError / EFCreateError.
void CopyFileInto(const std::string& source, const std::string& destination);
// Copies source to the file target, under that name, with the same checks and errors.
void CopyFileAs(const std::string& source, const std::string& target);
// True when every bit of mask is set; a missing path reports all bits.
bool FileHasAttributes(const std::string& path, uint16_t mask);

}  // namespace tovin
