// The demonstration package the setup tests install: its configuration, its files and where
// they go.
#pragma once
#include <cstdint>
#include <map>
#include <string>

namespace tovin::test {

inline const char* kConfig =
    "[Setup - Main]\r\n"
    "Install Dir=Demo App\r\n"
    "Add to Program Files=1\r\n"
    "INI File=demo.ini\r\n"
    "Launch=<INSTALLDIR>app.exe\r\n"
    "Folder=Demo\r\n"
    "Show Re-Boot=1\r\n"
    "Header=Demo Product\r\n"
    "[Directories]\r\n"
    "D1=<INSTALLDIR>~\r\n"
    "D2=<SUBDOCS>~docs\r\n"
    "D3=<WINDOWS_SYSTEM>~\r\n"
    "[Files]\r\n"
    "F1=app.exe~<INSTALLDIR>\r\n"
    "F2=help.txt~<SUBDOCS>\r\n"
    "F3=shared.dll~<WINDOWS_SYSTEM>\r\n"
    "F4=readme.txt~<INSTALLDIR>\r\n"
    "[Files - OverWrite]\r\n"
    "File #2=1\r\n"
    "[Desktop]\r\n"
    "S1=Demo App~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe\r\n"
    "[INI - Setup]\r\n"
    "I1=Paths~Home~<INSTALLDIR>\r\n"
    "I2=Paths~Docs~<SUBDOCS>index\r\n"
    "[WorkStation]\r\n"
    "W1=app.exe~<INSTALLDIR>\r\n";

inline const std::map<std::string, std::string> kFiles = {{"app.exe", "MZ application"},
                                                          {"docs\\help.txt", "help text"},
                                                          {"sys\\shared.dll", "MZ shared"},
                                                          {"readme.txt", "read me"},
                                                          {"license.txt", "line one\r\nline two\r\n"}};

inline const std::string kDest = "C:\\Program Files\\Demo App";

// Files that do not fit one 16 KiB segment: a text that compresses, and noise that does not.
inline std::map<std::string, std::string> BigFiles() {
  std::map<std::string, std::string> files = kFiles;
  std::string text, noise(30000, '\0');
  for (int i = 0; i < 40000; ++i) text += "line " + std::to_string(i * 7919 % 10007) + "\n";
  uint32_t x = 7;
  for (auto& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  files["big.txt"] = text;
  files["noise.bin"] = noise;
  return files;
}

}  // namespace tovin::test
