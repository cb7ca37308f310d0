#include "unzip/stream_message.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"

namespace {

TEST(StreamMessage, ReadsTheTableResource) {
  EXPECT_EQ(StreamMessage("S_Stream", 1), "Seek error");
  EXPECT_EQ(StreamMessage("S_Stream", 2), "Invalid seek origin (%d)");
  EXPECT_EQ(StreamMessage("S_Stream", 3), "Putback overflow");
  EXPECT_EQ(StreamMessage("S_Stream", 7), "Cannot write to a resource stream");
  EXPECT_EQ(StreamMessage("S_Stream", 42), "");  // no such record
}

TEST(StreamMessage, MissingTableRaisesWithItsName) {
  try {
    StreamMessage("S_Nothing", 1);
    FAIL();
  } catch (const platform::Exception& e) {
    EXPECT_STREQ(e.what(), "No such string resource: S_Nothing");
  }
}

}  // namespace
