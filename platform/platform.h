// The operating-system layer: a small API shaped after the Win32 calls the setup uses.
// Paths are Windows paths (8-bit, backslashes; forward slashes accepted). Each call keeps
// the result and failure rules its callers rely on: GetFileAttributes answers
// kInvalidAttributes for a missing path, CreateDirectory reports failure by its result, and
// nothing here throws except where stated.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {

enum : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrVolume = 0x08,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
};
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;
// Masks for FindFiles: every kind of entry (0x3F); every kind but volume labels (0x37); plain
// files only, no folders or labels (0x27).
constexpr uint32_t kAttrMaskAll = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory | kAttrArchive;
constexpr uint32_t kAttrMaskNoVolume = kAttrMaskAll & ~kAttrVolume;
constexpr uint32_t kAttrMaskFiles = kAttrMaskNoVolume & ~kAttrDirectory;

// Seek origins of File::Seek and Stream::Seek.
enum : int { kSeekBegin = 0, kSeekCurrent = 1, kSeekEnd = 2 };

// --- machine ---------------------------------------------------------------------------
// On POSIX the emulated machine lives below a host folder; the Win32 backend ignores it.
void SetMachineRoot(const std::string& hostFolder);
bool IsEmulated();
// Turns a path given on the host's command line into a path of this layer
// (POSIX: /a/b becomes Z:\a\b; Win32: unchanged).
std::string FromHostPath(const std::string& hostPath);

// --- file system -----------------------------------------------------------------------
uint32_t GetFileAttributes(const std::string& path);
bool SetFileAttributes(const std::string& path, uint32_t attributes);
bool CreateDirectory(const std::string& path);
bool RemoveDirectory(const std::string& path);
bool DeleteFile(const std::string& path);
// Renames from to to, replacing an existing to (MoveFileEx with MOVEFILE_REPLACE_EXISTING).
bool MoveFileReplace(const std::string& from, const std::string& to);
std::string GetFullPathName(const std::string& path);
std::string GetCurrentDirectory();
bool SetCurrentDirectory(const std::string& path);
std::string GetWindowsDirectory();
// Free bytes for the caller on the volume of root ("C:\"; empty for the current drive).
std::optional<uint64_t> GetDiskFreeSpace(const std::string& root);
// Last error of the calling thread, as a Win32 error code.
uint32_t GetLastError();
std::string SystemErrorMessage(uint32_t code);

struct FindData {
  std::string name;
  uint32_t attributes = 0;
  uint64_t size = 0;
  uint32_t dosDateTime = 0;
};
// FindFirst/FindNext over a pattern such as "C:\DIR\*.*", with the attribute mask rule of
// the setup's runtime: hidden, system, volume and directory entries are returned only when
// the mask includes their bit. The "." and ".." entries of a non-root folder are included.
std::vector<FindData> FindFiles(const std::string& pattern, uint32_t mask);

// --- files -----------------------------------------------------------------------------
enum class Access { Read, Write, ReadWrite };
enum class Share { Exclusive, DenyWrite, DenyNone };
enum class Disposition { OpenExisting, CreateAlways };

class File {
 public:
  virtual ~File() = default;
  // Bytes read, 0 at the end, -1 on an error.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Bytes written, -1 on an error.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // origin: kSeekBegin, kSeekCurrent or kSeekEnd. Returns the new position or -1.
  virtual int64_t Seek(int64_t offset, int origin) = 0;
  virtual int64_t Size() = 0;
  // Last-write time from an MS-DOS local date-time (date high word, time low word).
  virtual bool SetDosDateTime(uint32_t dosDateTime) = 0;
  virtual uint32_t GetDosDateTime() = 0;
};

// Null on failure (GetLastError tells why): missing file, share conflict, forbidden name.
std::unique_ptr<File> OpenFile(const std::string& path, Access access, Share share,
                               Disposition disposition);

// --- profile (INI) files ---------------------------------------------------------------
// A bare file name names a file in the Windows directory.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& file,
                                    size_t bufferSize = 1024);
// Key names of a section in file order, through a buffer of bufferSize bytes.
std::vector<std::string> GetPrivateProfileKeys(const std::string& section,
                                               const std::string& file,
                                               size_t bufferSize = 8192);
// key absent: delete the section; value absent: delete the key.
bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value, const std::string& file);

// --- shell, restart, scheduling --------------------------------------------------------
// Opens a document or starts a program; above kShellErrorLimit on success, as ShellExecuteA.
constexpr intptr_t kShellErrorLimit = 32;
constexpr intptr_t kShellErrFileNotFound = 2;    // SE_ERR_FNF
constexpr intptr_t kShellErrNoAssociation = 31;  // SE_ERR_NOASSOC
intptr_t ShellExecute(const std::string& file, const std::string& parameters,
                      const std::string& directory, int showCommand);

using Handle = uintptr_t;
constexpr uint32_t kTokenAdjustPrivileges = 0x20;
constexpr uint32_t kTokenQuery = 0x08;
constexpr uint32_t kPrivilegeEnabled = 2;
constexpr const char* kShutdownPrivilegeName = "SeShutdownPrivilege";
bool OpenProcessToken(uint32_t desiredAccess, Handle& token);
bool LookupPrivilegeValue(const std::string& name, uint64_t& luid);
bool AdjustTokenPrivileges(Handle token, uint64_t luid, uint32_t attributes);
bool CloseHandle(Handle handle);
// ExitWindowsEx modes; add kExitForce to close applications without asking them.
constexpr uint32_t kExitLogOff = 0, kExitShutdown = 1, kExitReboot = 2, kExitForce = 4, kExitPowerOff = 8;
bool ExitWindowsEx(uint32_t flags, uint32_t reason);

// Whether the standard stream fd (0, 1, 2) is a terminal.
bool IsTerminal(int fd);

// Sleep(0): give up the rest of the time slice.
void Sleep(uint32_t milliseconds);

}  // namespace plat
