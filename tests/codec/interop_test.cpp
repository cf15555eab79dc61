// lh5 streams proven against independent archivers: lhasa and 7-Zip read what is written
// here, and what jlha writes decodes here.
#include <gtest/gtest.h>

#include "tests/codec/codec_helpers.h"
#include "tests/support/lha_archive.h"

namespace tovin::test {
namespace {

std::vector<Sample> InteropSamples() {
  std::vector<Sample> v;
  for (auto& s : Samples())
    if (!s.data.empty()) v.push_back(s);
  return v;
}

class Interop : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = HostTempDir(); }
  void TearDown() override { RunShell("rm -rf '" + dir_ + "'"); }
  // Every sample, encoded here and wrapped in an archive, comes out of extract whole.
  void ExtractsOurStreams(const std::string& extract) {
    for (const auto& s : InteropSamples()) {
      WriteHostFile(dir_ + "/a.lzh", WrapLh5(Encode(coLZH5, s.data).bytes, s.data));
      RunShell("rm -f '" + dir_ + "/data.bin'");
      ASSERT_EQ(RunShell("cd '" + dir_ + "' && " + extract + " a.lzh >/dev/null 2>&1"), 0) << s.name;
      EXPECT_TRUE(ReadHostFile(dir_ + "/data.bin") == s.data) << s.name;
    }
  }
  std::string dir_;
};

TEST_F(Interop, LhasaReadsOurStreams) {
  if (!HaveTool("lha")) GTEST_SKIP() << "lhasa is not installed";
  ExtractsOurStreams("lha xq");
}

TEST_F(Interop, SevenZipReadsOurStreams) {
  if (!HaveTool("7z")) GTEST_SKIP() << "p7zip-full is not installed";
  ExtractsOurStreams("7z x -y");
}

TEST_F(Interop, JlhaStreamsDecodeHere) {
  if (!HaveTool("jlha")) GTEST_SKIP() << "jlha-utils is not installed";
  int lh5Members = 0;
  for (const auto& s : InteropSamples()) {
    WriteHostFile(dir_ + "/in.bin", s.data);
    RunShell("rm -f '" + dir_ + "/j.lzh'");
    ASSERT_EQ(RunShell("cd '" + dir_ + "' && jlha a j.lzh in.bin >/dev/null 2>&1"), 0) << s.name;
    auto member = FirstMember(ReadHostFile(dir_ + "/j.lzh"));
    ASSERT_TRUE(member) << s.name;
    if (member->method != "-lh5-") continue;  // jlha stores what it cannot shrink
    ++lh5Members;
    ASSERT_EQ(member->originalSize, s.data.size());
    Coded d = Decode(coLZH5, member->raw, static_cast<int32_t>(s.data.size()));
    EXPECT_TRUE(d.bytes == s.data) << s.name;
    EXPECT_EQ(d.checksum, ByteSum(s.data)) << s.name;
  }
  EXPECT_GE(lh5Members, 8);
}

TEST_F(Interop, LhasaRejectsNothingOfALargeMixedInput) {
  if (!HaveTool("lha")) GTEST_SKIP() << "lhasa is not installed";
  std::string data;
  for (int i = 0; i < 30; ++i) data += Text(10000 + i * 333) + RandomBytes(3000, static_cast<uint32_t>(i)) + std::string(static_cast<size_t>(i * 50), 'q');
  WriteHostFile(dir_ + "/a.lzh", WrapLh5(Encode(coLZH5, data).bytes, data));
  ASSERT_EQ(RunShell("cd '" + dir_ + "' && lha tq a.lzh >/dev/null 2>&1"), 0);
}

}  // namespace
}  // namespace tovin::test
