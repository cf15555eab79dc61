// The container's message texts, exactly, and the two that name what they are about.
#include <gtest/gtest.h>

#include "container/vellox.h"
#include "container/vellox_errors.h"

namespace tovin::test {
namespace {

TEST(ContainerMessages, Texts) {
  const std::pair<const char*, const char*> texts[] = {
      {kMsgInvalidHeader, "Can't recognize compressed file header"},
      {kMsgArchiveTypeNotMulti, "Archive type must be caMulti"},
      {kMsgUnrecognizedMethod, "Unrecognized compression method: \"%s\" in header"},
      {kMsgBadChecksum, "Bad checksum during expansion -- data may be invalid"},
      {kMsgFileLocked, "File locked -- valid key required"},
      {kMsgInsufficientDiskSpace, "Not enough disk space to expand %s"},
      {kMsgInvalidMemberSize, "Invalid size in member header"},
  };
  for (const auto& [constant, text] : texts) EXPECT_STREQ(constant, text);
}

TEST(ContainerMessages, AnUnknownIdentifierIsQuotedAsRead) {
  TVellox v;
  for (const char* id : {"lh5", "%s!", "\"\"\""}) {
    try {
      v.LookupMethodId(id);
      ADD_FAILURE() << id << " accepted";
    } catch (const EUnrecognizedCompressionMethod& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Unrecognized compression method: \"") + id + "\" in header");
    }
  }
}

}  // namespace
}  // namespace tovin::test
