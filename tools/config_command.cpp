// tovin config [--root R] [DIR]: what a setup started in DIR reads from its install.cfg.
#include <cstdio>
#include <iostream>

#include "app/install_config.h"
#include "platform/platform.h"
#include "tools/commands.h"

namespace tovin::cli {
namespace {

void Line(const char* name, const std::string& value) { std::cout << name << "=" << value << "\n"; }
void Line(const char* name, int32_t value) { std::cout << name << "=" << value << "\n"; }
void Line(const char* name, bool value) { std::cout << name << "=" << (value ? 1 : 0) << "\n"; }

void List(const char* name, const std::vector<std::string>& list) {
  for (size_t i = 0; i < list.size(); ++i) std::cout << name << "[" << i << "]=" << list[i] << "\n";
}

}  // namespace

int ConfigCommand(const Args& argsIn) {
  Args args = argsIn;
  SetUpMachine(args);
  if (args.size() > 1 || (!args.empty() && args[0].rfind("-", 0) == 0)) {
    std::fprintf(stderr, "usage: tovin config [--root R] [DIR]\n");
    return 2;
  }
  std::string dir = plat::FromHostPath(args.empty() ? "." : args[0]);
  if (!plat::SetCurrentDirectory(dir)) {
    std::fprintf(stderr, "tovin: cannot change to %s: %s\n", dir.c_str(),
                 plat::SystemErrorMessage(plat::GetLastError()).c_str());
    return 1;
  }
  SetupSettings s;
  LookSettings look;
  ComputeSetupPaths(s);
  ReadInstallConfig(s, look);

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
  return 0;
}

}  // namespace tovin::cli
