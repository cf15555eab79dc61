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

namespace {

// Length of the well-formed UTF-8 sequence of two to four bytes at i, or 0.
size_t Utf8Length(const std::string& s, size_t i) {
  auto c = static_cast<unsigned char>(s[i]);
  size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

void Escape(std::string& out, unsigned char c) {
  char esc[8];
  std::snprintf(esc, sizeof esc, "\\x%02X", c);
  out += esc;
}

}  // namespace

std::string Printable(const std::string& name) {
  // C0 and C1 controls: the 8-bit ones a terminal in a legacy code page acts on, and the same
  // code points written in UTF-8 (0xC2 0x9B is a CSI to a UTF-8 terminal).
  std::string out;
  for (size_t i = 0; i < name.size();) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x80) {
      if (c < 0x20 || c == 0x7F) Escape(out, c);
      else out += static_cast<char>(c);
      ++i;
      continue;
    }
    size_t n = Utf8Length(name, i);
    if (n == 0) {
      if (c <= 0x9F) Escape(out, c);
      else out += static_cast<char>(c);
      ++i;
    } else if (c == 0xC2 && static_cast<unsigned char>(name[i + 1]) <= 0x9F) {
      Escape(out, c);
      Escape(out, static_cast<unsigned char>(name[i + 1]));
      i += 2;
    } else {
      out.append(name, i, n);
      i += n;
    }
  }
  return out;
}

}  // namespace tovin::cli
