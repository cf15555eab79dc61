#include "wizard/uninstall_log_reader.h"

#include <cctype>

#include "platform/ini_document.h"
#include "platform/platform.h"

namespace tovin {
namespace {

// A log names each installed file once: one this large was not written by a setup.
constexpr uint64_t kMaxLogBytes = 16u << 20;

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// One pass with a return to the last "*": a hostile pattern of many stars costs no more than
// its length times the name's.
bool Match(const std::string& pattern, const std::string& name) {
  size_t p = 0, s = 0, star = std::string::npos, starAt = 0;
  for (;;) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      starAt = s;
    } else if (p < pattern.size() && pattern[p] == '?') {
      // Windows' "?" takes nothing where the name ends or a dot follows.
      if (s < name.size() && name[s] != '.') ++s;
      ++p;
    } else if (p < pattern.size() && s < name.size() && SameLetter(pattern[p], name[s])) {
      ++p;
      ++s;
    } else if (p == pattern.size() && s == name.size()) {
      return true;
    } else if (star != std::string::npos && starAt < name.size()) {
      p = star + 1;
      s = ++starAt;
    } else {
      return false;
    }
  }
}

std::vector<std::string> KeysOnce(const ini::Document& doc, const char* section) {
  std::vector<std::string> keys;
  for (auto& key : doc.Keys(section)) {
    bool seen = false;
    for (const auto& k : keys) seen = seen || ini::EqualNoCase(k, key);
    if (!seen && !key.empty()) keys.push_back(key);
  }
  return keys;
}

std::string Slashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

std::optional<TUninstallLogContents> ReadUninstallLog(const std::string& file) {
  auto found = plat::FindFiles(file, plat::kAttrMaskFiles);
  if (found.size() != 1 || found[0].size > kMaxLogBytes) return std::nullopt;
  auto text = ini::ReadWhole(file);
  if (!text) return std::nullopt;
  ini::Document doc(*text);
  TUninstallLogContents log;
  log.Title = doc.Value("Program", "Title").value_or("");
  log.Files = KeysOnce(doc, "UNINS");
  log.Folders = KeysOnce(doc, "Folders");
  return log;
}

bool WildcardMatches(const std::string& pattern, const std::string& name) {
  if (Match(pattern, name)) return true;
  bool anyExtension = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
  return anyExtension && name.find('.') == std::string::npos &&
         Match(pattern.substr(0, pattern.size() - 2), name);
}

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

bool SamePath(const std::string& a, const std::string& b) { return ini::EqualNoCase(Slashes(a), Slashes(b)); }

bool PathIsBelowOrSame(const std::string& path, const std::string& folder) {
  std::string p = Slashes(path), f = Slashes(folder);
  if (ini::EqualNoCase(p, f)) return true;
  if (!f.empty() && f.back() != '\\') f += '\\';
  return p.size() > f.size() && ini::EqualNoCase(p.substr(0, f.size()), f);
}

std::string ParentOf(const std::string& path) {
  std::string p = Slashes(path);
  auto cut = p.rfind('\\');
  if (cut == std::string::npos) return {};
  if (cut == 2 && p[1] == ':') return p.substr(0, 3);
  return p.substr(0, cut);
}

std::string NamePart(const std::string& path) { return path.substr(Slashes(path).rfind('\\') + 1); }

}  // namespace tovin
