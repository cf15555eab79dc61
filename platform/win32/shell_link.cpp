// Shell links through the Windows shell's link object (IShellLinkA, IPersistFile).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "platform/platform.h"

namespace plat {
namespace {

constexpr DWORD kInProcOrLocalServer = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;  // 5

// COM stays initialized for the rest of the thread's life once a link call needed it. A
// thread already in the multithreaded apartment can use the link object as it is.
void EnsureCom() {
  thread_local bool initialized = false;
  if (!initialized) {
    ::CoInitialize(nullptr);
    initialized = true;
  }
}

void SetErrorFrom(HRESULT hr) {
  ::SetLastError(HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr));
}

std::wstring Wide(const std::string& s) {
  int n = ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(n > 0 ? n : 1, L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
  w.resize(w.size() - 1);
  return w;
}

// The link object with its two interfaces; released on destruction.
class LinkObject {
 public:
  LinkObject() {
    EnsureCom();
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, kInProcOrLocalServer, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&link_));
    if (SUCCEEDED(hr)) hr = link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_));
    if (FAILED(hr)) SetErrorFrom(hr);
  }
  ~LinkObject() {
    if (file_) file_->Release();
    if (link_) link_->Release();
  }
  LinkObject(const LinkObject&) = delete;
  LinkObject& operator=(const LinkObject&) = delete;

  bool Ready() const { return link_ && file_; }
  IShellLinkA* Link() const { return link_; }
  IPersistFile* File() const { return file_; }

 private:
  IShellLinkA* link_ = nullptr;
  IPersistFile* file_ = nullptr;
};

bool Check(HRESULT hr) {
  if (FAILED(hr)) SetErrorFrom(hr);
  return SUCCEEDED(hr);
}

}  // namespace

bool SaveShellLink(const ShellLink& link, const std::string& linkPath) {
  LinkObject object;
  if (!object.Ready()) return false;
  // A fresh link object holds nothing, so an empty part needs no call.
  IShellLinkA* l = object.Link();
  bool hasIcon = !link.iconLocation.empty() || link.iconIndex != 0;
  return (link.target.empty() || Check(l->SetPath(link.target.c_str()))) &&
         (link.workingDirectory.empty() || Check(l->SetWorkingDirectory(link.workingDirectory.c_str()))) &&
         (!hasIcon || Check(l->SetIconLocation(link.iconLocation.c_str(), link.iconIndex))) &&
         Check(object.File()->Save(Wide(linkPath).c_str(), FALSE));
}

std::optional<ShellLink> LoadShellLink(const std::string& linkPath) {
  LinkObject object;
  if (!object.Ready() || !Check(object.File()->Load(Wide(linkPath).c_str(), STGM_READ))) return std::nullopt;
  IShellLinkA* l = object.Link();
  char buffer[INFOTIPSIZE + 1] = {};
  ShellLink link;
  int index = 0;
  if (!Check(l->GetPath(buffer, INFOTIPSIZE, nullptr, SLGP_RAWPATH))) return std::nullopt;
  link.target = buffer;
  buffer[0] = 0;
  if (!Check(l->GetWorkingDirectory(buffer, INFOTIPSIZE))) return std::nullopt;
  link.workingDirectory = buffer;
  buffer[0] = 0;
  if (!Check(l->GetIconLocation(buffer, INFOTIPSIZE, &index))) return std::nullopt;
  link.iconLocation = buffer;
  link.iconIndex = index;
  return link;
}

}  // namespace plat
