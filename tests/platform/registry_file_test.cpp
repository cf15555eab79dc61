// The REGEDIT4 document behind the emulated registry: escaping, key matching, nesting,
// replacement, and reading files back.
#include <gtest/gtest.h>

#include "platform/registry_file.h"

namespace tovin::test {
namespace {

using reg::Document;

const char* kRoot = "HKEY_LOCAL_MACHINE";

Document Parsed(std::string_view text) {
  auto doc = Document::Parse(text, kRoot);
  EXPECT_TRUE(doc) << text;
  return doc ? std::move(*doc) : Document(kRoot);
}

struct EscapeCase {
  const char* what;
  std::string data;
  std::string line;  // the value line as written
};

const EscapeCase kEscapes[] = {
    {"plain", "My App", "\"V\"=\"My App\""},
    {"empty", "", "\"V\"=\"\""},
    {"backslashes", "C:\\Program Files\\App\\", "\"V\"=\"C:\\\\Program Files\\\\App\\\\\""},
    {"double quotes", "say \"hi\"", "\"V\"=\"say \\\"hi\\\"\""},
    {"backslash before a quote", "a\\\"b", "\"V\"=\"a\\\\\\\"b\""},
    {"single quote, equals, brackets", "it's [x]=y;z", "\"V\"=\"it's [x]=y;z\""},
    {"blanks kept", "  spaced  ", "\"V\"=\"  spaced  \""},
    {"8-bit characters", "caf\xE9 \xA9", "\"V\"=\"caf\xE9 \xA9\""},
    {"tab", "a\tb", "\"V\"=\"a\tb\""},
    {"line break as hex(1)", "a\r\nb", "\"V\"=hex(1):61,0d,0a,62,00"},
    {"bare line feed as hex(1)", "\n", "\"V\"=hex(1):0a,00"},
};

TEST(RegistryFile, StringsAreEscapedAsRegedit4DoesAndReadBack) {
  for (const auto& c : kEscapes) {
    Document doc(kRoot);
    doc.SetString("Key", "V", c.data);
    std::string text = doc.Text();
    EXPECT_EQ(text, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Key]\r\n" + c.line + "\r\n\r\n") << c.what;
    EXPECT_EQ(Parsed(text).String("Key", "V"), c.data) << c.what;
  }
}

TEST(RegistryFile, ValueNamesAreEscapedAndTheDefaultValueIsAt) {
  Document doc(kRoot);
  doc.SetString("K", "", "default");
  doc.SetString("K", "C:\\dir\\\"x\"", "named");
  EXPECT_EQ(doc.Text(),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n@=\"default\"\r\n"
            "\"C:\\\\dir\\\\\\\"x\\\"\"=\"named\"\r\n\r\n");
  Document back = Parsed(doc.Text());
  EXPECT_EQ(back.String("K", ""), "default");
  EXPECT_EQ(back.String("K", "C:\\dir\\\"x\""), "named");
}

TEST(RegistryFile, LongHexStringsWrapAndReadBack) {
  std::string data(100, 'x');
  data[50] = '\n';
  Document doc(kRoot);
  doc.SetString("K", "V", data);
  std::string text = doc.Text();
  EXPECT_NE(text.find(",\\\r\n  "), std::string::npos);
  EXPECT_EQ(Parsed(text).String("K", "V"), data);
}

struct MatchCase {
  const char* created;
  const char* asked;
  bool found;
};

const MatchCase kMatches[] = {
    {"Software\\Tovin", "Software\\Tovin", true},
    {"Software\\Tovin", "SOFTWARE\\tovin", true},
    {"Software\\Tovin", "software\\TOVIN\\", true},
    {"Software\\Tovin", "Software\\\\Tovin", true},
    {"Software\\Tovin", "Software", true},
    {"Software\\Tovin", "Software\\Tovi", false},
    {"Software\\Tovin", "Software\\Tovin\\Sub", false},
    {"Software\\Tovin", "Tovin", false},
    {"Software\\Caf\xE9", "SOFTWARE\\CAF\xE9", true},
};

TEST(RegistryFile, KeysMatchWithoutLetterCase) {
  for (const auto& c : kMatches) {
    Document doc(kRoot);
    doc.SetString(c.created, "Name", "v");
    EXPECT_EQ(doc.HasKey(c.asked), c.found) << c.created << " / " << c.asked;
  }
  Document doc(kRoot);
  doc.SetString("Software\\Tovin", "DisplayName", "v");
  EXPECT_EQ(doc.String("SOFTWARE\\TOVIN", "displayname"), "v");
}

TEST(RegistryFile, NamesKeepTheCaseFirstGiven) {
  Document doc(kRoot);
  doc.CreateKey("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  doc.CreateKey("SOFTWARE\\MICROSOFT\\windows\\currentversion\\uninstall\\My App");
  doc.SetString("software\\microsoft\\windows\\currentversion\\uninstall\\my app", "DisplayName", "1");
  doc.SetString("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\My App", "DISPLAYNAME", "2");
  EXPECT_EQ(doc.Subkeys("software\\microsoft\\windows\\currentversion\\uninstall"),
            std::vector<std::string>{"My App"});
  EXPECT_EQ(doc.Text(),
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\My App]\r\n"
            "\"DisplayName\"=\"2\"\r\n\r\n");
}

TEST(RegistryFile, ABackslashInANameMakesANestedKey) {
  Document doc(kRoot);
  doc.SetString("Uninstall\\Tovin\\Demo", "DisplayName", "Tovin\\Demo");
  EXPECT_EQ(doc.Subkeys("Uninstall"), std::vector<std::string>{"Tovin"});
  EXPECT_EQ(doc.Subkeys("Uninstall\\Tovin"), std::vector<std::string>{"Demo"});
  EXPECT_FALSE(doc.HasValue("Uninstall\\Tovin", "DisplayName"));
  EXPECT_EQ(doc.String("Uninstall\\Tovin\\Demo", "DisplayName"), "Tovin\\Demo");
}

TEST(RegistryFile, ReplacingAValueKeepsItsPlace) {
  Document doc(kRoot);
  doc.SetString("K", "First", "1");
  doc.SetString("K", "Second", "2");
  doc.SetString("K", "FIRST", "one");
  EXPECT_EQ(doc.Text(), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"First\"=\"one\"\r\n\"Second\"=\"2\"\r\n\r\n");
}

TEST(RegistryFile, Deleting) {
  Document doc(kRoot);
  doc.SetString("A\\B\\C", "v", "1");
  doc.SetString("A\\D", "v", "2");
  doc.SetString("A", "v", "3");
  EXPECT_FALSE(doc.DeleteValue("A", "none"));
  EXPECT_FALSE(doc.DeleteValue("A\\none", "v"));
  EXPECT_TRUE(doc.DeleteValue("a", "V"));
  EXPECT_FALSE(doc.HasValue("A", "v"));
  EXPECT_TRUE(doc.DeleteKey("a\\b"));  // with its subkey C
  EXPECT_FALSE(doc.HasKey("A\\B\\C"));
  EXPECT_FALSE(doc.DeleteKey("A\\B"));
  EXPECT_FALSE(doc.DeleteKey(""));
  EXPECT_FALSE(doc.DeleteKey("\\"));
  EXPECT_EQ(doc.String("A\\D", "v"), "2");
  EXPECT_EQ(doc.Text(), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\r\n[HKEY_LOCAL_MACHINE\\A\\D]\r\n\"v\"=\"2\"\r\n\r\n");
}

// A file in the form this document writes, with every kind of line it knows.
const char* kCanonical =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE]\r\n"
    "\"AtRoot\"=\"r\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software]\r\n"
    "@=\"default \\\"quoted\\\"\"\r\n"
    "\"Path\"=\"C:\\\\App\\\\\"\r\n"
    "\"Number\"=dword:0000002a\r\n"
    "\"Binary\"=hex:01,02,03\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Br]acket[ ]\r\n"
    "\"Lines\"=hex(1):61,0d,0a,62,00\r\n"
    "\r\n";

TEST(RegistryFile, ParseAndWriteRoundTrip) {
  Document doc = Parsed(kCanonical);
  EXPECT_EQ(doc.Text(), kCanonical);
  EXPECT_EQ(doc.String("", "AtRoot"), "r");
  EXPECT_EQ(doc.String("Software", ""), "default \"quoted\"");
  EXPECT_EQ(doc.String("Software", "Path"), "C:\\App\\");
  EXPECT_TRUE(doc.HasValue("Software", "Number"));
  EXPECT_FALSE(doc.String("Software", "Number"));  // not a string
  EXPECT_EQ(doc.String("Software\\Br]acket[ ", "Lines"), "a\r\nb");
}

TEST(RegistryFile, ReadsTheLooserFormsOfTheFormat) {
  struct {
    const char* what;
    const char* text;
    const char* key;
    const char* name;
    const char* expected;
  } cases[] = {
      {"LF line ends", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"x\"\n", "K", "V", "x"},
      {"no blank lines, no final line end", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"x\"", "K", "V", "x"},
      {"root name in other case", "REGEDIT4\r\n[hkey_local_machine\\K]\r\n\"V\"=\"x\"\r\n", "K", "V", "x"},
      {"blanks around =", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\" = \"x\"  \r\n", "K", "V", "x"},
      {"comments", "REGEDIT4\r\n; note\r\n[HKEY_LOCAL_MACHINE\\K]\r\n; \"V\"=\"no\"\r\n\"V\"=\"x\"\r\n", "K", "V", "x"},
      {"byte order mark", "\xEF\xBB\xBFREGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"x\"\r\n", "K", "V", "x"},
      {"lone backslash kept", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"C:\\dir\"\r\n", "K", "V", "C:\\dir"},
      {"last of two values wins", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"1\"\r\n\"v\"=\"2\"\r\n", "K", "V", "2"},
      {"a key given twice is one key",
       "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"A\"=\"1\"\r\n[HKEY_LOCAL_MACHINE\\k]\r\n\"V\"=\"x\"\r\n", "K", "V", "x"},
      {"hex(1) over lines, capitals",
       "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=HEX(1):41,\\\r\n  42,\\\r\n  00\r\n", "K", "V", "AB"},
      {"hex(1) without the final zero", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=hex(1):41,42\r\n", "K", "V", "AB"},
  };
  for (const auto& c : cases) EXPECT_EQ(Parsed(c.text).String(c.key, c.name), c.expected) << c.what;
}

TEST(RegistryFile, WhatItAcceptsItWritesSoThatItReadsTheSame) {
  const std::string accepted[] = {
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"N\"=dword:1\\",          // continued past the end
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"N\"=hex:01,\\ \t\\\r\n",  // blanks and more backslashes
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"N\"=x\t\\\r\n[HKEY_LOCAL_MACHINE\\J]\r\n",
      std::string("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"a\rb") + '\0' + "c\"\r\n",  // a zero ends the string
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K\\\\]\r\n\"V\"=\"x\"\r\n[HKEY_LOCAL_MACHINE\\]\r\n@=\"r\"\r\n",
  };
  for (const auto& text : accepted) {
    Document doc = Parsed(text);
    std::string written = doc.Text();
    EXPECT_EQ(Parsed(written).Text(), written) << text;
  }
  EXPECT_EQ(Parsed(accepted[3]).String("K", "V"), "a\rb");
}

TEST(RegistryFile, RefusesWhatIsNotARegedit4FileOfItsRoot) {
  const char* refused[] = {
      "",
      "[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"x\"\r\n",
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINEX\\K]\r\n",
      "REGEDIT4\r\n\"V\"=\"value before any key\"\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"unterminated\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"ends in an escaped quote\\\"\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"x\" trailing\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=hex(1):4g,00\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\nV=\"unquoted name\"\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K\r\n",
  };
  for (const char* text : refused) EXPECT_FALSE(Document::Parse(text, kRoot)) << text;
}

TEST(RegistryFile, PathAndNameChecks) {
  EXPECT_EQ(reg::KeyPathError("Software\\Tovin"), 0u);
  EXPECT_EQ(reg::KeyPathError("Software\\Tovin\\"), 0u);
  EXPECT_EQ(reg::KeyPathError(""), 0u);
  EXPECT_EQ(reg::KeyPathError("\\Software"), reg::kErrorBadPathname);
  EXPECT_EQ(reg::KeyPathError("Software\\Two\r\nLines"), reg::kErrorInvalidName);
  EXPECT_EQ(reg::ValueNameError("Display Name"), 0u);
  EXPECT_EQ(reg::ValueNameError("a\nb"), reg::kErrorInvalidParameter);
  EXPECT_EQ(reg::SplitKeyPath("\\\\a\\\\b\\"), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace tovin::test
