#include "wizard/uninstall_info.h"

#include "common/system_routines.h"
#include "platform/platform.h"
#include "wizard/directory_keys.h"

namespace tovin {

void TUninstallLog::Open(const std::string& installDirPath, const std::string& title) {
  file_ = installDirPath + "\\uninstall.cfg";
  for (const char* section : {"UNINS", "Folders"})
    if (!plat::WritePrivateProfileString(section, std::nullopt, std::nullopt, file_))
      if (plat::GetFileAttributes(file_) != plat::kInvalidAttributes) throw EUnableToWrite(Format(kMsgUnableToWrite, file_));
  Write("Program", "Title", title);
  Add("UNINS", installDirPath + "\\*.*");
  Add("UNINS", installDirPath + "\\Setup\\*.*");
}

void TUninstallLog::Add(const std::string& section, const std::string& path) { Write(section, path, ""); }

void TUninstallLog::Write(const std::string& section, const std::string& key, const std::string& value) {
  if (!plat::WritePrivateProfileString(section, key, value, file_)) throw EUnableToWrite(Format(kMsgUnableToWrite, file_));
}

void WriteIniEntries(const std::vector<std::string>& keys, const std::vector<std::string>& paths,
                     const std::vector<std::string>& iniSetupList, const std::string& iniFile,
                     const std::function<void()>& onEntry) {
  for (size_t i = 0; i < keys.size(); ++i) {
    for (const auto& entry : iniSetupList) {
      std::string rest = entry, section, identifier;
      NextField(rest, '~', section);
      NextField(rest, '~', identifier);
      KeyedPath value = SplitKeyedPath(rest);
      if (value.Key != keys[i]) continue;
      if (onEntry) onEntry();
      if (!plat::WritePrivateProfileString(section, identifier, paths[i] + "\\" + value.Rest, iniFile))
        throw EUnableToWrite(Format(kMsgUnableToWrite, iniFile));
    }
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
  set("UninstallString", "\"" + installDirPath + "\\uninstaller.exe\" " + title);
}

}  // namespace tovin
