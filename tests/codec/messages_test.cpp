// The codec's message texts, exactly.
#include <gtest/gtest.h>

#include "codec/codec_errors.h"

namespace tovin::test {
namespace {

TEST(CodecMessages, Texts) {
  EXPECT_STREQ(kMsgBadDecodeTable, "Bad decode table in archive!");
  EXPECT_STREQ(kMsgCouldNotCompress, "Could not compress data");
}

}  // namespace
}  // namespace tovin::test
