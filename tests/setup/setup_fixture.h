// A package folder made with the project's writers in a fresh machine (an emulated one on POSIX,
// the real one on Windows, where the test runs under Wine in a fresh prefix), and the setup
// program run on it through the headless backend.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/main_setup.h"
#include "app/setup_answers.h"
#include "app/setup_program.h"
#include "common/system_routines.h"
#include "app/unattended_driver.h"
#include "common/box_ids.h"
#include "platform/platform.h"
#include "prepare/unzip_form.h"
#include "segment/package_layout.h"
#include "segment/package_writer.h"
#include "tests/support/test_machine.h"
#include "ui/headless/headless_backend.h"
#include "wizard/select_directory.h"
#include "wizard/tovin_wizard.h"

namespace tovin::test {

class SetupTest : public MachineTest {
 protected:
  std::string Pkg() { return Path("pkg"); }
  std::string Src() { return Path("src"); }

  // The files of the package, by name; install.cfg and install.exe go beside the set.
  void Package(const std::map<std::string, std::string>& files, const std::string& config, int32_t segSize = 1440000) {
    plat::CreateDirectory(Src());
    plat::CreateDirectory(Pkg());
    std::vector<SourceFile> sources;
    for (const auto& [name, bytes] : files) {
      std::string path = Src() + "\\" + name;
      auto cut = name.rfind('\\');
      if (cut != std::string::npos) CreateDirectoryPath(Src() + "\\" + name.substr(0, cut));
      WriteFile(path, bytes);
      if (readOnly.count(name)) plat::SetFileAttributes(path, plat::kAttrReadOnly);
      sources.push_back({path, name, bytes.size()});
    }
    PackageOptions o;
    o.OutDir = Pkg();
    o.SegSize = segSize;
    segments = WritePackage(GroupIntoArchives(sources, false), o).Segments;
    WriteFile(Pkg() + "\\install.cfg", config);
    WriteFile(Pkg() + "\\install.exe", "MZ setup program");
  }

  // Runs the setup from the package folder; driver (optional) replaces the answers driver.
  TSetupOutcome Run(const TSetupAnswers& answers = {}) {
    EXPECT_TRUE(plat::SetCurrentDirectory(startDir.empty() ? Pkg() : startDir));
    launches.clear();
    SetShellObserver([this](const std::string& file, const std::string& dir, intptr_t) { launches.push_back(dir + file); });
    TSetupOutcome outcome = RunSetupProgram(app, [&](const TSetupWindows& w) {
      windows.emplace(w);
      driver = std::make_unique<TUnattendedDriver>(answers, w);
      backend.OnIdle = [this](ui::TForm& f) { return driver->OnIdle(f); };
      backend.Script = [this](const ui::TMessageRequest& r) -> std::optional<ui::THeadlessAnswer> {
        if (script) {
          if (auto a = script(r)) return a;
        }
        return driver->Answer(r);
      };
      if (beforeRun) beforeRun(w);
    });
    SetShellObserver({});
    for (const auto& e : backend.Transcript()) EXPECT_FALSE(e.Id.empty()) << "a box without an identifier: " << e.Text;
    return outcome;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& e : backend.Transcript()) texts.push_back(e.Text);
    return texts;
  }
  std::string Windows() { return plat::GetWindowsDirectory(); }

  ui::THeadlessBackend backend;
  ui::TApplication app{backend};
  std::vector<std::string> segments;
  std::set<std::string> readOnly;  // files that Package stores as read-only members
  std::string startDir;            // where Run starts the setup; empty: the package folder
  std::vector<std::string> launches;
  std::unique_ptr<TUnattendedDriver> driver;
  std::optional<TSetupWindows> windows;
  std::function<std::optional<ui::THeadlessAnswer>(const ui::TMessageRequest&)> script;
  std::function<void(const TSetupWindows&)> beforeRun;
};

}  // namespace tovin::test
