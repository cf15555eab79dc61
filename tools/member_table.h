// The member table of `list` and `archive list`: method, sizes, ratio, date, attributes, name,
// and a totals line, as archivers print them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "container/vellox.h"

namespace tovin::cli {

struct MemberRow {
  std::string Name;
  uint8_t Method = 0;
  int64_t Size = 0, Stored = 0;
  int32_t DosDateTime = 0;
  uint16_t Attributes = 0;
  bool Locked = false;
  std::string Remark;  // printed after the name
};

class MemberTable {
 public:
  std::string Header() const;
  std::string Row(const MemberRow& row);  // also counts the row into the totals
  std::string Totals() const;

 private:
  int64_t size_ = 0, stored_ = 0, count_ = 0;
};

// Which members of an archive the reader comes to: it reads on while the running total of
// their sizes is below the header's TotalSize (an empty member always), and the first member
// past it ends the archive.
std::vector<bool> MembersReached(const std::vector<TListedMember>& members, int32_t totalSize);
// The remark of a member no reader can expand, or "".
std::string UnknownMethodRemark(uint8_t method);
// What the setup does with a member past the total, for the commands that report it.
std::string PastTotalRemark(int32_t totalSize);

std::string DosDate(int32_t dosDateTime);
std::string AttributeLetters(uint16_t attributes);

}  // namespace tovin::cli
