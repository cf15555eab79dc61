// What a destination must be before the setup takes it, wherever it is entered (the wizard's
// directory dialog, an answers file) and once more when the run starts.
#pragma once
#include <string>

namespace tovin {

// Windows creates no folder whose path is longer (MAX_PATH less room for an 8.3 name).
inline constexpr size_t kMaxDestinationLength = 247;

// Why the setup cannot install into path, as a message for the user; empty when it can.
std::string DestinationProblem(const std::string& path);

}  // namespace tovin
