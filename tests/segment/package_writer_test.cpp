// Packages written on several threads: the same bytes as the one-thread run, the same errors,
// nothing left behind after a failure, progress in member order.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "container/archive_format.h"
#include "container/archive_writer.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "segment/package_layout.h"
#include "segment/package_source.h"
#include "segment/coding_queue.h"
#include "segment/package_writer.h"
#include "segment/seg_format.h"
#include "segment/seg_writer.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

std::string Text(size_t size, unsigned seed) {
  static const char* words[] = {"setup ", "install ", "archive ", "segment ", "member\r\n", "folder ", "key "};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < size) s += words[rng() % 7];
  s.resize(size);
  return s;
}

std::string Noise(size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

class PackageWriterTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    plat::CreateDirectory(Path("src"));
    for (const char* d : {"src\\docs", "src\\docs\\deep", "src\\bin", "src\\empty-ish"}) plat::CreateDirectory(Path(d));
    // Many small members, a few larger than the memory limit set below (coded into spill files),
    // ones no method shrinks (stored), and empty ones.
    for (int i = 0; i < 40; ++i)
      WriteFile(Path("src\\docs\\note" + std::to_string(i) + ".txt"), Text(static_cast<size_t>(i * 97 % 3000), i));
    WriteFile(Path("src\\docs\\deep\\manual.txt"), Text(70000, 99));
    WriteFile(Path("src\\bin\\random.bin"), Noise(50000, 7));
    WriteFile(Path("src\\bin\\tiny.bin"), Noise(5, 8));
    WriteFile(Path("src\\bin\\mixed.bin"), Text(30000, 5) + Noise(20000, 6) + std::string(40000, 'x'));
    WriteFile(Path("src\\empty-ish\\zero.txt"), "");
    WriteFile(Path("src\\readme.txt"), Text(1200, 1));
    WriteFile(Path("src\\zz-last.txt"), Text(20000, 2));
  }

  std::vector<PackageArchive> Archives(bool multiArc) {
    return GroupIntoArchives(ScanSourceTree(Path("src")).Files, multiArc);
  }

  // The package's segment files, concatenated, written into a fresh folder.
  std::string Pack(const std::vector<PackageArchive>& archives, PackageOptions options, const std::string& dir) {
    plat::CreateDirectory(Path(dir));
    options.OutDir = Path(dir);
    options.SegSize = 40000;
    PackageResult r = WritePackage(archives, options);
    EXPECT_GT(r.Segments.size(), 1u);
    std::string all;
    for (const auto& s : r.Segments) all += "[" + s.substr(s.rfind('\\') + 1) + "]" + ReadFile(s);
    EXPECT_EQ(Listing(dir), r.Segments.size()) << "only the segment files stay";
    return all;
  }

  size_t Listing(const std::string& dir) {
    size_t n = 0;
    for (const auto& f : plat::FindFiles(Path(dir) + "\\*", plat::kAttrMaskNoVolume))
      if (f.name != "." && f.name != "..") ++n;
    return n;
  }


 public:  // for the failure table
  using MachineTest::Path;
  // Appends to a file behind the packer's back (its share lock keeps the platform layer out).
  void Grow(const std::string& path) { std::ofstream(plat::ToHostPath(path), std::ios::app) << "more"; }
};

class SameBytes : public PackageWriterTest,
                  public ::testing::WithParamInterface<std::tuple<TPackMethod, int32_t, bool>> {};

TEST_P(SameBytes, AsTheOneThreadRun) {
  auto [method, key, multiArc] = GetParam();
  auto archives = Archives(multiArc);
  ASSERT_EQ(archives.size(), multiArc ? 4u : 1u);
  PackageOptions o;
  o.Method = method;
  o.Key = key;
  std::string one = Pack(archives, o, "j1");
  o.Threads = 4;
  EXPECT_EQ(Pack(archives, o, "j4"), one) << "coded in memory";
  o.Threads = 2;
  o.MemberMemoryLimit = 16384;
  EXPECT_EQ(Pack(archives, o, "j2-spill"), one) << "larger members coded into spill files";
  o.Threads = 3;
  o.MemberMemoryLimit = 0;
  EXPECT_EQ(Pack(archives, o, "j3-all-spill"), one) << "every member coded into a spill file";
}

INSTANTIATE_TEST_SUITE_P(Methods, SameBytes,
                         ::testing::Combine(::testing::Values(coLZH5, coLZH, coRLE, coNone),
                                            ::testing::Values(0, 0x5A3C1F07), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(MethodName(std::get<0>(info.param))) +
                                  (std::get<1>(info.param) ? "_key" : "") + (std::get<2>(info.param) ? "_multi" : "");
                         });

// A failure stops the run with the one-thread run's error and leaves the folder empty.
struct Failure {
  const char* name;
  std::function<void(PackageWriterTest&, PackageOptions&)> arrange;
  const char* message;  // a part of the error's text
  size_t left = 0;      // entries of the output folder that were there before
};

class Failures : public PackageWriterTest, public ::testing::WithParamInterface<std::tuple<Failure, int>> {};

TEST_P(Failures, StopTheRunCleanly) {
  auto [failure, threads] = GetParam();
  auto archives = Archives(true);
  PackageOptions o;
  o.Threads = threads;
  o.MemberMemoryLimit = 16384;
  failure.arrange(*this, o);
  plat::CreateDirectory(Path("out"));
  o.OutDir = Path("out");
  o.SegSize = 40000;
  std::string error = "(no error)";
  try {
    WritePackage(archives, o);
  } catch (const std::exception& e) {
    error = e.what();
  }
  EXPECT_NE(error.find(failure.message), std::string::npos) << error;
  EXPECT_EQ(Listing("out"), failure.left) << "no segment or spill file stays";
}

const Failure kFailures[] = {
    {"missing file after large ones",
     [](PackageWriterTest& t, PackageOptions&) { plat::DeleteFile(t.Path("src\\zz-last.txt")); },
     "Cannot open file"},
    {"missing file first",
     [](PackageWriterTest& t, PackageOptions&) { plat::DeleteFile(t.Path("src\\bin\\mixed.bin")); },
     "Cannot open file"},
#ifndef _WIN32  // Windows keeps writers out of a file that is open for packing
    {"files grow while packed",
     [](PackageWriterTest& t, PackageOptions& o) {
       auto grown = std::make_shared<bool>(false);
       o.Progress = [&t, grown](const std::string&, uint64_t) {
         if (*grown) return;
         *grown = true;
         for (const auto& f : ScanSourceTree(t.Path("src")).Files) t.Grow(f.Path);
       };
     },
     "changed size while it was packed"},
#endif
    {"a write fails",
     [](PackageWriterTest& t, PackageOptions&) {
       // The third segment's name is taken by a folder.
       plat::CreateDirectory(t.Path("out"));
       plat::CreateDirectory(t.Path("out\\tovinsetup.003"));
     },
     "tovinsetup.003", 1},
};

INSTANTIATE_TEST_SUITE_P(Threads, Failures, ::testing::Combine(::testing::ValuesIn(kFailures), ::testing::Values(1, 4)),
                         [](const auto& info) {
                           std::string n = std::string(std::get<0>(info.param).name) + " j" +
                                           std::to_string(std::get<1>(info.param));
                           for (auto& c : n)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

// The segment files are the logical stream, made whole in memory, cut at the segment size:
// however the writer gathers its output, and wherever it fills in a header after the data.
TEST_F(PackageWriterTest, SegmentsAreTheLogicalStreamCut) {
  // Small segments, headers split between them; then large ones, with more in one segment than
  // the writer holds at once.
  for (int stage : {0, 1})
  for (bool multiArc : {false, true}) {
    if (stage == 1) WriteFile(Path("src\\bin\\large.bin"), Noise(1300000, 9));
    auto archives = Archives(multiArc);
    std::vector<SegArchiveSource> sources;
    for (const auto& a : archives) {
      SegArchiveSource s;
      s.Template = a.Template;
      MemoryStream out;
      ArchiveWriter writer(out, coLZH5);
      for (const auto& f : a.Files) {
        s.Files.push_back(f.Member);
        writer.AddFile(f.Path, f.Member);
      }
      writer.Finish();
      s.Archive = out.Data();
      sources.push_back(std::move(s));
    }
    SegSetOptions set;
    set.SegBaseName = kPackageBaseName;
    std::string stream = LogicalStream(sources, set);
    for (int32_t segSize : stage == 0 ? std::vector<int32_t>{200, 8200} : std::vector<int32_t>{40000, 3 << 20}) {
      for (int threads : {1, 2}) {
        std::string dir = "cut" + std::to_string(segSize) + "-" + std::to_string(threads) + (multiArc ? "m" : "");
        plat::CreateDirectory(Path(dir));
        PackageOptions o;
        o.OutDir = Path(dir);
        o.SegSize = segSize;
        o.Threads = threads;
        PackageResult r = WritePackage(archives, o);
        size_t room = static_cast<size_t>(segSize) - kSegIdSize;
        ASSERT_EQ(r.Segments.size(), (stream.size() + room - 1) / room) << dir;
        for (size_t i = 0; i < r.Segments.size(); ++i) {
          TSegIdHeader id;
          id.SegNumber = static_cast<uint16_t>(i + 1);
          ASSERT_EQ(ReadFile(r.Segments[i]), Serialize(id) + stream.substr(i * room, room)) << dir << ", segment " << i + 1;
        }
      }
    }
  }
}

TEST_F(PackageWriterTest, ProgressCountsBytesInMemberOrder) {
  auto archives = Archives(true);
  std::vector<std::string> order;
  uint64_t total = 0;
  for (const auto& a : archives)
    for (const auto& f : a.Files) {
      order.push_back(f.Member);
      total += f.Size;
    }
  PackageOptions o;
  o.Threads = 4;
  o.MemberMemoryLimit = 16384;
  size_t at = 0;
  uint64_t last = 0;
  o.Progress = [&](const std::string& member, uint64_t done) {
    while (at < order.size() && order[at] != member) ++at;
    ASSERT_LT(at, order.size()) << member << " reported out of order";
    EXPECT_GE(done, last);
    last = done;
  };
  Pack(archives, o, "out");
  EXPECT_EQ(at, order.size() - 1);
  EXPECT_EQ(last, total);
}

// The queue takes members up to its count, and past the lower count only while their bytes
// stay under the limit: small members keep the threads busy, large ones are held back.
TEST_F(PackageWriterTest, QueueTakesMembersByCountAndBytes) {
  struct Row {
    size_t min, max;
    int64_t bytes;
    size_t taken;  // members of 1,000 bytes pushed before the queue is full
  };
  const Row rows[] = {{2, 6, 0, 2}, {2, 6, 2500, 3}, {2, 6, 1 << 20, 6}, {4, 6, 1500, 4}, {6, 6, 1 << 20, 6}};
  for (int i = 0; i < 8; ++i) WriteFile(Path("q" + std::to_string(i) + ".txt"), Text(1000, static_cast<unsigned>(i)));
  for (const Row& row : rows) {
    CodingQueueOptions o;
    o.MinInFlight = row.min;
    o.MaxInFlight = row.max;
    o.MaxBytesInFlight = row.bytes;
    o.SpillPrefix = Path("spill.");
    CodingQueue queue(o);
    size_t pushed = 0;
    while (!queue.Full() && pushed < 8) {
      queue.Push(Path("q" + std::to_string(pushed) + ".txt"), "q.txt");
      ++pushed;
    }
    EXPECT_EQ(pushed, row.taken) << row.min << "/" << row.max << "/" << row.bytes;
    queue.Front(nullptr);
    queue.Pop();
    EXPECT_FALSE(queue.Full()) << "a member written makes room";
  }
}

}  // namespace
}  // namespace tovin::test
