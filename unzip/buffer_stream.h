// Buffered streams through which the archive is read and every extracted file
// is written: TS_BufferStream over any inner stream, TLFNFileStream over a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/files.h"

// The platform's stream: read, write, seek (size and position through seek).
class TStream {
 public:
  virtual ~TStream() = default;
  // Returns the count read: smaller than asked only at the end of the stream.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  // Returns the count written.
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Origin 0: from the start, 1: from the current position, 2: from the end.
  virtual int64_t Seek(int64_t offset, int origin) = 0;
  int64_t Position() { return Seek(0, 1); }
  int64_t Size();
};

// The platform's file stream over a platform::File.
class TFileStream : public TStream {
 public:
  // Opens or creates `name`; raises platform::EFOpenError / EFCreateError
  // ("Cannot open file \"<name>\". <reason>") on failure.
  TFileStream(const std::string& name, platform::OpenMode mode);
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, int origin) override;
  platform::File& File() { return file_; }
  const std::string& FileName() const { return name_; }
  // The error of the last failed write (kNone when none failed).
  platform::FileError LastWriteError() const { return write_error_; }

 private:
  platform::File file_;
  std::string name_;
  platform::FileError write_error_ = platform::FileError::kNone;
};

// A stream with an 8192-byte buffer over an inner stream (not owned). Used
// either for reading or for writing, never both.
class TS_BufferStream : public TStream {
 public:
  static constexpr int32_t kDefaultBufferSize = 8192;
  enum class State { kIdle, kReading, kWriting };

  explicit TS_BufferStream(TStream* inner);
  ~TS_BufferStream() override;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  // Raises platform::Exception "Invalid seek origin (%d)" for an origin other
  // than 0, 1, 2, and platform::EStreamError "Seek error" when a pending write
  // cannot be flushed. Origin 2 counts back |offset| bytes from the end.
  int64_t Seek(int64_t offset, int origin) override;
  // Steps back one byte and stores `b` there; platform::EStreamError
  // "Putback overflow" at the start of the buffer.
  void PutBack(uint8_t b);

  // Reads the next buffer from the inner stream; returns the count.
  virtual int32_t FillBuffer();
  // Writes the buffered bytes to the inner stream; returns false when the
  // inner stream took fewer bytes than there were.
  virtual bool FlushBuffer();

  int32_t BufferSize() const { return buffer_size_; }
  State CurrentState() const { return state_; }

 protected:
  TStream* inner_;
  std::unique_ptr<uint8_t[]> buffer_;
  int32_t pos_ = 0;  // next byte in the buffer
  int32_t end_ = 0;  // end of the valid (reading) or buffered (writing) bytes
  int32_t buffer_size_ = kDefaultBufferSize;
  State state_ = State::kIdle;
};

// A buffered file stream that owns its file.
class TLFNFileStream : public TS_BufferStream {
 public:
  // Opens or creates the file (exceptions as TFileStream's).
  TLFNFileStream(const std::string& name, platform::OpenMode mode);
  // Flushes pending writes (errors ignored: call Close to see them), then
  // closes the file.
  ~TLFNFileStream() override;
  // Flushes pending writes and closes the file. Raises platform::EWriteError
  // naming the file when a buffered byte did not reach the disk or the close
  // failed; a later Close or destruction does nothing.
  void Close();
  // The OS handle (HANDLE / file descriptor), for the file's times.
  intptr_t Handle() { return file_->File().NativeHandle(); }
  platform::File& File() { return file_->File(); }
  const std::string& FileName() const { return file_->FileName(); }

 private:
  std::unique_ptr<TFileStream> file_;
  bool closed_ = false;
};
