// The emulated Windows machine on a POSIX file system: a root folder R holds drive C: as
// R/drive_c, any other letter X as R/drive_x, and Z: as the host's "/".
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plat::posix {

// The host folder of the machine; a temporary one (UseTemporaryRoot) is made on first use
// when none was set.
const std::string& MachineRoot();

// Makes a fresh machine in a new folder of the host's temporary directory ($TMPDIR, else
// /tmp). The process owns that folder: it is removed with everything in it when another
// root is set or the process exits. Raises EMachineRootError when it cannot be made.
void UseTemporaryRoot();

// A Windows path made absolute and normalised (drive letter upper case, backslashes).
std::string NormalizePath(const std::string& path);

struct Resolved {
  std::string host;     // host path, existing components in their stored case
  bool valid = false;   // false for a name Windows forbids or an unknown drive form
};
// Maps a Windows path to the host, matching each component without regard to letter case
// (an exact match first). Components that do not exist keep the case they were given.
Resolved Resolve(const std::string& path);

// Reports what the emulation does instead of the real thing (a program it cannot start, a
// restart it does not perform). The default prints to standard error.
void SetNoticeSink(std::function<void(const std::string&)> sink);
void Notice(const std::string& text);
// %s is the program as the caller named it.
inline constexpr const char* kNoticeCannotStart = "cannot start %s on this system: no host program runs it";
// %s is what ExitWindowsEx was asked for: "log off", "shut down", "restart" or "power off".
inline constexpr const char* kNoticeWouldExit = "Windows would %s now; the host keeps running";

// Restart requests recorded by ExitWindowsEx, oldest first.
std::vector<uint32_t> ExitRequests();

void SetLastError(uint32_t code);
uint32_t ErrorFromErrno(int err);

// MS-DOS local date-time <-> seconds since the epoch.
std::optional<int64_t> DosToUnix(uint32_t dosDateTime);
uint32_t UnixToDos(int64_t seconds);

}  // namespace plat::posix
