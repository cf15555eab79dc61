// The small routines every part of the setup leans on. The path routines live in the
// platform layer, where the segment reader below the forms reaches them too.
#pragma once
#include <string>

#include "platform/path_routines.h"

namespace tovin {

// Opens a document or starts a program through the shell; failures are not reported.
// Texts of any length are passed whole.
void OpenWithShell(const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand);
// Splits the first field off text at separator; without a separator the field is the whole
// text and text stays as it was.
void NextField(std::string& text, char separator, std::string& field);
std::string GetWindowsDir();

}  // namespace tovin
