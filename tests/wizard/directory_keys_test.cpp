// The directory keys of an installation run and the folders they resolve to.
#include <gtest/gtest.h>

#include "wizard/directory_keys.h"

namespace tovin {
namespace {

struct KeyCase {
  const char* key;
  const char* path;
  const char* folder;
};

class DirectoryKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DirectoryKeys, ResolveByTheFirstRuleThatApplies) {
  InstallPlaces places{"C:\\WINDOWS", "C:\\", "D:\\Apps\\App"};
  EXPECT_EQ(ResolveDirectoryKey(plat::UpperCase(GetParam().key), GetParam().path, places), GetParam().folder) << GetParam().key;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectoryKeys,
    ::testing::Values(KeyCase{"<WINDOWS>", "ignored", "C:\\WINDOWS"},
                      KeyCase{"<windows_system>", "ignored", "C:\\WINDOWS\\System"},
                      KeyCase{"<PROGRAMFILES>", "x", "C:\\Program Files"},
                      KeyCase{"<INSTALLDIR>", "ignored", "D:\\Apps\\App"},
                      KeyCase{"<SUB2><WINDOWS>", "fonts", "C:\\WINDOWS\\fonts"},
                      KeyCase{"<SUB4><PROGRAMFILES>", "Common", "C:\\Program Files\\Common"},
                      KeyCase{"<SUB5><WINDOWS_SYSTEM>", "drv", "C:\\WINDOWS\\System\\drv"},
                      KeyCase{"<SUB6><INSTALLDIR>", "data", "D:\\Apps\\App\\data"},
                      KeyCase{"<SUB7><WINDOWS><INSTALLDIR>", "both", "C:\\WINDOWS\\both"},
                      KeyCase{"<SUB3><FOO>", "D:\\x", "D:\\x"},
                      KeyCase{"<SUB1>", "data", "D:\\Apps\\App\\data"},
                      KeyCase{"<ALT1>", "Data", "C:\\Data"},
                      KeyCase{"<OTHER>", "Elsewhere", "C:\\Elsewhere"}));

TEST(KeyedPaths, KeyUpToTheFirstClosingBracket) {
  EXPECT_EQ(SplitKeyedPath("<installdir>bin\\app.exe").Key, "<INSTALLDIR>");
  EXPECT_EQ(SplitKeyedPath("<installdir>bin\\app.exe").Rest, "bin\\app.exe");
  EXPECT_EQ(SplitKeyedPath("<SUB2><WINDOWS>x").Key, "<SUB2>");
  EXPECT_EQ(SplitKeyedPath("<SUB2><WINDOWS>x").Rest, "<WINDOWS>x");
  EXPECT_EQ(SplitKeyedPath("plain").Key, "");
  EXPECT_EQ(SplitKeyedPath("plain").Rest, "plain");
}

}  // namespace
}  // namespace tovin
