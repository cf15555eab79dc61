#include "app/system_routines.h"

#include "platform/platform.h"

namespace tovin {

void OpenWithShell(const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand) {
  plat::ShellExecute(file, parameters, directory, showCommand);
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

}  // namespace tovin
