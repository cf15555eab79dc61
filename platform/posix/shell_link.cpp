// Shell links on POSIX: real .lnk files, written and read by the project's own codec through
// the file calls of the platform layer (so the link's Windows path finds its host place
// with the usual name, case and sharing rules).
#include "platform/platform.h"
#include "platform/posix/machine.h"
#include "platform/shell_link_format.h"

namespace plat {
namespace {

constexpr uint32_t kErrorInvalidData = 13;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr int64_t kLargestLink = 1 << 20;  // far above any link; stops a stray huge file

}  // namespace

bool SaveShellLink(const ShellLink& link, const std::string& linkPath) {
  ShellLink stored = link;
  uint32_t attributes = 0;
  if (!stored.target.empty()) {
    stored.target = GetFullPathName(stored.target);  // as IShellLink::SetPath stores it
    uint32_t a = GetFileAttributes(stored.target);
    if (a != kInvalidAttributes) attributes = a;
  }
  auto bytes = EncodeShellLink(stored, attributes);
  if (!bytes) {
    posix::SetLastError(kErrorInvalidParameter);
    return false;
  }
  auto file = OpenFile(linkPath, Access::Write, Share::Exclusive, Disposition::CreateAlways);
  if (!file) return false;
  if (file->Write(bytes->data(), static_cast<int64_t>(bytes->size())) != static_cast<int64_t>(bytes->size())) {
    uint32_t error = GetLastError();
    file.reset();
    DeleteFile(linkPath);  // no half link left behind
    posix::SetLastError(error);
    return false;
  }
  return true;
}

std::optional<ShellLink> LoadShellLink(const std::string& linkPath) {
  auto file = OpenFile(linkPath, Access::Read, Share::DenyWrite, Disposition::OpenExisting);
  if (!file) return std::nullopt;
  int64_t size = file->Size();
  if (size < 0 || size > kLargestLink) {
    posix::SetLastError(kErrorInvalidData);
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  int64_t got = file->Read(bytes.data(), size);
  if (got != size) {
    if (got >= 0) posix::SetLastError(kErrorInvalidData);  // a read error has set its own
    return std::nullopt;
  }
  auto link = DecodeShellLink(bytes);
  if (!link) posix::SetLastError(kErrorInvalidData);
  return link;
}

}  // namespace plat
