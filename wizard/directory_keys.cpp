#include "wizard/directory_keys.h"

#include <cctype>

namespace tovin {

std::string ResolveDirectoryKey(const std::string& key, const std::string& path, const InstallPlaces& p) {
  auto has = [&key](const char* part) { return key.find(part) != std::string::npos; };
  if (key == "<WINDOWS>") return p.WindowsDir;
  if (key == "<WINDOWS_SYSTEM>") return p.WindowsDir + "\\System";
  if (key == "<PROGRAMFILES>") return p.SystemDriveRoot + "Program Files";
  if (key == "<INSTALLDIR>") return p.InstallDirPath;
  if (has("<SUB") && has("><")) {
    if (has("<WINDOWS>")) return p.WindowsDir + "\\" + path;
    if (has("<PROGRAMFILES>")) return p.SystemDriveRoot + "Program Files\\" + path;
    if (has("<WINDOWS_SYSTEM>")) return p.WindowsDir + "\\System\\" + path;
    if (has("<INSTALLDIR>")) return p.InstallDirPath + "\\" + path;
    return path;
  }
  if (has("<SUB")) return p.InstallDirPath + "\\" + path;
  return p.SystemDriveRoot + path;
}

KeyedPath SplitKeyedPath(const std::string& text) {
  auto cut = text.find('>');
  if (cut == std::string::npos) return {"", text};
  return {plat::UpperCase(text.substr(0, cut + 1)), text.substr(cut + 1)};
}

}  // namespace tovin
