// Writes hostile packages and archives, crafted from the formats, for bench/hostile.sh:
//   OUT/pkg/NAME/tovinsetup.001 ...   a package (segment set) per input
//   OUT/arc/NAME.vlx                  the same archive bare, for inputs at archive level
//   OUT/.../NAME links file           "LINK TARGET" lines: links the script plants in the target
//                                     first, TARGET relative to a folder outside it
// Usage: hostile_inputs OUT
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "container/archive_format.h"
#include "container/archive_writer.h"
#include "segment/seg_format.h"

namespace fs = std::filesystem;
using namespace tovin;

namespace {

constexpr int32_t kDate = 0x00210000;  // 1 January 1980
constexpr int32_t kTwoGiB = 0x7FFFFFFF;

struct Member {
  TMemberHeader h;
  std::string name;
  std::string stored;
  std::string Bytes() const {
    TMemberHeader out = h;
    out.NameLength = static_cast<int16_t>(name.size());
    return SerializeMemberHeader(out) + name + stored;
  }
};

uint32_t ByteSum(const std::string& s) {
  uint32_t sum = 0;
  for (unsigned char c : s) sum += c;
  return sum;
}

// A member coded by the real writer (lh5 unless the data cannot shrink).
Member Coded(const std::string& name, const std::string& data, TPackMethod method = coLZH5) {
  MemoryStream out;
  ArchiveWriter writer(out, method);
  writer.AddData(data, name, kDate, 0x20);
  writer.Finish();
  const std::string& a = out.Data();
  Member m;
  m.h = ParseMemberHeader(reinterpret_cast<const uint8_t*>(a.data()) + kArchiveHeaderSize);
  m.name = name;
  m.stored = a.substr(kArchiveHeaderSize + kMemberHeaderSize + name.size(), static_cast<size_t>(m.h.StoredSize));
  return m;
}

Member Stored(const std::string& name, const std::string& data) {
  Member m;
  m.h.DateTime = kDate;
  m.h.Attributes = 0x20;
  m.h.ExpandedSize = static_cast<int32_t>(data.size());
  m.h.StoredSize = static_cast<int32_t>(data.size());
  m.h.Method = coNone;
  m.h.Checksum = static_cast<int32_t>(ByteSum(data));
  m.name = name;
  m.stored = data;
  return m;
}

// Claims expanded bytes it does not hold.
Member Claim(const std::string& name, int32_t expanded, TPackMethod method = coLZH5) {
  Member m;
  m.h.DateTime = kDate;
  m.h.ExpandedSize = expanded;
  m.h.Method = method;
  m.name = name;
  return m;
}

std::string Text(size_t n, char seed) {
  std::string s;
  while (s.size() < n) s += std::string("line ") + seed + " of a member that compresses well\n";
  s.resize(n);
  return s;
}

struct Archive {
  std::vector<Member> members;
  int32_t totalSize = -1;  // -1: the sum of the expanded sizes
  std::string tail;        // bytes after the members
  std::string Bytes() const {
    TArchiveHeader h;
    std::memcpy(h.MethodId, "LH5", 3);
    int64_t total = 0;
    for (const auto& m : members) total += m.h.ExpandedSize;
    h.TotalSize = totalSize >= 0 ? totalSize : static_cast<int32_t>(std::min<int64_t>(total, kTwoGiB));
    std::string out = SerializeArchiveHeader(h);
    for (const auto& m : members) out += m.Bytes();
    return out + tail;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> n;
    for (const auto& m : members) n.push_back(m.name);
    return n;
  }
};

// The file list: lines of lineLength bytes, blank-padded, in a one-member lh5 archive.
std::string ListText(const std::vector<std::string>& names, size_t& lineLength) {
  lineLength = 1;
  for (const auto& n : names) lineLength = std::max(lineLength, n.size());
  std::string text;
  for (const auto& n : names) text += n + std::string(lineLength - n.size(), ' ');
  return text;
}

std::string ListArchive(const std::string& text) {
  Archive a;
  a.members.push_back(Coded("tovinsetup.lst", text));
  return a.Bytes();
}

// The logical stream of a one-archive set; the archive selected by listText.
std::string SetStream(const std::string& archive, const std::string& listText, size_t lineLength,
                    int32_t dataSize = -1) {
  TSegSetHeader set;
  set.ArcCount = 1;
  std::string templ = "tovinsetup.vlx";
  std::string list = ListArchive(listText);
  TSegScanHeader scan;
  scan.TemplateLength = static_cast<uint16_t>(templ.size());
  scan.LineLength = static_cast<int32_t>(lineLength);
  scan.ListSize = static_cast<int32_t>(list.size());
  TSegArcHeader arc;
  arc.DataSize = dataSize >= 0 ? dataSize : static_cast<int32_t>(archive.size());
  return Serialize(set) + Serialize(scan) + templ + list + Serialize(arc) + archive;
}

// The same with a file list naming these members.
std::string SetStream(const std::string& archive, const std::vector<std::string>& names, int32_t dataSize = -1) {
  size_t width = 1;
  std::string text = ListText(names, width);
  return SetStream(archive, text, width, dataSize);
}

void WriteFile(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + p.string());
}

std::string SegmentFile(unsigned number, const std::string& slice) {
  TSegIdHeader id;
  id.SegNumber = static_cast<uint16_t>(number);
  return Serialize(id) + slice;
}

class Writer {
 public:
  explicit Writer(fs::path out) : out_(std::move(out)) {}

  // The archive bare and as a package whose file list names every member.
  void Both(const std::string& name, const Archive& a, const std::string& links = "") {
    Bare(name, a, links);
    Package(name, SetStream(a.Bytes(), a.Names()), links);
  }
  void Bare(const std::string& name, const Archive& a, const std::string& links = "") {
    std::string bytes = a.Bytes();
    WriteFile(out_ / "arc" / (name + ".vlx"), bytes);
    if (!links.empty()) WriteFile(out_ / "arc" / (name + ".links"), links);
    Note("arc/" + name, bytes.size());
  }
  void Package(const std::string& name, const std::string& stream, const std::string& links = "") {
    WriteFile(out_ / "pkg" / name / "tovinsetup.001", SegmentFile(1, stream));
    if (!links.empty()) WriteFile(out_ / "pkg" / (name + ".links"), links);
    Note("pkg/" + name, stream.size() + kSegIdSize);
  }
  void Segments(const std::string& name, const std::vector<std::string>& files, const std::vector<unsigned>& numbers) {
    fs::path dir = out_ / "pkg" / name;
    fs::create_directories(dir);
    size_t bytes = 0;
    for (size_t i = 0; i < files.size(); ++i) {
      WriteFile(dir / SegmentFileName("tovinsetup", "", numbers[i]), files[i]);
      bytes += files[i].size();
    }
    Note("pkg/" + name, bytes);
  }

 private:
  void Note(const std::string& what, size_t bytes) { std::printf("%-28s %12zu bytes\n", what.c_str(), bytes); }
  fs::path out_;
};

void Bombs(Writer& w) {
  Archive bomb;  // 21 + 25 + 8 = 54 bytes
  bomb.members.push_back(Claim("bomb.bin", kTwoGiB));
  w.Both("bomb-2gib", bomb);

  // Each negative member takes back what the bomb before it claimed, so the running total
  // never reaches TotalSize: 5 members of 39 bytes, 216 bytes in all.
  Archive reset;
  for (int i = 0; i < 3; ++i) {
    reset.members.push_back(Claim("bomb-" + std::to_string(i) + "-512.bin", 512 << 20));
    if (i < 2) reset.members.push_back(Claim("undo-" + std::to_string(i) + "-512.txt", -(512 << 20), coNone));
  }
  reset.totalSize = (512 << 20) + 1;
  w.Both("negative-1g5", reset);

  Archive tera;  // 1000 pairs of 29-byte members: about 57 KB claiming 1000 x 2 GiB
  for (int i = 0; i < 1000; ++i) {
    char n[8];
    std::snprintf(n, sizeof n, "%03d", i);
    tera.members.push_back(Claim(std::string("b") + n, kTwoGiB - 1));
    tera.members.push_back(Claim(std::string("n") + n, -(kTwoGiB - 1), coNone));
  }
  tera.totalSize = kTwoGiB;
  w.Both("negative-2tb", tera);
}

// 65,536 segment files of 72 bytes: .001 to .65535, then .000 numbered 0, where a 16-bit
// segment number lands after 65535. The archive claims 2 GiB, more than the segments hold.
void SegmentWrap(Writer& w) {
  Archive a;
  a.members.push_back(Coded("file.txt", Text(1000, 'w')));
  std::string stream = SetStream(a.Bytes(), a.Names(), kTwoGiB);
  const size_t slice = 64;
  std::vector<std::string> files;
  std::vector<unsigned> numbers;
  for (unsigned n = 1; n <= 65536; ++n) {
    size_t at = (n - 1) * slice;
    std::string part = at < stream.size() ? stream.substr(at, slice) : std::string();
    part.resize(slice, 'x');
    files.push_back(SegmentFile(n, part));
    numbers.push_back(n == 65536 ? 0 : n);
  }
  w.Segments("segment-wrap", files, numbers);
}

// File lists of one-byte lines, all blank, against an archive of one small member.
void ListBombs(Writer& w) {
  for (auto [name, size] : {std::pair<const char*, size_t>{"list-4mib", 4u << 20}, {"list-64mib", 64u << 20}}) {
    Archive a;
    a.members.push_back(Coded("f", Text(100, 'l')));
    std::string text(size, ' ');
    text[0] = 'f';
    w.Package(name, SetStream(a.Bytes(), text, 1));
  }
}

void SmallWork(Writer& w) {
  Archive empty;
  for (int i = 0; i < 40000; ++i) {
    char n[16];
    std::snprintf(n, sizeof n, "e%05d.txt", i);
    empty.members.push_back(Stored(n, ""));
  }
  empty.totalSize = 1;  // 0 would end the expansion before the first member
  w.Both("empty-40000", empty);

  Archive deep;
  std::string name;
  for (int i = 0; i < 2000; ++i) name += "d\\";
  deep.members.push_back(Stored(name + "deep.txt", "bottom\n"));
  w.Both("deep-2000", deep);
}

void Disagreements(Writer& w) {
  // Ordinal 200: a reader that does not skip the stored bytes reads them as the next member.
  Archive unknown;
  Member hidden = Stored("hidden.txt", "content the listing never shows\n");
  Member m = Claim("readme.txt", 12, static_cast<TPackMethod>(200));
  m.stored = hidden.Bytes();
  m.h.StoredSize = static_cast<int32_t>(m.stored.size());
  unknown.members.push_back(m);
  unknown.members.push_back(Coded("after.txt", Text(3000, 'a')));
  w.Both("method-200", unknown);

  Archive zero;
  zero.members.push_back(Coded("good.txt", Text(5000, 'g')));
  Member bad = Coded("bad.txt", Text(5000, 'b'));
  bad.h.Checksum += 1;
  zero.members.push_back(bad);
  zero.totalSize = 0;
  w.Both("totalsize-0", zero);

  // File lists that do not match the archive: a name it lacks, names with a trailing blank
  // or a zero byte (the list reader cuts both).
  Archive a;
  a.members.push_back(Coded("here.txt", Text(2000, 'h')));
  std::vector<std::string> names{"here.txt", "ghost.txt"};
  w.Package("list-missing", SetStream(a.Bytes(), names));

  Archive blank;
  blank.members.push_back(Coded("here.txt", Text(2000, 'h')));
  blank.members.push_back(Coded("blank.txt ", Text(2000, 'k')));
  names = {"here.txt", "blank.txt "};
  w.Package("list-blank", SetStream(blank.Bytes(), names));

  Archive nul;
  nul.members.push_back(Coded("here.txt", Text(2000, 'h')));
  nul.members.push_back(Coded(std::string("zero\0.txt", 9), Text(2000, 'z')));
  names = {"here.txt", std::string("zero\0.txt", 9)};
  w.Package("list-zero", SetStream(nul.Bytes(), names));
}

void FailedMembers(Writer& w) {
  Archive table;
  Member broken = Claim("table.bin", 10000);
  broken.stored = std::string(64, '\xFF');  // a code-length table that cannot be built
  broken.h.StoredSize = 64;
  broken.h.Checksum = 12345;
  table.members.push_back(broken);
  table.members.push_back(Coded("next.txt", Text(2000, 'n')));
  w.Both("fail-table", table);

  Archive sum;
  Member wrong = Coded("checksum.txt", Text(20000, 'c'));
  wrong.h.Checksum ^= 0x5A5A;
  sum.members.push_back(wrong);
  sum.members.push_back(Coded("next.txt", Text(2000, 'n')));
  w.Both("fail-checksum", sum);

  // The first member's stored bytes are cut short; its StoredSize runs into the next header.
  Archive cut;
  Member first = Stored("truncated.txt", Text(4000, 't'));
  first.stored.resize(1000);
  cut.members.push_back(first);
  cut.members.push_back(Coded("next.txt", Text(2000, 'n')));
  w.Both("fail-truncated", cut);
}

void Names(Writer& w) {
  Archive esc;
  esc.members.push_back(Coded("\x1b[31mred\x1b[0m.txt", Text(500, 'e')));
  esc.members.push_back(Coded("\x1b]0;owned\x07title.txt", Text(500, 't')));
  esc.members.push_back(Coded("clear\x1b[2J\x1b[H.txt", Text(500, 'c')));
  w.Both("escapes", esc);

  Archive win;
  for (const char* n : {"CON", "aux.txt", "LPT1.txt", "dir."}) win.members.push_back(Coded(n, Text(500, n[0])));
  w.Both("windows-names", win);
}

// Links the script plants in the target before it extracts; their targets are below a
// folder outside it (VICTIM).
void Links(Writer& w) {
  Archive dir;
  dir.members.push_back(Coded("link\\file.txt", Text(3000, 'd')));
  w.Both("link-folder", dir, "link .\n");

  Archive file;
  file.members.push_back(Coded("flink", Text(3000, 'f')));
  w.Both("link-file", file, "flink victim.txt\n");

  Archive dangling;
  dangling.members.push_back(Coded("dlink", Text(3000, 'g')));
  w.Both("link-dangling", dangling, "dlink created.txt\n");

  Archive upper;
  upper.members.push_back(Coded("LINK\\file.txt", Text(3000, 'u')));
  w.Both("link-case", upper, "link .\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hostile_inputs OUT\n");
    return 2;
  }
  try {
    fs::path out = argv[1];
    fs::remove_all(out);
    Writer w(out);
    Bombs(w);
    SegmentWrap(w);
    ListBombs(w);
    SmallWork(w);
    Disagreements(w);
    FailedMembers(w);
    Names(w);
    Links(w);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "hostile_inputs: %s\n", e.what());
    return 1;
  }
  return 0;
}
