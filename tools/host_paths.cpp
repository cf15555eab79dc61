#include "tools/host_paths.h"

#include <cctype>
#include <cstdio>

#include "platform/platform.h"

namespace tovin::cli {

std::string DisplayPath(const std::string& path) { return plat::ToHostPath(path); }

std::string DisplayMessage(const std::string& message) {
  if (!plat::IsEmulated()) return message;
  std::string out;
  size_t i = 0;
  while (i < message.size()) {
    bool startsPath = i + 2 < message.size() && std::isalpha(static_cast<unsigned char>(message[i])) &&
                      message[i + 1] == ':' && message[i + 2] == '\\' &&
                      (i == 0 || message[i - 1] == ' ' || message[i - 1] == '"' || message[i - 1] == '(');
    if (!startsPath) {
      out += message[i++];
      continue;
    }
    size_t end = message.size();
    if (i > 0 && message[i - 1] == '"') {
      size_t quote = message.find('"', i);
      if (quote != std::string::npos) end = quote;
    }
    out += DisplayPath(message.substr(i, end - i));
    i = end;
  }
  return out;
}

std::string Printable(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c < 32 || c == 127) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02X", c);
      out += esc;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace tovin::cli
