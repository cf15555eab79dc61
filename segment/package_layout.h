// How a package's files are grouped into the archives of its segment set, and what each
// archive's template is (its folder part is where its members are expanded).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "segment/package_source.h"

namespace tovin {

inline constexpr const char* kPackageBaseName = "tovinsetup";
inline constexpr const char* kArchiveExtension = ".vlx";

struct PackageArchive {
  std::string Template;
  std::vector<SourceFile> Files;  // Member is the name inside this archive
  uint64_t Bytes = 0;             // sum of the file sizes
};

// One archive of everything, or with multiArc one per top-level folder (its template
// "folder\folder.vlx") plus one for the files at the top.
std::vector<PackageArchive> GroupIntoArchives(const std::vector<SourceFile>& files, bool multiArc);

// Bytes an archive of these files takes at most: headers, names and every file stored.
uint64_t ArchiveSizeBound(const PackageArchive& archive);

}  // namespace tovin
