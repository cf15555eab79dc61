#include "wizard/log_paths.h"

#include "platform/ini_document.h"
#include "platform/platform.h"

namespace tovin {
namespace {

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:*?") == std::string::npos;
}

std::optional<std::string> PathBelow(const std::string& base, const std::string& relative) {
  std::string top = WithoutTrailingSeparator(plat::GetFullPathName(base));
  std::string full = WithoutTrailingSeparator(plat::GetFullPathName(base + "\\" + relative));
  if (ini::EqualNoCase(full, top)) return full;
  std::string prefix = top.back() == '\\' ? top : top + "\\";
  if (full.size() > prefix.size() && ini::EqualNoCase(full.substr(0, prefix.size()), prefix)) return full;
  return std::nullopt;
}

bool LogCanHold(const std::string& key) {
  if (key.empty() || key.front() == '[' || key.front() == ';' || key.front() == ' ' || key.back() == ' ') return false;
  for (char c : key)
    if (c == '=' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return true;
}

}  // namespace tovin
