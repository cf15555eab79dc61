// The files a package is built from: a folder tree walked the way a Windows package can hold it.
// Links are followed (a link that leads back into its own ancestry is a loop and is left out),
// anything that is neither a file nor a folder is left out, and every name is checked against
// what Windows can hold before anything is written.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovin {

struct SourceFile {
  std::string Path;    // path of the platform layer
  std::string Member;  // relative to the source folder, backslash-separated
  uint64_t Size = 0;
};

// A name in the tree and what happened to it.
struct SourceNote {
  std::string Name;  // relative, backslash-separated
  std::string What;
};

struct SourceScan {
  std::vector<SourceFile> Files;     // in walk order: folders depth first, names sorted without case
  std::vector<SourceNote> Refused;   // names Windows cannot hold: the package must not be built
  std::vector<SourceNote> Skipped;   // left out: link loops, dangling links, devices, empty folders
  std::vector<SourceNote> Followed;  // links whose target was packed under the link's name
};

// Walks srcDir. Folders whose final path is in exclude (the output folder, say) are left out
// without a note.
SourceScan ScanSourceTree(const std::string& srcDir, const std::vector<std::string>& exclude = {});

}  // namespace tovin
