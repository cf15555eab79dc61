// Reading primitives over one profile file, with the conversions install.cfg relies on.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovin {

class ProfileReader {
 public:
  explicit ProfileReader(std::string file) : file_(std::move(file)) {}

  // At most 1023 characters; the default only when the section or key is missing.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // "0x"/"0X" prefixes become "$"; decimal with an optional sign, or hexadecimal after "$".
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const;
  // Any integer other than 0 is true; a word such as "yes" gives the default.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
  // Key names in file order, through the 8192-byte buffer of the profile call.
  std::vector<std::string> ReadSectionKeys(const std::string& section) const;

 private:
  std::string file_;
};

// The integer conversion of ReadInteger, on its own.
std::optional<int32_t> ParseProfileInteger(std::string text);

}  // namespace tovin
