// Damaged packages: every truncation and many bit flips of a small multi-segment package end
// in a defined error or in a run that completes; nothing is written outside the target.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/posix/machine.h"
#include "tests/segment/segment_fixture.h"

namespace tovin::test {
namespace {

class SegDamage : public ReadingWayTest {
 protected:
  void SetUp() override {
    ReadingWayTest::SetUp();
    std::string text;
    for (int i = 0; i < 60; ++i) text += "package line " + std::to_string(i) + "\r\n";
    files_ = Write({Arc(Path("t\\a.vlx"), {{"a.txt", text}, {"sub\\b.txt", "bee"}}),
                    Arc(Path("t\\b.vlx"), {{"c.txt", text.substr(7)}}, coLZH)},
                   200);
    dialogs.cancelWhenDone = true;
    for (const auto& f : files_) originals_.push_back(ReadFile(f));
    // The upper half of each member's expanded size: a flip there asks for a member of many
    // megabytes, which is a well-formed (if slow) outcome, so those bits are left alone.
    std::string stream;
    for (const auto& o : originals_) stream += o.substr(kSegIdSize);
    for (size_t at = stream.find("VLXC\x1A"); at != std::string::npos; at = stream.find("VLXC\x1A", at + 1)) {
      for (size_t m = at + 21; m + 25 <= stream.size();) {
        auto u16 = [&](size_t o) { return static_cast<size_t>(static_cast<uint8_t>(stream[o]) | static_cast<uint8_t>(stream[o + 1]) << 8); };
        sizeBytes_.insert(m + 10);
        sizeBytes_.insert(m + 11);
        size_t next = m + 25 + u16(m) + (u16(m + 12) | u16(m + 14) << 16);
        if (stream.compare(next, 4, "SArc") == 0 || stream.compare(next, 4, "Scan") == 0 || next >= stream.size()) break;
        m = next;
      }
    }
    plat::CreateDirectory(Path("target"));
    // As the setup does: every member by its bare name into one folder.
    seg.OnCheckFile = [this](std::string& path, TCProcessMode) {
      std::string bare = path.substr(path.find_last_of("\\:") + 1);
      path = bare.empty() ? std::string() : Path("target\\") + bare;
    };
    allowed_ = {Host(Path("pkg")), Host(Path("target")), Host(Path("tmp"))};
    before_ = Snapshot();
  }

  static std::string Host(const std::string& p) { return plat::posix::Resolve(p).host; }

  // Everything in the machine outside the folders a run may write to.
  std::set<std::string> Snapshot() const {
    std::set<std::string> all;
    for (auto it = std::filesystem::recursive_directory_iterator(plat::posix::MachineRoot());
         it != std::filesystem::recursive_directory_iterator(); ++it) {
      std::string p = it->path().string();
      bool allowed = false;
      for (const auto& a : allowed_) allowed |= p == a;
      if (allowed) it.disable_recursion_pending();
      else all.insert(p);
    }
    return all;
  }

  // Runs the expansion and checks its outcome.
  void RunDamaged(const std::string& what) {
    try {
      seg.ExpandSet();
    } catch (const Exception&) {
    }
    for (const auto& p : Snapshot()) ASSERT_TRUE(before_.count(p)) << what << ": wrote " << p;
  }

  void Restore() {
    for (size_t i = 0; i < files_.size(); ++i) WriteFile(files_[i], originals_[i]);
  }

  std::vector<std::string> files_, originals_, allowed_;
  std::set<size_t> sizeBytes_;  // stream offsets of the upper bytes of expanded sizes
  std::set<std::string> before_;
};

TEST_P(SegDamage, EveryTruncation) {
  ASSERT_GE(files_.size(), 4u);
  for (size_t f = 0; f < files_.size(); ++f) {
    for (size_t n = 0; n < originals_[f].size(); ++n) {
      WriteFile(files_[f], originals_[f].substr(0, n));
      RunDamaged("segment " + std::to_string(f + 1) + " cut at " + std::to_string(n));
      if (HasFatalFailure()) return;
    }
    WriteFile(files_[f], originals_[f]);
  }
}

TEST_P(SegDamage, BitFlips) {
  uint32_t x = 4711;
  for (int i = 0; i < 500; ++i) {
    x = x * 1664525u + 1013904223u;
    size_t f = (x >> 4) % files_.size();
    std::string bad = originals_[f];
    size_t bit = (x >> 9) % (bad.size() * 8);
    if (bit / 8 >= kSegIdSize && sizeBytes_.count(f * (200 - kSegIdSize) + bit / 8 - kSegIdSize)) continue;
    bad[bit / 8] = static_cast<char>(bad[bit / 8] ^ (1 << (bit % 8)));
    WriteFile(files_[f], bad);
    RunDamaged("flip " + std::to_string(i));
    if (HasFatalFailure()) return;
    Restore();
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, SegDamage, ::testing::ValuesIn(kReadingWays), [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tovin::test
