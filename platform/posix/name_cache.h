// Lookup of a folder's entries without regard to letter case. Reading the whole folder for
// every new name made filling a folder quadratic; the names of recently used folders are
// kept folded, and the kernel's change notes for those folders (this process's own changes
// and anyone else's) keep them right, so an answer is never older than the call.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

namespace plat::posix {

// The entry of the folder open as folder whose name equals name up to the letter case of
// A to Z, name itself excluded; the least such name in byte order when there are several;
// nullopt when there is none. Answers from the cache when it can.
std::optional<std::string> FindCaseVariant(int folder, const std::string& name);

// Folders whose names are kept (the least recently used go first). When the system gives
// no change notes (no inotify, no /proc), every lookup reads the folder.
inline constexpr size_t kNameCacheFolders = 64;
// Names kept in all, so a few huge folders cannot hold much memory.
inline constexpr size_t kNameCacheNames = 1u << 20;

// Folders held now, for tests of the bound.
size_t NameCacheFolderCount();

}  // namespace plat::posix
