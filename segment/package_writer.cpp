#include "segment/package_writer.h"

#include "container/archive_writer.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "segment/seg_format.h"
#include "segment/seg_writer.h"

namespace tovin {

PackageResult WritePackage(const std::vector<PackageArchive>& archives, const PackageOptions& options) {
  SegSetOptions set;
  set.SegDir = options.OutDir;
  set.SegBaseName = kPackageBaseName;
  set.SegSize = options.SegSize;
  set.Key = options.Key;
  std::vector<SegArchiveSource> sources;
  for (const auto& a : archives) {
    SegArchiveSource s;
    s.Template = a.Template;
    for (const auto& f : a.Files) s.Files.push_back(f.Member);
    sources.push_back(std::move(s));
  }
  PackageResult result;
  SegmentSetWriter writer(set);
  try {
    writer.Begin(sources);
    for (const auto& a : archives) {
      std::string current;
      uint64_t before = 0;
      ArchiveWriter archive(writer.BeginArchive(), options.Method, options.Key, [&](int64_t done, int64_t) {
        if (options.Progress) options.Progress(current, before + static_cast<uint64_t>(done));
      });
      for (const auto& f : a.Files) {
        current = f.Member;
        before = result.Bytes;
        archive.AddFile(f.Path, f.Member);
        result.Bytes += f.Size;
        ++result.Files;
      }
      archive.Finish();
      writer.EndArchive();
    }
    result.Segments = writer.Finish();
  } catch (...) {
    writer.Discard();
    throw;
  }
  return result;
}

std::vector<std::string> PackageFilesIn(const std::string& dir) {
  std::vector<std::string> files;
  std::string prefix = dir.empty() || dir.back() == '\\' ? dir : dir + "\\";
  for (unsigned n = 1; n <= 65535; ++n) {
    auto found = plat::FindFiles(prefix + SegmentFileName(kPackageBaseName, "", n), plat::kAttrMaskFiles);
    if (found.size() != 1) break;
    files.push_back(found[0].name);
  }
  for (const char* extra : {"install.cfg", "install.exe"}) {
    auto found = plat::FindFiles(prefix + extra, plat::kAttrMaskFiles);
    if (found.size() == 1) files.push_back(found[0].name);
  }
  return files;
}

}  // namespace tovin
