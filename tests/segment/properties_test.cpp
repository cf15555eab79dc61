// The segment component's property rules and file naming.
#include <gtest/gtest.h>

#include "segment/seg_vellox.h"

namespace tovin::test {
namespace {

TEST(SegProperties, DefaultsAndSetters) {
  TSegVelloxEZ s;
  EXPECT_EQ(s.SegBaseName(), "SegData");
  EXPECT_EQ(s.SegDir(), "a:\\");
  EXPECT_EQ(s.SegExt(), "");
  EXPECT_TRUE(s.SegPopUp);
  EXPECT_EQ(s.SegSize(), 1440000);
  EXPECT_EQ(s.SegBuildMode, TSegVelloxEZ::bmRecursive);
  EXPECT_EQ(s.SegCompType, coLZH);
  EXPECT_FALSE(s.SegMultiArc);

  struct {
    std::function<void(TSegVellox&)> set;
    std::function<std::string(const TSegVellox&)> get;
    std::string expected;
  } cases[] = {
      {[](TSegVellox& v) { v.SetSegBaseName("C:\\Pkg\\MySet"); }, [](const TSegVellox& v) { return v.SegBaseName(); }, "myset"},
      {[](TSegVellox& v) { v.SetSegBaseName(""); }, [](const TSegVellox& v) { return v.SegBaseName(); }, "SegData"},
      {[](TSegVellox& v) { v.SetSegDir(""); }, [](const TSegVellox& v) { return v.SegDir(); }, "a:\\"},
      {[](TSegVellox& v) { v.SetSegDir("D:\\Disk"); }, [](const TSegVellox& v) { return v.SegDir(); }, "d:\\disk"},
      {[](TSegVellox& v) { v.SetSegExt("data"); }, [](const TSegVellox& v) { return v.SegExt(); }, "dat"},
      {[](TSegVellox& v) { v.SetSegExt("ab"); }, [](const TSegVellox& v) { return v.SegExt(); }, "ab"},
      {[](TSegVellox& v) { v.SetSegSize(1000); }, [](const TSegVellox& v) { return std::to_string(v.SegSize()); }, "16384"},
      {[](TSegVellox& v) { v.SetSegSize(50000); }, [](const TSegVellox& v) { return std::to_string(v.SegSize()); }, "50000"},
      {[](TSegVellox& v) { v.SetSegTmpDir("C:\\Temp\\X\\"); }, [](const TSegVellox& v) { return v.SegTmpDir(); }, "c:\\temp\\x"},
  };
  for (const auto& c : cases) {
    TSegVellox v;
    c.set(v);
    EXPECT_EQ(c.get(v), c.expected);
  }
}

TEST(SegNaming, ExtensionsAndNumbers) {
  EXPECT_EQ(SegmentFileName("SegData", "", 1), "SegData.001");
  EXPECT_EQ(SegmentFileName("SegData", "", 7), "SegData.007");
  EXPECT_EQ(SegmentFileName("SegData", "", 12), "SegData.012");
  EXPECT_EQ(SegmentFileName("SegData", "", 1234), "SegData.1234");
  EXPECT_EQ(SegmentFileName("SegData", "dat", 7), "SegData.dat");
}

}  // namespace
}  // namespace tovin::test
