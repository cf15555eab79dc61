// The platform layer over the real Win32 API (ANSI calls).
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

// The A/W macros of <windows.h> would rename this layer's own functions.
#undef GetFileAttributes
#undef SetFileAttributes
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile
#undef GetFullPathName
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetWindowsDirectory
#undef GetDiskFreeSpace
#undef GetPrivateProfileString
#undef WritePrivateProfileString
#undef ShellExecute
#undef LookupPrivilegeValue
#undef GetModuleFileName

#include "platform/error_codes.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "platform/windows_names.h"

namespace plat {
namespace {

// The layer's own names for the system's numbers must be the system's numbers.
static_assert(kAttrReadOnly == FILE_ATTRIBUTE_READONLY && kAttrHidden == FILE_ATTRIBUTE_HIDDEN &&
              kAttrSystem == FILE_ATTRIBUTE_SYSTEM && kAttrDirectory == FILE_ATTRIBUTE_DIRECTORY &&
              kAttrArchive == FILE_ATTRIBUTE_ARCHIVE && kAttrNormal == FILE_ATTRIBUTE_NORMAL &&
              kInvalidAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(kSeekBegin == FILE_BEGIN && kSeekCurrent == FILE_CURRENT && kSeekEnd == FILE_END);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND && kErrorPathNotFound == ERROR_PATH_NOT_FOUND &&
              kErrorAccessDenied == ERROR_ACCESS_DENIED && kErrorGenFailure == ERROR_GEN_FAILURE &&
              kErrorSharingViolation == ERROR_SHARING_VIOLATION && kErrorInvalidParameter == ERROR_INVALID_PARAMETER &&
              kErrorDiskFull == ERROR_DISK_FULL && kErrorInvalidName == ERROR_INVALID_NAME &&
              kErrorDirNotEmpty == ERROR_DIR_NOT_EMPTY && kErrorAlreadyExists == ERROR_ALREADY_EXISTS &&
              kErrorFilenameTooLong == ERROR_FILENAME_EXCED_RANGE && kErrorDirectory == ERROR_DIRECTORY &&
              kErrorNoAssociation == ERROR_NO_ASSOCIATION && kErrorNoSuchPrivilege == ERROR_NO_SUCH_PRIVILEGE);
static_assert(kShellErrFileNotFound == SE_ERR_FNF && kShellErrAccessDenied == SE_ERR_ACCESSDENIED &&
              kShellErrNoAssociation == SE_ERR_NOASSOC);
static_assert(kErrorWriteProtect == ERROR_WRITE_PROTECT && kErrorFileTooLarge == ERROR_FILE_TOO_LARGE);
static_assert(kExitLogOff == EWX_LOGOFF && kExitShutdown == EWX_SHUTDOWN && kExitReboot == EWX_REBOOT &&
              kExitForce == EWX_FORCE && kExitPowerOff == EWX_POWEROFF);
static_assert(kTokenAdjustPrivileges == TOKEN_ADJUST_PRIVILEGES && kTokenQuery == TOKEN_QUERY &&
              kPrivilegeEnabled == SE_PRIVILEGE_ENABLED);

class Win32File final : public File {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { ::CloseHandle(h_); }
  int64_t Read(void* buffer, int64_t count) override {
    int64_t total = 0;
    while (total < count) {
      DWORD chunk = static_cast<DWORD>(std::min<int64_t>(count - total, 1 << 30)), got = 0;
      if (!::ReadFile(h_, static_cast<char*>(buffer) + total, chunk, &got, nullptr))
        return total ? total : -1;
      if (got == 0) break;
      total += got;
    }
    return total;
  }
  int64_t Write(const void* buffer, int64_t count) override {
    int64_t total = 0;
    while (total < count) {
      DWORD chunk = static_cast<DWORD>(std::min<int64_t>(count - total, 1 << 30)), put = 0;
      if (!::WriteFile(h_, static_cast<const char*>(buffer) + total, chunk, &put, nullptr) || put == 0)
        return total ? total : -1;
      total += put;
    }
    return total;
  }
  int64_t Seek(int64_t offset, int origin) override {
    LARGE_INTEGER dist, pos;
    dist.QuadPart = offset;
    DWORD method = origin == kSeekBegin ? FILE_BEGIN : origin == kSeekCurrent ? FILE_CURRENT : FILE_END;
    return ::SetFilePointerEx(h_, dist, &pos, method) ? pos.QuadPart : -1;
  }
  int64_t Size() override {
    LARGE_INTEGER size;
    return ::GetFileSizeEx(h_, &size) ? size.QuadPart : -1;
  }
  bool SetDosDateTime(uint32_t dos) override {
    FILETIME local, utc;
    return ::DosDateTimeToFileTime(static_cast<WORD>(dos >> 16), static_cast<WORD>(dos), &local) &&
           ::LocalFileTimeToFileTime(&local, &utc) && ::SetFileTime(h_, nullptr, nullptr, &utc);
  }
  uint32_t GetDosDateTime() override {
    FILETIME utc, local;
    WORD date = 0, time = 0;
    if (::GetFileTime(h_, nullptr, nullptr, &utc) && ::FileTimeToLocalFileTime(&utc, &local))
      ::FileTimeToDosDateTime(&local, &date, &time);
    return static_cast<uint32_t>(date) << 16 | time;
  }
  bool Flush() override { return ::FlushFileBuffers(h_) != 0; }

 private:
  HANDLE h_;
};

// A device name or a name Windows trims reaches another object than the one named, so every
// call that creates or writes refuses it first, as Windows refuses a malformed name.
bool RefusedTarget(const std::string& path) {
  if (WindowsTargetProblem(path).empty()) return false;
  ::SetLastError(ERROR_INVALID_NAME);
  return true;
}

}  // namespace

void SetMachineRoot(const std::string&) {}
void LockMachine() {}
void SetSandbox(bool, bool) {}
bool IsEmulated() { return false; }
std::string FromHostPath(const std::string& hostPath) { return hostPath; }

uint32_t GetFileAttributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }
bool SetFileAttributes(const std::string& path, uint32_t a) { return ::SetFileAttributesA(path.c_str(), a); }
bool CreateDirectory(const std::string& path) {
  return !RefusedTarget(path) && ::CreateDirectoryA(path.c_str(), nullptr);
}
bool RemoveDirectory(const std::string& path) { return ::RemoveDirectoryA(path.c_str()); }
bool DeleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()); }
bool MoveFileReplace(const std::string& from, const std::string& to) {
  return !RefusedTarget(to) && ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING);
}
bool DeleteAtRestart(const std::string& path) {
  return ::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
std::string GetModuleFileName() {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);  // cut to the buffer: ask again with more room
  }
}

std::string GetFullPathName(const std::string& path) {
  char buf[MAX_PATH * 4];
  DWORD n = ::GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
  return n && n < sizeof buf ? std::string(buf, n) : path;
}

std::string GetCurrentDirectory() {
  char buf[MAX_PATH * 4];
  DWORD n = ::GetCurrentDirectoryA(sizeof buf, buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

bool SetCurrentDirectory(const std::string& path) { return ::SetCurrentDirectoryA(path.c_str()); }

std::string GetWindowsDirectory() {
  char buf[MAX_PATH];
  UINT n = ::GetWindowsDirectoryA(buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

std::optional<uint64_t> GetDiskFreeSpace(const std::string& root) {
  ULARGE_INTEGER avail;
  if (!::GetDiskFreeSpaceExA(root.empty() ? nullptr : root.c_str(), &avail, nullptr, nullptr))
    return std::nullopt;
  return avail.QuadPart;
}

uint32_t GetLastError() { return ::GetLastError(); }
void SetLastError(uint32_t code) { ::SetLastError(code); }

std::string SystemErrorMessage(uint32_t code) {
  char buf[512];
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                             0, buf, sizeof buf, nullptr);
  std::string s(buf, n);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s.empty() ? tovin::Format(kMsgSystemError, code) : s;
}

std::vector<FindData> FindFiles(const std::string& pattern, uint32_t mask) {
  std::vector<FindData> found;
  WIN32_FIND_DATAA d;
  HANDLE h = ::FindFirstFileA(pattern.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return found;
  uint32_t exclude = ~mask & (kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory);
  do {
    if (d.dwFileAttributes & exclude) continue;
    FindData f;
    f.name = d.cFileName;
    f.attributes = d.dwFileAttributes;
    f.size = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    FILETIME local;
    WORD date = 0, time = 0;
    if (::FileTimeToLocalFileTime(&d.ftLastWriteTime, &local)) ::FileTimeToDosDateTime(&local, &date, &time);
    f.dosDateTime = static_cast<uint32_t>(date) << 16 | time;
    found.push_back(f);
  } while (::FindNextFileA(h, &d));
  ::FindClose(h);
  return found;
}

std::unique_ptr<File> OpenFile(const std::string& path, Access access, Share share,
                               Disposition disposition) {
  DWORD acc = access == Access::Read ? GENERIC_READ : access == Access::Write ? GENERIC_WRITE
                                                                               : GENERIC_READ | GENERIC_WRITE;
  DWORD sh = share == Share::Exclusive ? 0 : share == Share::DenyWrite ? FILE_SHARE_READ
                                                                       : FILE_SHARE_READ | FILE_SHARE_WRITE;
  DWORD disp = disposition == Disposition::OpenExisting ? OPEN_EXISTING
               : disposition == Disposition::CreateNew  ? CREATE_NEW
                                                        : CREATE_ALWAYS;
  if ((access != Access::Read || disposition != Disposition::OpenExisting) && RefusedTarget(path)) return nullptr;
  HANDLE h = ::CreateFileA(path.c_str(), acc, sh, nullptr, disp, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(h);
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& file,
                                    size_t bufferSize) {
  std::string buf(bufferSize + 1, '\0');
  DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buf.data(),
                                       static_cast<DWORD>(bufferSize), file.c_str());
  buf.resize(n);
  return buf;
}

std::vector<std::string> GetPrivateProfileKeys(const std::string& section, const std::string& file,
                                               size_t bufferSize) {
  std::string buf(bufferSize + 2, '\0');
  ::GetPrivateProfileStringA(section.c_str(), nullptr, "", buf.data(), static_cast<DWORD>(bufferSize),
                             file.c_str());
  std::vector<std::string> keys;
  for (const char* p = buf.data(); *p && p < buf.data() + bufferSize; p += std::strlen(p) + 1)
    keys.emplace_back(p);
  return keys;
}

bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value, const std::string& file) {
  return !RefusedTarget(file) && ::WritePrivateProfileStringA(section.c_str(), key ? key->c_str() : nullptr,
                                      value ? value->c_str() : nullptr, file.c_str());
}

intptr_t ShellExecute(const std::string& file, const std::string& parameters,
                      const std::string& directory, int showCommand) {
  return reinterpret_cast<intptr_t>(::ShellExecuteA(::GetActiveWindow(), nullptr, file.c_str(),
                                                    parameters.c_str(), directory.c_str(), showCommand));
}

bool OpenProcessToken(uint32_t desiredAccess, Handle& token) {
  HANDLE h = nullptr;
  bool ok = ::OpenProcessToken(::GetCurrentProcess(), desiredAccess, &h);
  token = reinterpret_cast<Handle>(h);
  return ok;
}

bool LookupPrivilegeValue(const std::string& name, uint64_t& luid) {
  LUID l;
  if (!::LookupPrivilegeValueA(nullptr, name.c_str(), &l)) return false;
  luid = (static_cast<uint64_t>(static_cast<uint32_t>(l.HighPart)) << 32) | l.LowPart;
  return true;
}

bool AdjustTokenPrivileges(Handle token, uint64_t luid, uint32_t attributes) {
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Luid.LowPart = static_cast<DWORD>(luid);
  tp.Privileges[0].Luid.HighPart = static_cast<LONG>(luid >> 32);
  tp.Privileges[0].Attributes = attributes;
  unsigned char previous[16];
  DWORD length = sizeof previous;
  return ::AdjustTokenPrivileges(reinterpret_cast<HANDLE>(token), FALSE, &tp, sizeof previous,
                                 reinterpret_cast<PTOKEN_PRIVILEGES>(previous), &length);
}

bool CloseHandle(Handle handle) { return ::CloseHandle(reinterpret_cast<HANDLE>(handle)); }

bool ExitWindowsEx(uint32_t flags, uint32_t reason) { return ::ExitWindowsEx(flags, reason); }

void Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

// Large pages need a privilege a setup does not hold: whole pages of the allocator for
// buffers of a megabyte and more, the heap below that.
namespace {
constexpr size_t kSmallLarge = size_t{1} << 20;
}

void* AllocateLarge(size_t bytes) {
  void* p = bytes < kSmallLarge ? std::malloc(bytes ? bytes : 1)
                                : ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!p) throw std::bad_alloc();
  return p;
}

void FreeLarge(void* memory, size_t bytes) {
  if (!memory) return;
  if (bytes < kSmallLarge) std::free(memory);
  else ::VirtualFree(memory, 0, MEM_RELEASE);
}

bool IsTerminal(int fd) {
  DWORD mode;
  HANDLE h = ::GetStdHandle(fd == 0 ? STD_INPUT_HANDLE : fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  return ::GetConsoleMode(h, &mode);
}

int TerminalColumns(int fd) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  HANDLE h = ::GetStdHandle(fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (!IsTerminal(fd) || !::GetConsoleScreenBufferInfo(h, &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

bool TerminalSize(int fd, int& columns, int& rows) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  HANDLE h = ::GetStdHandle(fd == 0 ? STD_INPUT_HANDLE : fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (!IsTerminal(fd) || !::GetConsoleScreenBufferInfo(h, &info)) return false;
  columns = info.srWindow.Right - info.srWindow.Left + 1;
  rows = info.srWindow.Bottom - info.srWindow.Top + 1;
  return true;
}

namespace {

std::atomic<int> interruptSignal{0};

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  int signal = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 2 : 15;
  int none = 0;
  if (!interruptSignal.compare_exchange_strong(none, signal)) ::ExitProcess(128 + signal);
  // After a close, log-off or shut-down event the process ends as soon as the handler returns:
  // wait here, and the main thread's exit ends this thread with the process.
  if (signal == 15) ::Sleep(INFINITE);
  return TRUE;
}

}  // namespace

void CatchInterrupts() { ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

int InterruptSignal() { return interruptSignal.load(); }

void KeepTerminalForHardStop(int) {}
void HardStopLeave(const std::string&) {}

std::string ToHostPath(const std::string& path) { return path; }

std::optional<std::string> GetFinalPathName(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  char buf[MAX_PATH * 4];
  DWORD n = ::GetFinalPathNameByHandleA(h, buf, sizeof buf, FILE_NAME_NORMALIZED);
  ::CloseHandle(h);
  if (n == 0 || n >= sizeof buf) return std::nullopt;
  std::string out(buf, n);
  if (out.rfind("\\\\?\\", 0) == 0) out = out.substr(4);
  return out;
}

}  // namespace plat
