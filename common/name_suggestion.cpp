#include "common/name_suggestion.h"

#include <cctype>

namespace tovin {
namespace {

// Letters and digits only, in lower case.
std::string Folded(const std::string& s) {
  std::string out;
  for (unsigned char c : s)
    if (std::isalnum(c)) out += static_cast<char>(std::tolower(c));
  return out;
}

}  // namespace

std::string NameSuggestion(const std::string& name, const std::vector<std::string>& known, const char* open,
                           const char* close) {
  for (const auto& k : known)
    if (Folded(k) == Folded(name)) return std::string(" (did you mean ") + open + k + close + "?)";
  return "";
}

}  // namespace tovin
