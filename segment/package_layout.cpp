#include "segment/package_layout.h"

#include <map>

#include "container/archive_format.h"

namespace tovin {

std::vector<PackageArchive> GroupIntoArchives(const std::vector<SourceFile>& files, bool multiArc) {
  std::map<std::string, PackageArchive> groups;
  for (const auto& f : files) {
    auto cut = f.Member.find('\\');
    std::string folder = multiArc && cut != std::string::npos ? f.Member.substr(0, cut) : std::string();
    PackageArchive& a = groups[folder];
    if (a.Template.empty())
      a.Template = folder.empty() ? std::string(kPackageBaseName) + kArchiveExtension
                                  : folder + "\\" + folder + kArchiveExtension;
    SourceFile member = f;
    if (!folder.empty()) member.Member = f.Member.substr(folder.size() + 1);
    a.Bytes += f.Size;
    a.Files.push_back(std::move(member));
  }
  std::vector<PackageArchive> out;
  for (auto& [folder, a] : groups) out.push_back(std::move(a));
  return out;
}

uint64_t ArchiveSizeBound(const PackageArchive& archive) {
  uint64_t bound = kArchiveHeaderSize;
  for (const auto& f : archive.Files) bound += kMemberHeaderSize + f.Member.size() + f.Size;
  return bound;
}

}  // namespace tovin
