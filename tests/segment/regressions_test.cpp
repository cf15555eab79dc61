// Every input a fuzz target once troubled, replayed as the target ran it: archive-* as an
// archive extracted and tested, package-* as the package target's input (fuzz/package_input.h)
// expanded the way the setup expands it. Each ends within seconds with a defined error or none,
// and writes nothing but below its target.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "container/vellox.h"
#include "fuzz/package_input.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "platform/stream.h"
#include "tests/segment/segment_fixture.h"
#include "segment/seg_format.h"
#include "segment/seg_vellox.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

std::vector<std::string> RegressionInputs() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(TOVIN_REGRESSIONS_DIR))
    if (entry.path().filename() != "README.md") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Bytes(const std::string& name) {
  std::ifstream in(std::string(TOVIN_REGRESSIONS_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Regressions : public MachineTest {
 protected:
  // What the machine holds outside the target folder "out", by name.
  std::vector<std::string> BesideTarget() {
    std::vector<std::string> names;
    for (const auto& f : plat::FindFiles(Path("*"), plat::kAttrMaskAll))
      if (f.name != "." && f.name != ".." && f.name != "out" && f.name != "pkg" && f.name != "tmp")
        names.push_back(f.name);
    return names;
  }
  void Archive(const std::string& bytes) {
    std::string capped = bytes;
    fuzz::CapMemberSizes(capped);
    for (int32_t key : {0, 0x0BADF00D})
      for (bool testOnly : {true, false}) {
        TVellox v;
        v.SetTargetPath(Path("out\\"));
        v.MakeDirectories = true;
        v.TestOnly = testOnly;
        v.KeyValue = key;
        v.OnRecognize = [](const std::string&, bool& ok) { ok = true; };
        try {
          MemoryStream in(capped);
          v.ExpandArchiveStream(in);
        } catch (const Exception&) {
        }
      }
  }
  void Package(const std::string& bytes) {
    auto input = fuzz::ReadPackageInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ASSERT_FALSE(input.Segments.empty());
    ASSERT_TRUE(plat::CreateDirectory(Path("pkg")));
    for (unsigned n = 1; n <= input.Segments.size(); ++n) WriteFile(Path("pkg\\" + SegmentFileName("set", "", n)), input.Segments[n - 1]);
    for (bool testOnly : {true, false}) {
      for (const ReadingWay& way : kReadingWays) {
        TSegVelloxEZ seg;
        way.ApplyTo(seg);
        seg.SetSegDir(Path("pkg"));
        seg.SetSegBaseName("set");
        seg.SegPopUp = false;
        seg.SetSegTmpDir(Path("tmp"));
        seg.TestOnly = testOnly;
        seg.KeyValue = input.Key;
        seg.OnCheckFile = [&](std::string& path, TCProcessMode) {
          path = Path("out\\" + path.substr(path.find_last_of("\\/:") + 1));
        };
        try {
          seg.ExpandSet();
        } catch (const Exception&) {
        }
      }
    }
  }
};

TEST_F(Regressions, EveryInputEndsAtOnceAndWritesOnlyBelowItsTarget) {
  auto names = RegressionInputs();
  ASSERT_FALSE(names.empty());
  ASSERT_TRUE(plat::CreateDirectory(Path("out")));
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    std::string bytes = Bytes(name);
    auto start = std::chrono::steady_clock::now();
    if (name.rfind("archive-", 0) == 0) Archive(bytes);
    else if (name.rfind("package-", 0) == 0) Package(bytes);
    else ADD_FAILURE() << "no replay for this kind of input (archive-* or package-*)";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(BesideTarget(), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace tovin::test
