#include "platform/path_routines.h"

#include <algorithm>
#include <vector>

#include "platform/error_codes.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace tovin {
namespace {

// The copy reads through a buffer of at least 8192 bytes, as large as the file up to a limit:
// a small file then takes one read (a short one ends the copy), a large one few calls.
constexpr int64_t kCopyBufferMin = 8192, kCopyBufferMax = int64_t{1} << 20;

}  // namespace

bool PathIsDirectory(const std::string& path) {
  uint32_t a = plat::GetFileAttributes(path);
  return a != plat::kInvalidAttributes && (a & plat::kAttrDirectory);
}

void CreateDirectoryPath(const std::string& dirIn) {
  if (dirIn.empty()) throw EGeneralError(kMsgUnableToCreateDirectory);
  std::string dir = dirIn;
  if (dir.back() == '\\') dir.pop_back();
  if (dir.size() < 3 || PathIsDirectory(dir)) return;
  auto cut = dir.find_last_of("\\:");
  std::string parent = cut == std::string::npos ? std::string() : dir.substr(0, cut + 1);
  if (parent == dir) return;
  if (!parent.empty()) CreateDirectoryPath(parent);
  plat::CreateDirectory(dir);
}

bool FileHasAttributes(const std::string& path, uint16_t mask) {
  return (plat::GetFileAttributes(path) & mask) == mask;
}

void CopyFileInto(const std::string& source, const std::string& destination) {
  std::string dest = plat::GetFullPathName(destination);
  std::string target = dest;
  if (FileHasAttributes(dest, plat::kAttrDirectory)) {
    std::string name = source.substr(source.find_last_of("\\/:") + 1);
    target = dest + (dest.back() == '\\' ? "" : "\\") + name;
  }
  CopyFileAs(source, target);
}

void CopyFileAs(const std::string& source, const std::string& target) {
  auto in = plat::OpenFile(source, plat::Access::Read, plat::Share::DenyWrite,
                           plat::Disposition::OpenExisting);
  if (!in) throw EFOpenError(Format(kMsgCannotOpenFile, source));
  const int64_t size = std::max<int64_t>(in->Size(), 0);
  const int64_t bufferSize = std::clamp(size + 1, kCopyBufferMin, kCopyBufferMax);
  std::vector<char> buffer(static_cast<size_t>(bufferSize));
  // Refused before a byte is written when it cannot fit; the file it replaces frees its room.
  if (auto free = plat::GetDiskFreeSpace(target.substr(0, target.find_last_of('\\') + 1))) {
    // The file it replaces is looked for only when the free room alone is too small.
    uint64_t room = *free;
    if (static_cast<uint64_t>(size) > room) {
      auto found = plat::FindFiles(target, plat::kAttrMaskFiles);
      if (found.size() == 1) room += found[0].size;
    }
    if (static_cast<uint64_t>(size) > room)
      throw EInOutError(plat::SystemErrorMessage(plat::kErrorDiskFull));
  }
  auto out = plat::OpenFile(target, plat::Access::Write, plat::Share::Exclusive,
                            plat::Disposition::CreateAlways);
  if (!out) throw EFCreateError(Format(kMsgCannotCreateFile, target));
  try {
    int64_t n;
    do {
      n = in->Read(buffer.data(), bufferSize);
      if (n < 0) throw EReadError(kMsgStreamReadError);
      if (n > 0 && out->Write(buffer.data(), n) != n) throw EWriteError(kMsgStreamWriteError);
    } while (n == bufferSize);
  } catch (const Exception&) {
    // A partial copy looks like the file and is not.
    out.reset();
    plat::DeleteFile(target);
    throw;
  }
}

}  // namespace tovin
