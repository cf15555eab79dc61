// Directory keys ("<INSTALLDIR>", "<SUB1>", "<SUB2><WINDOWS>", ...) and the folders they stand
// for during an installation run.
#pragma once
#include <string>

#include "platform/text.h"

namespace tovin {

struct InstallPlaces {
  std::string WindowsDir;       // "C:\WINDOWS"
  std::string SystemDriveRoot;  // "C:\"
  std::string InstallDirPath;   // the destination; empty when the list declares none
};

// The folder for a key (already upper-cased) and the path field of its "Directories" entry,
// by the first rule that applies.
std::string ResolveDirectoryKey(const std::string& upperKey, const std::string& path, const InstallPlaces& places);

// What a target, icon or INI value names: the key (up to and including the first ">",
// upper-cased) and the rest after it. Without a ">" the key is empty and the rest is all.
struct KeyedPath {
  std::string Key, Rest;
};
KeyedPath SplitKeyedPath(const std::string& text);


}  // namespace tovin
