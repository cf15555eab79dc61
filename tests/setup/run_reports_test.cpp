// What a setup run tells those beside its windows: which box each box is and what it is about,
// and how far the preparation and the installation run are.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/progress_observer.h"
#include "tests/setup/demo_package.h"
#include "tests/setup/setup_fixture.h"

namespace tovin::test {
namespace {

enum Scenario { kOverwrite, kCopyFails, kNewDestination, kNoDestination, kDiskMissing, kWrongDisk, kAbort };

struct BoxCase {
  const char* name;
  Scenario scenario;
  std::vector<std::string> boxes;  // "id subject" of every box, in order; {pkg} is the package folder
};

class BoxIds : public SetupTest, public ::testing::WithParamInterface<BoxCase> {
 protected:
  void Arrange(Scenario scenario, TSetupAnswers& answers) {
    std::string config = kConfig;
    if (scenario == kCopyFails) config.insert(config.find("[Files - OverWrite]"), "F5=absent.dat~<INSTALLDIR>\r\n");
    if (scenario == kNoDestination) config.replace(config.find("D1=<INSTALLDIR>~\r\n"), 18, "");
    bool big = scenario == kDiskMissing || scenario == kWrongDisk;
    Package(big ? BigFiles() : kFiles, config, big ? 16384 : 1440000);
    if (scenario == kOverwrite) {
      CreateDirectoryPath(Windows() + "\\System");
      WriteFile(Windows() + "\\System\\shared.dll", "older");
      answers.Overwrite = true;
    }
    if (scenario == kNewDestination) answers.Destination = "C:\\Elsewhere";
    if (scenario == kDiskMissing) plat::DeleteFile(segments[1]);
    if (scenario == kWrongDisk) {
      std::string bytes = ReadFile(segments[1]);
      bytes[6] = 3;  // the segment number
      WriteFile(segments[1], bytes);
    }
    if (scenario == kAbort) beforeRun = [this](const TSetupWindows&) { ClickThePreparingWindow(); };
  }

  // A click while the preparing window copies its first file, and Abort to the question.
  void ClickThePreparingWindow() {
    for (ui::TForm* f : app.Forms())
      if (auto* unzip = dynamic_cast<TUnzip*>(f)) backend.AtProcessMessages(3, [unzip] { unzip->FormClick(); });
    script = [](const ui::TMessageRequest& r) -> std::optional<ui::THeadlessAnswer> {
      if (r.Id == box::kAbortSetup) return ui::THeadlessAnswer::Press("Abort");
      return std::nullopt;
    };
  }
};

TEST_P(BoxIds, EveryBoxSaysWhichItIsAndWhatItIsAbout) {
  TSetupAnswers answers;
  Arrange(GetParam().scenario, answers);
  Run(answers);
  std::vector<std::string> boxes, expected;
  for (const auto& e : backend.Transcript()) boxes.push_back(e.Id + " " + e.Subject);
  for (std::string b : GetParam().boxes) {
    if (auto at = b.find("{pkg}"); at != std::string::npos) b.replace(at, 5, Pkg());
    expected.push_back(b);
  }
  EXPECT_EQ(boxes, expected);
}

const std::string kDisk2 = "insert-disk {pkg}\\TovinSetup.002";
// The failed expansion's box keeps its cause.
const std::string kAbortedOn2 = "expand-failed (segment TovinSetup.002: (TSegVellox) Operation aborted by user)";

INSTANTIATE_TEST_SUITE_P(
    EveryBox, BoxIds,
    ::testing::Values(BoxCase{"Overwrite", kOverwrite, {"overwrite-file shared.dll"}},
                      BoxCase{"CopyFails", kCopyFails, {"copy-failed absent.dat"}},
                      BoxCase{"NewDestination", kNewDestination, {"create-directory C:\\Elsewhere"}},
                      BoxCase{"NoDestination", kNoDestination, {"exception "}},
                      BoxCase{"DiskMissing", kDiskMissing,
                              {kDisk2, kDisk2, "segment-missing tovinsetup.002", kAbortedOn2}},
                      BoxCase{"WrongDisk", kWrongDisk, {"wrong-segment tovinsetup.002", kAbortedOn2}},
                      BoxCase{"Abort", kAbort, {"abort-setup ", "expand-failed (aborted by the user)"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every report as one line: "P item position/max", "I item position/max" or "F".
class ProgressLog final : public TProgressObserver {
 public:
  std::vector<std::string> lines;
  void Preparing(const std::string& item, int position, int max) override { Add("P ", item, position, max); }
  void Installing(const std::string& item, int position, int max) override { Add("I ", item, position, max); }
  void Finished() override { lines.push_back("F"); }

 private:
  void Add(const char* phase, const std::string& item, int position, int max) {
    lines.push_back(phase + item + " " + std::to_string(position) + "/" + std::to_string(max));
  }
};

TEST_F(SetupTest, TheObserverHearsThePreparationAndThenTheInstallationInOrder) {
  Package(kFiles, kConfig);
  ProgressLog log;
  beforeRun = [&](const TSetupWindows& w) { w.Main.SetProgressObserver(&log); };
  ASSERT_TRUE(Run().InstallationFinished);
  // Four files, one shortcut and two INI entries of eight steps (the work-station list counts).
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "P install.exe 1/2", "P install.cfg 2/2", "P app.exe 1/5", "P help.txt 2/5",
                           "P license.txt 3/5", "P readme.txt 4/5", "P shared.dll 5/5", "F", "I app.exe 1/8",
                           "I readme.txt 2/8", "I help.txt 3/8", "I shared.dll 4/8", "I Demo App 5/8",
                           "I demo.ini 6/8", "I demo.ini 7/8", "F"}));
}

TEST_F(SetupTest, ARunThatStopsOnAnErrorStillTellsTheObserverItIsThrough) {
  std::string config = kConfig;
  config.replace(config.find("D1=<INSTALLDIR>~\r\n"), 18, "");
  Package(kFiles, config);
  ProgressLog log;
  beforeRun = [&](const TSetupWindows& w) { w.Main.SetProgressObserver(&log); };
  ASSERT_TRUE(Run().InstallationStarted);
  EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), "F"), 2);
  EXPECT_EQ(log.lines.back(), "F");
}

}  // namespace
}  // namespace tovin::test
