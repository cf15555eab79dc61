// Registry calls of the platform layer over the real registry (ANSI calls). The Reg*
// functions return their error instead of setting it; it is set here for GetLastError.
#include <windows.h>

#include <cstring>
#include <vector>

// The A/W macros of <windows.h> would rename this layer's own functions.
#undef RegCreateKey
#undef RegDeleteValue
#undef RegDeleteKey

#include "platform/platform.h"
#include "platform/registry_file.h"

namespace plat {
namespace {

HKEY RootKey(RegRoot) { return HKEY_LOCAL_MACHINE; }

bool Ok(LONG status) {
  if (status != ERROR_SUCCESS) ::SetLastError(static_cast<DWORD>(status));
  return status == ERROR_SUCCESS;
}

class Key {
 public:
  ~Key() {
    if (h_) ::RegCloseKey(h_);
  }
  bool Create(RegRoot root, const std::string& subKey) {
    return Ok(::RegCreateKeyExA(RootKey(root), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_WRITE | KEY_READ, nullptr, &h_, nullptr));
  }
  bool Open(RegRoot root, const std::string& subKey, REGSAM access) {
    return Ok(::RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, access, &h_));
  }
  HKEY Get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

// Deletes the subkeys of key below parent, depth first, then the key itself: RegDeleteKey
// refuses a key that still has subkeys.
LONG DeleteTree(HKEY parent, const std::string& name) {
  HKEY key;
  LONG status = ::RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key);
  if (status != ERROR_SUCCESS) return status;
  for (;;) {
    char sub[256];
    DWORD length = sizeof sub;
    // Always the first: each deletion renumbers the rest.
    status = ::RegEnumKeyExA(key, 0, sub, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) status = DeleteTree(key, sub);
    if (status != ERROR_SUCCESS) {
      ::RegCloseKey(key);
      return status;
    }
  }
  ::RegCloseKey(key);
  return ::RegDeleteKeyA(parent, name.c_str());
}

}  // namespace

bool RegCreateKey(RegRoot root, const std::string& subKey) {
  Key key;
  return key.Create(root, subKey);
}

bool RegSetStringValue(RegRoot root, const std::string& subKey, const std::string& valueName,
                       const std::string& data) {
  Key key;
  if (!key.Create(root, subKey)) return false;
  const char* text = data.c_str();
  return Ok(::RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>(std::strlen(text) + 1)));
}

std::optional<std::string> RegQueryStringValue(RegRoot root, const std::string& subKey,
                                               const std::string& valueName) {
  Key key;
  if (!key.Open(root, subKey, KEY_QUERY_VALUE)) return std::nullopt;
  std::vector<char> buffer(256);
  for (;;) {
    DWORD type = 0, size = static_cast<DWORD>(buffer.size());
    LONG status = ::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status == ERROR_MORE_DATA) {
      buffer.resize(size + 1);
      continue;
    }
    if (!Ok(status)) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      ::SetLastError(reg::kErrorUnsupportedType);
      return std::nullopt;
    }
    // The stored string need not end in a zero; it ends at the first one it holds.
    std::string value(buffer.data(), size);
    return value.substr(0, value.find('\0'));
  }
}

bool RegDeleteValue(RegRoot root, const std::string& subKey, const std::string& valueName) {
  Key key;
  return key.Open(root, subKey, KEY_SET_VALUE) && Ok(::RegDeleteValueA(key.Get(), valueName.c_str()));
}

std::optional<RegKeyCounts> RegQueryKeyCounts(RegRoot root, const std::string& subKey) {
  Key key;
  if (!key.Open(root, subKey, KEY_READ)) return std::nullopt;
  DWORD subkeys = 0, values = 0;
  if (!Ok(::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr)))
    return std::nullopt;
  return RegKeyCounts{subkeys, values};
}

bool RegDeleteKey(RegRoot root, const std::string& subKey) {
  // An empty path would name the root: never empty a whole hive through this call.
  if (reg::SplitKeyPath(subKey.c_str()).empty()) {
    ::SetLastError(reg::kErrorAccessDenied);
    return false;
  }
  return Ok(DeleteTree(RootKey(root), subKey));
}

}  // namespace plat
