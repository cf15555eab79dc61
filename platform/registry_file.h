// One registry root as a REGEDIT4 text file: the document behind the POSIX emulation of the
// registry calls. Keys form a tree below the root; key and value names compare without
// letter case and keep the case they were first given.
//
// The file: "REGEDIT4", a blank line, then per key "[ROOT\Key\Sub]", its values and a blank
// line. String values are "Name"="data" with \ and " escaped as \\ and \", "@" names the
// default value. Data holding a line break is written as hex(1): bytes, which REGEDIT4
// reads back as the same string; values of other types found in a file are kept verbatim.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace reg {

// Win32 error codes of the checks below and of the backend.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorBadPathname = 161;
constexpr uint32_t kErrorRegistryCorrupt = 1015;
constexpr uint32_t kErrorUnsupportedType = 1630;

// The components of a key path. Empty components (a doubled or trailing backslash) are
// skipped, as the registry skips them.
std::vector<std::string> SplitKeyPath(std::string_view path);
// 0 when the path can name a key here; else the error: a leading backslash (161), or a line
// break, which no section line can hold (123).
uint32_t KeyPathError(std::string_view path);
// 0 when the value name can be written; 87 for a line break.
uint32_t ValueNameError(std::string_view name);

// A string as REGEDIT4 quotes it (with the quotes).
std::string QuoteString(std::string_view text);

class Document {
 public:
  explicit Document(std::string rootName);
  ~Document();
  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;

  // nullopt when text is not a REGEDIT4 file of this root (no "REGEDIT4" first line, a
  // section of another root, a line that is neither section nor value, an unterminated
  // string). CR LF and LF line ends, blank lines and ";" comments are accepted.
  static std::optional<Document> Parse(std::string_view text, std::string rootName);
  std::string Text() const;  // lines end in CR LF

  // Paths below the root; the checks above are the caller's. An empty path is the root.
  bool HasKey(std::string_view path) const;
  void CreateKey(std::string_view path);  // with every missing parent
  // Subkey names in their stored case, in creation order; empty for a missing key.
  std::vector<std::string> Subkeys(std::string_view path) const;
  // Sets or replaces a string value, creating the key when missing. The string ends at its
  // first zero byte, here as in a file read back.
  void SetString(std::string_view path, std::string_view name, std::string_view data);
  bool HasValue(std::string_view path, std::string_view name) const;
  // Values of the key, of every type; 0 for a missing key.
  size_t ValueCount(std::string_view path) const;
  // nullopt when the key or the value is missing or the value is not a string.
  std::optional<std::string> String(std::string_view path, std::string_view name) const;
  bool DeleteValue(std::string_view path, std::string_view name);  // false when missing
  // Removes the key with its subkeys; false when missing or when path names the root.
  bool DeleteKey(std::string_view path);

 private:
  struct Key;
  Key* Find(std::string_view path) const;
  Key& Make(std::string_view path);

  std::string rootName_;
  std::unique_ptr<Key> root_;
};

}  // namespace reg
