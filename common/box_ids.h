// The identifiers of the boxes the setup raises, set on every request (ui::TMessageRequest::Id)
// so that drivers and tests tell the boxes apart without reading their texts. The subject each
// box carries is noted beside it.
#pragma once
#include "ui/message_request.h"

namespace tovin::box {

// The background window.
inline constexpr const char* kStartedInTempDir = "started-in-temp-dir";  // subject: the start folder
// The preparing window.
inline constexpr const char* kInsertDisk = "insert-disk";          // subject: the segment's path
inline constexpr const char* kExpandFailed = "expand-failed";  // subject: "(step: cause)"
inline constexpr const char* kAbortSetup = "abort-setup";
// The segment reader's questions, asked through the preparing window.
inline constexpr const char* kSegmentMissing = "segment-missing";  // subject: the segment's file name
inline constexpr const char* kWrongSegment = "wrong-segment";      // subject: the segment's file name
inline constexpr const char* kMountSegment = "mount-segment";      // subject: the segment's file name
// The wizard and its installation run.
inline constexpr const char* kCreateDirectory = "create-directory";  // subject: the chosen path
inline constexpr const char* kBadDestination = "bad-destination";    // subject: the chosen path
inline constexpr const char* kOverwriteFile = "overwrite-file";      // subject: the file's name
inline constexpr const char* kCopyFailed = "copy-failed";            // subject: the file's name
// The uninstaller.
inline constexpr const char* kNoUninstallLog = "no-uninstall-log";    // subject: the destination
inline constexpr const char* kUninstallRefused = "uninstall-refused";  // subject: the log's path
inline constexpr const char* kRemoveOtherFiles = "remove-other-files";  // subject: the destination
// A failure that ended a handler, shown by the application.
inline constexpr const char* kFailure = ui::kExceptionBoxId;

}  // namespace tovin::box
