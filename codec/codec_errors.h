#pragma once
#include "platform/exception.h"

namespace tovin {

TOVIN_EXCEPTION(ELZHBadDecodeTable);  // "Bad decode table in archive!"
TOVIN_EXCEPTION(EUnableToCompress);   // "Could not compress data"

inline constexpr const char* kBadDecodeTable = "Bad decode table in archive!";
inline constexpr const char* kCouldNotCompress = "Could not compress data";

}  // namespace tovin
