// Paths in what tovin prints: the host's own form, never the emulated machine's (Z:\home\...).
#pragma once
#include <string>

namespace tovin::cli {

// A path of the platform layer as the user knows it on this host.
std::string DisplayPath(const std::string& path);

// A message of the libraries with every drive path in it (X:\...) turned into the host's form.
// A path runs to the end of the message, or to the quotation mark that opened it.
std::string DisplayMessage(const std::string& message);

// Control characters and escape sequences in a name, made visible instead of acted on.
std::string Printable(const std::string& name);

}  // namespace tovin::cli
