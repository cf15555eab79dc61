#include "wizard/log_paths.h"

#include "platform/ini_document.h"
#include "platform/platform.h"

namespace tovin {
namespace {

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:*?") == std::string::npos;
}

std::optional<std::string> PathBelow(const std::string& base, const std::string& relative) {
  std::string top = WithoutTrailingSeparator(plat::GetFullPathName(base));
  std::string full = WithoutTrailingSeparator(plat::GetFullPathName(base + "\\" + relative));
  if (ini::EqualNoCase(full, top)) return full;
  std::string prefix = top.back() == '\\' ? top : top + "\\";
  if (full.size() > prefix.size() && ini::EqualNoCase(full.substr(0, prefix.size()), prefix)) return full;
  return std::nullopt;
}

bool LogCanHold(const std::string& key) {
  if (key.empty() || key.front() == '[' || key.front() == ';' || key.front() == ' ' || key.back() == ' ') return false;
  for (char c : key)
    if (c == '=' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return true;
}

std::optional<std::string> FileLogKey(const std::string& dir, const std::string& name) {
  uint32_t a = plat::GetFileAttributes(dir);
  if (!IsPlainName(name) || a == plat::kInvalidAttributes || !(a & plat::kAttrDirectory)) return std::nullopt;
  auto key = PathBelow(dir, name);
  if (!key || !LogCanHold(*key)) return std::nullopt;
  return key;
}

std::optional<std::string> IniFileLogKey(const std::string& windowsDir, const std::string& iniFile) {
  bool bare = iniFile.find_first_of("\\/:") == std::string::npos;
  std::string key = plat::GetFullPathName(bare ? windowsDir + "\\" + iniFile : iniFile);
  if (!LogCanHold(key) || !IsPlainName(key.substr(key.find_last_of("\\/:") + 1))) return std::nullopt;
  return key;
}

std::optional<std::vector<LogEntry>> ShortcutLogEntries(const std::string& w, const ShortcutPlaces& places,
                                                         const std::string& folder, const std::string& name) {
  if (!IsPlainName(name)) return std::nullopt;
  std::vector<LogEntry> entries;
  bool ok = true;
  auto in = [&](const std::string& shellFolder, const std::string& sub) {
    auto below = PathBelow(shellFolder, sub);
    if (!below) {
      ok = false;
      return;
    }
    if (*below != *PathBelow(shellFolder, "")) entries.push_back({"Folders", *below});
    entries.push_back({"UNINS", *below + "\\" + name + ".*"});
  };
  if (places.FolderDesktop) in(w + "\\Desktop", folder);
  if (places.Desktop) in(w + "\\Desktop", "");
  if (places.StartMenu) in(w + "\\Start Menu", "");
  if (places.FolderStartMenu) in(w + "\\Start Menu", folder);
  in(w + "\\Start Menu\\Programs", folder);
  for (const auto& entry : entries) ok = ok && LogCanHold(entry.Key);
  if (!ok) return std::nullopt;
  return entries;
}

}  // namespace tovin
