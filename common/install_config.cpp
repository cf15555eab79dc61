#include "common/install_config.h"

#include "common/profile_reader.h"
#include "common/system_routines.h"
#include "platform/platform.h"

namespace tovin {

void ComputeSetupPaths(SetupSettings& s) {
  s.StartDir = plat::GetCurrentDirectory();
  if (s.StartDir.size() > 3) s.StartDir += "\\";
  std::string windows = GetWindowsDir();
  s.SystemDriveRoot = windows.substr(0, 3);
  s.TempDir = windows + "\\Temp\\t";
}

namespace {

std::vector<std::string> ReadList(const ProfileReader& cfg, const std::string& section) {
  std::vector<std::string> list;
  for (const auto& key : cfg.ReadSectionKeys(section)) list.push_back(cfg.ReadString(section, key, ""));
  return list;
}

}  // namespace

void ReadInstallConfig(SetupSettings& s, LookSettings& look) {
  ProfileReader cfg(s.StartDir + "install.cfg");
  s.DirectoriesList.clear();
  s.FilesList.clear();
  s.DesktopList.clear();
  s.IniSetupList.clear();
  s.WorkStationList.clear();

  const std::string main = "Setup - Main";
  s.InstallDisks = cfg.ReadInteger(main, "Install Disks", 0);
  s.InstallDir = cfg.ReadString(main, "Install Dir", "");
  s.IniFile = cfg.ReadString(main, "INI File", "");
  s.Launch = cfg.ReadString(main, "Launch", "");
  s.Folder = cfg.ReadString(main, "Folder", "Accessories");
  s.AddToProgramFiles = cfg.ReadBool(main, "Add to Program Files", false);
  s.ShowWarningScreen = cfg.ReadBool(main, "Show Warning Screen", true);
  s.ShowReBoot = cfg.ReadBool(main, "Show Re-Boot", true);
  s.WorkStationPrompt = cfg.ReadBool(main, "Work Station Prompt", false);
  s.BitmapFile = cfg.ReadString(main, "Bitmap File", "");
  s.AlignCenter = cfg.ReadBool(main, "Align Center", true);
  s.AlignLeft = cfg.ReadBool(main, "Align Left", false);
  s.AlignRight = cfg.ReadBool(main, "Align Right", false);

  look.FromColor = cfg.ReadInteger(main, "Dither From", look.FromColor);
  look.ToColor = cfg.ReadInteger(main, "Dither To", look.ToColor);
  look.Header = cfg.ReadString(main, "Header", "Tovin - Brastow 32Bit");
  look.HeaderFontName = cfg.ReadString(main, "Header Font Name", look.HeaderFontName);
  look.HeaderFontSize = cfg.ReadInteger(main, "Header Font Size", look.HeaderFontSize);
  look.HeaderFontColor = cfg.ReadInteger(main, "Header Font Color", look.HeaderFontColor);
  look.HeaderFontShadow = cfg.ReadInteger(main, "Header Font Shadow", look.HeaderFontShadow);
  look.Header2 = cfg.ReadString(main, "Header2", look.Header2);
  look.Header2FontName = cfg.ReadString(main, "Header2 Font Name", look.Header2FontName);
  look.Header2FontSize = cfg.ReadInteger(main, "Header2 Font Size", look.Header2FontSize);
  look.Header2FontColor = cfg.ReadInteger(main, "Header2 Font Color", look.Header2FontColor);
  look.Header2FontShadow = cfg.ReadInteger(main, "Header2 Font Shadow", look.Header2FontShadow);

  s.DirectoriesList = ReadList(cfg, "Directories");
  const std::string files = "Files";
  auto fileKeys = cfg.ReadSectionKeys(files);
  for (size_t i = 0; i < fileKeys.size(); ++i) {
    bool ask = cfg.ReadBool(files + " - OverWrite", "File #" + std::to_string(i), false);
    s.FilesList.push_back(cfg.ReadString(files, fileKeys[i], "") + (ask ? "~X" : "~"));
  }
  s.DesktopList = ReadList(cfg, "Desktop");
  s.IniSetupList = ReadList(cfg, "INI - Setup");
  s.WorkStationList = ReadList(cfg, "WorkStation");
}

}  // namespace tovin
