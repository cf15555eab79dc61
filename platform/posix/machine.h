// The emulated Windows machine on a POSIX file system: a root folder R holds drive C: as
// R/drive_c, any other letter X as R/drive_x, and Z: as the host's "/".
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace plat::posix {

// The host folder of the machine; a temporary one (UseTemporaryRoot) is made on first use
// when none was set.
const std::string& MachineRoot();

// Makes a fresh machine in a new folder of the host's temporary directory ($TMPDIR, else
// /tmp). The process owns that folder: it is removed with everything in it when another
// root is set or the process exits. Raises EMachineRootError when it cannot be made.
void UseTemporaryRoot();

// The sandbox of a package's run (plat::SetSandbox): writes only to the machine's own
// drives; programs started only when asked, and only from those drives.
bool Sandboxed();
bool LaunchAllowed();

// R's own files and folders (the registry, the restart log, the locks) are opened below R
// without following a link, as what lies below a drive's folder is; R itself may be reached
// through links, since the user named it. Each returns -1 with the error set
// (kErrorStoppedOnSymlink for a link).
int OpenMachineFolder();
// A folder of R's own, made first when make is set and it is missing.
int OpenOwnFolder(const std::string& name, bool make);
// A regular file in folder, opened with flags (O_CREAT and the like) without blocking;
// anything else there (a fifo, a device) is refused with kErrorAccessDenied, unopened.
int OpenOwnFile(int folder, const std::string& name, int flags);

// Serialises the changes of the machine's shared files between processes: the registry file
// and profile files are each read, changed and replaced under it. An exclusive lock on
// R/registry.lock, held as long as the object lives.
class ChangeLock {
 public:
  ChangeLock();
  ~ChangeLock();
  ChangeLock(const ChangeLock&) = delete;
  ChangeLock& operator=(const ChangeLock&) = delete;
  bool Held() const { return fd_ >= 0; }  // false with the error set

 private:
  int fd_ = -1;
};

// A Windows path made absolute and normalised (drive letter upper case, backslashes; on the
// machine's drives a trailing dot or blank of each component dropped, as Win32 does).
std::string NormalizePath(const std::string& path);

struct Resolved {
  std::string host;     // host path, existing components in their stored case
  bool valid = false;   // false for a name Windows forbids or an unknown drive form
  // What the lookup saw on the way, so callers need not look again: st_mode of the last
  // component when it is there and no link (0 when not seen), and whether it is missing
  // from a folder that is there (no other letter case of it either).
  uint32_t mode = 0;
  bool missingInFolder = false;
};
// Maps a Windows path to the host, matching each component without regard to letter case
// (an exact match first). Components that do not exist keep the case they were given.
// Links are followed: this is the lookup of calls that only read (see ResolveForWriting).
Resolved Resolve(const std::string& path);

// A path resolved for a call that changes the file system: the folder holding the last
// component, opened, and that component's name (its stored case when it exists). No link
// was followed from the drive's folder (R/drive_x; "/" for Z:) down to that folder, and the
// last component, when it exists, is no link either (a dangling one included).
class WritePlace {
 public:
  WritePlace(int folder, std::string name, std::string host, bool exists = false, uint32_t mode = 0)
      : folder_(folder), name_(std::move(name)), host_(std::move(host)), exists_(exists), mode_(mode) {}
  WritePlace(WritePlace&& other) noexcept;
  WritePlace(const WritePlace&) = delete;
  WritePlace& operator=(const WritePlace&) = delete;
  WritePlace& operator=(WritePlace&& other) noexcept;
  ~WritePlace();
  int Folder() const { return folder_; }
  const std::string& Name() const { return name_; }  // "." for a drive's root
  const std::string& Host() const { return host_; }
  // The last component as the lookup found it (not followed): callers need not look again.
  bool Exists() const { return exists_; }
  uint32_t Mode() const { return mode_; }  // st_mode when it exists

 private:
  int folder_;
  std::string name_, host_;
  bool exists_;
  uint32_t mode_;
};
// nullopt with the error set: 123 for a forbidden name, 3 for a missing or non-folder
// component on the way, kErrorStoppedOnSymlink for a link on the way or at the end,
// kErrorWriteProtect for a path off the machine's drives in the sandbox.
// makeFolders: folders missing on the way are made, each in the one opened above it (a
// file in the way fails with 183, as making that folder would).
std::optional<WritePlace> ResolveForWriting(const std::string& path, bool makeFolders = false);

// Reports what the emulation does instead of the real thing (a program it cannot start, a
// restart it does not perform). The default prints to standard error.
void SetNoticeSink(std::function<void(const std::string&)> sink);
void Notice(const std::string& text);
// %s is the program as the caller named it.
inline constexpr const char* kNoticeCannotStart = "cannot start %s on this system: no host program runs it";
// %s is what ExitWindowsEx was asked for: "log off", "shut down", "restart" or "power off".
inline constexpr const char* kNoticeWouldExit = "Windows would %s now; the host keeps running";
// %s is the path DeleteAtRestart was given.
inline constexpr const char* kNoticeDeleteAtRestart = "Windows would delete %s when it restarts; the host keeps it";

// Restart requests recorded by ExitWindowsEx, oldest first.
std::vector<uint32_t> ExitRequests();

using plat::SetLastError;
uint32_t ErrorFromErrno(int err);

// MS-DOS local date-time <-> seconds since the epoch.
std::optional<int64_t> DosToUnix(uint32_t dosDateTime);
uint32_t UnixToDos(int64_t seconds);

}  // namespace plat::posix
