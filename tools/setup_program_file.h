// Which install.exe a package ships when `tovin pack` is given none: the source folder's own,
// else the project's own setup program, found where it is installed beside tovin or where the
// build left it.
#pragma once
#include <string>

namespace tovin::cli {

// The path (of the platform layer) of the setup program for a package of srcDir; empty when
// there is none.
std::string FindSetupProgram(const std::string& srcDir);

// Where the project's own install.exe is looked for, in order (host paths).
std::string SetupProgramPlaces();

}  // namespace tovin::cli
