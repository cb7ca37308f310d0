#include "unzip/buffer_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/files.h"

namespace {

// An in-memory inner stream that counts its calls and can refuse to take
// more than `capacity` bytes (a full disk).
class MemoryStream : public TStream {
 public:
  int32_t Read(void* buffer, int32_t count) override {
    ++reads;
    const int64_t n = std::clamp<int64_t>(static_cast<int64_t>(data.size()) - pos, 0, count);
    std::memcpy(buffer, data.data() + pos, static_cast<size_t>(n));
    pos += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void* buffer, int32_t count) override {
    ++writes;
    const int64_t n = std::min<int64_t>(count, capacity - pos);
    if (n <= 0) return 0;
    if (data.size() < static_cast<size_t>(pos + n)) data.resize(static_cast<size_t>(pos + n));
    std::memcpy(data.data() + pos, buffer, static_cast<size_t>(n));
    pos += n;
    return static_cast<int32_t>(n);
  }
  int64_t Seek(int64_t offset, int origin) override {
    ++seeks;
    pos = origin == 0 ? offset : origin == 1 ? pos + offset : static_cast<int64_t>(data.size()) + offset;
    return pos;
  }
  std::vector<uint8_t> data;
  int64_t pos = 0;
  int64_t capacity = INT64_MAX;
  int reads = 0, writes = 0, seeks = 0;
};

std::vector<uint8_t> Bytes(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return v;
}

TEST(BufferStream, ShortFileReadsWhatThereIs) {
  MemoryStream inner;
  inner.data = {1, 2, 3, 4};
  TS_BufferStream s(&inner);
  uint8_t buf[10];
  EXPECT_EQ(s.Read(buf, 10), 4);
  EXPECT_EQ(s.Read(buf, 10), 0);
  EXPECT_EQ(buf[3], 4);
}

TEST(BufferStream, ByteReadsCostOneInnerReadPerBuffer) {
  MemoryStream inner;
  inner.data = Bytes(3 * 8192 + 100);
  TS_BufferStream s(&inner);
  std::vector<uint8_t> got;
  uint8_t b;
  while (s.Read(&b, 1) == 1) got.push_back(b);
  EXPECT_EQ(got, inner.data);
  EXPECT_EQ(inner.reads, 5);  // four fills and the one that found the end
}

TEST(BufferStream, SeekOrigins) {
  MemoryStream inner;
  inner.data = Bytes(20000);
  TS_BufferStream s(&inner);
  uint8_t b;
  s.Read(&b, 1);
  EXPECT_EQ(s.Seek(0, 1), 1);  // logical position, not the inner one (8192)
  const int seeks = inner.seeks;
  EXPECT_EQ(s.Seek(0, 1), 1);
  EXPECT_EQ(inner.seeks, seeks + 1);  // only the position query; the buffer stays
  EXPECT_EQ(s.Read(&b, 1), 1);
  EXPECT_EQ(b, inner.data[1]);
  EXPECT_EQ(s.Seek(-4, 2), 19996);
  EXPECT_EQ(s.Seek(4, 2), 19996);  // -4 and 4 both mean four bytes before the end
  EXPECT_EQ(s.Read(&b, 1), 1);
  EXPECT_EQ(b, inner.data[19996]);
  EXPECT_EQ(s.Seek(100, 0), 100);
  EXPECT_EQ(s.Seek(-50, 1), 50);
  EXPECT_EQ(s.Read(&b, 1), 1);
  EXPECT_EQ(b, inner.data[50]);
  EXPECT_EQ(s.Size(), 20000);
}

TEST(BufferStream, InvalidSeekOriginIsFormatted) {
  MemoryStream inner;
  TS_BufferStream s(&inner);
  try {
    s.Seek(0, 3);
    FAIL() << "no exception";
  } catch (const platform::EStreamError&) {
    FAIL() << "wrong class";
  } catch (const platform::Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid seek origin (3)");
  }
}

TEST(BufferStream, WritesStayBufferedUntilFlushed) {
  MemoryStream inner;
  {
    TS_BufferStream s(&inner);
    const std::vector<uint8_t> data = Bytes(100);
    EXPECT_EQ(s.Write(data.data(), 100), 100);
    EXPECT_EQ(s.Seek(0, 1), 100);
    EXPECT_TRUE(inner.data.empty());
    EXPECT_EQ(s.CurrentState(), TS_BufferStream::State::kWriting);
    EXPECT_TRUE(s.FlushBuffer());
  }
  EXPECT_EQ(inner.data, Bytes(100));
}

TEST(BufferStream, FullInnerStreamShortensTheWrite) {
  MemoryStream inner;
  inner.capacity = 10000;
  TS_BufferStream s(&inner);
  const std::vector<uint8_t> data = Bytes(20000);
  EXPECT_LT(s.Write(data.data(), 20000), 20000);
}

TEST(BufferStream, SeekWithUnflushableWriteRaisesSeekError) {
  MemoryStream inner;
  inner.capacity = 0;
  TS_BufferStream s(&inner);
  s.Write("abc", 3);
  EXPECT_THROW(
      {
        try {
          s.Seek(0, 0);
        } catch (const platform::EStreamError& e) {
          EXPECT_STREQ(e.what(), "Seek error");
          throw;
        }
      },
      platform::EStreamError);
}

TEST(BufferStream, PutBack) {
  MemoryStream inner;
  inner.data = {10, 20, 30};
  TS_BufferStream s(&inner);
  EXPECT_THROW(s.PutBack(1), platform::EStreamError);  // at the start of the buffer
  uint8_t b;
  s.Read(&b, 1);
  s.Read(&b, 1);
  s.PutBack(99);
  s.Read(&b, 1);
  EXPECT_EQ(b, 99);
  s.Read(&b, 1);
  EXPECT_EQ(b, 30);
}

class FileStreamTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::RemoveFile(name_); }
  std::string name_ = "buffer_stream_test.tmp";
};

TEST_F(FileStreamTest, DestroyingWritesPendingBytes) {
  const std::vector<uint8_t> data = Bytes(100);
  {
    TLFNFileStream out(name_, platform::OpenMode::kCreate);
    out.Write(data.data(), 100);
    EXPECT_EQ(platform::File::Open(name_, platform::OpenMode::kRead, nullptr).Size(), 0);
  }
  TLFNFileStream in(name_, platform::OpenMode::kRead);
  std::vector<uint8_t> back(200);
  EXPECT_EQ(in.Read(back.data(), 200), 100);
  back.resize(100);
  EXPECT_EQ(back, data);
}

TEST_F(FileStreamTest, CloseWritesAndReportsSuccess) {
  TLFNFileStream out(name_, platform::OpenMode::kCreate);
  const std::vector<uint8_t> data = Bytes(20000);
  EXPECT_EQ(out.Write(data.data(), 20000), 20000);
  EXPECT_NO_THROW(out.Close());
  EXPECT_EQ(platform::File::Open(name_, platform::OpenMode::kRead, nullptr).Size(), 20000);
}

TEST_F(FileStreamTest, MissingFileRaisesOpenErrorNamingIt) {
  try {
    TLFNFileStream in("no_such_dir\\missing.zip", platform::OpenMode::kRead);
    FAIL();
  } catch (const platform::EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.zip"), std::string::npos);
  }
  EXPECT_THROW(TLFNFileStream("no_such_dir\\new.bin", platform::OpenMode::kCreate), platform::EFCreateError);
}

}  // namespace
