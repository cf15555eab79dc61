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

}  // namespace tovin
