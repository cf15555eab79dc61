#include "platform/registry_file.h"

#include <algorithm>
#include <cstdio>

#include "platform/ini_document.h"
#include "platform/text.h"

namespace reg {

struct Document::Key {
  struct Value {
    std::string name;
    bool isString = true;
    std::string data;  // the string, or the verbatim right-hand side of another type
  };
  std::string name;
  std::vector<Value> values;
  std::vector<std::unique_ptr<Key>> subkeys;

  Key* Subkey(std::string_view n) const {
    for (const auto& k : subkeys)
      if (ini::EqualNoCase(k->name, n)) return k.get();
    return nullptr;
  }
  Value* FindValue(std::string_view n) {
    for (auto& v : values)
      if (ini::EqualNoCase(v.name, n)) return &v;
    return nullptr;
  }
  // Replaces the data of an existing value (its name keeps its case) or appends one. A
  // string ends at its first zero byte.
  void Put(std::string_view n, bool isString, std::string data) {
    if (isString) data.resize(std::min(data.size(), data.find('\0')));
    if (Value* v = FindValue(n)) {
      v->isString = isString;
      v->data = std::move(data);
    } else {
      values.push_back({std::string(n), isString, std::move(data)});
    }
  }
};

namespace {

constexpr std::string_view kSignature = "REGEDIT4";
constexpr size_t kHexBytesPerLine = 24;

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A quoted string starting at s[pos]; on success pos is just past the closing quote. A
// backslash escapes only \ and "; before anything else it stands for itself.
std::optional<std::string> ReadQuoted(std::string_view s, size_t& pos) {
  if (pos >= s.size() || s[pos] != '"') return std::nullopt;
  std::string out;
  for (size_t i = pos + 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      pos = i + 1;
      return out;
    }
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) c = s[++i];
    out += c;
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "41,0d,00" to bytes; blanks around the bytes are allowed, nothing else.
std::optional<std::string> ReadHexBytes(std::string_view list) {
  std::string bytes;
  list = TrimBlanks(list);
  while (!list.empty()) {
    size_t comma = list.find(',');
    std::string_view item = TrimBlanks(list.substr(0, comma));
    if (item.size() != 2 || HexDigit(item[0]) < 0 || HexDigit(item[1]) < 0) return std::nullopt;
    bytes += static_cast<char>(HexDigit(item[0]) * 16 + HexDigit(item[1]));
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
    if (TrimBlanks(list).empty()) break;  // a trailing comma
  }
  return bytes;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && ini::EqualNoCase(s.substr(0, prefix.size()), prefix);
}

// The string with its terminating zero as hex(1) bytes, wrapped as regedit wraps them.
std::string HexString(std::string_view data) {
  std::string out = "hex(1):";
  for (size_t i = 0; i <= data.size(); ++i) {
    unsigned char byte = i < data.size() ? static_cast<unsigned char>(data[i]) : 0;
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", byte);
    if (i > 0) out += (i % kHexBytesPerLine == 0) ? ",\\\r\n  " : ",";
    out += hex;
  }
  return out;
}

}  // namespace

std::vector<std::string> SplitKeyPath(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t sep = path.find('\\', start);
    if (sep == std::string_view::npos) sep = path.size();
    if (sep > start) parts.emplace_back(path.substr(start, sep - start));
    start = sep + 1;
  }
  return parts;
}

uint32_t KeyPathError(std::string_view path) {
  if (!path.empty() && path.front() == '\\') return kErrorBadPathname;
  if (HasLineBreak(path)) return kErrorInvalidName;
  return 0;
}

uint32_t ValueNameError(std::string_view name) { return HasLineBreak(name) ? kErrorInvalidParameter : 0; }

std::string QuoteString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

Document::Document(std::string rootName) : rootName_(std::move(rootName)), root_(std::make_unique<Key>()) {}
Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

Document::Key* Document::Find(std::string_view path) const {
  Key* key = root_.get();
  for (const auto& part : SplitKeyPath(path))
    if (!(key = key->Subkey(part))) return nullptr;
  return key;
}

Document::Key& Document::Make(std::string_view path) {
  Key* key = root_.get();
  for (const auto& part : SplitKeyPath(path)) {
    Key* next = key->Subkey(part);
    if (!next) {
      key->subkeys.push_back(std::make_unique<Key>());
      next = key->subkeys.back().get();
      next->name = part;
    }
    key = next;
  }
  return *key;
}

bool Document::HasKey(std::string_view path) const { return Find(path) != nullptr; }

void Document::CreateKey(std::string_view path) { Make(path); }

std::vector<std::string> Document::Subkeys(std::string_view path) const {
  std::vector<std::string> names;
  if (const Key* key = Find(path))
    for (const auto& k : key->subkeys) names.push_back(k->name);
  return names;
}

void Document::SetString(std::string_view path, std::string_view name, std::string_view data) {
  Make(path).Put(name, true, std::string(data));
}

bool Document::HasValue(std::string_view path, std::string_view name) const {
  Key* key = Find(path);
  return key && key->FindValue(name);
}

size_t Document::ValueCount(std::string_view path) const {
  Key* key = Find(path);
  return key ? key->values.size() : 0;
}

std::optional<std::string> Document::String(std::string_view path, std::string_view name) const {
  Key* key = Find(path);
  auto* value = key ? key->FindValue(name) : nullptr;
  if (!value || !value->isString) return std::nullopt;
  return value->data;
}

bool Document::DeleteValue(std::string_view path, std::string_view name) {
  Key* key = Find(path);
  if (!key) return false;
  auto& values = key->values;
  auto it = std::find_if(values.begin(), values.end(),
                         [&](const Key::Value& v) { return ini::EqualNoCase(v.name, name); });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

bool Document::DeleteKey(std::string_view path) {
  auto parts = SplitKeyPath(path);
  if (parts.empty()) return false;
  Key* parent = root_.get();
  for (size_t i = 0; i + 1 < parts.size(); ++i)
    if (!(parent = parent->Subkey(parts[i]))) return false;
  auto& subkeys = parent->subkeys;
  auto it = std::find_if(subkeys.begin(), subkeys.end(),
                         [&](const auto& k) { return ini::EqualNoCase(k->name, parts.back()); });
  if (it == subkeys.end()) return false;
  subkeys.erase(it);
  return true;
}

std::string Document::Text() const {
  std::string out = std::string(kSignature) + "\r\n\r\n";
  // Parents before their subkeys, as regedit writes them, so a reader meets each key once.
  auto emit = [&](auto& self, const Key& key, const std::string& path) -> void {
    if (&key != root_.get() || !key.values.empty()) {
      out += "[" + path + "]\r\n";
      for (const auto& v : key.values) {
        out += v.name.empty() ? "@" : QuoteString(v.name);
        out += "=";
        if (!v.isString) out += v.data;
        else if (HasLineBreak(v.data)) out += HexString(v.data);
        else out += QuoteString(v.data);
        out += "\r\n";
      }
      out += "\r\n";
    }
    for (const auto& sub : key.subkeys) self(self, *sub, path + "\\" + sub->name);
  };
  emit(emit, *root_, rootName_);
  return out;
}

std::optional<Document> Document::Parse(std::string_view text, std::string rootName) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  auto lines = plat::SplitLines(text);
  if (lines.empty() || TrimBlanks(lines[0]) != kSignature) return std::nullopt;
  Document doc(std::move(rootName));
  Key* current = nullptr;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string_view line = TrimBlanks(lines[i]);
    if (line.empty() || line.front() == ';') continue;

    if (line.front() == '[') {
      size_t close = line.rfind(']');
      if (close == 0 || close == std::string_view::npos) return std::nullopt;
      std::string_view path = line.substr(1, close - 1);
      size_t sep = path.find('\\');
      if (!ini::EqualNoCase(path.substr(0, sep), doc.rootName_)) return std::nullopt;
      current = &doc.Make(sep == std::string_view::npos ? std::string_view() : path.substr(sep + 1));
      continue;
    }

    if (!current || (line.front() != '"' && line.front() != '@')) return std::nullopt;
    size_t pos = 1;
    std::string name;
    if (line.front() == '"') {
      pos = 0;
      auto quoted = ReadQuoted(line, pos);
      if (!quoted) return std::nullopt;
      name = *quoted;
    }
    std::string_view rest = TrimBlanks(line.substr(pos));
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    rest = TrimBlanks(rest.substr(1));

    if (!rest.empty() && rest.front() == '"') {
      size_t end = 0;
      auto data = ReadQuoted(rest, end);
      if (!data || !TrimBlanks(rest.substr(end)).empty()) return std::nullopt;
      current->Put(name, true, *data);
      continue;
    }
    // Typed data may go on over lines that end in a backslash.
    std::string typed(rest);
    while (!typed.empty() && typed.back() == '\\') {
      typed.pop_back();
      if (i + 1 < lines.size()) typed += TrimBlanks(lines[++i]);
      typed = TrimBlanks(typed);
    }
    if (typed.empty()) return std::nullopt;
    if (StartsWithNoCase(typed, "hex(1):")) {
      auto bytes = ReadHexBytes(std::string_view(typed).substr(7));
      if (!bytes) return std::nullopt;
      current->Put(name, true, *bytes);
    } else {
      current->Put(name, false, typed);
    }
  }
  return doc;
}

}  // namespace reg
