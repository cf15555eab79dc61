#include "tools/member_table.h"

#include <cstdio>

#include "codec/method_table.h"
#include "container/archive_format.h"
#include "platform/platform.h"
#include "tools/host_paths.h"

namespace tovin::cli {
namespace {

std::string Ratio(int64_t stored, int64_t size) {
  char buf[16];
  if (size <= 0) return "    -";
  std::snprintf(buf, sizeof buf, "%5.1f%%", 100.0 * static_cast<double>(stored) / static_cast<double>(size));
  return buf;
}

}  // namespace

std::vector<bool> MembersReached(const std::vector<TListedMember>& members, int32_t totalSize) {
  std::vector<bool> reached;
  int64_t sum = 0;
  bool going = true;
  for (const auto& m : members) {
    going = going && MemberReached(sum, totalSize, m.Info.ExpandedSize);
    if (going) sum += m.Info.ExpandedSize;
    reached.push_back(going);
  }
  return reached;
}

std::string UnknownMethodRemark(uint8_t method) {
  return !FindMethod(method) ? "unknown method " + std::to_string(method) + ": it cannot be expanded" : "";
}

std::string PastTotalRemark(int32_t totalSize) {
  return "past the archive's total size of " + std::to_string(totalSize) + " bytes: the setup leaves it out";
}

std::string DosDate(int32_t dos) {
  uint32_t d = static_cast<uint32_t>(dos) >> 16, t = static_cast<uint32_t>(dos) & 0xFFFF;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", (d >> 9) + 1980, (d >> 5) & 15, d & 31, t >> 11,
                (t >> 5) & 63, (t & 31) * 2);
  return buf;
}

std::string AttributeLetters(uint16_t a) {
  std::string s = "----";
  if (a & plat::kAttrReadOnly) s[0] = 'R';
  if (a & plat::kAttrHidden) s[1] = 'H';
  if (a & plat::kAttrSystem) s[2] = 'S';
  if (a & plat::kAttrArchive) s[3] = 'A';
  return s;
}

std::string MemberTable::Header() const {
  return "Method       Size     Stored  Ratio  Date                Attr Lock Name\n"
         "------ ---------- ---------- ------ ------------------- ---- ---- ----\n";
}

std::string MemberTable::Row(const MemberRow& r) {
  size_ += r.Size;
  stored_ += r.Stored;
  ++count_;
  char buf[160];
  std::snprintf(buf, sizeof buf, "%-6s %10lld %10lld %6s %-19s %-4s %-4s ", MethodName(r.Method),
                static_cast<long long>(r.Size), static_cast<long long>(r.Stored), Ratio(r.Stored, r.Size).c_str(),
                DosDate(r.DosDateTime).c_str(), AttributeLetters(r.Attributes).c_str(), r.Locked ? "yes" : "no");
  return buf + Printable(r.Name) + (r.Remark.empty() ? "" : "  (" + r.Remark + ")") + "\n";
}

std::string MemberTable::Totals() const {
  char buf[160];
  std::snprintf(buf, sizeof buf,
                "------ ---------- ---------- ------                              ----\n"
                "       %10lld %10lld %6s                              %lld file%s\n",
                static_cast<long long>(size_), static_cast<long long>(stored_), Ratio(stored_, size_).c_str(),
                static_cast<long long>(count_), count_ == 1 ? "" : "s");
  return buf;
}

}  // namespace tovin::cli
