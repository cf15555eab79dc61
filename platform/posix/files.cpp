// File-system calls of the platform layer on POSIX.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/directory_path.h"
#include "platform/error_codes.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "platform/posix/machine.h"

namespace plat {
namespace {

using posix::ErrorFromErrno;
using posix::Resolve;
using posix::ResolveForWriting;
using posix::SetLastError;

constexpr const char* kDosAttrib = "user.DOSATTRIB";
constexpr uint32_t kStoredBits = kAttrHidden | kAttrSystem | kAttrArchive;

// Hidden, system and archive bits from the extended attribute; nullopt when none is stored.
std::optional<uint32_t> StoredBits(const std::string& host) {
  char buf[32];
  ssize_t n = ::getxattr(host.c_str(), kDosAttrib, buf, sizeof buf - 1);
  if (n <= 0) return std::nullopt;
  buf[n] = 0;
  return static_cast<uint32_t>(std::strtoul(buf, nullptr, 0)) & kStoredBits;
}

void StoreBits(const std::string& host, uint32_t bits) {
  char buf[32];
  int n = std::snprintf(buf, sizeof buf, "0x%x", bits & kStoredBits);
  ::lsetxattr(host.c_str(), kDosAttrib, buf, static_cast<size_t>(n), 0);  // no xattrs: bits are lost
}

uint32_t AttributesOf(const std::string& host, mode_t mode) {
  bool dir = S_ISDIR(mode);
  uint32_t a = StoredBits(host).value_or(dir ? 0u : static_cast<uint32_t>(kAttrArchive));
  if (dir) a |= kAttrDirectory;
  if (!(mode & S_IWUSR)) a |= kAttrReadOnly;
  return a == 0 ? kAttrNormal : a;
}

// The host side of a Windows path; error code set on failure.
std::optional<posix::Resolved> Lookup(const std::string& path) {
  auto r = Resolve(path);
  if (!r.valid) {
    SetLastError(kErrorInvalidName);
    return std::nullopt;
  }
  return r;
}

std::optional<std::string> HostFor(const std::string& path) {
  auto r = Lookup(path);
  if (!r) return std::nullopt;
  return r->host;
}

bool ParentExists(const std::string& host) {
  auto slash = host.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  struct stat st;
  return ::stat(host.substr(0, slash).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The st_mode of a looked-up path, following a link; nullopt with the error code set when it
// is missing.
std::optional<mode_t> ModeOf(const posix::Resolved& r) {
  if (r.mode != 0) return r.mode;  // seen by the lookup and no link: a second look gives the same
  struct stat st;
  if (!r.missingInFolder && ::stat(r.host.c_str(), &st) == 0) return st.st_mode;
  SetLastError(r.missingInFolder || ParentExists(r.host) ? kErrorFileNotFound : kErrorPathNotFound);
  return std::nullopt;
}

bool IsReadOnly(mode_t mode) { return !(mode & S_IWUSR); }

bool WildcardMatch(const char* p, const char* s) {
  for (; *p; ++p) {
    if (*p == '*') {
      while (p[1] == '*') ++p;
      if (!p[1]) return true;
      for (const char* t = s; *t; ++t)
        if (WildcardMatch(p + 1, t)) return true;
      return WildcardMatch(p + 1, s + std::strlen(s));
    }
    if (!*s) return false;
    if (*p != '?' && std::tolower(static_cast<unsigned char>(*p)) !=
                         std::tolower(static_cast<unsigned char>(*s)))
      return false;
    ++s;
  }
  return !*s;
}

// DOS wildcards: a trailing ".*" also matches names without an extension, so "*.*" is all.
bool PatternMatches(const std::string& pattern, const std::string& name) {
  if (WildcardMatch(pattern.c_str(), name.c_str())) return true;
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos)
    return WildcardMatch(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
  return false;
}

class PosixFile final : public File {
 public:
  PosixFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
  ~PosixFile() override { ::close(fd_); }
  int64_t Read(void* buffer, int64_t count) override {
    int64_t total = 0;
    while (total < count) {
      ssize_t n = ::read(fd_, static_cast<char*>(buffer) + total, static_cast<size_t>(count - total));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return total ? total : (SetLastError(ErrorFromErrno(errno)), -1);
      if (n == 0) break;
      total += n;
    }
    return total;
  }
  int64_t Write(const void* buffer, int64_t count) override {
    int64_t total = 0;
    while (total < count) {
      ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + total, static_cast<size_t>(count - total));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        SetLastError(ErrorFromErrno(n < 0 ? errno : ENOSPC));
        return total ? total : -1;
      }
      total += n;
    }
    return total;
  }
  int64_t Seek(int64_t offset, int origin) override {
    int whence = origin == kSeekBegin ? SEEK_SET : origin == kSeekCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (r < 0) SetLastError(ErrorFromErrno(errno));
    return r;
  }
  int64_t Size() override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? st.st_size : -1;
  }
  bool SetDosDateTime(uint32_t dos) override {
    if (!writable_) {  // a reader may have come through a link; Windows also wants write access
      SetLastError(kErrorAccessDenied);
      return false;
    }
    auto t = posix::DosToUnix(dos);
    if (!t) {
      SetLastError(kErrorInvalidParameter);
      return false;
    }
    struct timespec times[2];
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(*t);
    times[1].tv_nsec = 0;
    if (::futimens(fd_, times) == 0) return true;
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  bool Flush() override {
    if (::fsync(fd_) == 0) return true;
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  uint32_t GetDosDateTime() override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? posix::UnixToDos(st.st_mtime) : 0;
  }

 private:
  int fd_;
  bool writable_;
};

}  // namespace

uint32_t GetFileAttributes(const std::string& path) {
  auto r = Lookup(path);
  if (!r) return kInvalidAttributes;
  auto mode = ModeOf(*r);
  if (!mode) return kInvalidAttributes;
  return AttributesOf(r->host, *mode);
}

bool SetFileAttributes(const std::string& path, uint32_t attributes) {
  auto place = ResolveForWriting(path);
  if (!place) return false;
  if (!place->Exists()) {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  mode_t was = place->Mode() & 07777;
  mode_t mode = (attributes & kAttrReadOnly) ? (was & ~0222) : (was | S_IWUSR);
  if (mode != was && ::fchmodat(place->Folder(), place->Name().c_str(), mode, 0) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  StoreBits(place->Host(), attributes == kAttrNormal ? 0 : attributes);
  return true;
}

bool CreateDirectory(const std::string& path) {
  auto place = ResolveForWriting(path);
  if (!place) return false;
  if (::mkdirat(place->Folder(), place->Name().c_str(), 0777) != 0) {
    SetLastError(errno == ENOENT ? kErrorPathNotFound : ErrorFromErrno(errno));
    return false;
  }
  return true;
}

bool CreateDirectoryPath(const std::string& path) {
  auto place = ResolveForWriting(path, true);
  if (!place) return false;
  if (::mkdirat(place->Folder(), place->Name().c_str(), 0777) == 0) return true;
  int err = errno;
  struct stat st;
  if (::fstatat(place->Folder(), place->Name().c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    SetLastError(kErrorAlreadyExists);
    return false;
  }
  SetLastError(err == ENOENT ? kErrorPathNotFound : ErrorFromErrno(err));
  return false;
}

bool RemoveDirectory(const std::string& path) {
  auto place = ResolveForWriting(path);
  if (!place) return false;
  if (::unlinkat(place->Folder(), place->Name().c_str(), AT_REMOVEDIR) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  return true;
}

bool DeleteFile(const std::string& path) {
  auto place = ResolveForWriting(path);
  if (!place) return false;
  int folder = place->Folder();
  const char* name = place->Name().c_str();
  if (!place->Exists()) {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  if (S_ISDIR(place->Mode()) || IsReadOnly(place->Mode())) {
    SetLastError(kErrorAccessDenied);
    return false;
  }
  // A file someone holds open with a share lock cannot be deleted, as on Windows. Only a
  // regular file is opened to ask: opening a device may already do something.
  int fd = S_ISREG(place->Mode()) ? ::openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC) : -1;
  if (fd >= 0) {
    bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    if (busy) {
      SetLastError(kErrorSharingViolation);
      return false;
    }
  }
  if (::unlinkat(folder, name, 0) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  return true;
}

bool MoveFileReplace(const std::string& from, const std::string& to) {
  auto a = ResolveForWriting(from);
  if (!a) return false;
  auto b = ResolveForWriting(to);
  if (!b) return false;
  // A file or folder moves; nothing is put in place of a device or fifo (Windows has none).
  bool movable = a->Exists() && (S_ISREG(a->Mode()) || S_ISDIR(a->Mode()));
  if ((a->Exists() && !movable) || (b->Exists() && !S_ISREG(b->Mode()) && !S_ISDIR(b->Mode()))) {
    SetLastError(kErrorAccessDenied);
    return false;
  }
  if (::renameat(a->Folder(), a->Name().c_str(), b->Folder(), b->Name().c_str()) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  return true;
}

std::optional<uint64_t> GetDiskFreeSpace(const std::string& root) {
  std::string drive = root.empty() ? GetCurrentDirectory().substr(0, 3) : root;
  auto host = HostFor(drive);
  struct statvfs vfs;
  if (!host || ::statvfs(host->c_str(), &vfs) != 0) {
    if (host) SetLastError(ErrorFromErrno(errno));
    return std::nullopt;
  }
  return static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
}

std::vector<FindData> FindFiles(const std::string& pattern, uint32_t mask) {
  std::vector<FindData> found;
  std::string full = posix::NormalizePath(pattern);
  auto cut = full.rfind('\\');
  std::string dir = full.substr(0, cut + 1), name = full.substr(cut + 1);
  // A wildcard pattern is matched as written: "*." (names without an extension) keeps its dot.
  std::string written = pattern.substr(pattern.find_last_of("\\/:") + 1);
  if (written.find_first_of("*?") != std::string::npos) name = written;
  if (name.empty()) name.push_back('*');
  uint32_t exclude = ~mask & (kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory);
  auto add = [&](const std::string& n, const std::string& h) {
    struct stat st, lst;
    if (::lstat(h.c_str(), &lst) != 0) return;
    bool link = S_ISLNK(lst.st_mode);
    FindData fd;
    fd.name = n;
    if (!link) st = lst;  // a second look, following links, would see the same
    else if (::stat(h.c_str(), &st) != 0) {
      fd.attributes = kAttrReparsePoint;  // a dangling link: listed, so callers can report it
      found.push_back(fd);
      return;
    }
    fd.attributes = AttributesOf(h, st.st_mode);
    if (link) fd.attributes = (fd.attributes & ~kAttrNormal) | kAttrReparsePoint;
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) fd.attributes = (fd.attributes & ~kAttrNormal) | kAttrDevice;
    if (fd.attributes & exclude) return;
    fd.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    fd.dosDateTime = posix::UnixToDos(st.st_mtime);
    found.push_back(fd);
  };
  // A name without wildcards is looked up, not searched for: reading the folder for every
  // such call would make work over a folder's files grow with its square.
  if (name.find_first_of("*?") == std::string::npos && name != "." && name != "..") {
    auto r = posix::Resolve(full);
    if (r.valid && !r.missingInFolder) add(r.host.substr(r.host.rfind('/') + 1), r.host);
    else if (!r.valid && !HostFor(dir)) return found;  // the folder's own name is what is wrong
    if (found.empty()) SetLastError(kErrorFileNotFound);
    return found;
  }
  auto host = HostFor(dir);
  if (!host) return found;
  DIR* d = ::opendir(host->c_str());
  if (!d) {
    SetLastError(ErrorFromErrno(errno));
    return found;
  }
  bool isRoot = dir.size() == 3;
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (isRoot && (n == "." || n == "..")) continue;
    names.push_back(n);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    if (a == "." || b == "." ) return a == "." && b != ".";
    if (a == ".." || b == "..") return a == ".." && b != "..";
    return ::strcasecmp(a.c_str(), b.c_str()) < 0;
  });
  for (const auto& n : names)
    if (PatternMatches(name, n)) add(n, *host + (host->back() == '/' ? "" : "/") + n);
  if (found.empty()) SetLastError(kErrorFileNotFound);
  return found;
}

// Readers follow links (packages and sources may be reached through them); anything that
// may write opens every component without following one.
std::unique_ptr<File> OpenFile(const std::string& path, Access access, Share share,
                               Disposition disposition) {
  bool reading = access == Access::Read && disposition == Disposition::OpenExisting;
  std::optional<std::string> host;
  std::optional<posix::WritePlace> place;
  int folder = AT_FDCWD;
  mode_t mode = 0;
  bool exists;
  if (reading) {
    auto r = Lookup(path);
    if (!r) return nullptr;
    host = r->host;
    auto found = ModeOf(*r);
    if (!found) return nullptr;
    exists = true;
    mode = *found;
  } else {
    place = ResolveForWriting(path);
    if (!place) return nullptr;
    host = place->Host();
    folder = place->Folder();
    exists = place->Exists();
    mode = place->Mode();
    if (!exists && disposition == Disposition::OpenExisting) {
      SetLastError(kErrorFileNotFound);
      return nullptr;
    }
    if (exists && disposition == Disposition::CreateNew) {
      SetLastError(kErrorFileExists);
      return nullptr;
    }
  }
  if (exists) {
    // Only regular files: a fifo would block the open, a device would be written into. The
    // stored bits are read only where they decide something.
    if (!S_ISREG(mode) || (access != Access::Read && IsReadOnly(mode)) ||
        (disposition == Disposition::CreateAlways &&
         (AttributesOf(*host, mode) & (kAttrHidden | kAttrSystem)) != 0)) {
      SetLastError(kErrorAccessDenied);
      return nullptr;
    }
  }
  int flags = O_CLOEXEC | (access == Access::Read ? O_RDONLY : access == Access::Write ? O_WRONLY : O_RDWR);
  if (disposition == Disposition::CreateAlways) flags |= O_CREAT;
  if (disposition == Disposition::CreateNew) flags |= O_CREAT | O_EXCL;
  if (!reading) flags |= O_NOFOLLOW;
  // Not blocking, should a fifo have been put in place since the lookup; checked below.
  int fd = ::openat(folder, reading ? host->c_str() : place->Name().c_str(), flags | O_NONBLOCK | O_NOCTTY, 0666);
  if (fd < 0) {
    // A link put in place since the lookup.
    SetLastError(errno == ELOOP ? kErrorStoppedOnSymlink : errno == EEXIST ? kErrorFileExists : ErrorFromErrno(errno));
    return nullptr;
  }
  struct stat opened;
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    ::close(fd);
    SetLastError(kErrorAccessDenied);
    return nullptr;
  }
  // O_NONBLOCK stays set: it means nothing to the reads and writes of a regular file.
  // Share modes as advisory locks: writers and exclusive openers lock exclusively, readers
  // that deny writing lock shared.
  int lock = (share == Share::Exclusive || access != Access::Read) ? LOCK_EX
             : share == Share::DenyWrite                          ? LOCK_SH
                                                                  : 0;
  if (lock && ::flock(fd, lock | LOCK_NB) != 0) {
    ::close(fd);
    SetLastError(kErrorSharingViolation);
    return nullptr;
  }
  // An empty file, a new one above all, is left alone: truncating it changes nothing but
  // makes some file systems write it out on close.
  if (disposition == Disposition::CreateAlways && opened.st_size > 0 && ::ftruncate(fd, 0) != 0) {
    SetLastError(ErrorFromErrno(errno));
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFile>(fd, access != Access::Read);
}

std::string SystemErrorMessage(uint32_t code) {
  for (const auto& e : kErrorTexts)
    if (e.code == code) return e.text;
  return tovin::Format(kMsgSystemError, code);
}

}  // namespace plat
