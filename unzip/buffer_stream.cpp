#include "unzip/buffer_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/exceptions.h"
#include "unzip/stream_message.h"

namespace {

std::string Quoted(const std::string& name, platform::FileError error) {
  return "\"" + name + "\". " + platform::FileErrorText(error);
}

}  // namespace

int64_t TStream::Size() {
  const int64_t pos = Seek(0, 1);
  const int64_t size = Seek(0, 2);
  Seek(pos, 0);
  return size;
}

// ---------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const std::string& name, platform::OpenMode mode) : name_(name) {
  platform::FileError error = platform::FileError::kNone;
  file_ = platform::File::Open(name, mode, &error);
  if (!file_.IsOpen()) {
    if (mode == platform::OpenMode::kCreate) throw platform::EFCreateError("Cannot create file " + Quoted(name, error));
    throw platform::EFOpenError("Cannot open file " + Quoted(name, error));
  }
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  const int64_t n = file_.Read(buffer, static_cast<size_t>(count));
  return n < 0 ? 0 : static_cast<int32_t>(n);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  platform::FileError error = platform::FileError::kNone;
  const int64_t n = file_.Write(buffer, static_cast<size_t>(count), &error);
  if (n != count) write_error_ = error == platform::FileError::kNone ? platform::FileError::kDiskFull : error;
  return n < 0 ? 0 : static_cast<int32_t>(n);
}

int64_t TFileStream::Seek(int64_t offset, int origin) {
  return file_.Seek(offset, static_cast<platform::SeekOrigin>(origin));
}

// ---------------------------------------------------------------- TS_BufferStream

TS_BufferStream::TS_BufferStream(TStream* inner) : inner_(inner), buffer_(new uint8_t[kDefaultBufferSize]) {}

TS_BufferStream::~TS_BufferStream() = default;

int32_t TS_BufferStream::FillBuffer() {
  const int32_t n = inner_->Read(buffer_.get(), buffer_size_);
  pos_ = 0;
  end_ = n > 0 ? n : 0;
  state_ = end_ > 0 ? State::kReading : State::kIdle;
  return end_;
}

bool TS_BufferStream::FlushBuffer() {
  bool ok = true;
  if (state_ == State::kWriting && pos_ > 0) ok = inner_->Write(buffer_.get(), pos_) == pos_;
  pos_ = end_ = 0;
  state_ = State::kIdle;
  return ok;
}

// Performance-critical: the archive is read through here.
int32_t TS_BufferStream::Read(void* buffer, int32_t count) {
  if (state_ == State::kWriting) FlushBuffer();
  auto* out = static_cast<uint8_t*>(buffer);
  int32_t done = 0;
  while (done < count) {
    if (pos_ >= end_) {
      // A large read bypasses the buffer: the same bytes, one call fewer.
      if (count - done >= buffer_size_) {
        const int32_t n = inner_->Read(out + done, count - done);
        pos_ = end_ = 0;
        state_ = State::kIdle;
        if (n <= 0) break;
        done += n;
        continue;
      }
      if (FillBuffer() == 0) break;
    }
    const int32_t n = std::min(count - done, end_ - pos_);
    std::memcpy(out + done, buffer_.get() + pos_, static_cast<size_t>(n));
    pos_ += n;
    done += n;
  }
  return done;
}

int32_t TS_BufferStream::Write(const void* buffer, int32_t count) {
  if (state_ == State::kReading) {
    // Not used by the program (a stream either reads or writes); keep the
    // logical position right all the same.
    inner_->Seek(pos_ - end_, 1);
    pos_ = end_ = 0;
    state_ = State::kIdle;
  }
  const auto* in = static_cast<const uint8_t*>(buffer);
  int32_t done = 0;
  while (done < count) {
    const int32_t n = std::min(count - done, buffer_size_ - pos_);
    std::memcpy(buffer_.get() + pos_, in + done, static_cast<size_t>(n));
    pos_ += n;
    done += n;
    state_ = State::kWriting;
    if (pos_ == buffer_size_ && !FlushBuffer()) return std::max(0, done - buffer_size_);
  }
  if (pos_ == 0) state_ = State::kIdle;
  return done;
}

int64_t TS_BufferStream::Seek(int64_t offset, int origin) {
  int64_t logical = inner_->Seek(0, 1);
  if (state_ == State::kReading) logical += pos_ - end_;
  else if (state_ == State::kWriting) logical += pos_;
  int64_t target;
  switch (origin) {
    case 0:
      target = offset;
      break;
    case 1:
      target = logical + offset;
      break;
    case 2: {
      const int64_t end = std::max(inner_->Size(), logical);
      target = end - (offset < 0 ? -offset : offset);
      break;
    }
    default: {
      std::string text = StreamMessage("S_Stream", kSInvalidSeekOrigin);
      const size_t at = text.find("%d");
      if (at != std::string::npos) text.replace(at, 2, std::to_string(origin));
      throw platform::Exception(text);
    }
  }
  if (target == logical) return logical;
  if (state_ == State::kWriting && !FlushBuffer()) throw platform::EStreamError(StreamMessage("S_Stream", kSSeekError));
  const int64_t result = inner_->Seek(target, 0);
  pos_ = end_ = 0;
  state_ = State::kIdle;
  return result;
}

void TS_BufferStream::PutBack(uint8_t b) {
  if (pos_ == 0) throw platform::EStreamError(StreamMessage("S_Stream", kSPutbackOverflow));
  buffer_[--pos_] = b;
}

// ---------------------------------------------------------------- TLFNFileStream

TLFNFileStream::TLFNFileStream(const std::string& name, platform::OpenMode mode)
    : TS_BufferStream(nullptr), file_(new TFileStream(name, mode)) {
  inner_ = file_.get();
}

TLFNFileStream::~TLFNFileStream() {
  if (!closed_) {
    FlushBuffer();
    file_->File().Close();
  }
}

void TLFNFileStream::Close() {
  if (closed_) return;
  closed_ = true;
  const bool flushed = FlushBuffer();
  const bool had_error = file_->LastWriteError() != platform::FileError::kNone;
  const bool close_ok = file_->File().Close();
  if (!flushed || had_error || !close_ok) {
    const platform::FileError error =
        had_error ? file_->LastWriteError() : platform::FileError::kOther;
    throw platform::EWriteError("Cannot write to file " + Quoted(file_->FileName(), error));
  }
}
