// The archive's directory records: one entry (TZipHeaderInfo), the end record
// (TEndCentral), and the helpers that read them: name conversion, DOS time
// repair, percentages.
//
// All sizes and offsets of the format are unsigned 32-bit numbers; they are
// kept unsigned here so that values from 2 GB to 4 GB never turn negative.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "unzip/object_list.h"

class TStream;

// Signatures of the records, little-endian ("PK" followed by two bytes).
enum : uint32_t {
  kLocalHeaderSig = 0x04034B50,
  kCentralHeaderSig = 0x02014B50,
  kEndRecordSig = 0x06054B50,
  kDataDescriptorSig = 0x08074B50,
  kZip64LocatorSig = 0x07064B50,
};

// Flag bits of an entry.
enum : uint16_t {
  kFlagEncrypted = 0x0001,       // bit 0: traditional encryption
  kFlagDataDescriptor = 0x0008,  // bit 3: CRC and sizes follow the data
  kFlagUtf8 = 0x0800,            // bit 11: name and comment are UTF-8
};

// The host system in the high byte of "version made by".
constexpr uint16_t kHostUnix = 3;

// Repairs a DOS date-time: clamps hour (24 passes), minute, seconds, year,
// month and day into range. A value that needs no clamping comes back bit
// for bit.
uint32_t FixDosDateTime(uint32_t value);

// The date-time value (days since 30 December 1899, time as the fraction) of a
// DOS date-time in local time, or 0 when the value is not a real date and time.
double DosDateTimeToDateTime(uint32_t value);

// part * 100 / whole, rounded to the nearest integer (halves to even), capped at
// 100; 0 when whole is 0 or below.
int PercentOf(int64_t whole, int64_t part);

// Case-insensitive comparison for the letters a-z only, byte by byte otherwise:
// <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);

// The stored name as program text: "/" becomes "\", then OEM -> ANSI, or,
// with the UTF-8 flag, UTF-8 -> ANSI. The one place where names from the
// archive are converted.
std::string ConvertStoredName(std::string_view raw, uint16_t flags, std::string_view extra = {},
                              uint16_t version_made_by = 0);

// Splits a converted name at its last "\" or ":" into the folder part (up to
// and including that character) and the file name.
void SplitStoredName(const std::string& name, std::string& dir, std::string& file);

// Reads exactly `n` bytes unless the stream ends; returns the count read.
int32_t ReadFully(TStream& s, void* buffer, int32_t n);

// One entry of the archive.
class TZipHeaderInfo : public TObject {
 public:
  TZipHeaderInfo() { SetDefaults(); }
  std::string ClassName() const override { return "TZipHeaderInfo"; }

  void SetDefaults();
  // Copies every field of `source`, which must be a TZipHeaderInfo
  // (platform::Exception otherwise). The comment text is copied only when the
  // source has a comment length and a text.
  void Assign(const TObject& source);

  uint16_t VersionMadeBy;
  uint16_t VersionNeeded;
  uint16_t Flags;
  uint16_t Method;
  uint32_t DosDateTime;  // repaired by FixDosDateTime
  uint32_t Crc32;
  uint32_t PackedSize;
  uint32_t UnpackedSize;
  uint16_t NameLength;  // length of StoredDir + StoredName
  uint16_t ExtraLength;
  uint16_t CommentLength;
  uint16_t StartDisk;
  uint16_t InternalAttributes;
  uint32_t ExternalAttributes;
  uint32_t LocalHeaderOffset;
  uint32_t CentralHeaderOffset;
  bool Selected;
  // The date-time exactly as stored (before FixDosDateTime): the password
  // check byte of an entry with a data descriptor comes from it.
  uint32_t StoredDosDateTime;
  // False for an entry found by the local-header scan whose sizes were in a
  // data descriptor that could not be found: such an entry is never extracted.
  bool SizesKnown;

  bool IsEncrypted() const { return (Flags & kFlagEncrypted) != 0; }
  bool HasDataDescriptor() const { return (Flags & kFlagDataDescriptor) != 0; }
  bool HasComment() const { return CommentLength != 0; }

  const std::string& StoredName() const { return stored_name_; }
  const std::string& StoredDir() const { return stored_dir_; }
  std::string StoredPath() const { return stored_dir_ + stored_name_; }
  void SetStoredName(const std::string& name);
  // Appends "\" to a non-empty value that lacks it.
  void SetStoredDir(const std::string& dir);

  // The entry comment once read, or nullptr.
  const std::string* CommentText() const { return comment_.get(); }
  // Replaces the comment; CommentLength follows (0 and none for an empty text).
  void SetCommentText(const std::string& text);

  // Reads one central header at the stream position. When the record is cut
  // short and `next_disk` is given, it is called for the stream of the next
  // disk and the rest of the record is read from there. With `read_comment`
  // the entry comment is read too (else skipped). On failure the stream goes
  // back to where it was and false comes back.
  bool ReadCentralHeader(TStream*& stream, const std::function<TStream*()>& next_disk,
                         bool read_comment = false);
  // Reads one local header at the stream position; the stream is left after
  // the name (the extra field is not skipped). On failure the stream goes back.
  bool ReadLocalHeader(TStream& stream);

 private:
  void UpdateNameLength();
  std::string stored_name_;
  std::string stored_dir_;
  std::unique_ptr<std::string> comment_;
};

// The end record of the open archive.
class TEndCentral : public TObject {
 public:
  TEndCentral() { SetDefaults(); }
  std::string ClassName() const override { return "TEndCentral"; }

  void SetDefaults();
  // Copies every field but CommentChanged from a TEndCentral.
  void Assign(const TObject& source);

  uint32_t Signature;
  uint16_t ThisDisk;
  uint16_t DirectoryDisk;
  uint16_t EntriesOnDisk;
  uint16_t TotalEntries;
  uint32_t DirectorySize;
  uint32_t DirectoryOffset;
  uint16_t CommentLength;
  uint32_t CommentPos;  // file position of the archive comment
  bool CommentChanged;
  // A ZIP64 end record locator sits before the end record, or the record's
  // fields are saturated: the archive needs ZIP64, which is not supported.
  bool NeedsZip64;

  bool HasComment() const { return CommentLength > 0; }
  const std::string* CommentText() const { return comment_.get(); }
  void SetCommentText(const std::string* text);

  // Finds the end record in the last 65528 bytes of the stream (the match
  // nearest to the end wins) and reads its fields. False when there is none.
  bool LocateEndRecord(TStream& stream);

 private:
  std::unique_ptr<std::string> comment_;
};
