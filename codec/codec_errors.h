// The codec's failures, each with its message.
#pragma once
#include "platform/exception.h"

namespace tovin {

// A code length list of an lh5 block that is no complete prefix code.
TOVIN_EXCEPTION(ELZHBadDecodeTable);
inline constexpr const char* kMsgBadDecodeTable = "Bad decode table in archive!";
// A compressing call whose output would outgrow its budget.
TOVIN_EXCEPTION(EUnableToCompress);
inline constexpr const char* kMsgCouldNotCompress = "Could not compress data";
// Compressed data that cannot give the expanded size it claims: a decoder that would have to
// read on past the member's stored bytes, or output past the member's expanded size.
TOVIN_EXCEPTION(ECorruptData);
inline constexpr const char* kMsgDataEndsEarly = "Compressed data ends too soon -- data may be invalid";
inline constexpr const char* kMsgDataTooLong = "Expanded data longer than stated -- data may be invalid";

}  // namespace tovin
