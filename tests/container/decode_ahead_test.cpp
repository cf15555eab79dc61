// Decoding ahead on worker threads must change nothing a host can see: the same events in the
// same order, the same files with the same bytes and attributes, the same error at the same
// member, the same list of files written. Each archive is expanded on the calling thread and
// then with workers (with a memory limit that lets every member through, one that leaves the
// largest to the writing thread, and one so small that members go inline and read-ahead is
// rolled back), and the accounts are compared.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <random>
#include <typeinfo>

#include "container/vellox.h"
#include "platform/exception.h"
#include "tests/container/archive_bytes.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

std::string Text(int lines, int seed) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "line " + std::to_string((i + seed) * 7919 % 10007) + " of member " + std::to_string(seed) + "\n";
  return text;
}

std::string Noise(size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(random());
  return s;
}

// Text members, an empty one, one that will not compress (stored), and one large enough to be
// read by the decoder in several chunks.
NamedData Mixed() {
  return {{"a.txt", Text(50, 1)},       {"dir\\b.txt", Text(900, 2)}, {"empty", ""},
          {"noise.bin", Noise(3000, 3)}, {"c.txt", Text(20, 4)},      {"big.txt", Text(6000, 5)},
          {"d.txt", Text(300, 6)}};
}

struct Case {
  const char* what;
  std::function<std::string()> make;
};

const Case kCases[] = {
    {"lh5", [] { return ArchiveOf(coLZH5, Mixed()); }},
    {"lzh", [] { return ArchiveOf(coLZH, Mixed()); }},
    {"rle", [] { return ArchiveOf(coRLE, Mixed()); }},
    {"stored", [] { return ArchiveOf(coNone, Mixed()); }},
    {"bad checksum in the middle",
     [] {
       std::string a = ArchiveOf(coLZH5, Mixed());
       a[HeaderOf(a, "c.txt") + kChecksumAt] ^= 0x10;
       return a;
     }},
    {"bad decode table in the middle",
     [] {
       std::string a = ArchiveOf(coLZH5, Mixed());
       const std::string table = {0x00, 0x01, 0x19, 0x24, 0x00, 0x00};
       a.replace(DataOf(a, "dir\\b.txt"), table.size(), table);
       return a;
     }},
    {"stored data cut short: the next header is read from elsewhere",
     [] {
       std::string a = ArchiveOf(coLZH5, Mixed());
       size_t end = DataOf(a, "dir\\b.txt") + U32(a, HeaderOf(a, "dir\\b.txt") + kStoredSizeAt);
       return a.erase(end - 30, 30);
     }},
    // The decoder is done before it fetches the member's last chunk, so the next header is read
    // from the padding, not where the stored size points.
    {"stored size past what the decoder reads",
     [] {
       std::string a = ArchiveOf(coLZH5, Mixed());
       size_t header = HeaderOf(a, "big.txt");
       size_t end = DataOf(a, "big.txt") + U32(a, header + kStoredSizeAt);
       std::string hidden = ArchiveOf(coNone, {{"hidden.txt", "written only by a reader that loses its place\n"}});
       std::string padding(9000, '\0');
       padding.replace(0, hidden.size() - kArchiveHeaderSize, hidden.substr(kArchiveHeaderSize));
       a.insert(end, padding);
       PutU32(a, header + kStoredSizeAt, U32(a, header + kStoredSizeAt) + 9000);
       return a;
     }},
    {"archive cut in a member", [] { std::string a = ArchiveOf(coLZH5, Mixed()); return a.substr(0, DataOf(a, "big.txt") + 500); }},
    {"total size ends early",
     [] {
       std::string a = ArchiveOf(coLZH5, Mixed());
       PutU32(a, kTotalSizeAt, 2000);
       return a;
     }},
    {"unknown method in the middle",
     [] {
       std::string a = ArchiveOf(coLZH5, Mixed());
       a[HeaderOf(a, "c.txt") + kMethodAt] = static_cast<char>(200);
       return a;
     }},
    {"negative size in the middle",
     [] {
       std::string a = ArchiveOf(coLZH5, Mixed());
       PutU32(a, HeaderOf(a, "d.txt") + kStoredSizeAt, 0xFFFFFFF0u);
       return a;
     }},
};

struct Expansion {
  int threads = 1;
  int64_t limit = 64 << 20;
  const char* selection = nullptr;  // names separated by '|'
  bool hostSkips = false;           // the host skips c.txt and stops at d.txt
};

class DecodeAheadTest : public MachineTest, public ::testing::WithParamInterface<Case> {
 protected:
  // Everything the host sees of one expansion.
  std::string Account(const Expansion& run, const std::string& folder) {
    plat::CreateDirectory(Path(folder));
    TVellox v;
    v.SetTargetPath(Path(folder));
    v.MakeDirectories = true;
    v.DecodeThreads = run.threads;
    v.DecodeMemoryLimit = run.limit;
    std::string log;
    std::string prefix = Path(folder) + "\\";
    v.OnMemberHeader = [&](const TArchiveHeader&, const TMemberHeader& h, const std::string& name) {
      log += "header " + name + " " + std::to_string(h.ExpandedSize) + "\n";
    };
    v.OnCheckFile = [&](std::string& path, TCProcessMode) {
      std::string rel = path.substr(0, prefix.size()) == prefix ? path.substr(prefix.size()) : path;
      log += "check " + rel + "\n";
      if (run.hostSkips && rel == "c.txt") path.clear();
      if (run.hostSkips && rel == "d.txt") path = kCheckFileStop;
    };
    std::vector<std::string> selection;
    if (run.selection)
      for (std::string s = run.selection; !s.empty();) {
        size_t bar = s.find('|');
        selection.push_back(s.substr(0, bar));
        s = bar == std::string::npos ? "" : s.substr(bar + 1);
      }
    try {
      v.ExpandArchive(Path("a.vlx"), run.selection ? &selection : nullptr);
      log += "ended\n";
    } catch (const Exception& e) {
      log += std::string("error ") + typeid(e).name() + ": " + e.what() + "\n";
    }
    for (const auto& s : selection) log += "written " + s.substr(s.rfind('\\') + 1) + "\n";
    for (const auto& [name, data] : Mixed()) {
      std::string path = prefix + name;
      if (Exists(path)) log += "file " + name + " " + std::to_string(ReadFile(path).size()) + " " + (ReadFile(path) == data ? "whole" : "differs") + "\n";
    }
    if (Exists(prefix + "hidden.txt")) log += "file hidden.txt\n";
    return log;
  }
  void ExpectSameAccount(Expansion run) {
    WriteFile(Path("a.vlx"), GetParam().make());
    Expansion alone = run;
    alone.threads = 1;
    std::string expected = Account(alone, "one");
    SCOPED_TRACE(expected);
    run.threads = 3;
    EXPECT_EQ(Account(run, "ahead"), expected);
    run.limit = 100000;  // big.txt is expanded from memory by the writing thread
    EXPECT_EQ(Account(run, "buffered"), expected);
    run.limit = 3000;  // most members inline, read-ahead stopped and taken back
    run.threads = 2;
    EXPECT_EQ(Account(run, "tight"), expected);
  }
};

TEST_P(DecodeAheadTest, EveryMember) { ExpectSameAccount({}); }

TEST_P(DecodeAheadTest, ASelection) { ExpectSameAccount({1, 64 << 20, "A.TXT|big.txt|d.txt|noise.bin", false}); }

TEST_P(DecodeAheadTest, TheHostSkippingAndStopping) { ExpectSameAccount({1, 64 << 20, nullptr, true}); }

INSTANTIATE_TEST_SUITE_P(Archives, DecodeAheadTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           std::string name;
                           for (const char* c = info.param.what; *c; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name;
                         });

}  // namespace
}  // namespace tovin::test
