// Which paths the uninstall log can hold. Its keys are what an uninstaller deletes, so each
// must read back as itself and mean the file, pattern or folder the run made, nothing above it.
#pragma once
#include <optional>
#include <string>

namespace tovin {

// One plain name: not empty, not "." or "..", without a separator, colon or wildcard.
bool IsPlainName(const std::string& name);

// The full path of base + "\" + relative, "." and ".." resolved and doubled separators
// dropped, without a trailing backslash; nullopt when relative climbs above base. An empty
// relative gives base itself.
std::optional<std::string> PathBelow(const std::string& base, const std::string& relative);

// Whether key reads back from the log as itself: no "=" (the key would end there), no control
// character, no blank at either end (the reader drops them), and no "[" or ";" in front (a
// section or a comment).
bool LogCanHold(const std::string& key);

}  // namespace tovin
