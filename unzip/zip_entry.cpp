#include "unzip/zip_entry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/codepage.h"
#include "platform/exceptions.h"
#include "unzip/buffer_stream.h"
#include "unzip/crc32.h"

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

}  // namespace

uint32_t FixDosDateTime(uint32_t value) {
  int hour = (value >> 11) & 0x1F;
  int minute = (value >> 5) & 0x3F;
  int second = (value & 0x1F) * 2;
  int year = ((value >> 25) & 0x7F) + 1980;
  int month = (value >> 21) & 0x0F;
  int day = (value >> 16) & 0x1F;
  bool clamped = false;
  auto clamp_max = [&clamped](int& v, int max) {
    if (v > max) {
      v = max;
      clamped = true;
    }
  };
  auto clamp_min = [&clamped](int& v, int min) {
    if (v < min) {
      v = min;
      clamped = true;
    }
  };
  clamp_max(hour, 24);
  clamp_max(minute, 59);
  clamp_max(second, 59);
  clamp_max(year, 2099);
  clamp_max(month, 12);
  clamp_min(month, 1);
  clamp_min(day, 1);
  if (!clamped) return value;
  return (static_cast<uint32_t>(year - 1980) << 25) | (static_cast<uint32_t>(month) << 21) |
         (static_cast<uint32_t>(day) << 16) | (static_cast<uint32_t>(hour) << 11) |
         (static_cast<uint32_t>(minute) << 5) | static_cast<uint32_t>(second / 2);
}

double DosDateTimeToDateTime(uint32_t value) {
  const int hour = (value >> 11) & 0x1F;
  const int minute = (value >> 5) & 0x3F;
  const int second = (value & 0x1F) * 2;
  const int year = ((value >> 25) & 0x7F) + 1980;
  const int month = (value >> 21) & 0x0F;
  const int day = (value >> 16) & 0x1F;
  if (hour > 23 || minute > 59 || second > 59) return 0;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return 0;
  // Days from 30 December 1899 to 1 January of `year`, then into the year.
  int64_t days = 2;  // 30 and 31 December 1899
  for (int y = 1900; y < year; ++y) days += IsLeapYear(y) ? 366 : 365;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += day - 1;
  return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

int PercentOf(int64_t whole, int64_t part) {
  if (whole <= 0) return 0;
  const double p = std::nearbyint(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
  return p > 100 ? 100 : static_cast<int>(p);
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'a' && ca <= 'z') ca = static_cast<unsigned char>(ca - 32);
    if (cb >= 'a' && cb <= 'z') cb = static_cast<unsigned char>(cb - 32);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

namespace {

// The Info-ZIP Unicode Path extra field (0x7075): version 1, the CRC-32 of the
// name as stored in the header, then the name in UTF-8. Returns that name when
// the field is there, its CRC matches the stored name and the text is valid
// UTF-8 (a field left over from before the name was changed is ignored).
std::optional<std::string> UnicodePathField(std::string_view raw, std::string_view extra) {
  size_t at = 0;
  while (at + 4 <= extra.size()) {
    const auto* p = reinterpret_cast<const uint8_t*>(extra.data() + at);
    const uint16_t id = Le16(p);
    const size_t size = Le16(p + 2);
    if (at + 4 + size > extra.size()) break;
    if (id == 0x7075 && size >= 5 && p[4] == 1) {
      const uint32_t crc =
          ~UpdateCrc32(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(raw.data()), raw.size());
      std::string name(extra.substr(at + 9, size - 5));
      if (Le32(p + 5) == crc && !name.empty() && platform::IsValidUtf8(name)) return name;
    }
    at += 4 + size;
  }
  return std::nullopt;
}

}  // namespace

std::string ConvertStoredName(std::string_view raw, uint16_t flags, std::string_view extra,
                              uint16_t version_made_by) {
  // Bit 11 of the flags: the name is UTF-8. Without it, a UTF-8 name may still
  // be recorded in an Info-ZIP Unicode Path extra field; and Info-ZIP zip on
  // Unix stores the UTF-8 names of its file system as they are, without the
  // flag (the high byte of "version made by" is 3 there). A name that is not
  // valid UTF-8 is taken as OEM, like every other name.
  std::string name(raw);
  bool utf8 = false;
  if ((flags & kFlagUtf8) != 0) {
    utf8 = platform::IsValidUtf8(name);
  } else if (std::optional<std::string> unicode = UnicodePathField(raw, extra)) {
    name = std::move(*unicode);
    utf8 = true;
  } else if ((version_made_by >> 8) == kHostUnix) {
    const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
    utf8 = !ascii && platform::IsValidUtf8(name);
  }
  for (char& c : name)
    if (c == '/') c = '\\';
  // A character that the ANSI code page lacks becomes "_": a valid file name
  // character everywhere, and never a separator or a wildcard.
  return utf8 ? platform::Utf8ToAnsi(name, '_') : platform::OemToAnsi(name);
}

void SplitStoredName(const std::string& name, std::string& dir, std::string& file) {
  const size_t cut = name.find_last_of("\\:");
  if (cut == std::string::npos) {
    dir.clear();
    file = name;
  } else {
    dir = name.substr(0, cut + 1);
    file = name.substr(cut + 1);
  }
}

int32_t ReadFully(TStream& s, void* buffer, int32_t n) {
  int32_t got = 0;
  auto* p = static_cast<uint8_t*>(buffer);
  while (got < n) {
    const int32_t r = s.Read(p + got, n - got);
    if (r <= 0) break;
    got += r;
  }
  return got;
}

// ---------------------------------------------------------------------------
// TZipHeaderInfo

void TZipHeaderInfo::SetDefaults() {
  VersionMadeBy = 20;
  VersionNeeded = 20;
  Flags = 0;
  Method = 8;
  DosDateTime = 0;
  Crc32 = 0xFFFFFFFF;
  PackedSize = 0;
  UnpackedSize = 0;
  NameLength = 0;
  ExtraLength = 0;
  CommentLength = 0;
  StartDisk = 0;
  InternalAttributes = 1;
  ExternalAttributes = 32;
  LocalHeaderOffset = 0;
  CentralHeaderOffset = 0;
  Selected = false;
  StoredDosDateTime = 0;
  SizesKnown = true;
  stored_name_.clear();
  stored_dir_.clear();
  comment_.reset();
}

void TZipHeaderInfo::Assign(const TObject& source) {
  const auto* s = dynamic_cast<const TZipHeaderInfo*>(&source);
  if (s == nullptr)
    throw platform::Exception("Cannot assign a " + source.ClassName() + " to a TZipHeaderInfo");
  if (s == this) return;
  VersionMadeBy = s->VersionMadeBy;
  VersionNeeded = s->VersionNeeded;
  Flags = s->Flags;
  Method = s->Method;
  DosDateTime = s->DosDateTime;
  Crc32 = s->Crc32;
  PackedSize = s->PackedSize;
  UnpackedSize = s->UnpackedSize;
  ExtraLength = s->ExtraLength;
  CommentLength = s->CommentLength;
  StartDisk = s->StartDisk;
  InternalAttributes = s->InternalAttributes;
  ExternalAttributes = s->ExternalAttributes;
  LocalHeaderOffset = s->LocalHeaderOffset;
  CentralHeaderOffset = s->CentralHeaderOffset;
  Selected = s->Selected;
  StoredDosDateTime = s->StoredDosDateTime;
  SizesKnown = s->SizesKnown;
  stored_name_ = s->stored_name_;
  stored_dir_ = s->stored_dir_;
  NameLength = s->NameLength;
  if (s->CommentLength != 0 && s->comment_)
    comment_ = std::make_unique<std::string>(*s->comment_);
  else
    comment_.reset();
}

void TZipHeaderInfo::UpdateNameLength() {
  NameLength = static_cast<uint16_t>(stored_dir_.size() + stored_name_.size());
}

void TZipHeaderInfo::SetStoredName(const std::string& name) {
  stored_name_ = name;
  UpdateNameLength();
}

void TZipHeaderInfo::SetStoredDir(const std::string& dir) {
  stored_dir_ = dir;
  if (!stored_dir_.empty() && stored_dir_.back() != '\\') stored_dir_ += '\\';
  UpdateNameLength();
}

void TZipHeaderInfo::SetCommentText(const std::string& text) {
  if (text.empty()) {
    comment_.reset();
    CommentLength = 0;
  } else {
    comment_ = std::make_unique<std::string>(text);
    CommentLength = static_cast<uint16_t>(text.size());
  }
}

bool TZipHeaderInfo::ReadCentralHeader(TStream*& stream, const std::function<TStream*()>& next_disk,
                                       bool read_comment) {
  const int64_t start = stream->Position();
  uint8_t rec[46];
  int32_t got = ReadFully(*stream, rec, 46);
  // A record cut at the end of a disk continues on the next one.
  if (got < 46 && next_disk && (got == 0 || (got >= 4 && Le32(rec) == kCentralHeaderSig) ||
                                (got < 4 && std::memcmp(rec, "PK\1\2", got) == 0))) {
    TStream* next = next_disk();
    if (next != nullptr) {
      stream = next;
      got += ReadFully(*stream, rec + got, 46 - got);
    }
  }
  if (got != 46 || Le32(rec) != kCentralHeaderSig) {
    stream->Seek(start, 0);
    return false;
  }
  const uint16_t name_len = Le16(rec + 28);
  std::string raw(name_len, '\0');
  if (name_len > 0 && ReadFully(*stream, raw.data(), name_len) != name_len) {
    stream->Seek(start, 0);
    return false;
  }
  VersionMadeBy = Le16(rec + 4);
  VersionNeeded = Le16(rec + 6);
  Flags = Le16(rec + 8);
  Method = Le16(rec + 10);
  StoredDosDateTime = Le32(rec + 12);
  DosDateTime = FixDosDateTime(StoredDosDateTime);
  Crc32 = Le32(rec + 16);
  PackedSize = Le32(rec + 20);
  UnpackedSize = Le32(rec + 24);
  ExtraLength = Le16(rec + 30);
  CommentLength = Le16(rec + 32);
  StartDisk = Le16(rec + 34);
  InternalAttributes = Le16(rec + 36);
  ExternalAttributes = Le32(rec + 38);
  LocalHeaderOffset = Le32(rec + 42);
  CentralHeaderOffset = static_cast<uint32_t>(start);
  Selected = false;
  SizesKnown = true;
  comment_.reset();
  std::string extra(ExtraLength, '\0');
  extra.resize(static_cast<size_t>(ReadFully(*stream, extra.data(), ExtraLength)));
  std::string dir, file;
  SplitStoredName(ConvertStoredName(raw, Flags, extra, VersionMadeBy), dir, file);
  stored_dir_ = dir;
  stored_name_ = file;
  UpdateNameLength();
  if (read_comment && CommentLength > 0) {
    std::string text(CommentLength, '\0');
    const int32_t n = ReadFully(*stream, text.data(), CommentLength);
    text.resize(n);
    if (!text.empty()) comment_ = std::make_unique<std::string>(text);
  } else {
    stream->Seek(CommentLength, 1);
  }
  return true;
}

bool TZipHeaderInfo::ReadLocalHeader(TStream& stream) {
  const int64_t start = stream.Position();
  uint8_t rec[30];
  if (ReadFully(stream, rec, 30) != 30 || Le32(rec) != kLocalHeaderSig) {
    stream.Seek(start, 0);
    return false;
  }
  const uint16_t name_len = Le16(rec + 26);
  std::string raw(name_len, '\0');
  if (name_len > 0 && ReadFully(stream, raw.data(), name_len) != name_len) {
    stream.Seek(start, 0);
    return false;
  }
  VersionMadeBy = 0;
  VersionNeeded = Le16(rec + 4);
  Flags = Le16(rec + 6);
  Method = Le16(rec + 8);
  StoredDosDateTime = Le32(rec + 10);
  DosDateTime = FixDosDateTime(StoredDosDateTime);
  Crc32 = Le32(rec + 14);
  PackedSize = Le32(rec + 18);
  UnpackedSize = Le32(rec + 22);
  ExtraLength = Le16(rec + 28);
  CommentLength = 0;
  StartDisk = 0;
  InternalAttributes = 0;
  ExternalAttributes = 0;
  LocalHeaderOffset = static_cast<uint32_t>(start);
  CentralHeaderOffset = 0;
  Selected = false;
  SizesKnown = true;
  comment_.reset();
  // The extra field is read for the name and the stream put back right after
  // the name: the caller skips the extra field itself.
  std::string extra(ExtraLength, '\0');
  const int32_t got = ReadFully(stream, extra.data(), ExtraLength);
  extra.resize(static_cast<size_t>(got));
  stream.Seek(-got, 1);
  std::string dir, file;
  SplitStoredName(ConvertStoredName(raw, Flags, extra), dir, file);
  stored_dir_ = dir;
  stored_name_ = file;
  UpdateNameLength();
  return true;
}

// ---------------------------------------------------------------------------
// TEndCentral

void TEndCentral::SetDefaults() {
  Signature = kEndRecordSig;
  ThisDisk = DirectoryDisk = EntriesOnDisk = TotalEntries = 0;
  DirectorySize = DirectoryOffset = 0;
  CommentLength = 0;
  CommentPos = 0;
  CommentChanged = false;
  NeedsZip64 = false;
  comment_.reset();
}

void TEndCentral::Assign(const TObject& source) {
  const auto* s = dynamic_cast<const TEndCentral*>(&source);
  if (s == nullptr)
    throw platform::Exception("Cannot assign a " + source.ClassName() + " to a TEndCentral");
  if (s == this) return;
  Signature = s->Signature;
  ThisDisk = s->ThisDisk;
  DirectoryDisk = s->DirectoryDisk;
  EntriesOnDisk = s->EntriesOnDisk;
  TotalEntries = s->TotalEntries;
  DirectorySize = s->DirectorySize;
  DirectoryOffset = s->DirectoryOffset;
  CommentLength = s->CommentLength;
  CommentPos = s->CommentPos;
  NeedsZip64 = s->NeedsZip64;
  if (s->CommentLength > 0 && s->comment_) {
    comment_ = std::make_unique<std::string>(*s->comment_);
    CommentLength = static_cast<uint16_t>(comment_->size());
  } else {
    comment_.reset();
  }
}

void TEndCentral::SetCommentText(const std::string* text) {
  if (text == nullptr)
    comment_.reset();
  else
    comment_ = std::make_unique<std::string>(*text);
}

bool TEndCentral::LocateEndRecord(TStream& stream) {
  const int64_t size = stream.Size();
  if (size < 22) return false;
  const int32_t n = static_cast<int32_t>(size < 65528 ? size : 65528);
  stream.Seek(size - n, 0);
  std::vector<uint8_t> tail(n);
  if (ReadFully(stream, tail.data(), n) != n) return false;
  // The record nearest to the end whose comment ends exactly at the end of
  // the file; when no record fits so, the one nearest to the end. (An
  // archive comment may itself hold the bytes of the signature.)
  int32_t at = -1;
  for (int32_t i = n - 22; i >= 0; --i) {
    if (tail[i] != 0x50 || Le32(&tail[i]) != kEndRecordSig) continue;
    if (at < 0) at = i;
    if (static_cast<int64_t>(i) + 22 + Le16(&tail[i] + 20) == n) {
      at = i;
      break;
    }
  }
  if (at < 0) return false;
  const uint8_t* r = &tail[at];
  ThisDisk = Le16(r + 4);
  DirectoryDisk = Le16(r + 6);
  EntriesOnDisk = Le16(r + 8);
  TotalEntries = Le16(r + 10);
  DirectorySize = Le32(r + 12);
  DirectoryOffset = Le32(r + 16);
  CommentLength = Le16(r + 20);
  CommentPos = static_cast<uint32_t>(size - CommentLength);
  // ZIP64: a locator 20 bytes before the record, or saturated fields that
  // stand for values kept in the ZIP64 end record.
  NeedsZip64 = (at >= 20 && Le32(r - 20) == kZip64LocatorSig) || TotalEntries == 0xFFFF ||
               EntriesOnDisk == 0xFFFF || DirectoryOffset == 0xFFFFFFFF || DirectorySize == 0xFFFFFFFF;
  return true;
}
