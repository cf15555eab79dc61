#include "platform/ini_document.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "platform/error_codes.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A section header line gives its name; anything else gives nullopt.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  auto close = line.rfind(']');
  if (close != std::string_view::npos) line = line.substr(0, close);
  return Trim(line);
}

struct KeyLine {
  std::string_view name, value;
};
// A key line: name before the first '=', value after it. Comments and lines without '='
// are no keys.
std::optional<KeyLine> ParseKey(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() == ';' || line.front() == '[') return std::nullopt;
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

// A section's name and a key's, as one lookup key: a line holds no line feed.
std::string SectionKey(std::string_view section, std::string_view key) {
  return plat::LowerCase(std::string(section)) + '\n' + plat::LowerCase(std::string(key));
}

}  // namespace

struct Document::Index {
  std::unordered_map<std::string, Range> sections;              // lower-case name: its first section
  std::unordered_map<std::string, std::vector<size_t>> keys;    // SectionKey: lines in that section
};

const Document::Index& Document::Indexed() const {
  if (index_) return *index_;
  auto index = std::make_shared<Index>();
  Range* open = nullptr;  // the first section of its name being read; null in a repeated one
  std::string openName;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (auto name = SectionName(lines_[i])) {
      if (open) open->end = i;
      openName = plat::LowerCase(std::string(*name));
      auto [at, first] = index->sections.try_emplace(openName, Range{i, lines_.size()});
      open = first ? &at->second : nullptr;
    } else if (open) {
      if (auto k = ParseKey(lines_[i])) index->keys[SectionKey(openName, k->name)].push_back(i);
    }
  }
  index_ = std::move(index);
  return *index_;
}

const std::vector<size_t>* Document::IndexedKeys(std::string_view section, std::string_view key) const {
  const Index& index = Indexed();
  auto at = index.keys.find(SectionKey(section, key));
  return at == index.keys.end() ? nullptr : &at->second;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

Document::Document(std::string_view text) {
  for (auto line : plat::SplitLines(text)) lines_.emplace_back(line);
}

std::optional<Document::Range> Document::FindSection(std::string_view section) const {
  const Index& index = Indexed();
  auto at = index.sections.find(plat::LowerCase(std::string(section)));
  if (at == index.sections.end()) return std::nullopt;
  return at->second;
}

std::optional<size_t> Document::FindKey(const Range& range, std::string_view key) const {
  for (size_t i = range.header + 1; i < range.end; ++i) {
    auto k = ParseKey(lines_[i]);
    if (k && EqualNoCase(k->name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> Document::Value(std::string_view section, std::string_view key) const {
  const std::vector<size_t>* at = IndexedKeys(section, key);
  if (!at) return std::nullopt;
  return Unquote(ParseKey(lines_[at->front()])->value);
}

std::vector<std::string> Document::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  auto range = FindSection(section);
  if (!range) return keys;
  for (size_t i = range->header + 1; i < range->end; ++i)
    if (auto k = ParseKey(lines_[i])) keys.emplace_back(k->name);
  return keys;
}

std::vector<std::string> Document::Sections() const {
  std::vector<std::string> names;
  for (const auto& line : lines_)
    if (auto name = SectionName(line)) names.emplace_back(*name);
  return names;
}

std::vector<std::string> Document::KeysBeforeSections() const {
  std::vector<std::string> keys;
  for (const auto& line : lines_) {
    if (SectionName(line)) break;
    if (auto k = ParseKey(line)) keys.emplace_back(k->name);
  }
  return keys;
}

std::vector<size_t> Document::SectionLines(std::string_view section) const {
  std::vector<size_t> at;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (auto name = SectionName(lines_[i]); name && EqualNoCase(*name, section)) at.push_back(i + 1);
  return at;
}

std::vector<size_t> Document::KeyLines(std::string_view section, std::string_view key) const {
  std::vector<size_t> at;
  if (const std::vector<size_t>* lines = IndexedKeys(section, key))
    for (size_t i : *lines) at.push_back(i + 1);
  return at;
}

std::vector<size_t> Document::KeyLinesBeforeSections() const {
  std::vector<size_t> at;
  for (size_t i = 0; i < lines_.size() && !SectionName(lines_[i]); ++i)
    if (ParseKey(lines_[i])) at.push_back(i + 1);
  return at;
}

void Document::Set(std::string_view section, std::string_view key, std::string_view value) {
  auto range = FindSection(section);
  index_.reset();  // the lines move
  if (!range) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back(std::string(1, '[').append(section).append(1, ']'));
    lines_.push_back(std::string(key) + "=" + std::string(value));
    return;
  }
  if (auto at = FindKey(*range, key)) {
    lines_[*at] = std::string(ParseKey(lines_[*at])->name) + "=" + std::string(value);
    return;
  }
  // After the section's last non-blank line, so a blank line before the next section stays.
  size_t insert = range->end;
  while (insert > range->header + 1 && Trim(lines_[insert - 1]).empty()) --insert;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert),
                std::string(key) + "=" + std::string(value));
}

void Document::DeleteKey(std::string_view section, std::string_view key) {
  auto range = FindSection(section);
  index_.reset();  // the lines move
  if (!range) return;
  if (auto at = FindKey(*range, key)) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
}

void Document::DeleteSection(std::string_view section) {
  auto range = FindSection(section);
  index_.reset();  // the lines move
  if (!range) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
               lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

std::string Document::Text() const {
  std::string out;
  for (const auto& line : lines_) out += line + "\r\n";
  return out;
}

std::string CutToBuffer(const std::string& value, size_t bufferSize) {
  if (bufferSize == 0) return {};
  return value.size() < bufferSize ? value : value.substr(0, bufferSize - 1);
}

std::vector<std::string> KeysThroughBuffer(const std::vector<std::string>& keys,
                                           size_t bufferSize) {
  // The buffer holds each name with its zero and a final zero; a list that does not fit is
  // cut so that the buffer still ends in two zeros, which may cut the last name.
  std::string packed;
  for (const auto& k : keys) packed += k + '\0';
  if (packed.size() + 1 > bufferSize) {
    packed.resize(bufferSize >= 2 ? bufferSize - 2 : 0);
    packed += '\0';
  }
  std::vector<std::string> out;
  size_t start = 0;
  while (start < packed.size()) {
    size_t zero = packed.find('\0', start);
    if (zero == start) break;
    out.push_back(packed.substr(start, zero - start));
    start = zero + 1;
  }
  return out;
}

std::string ResolveProfilePath(const std::string& file) {
  if (file.find_first_of("\\/:") != std::string::npos) return file;
  return plat::GetWindowsDirectory() + "\\" + file;
}

std::string ProfileFileProblem(const std::string& path) {
  auto found = plat::FindFiles(path, plat::kAttrMaskAll);
  if (found.size() != 1) return "";
  const auto& f = found.front();
  if (f.attributes == plat::kAttrReparsePoint) return "";  // a link to nothing: no file
  if (f.attributes & (plat::kAttrDirectory | plat::kAttrDevice)) return "is not a regular file";
  if (f.size > static_cast<uint64_t>(kProfileFileLimit))
    return "is larger than " + std::to_string(kProfileFileLimit >> 20) + " MiB (" + std::to_string(f.size) + " bytes)";
  return "";
}

// nullopt with the error set when the file cannot be read whole.
std::optional<std::string> ReadWhole(const std::string& path) {
  auto f = plat::OpenFile(path, plat::Access::Read, plat::Share::DenyWrite,
                          plat::Disposition::OpenExisting);
  if (!f) return std::nullopt;
  // One read of the size it has, and one more byte to see that it has not grown past the limit.
  int64_t size = std::clamp<int64_t>(f->Size(), 0, kProfileFileLimit);
  std::string text(static_cast<size_t>(size) + 1, '\0');
  int64_t got = 0;
  for (int64_t n; got < static_cast<int64_t>(text.size()) &&
                  (n = f->Read(text.data() + got, static_cast<int64_t>(text.size()) - got)) != 0;) {
    if (n < 0) return std::nullopt;
    got += n;
    if (got == static_cast<int64_t>(text.size()) && got <= kProfileFileLimit) text.resize(text.size() * 2);
  }
  if (got > kProfileFileLimit) {
    plat::SetLastError(plat::kErrorFileTooLarge);
    return std::nullopt;
  }
  text.resize(static_cast<size_t>(got));
  return text;
}

bool ReplaceWhole(const std::string& path, const std::string& text) {
  // Made new, so nothing already there (a link least of all) is written through; flushed,
  // so the rename never puts an unwritten file in place of the old one.
  std::string temp = path + ".tovin-tmp";
  {
    auto f = plat::OpenFile(temp, plat::Access::Write, plat::Share::Exclusive, plat::Disposition::CreateNew);
    if (!f && plat::GetLastError() == plat::kErrorFileExists && plat::DeleteFile(temp))  // left by a crash
      f = plat::OpenFile(temp, plat::Access::Write, plat::Share::Exclusive, plat::Disposition::CreateNew);
    if (!f) return false;
    if (f->Write(text.data(), static_cast<int64_t>(text.size())) != static_cast<int64_t>(text.size()) ||
        !f->Flush()) {
      f.reset();
      plat::DeleteFile(temp);
      return false;
    }
  }
  if (!plat::MoveFileReplace(temp, path)) {
    plat::DeleteFile(temp);
    return false;
  }
  return true;
}

namespace {

bool Missing(uint32_t error) { return error == plat::kErrorFileNotFound || error == plat::kErrorPathNotFound; }

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (auto& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

// What the read calls see of one text, found in one pass: the first section of each name with
// its key names in file order and the value of the first key of each name (as Document::Keys
// and Document::Value find them).
class ReadView {
 public:
  ReadView() = default;
  explicit ReadView(std::string_view text) {
    Section* current = nullptr;
    for (auto line : plat::SplitLines(text)) {
      if (auto name = SectionName(line)) {
        auto [it, first] = sections_.try_emplace(Folded(*name));
        current = first ? &it->second : nullptr;  // a repeated section is never read
        continue;
      }
      if (!current) continue;
      if (auto k = ParseKey(line)) {
        current->keys.emplace_back(k->name);
        current->values.try_emplace(Folded(k->name), Unquote(k->value));
      }
    }
  }
  std::optional<std::string> Value(std::string_view section, std::string_view key) const {
    auto s = sections_.find(Folded(section));
    if (s == sections_.end()) return std::nullopt;
    auto v = s->second.values.find(Folded(key));
    if (v == s->second.values.end()) return std::nullopt;
    return v->second;
  }
  std::vector<std::string> Keys(std::string_view section) const {
    auto s = sections_.find(Folded(section));
    return s == sections_.end() ? std::vector<std::string>() : s->second.keys;
  }

 private:
  struct Section {
    std::vector<std::string> keys;
    std::unordered_map<std::string, std::string> values;
  };
  std::unordered_map<std::string, Section> sections_;
};

// Every read reads the file again, as the profile API does, but a text read just before is
// not looked through again: install.cfg is read a key at a time, and going through a large
// one for every key made reading it take minutes.
const ReadView& Load(const std::string& file) {
  thread_local std::string lastText;
  thread_local ReadView lastView;
  static const ReadView none;
  auto text = ReadWhole(ResolveProfilePath(file));
  if (!text) return none;
  if (*text != lastText) {
    lastView = ReadView(*text);
    lastText = std::move(*text);
  }
  return lastView;
}

}  // namespace

std::string ReadString(const std::string& file, const std::string& section,
                       const std::string& key, const std::string& defaultValue,
                       size_t bufferSize) {
  auto v = Load(file).Value(section, key);
  return CutToBuffer(v ? *v : defaultValue, bufferSize);
}

std::vector<std::string> ReadKeys(const std::string& file, const std::string& section,
                                  size_t bufferSize) {
  return KeysThroughBuffer(Load(file).Keys(section), bufferSize);
}

bool Write(const std::string& file, const std::string& section,
           const std::optional<std::string>& key, const std::optional<std::string>& value) {
  std::string path = ResolveProfilePath(file);
  auto old = ReadWhole(path);
  if (!old && !Missing(plat::GetLastError())) return false;
  Document doc = old ? Document(*old) : Document();
  if (!key) doc.DeleteSection(section);
  else if (!value) doc.DeleteKey(section, *key);
  else doc.Set(section, *key, *value);
  std::string text = doc.Text();
  if (old && *old == text) return true;
  return ReplaceWhole(path, text);
}

}  // namespace ini
