// What a setup knows about itself: its three paths and everything install.cfg says.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovin {

struct SetupSettings {
  std::string StartDir;         // ends in a backslash
  std::string TempDir;          // Windows directory + "\Temp\t"
  std::string SystemDriveRoot;  // such as C:\ .

  int32_t InstallDisks = 0;
  std::string InstallDir;
  std::string IniFile;
  std::string Launch;
  std::string Folder = "Accessories";
  bool AddToProgramFiles = false;
  bool ShowWarningScreen = true;
  bool ShowReBoot = true;
  bool WorkStationPrompt = false;
  std::string BitmapFile;
  bool AlignCenter = true;
  bool AlignLeft = false;
  bool AlignRight = false;

  std::vector<std::string> DirectoriesList;
  std::vector<std::string> FilesList;  // each entry ends in "~X" (ask before overwriting) or "~"
  std::vector<std::string> DesktopList;
  std::vector<std::string> IniSetupList;
  std::vector<std::string> WorkStationList;
};

// The look of the background window as install.cfg sets it. Start from the controls' current
// values: a key that is missing leaves its value as it was.
struct LookSettings {
  int32_t FromColor = 0xFF0000;  // blue, 0x00BBGGRR
  int32_t ToColor = 0;
  std::string Header = "Tovin - Brastow 32Bit v1.0";
  std::string HeaderFontName = "Impact";
  int32_t HeaderFontSize = 26;
  int32_t HeaderFontColor = 0;
  int32_t HeaderFontShadow = 0xFFFFFF;
  std::string Header2 = "Setup engine by the Tovin developers";
  std::string Header2FontName = "Times New Roman";
  int32_t Header2FontSize = 10;
  int32_t Header2FontColor = 0;
  int32_t Header2FontShadow = 0xFFFFFF;
};

}  // namespace tovin
