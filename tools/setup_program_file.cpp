#include "tools/setup_program_file.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/platform.h"

#ifndef TOVIN_BUILT_SETUP_EXE
#define TOVIN_BUILT_SETUP_EXE ""
#endif

namespace tovin::cli {
namespace {

namespace fs = std::filesystem;

bool IsFile(const std::string& path) {
  uint32_t a = plat::GetFileAttributes(path);
  return a != plat::kInvalidAttributes && !(a & plat::kAttrDirectory);
}

// Host paths: beside tovin (bin/install.exe), in its data folder once installed
// (share/tovin/install.exe), and the build's own.
std::vector<std::string> Places() {
  std::vector<std::string> places;
  std::error_code failed;
#ifndef _WIN32
  fs::path self = fs::read_symlink("/proc/self/exe", failed);
  if (!failed) {
    places.push_back((self.parent_path() / "install.exe").string());
    places.push_back((self.parent_path().parent_path() / "share" / "tovin" / "install.exe").string());
  }
#endif
  if (*TOVIN_BUILT_SETUP_EXE) places.push_back(TOVIN_BUILT_SETUP_EXE);
  return places;
}

}  // namespace

std::string FindSetupProgram(const std::string& srcDir) {
  if (IsFile(srcDir + "\\install.exe")) return srcDir + "\\install.exe";
  for (const std::string& place : Places()) {
    std::string path = plat::FromHostPath(place);
    if (IsFile(path)) return path;
  }
  return {};
}

std::string SetupProgramPlaces() {
  std::string text;
  for (const std::string& place : Places()) text += (text.empty() ? "" : ", ") + place;
  return text;
}

}  // namespace tovin::cli
