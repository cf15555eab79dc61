// Small text helpers shared by every layer: letter case as Windows compares names, and lines
// of a text file however they end.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace plat {

std::string UpperCase(std::string text);
std::string LowerCase(std::string text);
// Lower case for A to Z only, whatever the locale: how member names, and names on a POSIX
// host, compare without case (an accented letter is compared exactly).
std::string FoldAsciiCase(std::string text);

// The lines of text, each without its LF or CR LF; a last line without an end counts too.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace plat
