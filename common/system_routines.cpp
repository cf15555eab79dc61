#include "common/system_routines.h"

#include "platform/platform.h"
#include "platform/text.h"

namespace tovin {

namespace {
std::function<void(const std::string&, const std::string&, intptr_t)> g_shellObserver;
}  // namespace

void SetShellObserver(std::function<void(const std::string&, const std::string&, intptr_t)> observer) {
  g_shellObserver = std::move(observer);
}

void OpenWithShell(const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand) {
  intptr_t result = plat::ShellExecute(file, parameters, directory, showCommand);
  if (g_shellObserver) g_shellObserver(file, directory, result);
}

void NextField(std::string& text, char separator, std::string& field) {
  auto at = text.find(separator);
  if (at == std::string::npos) {
    field = text;
    return;
  }
  field = text.substr(0, at);
  text = text.substr(at + 1);
}

std::string GetWindowsDir() {
  std::string dir = plat::GetWindowsDirectory();
  if (dir.size() > 143) dir.resize(143);  // the 144-character buffer of the original call
  return dir.substr(0, dir.find('\0'));
}

bool PathIsWithin(const std::string& path, const std::string& folder) {
  auto canonical = [](const std::string& p) {
    std::string c = plat::GetFinalPathName(p).value_or(plat::GetFullPathName(p));
    while (c.size() > 3 && c.back() == '\\') c.pop_back();
    return plat::UpperCase(c);
  };
  std::string inner = canonical(path), outer = canonical(folder);
  if (outer.back() != '\\') outer += '\\';
  return inner + '\\' == outer || inner.rfind(outer, 0) == 0;
}

}  // namespace tovin
