// A wizard and its directory dialog on the headless backend, with a host that holds the
// settings the way the background window would.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "common/box_ids.h"
#include "common/setup_host.h"
#include "common/system_routines.h"
#include "tests/support/test_machine.h"
#include "ui/headless/headless_backend.h"
#include "ui/ui.h"
#include "wizard/select_directory.h"
#include "wizard/tovin_wizard.h"

namespace tovin::test {

class FakeHost : public TSetupHost {
 public:
  explicit FakeHost(ui::TApplication& app) : background(app, "Background") { background.SetBounds(0, 0, 1024, 768); }
  SetupSettings settings;
  std::string header = "Test Product";
  ui::TForm background;
  int rebootCleared = 0;
  SetupSettings& Settings() override { return settings; }
  std::string HeaderText() const override { return header; }
  ui::TForm& BackgroundForm() override { return background; }
  void ShowBitmap(const std::string&) override {}
  void ClearTempDir() override {}
  void ClearRebootChoice() override { ++rebootCleared; }
  TProgressObserver& Progress() override { return progress; }
  TProgressObserver progress;
};

class WizardTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    host = std::make_unique<FakeHost>(app);
    std::string windows = GetWindowsDir();
    host->settings.SystemDriveRoot = windows.substr(0, 3);
    host->settings.TempDir = Path("temp");  // per test: on Windows the machine is not fresh
    CreateDirectoryPath(host->settings.TempDir);
    dialog = std::make_unique<TForm3>(app);
  }
  void TearDown() override {
    wizard.reset();
    dialog.reset();
    host.reset();
    MachineTest::TearDown();
  }
  TTovin& Wizard() {
    if (!wizard) wizard = std::make_unique<TTovin>(app, *host, *dialog);
    return *wizard;
  }
  // Shows the wizard modally and lets driver act each time its loop is idle; driver returns
  // false to leave the wizard open (the loop then stalls, which is a test failure).
  ui::TModalResult Drive(std::function<bool(TTovin&)> driver) {
    backend.OnIdle = [this, driver](ui::TForm& form) { return &form == wizard.get() && driver(*wizard); };
    return Wizard().ShowModal();
  }
  void Licence(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "licence line " + std::to_string(i) + "\r\n";
    WriteFile(host->settings.TempDir + "\\license.txt", text);
  }

  ui::THeadlessBackend backend;
  ui::TApplication app{backend};
  std::unique_ptr<FakeHost> host;
  std::unique_ptr<TForm3> dialog;
  std::unique_ptr<TTovin> wizard;
};

}  // namespace tovin::test
