// The small routines every part of the setup leans on. The path routines live in the
// platform layer, where the segment reader below the forms reaches them too.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/path_routines.h"

namespace tovin {

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
// Whether path is folder or lies below it, links resolved where the paths exist; names
// compare without letter case.
bool PathIsWithin(const std::string& path, const std::string& folder);

}  // namespace tovin
