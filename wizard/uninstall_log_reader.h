// Reading the uninstall log back: the product's title, the files and patterns to delete and the
// folders to remove, as the installation run wrote them.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tovin {

struct TUninstallLogContents {
  std::string Title;                 // [Program] Title
  std::vector<std::string> Files;    // [UNINS] keys in file order, each once (letter case aside)
  std::vector<std::string> Folders;  // [Folders] keys in file order, each once
};

// The log named file. nullopt when it cannot be read or is larger than any log a setup writes.
std::optional<TUninstallLogContents> ReadUninstallLog(const std::string& file);

// Whether one name matches a wildcard pattern as Windows matches a file name: "*" any run of
// characters, "?" one character (or none at the end of the name or before a dot), a pattern
// ending in ".*" also matching a name without an extension (so "*.*" matches every name and
// "App.*" matches "App"), letter case ignored.
bool WildcardMatches(const std::string& pattern, const std::string& name);
bool HasWildcard(const std::string& text);

// Paths of this layer compared as Windows compares them: without letter case, "/" taken for "\".
bool SamePath(const std::string& a, const std::string& b);
// Whether path is folder itself or lies below it, by its text (no lookup on disk).
bool PathIsBelowOrSame(const std::string& path, const std::string& folder);
// The folder part of path ("C:\A\b.txt" gives "C:\A"; a drive's root keeps its backslash).
std::string ParentOf(const std::string& path);
// The last component.
std::string NamePart(const std::string& path);

}  // namespace tovin
