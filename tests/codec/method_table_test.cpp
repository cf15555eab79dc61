// The method table: each row's names and coder, and the look-ups every caller uses.
#include <gtest/gtest.h>

#include "codec/method_table.h"
#include "tests/codec/codec_helpers.h"

namespace tovin::test {
namespace {

TEST(MethodTable, Rows) {
  struct {
    TPackMethod method;
    const char* id;
    const char* cliName;
    bool coded;
  } rows[] = {
      {coNone, "NON", "none", false}, {coRLE, "RLE", "rle", true},   {coLZH, "LZH", "lzh", true},
      {coCustom, "CUS", "custom", false}, {coLZH5, "LH5", "lh5", true},
  };
  ASSERT_EQ(Methods().size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const auto& r = rows[i];
    const MethodInfo* m = FindMethod(r.method);
    ASSERT_NE(m, nullptr) << r.id;
    EXPECT_EQ(&Methods()[i], m) << "rows in ordinal order";
    EXPECT_EQ(m->Method, r.method);
    EXPECT_STREQ(m->Id, r.id);
    EXPECT_STREQ(m->CliName, r.cliName);
    EXPECT_NE(std::string(m->DisplayName), "");
    EXPECT_EQ(m->Decode != nullptr, r.coded) << r.id;
    EXPECT_EQ(m->Encode != nullptr, r.coded) << r.id;
    EXPECT_EQ(FindMethodById(r.id), m);
    EXPECT_EQ(FindMethodByCliName(r.cliName), m);
  }
}

TEST(MethodTable, UnknownOrdinalsAndNames) {
  for (int ordinal : {5, 6, 88, 255}) EXPECT_EQ(FindMethod(static_cast<uint8_t>(ordinal)), nullptr) << ordinal;
  // Identifiers compare exactly: letter case and length count.
  for (const char* id : {"lh5", "Lh5", "LH", "LH5 ", ""}) EXPECT_EQ(FindMethodById(id), nullptr) << id;
  EXPECT_EQ(FindMethodById(std::string_view("LH5\0", 4)), nullptr);
  for (const char* name : {"LH5", "Rle", "stored", "lh", ""}) EXPECT_EQ(FindMethodByCliName(name), nullptr) << name;
}

TEST(MethodTable, WritableMethodsForMessages) {
  EXPECT_EQ(MethodCliNames(), "none, rle, lzh, lh5");
  EXPECT_TRUE(FindMethod(coNone)->Writable());
  EXPECT_FALSE(FindMethod(coCustom)->Writable());
}

// Each row's coder belongs to its method: a stream of one method decodes through that row only.
TEST(MethodTable, CodersMatchTheirRows) {
  std::string data = Text(5000) + RandomBytes(3000, 7);
  for (TPackMethod method : {coRLE, coLZH, coLZH5}) {
    Coded coded = Encode(method, data);
    for (TPackMethod reader : {coRLE, coLZH, coLZH5}) {
      Coded back;
      try {
        back = Decode(reader, coded.bytes, static_cast<int32_t>(data.size()));
      } catch (const std::exception&) {
        back.bytes.clear();  // a bad decode table: certainly not the same bytes
      }
      EXPECT_EQ(back.bytes == data, reader == method) << FindMethod(method)->Id << " read as " << FindMethod(reader)->Id;
    }
  }
}

}  // namespace
}  // namespace tovin::test
