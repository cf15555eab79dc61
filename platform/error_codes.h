// The Win32 error codes the platform layer reports through GetLastError, with the texts the
// POSIX emulation gives them (the Win32 backend asks the system for its own).
#pragma once
#include <cstdint>

namespace plat {

inline constexpr uint32_t kErrorFileNotFound = 2;        // ERROR_FILE_NOT_FOUND
inline constexpr uint32_t kErrorPathNotFound = 3;        // ERROR_PATH_NOT_FOUND
inline constexpr uint32_t kErrorAccessDenied = 5;        // ERROR_ACCESS_DENIED
inline constexpr uint32_t kErrorWriteProtect = 19;       // ERROR_WRITE_PROTECT
inline constexpr uint32_t kErrorGenFailure = 31;         // ERROR_GEN_FAILURE
inline constexpr uint32_t kErrorSharingViolation = 32;   // ERROR_SHARING_VIOLATION
inline constexpr uint32_t kErrorFileExists = 80;         // ERROR_FILE_EXISTS
inline constexpr uint32_t kErrorInvalidParameter = 87;   // ERROR_INVALID_PARAMETER
inline constexpr uint32_t kErrorDiskFull = 112;          // ERROR_DISK_FULL
inline constexpr uint32_t kErrorInvalidName = 123;       // ERROR_INVALID_NAME
inline constexpr uint32_t kErrorDirNotEmpty = 145;       // ERROR_DIR_NOT_EMPTY
inline constexpr uint32_t kErrorFileTooLarge = 223;      // ERROR_FILE_TOO_LARGE
inline constexpr uint32_t kErrorAlreadyExists = 183;     // ERROR_ALREADY_EXISTS
inline constexpr uint32_t kErrorFilenameTooLong = 206;   // ERROR_FILENAME_EXCED_RANGE
inline constexpr uint32_t kErrorDirectory = 267;         // ERROR_DIRECTORY
inline constexpr uint32_t kErrorStoppedOnSymlink = 681;  // ERROR_STOPPED_ON_SYMLINK
inline constexpr uint32_t kErrorNoAssociation = 1155;    // ERROR_NO_ASSOCIATION
inline constexpr uint32_t kErrorNoSuchPrivilege = 1313;  // ERROR_NO_SUCH_PRIVILEGE

struct ErrorText {
  uint32_t code;
  const char* text;
};
inline constexpr ErrorText kErrorTexts[] = {
    {kErrorFileNotFound, "The system cannot find the file specified."},
    {kErrorPathNotFound, "The system cannot find the path specified."},
    {kErrorAccessDenied, "Access is denied."},
    {kErrorWriteProtect, "The media is write protected."},
    {kErrorSharingViolation, "The process cannot access the file because it is being used by another process."},
    {kErrorFileExists, "The file exists."},
    {kErrorDiskFull, "There is not enough space on the disk."},
    {kErrorInvalidName, "The filename, directory name, or volume label syntax is incorrect."},
    {kErrorDirNotEmpty, "The directory is not empty."},
    {kErrorFileTooLarge, "The file size exceeds the limit allowed and cannot be saved."},
    {kErrorAlreadyExists, "Cannot create a file when that file already exists."},
    {kErrorDirectory, "The directory name is invalid."},
    {kErrorStoppedOnSymlink, "The create operation stopped after reaching a symbolic link."},
};
// A code without a text of its own.
inline constexpr const char* kMsgSystemError = "System error %d.";

}  // namespace plat
