// tovin config [--root R] [DIR]: what a setup started in DIR reads from its install.cfg, and
// warnings about what it would silently ignore there.
#include <cstdio>
#include <iostream>
#include <optional>

#include <nlohmann/json.hpp>

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

// What the setup reads, as name=value lines or as one JSON object.
class Report {
 public:
  explicit Report(bool json) : json_(json) {}
  void Line(const char* name, const std::string& value) { Put(name, value, value); }
  void Line(const char* name, int32_t value) { Put(name, value, std::to_string(value)); }
  void Line(const char* name, bool value) { Put(name, value, value ? "1" : "0"); }
  void List(const char* name, const std::vector<std::string>& list) {
    if (json_) doc_[name] = list;
    else
      for (size_t i = 0; i < list.size(); ++i) std::cout << name << "[" << i << "]=" << list[i] << "\n";
  }
  void Warnings(const std::vector<TConfigWarning>& warnings) {
    if (!json_) return;
    doc_["warnings"] = nlohmann::json::array();
    for (const auto& w : warnings) doc_["warnings"].push_back({{"line", w.Line}, {"text", w.Text}});
  }
  void Print() {
    // install.cfg is 8-bit Windows text: bytes that are not UTF-8 come out as U+FFFD.
    if (json_) std::cout << doc_.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  }

 private:
  template <typename T>
  void Put(const char* name, const T& value, const std::string& text) {
    if (json_) doc_[name] = value;
    else std::cout << name << "=" << text << "\n";
  }
  bool json_;
  nlohmann::json doc_ = nlohmann::json::object();
};

}  // namespace

int ConfigCommand(const Args& argsIn) {
  std::string root, dirName = ".";
  bool strict = false, json = false;
  OptionParser p("config", "[--root R] [--strict] [--json] [DIR]",
                 "Shows what a setup started in DIR (default: the current folder) reads from its install.cfg,\n"
                 "and warns on standard error about what the setup would pass over without a word.");
  p.Text("--root", "R", "the folder of the emulated Windows machine (POSIX)", root);
  p.Flag("--json", "print the settings and the warnings as one JSON document", json);
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

  Report r(json);
  r.Line("StartDir", s.StartDir);
  r.Line("TempDir", s.TempDir);
  r.Line("SystemDriveRoot", s.SystemDriveRoot);
  r.Line("InstallDisks", s.InstallDisks);
  r.Line("InstallDir", s.InstallDir);
  r.Line("IniFile", s.IniFile);
  r.Line("Launch", s.Launch);
  r.Line("Folder", s.Folder);
  r.Line("AddToProgramFiles", s.AddToProgramFiles);
  r.Line("ShowWarningScreen", s.ShowWarningScreen);
  r.Line("ShowReBoot", s.ShowReBoot);
  r.Line("WorkStationPrompt", s.WorkStationPrompt);
  r.Line("BitmapFile", s.BitmapFile);
  r.Line("AlignCenter", s.AlignCenter);
  r.Line("AlignLeft", s.AlignLeft);
  r.Line("AlignRight", s.AlignRight);
  r.List("DirectoriesList", s.DirectoriesList);
  r.List("FilesList", s.FilesList);
  r.List("DesktopList", s.DesktopList);
  r.List("IniSetupList", s.IniSetupList);
  r.List("WorkStationList", s.WorkStationList);
  r.Line("FromColor", look.FromColor);
  r.Line("ToColor", look.ToColor);
  r.Line("Header", look.Header);
  r.Line("HeaderFontName", look.HeaderFontName);
  r.Line("HeaderFontSize", look.HeaderFontSize);
  r.Line("HeaderFontColor", look.HeaderFontColor);
  r.Line("HeaderFontShadow", look.HeaderFontShadow);
  r.Line("Header2", look.Header2);
  r.Line("Header2FontName", look.Header2FontName);
  r.Line("Header2FontSize", look.Header2FontSize);
  r.Line("Header2FontColor", look.Header2FontColor);
  r.Line("Header2FontShadow", look.Header2FontShadow);
  r.Warnings(warnings);
  r.Print();
  return strict && !warnings.empty() ? kExitFailure : kExitOk;
}

}  // namespace tovin::cli
