// Profile, shell, restart and token calls of the platform layer on POSIX.
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
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

bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value, const std::string& file) {
  return ini::Write(file, section, key, value);
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
  char magic[2] = {0, 0};
  if (FILE* f = std::fopen(r.host.c_str(), "rb")) {
    if (std::fread(magic, 1, 2, f) != 2) magic[0] = 0;
    std::fclose(f);
  }
  bool windowsProgram = magic[0] == 'M' && magic[1] == 'Z';
  if (!S_ISREG(st.st_mode) || ::access(r.host.c_str(), X_OK) != 0 || windowsProgram) {
    posix::Notice(tovin::Format(posix::kNoticeCannotStart, file));
    posix::SetLastError(kErrorNoAssociation);
    return kShellErrNoAssociation;
  }
  std::vector<std::string> args{r.host};
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
  int rc = ::posix_spawn(&pid, r.host.c_str(), &actions, nullptr, argv.data(), environ);
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

}  // namespace plat

namespace plat::posix {
std::vector<uint32_t>& ExitRequestLog();
}

namespace plat {

bool ExitWindowsEx(uint32_t flags, uint32_t /*reason*/) {
  // Never restarts the host: the request is recorded in the machine and reported.
  posix::ExitRequestLog().push_back(flags);
  std::ofstream log(posix::MachineRoot() + "/exitwindows.log", std::ios::app);
  log << "ExitWindowsEx 0x" << std::hex << flags << "\n";
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
  std::ofstream log(posix::MachineRoot() + "/restartdeletes.log", std::ios::app);
  log << posix::NormalizePath(path) << "\n";
  posix::Notice(tovin::Format(posix::kNoticeDeleteAtRestart, path));
  return static_cast<bool>(log);
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

void OnInterrupt(int signal) {
  if (interruptSignal != 0) ::_exit(128 + signal);  // asked twice: no more waiting for clean-up
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

}  // namespace plat
