// Profile, shell, restart and token calls of the platform layer on POSIX.
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <new>
#include <sstream>

#include "platform/error_codes.h"
#include "platform/exception.h"
#include "platform/ini_document.h"
#include "platform/platform.h"
#include "platform/posix/machine.h"

extern char** environ;

namespace plat {
namespace {

// The emulated process holds one token, and the shutdown privilege has the LUID it has on Windows.
constexpr Handle kProcessToken = 1;
constexpr uint64_t kShutdownPrivilegeLuid = 19;
constexpr intptr_t kShellStarted = kShellErrorLimit + 10;  // any value above the error limit

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& file,
                                    size_t bufferSize) {
  return ini::ReadString(file, section, key, defaultValue, bufferSize);
}

std::vector<std::string> GetPrivateProfileKeys(const std::string& section, const std::string& file,
                                               size_t bufferSize) {
  return ini::ReadKeys(file, section, bufferSize);
}

// Under the machine's change lock, as the registry is changed: two setups writing one profile
// file would otherwise lose each other's entries.
bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value, const std::string& file) {
  posix::ChangeLock lock;
  return lock.Held() && ini::Write(file, section, key, value);
}

// A host program lies on the machine's drives when it is reached from a drive's folder
// without a link (the walk of a write refuses them, and in the sandbox Z: too).
std::optional<std::string> OnMachineDrives(const std::string& path) {
  auto place = posix::ResolveForWriting(path);
  if (!place || !place->Exists()) return std::nullopt;
  return place->Host();
}

intptr_t ShellExecute(const std::string& file, const std::string& parameters,
                      const std::string& directory, int /*showCommand*/) {
  std::string target = file;
  bool relative = !(target.size() >= 2 && target[1] == ':') && !(!target.empty() && (target[0] == '\\' || target[0] == '/'));
  if (relative && !directory.empty()) target = directory + "\\" + target;
  auto r = posix::Resolve(target);
  struct stat st;
  if (!r.valid || ::stat(r.host.c_str(), &st) != 0) {
    posix::SetLastError(kErrorFileNotFound);
    return kShellErrFileNotFound;
  }
  std::string program = r.host;
  if (posix::Sandboxed()) {
    // A package starts nothing on the host: only what lies on the machine's own drives.
    auto own = OnMachineDrives(target);
    if (!own) {
      posix::SetLastError(kErrorAccessDenied);
      return kShellErrAccessDenied;
    }
    program = *own;
    if (::stat(program.c_str(), &st) != 0) st.st_mode = 0;
  }
  // Only a regular file is looked into: a fifo would block the read for ever.
  char magic[2] = {0, 0};
  if (S_ISREG(st.st_mode)) {
    int fd = ::open(program.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
      struct stat opened;
      if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || ::read(fd, magic, 2) != 2) magic[0] = 0;
      ::close(fd);
    }
  }
  bool windowsProgram = magic[0] == 'M' && magic[1] == 'Z';
  if (!S_ISREG(st.st_mode) || ::access(program.c_str(), X_OK) != 0 || windowsProgram) {
    posix::Notice(tovin::Format(posix::kNoticeCannotStart, file));
    posix::SetLastError(kErrorNoAssociation);
    return kShellErrNoAssociation;
  }
  if (posix::Sandboxed() && !posix::LaunchAllowed()) {
    posix::SetLastError(kErrorAccessDenied);
    return kShellErrAccessDenied;
  }
  std::vector<std::string> args{program};
  std::istringstream words(parameters);
  for (std::string w; words >> w;) args.push_back(w);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!directory.empty()) {
    auto dir = posix::Resolve(directory);
    if (dir.valid) posix_spawn_file_actions_addchdir_np(&actions, dir.host.c_str());
  }
  pid_t pid;
  int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    posix::SetLastError(posix::ErrorFromErrno(rc));
    return kShellErrFileNotFound;
  }
  return kShellStarted;
}

// The emulated process has every privilege it asks for; the calls succeed as on a system
// where the user may shut down.
bool OpenProcessToken(uint32_t, Handle& token) {
  token = kProcessToken;
  return true;
}

bool LookupPrivilegeValue(const std::string& name, uint64_t& luid) {
  if (name != kShutdownPrivilegeName) {
    posix::SetLastError(kErrorNoSuchPrivilege);
    return false;
  }
  luid = kShutdownPrivilegeLuid;
  return true;
}

bool AdjustTokenPrivileges(Handle token, uint64_t, uint32_t) { return token == kProcessToken; }

bool CloseHandle(Handle handle) { return handle != 0; }

namespace {
constexpr size_t kLargePage = size_t{2} << 20;
constexpr size_t kSmallLarge = size_t{1} << 20;  // below this, large pages would waste most of one
size_t Mapped(size_t bytes) { return (bytes + kLargePage - 1) & ~(kLargePage - 1); }
}  // namespace

void* AllocateLarge(size_t bytes) {
  if (bytes < kSmallLarge) {
    void* p = std::malloc(bytes ? bytes : 1);
    if (!p) throw std::bad_alloc();
    return p;
  }
  // Mapped with a large page's room to spare and trimmed to an aligned run, so that the kernel
  // can back it with large pages (which it does only for aligned ones).
  size_t size = Mapped(bytes);
  void* raw = mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  auto start = reinterpret_cast<uintptr_t>(raw);
  uintptr_t aligned = (start + kLargePage - 1) & ~(uintptr_t{kLargePage} - 1);
  if (aligned > start) munmap(raw, aligned - start);
  size_t tail = kLargePage - (aligned - start);
  if (tail) munmap(reinterpret_cast<void*>(aligned + size), tail);
  madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);  // a hint: fails harmlessly without
  return reinterpret_cast<void*>(aligned);
}

void FreeLarge(void* memory, size_t bytes) {
  if (!memory) return;
  if (bytes < kSmallLarge) std::free(memory);
  else munmap(memory, Mapped(bytes));
}

}  // namespace plat

namespace plat::posix {
std::vector<uint32_t>& ExitRequestLog();
}

namespace plat {

bool ExitWindowsEx(uint32_t flags, uint32_t /*reason*/) {
  // Never restarts the host: the request is recorded in the machine (R's own file, reached
  // without a link) and reported.
  posix::ExitRequestLog().push_back(flags);
  int top = posix::OpenMachineFolder();
  int log = top < 0 ? -1 : posix::OpenOwnFile(top, "exitwindows.log", O_WRONLY | O_APPEND | O_CREAT);
  if (top >= 0) ::close(top);
  char line[40];
  int n = std::snprintf(line, sizeof line, "ExitWindowsEx 0x%x\n", flags);
  bool recorded = log >= 0 && ::write(log, line, static_cast<size_t>(n)) == n;
  if (log >= 0 && !recorded) posix::SetLastError(posix::ErrorFromErrno(errno));
  if (!recorded)
    posix::Notice("cannot record the request in " + posix::MachineRoot() + "/exitwindows.log: " +
                  SystemErrorMessage(GetLastError()));
  if (log >= 0) ::close(log);
  const char* what = (flags & kExitReboot)     ? "restart"
                     : (flags & kExitPowerOff) ? "power off"
                     : (flags & kExitShutdown) ? "shut down"
                                               : "log off";
  posix::Notice(tovin::Format(posix::kNoticeWouldExit, what));
  return true;
}

bool DeleteAtRestart(const std::string& path) {
  // Never carried out: the host does not restart with the machine. Refused as the deletion
  // itself would be (a missing file, a link, a name Windows forbids).
  auto place = posix::ResolveForWriting(path);
  if (!place) return false;
  if (!place->Exists()) {
    posix::SetLastError(kErrorFileNotFound);
    return false;
  }
  // R's own file, reached without a link, as the restart log is.
  int top = posix::OpenMachineFolder();
  int log = top < 0 ? -1 : posix::OpenOwnFile(top, "restartdeletes.log", O_WRONLY | O_APPEND | O_CREAT);
  if (top >= 0) ::close(top);
  std::string line = posix::NormalizePath(path) + "\n";
  bool recorded = log >= 0 && ::write(log, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  if (log >= 0 && !recorded) posix::SetLastError(posix::ErrorFromErrno(errno));
  if (log >= 0) ::close(log);
  posix::Notice(tovin::Format(posix::kNoticeDeleteAtRestart, path));
  return recorded;
}

std::string GetModuleFileName() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) return {};
  return FromHostPath(std::string(buf, static_cast<size_t>(n)));
}

}  // namespace plat

namespace plat {
namespace {

volatile std::sig_atomic_t interruptSignal = 0;

// The terminal a full-screen program holds, for a stop that cannot wait for its clean-up.
volatile std::sig_atomic_t hardStopTerminal = -1;
struct termios hardStopModes;
char hardStopLeave[256];
size_t hardStopLeaveSize = 0;

void OnInterrupt(int signal) {
  if (interruptSignal != 0) {  // asked twice: no more waiting for clean-up
    if (int fd = hardStopTerminal; fd >= 0) {
      if (::write(fd, hardStopLeave, hardStopLeaveSize) < 0) {
      }
      ::tcsetattr(fd, TCSADRAIN, &hardStopModes);
    }
    ::_exit(128 + signal);
  }
  interruptSignal = signal;
}

}  // namespace

void CatchInterrupts() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a prompt waiting on the terminal gives up at once. Reads and writes of
  // files on local disks are not interrupted; were one to fail, the stop is what gets reported.
  action.sa_flags = 0;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction before {};
    // A signal the parent had ignored (nohup, a background job) stays ignored.
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &action, nullptr);
  }
}

int InterruptSignal() { return interruptSignal; }

void KeepTerminalForHardStop(int fd) {
  hardStopTerminal = -1;
  hardStopLeaveSize = 0;
  if (fd >= 0 && ::tcgetattr(fd, &hardStopModes) == 0) hardStopTerminal = fd;
}

void HardStopLeave(const std::string& sequence) {
  if (sequence.size() > sizeof hardStopLeave) return;
  hardStopLeaveSize = 0;
  std::copy(sequence.begin(), sequence.end(), hardStopLeave);
  hardStopLeaveSize = sequence.size();
}

}  // namespace plat
