// The segment reader's message texts and mount questions, exactly.
#include <gtest/gtest.h>

#include "segment/seg_errors.h"

namespace tovin::test {
namespace {

TEST(SegmentMessages, Texts) {
  const std::pair<const char*, const char*> texts[] = {
      {kMsgInvalidSegmentId, "(TSegVellox) Invalid Segment ID Header"},
      {kMsgInvalidSetHeader, "(TSegVellox) Invalid Segment Header ID"},
      {kMsgInvalidScanHeader, "(TSegVellox) Invalid Scan ID Header"},
      {kMsgInvalidArchiveHeader, "(TSegVellox) Invalid Archive ID Header"},
      {kMsgInvalidArchiveSequence, "(TSegVellox) Invalid Archive sequence number"},
      {kMsgStreamOpenFailed, "(TSegVellox) Stream open failed"},
      {kMsgStreamReadFailed, "(TSegVellox) Stream read failed"},
      {kMsgAborted, "(TSegVellox) Operation aborted by user"},
      {kMsgTooManySegments, "(TSegVellox) Segment set runs past its last segment number"},
      {kMsgUnableToLocate, "Unable to locate \"%s\" on this segment!"},
      {kMsgIncorrectSegment, "Incorrect segmented mounted!"},
      {kPromptLineBreak, "\n\r"},
      {kMsgCorrectOrCancel, "Correct and then press OK, or Cancel to abort"},
      {kCaptionMountSegment, "Mount Segment #"},
      {kPromptDirectoryPath, "Directory Path:"},
  };
  for (const auto& [constant, text] : texts) EXPECT_STREQ(constant, text);
}

}  // namespace
}  // namespace tovin::test
