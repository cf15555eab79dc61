// Which entries of a list hold a text, without regard to letter case: the installation run asks
// it for every file before it deletes the temporary copy, so a scan of the whole list for each
// file would make installing grow with the square of the number of files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tovin {

class TEntryTextIndex {
 public:
  explicit TEntryTextIndex(const std::vector<std::string>& entries);
  // Whether the upper-cased text occurs in the upper-cased text of an entry other than the one
  // at index.
  bool UsedElsewhere(const std::string& text, size_t index) const;

 private:
  // The first two entries that hold a piece of text of one length.
  struct Holders {
    size_t first = SIZE_MAX, second = SIZE_MAX;
  };
  using Pieces = std::unordered_map<uint64_t, Holders>;  // by hash of the piece
  const Pieces* PiecesOf(size_t length) const;
  bool Holds(size_t entry, const std::string& upper) const;

  std::vector<std::string> upper_;
  size_t chars_ = 0;
  mutable std::unordered_map<size_t, Pieces> byLength_;
  mutable size_t indexed_ = 0;  // pieces held over all lengths
};

}  // namespace tovin
