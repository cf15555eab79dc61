// Packages made by the writer in a fresh machine, and a scripted host for the reader's questions.
#pragma once
#include <cctype>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "container/archive_writer.h"
#include "segment/seg_vellox.h"
#include "segment/seg_writer.h"
#include "tests/support/test_machine.h"

namespace tovin::test {

// Answers from a script, in order; every question and answer is kept in a transcript. An
// answer may run an action first (to make a missing segment appear).
class ScriptedDialogs final : public TSegDialogs {
 public:
  struct Answer {
    bool ok = false;
    std::string text;               // for an input query
    std::function<void()> before;   // runs before the answer is given
  };
  std::deque<Answer> script;
  std::vector<std::string> transcript;
  bool cancelWhenDone = false;  // answer Cancel once the script is used up, instead of failing
  std::function<void()> onProcessMessages;  // what the host does in the reader's pauses

  void ProcessMessages() override {
    if (onProcessMessages) onProcessMessages();
  }

  bool ErrorBoxOkCancel(const std::string& text, TSegQuestion question, const std::string& segmentName) override {
    transcript.push_back(std::string(question == sqSegmentMissing ? "missing " : "wrong ") + segmentName + ": " + text);
    return Next().ok;
  }
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                  const std::string& segmentName) override {
    transcript.push_back("query " + segmentName + ": " + caption + " | " + prompt + " | " + value);
    Answer a = Next();
    if (a.ok) value = a.text;
    return a.ok;
  }

 private:
  Answer Next() {
    if (script.empty()) {
      if (!cancelWhenDone) ADD_FAILURE() << "a question the script has no answer for";
      return {};
    }
    Answer a = script.front();
    script.pop_front();
    if (a.before) a.before();
    return a;
  }
};

// The message of what run throws, or "(no error)".
inline std::string Message(const std::function<void()>& run) {
  try {
    run();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

inline std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

struct TestMember {
  std::string name, data;
};

// How a run reads its archives: each work file copied whole first (the setup's way), or
// expanded while it is copied, on one thread or with members decoded ahead (the tool's way).
struct ReadingWay {
  const char* name;
  bool whileCopying;
  int threads;
  void ApplyTo(TSegVellox& seg) const {
    seg.ExpandWhileCopying = whileCopying;
    seg.DecodeThreads = threads;
  }
};
inline const ReadingWay kReadingWays[] = {{"Whole", false, 1}, {"WhileCopying", true, 1}, {"WhileCopyingAhead", true, 3}};

class SegmentTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    plat::CreateDirectory(Path("pkg"));
    seg.SetSegDir(Path("pkg"));
    seg.SetSegBaseName("tovinsetup");
    seg.SegPopUp = false;
    seg.SetSegTmpDir(Path("tmp"));
    seg.Dialogs = &dialogs;
  }

  static SegArchiveSource Arc(const std::string& tmpl, const std::vector<TestMember>& members,
                              TPackMethod method = coLZH5) {
    SegArchiveSource a;
    a.Template = tmpl;
    MemoryStream out;
    ArchiveWriter w(out, method);
    for (const auto& m : members) {
      w.AddData(m.data, m.name, 0x2A4320A3u, plat::kAttrArchive);
      a.Files.push_back(m.name);
    }
    w.Finish();
    a.Archive = out.Data();
    return a;
  }

  std::vector<std::string> Write(const std::vector<SegArchiveSource>& archives, int32_t segSize = 1440000) {
    SegSetOptions o;
    o.SegDir = Path("pkg");
    o.SegSize = segSize;
    return WriteSegmentSet(archives, o);
  }

  // Segment files by hand: the logical stream cut after the given byte counts.
  void WriteCut(const std::string& stream, const std::vector<size_t>& cuts) {
    size_t from = 0;
    for (size_t i = 0; i <= cuts.size(); ++i) {
      size_t to = i < cuts.size() ? cuts[i] : stream.size();
      TSegIdHeader id;
      id.SegNumber = static_cast<uint16_t>(i + 1);
      WriteFile(Path("pkg\\" + SegmentFileName("tovinsetup", "", id.SegNumber)),
                Serialize(id) + stream.substr(from, to - from));
      from = to;
    }
  }

  TSegVelloxEZ seg;
  ScriptedDialogs dialogs;
};

// A suite run once in every way of reading.
class ReadingWayTest : public SegmentTest, public ::testing::WithParamInterface<ReadingWay> {
 protected:
  void SetUp() override {
    SegmentTest::SetUp();
    GetParam().ApplyTo(seg);
  }
};

}  // namespace tovin::test
