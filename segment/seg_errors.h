// The segment reader's failures and the texts of its mount questions.
#pragma once
#include "platform/exception.h"

namespace tovin {

// Every failure of the segment reader itself; the container's errors pass through unchanged.
TOVIN_EXCEPTION(ESegError);
inline constexpr const char* kMsgInvalidSegmentId = "(TSegVellox) Invalid Segment ID Header";
inline constexpr const char* kMsgInvalidSetHeader = "(TSegVellox) Invalid Segment Header ID";
inline constexpr const char* kMsgInvalidScanHeader = "(TSegVellox) Invalid Scan ID Header";
inline constexpr const char* kMsgInvalidArchiveHeader = "(TSegVellox) Invalid Archive ID Header";
inline constexpr const char* kMsgInvalidArchiveSequence = "(TSegVellox) Invalid Archive sequence number";
inline constexpr const char* kMsgStreamOpenFailed = "(TSegVellox) Stream open failed";
inline constexpr const char* kMsgStreamReadFailed = "(TSegVellox) Stream read failed";
inline constexpr const char* kMsgAborted = "(TSegVellox) Operation aborted by user";
// The stream goes on past segment 65535, which no segment number can follow.
// A file list naming far more files than its archive has room for members.
inline constexpr const char* kMsgFileListTooLong = "(TSegVellox) File list names more files than its archive can hold";
inline constexpr const char* kMsgTooManySegments = "(TSegVellox) Segment set runs past its last segment number";

// The error box asked while the wanted segment is not mounted: the problem, kPromptLineBreak,
// then kMsgCorrectOrCancel. %s is the segment's file name.
inline constexpr const char* kMsgUnableToLocate = "Unable to locate \"%s\" on this segment!";
inline constexpr const char* kMsgIncorrectSegment = "Incorrect segmented mounted!";
inline constexpr const char* kPromptLineBreak = "\n\r";  // line feed, then carriage return
inline constexpr const char* kMsgCorrectOrCancel = "Correct and then press OK, or Cancel to abort";
// The input box that asks for the folder of a segment: the caption ends in its number.
inline constexpr const char* kCaptionMountSegment = "Mount Segment #";
inline constexpr const char* kPromptDirectoryPath = "Directory Path:";

}  // namespace tovin
