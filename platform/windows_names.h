// Which names a Windows file system can hold. Packages are installed on Windows, so whatever
// builds one checks every name here before anything is written.
#pragma once
#include <string>

namespace plat {

// Longest path Windows opens without the long-path prefix, terminating zero excluded.
inline constexpr size_t kMaxPathLength = 259;

// Whether name is one of the device names Windows reserves in every folder (CON, PRN, AUX,
// NUL, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$), also with an extension.
bool IsWindowsDeviceName(const std::string& name);

// Why Windows cannot hold name as one path component; empty when it can.
std::string WindowsNameProblem(const std::string& name);

// The same for a relative path of components separated by backslashes, including its length.
std::string WindowsPathProblem(const std::string& path);

// Why Windows would not create or write the file or folder path names where it says: a
// component that is a device name, ends in a dot or blank (trimmed, so another file is
// reached) or holds a character names cannot hold (':' would reach a stream). Drive, UNC and
// "\\?\" prefixes, doubled separators, "." and ".." pass; "\\.\" names a device. Empty
// when Windows would write it.
std::string WindowsTargetProblem(const std::string& path);

}  // namespace plat
