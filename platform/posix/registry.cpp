// Registry calls of the platform layer on POSIX: each root is the REGEDIT4 file
// R/registry/ROOT.reg of the machine, read for every call and replaced as a whole (written
// beside it, then renamed) on every change, so a crash leaves the old or the new registry.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "platform/error_codes.h"
#include "platform/platform.h"
#include "platform/posix/machine.h"
#include "platform/registry_file.h"

namespace plat {
namespace {

using posix::SetLastError;

const char* RootName(RegRoot) { return "HKEY_LOCAL_MACHINE"; }
std::string FileName(RegRoot root) { return std::string(RootName(root)) + ".reg"; }

// A zero byte ends each string, as it does for the ANSI calls.
std::string CString(const std::string& s) { return s.substr(0, s.find('\0')); }

// The root's document from the registry folder (open as folder; -1 when there is none yet);
// an empty one when the file does not exist yet. nullopt (error set) when the file cannot be
// read or is damaged: it is then left as it is.
std::optional<reg::Document> Load(int folder, RegRoot root) {
  if (folder < 0) return reg::Document(RootName(root));
  int fd = posix::OpenOwnFile(folder, FileName(root), O_RDONLY);
  if (fd < 0) {
    if (GetLastError() == kErrorFileNotFound) return reg::Document(RootName(root));
    return std::nullopt;
  }
  std::string text;
  char buf[8192];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) text.append(buf, static_cast<size_t>(n));
  int err = errno;
  ::close(fd);
  if (n < 0) {
    SetLastError(posix::ErrorFromErrno(err));
    return std::nullopt;
  }
  auto doc = reg::Document::Parse(text, RootName(root));
  if (!doc) SetLastError(reg::kErrorRegistryCorrupt);
  return doc;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool Replace(int folder, RegRoot root, const std::string& text) {
  std::string name = FileName(root), temp = name + ".tmp";
  // Made new and never through a link; a temporary file left by a crash is removed first
  // (we hold the lock, so no other writer owns it).
  const int flags = O_WRONLY | O_CREAT | O_EXCL;
  int fd = posix::OpenOwnFile(folder, temp, flags);
  if (fd < 0 && ::unlinkat(folder, temp.c_str(), 0) == 0) fd = posix::OpenOwnFile(folder, temp, flags);
  if (fd < 0) return false;
  bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
  int err = errno;
  written = ::close(fd) == 0 && written;
  if (!written || ::renameat(folder, temp.c_str(), folder, name.c_str()) != 0) {
    SetLastError(posix::ErrorFromErrno(written ? errno : err));
    ::unlinkat(folder, temp.c_str(), 0);
    return false;
  }
  return true;
}

// Runs change on the root's document under the machine's change lock, so that two processes
// changing the registry do not lose each other's changes, and stores the result when the
// change succeeded and altered the text. The registry folder and its files are R's own: no
// link there is followed.
bool Change(RegRoot root, const std::function<bool(reg::Document&)>& change) {
  posix::ChangeLock lock;
  if (!lock.Held()) return false;
  int folder = posix::OpenOwnFolder("registry", true);
  if (folder < 0) return false;
  bool ok = false;
  if (auto doc = Load(folder, root)) {
    std::string before = doc->Text();
    ok = change(*doc);
    std::string after = doc->Text();
    if (ok && after != before) ok = Replace(folder, root, after);
  }
  ::close(folder);
  return ok;
}

// The document as it is now, for a query; no lock: every change replaces the file whole.
std::optional<reg::Document> Current(RegRoot root) {
  int folder = posix::OpenOwnFolder("registry", false);
  if (folder < 0 && GetLastError() != kErrorFileNotFound) return std::nullopt;
  auto doc = Load(folder, root);
  if (folder >= 0) ::close(folder);
  return doc;
}

bool CheckKey(const std::string& subKey) {
  if (uint32_t error = reg::KeyPathError(subKey)) {
    SetLastError(error);
    return false;
  }
  return true;
}

bool CheckValueName(const std::string& name) {
  if (uint32_t error = reg::ValueNameError(name)) {
    SetLastError(error);
    return false;
  }
  return true;
}

}  // namespace

bool RegCreateKey(RegRoot root, const std::string& subKey) {
  std::string key = CString(subKey);
  if (!CheckKey(key)) return false;
  return Change(root, [&](reg::Document& doc) {
    doc.CreateKey(key);
    return true;
  });
}

bool RegSetStringValue(RegRoot root, const std::string& subKey, const std::string& valueName,
                       const std::string& data) {
  std::string key = CString(subKey), name = CString(valueName);
  if (!CheckKey(key) || !CheckValueName(name)) return false;
  return Change(root, [&](reg::Document& doc) {
    doc.SetString(key, name, CString(data));
    return true;
  });
}

std::optional<std::string> RegQueryStringValue(RegRoot root, const std::string& subKey,
                                               const std::string& valueName) {
  std::string key = CString(subKey), name = CString(valueName);
  if (!CheckKey(key)) return std::nullopt;
  auto doc = Current(root);
  if (!doc) return std::nullopt;
  if (!doc->HasValue(key, name)) {
    SetLastError(reg::kErrorFileNotFound);
    return std::nullopt;
  }
  auto value = doc->String(key, name);
  if (!value) SetLastError(reg::kErrorUnsupportedType);
  return value;
}

bool RegDeleteValue(RegRoot root, const std::string& subKey, const std::string& valueName) {
  std::string key = CString(subKey), name = CString(valueName);
  if (!CheckKey(key)) return false;
  return Change(root, [&](reg::Document& doc) {
    if (doc.DeleteValue(key, name)) return true;
    SetLastError(reg::kErrorFileNotFound);
    return false;
  });
}

std::optional<RegKeyCounts> RegQueryKeyCounts(RegRoot root, const std::string& subKey) {
  std::string key = CString(subKey);
  if (!CheckKey(key)) return std::nullopt;
  auto doc = Current(root);
  if (!doc) return std::nullopt;
  if (!doc->HasKey(key)) {
    SetLastError(reg::kErrorFileNotFound);
    return std::nullopt;
  }
  return RegKeyCounts{static_cast<uint32_t>(doc->Subkeys(key).size()), static_cast<uint32_t>(doc->ValueCount(key))};
}

bool RegDeleteKey(RegRoot root, const std::string& subKey) {
  std::string key = CString(subKey);
  if (reg::SplitKeyPath(key).empty()) {  // the root itself
    SetLastError(reg::kErrorAccessDenied);
    return false;
  }
  if (!CheckKey(key)) return false;
  return Change(root, [&](reg::Document& doc) {
    if (doc.DeleteKey(key)) return true;
    SetLastError(reg::kErrorFileNotFound);
    return false;
  });
}

}  // namespace plat
