#include "platform/windows_names.h"

#include <cctype>
#include <cstdio>
#include <string_view>

namespace plat {

bool IsWindowsDeviceName(const std::string& name) {
  // The device names count with any extension and with blanks before it: "con .txt" is CON too.
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (auto& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
    return true;
  if (stem.rfind("COM", 0) != 0 && stem.rfind("LPT", 0) != 0) return false;
  std::string digit = stem.substr(3);
  // The superscript digits count too, in the ANSI code page and in UTF-8.
  return (digit.size() == 1 && ((digit[0] >= '1' && digit[0] <= '9') || digit == "\xB9" || digit == "\xB2" ||
                                digit == "\xB3")) ||
         digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

namespace {

bool UpperEquals(const std::string& a, const char* b) {
  std::string up = a;
  for (auto& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return up == b;
}

// A name for a message: control characters would reach the terminal raw.
std::string Quoted(const std::string& name) {
  std::string out = "'";
  for (unsigned char c : name) {
    if (c < 32 || c == 127) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", c);
      out += code;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "'";
}

}  // namespace

std::string WindowsNameProblem(const std::string& name) {
  if (name.empty()) return "has an empty name";
  if (name == "." || name == "..") return "is named '" + name + "'";
  for (unsigned char c : name) {
    if (c < 32) {
      char code[8];
      std::snprintf(code, sizeof code, "0x%02X", c);
      return std::string("holds the control character ") + code;
    }
    if (std::string_view("<>:\"|?*\\/").find(static_cast<char>(c)) != std::string_view::npos)
      return std::string("holds the character '") + static_cast<char>(c) + "', which Windows does not allow in names";
  }
  if (name.back() == ' ') return "ends in a blank, which Windows drops";
  if (name.back() == '.') return "ends in a dot, which Windows drops";
  if (IsWindowsDeviceName(name)) return "is the name of a Windows device";
  return "";
}

std::string WindowsPathProblem(const std::string& path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t sep = path.find('\\', start);
    if (sep == std::string::npos) sep = path.size();
    std::string why = WindowsNameProblem(path.substr(start, sep - start));
    if (!why.empty()) return why;
    start = sep + 1;
  }
  if (path.size() > kMaxPathLength)
    return "is " + std::to_string(path.size()) + " characters long; Windows paths hold at most " +
           std::to_string(kMaxPathLength);
  return "";
}

std::string WindowsTargetProblem(const std::string& path) {
  auto isSep = [](char c) { return c == '\\' || c == '/'; };
  std::string rest = path;
  auto skipComponents = [&](int count) {  // the server and share of a UNC path
    for (int i = 0; i < count; ++i) {
      size_t sep = 0;
      while (sep < rest.size() && !isSep(rest[sep])) ++sep;
      rest.erase(0, sep == rest.size() ? sep : sep + 1);
    }
  };
  if (rest.size() >= 4 && isSep(rest[0]) && isSep(rest[1]) && rest[2] == '.' && isSep(rest[3]))
    return "is in the Windows device namespace";
  if (rest.size() >= 4 && isSep(rest[0]) && isSep(rest[1]) && rest[2] == '?' && isSep(rest[3])) {
    rest.erase(0, 4);
    if (rest.size() >= 4 && UpperEquals(rest.substr(0, 3), "UNC") && isSep(rest[3])) {
      rest.erase(0, 4);
      skipComponents(2);
    }
  } else if (rest.size() >= 2 && isSep(rest[0]) && isSep(rest[1])) {
    rest.erase(0, 2);
    skipComponents(2);
  }
  if (rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0]))) rest.erase(0, 2);
  size_t start = 0;
  while (start < rest.size()) {
    size_t sep = start;
    while (sep < rest.size() && !isSep(rest[sep])) ++sep;
    std::string name = rest.substr(start, sep - start);
    start = sep + 1;
    if (name.empty() || name == "." || name == "..") continue;
    if (std::string why = WindowsNameProblem(name); !why.empty()) return Quoted(name) + " " + why;
  }
  return "";
}

}  // namespace plat
