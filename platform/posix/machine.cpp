#include "platform/posix/machine.h"

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#if defined(SYS_openat2) && __has_include(<linux/openat2.h>)
#include <linux/openat2.h>
#define TOVIN_OPENAT2 1
#endif

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>

#include "platform/exception.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "platform/posix/name_cache.h"
#include "platform/scope_guard.h"
#include "platform/windows_names.h"

namespace plat::posix {
namespace {

std::string g_root;
std::string g_currentDir = "C:\\";
std::function<void(const std::string&)> g_notice;
std::vector<uint32_t> g_exitRequests;
thread_local uint32_t t_lastError = 0;
bool g_sandbox = false, g_launch = false;
int g_machineLock = -1;  // R/machine.lock while this process holds the machine

// The file that marks a folder as a machine tovin made, and the run lock beside it.
constexpr const char* kMarkerName = ".tovin-machine";
constexpr const char* kMarkerText = "An emulated Windows machine of tovin: drive C: is drive_c, the registry is in registry.\n";
constexpr const char* kLockName = "machine.lock";
constexpr const char* kChangeLockName = "registry.lock";

#ifdef O_PATH
constexpr int kOpenFolder = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// The drive folder the last write lookup opened, kept open for the next: nearly every write of
// a run goes to the same drive, and opening its folder (a walk of the root's whole host path)
// cost two calls each time. A new root forgets it; a lookup below it that fails opens the
// folder afresh the next time, in case it was replaced.
class DriveFolderCache {
 public:
  ~DriveFolderCache() { Forget(); }
  // open(folder of host) for the call, under the lock, so no other thread closes it meanwhile;
  // -1 from open, or no folder, drops it.
  template <class Open>
  int OpenBelow(const std::string& host, Open open) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0 || host != host_) {
      ForgetLocked();
      fd_ = ::open(host.c_str(), kOpenFolder);
      if (fd_ < 0) return -1;
      host_ = host;
    }
    int fd = open(fd_);
    if (fd < 0) ForgetLocked();
    return fd;
  }
  void Forget() {
    std::lock_guard<std::mutex> lock(mutex_);
    ForgetLocked();
  }

 private:
  void ForgetLocked() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    host_.clear();
  }
  std::mutex mutex_;
  std::string host_;
  int fd_ = -1;
};

DriveFolderCache g_driveFolder;

// Removes a folder tree without following links. Folders the emulated machine made read-only
// get their owner's rights back first, or their entries could not be removed.
void RemoveTree(const std::string& host) {
  namespace fs = std::filesystem;
  std::error_code walk, ignored;
  fs::permissions(host, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (fs::recursive_directory_iterator it(host, walk), end; !walk && it != end; it.increment(walk))
    if (it->symlink_status(ignored).type() == fs::file_type::directory)
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(host, ignored);
}

// The root this process made for itself. A process forked from this one inherits the object
// but not the folder: only the maker removes it.
class TemporaryRoot {
 public:
  ~TemporaryRoot() { Release(); }
  void Own(const std::string& host) {
    Release();
    host_ = host;
    owner_ = ::getpid();
  }
  void Release() {
    if (!host_.empty() && owner_ == ::getpid()) RemoveTree(host_);
    host_.clear();
  }
  // A root at or below the temporary one still needs it.
  bool Holds(const std::string& root) const {
    return !host_.empty() && root.compare(0, host_.size(), host_) == 0 &&
           (root.size() == host_.size() || root[host_.size()] == '/');
  }

 private:
  std::string host_;
  pid_t owner_ = 0;
};

// Declared after g_root, so destroyed before it: the folder goes when the process exits.
TemporaryRoot g_temporary;

[[noreturn]] void RootError(const std::string& root, const std::string& why) {
  throw tovin::EMachineRootError("machine root " + root + ": " + why);
}

void ReleaseMachineLock() {
  if (g_machineLock >= 0) ::close(g_machineLock);
  g_machineLock = -1;
}

// name in folder, made when missing and opened as a folder; a link there is followed only when
// follow is set. -1 with errno set (ELOOP for a link).
int MakeFolderIn(int folder, const char* name, bool follow) {
  if (::mkdirat(folder, name, 0777) != 0 && errno != EEXIST) return -1;
  struct stat st;
  if (!follow && ::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
    errno = ELOOP;
    return -1;
  }
  return ::openat(folder, name, kOpenFolder | (follow ? 0 : O_NOFOLLOW));
}

// Makes the machine's folders in root and makes it the current machine. drive_c may be
// reached through a link, as any drive's folder may (a drive mapped elsewhere); nothing below
// it is followed, so a link planted as drive_c/WINDOWS cannot have folders made elsewhere.
void AdoptRoot(const std::string& root, const std::string& named) {
  int top = ::open(root.c_str(), kOpenFolder);
  if (top < 0) RootError(named, std::string("cannot open it (") + std::strerror(errno) + ")");
  tovin::ScopeGuard closeTop([top] { ::close(top); });
  int drive = MakeFolderIn(top, "drive_c", true);
  if (drive < 0) RootError(named, std::string("cannot make drive_c in it (") + std::strerror(errno) + ")");
  tovin::ScopeGuard closeDrive([drive] { ::close(drive); });
  for (const std::string sub : {"WINDOWS/System", "WINDOWS/Temp", "WINDOWS/Start Menu/Programs", "WINDOWS/Desktop"}) {
    std::string done = "drive_c";
    int folder = drive;
    for (size_t start = 0; start <= sub.size();) {
      size_t slash = std::min(sub.find('/', start), sub.size());
      std::string part = sub.substr(start, slash - start);
      done += "/" + part;
      int next = MakeFolderIn(folder, part.c_str(), false);
      int err = errno;
      if (folder != drive) ::close(folder);
      if (next < 0)
        RootError(named, err == ELOOP ? done + " in it is a link; the machine's own folders are never followed"
                                      : "cannot make " + done + " in it (" + std::strerror(err) + ")");
      folder = next;
      start = slash + 1;
    }
    ::close(folder);
  }
  // A marker, so that a later run knows this folder holds a machine; without it the folder's
  // own contents still say so.
  int marker = ::openat(top, kMarkerName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (marker >= 0) {
    ssize_t written = ::write(marker, kMarkerText, std::strlen(kMarkerText));
    (void)written;
    ::close(marker);
  }
  ReleaseMachineLock();
  g_driveFolder.Forget();
  g_root = root;
  g_currentDir = "C:\\";
  g_exitRequests.clear();
}

// Why an existing folder cannot hold the machine; empty when it is empty or holds a machine
// (marked, or made before the marker was: nothing in it but a machine's own files).
std::string WhyNoMachine(const std::string& root) {
  DIR* d = ::opendir(root.c_str());
  if (!d) return std::string("cannot read it (") + std::strerror(errno) + ")";
  bool marked = false;
  std::string foreign;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    bool drive = n.size() == 7 && n.compare(0, 6, "drive_") == 0 && n[6] >= 'a' && n[6] <= 'y';
    marked = marked || n == kMarkerName;
    if (!drive && n != kMarkerName && n != kLockName && n != kChangeLockName && n != "registry" &&
        n != "exitwindows.log" && foreign.empty())
      foreign = n;
  }
  ::closedir(d);
  if (marked || foreign.empty()) return "";
  return "it holds " + foreign +
         " and is no emulated machine; name an empty or new folder, or one that holds a machine";
}

// A name Windows cannot hold. The machine's drives also refuse device names: Win32 would
// reach the device, and the emulation has none. Z: is the host's, where they are ordinary.
bool Forbidden(const std::string& component, bool onDrive) {
  for (unsigned char c : component)
    if (c < 32 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos)
      return true;
  return onDrive && plat::IsWindowsDeviceName(component);
}

std::vector<std::string> SplitComponents(const std::string& rest) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t sep = rest.find('\\', start);
    if (sep == std::string::npos) sep = rest.size();
    parts.push_back(rest.substr(start, sep - start));
    start = sep + 1;
  }
  return parts;
}

}  // namespace

WritePlace::WritePlace(WritePlace&& other) noexcept
    : folder_(other.folder_), name_(std::move(other.name_)), host_(std::move(other.host_)),
      exists_(other.exists_), mode_(other.mode_) {
  other.folder_ = -1;
}

WritePlace& WritePlace::operator=(WritePlace&& other) noexcept {
  if (this != &other) {
    if (folder_ >= 0) ::close(folder_);
    folder_ = other.folder_;
    name_ = std::move(other.name_);
    host_ = std::move(other.host_);
    exists_ = other.exists_;
    mode_ = other.mode_;
    other.folder_ = -1;
  }
  return *this;
}

WritePlace::~WritePlace() {
  if (folder_ >= 0) ::close(folder_);
}

namespace {

// Looks name up in folder without following a link: the exact name first, then one that
// differs in letter case (name then holds it). Whether it exists; st is its own status.
bool LookUpIn(int folder, std::string& name, struct stat& st) {
  if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return true;
  auto variant = FindCaseVariant(folder, name);
  if (!variant) return false;
  name = *variant;
  return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// The last component looked up in the folder that holds it (owned from here on).
std::optional<WritePlace> PlaceIn(int folder, std::string name, const std::string& folderHost) {
  tovin::ScopeGuard closeFolder([folder] { ::close(folder); });
  struct stat st;
  bool exists = LookUpIn(folder, name, st);
  if (exists && S_ISLNK(st.st_mode)) {
    SetLastError(kErrorStoppedOnSymlink);
    return std::nullopt;
  }
  closeFolder.Dismiss();
  return WritePlace(folder, name, folderHost + "/" + name, exists, exists ? st.st_mode : 0);
}

// Every component is opened from the one above it without following a link, so a link
// planted in a target folder can neither be written through nor picked by the lookup
// without letter case. drive is the drive's folder, owned from here on.
std::optional<WritePlace> Walk(int drive, std::string host, const std::vector<std::string>& parts,
                               bool makeFolders) {
  int folder = drive;
  tovin::ScopeGuard closeFolder([&folder] { ::close(folder); });
  if (parts.empty()) {
    struct stat st;
    bool exists = ::fstat(folder, &st) == 0;
    closeFolder.Dismiss();
    return WritePlace(folder, ".", host.empty() ? "/" : host, exists, exists ? st.st_mode : 0);
  }
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    std::string name = parts[i];
    struct stat st;
    bool exists = LookUpIn(folder, name, st);
    host += "/" + name;
    if (makeFolders && !exists) {
      if (::mkdirat(folder, name.c_str(), 0777) == 0) {
        exists = true;  // made just now: a folder; the open below refuses anything put in its place
        st.st_mode = S_IFDIR;
      } else if (errno != EEXIST) {
        SetLastError(ErrorFromErrno(errno));
        return std::nullopt;
      } else {
        exists = ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
      }
    }
    if (exists && S_ISLNK(st.st_mode)) {
      SetLastError(kErrorStoppedOnSymlink);
      return std::nullopt;
    }
    if (!exists || !S_ISDIR(st.st_mode)) {
      SetLastError(makeFolders && exists ? kErrorAlreadyExists : kErrorPathNotFound);
      return std::nullopt;
    }
    int next = ::openat(folder, name.c_str(), kOpenFolder | O_NOFOLLOW);
    if (next < 0) {  // replaced since it was looked at
      SetLastError(errno == ELOOP || errno == ENOTDIR ? kErrorStoppedOnSymlink : ErrorFromErrno(errno));
      return std::nullopt;
    }
    ::close(folder);
    folder = next;
  }
  closeFolder.Dismiss();
  return PlaceIn(folder, parts.back(), host);
}

#ifdef TOVIN_OPENAT2
std::atomic<bool> g_noOpenat2{false};

// The folder that holds the last component, opened in one call below base (a folder, or
// AT_FDCWD for an absolute path) when every folder on the way exists exactly as spelled and
// none is a link; -1 otherwise, and the caller walks.
int OpenParentAtOnce(int base, const std::string& parentPath) {
  struct open_how how {};
  how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
  // No ".." is left in a normalised path: beneath only makes sure of it.
  how.resolve = RESOLVE_NO_SYMLINKS | (base == AT_FDCWD ? 0 : RESOLVE_BENEATH);
  long fd = ::syscall(SYS_openat2, base, parentPath.c_str(), &how, sizeof how);
  if (fd < 0 && errno == ENOSYS) g_noOpenat2.store(true, std::memory_order_relaxed);
  return static_cast<int>(fd);
}
#endif

}  // namespace

std::optional<WritePlace> ResolveForWriting(const std::string& path, bool makeFolders) {
  std::string full = NormalizePath(path);
  char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(full[0])));
  if (drive == 'z' && g_sandbox) {  // the host is a write-protected disk to a package
    SetLastError(kErrorWriteProtect);
    return std::nullopt;
  }
  std::string host = drive == 'z' ? std::string() : MachineRoot() + "/drive_" + std::string(1, drive);
  std::vector<std::string> parts;
  for (auto& part : SplitComponents(full.substr(3))) {
    if (part.empty()) continue;
    if (Forbidden(part, drive != 'z')) {
      SetLastError(kErrorInvalidName);
      return std::nullopt;
    }
    parts.push_back(part);
  }
  // The drive's own folder may be reached through links: the user chose it.
  int folder = -1;
  auto openDrive = [&] {
    folder = ::open(host.empty() ? "/" : host.c_str(), kOpenFolder);
    if (folder < 0) SetLastError(kErrorPathNotFound);
    return folder >= 0;
  };
#ifdef TOVIN_OPENAT2
  // Most paths exist as spelled down to the last component's folder: one call opens it with
  // the kernel refusing any link on the way, where the walk costs three calls a component.
  // Anything else (a letter case to find, a folder to make, a link, no openat2) is walked.
  if (parts.size() >= 2 && !g_noOpenat2.load(std::memory_order_relaxed)) {
    std::string parent;  // below the drive's folder
    for (size_t i = 0; i + 1 < parts.size(); ++i) parent += (i ? "/" : "") + parts[i];
    int found;
    if (host.empty()) {  // Z: is "/": no folder to open first
      found = OpenParentAtOnce(AT_FDCWD, "/" + parent);
    } else {
      found = g_driveFolder.OpenBelow(host, [&parent](int driveFolder) { return OpenParentAtOnce(driveFolder, parent); });
    }
    if (found >= 0) return PlaceIn(found, parts.back(), host + "/" + parent);
  }
#endif
  if (folder < 0 && !openDrive()) return std::nullopt;
  return Walk(folder, host, parts, makeFolders);
}

const std::string& MachineRoot() {
  if (g_root.empty()) UseTemporaryRoot();
  return g_root;
}

void UseTemporaryRoot() {
  const char* tmp = std::getenv("TMPDIR");
  std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/tovin-machine-XXXXXX";
  if (!::mkdtemp(name.data())) RootError(name, std::string("cannot make it (") + std::strerror(errno) + ")");
  try {
    AdoptRoot(name, name);
  } catch (...) {
    RemoveTree(name);
    throw;
  }
  g_temporary.Own(name);
}

bool Sandboxed() { return g_sandbox; }
bool LaunchAllowed() { return g_launch; }

int OpenMachineFolder() {
  int fd = ::open(MachineRoot().c_str(), kOpenFolder);
  if (fd < 0) SetLastError(ErrorFromErrno(errno));
  return fd;
}

int OpenOwnFolder(const std::string& name, bool make) {
  int top = OpenMachineFolder();
  if (top < 0) return -1;
  if (make && ::mkdirat(top, name.c_str(), 0777) != 0 && errno != EEXIST) {
    SetLastError(ErrorFromErrno(errno));
    ::close(top);
    return -1;
  }
  int fd = ::openat(top, name.c_str(), kOpenFolder | O_NOFOLLOW);
  int err = errno;
  ::close(top);
  if (fd < 0) SetLastError(err == ELOOP || err == ENOTDIR ? kErrorStoppedOnSymlink : ErrorFromErrno(err));
  return fd;
}

int OpenOwnFile(int folder, const std::string& name, int flags) {
  struct stat st;
  if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode)) {
    SetLastError(S_ISLNK(st.st_mode) ? kErrorStoppedOnSymlink : kErrorAccessDenied);
    return -1;
  }
  int fd = ::openat(folder, name.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) {
    SetLastError(errno == ELOOP ? kErrorStoppedOnSymlink : ErrorFromErrno(errno));
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {  // put in place since it was looked at
    ::close(fd);
    SetLastError(kErrorAccessDenied);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

ChangeLock::ChangeLock() {
  int top = OpenMachineFolder();
  if (top < 0) return;
  fd_ = OpenOwnFile(top, kChangeLockName, O_RDWR | O_CREAT);
  ::close(top);
  if (fd_ < 0) return;
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    SetLastError(ErrorFromErrno(errno));
    ::close(fd_);
    fd_ = -1;
    return;
  }
}

ChangeLock::~ChangeLock() {
  if (fd_ >= 0) ::close(fd_);
}

void SetNoticeSink(std::function<void(const std::string&)> sink) { g_notice = std::move(sink); }

void Notice(const std::string& text) {
  if (g_notice) g_notice(text);
  else std::fprintf(stderr, "tovin: %s\n", text.c_str());
}

std::vector<uint32_t>& ExitRequestLog() { return g_exitRequests; }
std::vector<uint32_t> ExitRequests() { return g_exitRequests; }

uint32_t ErrorFromErrno(int err) {
  switch (err) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES: case EPERM: case EROFS: case EISDIR: return kErrorAccessDenied;
    case EEXIST: return kErrorAlreadyExists;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case ENOSPC: return kErrorDiskFull;
    case EWOULDBLOCK: return kErrorSharingViolation;
    case ENAMETOOLONG: return kErrorFilenameTooLong;
    default: return kErrorGenFailure;
  }
}

std::string NormalizePath(const std::string& input) {
  std::string path = input;
  for (auto& c : path) if (c == '/') c = '\\';
  std::string cur = g_currentDir;  // always "X:\..." without trailing backslash unless root
  char drive = cur[0];
  std::string rest;
  bool trailing = path.size() > 1 && path.back() == '\\';
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    char d = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    std::string tail = path.substr(2);
    if (!tail.empty() && tail[0] == '\\') rest = tail;
    else if (d == drive) rest = cur.substr(2) + "\\" + tail;
    else rest = "\\" + tail;
    drive = d;
  } else if (!path.empty() && path[0] == '\\') {
    rest = path;
  } else {
    rest = cur.substr(2) + "\\" + path;
  }
  std::vector<std::string> out;
  for (auto& part : SplitComponents(rest)) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!out.empty()) out.pop_back();
      continue;
    }
    // Win32 drops a trailing dot or blank, so no name on Windows ends in one: "Dot." is "Dot".
    if (drive != 'Z') {
      while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
      if (part.empty()) continue;
    }
    out.push_back(part);
  }
  std::string result(1, drive);
  result += ":\\";
  for (size_t i = 0; i < out.size(); ++i) result += (i ? "\\" : "") + out[i];
  if (trailing && !out.empty()) result += "\\";
  return result;
}

Resolved Resolve(const std::string& path) {
  Resolved r;
  std::string full = NormalizePath(path);
  char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(full[0])));
  std::string host = drive == 'z' ? std::string() : MachineRoot() + "/drive_" + std::string(1, drive);
  std::vector<std::string> parts;
  std::string exact = host;
  for (auto& part : SplitComponents(full.substr(3))) {
    if (part.empty()) continue;
    if (Forbidden(part, drive != 'z')) return r;
    exact += "/" + part;
    parts.push_back(part);
  }
  r.valid = true;
  // Most paths exist as spelled: one call settles them.
  struct stat st;
  if (parts.empty() || ::lstat(exact.c_str(), &st) == 0) {
    r.host = exact.empty() ? "/" : exact;
    if (!parts.empty() && !S_ISLNK(st.st_mode)) r.mode = st.st_mode;
    return r;
  }
  // A missing last component below folders there as spelled (a file about to be made): its
  // folder opens in one call and is the only one searched for another letter case.
  if (errno == ENOENT) {
    std::string parent = exact.substr(0, exact.rfind('/'));
    int folder = ::open(parent.empty() ? "/" : parent.c_str(), kOpenFolder);
    if (folder >= 0) {
      tovin::ScopeGuard closeFolder([folder] { ::close(folder); });
      auto found = FindCaseVariant(folder, parts.back());
      r.host = found ? parent + "/" + *found : exact;
      r.missingInFolder = !found;
      return r;
    }
  }
  // Else down from the drive's folder, one component at a time and each from the folder
  // opened above it, so a deep path costs no more than its length. Links are followed.
  int folder = ::open(host.empty() ? "/" : host.c_str(), kOpenFolder);
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string name = parts[i];
    if (folder >= 0 && ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      auto found = FindCaseVariant(folder, name);
      if (found) name = *found;
      else {
        ::close(folder);
        folder = -1;  // nothing below a missing component exists
      }
    }
    if (folder >= 0 && i + 1 < parts.size()) {
      int next = ::openat(folder, name.c_str(), kOpenFolder);
      ::close(folder);
      folder = next;
    }
    host += "/" + name;
  }
  if (folder >= 0) ::close(folder);
  r.host = host;
  return r;
}

namespace {

std::optional<int64_t> DosToUnixUncached(uint32_t dos) {
  unsigned date = dos >> 16, time = dos & 0xFFFF;
  struct tm tm {};
  tm.tm_year = static_cast<int>((date >> 9) + 80);
  tm.tm_mon = static_cast<int>(((date >> 5) & 15)) - 1;
  tm.tm_mday = static_cast<int>(date & 31);
  tm.tm_hour = static_cast<int>(time >> 11);
  tm.tm_min = static_cast<int>((time >> 5) & 63);
  tm.tm_sec = static_cast<int>((time & 31) * 2);
  if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday == 0 || tm.tm_hour > 23 || tm.tm_min > 59 ||
      tm.tm_sec > 59)
    return std::nullopt;
  tm.tm_isdst = -1;
  time_t t = ::mktime(&tm);
  if (t == static_cast<time_t>(-1)) return std::nullopt;
  return static_cast<int64_t>(t);
}

}  // namespace

std::optional<int64_t> DosToUnix(uint32_t dos) {
  // mktime looks at the zone file on every call: the members of a package mostly share a few
  // date-times, so the last answer is kept (for the zone the environment names now).
  struct Answer {
    uint32_t dos;
    std::optional<std::string> zone;
    std::optional<int64_t> seconds;
  };
  thread_local std::optional<Answer> last;
  const char* tz = std::getenv("TZ");
  std::optional<std::string> zone = tz ? std::optional<std::string>(tz) : std::nullopt;
  if (!last || last->dos != dos || last->zone != zone) last = Answer{dos, zone, DosToUnixUncached(dos)};
  return last->seconds;
}

uint32_t UnixToDos(int64_t seconds) {
  time_t t = static_cast<time_t>(seconds);
  struct tm tm {};
  ::localtime_r(&t, &tm);
  if (tm.tm_year < 80) return (1u << 5 | 1u) << 16;  // 1980-01-01 00:00, the earliest DOS date
  if (tm.tm_year > 207) tm.tm_year = 207;
  uint32_t date = static_cast<uint32_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  uint32_t time = static_cast<uint32_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
  return date << 16 | time;
}

}  // namespace plat::posix

namespace plat {

void SetMachineRoot(const std::string& hostFolder) {
  if (hostFolder.empty()) throw tovin::EMachineRootError("machine root: no folder named");
  std::string root = hostFolder;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (root[0] != '/') {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd)) root = std::string(cwd) + "/" + root;
  }
  // An existing folder, or a new one right below an existing folder: a mistyped path must
  // not grow a tree of folders somewhere on the host.
  bool made = false;
  struct stat st;
  if (::stat(root.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) posix::RootError(hostFolder, "not a folder");
    char* real = ::realpath(root.c_str(), nullptr);
    bool hostRoot = real && std::string(real) == "/";
    std::free(real);
    if (hostRoot) posix::RootError(hostFolder, "the host's root folder cannot hold a machine");
    std::string why = posix::WhyNoMachine(root);
    if (!why.empty()) posix::RootError(hostFolder, why);
  } else if (errno == ENOTDIR) {
    posix::RootError(hostFolder, "its parent is not a folder");
  } else if (errno != ENOENT) {
    posix::RootError(hostFolder, std::strerror(errno));
  } else if (::mkdir(root.c_str(), 0777) != 0) {
    posix::RootError(hostFolder, errno == ENOENT ? "its parent folder does not exist"
                                 : errno == ENOTDIR ? "its parent is not a folder"
                                                    : std::string("cannot make it (") + std::strerror(errno) + ")");
  } else {
    made = true;
  }
  try {
    posix::AdoptRoot(root, hostFolder);
  } catch (...) {
    if (made) posix::RemoveTree(root);
    throw;
  }
  if (!posix::g_temporary.Holds(root)) posix::g_temporary.Release();
}

bool IsEmulated() { return true; }

void SetSandbox(bool on, bool launchPrograms) {
  posix::g_sandbox = on;
  posix::g_launch = on && launchPrograms;
}

void LockMachine() {
  const std::string& root = posix::MachineRoot();
  int top = posix::OpenMachineFolder();
  int fd = top < 0 ? -1 : posix::OpenOwnFile(top, posix::kLockName, O_RDWR | O_CREAT);
  if (top >= 0) ::close(top);
  if (fd < 0) posix::RootError(root, std::string("cannot open ") + posix::kLockName + " in it (" +
                                         SystemErrorMessage(GetLastError()) + ")");
  posix::ReleaseMachineLock();  // a second lock of this process's own would wait for the first
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    char holder[32] = {};
    ssize_t n = ::pread(fd, holder, sizeof holder - 1, 0);
    std::string pid = n > 0 ? std::string(holder, static_cast<size_t>(n)) : "";
    while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
    ::close(fd);
    posix::RootError(root, "another tovin setup is running in this machine (process " +
                               (pid.empty() ? std::string("unknown") : pid) + "); try again when it has ended");
  }
  std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) {
    ssize_t written = ::pwrite(fd, pid.data(), pid.size(), 0);
    (void)written;
  }
  posix::g_machineLock = fd;
}

std::string FromHostPath(const std::string& hostPath) {
  std::string abs = hostPath;
  if (abs.empty() || abs[0] != '/') {
    char cwd[4096];
    abs = std::string(::getcwd(cwd, sizeof cwd) ? cwd : "/") + "/" + hostPath;
  }
  // Links in the part that exists are resolved here: the user named that path, and what is
  // written below it later must not follow any link (see ResolveForWriting).
  std::string tail;
  for (std::string head = abs; !head.empty();) {
    if (char* real = ::realpath(head.c_str(), nullptr)) {
      abs = std::string(real) + tail;
      std::free(real);
      break;
    }
    auto slash = head.find_last_of('/');
    if (slash == std::string::npos) break;
    tail = head.substr(slash) + tail;
    head.resize(slash);
  }
  std::string out = "Z:";
  for (char c : abs) out += c == '/' ? '\\' : c;
  return posix::NormalizePath(out);
}

uint32_t GetLastError() { return posix::t_lastError; }
void SetLastError(uint32_t code) { posix::t_lastError = code; }

std::string GetCurrentDirectory() { return posix::g_currentDir; }

bool SetCurrentDirectory(const std::string& path) {
  if ((GetFileAttributes(path) & kAttrDirectory) == 0 ||
      GetFileAttributes(path) == kInvalidAttributes) {
    if (GetFileAttributes(path) != kInvalidAttributes) posix::SetLastError(kErrorDirectory);
    return false;
  }
  std::string full = posix::NormalizePath(path);
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  posix::g_currentDir = full;
  return true;
}

std::string GetWindowsDirectory() {
  posix::MachineRoot();
  return "C:\\WINDOWS";
}

std::string GetFullPathName(const std::string& path) { return posix::NormalizePath(path); }

bool IsTerminal(int fd) { return ::isatty(fd) == 1; }

bool TerminalSize(int fd, int& columns, int& rows) {
  struct winsize ws {};
  if (::ioctl(fd, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0 || ws.ws_row == 0) return false;
  columns = ws.ws_col;
  rows = ws.ws_row;
  return true;
}

int TerminalColumns(int fd) {
  struct winsize ws {};
  if (!IsTerminal(fd)) return 0;
  if (::ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  return 80;
}

std::string ToHostPath(const std::string& path) {
  auto r = posix::Resolve(path);
  if (r.valid) return r.host;
  std::string full = posix::NormalizePath(path);
  std::string rest = full.substr(2);
  for (auto& c : rest) if (c == '\\') c = '/';
  char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(full[0])));
  return drive == 'z' ? rest : posix::MachineRoot() + "/drive_" + std::string(1, drive) + rest;
}

std::optional<std::string> GetFinalPathName(const std::string& path) {
  auto r = posix::Resolve(path);
  if (!r.valid) return std::nullopt;
  char* real = ::realpath(r.host.c_str(), nullptr);
  if (!real) return std::nullopt;
  std::string host = real;
  std::free(real);
  return FromHostPath(host);
}

void Sleep(uint32_t milliseconds) {
  if (milliseconds != 0) {
    ::usleep(milliseconds * 1000u);
    return;
  }
  // The codec gives up its slice after every buffer, every few microseconds: a system call
  // each time cost more than it gave. A yield a few milliseconds apart keeps other work on
  // the machine just as lively; the coarse clock is read without entering the kernel.
  constexpr int64_t kYieldSpacingNs = 4'000'000;
  thread_local int64_t lastYield = 0;
  struct timespec now;
#ifdef CLOCK_MONOTONIC_COARSE
  ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
#else
  ::clock_gettime(CLOCK_MONOTONIC, &now);
#endif
  int64_t ns = static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
  if (ns - lastYield < kYieldSpacingNs) return;
  lastYield = ns;
  ::sched_yield();
}

}  // namespace plat
