// The container's failures, each with its message.
#pragma once
#include "codec/codec_errors.h"
#include "platform/exception.h"

namespace tovin {

TOVIN_EXCEPTION(EInvalidHeader);                  // "Can't recognize compressed file header"
TOVIN_EXCEPTION(EInvalidHeaderArchiveType);       // "Archive type must be caMulti"
TOVIN_EXCEPTION(EUnrecognizedCompressionMethod);  // "Unrecognized compression method: "..." in header"
TOVIN_EXCEPTION(EBadChecksum);                    // "Bad checksum during expansion -- data may be invalid"
TOVIN_EXCEPTION(EInvalidKey);                     // "File locked -- valid key required"
TOVIN_EXCEPTION(EInsufficientDiskSpace);          // "Not enough disk space to expand " + path

inline constexpr const char* kFileLocked = "File locked -- valid key required";

}  // namespace tovin
