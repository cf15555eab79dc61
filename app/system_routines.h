// The small routines every part of the setup leans on. Their edge behaviour is the contract:
// which failures are silent, which raise, and how a destination path is read.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tovin {

bool PathIsDirectory(const std::string& path);
// Creates dir and its missing parents; raises only for an empty path. A level that cannot be
// created is not reported: the caller notices when it uses the folder.
void CreateDirectoryPath(const std::string& dir);
// Copies source into destination: an existing file is the target itself, anything else is a
// folder that receives the source's file name. Raises EFOpenError / EFCreateError.
void CopyFileInto(const std::string& source, const std::string& destination);
// True when every bit of mask is set; a missing path reports all bits.
bool FileHasAttributes(const std::string& path, uint16_t mask);
// Watches OpenWithShell: file, directory and the shell's result (above 32 when it started).
// The setup reports nothing of it; an unattended run prints it. Empty: nobody watches.
void SetShellObserver(std::function<void(const std::string& file, const std::string& directory, intptr_t result)> observer);
// Opens a document or starts a program through the shell; failures are not reported.
// Texts of any length are passed whole.
void OpenWithShell(const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand);
// Splits the first field off text at separator; without a separator the field is the whole
// text and text stays as it was.
void NextField(std::string& text, char separator, std::string& field);
std::string GetWindowsDir();

}  // namespace tovin
