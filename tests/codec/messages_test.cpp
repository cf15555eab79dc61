// The codec's message texts, exactly.
#include <gtest/gtest.h>

#include "codec/codec_errors.h"

namespace tovin::test {
namespace {

TEST(CodecMessages, Texts) {
  EXPECT_STREQ(kMsgBadDecodeTable, "Bad decode table in archive!");
  EXPECT_STREQ(kMsgCouldNotCompress, "Could not compress data");
  EXPECT_STREQ(kMsgDataEndsEarly, "Compressed data ends too soon -- data may be invalid");
  EXPECT_STREQ(kMsgDataTooLong, "Expanded data longer than stated -- data may be invalid");
}

}  // namespace
}  // namespace tovin::test
