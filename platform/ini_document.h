// The profile (INI) file rules of the Windows profile API, as the setup relies on them,
// written out so that they hold on every platform. The document keeps the file's lines, so
// a write changes only the lines it must (comments and layout survive).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ini {

class Document {
 public:
  Document() = default;
  explicit Document(std::string_view text);

  // The value of the first key of that name in the first section of that name; names
  // compare without letter case, blanks around the value are removed and one pair of
  // enclosing quotes (single or double) is dropped. nullopt when the section or key is
  // missing. The value is whole: the caller applies its buffer limit.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  // Key names of the first section of that name, in file order.
  std::vector<std::string> Keys(std::string_view section) const;
  // Every section header's name in file order, a repeated one each time.
  std::vector<std::string> Sections() const;
  // Key names above the first section header, which no read reaches.
  std::vector<std::string> KeysBeforeSections() const;
  // Where things stand, as 1-based line numbers: every header of the sections of that name;
  // every key of that name in the first section of that name; the keys above the first header.
  std::vector<size_t> SectionLines(std::string_view section) const;
  std::vector<size_t> KeyLines(std::string_view section, std::string_view key) const;
  std::vector<size_t> KeyLinesBeforeSections() const;

  // Replaces the value of an existing key (its name keeps its case), or appends the key to
  // the end of its section, or appends a new section to the end of the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void DeleteKey(std::string_view section, std::string_view key);
  void DeleteSection(std::string_view section);

  std::string Text() const;  // lines joined with CR LF

 private:
  struct Line {
    std::string text;
  };
  // Index range [begin, end) of the lines belonging to the first section named so (the
  // header included at begin); nullopt when absent.
  struct Range {
    size_t header, end;
  };
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<size_t> FindKey(const Range& range, std::string_view key) const;
  // Line indexes of every key of that name in the first section of that name.
  const std::vector<size_t>* IndexedKeys(std::string_view section, std::string_view key) const;

  // Where each first section and its keys stand, made on the first read after a change: a
  // checker reads every key of a file of thousands, which must not rescan the file each time.
  struct Index;
  const Index& Indexed() const;

  std::vector<std::string> lines_;
  mutable std::shared_ptr<const Index> index_;  // immutable once made; copies may share it
};

bool EqualNoCase(std::string_view a, std::string_view b);

// Buffer rules of the profile API's callers.
std::string CutToBuffer(const std::string& value, size_t bufferSize);
std::vector<std::string> KeysThroughBuffer(const std::vector<std::string>& keys,
                                           size_t bufferSize);

// The largest profile file read or rewritten. Setups' files are a few kilobytes; a larger
// one (a link to an endless device, for one) is read as no file and never rewritten.
inline constexpr int64_t kProfileFileLimit = 1 << 20;

// Why the profile file at path cannot be read whole ("is not a regular file", "is larger than
// 1 MiB"); empty when it can, or when there is no such file.
std::string ProfileFileProblem(const std::string& path);

// The project's own reader and writer over files of the platform layer. Both backends can
// use them; on POSIX they are what the profile calls of the platform layer do.
std::string ReadString(const std::string& file, const std::string& section,
                       const std::string& key, const std::string& defaultValue,
                       size_t bufferSize = 1024);
std::vector<std::string> ReadKeys(const std::string& file, const std::string& section,
                                  size_t bufferSize = 8192);
// key absent: delete the section; value absent: delete the key. The file is replaced as a
// whole (written beside it, then renamed), so a crash never leaves half a file. A file that
// is there but cannot be read whole (locked, not a regular file, above kProfileFileLimit:
// kErrorFileTooLarge) is left as it is and the write fails.
bool Write(const std::string& file, const std::string& section,
           const std::optional<std::string>& key, const std::optional<std::string>& value);

// A bare file name names a file in the Windows directory.
std::string ResolveProfilePath(const std::string& file);

// The whole content of a file of the platform layer; nullopt when it cannot be opened.
std::optional<std::string> ReadWhole(const std::string& path);
// Replaces the file with text as a whole: written to path + ".tovin-tmp" (made new, so no link
// is written through; one left by a crash is replaced), flushed, then renamed over path. A
// crash leaves the old file or the new one, never half of one.
bool ReplaceWhole(const std::string& path, const std::string& text);

}  // namespace ini
