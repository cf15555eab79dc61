// "did you mean" for a name that is almost one the reader knows: the same letters and digits,
// whatever the case, blanks and punctuation ("ShowReboot" for "Show Re-Boot").
#pragma once
#include <string>
#include <vector>

namespace tovin {

// " (did you mean " + open + the known name + close + "?)", or empty when none is that close.
std::string NameSuggestion(const std::string& name, const std::vector<std::string>& known, const char* open,
                           const char* close);

}  // namespace tovin
