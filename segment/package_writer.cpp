#include "segment/package_writer.h"

#include <algorithm>

#include "container/archive_writer.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "segment/coding_queue.h"
#include "segment/seg_format.h"
#include "segment/seg_writer.h"

namespace tovin {
namespace {

void WriteOneByOne(const std::vector<PackageArchive>& archives, const PackageOptions& options,
                   SegmentSetWriter& writer, PackageResult& result) {
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
}

// The members are coded ahead on the queue's threads; this thread writes them in order.
void WriteInParallel(const std::vector<PackageArchive>& archives, const PackageOptions& options,
                     SegmentSetWriter& writer, PackageResult& result) {
  CodingQueueOptions q;
  q.Threads = options.Threads;
  q.MinInFlight = 2 * static_cast<size_t>(options.Threads) + 2;
  q.MaxInFlight = 32 * static_cast<size_t>(options.Threads) + 2;
  q.MaxBytesInFlight = 64 << 20;
  q.MemoryLimit = options.MemberMemoryLimit;
  std::string dir = options.OutDir;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  q.SpillPrefix = dir + "\\" + kPackageBaseName + ".";
  q.Method = options.Method;
  q.Key = options.Key;
  CodingQueue queue(q);
  size_t nextArchive = 0, nextFile = 0;
  auto fill = [&] {
    while (!queue.Full() && nextArchive < archives.size()) {
      const auto& files = archives[nextArchive].Files;
      if (nextFile < files.size()) {
        queue.Push(files[nextFile].Path, files[nextFile].Member);
        ++nextFile;
      } else {
        ++nextArchive;
        nextFile = 0;
      }
    }
  };
  for (const auto& a : archives) {
    ArchiveWriter archive(writer.BeginArchive(), options.Method, options.Key);
    for (const auto& f : a.Files) {
      fill();
      CodedFile& coded = queue.Front([&](int64_t done) {
        if (options.Progress) options.Progress(f.Member, result.Bytes + static_cast<uint64_t>(done));
      });
      uint32_t date = coded.File.DosDateTime;  // date in the high half: the order of the values is the time's
      if (options.LatestDosDateTime) date = std::min(date, *options.LatestDosDateTime);
      archive.AddCoded(coded.Data, *coded.Stored, coded.File.Size, f.Member, date, coded.File.Attributes);
      coded.File.CheckUnchanged();
      queue.Pop();
      result.Bytes += f.Size;
      ++result.Files;
      if (options.Progress) options.Progress(f.Member, result.Bytes);
    }
    archive.Finish();
    writer.EndArchive();
  }
}

}  // namespace

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
    if (options.Threads > 1) WriteInParallel(archives, options, writer, result);
    else WriteOneByOne(archives, options, writer, result);
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
  // Spill files a pack that was cut off left behind.
  for (const auto& f : plat::FindFiles(prefix + kPackageBaseName + ".$*$", plat::kAttrMaskFiles)) files.push_back(f.name);
  for (const char* extra : {"install.cfg", "install.exe"}) {
    auto found = plat::FindFiles(prefix + extra, plat::kAttrMaskFiles);
    if (found.size() == 1) files.push_back(found[0].name);
  }
  return files;
}

}  // namespace tovin
