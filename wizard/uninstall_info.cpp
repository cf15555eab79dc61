#include "wizard/uninstall_info.h"

#include "common/system_routines.h"
#include "platform/platform.h"
#include "wizard/directory_keys.h"
#include "wizard/log_paths.h"

namespace tovin {

namespace {

// The sections whose keys are entries; a second installation into the same folder starts them
// afresh.
constexpr const char* kEntrySections[] = {"UNINS", "Folders"};

bool NamesSomethingOnDisk(const std::string& path) {
  if (path.find_first_of("*?") != std::string::npos) return !plat::FindFiles(path, plat::kAttrMaskFiles).empty();
  return plat::GetFileAttributes(path) != plat::kInvalidAttributes;
}

}  // namespace

void TUninstallLog::Open(const std::string& installDirPath, const std::string& title) {
  file_ = installDirPath + "\\" + kUninstallLogName;
  auto old = ini::ReadWhole(file_);
  rest_ = old ? ini::Document(*old) : ini::Document();
  sections_.clear();
  for (const char* name : kEntrySections) {
    Section& section = sections_.emplace_back(Section{name, {}, {}, {}, {}});
    auto named = [&] {
      for (const auto& s : rest_.Sections())
        if (ini::EqualNoCase(s, name)) return true;
      return false;
    };
    for (; named(); rest_.DeleteSection(name))
      for (auto& key : rest_.Keys(name))
        if (section.earlierKeys.insert(plat::UpperCase(key)).second) section.earlier.push_back(key);
  }
  rest_.Set("Program", "Title", title);
  saved_.reset();
  // Normalised, so that no ".." in the destination can make a pattern reach above it.
  std::string top = PathBelow(installDirPath, "").value_or(installDirPath);
  if (top.back() == '\\') top.pop_back();
  Add("UNINS", top + "\\*.*");
  Add("UNINS", top + "\\Setup\\*.*");
  Save();
}

TUninstallLog::Section& TUninstallLog::SectionNamed(const std::string& name) {
  for (auto& s : sections_)
    if (ini::EqualNoCase(s.name, name)) return s;
  return sections_.emplace_back(Section{name, {}, {}, {}, {}});
}

void TUninstallLog::Add(const std::string& section, const std::string& path) {
  Section& s = SectionNamed(section);
  if (s.addedKeys.insert(plat::UpperCase(path)).second) s.added.push_back(path);
}

std::string TUninstallLog::Text() const {
  std::string text = rest_.Text();
  for (const auto& s : sections_) {
    std::string lines;
    for (const auto& key : s.added) lines += key + "=\r\n";
    for (const auto& key : s.earlier)
      if (!s.addedKeys.count(plat::UpperCase(key))) lines += key + "=\r\n";
    if (lines.empty()) continue;
    // A blank line before a new section, as the profile writer puts it.
    if (!text.empty() && !text.ends_with("\r\n\r\n")) text += "\r\n";
    text += "[" + s.name + "]\r\n" + lines;
  }
  return text;
}

void TUninstallLog::Save() {
  std::string text = Text();
  if (saved_ && *saved_ == text) return;
  if (!ini::ReplaceWhole(file_, text)) throw EUnableToWrite(Format(kMsgUnableToWrite, file_));
  saved_ = std::move(text);
}

bool TUninstallLog::NamedEarlier(const std::string& section, const std::string& key) const {
  for (const auto& s : sections_)
    if (ini::EqualNoCase(s.name, section)) return s.earlierKeys.count(plat::UpperCase(key)) > 0;
  return false;
}

void TUninstallLog::Close() {
  if (!IsOpen()) return;
  for (auto& s : sections_)
    std::erase_if(s.earlier, [&](const std::string& key) {
      return !s.addedKeys.count(plat::UpperCase(key)) && !NamesSomethingOnDisk(key);
    });
  Save();
  file_.clear();
}

std::vector<IniEntry> IniEntriesToWrite(const std::vector<std::string>& keys, const std::vector<std::string>& paths,
                                        const std::vector<std::string>& iniSetupList) {
  std::vector<IniEntry> entries;
  for (size_t i = 0; i < keys.size(); ++i) {
    for (const auto& entry : iniSetupList) {
      std::string rest = entry, section, identifier;
      NextField(rest, '~', section);
      NextField(rest, '~', identifier);
      KeyedPath value = SplitKeyedPath(rest);
      if (value.Key == keys[i]) entries.push_back({section, identifier, paths[i] + "\\" + value.Rest});
    }
  }
  return entries;
}

void WriteIniEntries(const std::vector<std::string>& keys, const std::vector<std::string>& paths,
                     const std::vector<std::string>& iniSetupList, const std::string& iniFile,
                     const std::function<void()>& onEntry) {
  for (const auto& entry : IniEntriesToWrite(keys, paths, iniSetupList)) {
    if (onEntry) onEntry();
    if (!plat::WritePrivateProfileString(entry.Section, entry.Identifier, entry.Value, iniFile))
      throw EUnableToWrite(Format(kMsgUnableToWrite, iniFile));
  }
}

void WriteUninstallRegistry(const std::string& title, const std::string& installDirPath) {
  constexpr auto kRoot = plat::RegRoot::LocalMachine;
  std::string key = kUninstallKey + title;
  auto set = [&](const char* name, const std::string& data) {
    if (!plat::RegCreateKey(kRoot, key) || !plat::RegSetStringValue(kRoot, key, name, data))
      throw ERegistryError(Format(kMsgFailedToCreateKey, key));
  };
  set("DisplayName", title);
  set("UninstallString", "\"" + installDirPath + "\\" + kUninstallerName + "\" " + title);
}

}  // namespace tovin
