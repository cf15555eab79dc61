#include "platform/exception.h"

namespace tovin {
namespace {

std::string Fill(const std::string& pattern, const char* placeholder, const std::string& value) {
  auto at = pattern.find(placeholder);
  if (at == std::string::npos) return pattern;
  // Built afresh rather than replaced in place: GCC 12 warns (falsely, -Wrestrict) about the
  // in-place replace once it is inlined into a caller with a constant template.
  std::string out;
  out.reserve(pattern.size() - 2 + value.size());
  out.append(pattern, 0, at).append(value).append(pattern, at + 2, std::string::npos);
  return out;
}

}  // namespace

std::string Format(const std::string& pattern, const std::string& text) { return Fill(pattern, "%s", text); }

std::string Format(const std::string& pattern, int64_t number) { return Fill(pattern, "%d", std::to_string(number)); }

}  // namespace tovin
