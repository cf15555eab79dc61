// The registry calls of the platform layer: on POSIX the emulation, under Wine the real
// registry, held to the same behaviour.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/platform.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

using plat::RegRoot;
constexpr RegRoot kMachine = RegRoot::LocalMachine;

class RegistryTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    static int counter = 0;
    base_ = "Software\\TovinTest\\" + std::to_string(++counter) + "-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  }
  void TearDown() override {
    plat::RegDeleteKey(kMachine, base_);  // the real registry outlives the test
    MachineTest::TearDown();
  }
  std::string Key(const std::string& sub = "") const { return sub.empty() ? base_ : base_ + "\\" + sub; }
  std::optional<std::string> Query(const std::string& sub, const std::string& name) const {
    return plat::RegQueryStringValue(kMachine, Key(sub), name);
  }

 private:
  std::string base_;
};

TEST_F(RegistryTest, StringValuesRoundTrip) {
  const std::string values[] = {
      "My App",
      "",
      "C:\\Program Files\\App\\uninstaller.exe My App",
      "C:\\dir\\",
      "say \"hi\" \\\"",
      "[section]=value;comment",
      "two\r\nlines",
      std::string(5000, 'x'),
  };
  int n = 0;
  for (const auto& v : values) {
    std::string name = "Value" + std::to_string(n++);
    ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("Strings"), name, v)) << v;
    EXPECT_EQ(Query("Strings", name), v);
  }
}

TEST_F(RegistryTest, MissingKeysAndValues) {
  EXPECT_FALSE(Query("Nothing", "DisplayName"));
  EXPECT_EQ(plat::GetLastError(), 2u);
  ASSERT_TRUE(plat::RegCreateKey(kMachine, Key("Empty")));
  EXPECT_FALSE(Query("Empty", "DisplayName"));
  EXPECT_EQ(plat::GetLastError(), 2u);
}

TEST_F(RegistryTest, CreatingMakesEveryParentAndIsRepeatable) {
  ASSERT_TRUE(plat::RegCreateKey(kMachine, Key("A\\B\\C")));
  ASSERT_TRUE(plat::RegCreateKey(kMachine, Key("A\\B\\C")));
  for (const char* sub : {"A", "A\\B", "A\\B\\C"}) {
    ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key(sub), "here", sub));
    EXPECT_EQ(Query(sub, "here"), sub);
  }
}

TEST_F(RegistryTest, KeysAndValueNamesMatchWithoutLetterCase) {
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("Uninstall\\My App"), "DisplayName", "first"));
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("UNINSTALL\\my app"), "DISPLAYNAME", "second"));
  EXPECT_EQ(Query("uninstall\\MY APP", "displayname"), "second");
  EXPECT_EQ(Query("Uninstall\\My App\\", "DisplayName"), "second");  // a trailing backslash
}

TEST_F(RegistryTest, ABackslashInTheNameMakesANestedKey) {
  // An uninstall entry named after a header such as "Tovin\Demo".
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("Uninstall\\Tovin\\Demo"), "DisplayName", "Tovin\\Demo"));
  EXPECT_EQ(Query("Uninstall\\Tovin\\Demo", "DisplayName"), "Tovin\\Demo");
  EXPECT_FALSE(Query("Uninstall\\Tovin", "DisplayName"));
  // Deleting the parent takes the nested key with it.
  ASSERT_TRUE(plat::RegDeleteKey(kMachine, Key("Uninstall\\Tovin")));
  EXPECT_FALSE(Query("Uninstall\\Tovin\\Demo", "DisplayName"));
  EXPECT_EQ(plat::GetLastError(), 2u);
}

TEST_F(RegistryTest, SettingAgainReplacesTheValue) {
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("K"), "UninstallString", "C:\\Old\\uninstaller.exe Old"));
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("K"), "UninstallString", "C:\\New\\uninstaller.exe New"));
  EXPECT_EQ(Query("K", "UninstallString"), "C:\\New\\uninstaller.exe New");
}

TEST_F(RegistryTest, TheDefaultValueHasTheEmptyName) {
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("K"), "", "default"));
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("K"), "named", "other"));
  EXPECT_EQ(Query("K", ""), "default");
  EXPECT_EQ(Query("K", "named"), "other");
}

TEST_F(RegistryTest, DataEndsAtAZeroByte) {
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("K"), "V", std::string("kept\0lost", 9)));
  EXPECT_EQ(Query("K", "V"), "kept");
}

TEST_F(RegistryTest, DeletingValues) {
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("K"), "A", "1"));
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("K"), "B", "2"));
  EXPECT_TRUE(plat::RegDeleteValue(kMachine, Key("K"), "a"));
  EXPECT_FALSE(Query("K", "A"));
  EXPECT_EQ(Query("K", "B"), "2");
  EXPECT_FALSE(plat::RegDeleteValue(kMachine, Key("K"), "A"));
  EXPECT_EQ(plat::GetLastError(), 2u);
  EXPECT_FALSE(plat::RegDeleteValue(kMachine, Key("Missing"), "A"));
  EXPECT_EQ(plat::GetLastError(), 2u);
}

TEST_F(RegistryTest, DeletingAKeyTakesItsSubkeys) {
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("App\\Sub\\Deeper"), "V", "1"));
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("App\\Other"), "V", "2"));
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("Sibling"), "V", "3"));
  EXPECT_TRUE(plat::RegDeleteKey(kMachine, Key("app")));
  EXPECT_FALSE(Query("App\\Sub\\Deeper", "V"));
  EXPECT_FALSE(Query("App\\Other", "V"));
  EXPECT_EQ(Query("Sibling", "V"), "3");
  EXPECT_FALSE(plat::RegDeleteKey(kMachine, Key("App")));
  EXPECT_EQ(plat::GetLastError(), 2u);
}

TEST_F(RegistryTest, TheRootItselfIsNeverDeleted) {
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("K"), "V", "kept"));
  for (const char* root : {"", "\\", "\\\\"}) {
    EXPECT_FALSE(plat::RegDeleteKey(kMachine, root)) << root;
    EXPECT_EQ(plat::GetLastError(), 5u) << root;
  }
  EXPECT_EQ(Query("K", "V"), "kept");
}

TEST_F(RegistryTest, ALeadingBackslashIsRefused) {
  const std::string key = Key("K");
  EXPECT_FALSE(plat::RegCreateKey(kMachine, "\\" + key));
  EXPECT_EQ(plat::GetLastError(), 161u);
}

// What a key holds: how an uninstall tells an emptied key from one still in use.
TEST_F(RegistryTest, KeyCountsSayWhatAKeyHolds) {
  EXPECT_FALSE(plat::RegQueryKeyCounts(kMachine, Key("missing")));
  EXPECT_EQ(plat::GetLastError(), 2u);
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("a"), "one", "1"));
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, Key("a"), "two", "2"));
  ASSERT_TRUE(plat::RegCreateKey(kMachine, Key("a\\b")));
  auto a = plat::RegQueryKeyCounts(kMachine, Key("A"));
  ASSERT_TRUE(a);
  EXPECT_EQ(a->subkeys, 1u);
  EXPECT_EQ(a->values, 2u);
  auto b = plat::RegQueryKeyCounts(kMachine, Key("a\\b"));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->subkeys + b->values, 0u);
}

}  // namespace
}  // namespace tovin::test
