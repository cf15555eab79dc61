// The Shell Link codec: round trips, the documented header, a link written by Windows, and
// damaged bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/shell_link_format.h"

namespace plat {
void PrintTo(const ShellLink& l, std::ostream* os) {
  *os << "{" << l.target << " | " << l.workingDirectory << " | " << l.iconLocation << " , " << l.iconIndex << "}";
}
}  // namespace plat

namespace tovin::test {
namespace {

using plat::DecodeShellLink;
using plat::EncodeShellLink;
using plat::ShellLink;

uint32_t U32At(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::string FromHex(const char* hex) {
  std::string out;
  auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
  for (const char* p = hex; p[0] && p[1]; p += 2) out += static_cast<char>(digit(p[0]) * 16 + digit(p[1]));
  return out;
}

// The sample link of the format's documentation: "C:\test\a.txt" with an item ID list, a
// relative path, the working directory "C:\test", UTF-16 strings and a tracker block.
const std::string kWindowsSample = FromHex(
    "4C0000000114020000000000C0000000000000469B00080020000000D0E9EEF21515C901D0E9EEF2"
    "1515C901D0E9EEF21515C901000000000000000001000000000000000000000000000000BD001400"
    "1F50E04FD020EA3A6910A2D808002B30309D19002F433A5C00000000000000000000000000000000"
    "00000046003100000000002C3969A31000746573740000320007000400EFBE2C3965A32C3969A326"
    "000000031E00000000F51E0000000000000000000074006500730074000000140048003200000000"
    "002C3969A32000612E74787400340007000400EFBE2C3969A32C3969A3260000002D6E0000000096"
    "010000000000000000000061002E007400780074000000140000003C0000001C000000010000001C"
    "0000002D000000000000003B0000001100000003000000818A7A301000000000433A5C746573745C"
    "612E747874000007002E005C0061002E00740078007400070043003A005C00740065007300740060"
    "000000030000A0580000000000000063687269732D787073000000000000004078C79447FAC746B3"
    "565C2DC6B6D115EC46CD7B227FDD11949900137216874A4078C79447FAC746B3565C2DC6B6D115EC"
    "46CD7B227FDD11949900137216874A00000000");

struct RoundTripCase {
  const char* what;
  ShellLink link;
};

const RoundTripCase kRoundTrips[] = {
    {"setup shortcut", {"C:\\Program Files\\App\\app.exe", "C:\\Program Files\\App\\", "C:\\Program Files\\App\\app.ico", 0}},
    {"icon index", {"C:\\App\\app.exe", "C:\\App\\", "C:\\WINDOWS\\System\\shell32.dll", 41}},
    {"negative icon index (a resource id)", {"C:\\App\\app.exe", "C:\\App\\", "C:\\App\\app.exe", -101}},
    {"no working directory", {"C:\\App\\app.exe", "", "C:\\App\\app.exe", 0}},
    {"no icon", {"C:\\App\\app.exe", "C:\\App\\", "", 0}},
    {"no target", {"", "C:\\App\\", "C:\\App\\app.ico", 0}},
    {"nothing at all", {"", "", "", 0}},
    {"8-bit characters", {"C:\\Programme\\M\xFC" "ll\\\xE9t\xE9.exe", "C:\\Programme\\M\xFC" "ll\\", "C:\\\xA9.ico", 0}},
    {"quotes and blanks", {"C:\\My App\\\"quoted\".exe", " C:\\lead ", "C:\\x;y.ico", 2}},
    {"longest counted strings", {std::string(70000, 't'), std::string(0xFFFF, 'w'), std::string(0xFFFF, 'i'), 0}},
};

TEST(ShellLinkFormat, RoundTrips) {
  for (const auto& c : kRoundTrips) {
    auto bytes = EncodeShellLink(c.link);
    ASSERT_TRUE(bytes) << c.what;
    auto back = DecodeShellLink(*bytes);
    ASSERT_TRUE(back) << c.what;
    EXPECT_EQ(*back, c.link) << c.what;
  }
}

TEST(ShellLinkFormat, HeaderAsDocumented) {
  auto bytes = EncodeShellLink({"C:\\App\\app.exe", "C:\\App\\", "C:\\App\\app.ico", 5}, 0x20);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(U32At(*bytes, 0), 0x4Cu);
  EXPECT_EQ(bytes->substr(4, 16), kWindowsSample.substr(4, 16));  // CLSID_ShellLink
  EXPECT_EQ(U32At(*bytes, 0x14), 0x52u);  // HasLinkInfo, HasWorkingDir, HasIconLocation; 8-bit strings
  EXPECT_EQ(U32At(*bytes, 0x18), 0x20u);  // the target's attributes
  EXPECT_EQ(U32At(*bytes, 0x38), 5u);     // icon index
  EXPECT_EQ(U32At(*bytes, 0x3C), 1u);     // SW_SHOWNORMAL
  EXPECT_EQ(bytes->substr(bytes->size() - 4), std::string(4, '\0'));  // terminal block

  // LinkInfo: a local path on a fixed drive with an empty label, and an empty suffix.
  size_t info = 0x4C;
  EXPECT_EQ(U32At(*bytes, info + 4), 0x1Cu);
  EXPECT_EQ(U32At(*bytes, info + 8), 1u);
  size_t volume = info + U32At(*bytes, info + 12);
  EXPECT_EQ(U32At(*bytes, volume + 4), 3u);  // DRIVE_FIXED
  EXPECT_EQ((*bytes)[volume + U32At(*bytes, volume + 12)], '\0');
  EXPECT_EQ(bytes->substr(info + U32At(*bytes, info + 16), 15), std::string("C:\\App\\app.exe", 15));
  EXPECT_EQ((*bytes)[info + U32At(*bytes, info + 24)], '\0');
  EXPECT_EQ(info + U32At(*bytes, info), info + U32At(*bytes, info + 24) + 1);

  auto bare = EncodeShellLink({"C:\\App\\app.exe", "", "", 0});
  EXPECT_EQ(U32At(*bare, 0x14), 0x02u);  // empty strings are left out
}

TEST(ShellLinkFormat, ReadsTheLinkOfTheDocumentation) {
  auto link = DecodeShellLink(kWindowsSample);
  ASSERT_TRUE(link);
  EXPECT_EQ(*link, (ShellLink{"C:\\test\\a.txt", "C:\\test", "", 0}));
}

TEST(ShellLinkFormat, WideCharactersBeyondLatin1BecomeQuestionMarks) {
  std::string sample = kWindowsSample;
  size_t at = sample.find(std::string("C\0:\0\\\0t\0", 8));  // the UTF-16 working directory
  ASSERT_NE(at, std::string::npos);
  sample[at + 6] = '\xA9';  // U+03A9 for the 't'
  sample[at + 7] = '\x03';
  sample[at + 8] = '\xE9';  // U+00E9 for the 'e'
  EXPECT_EQ(DecodeShellLink(sample)->workingDirectory, "C:\\?\xE9st");
}

TEST(ShellLinkFormat, ACountedStringEndsAtAZeroItHolds) {
  std::string bytes = *EncodeShellLink({"", "C:\\A\\", "", 0});
  ASSERT_EQ(bytes[0x4C], 5);
  bytes[0x4C] = 6;  // the count now takes in the zero after it, as Wine writes strings
  EXPECT_EQ(DecodeShellLink(bytes)->workingDirectory, "C:\\A\\");
}

TEST(ShellLinkFormat, RefusesStringsItCannotStore) {
  const ShellLink refused[] = {
      {std::string("C:\\a\0b", 6), "", "", 0},
      {"C:\\a", std::string("C:\\\0", 4), "", 0},
      {"C:\\a", "", std::string("\0", 1), 0},
      {"C:\\a", std::string(0x10000, 'w'), "", 0},
      {"C:\\a", "", std::string(0x10000, 'i'), 0},
  };
  for (const auto& link : refused) EXPECT_FALSE(EncodeShellLink(link));
}

TEST(ShellLinkFormat, EveryCutShortLinkIsRejected) {
  auto bytes = *EncodeShellLink(kRoundTrips[0].link);
  // Everything but the terminal block carries the link.
  for (size_t n = 0; n + 4 < bytes.size(); ++n) EXPECT_FALSE(DecodeShellLink(bytes.substr(0, n))) << n;
  // The sample's extra data (from 0x167) carries nothing the link needs.
  for (size_t n = 0; n < 0x167; ++n) EXPECT_FALSE(DecodeShellLink(kWindowsSample.substr(0, n))) << n;
  EXPECT_TRUE(DecodeShellLink(kWindowsSample.substr(0, 0x167)));
}

TEST(ShellLinkFormat, DamagedFieldsAreRejected) {
  const std::string good = *EncodeShellLink(kRoundTrips[0].link);
  auto with = [&](size_t at, uint32_t value) {
    std::string b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(value >> (8 * i));
    return b;
  };
  size_t info = 0x4C;
  struct {
    const char* what;
    std::string bytes;
  } damaged[] = {
      {"header size", with(0, 0x4D)},
      {"class id", with(4, 0x00021402)},
      {"link info larger than the file", with(info, 0x10000)},
      {"link info smaller than its header", with(info, 8)},
      {"link info header beyond the block", with(info + 4, 0x400)},
      {"local path beyond the block", with(info + 16, 0x400)},
      {"suffix beyond the block", with(info + 24, 0x400)},
      {"link info ends inside the local path", with(info, U32At(good, info + 16) + 5)},
      {"item ID list claimed but absent", with(0x14, 0x53)},
  };
  for (const auto& d : damaged) EXPECT_FALSE(DecodeShellLink(d.bytes)) << d.what;
  EXPECT_FALSE(DecodeShellLink("not a link at all"));
}

}  // namespace
}  // namespace tovin::test
