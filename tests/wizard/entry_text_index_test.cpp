// The index that says whether a file name occurs in another file entry answers as a scan of
// every entry does: on lists made to hold names in other entries, in other letter cases, in
// several lengths, and on a list too large to index.
#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"
#include "wizard/entry_text_index.h"

namespace tovin {
namespace {

// entries upper-cased already.
bool Scanned(const std::vector<std::string>& entries, const std::string& name, size_t index) {
  std::string upper = plat::UpperCase(name);
  for (size_t j = 0; j < entries.size(); ++j)
    if (j != index && entries[j].find(upper) != std::string::npos) return true;
  return false;
}

struct ListCase {
  const char* name;
  size_t entries, pathLength;  // pathLength 0: short names from a small alphabet, so pieces repeat
};

class EntryTextIndex : public ::testing::TestWithParam<ListCase> {};

TEST_P(EntryTextIndex, AnswersAsAScanOfEveryEntry) {
  std::mt19937 random(7);
  auto text = [&](size_t n, const char* alphabet) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += alphabet[random() % std::char_traits<char>::length(alphabet)];
    return s;
  };
  std::vector<std::string> entries, names;
  for (size_t j = 0; j < GetParam().entries; ++j) {
    std::string name = GetParam().pathLength ? text(3 + random() % 10, "abcdefghij") + ".dat" : text(1 + random() % 3, "aBAb.");
    std::string dir = GetParam().pathLength ? text(GetParam().pathLength, "xyz\\") + "\\" : "";
    entries.push_back(dir + name + "~<SUB" + std::to_string(j % 3) + ">" + (j % 4 ? "" : "~X"));
    names.push_back(name);
  }
  names.insert(names.end(), {"", "~", "<sub1>", "DAT~<SUB", "not there", "A.DAT~<SUB0>~X"});
  TEntryTextIndex index(entries);
  std::vector<std::string> upper;
  for (const auto& e : entries) upper.push_back(plat::UpperCase(e));
  for (size_t n = 0; n < names.size(); ++n)
    for (size_t at : {n, size_t{0}, entries.size() - 1})
      ASSERT_EQ(index.UsedElsewhere(names[n], at), Scanned(upper, names[n], at)) << names[n] << " at " << at;
}

INSTANTIATE_TEST_SUITE_P(Lists, EntryTextIndex,
                         ::testing::Values(ListCase{"One", 1, 4}, ListCase{"Package", 600, 12},
                                           ListCase{"RepeatedPieces", 300, 0},
                                           ListCase{"TooLargeToIndex", 1100, 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovin
