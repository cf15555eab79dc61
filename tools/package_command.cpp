// tovin list|test|extract: read a package (its segment set) the way the setup reads it, and say
// exactly what it holds, what was checked and what was written.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include <nlohmann/json.hpp>

#include "codec/method_table.h"
#include "container/vellox_errors.h"
#include "platform/platform.h"
#include "segment/package_layout.h"
#include "segment/seg_format.h"
#include "segment/seg_vellox.h"
#include "tools/cli_support.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"
#include "tools/interruption.h"
#include "tools/member_table.h"
#include "tools/progress.h"
#include "platform/text.h"

namespace tovin::cli {
namespace {

struct Located {
  std::string dir;   // folder of the platform layer
  std::string base;  // segment base name
};


std::string SegmentPath(const Located& loc, unsigned n) { return loc.dir + "\\" + SegmentFileName(loc.base, "", n); }

// The package folder and segment base name, from the folder or one of its segment files; the
// segments found must belong together.
Located Locate(const std::string& package) {
  std::string path = plat::FromHostPath(package);
  uint32_t a = plat::GetFileAttributes(path);
  if (a == plat::kInvalidAttributes) throw EGeneralError("no package at " + package + ": no such file or folder");
  Located loc;
  if (a & plat::kAttrDirectory) {
    loc.dir = path;
    auto first = plat::FindFiles(path + "\\*.001", plat::kAttrMaskFiles);
    if (first.empty()) throw EGeneralError("no package found in " + package + ": it holds no segment file (" +
                                           std::string(kPackageBaseName) + ".001)");
    loc.base = kPackageBaseName;
    if (first.size() == 1) loc.base = first[0].name.substr(0, first[0].name.size() - 4);
  } else {
    uint8_t id[kSegIdSize] = {};
    auto file = plat::OpenFile(path, plat::Access::Read, plat::Share::DenyWrite, plat::Disposition::OpenExisting);
    if (!file || file->Read(id, kSegIdSize) != kSegIdSize || !HasId(reinterpret_cast<char*>(id), "SSeg"))
      throw EGeneralError("no package found: " + package + " is not a segment file (it does not start with \"SSeg\")");
    auto cut = path.rfind('\\');
    loc.dir = path.substr(0, cut);
    std::string name = path.substr(cut + 1);
    auto dot = name.rfind('.');
    loc.base = dot == std::string::npos ? name : name.substr(0, dot);
  }
  // Every segment but the last is as long as the first: a shorter one was cut off.
  // One listing of the folder: a lookup per segment number would read it once per segment.
  std::unordered_map<std::string, uint64_t> present;
  for (const auto& f : plat::FindFiles(loc.dir + "\\" + loc.base + ".*", plat::kAttrMaskFiles))
    if (!(f.attributes & plat::kAttrDirectory)) present.emplace(plat::UpperCase(f.name), f.size);
  std::vector<uint64_t> sizes;
  for (unsigned n = 1; n <= kMaxSegNumber; ++n) {
    auto found = present.find(plat::UpperCase(SegmentFileName(loc.base, "", n)));
    if (found == present.end()) break;
    sizes.push_back(found->second);
  }
  if (sizes.empty())
    throw EGeneralError("no package found in " + DisplayPath(loc.dir) + ": " + SegmentFileName(loc.base, "", 1) +
                        " is missing");
  for (size_t i = 1; i + 1 < sizes.size(); ++i)
    if (sizes[i] != sizes[0])
      throw EGeneralError("segment " + SegmentFileName(loc.base, "", static_cast<unsigned>(i + 1)) +
                          " is damaged: it holds " + std::to_string(sizes[i]) + " bytes where the other segments hold " +
                          std::to_string(sizes[0]));
  if (sizes.size() > 1 && sizes[0] < sizes.back())
    throw EGeneralError("segment " + SegmentFileName(loc.base, "", 1) + " is truncated: it holds " +
                        std::to_string(sizes[0]) + " bytes, less than the last segment");
  return loc;
}

// Where the reader is, for messages: every error names the archive and member it concerns.
struct Position {
  std::vector<std::string> templates;
  size_t archive = 0;
  bool listsRead = false;
  std::string member;
  std::string Describe(const TSegVellox& seg) const {
    if (!listsRead) return "reading the file lists (segment " + seg.SegmentName() + "): ";
    std::string where = archive < templates.size() ? "archive " + Printable(templates[archive]) : "archive";
    if (!member.empty()) where += ", member " + Printable(member);
    return where + ": ";
  }
};

// Why the setup would not write a member of an archive, or nothing; problem when the package
// is at fault (a file list cannot name the member, or the header's total leaves it out).
struct LeftOut {
  std::string why;
  bool problem = false;
};
std::optional<LeftOut> WhyLeftOut(const std::string& name, bool reached, bool inList, int32_t totalSize) {
  if (!reached) return LeftOut{PastTotalRemark(totalSize), true};
  if (inList) return std::nullopt;
  if (name.find('\0') != std::string::npos)
    return LeftOut{"not in the file list, which cannot name a file holding a zero byte: the setup leaves it out", true};
  if (!name.empty() && name.back() == ' ')
    return LeftOut{"not in the file list, which cannot name a file ending in a blank: the setup leaves it out", true};
  return LeftOut{"not in the file list: the setup leaves it out", false};
}

}  // namespace

int ReadPackageCommand(const std::string& verb, const Args& args, const Globals& globals) {
  std::string package, dir = ".";
  bool flat = false, quiet = globals.quiet;
  int64_t key = 0;
  std::string summary = verb == "list"   ? "Lists the archives and files of a package."
                        : verb == "test" ? "Checks every file of a package (checksums, keys) without writing any."
                                         : "Extracts the files of a package below a folder.";
  OptionParser p(verb, verb == "extract" ? "[-k KEY] [-j N] [-C DIR] [--flat] PACKAGE" : verb == "test" ? "[-k KEY] [-j N] PACKAGE" : "PACKAGE",
                 summary);
  if (verb != "list")
    p.Number("-k,--key", "KEY", "the key of a locked package (decimal or 0x hex, 32 bits)", key, INT32_MIN, UINT32_MAX);
  int64_t jobs = 1;
  if (verb != "list") p.Jobs("threads that decode files ahead of the one that writes them", jobs);
  if (verb == "extract") {
    p.Text("-C,--directory", "DIR", "the folder to extract into (default: the current folder)", dir);
    p.Flag("--flat", "every file by its bare name into DIR, as the setup expands a package", flat);
  }
  bool json = false;
  if (verb == "list") p.Flag("--json", "print the listing as one JSON document, for scripts", json);
  p.Flag("-q,--quiet", "no progress and no summary", quiet);
  p.Positional("PACKAGE", "the package folder, or one of its segment files", package, true);
  if (!p.Parse(args)) return kExitOk;

  Located loc = Locate(package);
  TSegVelloxEZ seg;
  TerminalDialogs dialogs;
  TempFolder temp;
  seg.SetSegDir(loc.dir);
  seg.SetSegBaseName(loc.base);
  seg.SegPopUp = false;
  seg.Dialogs = &dialogs;
  seg.KeyValue = static_cast<int32_t>(static_cast<uint32_t>(key));
  seg.SetSegTmpDir(temp.Path());
  seg.DecodeThreads = static_cast<int>(jobs);
  seg.ExpandWhileCopying = true;  // nothing here waits for a whole archive's copy

  Progress progress(quiet);
  Position at;
  std::map<size_t, std::vector<std::string>> listed;  // each archive's file list, as read
  std::map<size_t, std::unordered_set<std::string>> listedFolded;
  std::map<size_t, std::vector<std::string>> cutNames;  // list lines cut at a zero byte
  uint64_t archiveDone = 0;
  int64_t memberSize = 0;
  seg.OnSegBefore = [&](TSegMode, const std::string& name, uint16_t n) {
    if (n < 2 || plat::GetFileAttributes(SegmentPath(loc, n)) != plat::kInvalidAttributes || plat::IsTerminal(0)) return;
    std::string previous = SegmentFileName(loc.base, "", n - 1u);
    // The last segment of a set is usually shorter than the others, so a cut-off last segment
    // and a missing next one look alike.
    if (plat::GetFileAttributes(SegmentPath(loc, n + 1u)) != plat::kInvalidAttributes)
      throw EGeneralError("segment " + name + " is missing");
    throw EGeneralError("the package's data goes on past " + previous + ": " + name + " is missing, or " + previous +
                        " is truncated");
  };
  seg.OnSegBeforeExpand = [&](TSegArcList& list) {
    at.listsRead = true;
    for (size_t i = 0; i < list.size(); ++i) {
      at.templates.push_back(list[i]->Template);
      listed[i] = list[i]->Files;
      for (const auto& f : list[i]->Files) listedFolded[i].insert(plat::FoldAsciiCase(f));
      cutNames[i] = list[i]->CutNames;
    }
  };
  seg.OnMemberHeader = [&](const TArchiveHeader& archive, const TMemberHeader& h, const std::string& name) {
    StopIfInterrupted();  // stored members have no pause of their own
    if (!at.listsRead) return;  // the file lists' own members
    if (at.member.empty()) archiveDone = 0;
    else archiveDone += static_cast<uint64_t>(std::max(memberSize, int64_t{0}));
    at.member = name;
    memberSize = h.ExpandedSize;
    if (std::string note = WindowsMemberNote(name); !note.empty())
      std::fprintf(stderr, "tovin %s: %s%s\n", verb.c_str(), at.Describe(seg).c_str(), Printable(note).c_str());
    progress.SetTotal(static_cast<uint64_t>(std::max(archive.TotalSize, 0)));
  };
  seg.ShowProgress = [&](int32_t& percent) {
    StopIfInterrupted();
    progress.Show(at.member, archiveDone + static_cast<uint64_t>(memberSize) * static_cast<uint64_t>(std::max(percent, 0)) / 100);
  };
  auto nextArchive = [&] {
    progress.Done();
    ++at.archive;
    at.member.clear();
  };
  std::string current;  // the file extract writes now, and whether one was there before
  bool currentExisted = false;
  auto run = [&] {
    try {
      seg.ExpandSet();
    } catch (const std::exception& e) {
      progress.Done();
      throw EGeneralError(at.Describe(seg) + e.what() + FailedFileNote(current, currentExisted));
    }
    progress.Done();
  };
  size_t problems = 0;
  // Every member of the archive just read (its work file is still there), with the reason the
  // setup would leave each out; names of its file list that are missing or were cut short.
  struct Member {
    std::string name;
    TPackedFileInfo info;
    std::optional<LeftOut> leftOut;
  };
  auto account = [&](size_t archive) {
    std::vector<TListedMember> all;
    seg.ListArchive(seg.WorkFileName(), all);
    std::string methodId;
    FileStream work(seg.WorkFileName(), FileStream::Mode::OpenRead);
    int32_t totalSize = seg.ReadArchiveHeader(work, methodId).TotalSize;
    std::vector<bool> reached = MembersReached(all, totalSize);
    std::vector<Member> members;
    std::unordered_set<std::string> held;
    for (size_t i = 0; i < all.size(); ++i) {
      const TListedMember& m = all[i];
      std::string folded = plat::FoldAsciiCase(m.Name);
      bool inList = listedFolded[archive].count(folded) > 0;
      members.push_back({m.Name, m.Info, WhyLeftOut(m.Name, reached[i], inList, totalSize)});
      held.insert(std::move(folded));
    }
    std::string where = "tovin " + verb + ": archive " + Printable(at.templates[archive]) + ": ";
    // A line ends at its first zero byte; what a writer left after it is no part of the name.
    // Worth a note, since a name that held the byte is looked for cut short, but no fault.
    for (const auto& name : cutNames[archive])
      std::fprintf(stderr, "%snote: the file list's line %s ends at a zero byte; the name is what comes before it\n",
                   where.c_str(), Printable(name).c_str());
    for (const auto& name : listed[archive])
      if (!held.count(plat::FoldAsciiCase(name))) {
        std::fprintf(stderr, "%s%s is in the file list but not in the archive\n", where.c_str(), Printable(name).c_str());
        ++problems;
      }
    return members;
  };
  // test and extract: the members they leave out, each with its reason.
  auto reportLeftOut = [&](size_t archive) {
    for (const auto& m : account(archive)) {
      if (!m.leftOut) continue;
      std::fprintf(stderr, "tovin %s: archive %s, member %s: %s\n", verb.c_str(), Printable(at.templates[archive]).c_str(),
                   Printable(m.name).c_str(), m.leftOut->why.c_str());
      problems += m.leftOut->problem;
    }
  };

  if (verb == "list") {
    nlohmann::json listing = {{"package", plat::ToHostPath(loc.dir)}, {"archives", nlohmann::json::array()}};
    seg.OnMemberHeader = [&](const TArchiveHeader&, const TMemberHeader&, const std::string& name) {
      if (!at.listsRead) return;
      at.member = name;
    };
    seg.OnCheckFile = [&](std::string& path, TCProcessMode) { path.clear(); };  // read headers only
    seg.OnSegAfterArchive = [&](TSegArcHeader&, const std::string& tmpl) {
      progress.Done();  // a line printed on the terminal must not land on the bar
      auto members = account(at.archive);
      MemberTable table;
      nlohmann::json files = nlohmann::json::array();
      if (!json)
        std::printf("Archive %s (%zu file%s)\n%s", Printable(tmpl).c_str(), members.size(), members.size() == 1 ? "" : "s",
                    table.Header().c_str());
      for (const auto& m : members) {
        const TPackedFileInfo& i = m.info;
        MemberRow row{m.name, i.Method, i.ExpandedSize, i.StoredSize, i.DateTime, i.Attributes, i.Locked, ""};
        if (m.leftOut) {
          row.Remark = m.leftOut->why;
          problems += m.leftOut->problem;
        } else if (!FindMethod(i.Method)) {
          row.Remark = UnknownMethodRemark(i.Method);
          ++problems;
        }
        if (std::string note = WindowsMemberNote(m.name); !note.empty())
          row.Remark += (row.Remark.empty() ? "" : "; ") + Printable(note);
        if (json) {
          files.push_back({{"name", m.name}, {"method", MethodName(i.Method)}, {"size", i.ExpandedSize},
                           {"stored", i.StoredSize}, {"date", DosDate(i.DateTime)},
                           {"attributes", AttributeLetters(i.Attributes)}, {"locked", i.Locked},
                           {"remark", row.Remark}});
        } else {
          std::fputs(table.Row(row).c_str(), stdout);
        }
      }
      if (json) listing["archives"].push_back({{"template", tmpl}, {"files", std::move(files)}});
      else std::printf("%s\n", table.Totals().c_str());
      nextArchive();
    };
    run();
    if (json) {
      listing["problems"] = problems;
      // Names are 8-bit Windows text: bytes that are not UTF-8 come out as U+FFFD.
      std::puts(listing.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    } else if (at.templates.empty()) {
      std::printf("The package holds no archive.\n");
    }
    return problems ? kExitFailure : kExitOk;
  }

  if (verb == "test") {
    seg.TestOnly = true;
    size_t files = 0, inArchive = 0;
    seg.OnCheckFile = [&](std::string&, TCProcessMode) { ++inArchive; };
    seg.OnSegAfterArchive = [&](TSegArcHeader&, const std::string& tmpl) {
      progress.Done();  // a line printed on the terminal must not land on the bar
      reportLeftOut(at.archive);
      if (!quiet) std::printf("%s: %zu file%s ok\n", Printable(tmpl).c_str(), inArchive, inArchive == 1 ? "" : "s");
      files += inArchive;
      inArchive = 0;
      nextArchive();
    };
    run();
    if (problems) {
      std::fprintf(stderr, "tovin test: %zu problem(s) found\n", problems);
      return kExitFailure;
    }
    if (!quiet) std::printf("%zu archive(s), %zu files tested, all good\n", at.templates.size(), files);
    return kExitOk;
  }

  std::string root = plat::FromHostPath(dir);
  std::error_code failed;
  std::filesystem::create_directories(plat::ToHostPath(root), failed);
  if (failed) throw EGeneralError("cannot create the folder " + dir + ": " + failed.message());
  seg.ExceptionOnFileError = true;
  seg.DeleteFailedFiles = true;
  seg.CheckSpaceBeforeExpand = true;
  std::set<std::string> written;  // folded target paths, to count what is on disk
  // Whether a file was at the target before it was written, for the note on a failure. In a
  // folder this run made, only a file it wrote itself: one look at the folder, not at each file.
  std::map<std::string, bool> folderWasThere;  // folded
  auto existedBefore = [&](const std::string& path, const std::string& folded) {
    auto cut = path.rfind('\\');
    if (cut == std::string::npos) return plat::GetFileAttributes(path) != plat::kInvalidAttributes;
    auto [it, fresh] = folderWasThere.emplace(plat::UpperCase(path.substr(0, cut)), false);
    if (fresh) it->second = plat::GetFileAttributes(path.substr(0, cut)) != plat::kInvalidAttributes;
    if (!it->second) return written.count(folded) > 0;
    return plat::GetFileAttributes(path) != plat::kInvalidAttributes;
  };
  std::map<std::string, std::string> bareOwner;
  size_t clashes = 0;
  seg.OnCheckFile = [&](std::string& path, TCProcessMode) {
    std::string prefix = seg.TargetPath();
    std::string member = at.member;
    if (flat) {  // as the setup does: every file by its bare name in one folder
      std::string bare = member.substr(member.find_last_of("\\/:") + 1);
      if (bare.empty() || bare == "." || bare == "..") throw EGeneralError("refusing member " + Printable(member));
      auto [it, fresh] = bareOwner.emplace(plat::UpperCase(bare), member);
      if (!fresh) {
        std::fprintf(stderr, "tovin extract: %s replaces %s (--flat keeps one file per name)\n",
                     Printable(member).c_str(), Printable(it->second).c_str());
        it->second = member;
        ++clashes;
      }
      path = root + "\\" + bare;
    } else {
      auto folder = SafeRelative(prefix);
      auto rel = MemberBelow(prefix, path);
      if (!folder) throw EGeneralError("refusing to write outside " + dir + ": template folder " + Printable(prefix));
      if (!rel || rel->empty()) throw EGeneralError("refusing to write outside " + dir + ": member " + Printable(member));
      path = root + "\\" + (folder->empty() ? "" : *folder + "\\") + *rel;
    }
    std::string folded = plat::UpperCase(path);
    current = path;
    currentExisted = existedBefore(path, folded);
    written.insert(std::move(folded));
  };
  seg.OnSegAfterArchive = [&](TSegArcHeader&, const std::string&) {
    progress.Done();  // a line printed on the terminal must not land on the bar
    reportLeftOut(at.archive);
    nextArchive();
  };
  run();
  if (!quiet)
    std::fprintf(stderr, "%zu files written below %s%s\n", written.size(), dir.c_str(),
                 clashes ? (" (" + std::to_string(clashes) + " replaced an earlier file of the same name)").c_str() : "");
  return problems ? kExitFailure : kExitOk;
}

}  // namespace tovin::cli
