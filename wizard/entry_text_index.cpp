#include "wizard/entry_text_index.h"

#include <string_view>

#include "platform/text.h"

namespace tovin {
namespace {

// Pieces kept over all lengths; past this the run scans the list as it always could. Names
// in a list mostly share a few lengths, so a real package stays far below it.
constexpr size_t kIndexBudget = size_t{1} << 20;

uint64_t Hash(std::string_view piece) { return std::hash<std::string_view>{}(piece); }

}  // namespace

TEntryTextIndex::TEntryTextIndex(const std::vector<std::string>& entries) {
  upper_.reserve(entries.size());
  for (const auto& e : entries) {
    upper_.push_back(plat::UpperCase(e));
    chars_ += e.size();
  }
}

bool TEntryTextIndex::Holds(size_t entry, const std::string& upper) const {
  return upper_[entry].find(upper) != std::string::npos;
}

const TEntryTextIndex::Pieces* TEntryTextIndex::PiecesOf(size_t length) const {
  if (auto known = byLength_.find(length); known != byLength_.end()) return &known->second;
  if (indexed_ + chars_ > kIndexBudget) return nullptr;
  Pieces& pieces = byLength_[length];
  for (size_t e = 0; e < upper_.size(); ++e) {
    std::string_view text = upper_[e];
    for (size_t at = 0; at + length <= text.size(); ++at) {
      Holders& h = pieces[Hash(text.substr(at, length))];
      if (h.first == SIZE_MAX) h.first = e;
      else if (h.first != e && h.second == SIZE_MAX) h.second = e;
    }
  }
  indexed_ += pieces.size();
  return &pieces;
}

bool TEntryTextIndex::UsedElsewhere(const std::string& text, size_t index) const {
  std::string upper = plat::UpperCase(text);
  const Pieces* pieces = upper.empty() ? nullptr : PiecesOf(upper.size());
  if (!pieces) {
    for (size_t e = 0; e < upper_.size(); ++e)
      if (e != index && Holds(e, upper)) return true;
    return false;
  }
  // A hash names the entries that may hold the text; each is checked, as two pieces can share
  // a hash. Only when both named entries fail the check can a third one hold it, and then
  // the list is scanned.
  auto found = pieces->find(Hash(upper));
  if (found == pieces->end()) return false;
  const Holders& h = found->second;
  for (size_t e : {h.first, h.second})
    if (e != SIZE_MAX && e != index && Holds(e, upper)) return true;
  bool exact = (h.first == SIZE_MAX || Holds(h.first, upper)) && (h.second == SIZE_MAX || Holds(h.second, upper));
  if (exact) return false;
  for (size_t e = 0; e < upper_.size(); ++e)
    if (e != index && Holds(e, upper)) return true;
  return false;
}

}  // namespace tovin
