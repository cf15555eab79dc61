// tovin config [--root R] [DIR]: what a setup started in DIR reads from its install.cfg, and
// warnings about what it would silently ignore there.
#include <cstdio>
#include <iostream>
#include <optional>

#include "common/install_config.h"
#include "common/install_config_check.h"
#include "platform/platform.h"
#include "segment/seg_vellox.h"
#include "tools/cli_support.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"

namespace tovin::cli {
namespace {

constexpr const char* kBaseName = "tovinsetup";

bool IsFile(const std::string& path) {
  uint32_t a = plat::GetFileAttributes(path);
  return a != plat::kInvalidAttributes && (a & plat::kAttrDirectory) == 0;
}

// The members of the package in dir (which holds its first segment), listed without expanding.
PackageContents ReadPackageContents(const std::string& dir) {
  PackageContents contents;
  while (IsFile(dir + SegmentFileName(kBaseName, "", static_cast<unsigned>(contents.SegmentFiles) + 1)))
    ++contents.SegmentFiles;
  TSegVelloxEZ seg;
  TempFolder temp;
  seg.SetSegDir(dir);
  seg.SetSegBaseName(kBaseName);
  seg.SetSegTmpDir(temp.Path());
  seg.SegPopUp = false;
  seg.OnSegBeforeExpand = [&](TSegArcList& list) {
    for (const auto& arc : list) contents.Files.insert(contents.Files.end(), arc->Files.begin(), arc->Files.end());
    list.clear();  // listing only: nothing is expanded
  };
  seg.ExpandSet();
  return contents;
}

void Line(const char* name, const std::string& value) { std::cout << name << "=" << value << "\n"; }
void Line(const char* name, int32_t value) { std::cout << name << "=" << value << "\n"; }
void Line(const char* name, bool value) { std::cout << name << "=" << (value ? 1 : 0) << "\n"; }

void List(const char* name, const std::vector<std::string>& list) {
  for (size_t i = 0; i < list.size(); ++i) std::cout << name << "[" << i << "]=" << list[i] << "\n";
}

}  // namespace

int ConfigCommand(const Args& argsIn) {
  std::string root, dirName = ".";
  bool strict = false;
  OptionParser p("config", "[--root R] [--strict] [DIR]",
                 "Shows what a setup started in DIR (default: the current folder) reads from its install.cfg,\n"
                 "and warns on standard error about what the setup would pass over without a word.");
  p.Text("--root", "R", "the folder of the emulated Windows machine (POSIX)", root);
  p.Flag("--strict", "exit with status 1 when there is any warning (for an author's CI)", strict);
  p.Positional("DIR", "the folder holding install.cfg, and the package if there is one", dirName, false);
  if (!p.Parse(argsIn)) return kExitOk;
  Args machine;
  if (!root.empty()) machine = {"--root", root};
  SetUpMachine(machine);
  std::string dir = plat::FromHostPath(dirName);
  if (!plat::SetCurrentDirectory(dir)) {
    std::fprintf(stderr, "tovin: cannot change to %s: %s\n", plat::ToHostPath(dir).c_str(),
                 plat::SystemErrorMessage(plat::GetLastError()).c_str());
    return kExitFailure;
  }
  SetupSettings s;
  LookSettings look;
  ComputeSetupPaths(s);
  ReadInstallConfig(s, look);

  std::optional<PackageContents> package;
  if (IsFile(s.StartDir + kBaseName + ".001")) {
    try {
      package = ReadPackageContents(s.StartDir);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "tovin: warning: %s.001: %s; install.cfg is not checked against the package\n", kBaseName,
                   Printable(e.what()).c_str());
    }
  }
  auto warnings = CheckInstallConfig(s.StartDir, package ? &*package : nullptr);
  for (const auto& warning : warnings)
    std::fprintf(stderr, "tovin: warning: %s\n", FormatConfigWarning(warning).c_str());

  Line("StartDir", s.StartDir);
  Line("TempDir", s.TempDir);
  Line("SystemDriveRoot", s.SystemDriveRoot);
  Line("InstallDisks", s.InstallDisks);
  Line("InstallDir", s.InstallDir);
  Line("IniFile", s.IniFile);
  Line("Launch", s.Launch);
  Line("Folder", s.Folder);
  Line("AddToProgramFiles", s.AddToProgramFiles);
  Line("ShowWarningScreen", s.ShowWarningScreen);
  Line("ShowReBoot", s.ShowReBoot);
  Line("WorkStationPrompt", s.WorkStationPrompt);
  Line("BitmapFile", s.BitmapFile);
  Line("AlignCenter", s.AlignCenter);
  Line("AlignLeft", s.AlignLeft);
  Line("AlignRight", s.AlignRight);
  List("DirectoriesList", s.DirectoriesList);
  List("FilesList", s.FilesList);
  List("DesktopList", s.DesktopList);
  List("IniSetupList", s.IniSetupList);
  List("WorkStationList", s.WorkStationList);
  Line("FromColor", look.FromColor);
  Line("ToColor", look.ToColor);
  Line("Header", look.Header);
  Line("HeaderFontName", look.HeaderFontName);
  Line("HeaderFontSize", look.HeaderFontSize);
  Line("HeaderFontColor", look.HeaderFontColor);
  Line("HeaderFontShadow", look.HeaderFontShadow);
  Line("Header2", look.Header2);
  Line("Header2FontName", look.Header2FontName);
  Line("Header2FontSize", look.Header2FontSize);
  Line("Header2FontColor", look.Header2FontColor);
  Line("Header2FontShadow", look.Header2FontShadow);
  return strict && !warnings.empty() ? kExitFailure : kExitOk;
}

}  // namespace tovin::cli
