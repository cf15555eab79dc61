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
  kAttrDevice = 0x40,         // not a regular file or folder (a POSIX fifo, device or socket)
  kAttrNormal = 0x80,
  kAttrReparsePoint = 0x400,  // a symbolic link; a dangling one carries no other bit
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
// The folder must exist, or its parent must (then the folder itself is created, one level
// only), and it must be empty or hold a machine already (one tovin made, marked so, or one
// that holds nothing but a machine's own files): a mistyped root never fills a folder of the
// user's, "/" least of all. Otherwise, or when the machine's folders cannot be made in it
// (one of them a link, for one), raises EMachineRootError naming the folder and leaves the
// machine as it was.
void SetMachineRoot(const std::string& hostFolder);
bool IsEmulated();
// Holds the machine for this process until it exits or another root is set, so that two
// setups never run in one machine at once (POSIX: a lock on R/machine.lock, which names the
// holding process). Raises EMachineRootError naming the process that holds it; the Win32
// backend has no machine to hold.
void LockMachine();
// A package is input from someone else: tovin setup runs it in a sandbox. From this call on
// (POSIX), every call that changes the file system, a profile file or a shell link fails with
// kErrorWriteProtect (19), as a write to a write-protected disk fails, for a path that is not
// on one of the machine's own drives (Z:, the host, is read-only); and ShellExecute starts a
// program only when launchPrograms is set, and then only one on the machine's own drives,
// reached without a link. The Win32 backend runs on the user's own machine: no effect there.
void SetSandbox(bool on, bool launchPrograms = false);
// Turns a path given on the host's command line into a path of this layer
// (POSIX: /a/b becomes Z:\a\b, with the links of its existing part resolved; Win32: unchanged).
std::string FromHostPath(const std::string& hostPath);

// --- file system -----------------------------------------------------------------------
// Links on POSIX: calls that only read (GetFileAttributes, FindFiles, GetDiskFreeSpace,
// OpenFile for reading an existing file, GetFinalPathName) follow links, as packages and
// sources may be reached through them. Calls that change the file system (OpenFile for
// writing or creating, CreateDirectory, RemoveDirectory, SetFileAttributes, DeleteFile,
// MoveFileReplace, and File::SetDosDateTime, which needs a file opened for writing) follow
// no link below the drive's folder of the machine (R/drive_x; for Z: below "/"): a link on
// the way or at the end, a dangling one included, fails with kErrorStoppedOnSymlink (681),
// and the lookup without letter case never picks one. A path named on the host's command
// line gets its links resolved by FromHostPath, so the folder a command writes into may
// itself be reached through links, but nothing below it.
// Names on POSIX, as Win32 treats them: a trailing dot or blank of a component is dropped
// (C:\Dot. is C:\Dot), and a device name (CON, NUL, COM1, ... also with an extension) as a
// component fails with kErrorInvalidName (123): the emulation has no devices to reach. Z: is
// the host's own file system, where such names are ordinary: it keeps them.
// Only regular files and folders are opened: a fifo, device or socket fails with
// kErrorAccessDenied (5), without blocking.
uint32_t GetFileAttributes(const std::string& path);
bool SetFileAttributes(const std::string& path, uint32_t attributes);
bool CreateDirectory(const std::string& path);
bool RemoveDirectory(const std::string& path);
bool DeleteFile(const std::string& path);
// Renames from to to, replacing an existing to (MoveFileEx with MOVEFILE_REPLACE_EXISTING).
bool MoveFileReplace(const std::string& from, const std::string& to);
// Deletes a file, or an empty folder, when Windows next starts (MoveFileEx with
// MOVEFILE_DELAY_UNTIL_REBOOT): how a running program has its own file removed. Requests are
// carried out in the order they were made. POSIX never restarts: it records the request in
// R/restartdeletes.log and reports it.
bool DeleteAtRestart(const std::string& path);
// The full path of the running program's file (GetModuleFileName; POSIX: the executable as
// FromHostPath names it).
std::string GetModuleFileName();
std::string GetFullPathName(const std::string& path);
std::string GetCurrentDirectory();
bool SetCurrentDirectory(const std::string& path);
std::string GetWindowsDirectory();
// Free bytes for the caller on the volume of root ("C:\"; empty for the current drive).
std::optional<uint64_t> GetDiskFreeSpace(const std::string& root);
// Last error of the calling thread, as a Win32 error code.
uint32_t GetLastError();
void SetLastError(uint32_t code);
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
// CreateNew fails (80) when the name exists, a dangling link included (CREATE_NEW).
enum class Disposition { OpenExisting, CreateAlways, CreateNew };

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
  // Writes what the system still holds to the disk (FlushFileBuffers).
  virtual bool Flush() = 0;
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
constexpr intptr_t kShellErrAccessDenied = 5;    // SE_ERR_ACCESSDENIED: the sandbox starts nothing
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
// Columns of the terminal on fd; 0 when it is none.
int TerminalColumns(int fd);
// Columns and rows of the terminal on fd (any descriptor on POSIX); false when it is none or
// does not tell.
bool TerminalSize(int fd, int& columns, int& rows);

// --- paths as the host user knows them -------------------------------------------------
// A path of this layer in the host's own form (POSIX: Z:\a\b is /a/b and C:\x is R/drive_c/x;
// Win32: unchanged).
std::string ToHostPath(const std::string& path);
// The canonical path of an existing file or folder with every link resolved, in this layer's
// form; nullopt when it cannot be found. Two paths name the same object when these are equal
// without regard to letter case.
std::optional<std::string> GetFinalPathName(const std::string& path);

// Sleep(0): give up the rest of the time slice.
void Sleep(uint32_t milliseconds);

// Memory for buffers of megabytes that are filled again and again: in large pages where the
// system gives them, since faulting a buffer in 4 KiB at a time can cost more than filling it.
// Its bytes are undefined until written. Raises std::bad_alloc. FreeLarge takes the size that
// was asked for.
void* AllocateLarge(size_t bytes);
void FreeLarge(void* memory, size_t bytes);

// --- interruption ----------------------------------------------------------------------
// From this call on, SIGINT, SIGTERM and SIGHUP (Win32: Ctrl+C and Ctrl+Break as SIGINT, the
// console's close, log-off and shut-down events as SIGTERM) only record that the user asked to
// stop: long work polls InterruptSignal where it already pauses and unwinds, so that every
// clean-up step runs. A second request ends the process at once with 128 + its signal number.
void CatchInterrupts();
// The signal number of the first request (SIGHUP 1, SIGINT 2, SIGTERM 15); 0 while none came.
int InterruptSignal();
// A full-screen program on the terminal fd: should a second request end the process at once,
// the terminal's modes as they are at this call are put back, after HardStopLeave's sequence
// (what the terminal needs to leave full-screen mode) is sent. fd -1 forgets it (the program
// gave the terminal back itself). Win32: nothing to do.
void KeepTerminalForHardStop(int fd);
void HardStopLeave(const std::string& sequence);

// --- shell links ---------------------------------------------------------------------
// What the setup's links carry. Paths are Windows paths; on POSIX the link file is a real
// Shell Link (.lnk) file at the host place of its Windows path.
struct ShellLink {
  std::string target;
  std::string workingDirectory;
  std::string iconLocation;
  int32_t iconIndex = 0;
  bool operator==(const ShellLink&) const = default;
};
// Writes (or overwrites) the link file; the folder must exist. False on failure, with
// GetLastError telling why.
bool SaveShellLink(const ShellLink& link, const std::string& linkPath);
// The link stored in a link file; nullopt (GetLastError set) when it cannot be read.
std::optional<ShellLink> LoadShellLink(const std::string& linkPath);

// --- registry --------------------------------------------------------------------------
// String values below a root key. Key paths are backslash-separated and compared without
// letter case; a key keeps the case it was first created with. Each call returns false or
// nullopt on failure with GetLastError telling why (2 for a missing key or value).
enum class RegRoot { LocalMachine };
// Creates the key and every missing parent; true when it exists afterwards.
bool RegCreateKey(RegRoot root, const std::string& subKey);
// Sets a string value (an empty name is the key's default value), creating the key first
// when it is missing. The data ends at its first zero byte, as a string value does.
bool RegSetStringValue(RegRoot root, const std::string& subKey, const std::string& valueName,
                       const std::string& data);
std::optional<std::string> RegQueryStringValue(RegRoot root, const std::string& subKey,
                                               const std::string& valueName);
bool RegDeleteValue(RegRoot root, const std::string& subKey, const std::string& valueName);
struct RegKeyCounts {
  uint32_t subkeys = 0, values = 0;
};
// What the key holds; nullopt when it is missing (2) or cannot be read.
std::optional<RegKeyCounts> RegQueryKeyCounts(RegRoot root, const std::string& subKey);
// Deletes the key with all its subkeys. A path naming the root itself is refused (5).
bool RegDeleteKey(RegRoot root, const std::string& subKey);

}  // namespace plat
