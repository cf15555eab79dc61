// The container's failures, each with its message.
#pragma once
#include "codec/codec_errors.h"
#include "platform/exception.h"

namespace tovin {

TOVIN_EXCEPTION(EInvalidHeader);
inline constexpr const char* kMsgInvalidHeader = "Can't recognize compressed file header";
TOVIN_EXCEPTION(EInvalidHeaderArchiveType);
inline constexpr const char* kMsgArchiveTypeNotMulti = "Archive type must be caMulti";
// %s is the 3-character identifier, as read.
TOVIN_EXCEPTION(EUnrecognizedCompressionMethod);
inline constexpr const char* kMsgUnrecognizedMethod = "Unrecognized compression method: \"%s\" in header";
// %s is the member's method ordinal: one no reader knows, so its data cannot be expanded.
inline constexpr const char* kMsgUnrecognizedMemberMethod = "Unrecognized compression method: %s in member header";
TOVIN_EXCEPTION(EBadChecksum);
inline constexpr const char* kMsgBadChecksum = "Bad checksum during expansion -- data may be invalid";
TOVIN_EXCEPTION(EInvalidKey);
inline constexpr const char* kMsgFileLocked = "File locked -- valid key required";
// A member header whose expanded or stored size is negative: damage that would otherwise
// seek backwards or let the running total fall.
TOVIN_EXCEPTION(EInvalidMemberSize);
inline constexpr const char* kMsgInvalidMemberSize = "Invalid size in member header";
// %s is the target path.
TOVIN_EXCEPTION(EInsufficientDiskSpace);
inline constexpr const char* kMsgInsufficientDiskSpace = "Not enough disk space to expand %s";

}  // namespace tovin
