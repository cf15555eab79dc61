#include "common/profile_reader.h"

#include "platform/platform.h"

namespace tovin {

std::string ProfileReader::ReadString(const std::string& section, const std::string& key,
                                      const std::string& defaultValue) const {
  return plat::GetPrivateProfileString(section, key, defaultValue, file_, 1024);
}

std::optional<int32_t> ParseProfileInteger(std::string text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.erase(0, 1);
    text[0] = '$';
  }
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  if (i == text.size()) return std::nullopt;
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int digit = c >= '0' && c <= '9' ? c - '0'
                : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (hex) {  // up to 32 bits, read as two's complement (system colours have the sign bit set)
    uint32_t bits = static_cast<uint32_t>(value);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  if (value > (negative ? 2147483648ull : 2147483647ull)) return std::nullopt;
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(value)) : static_cast<int32_t>(value);
}

int32_t ProfileReader::ReadInteger(const std::string& section, const std::string& key,
                                   int32_t defaultValue) const {
  return ParseProfileInteger(ReadString(section, key, "")).value_or(defaultValue);
}

bool ProfileReader::ReadBool(const std::string& section, const std::string& key,
                             bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> ProfileReader::ReadSectionKeys(const std::string& section) const {
  return plat::GetPrivateProfileKeys(section, file_, 8192);
}

}  // namespace tovin
