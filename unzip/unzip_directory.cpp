// TUnZip: reading the archive's directory, rebuilding it from the local
// headers, ordering it, and reading comments on demand.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/ui.h"
#include "unzip/buffer_stream.h"
#include "unzip/unzip.h"

namespace {

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

constexpr int64_t kPumpInterval = 10240;

bool IsRemovableDrive(const std::string& root) { return platform::DriveType(root) == platform::kDriveRemovable; }

class BusyCursor {
 public:
  BusyCursor() { platform::CurrentUi().SetCursor(platform::Cursor::kHourGlass); }
  ~BusyCursor() { platform::CurrentUi().SetCursor(platform::Cursor::kDefault); }
};

// Reads a stream forward in large blocks, for the signature searches of the
// local-header scan; pumps window messages every 10240 bytes that are not a
// "P". The stream's own position is not kept between calls.
class ForwardScanner {
 public:
  ForwardScanner(TStream& s, int64_t start, bool pump, int64_t& skipped)
      : s_(s), base_(start), pump_(pump), skipped_(skipped) {}

  // The position of the next "P" (from the current one on) that starts a
  // signature `accept` allows; -1 at the end of the stream.
  template <typename Accept>
  int64_t Next(Accept accept) {
    for (;;) {
      if (off_ + 4 > len_) {
        if (!Refill()) return -1;
        continue;
      }
      if (buf_[off_] != 0x50) {
        ++off_;
        if (++skipped_ % kPumpInterval == 0 && pump_) platform::CurrentUi().ProcessMessages();
        continue;
      }
      const int64_t at = base_ + static_cast<int64_t>(off_);
      const uint32_t sig = Le32(&buf_[off_]);
      ++off_;
      if (accept(sig)) return at;
    }
  }

 private:
  // Keeps the unread bytes and appends the next block; false when nothing
  // more can come.
  bool Refill() {
    if (eof_) return false;
    const size_t keep = len_ - off_;
    std::memmove(buf_.data(), buf_.data() + off_, keep);
    base_ += static_cast<int64_t>(off_);
    off_ = 0;
    s_.Seek(base_ + static_cast<int64_t>(keep), 0);
    const auto want = static_cast<int32_t>(buf_.size() - keep);
    const int32_t got = ReadFully(s_, buf_.data() + keep, want);
    if (got < want) eof_ = true;
    len_ = keep + static_cast<size_t>(got);
    return got > 0;
  }

  TStream& s_;
  int64_t base_;  // stream position of buf_[0]
  std::vector<uint8_t> buf_ = std::vector<uint8_t>(65536);
  size_t off_ = 0, len_ = 0;
  bool eof_ = false;
  bool pump_;
  int64_t& skipped_;
};

bool ReadAt(TStream& s, int64_t pos, uint8_t* out, int32_t n) {
  if (pos < 0) return false;
  s.Seek(pos, 0);
  return ReadFully(s, out, n) == n;
}

// An entry whose sizes follow its data (bit 3) and were not in the local
// header: finds the data descriptor by its signature, or a descriptor without
// signature right before the next header, whose compressed size equals the
// distance from the start of the data. Fills the entry's CRC and sizes, or
// marks them unknown; returns where the next record starts (-1: end of file).
int64_t FindDataEnd(TStream& s, int64_t data_start, TZipHeaderInfo& e, bool pump, int64_t& skipped) {
  ForwardScanner scan(s, data_start, pump, skipped);
  for (;;) {
    const int64_t p = scan.Next([](uint32_t sig) {
      return sig == kDataDescriptorSig || sig == kLocalHeaderSig || sig == kCentralHeaderSig ||
             sig == kEndRecordSig;
    });
    if (p < 0) break;
    uint8_t d[16];
    if (!ReadAt(s, p, d, 4)) break;
    const uint32_t sig = Le32(d);
    if (sig == kDataDescriptorSig) {
      if (ReadAt(s, p, d, 16) && Le32(d + 8) == static_cast<uint64_t>(p - data_start)) {
        e.Crc32 = Le32(d + 4);
        e.PackedSize = Le32(d + 8);
        e.UnpackedSize = Le32(d + 12);
        return p + 16;
      }
    } else {
      if (p - data_start >= 12 && ReadAt(s, p - 12, d, 12) &&
          Le32(d + 4) == static_cast<uint64_t>(p - 12 - data_start)) {
        e.Crc32 = Le32(d);
        e.PackedSize = Le32(d + 4);
        e.UnpackedSize = Le32(d + 8);
        return p;
      }
      // A local header signature may be part of the data; the central
      // directory or the end record ends the search.
      if (sig != kLocalHeaderSig) {
        e.SizesKnown = false;
        return p;
      }
    }
  }
  e.SizesKnown = false;
  return -1;
}

}  // namespace

TSortedZip* TUnZip::NewEntryList() {
  entry_list_ = std::make_unique<TSortedZip>(TDuplicates::dupError, TZipSortMode::ByNone);
  sorted_view_ = entry_list_.get();
  sorted_view_owned_.reset();
  return entry_list_.get();
}

void TUnZip::ReadDirectory() {
  archive_date_ = platform::FileDosTime(zip_name_);
  directory_rebuilt_ = false;
  FreeLists();
  base_zip_name_ = zip_name_;
  TStream* s = archive_stream_.get();
  auto fail = [this]() {
    ResetArchive();
    throw EBadZipFile("Not a valid zip file!");
  };
  auto scan = [&]() {
    bool ok;
    {
      BusyCursor busy;
      ok = ScanLocalHeaders();
    }
    if (!ok) fail();
  };

  if (end_record_.LocateEndRecord(*s)) {
    if (end_record_.NeedsZip64) {
      ResetArchive();
      throw EBadZipFile("Zip64 archives are not supported!");
    }
    current_disk_ = end_record_.ThisDisk;
    volume_mode_ = TVolumeMode::None;
    if (end_record_.ThisDisk > 0) {
      std::string root = zip_name_.substr(0, 3);
      for (char& c : root)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      volume_mode_ = root.size() == 3 && root[1] == ':' && IsRemovableDrive(root) ? TVolumeMode::RemovableDisks
                                                                                   : TVolumeMode::NumberedFiles;
    }
    if (end_record_.TotalEntries > 0) {
      if (end_record_.ThisDisk > 0 && end_record_.DirectoryDisk != current_disk_)
        s = NextDisk(end_record_.DirectoryDisk + 1);
      uint8_t sig[4];
      s->Seek(end_record_.DirectoryOffset, 0);
      if (ReadFully(*s, sig, 4) == 4 && Le32(sig) == kCentralHeaderSig) {
        s->Seek(-4, 1);
      } else {
        scan();
        s = archive_stream_.get();
      }
    }
  } else {
    if (OnInCompleteZip) OnInCompleteZip(*this, IncompleteZipMode);
    if (IncompleteZipMode == TIncompleteZipMode::izAssumeMulti) {
      ResetArchive();
      throw EIncompleteZip("Incomplete Zip File");
    }
    scan();
    s = archive_stream_.get();
  }

  if (!directory_rebuilt_) NewEntryList();
  const bool on_set = end_record_.ThisDisk > 0;
  std::function<TStream*()> next_disk;
  if (on_set && !directory_rebuilt_) next_disk = [this]() { return NextDisk(current_disk_ + 2); };
  for (unsigned i = 0; i < end_record_.TotalEntries; ++i) {
    auto e = std::make_unique<TZipHeaderInfo>();
    if (!e->ReadCentralHeader(s, next_disk, on_set)) {
      // A header that cannot be read ends the directory: a rebuilt one keeps
      // what the scan found, a real one is unusable.
      if (directory_rebuilt_) break;
      fail();
    }
    if (directory_rebuilt_) {
      int32_t at;
      if (entry_list_->Find(e.get(), at)) {
        TZipHeaderInfo& listed = *entry_list_->Entry(at);
        const uint32_t offset = listed.LocalHeaderOffset;
        listed.Assign(*e);
        listed.LocalHeaderOffset = offset;
      }
    } else {
      entry_list_->Add(e.get());
      e.release();
    }
  }

  // The archive stream always shows the disk named by CurrentDisk.
  if (on_set && current_disk_ != end_record_.ThisDisk) NextDisk(end_record_.ThisDisk + 1);
  if (on_set && end_record_.HasComment()) ArchiveComment();
  current_disk_ = end_record_.ThisDisk;
  ApplySortMode(SortMode);
}

bool TUnZip::ScanLocalHeaders() {
  directory_rebuilt_ = true;
  FreeLists();
  TStream& s = *archive_stream_;
  // A self-extracting program named ".EXE" keeps its archive behind the code.
  const size_t dot = zip_name_.rfind('.');
  const bool exe = dot != std::string::npos && zip_name_.find_first_of("\\/", dot) == std::string::npos &&
                   zip_name_.compare(dot, std::string::npos, ".EXE") == 0;
  int64_t skipped = 0;
  ForwardScanner first(s, exe ? 14000 : 0, DoProcessMessages, skipped);
  const int64_t found = first.Next([](uint32_t sig) { return sig == kLocalHeaderSig; });
  if (found < 0) return false;
  s.Seek(found, 0);

  NewEntryList();
  for (;;) {
    auto e = std::make_unique<TZipHeaderInfo>();
    if (!e->ReadLocalHeader(s)) break;
    const int64_t data_start = s.Position() + e->ExtraLength;
    int64_t next;
    if (e->HasDataDescriptor() && e->PackedSize == 0) {
      next = FindDataEnd(s, data_start, *e, DoProcessMessages, skipped);
    } else {
      next = data_start + e->PackedSize;
      if (e->HasDataDescriptor()) {
        // The descriptor has 16 bytes with its signature, 12 without.
        uint8_t d[4];
        next += ReadAt(s, next, d, 4) && Le32(d) == kDataDescriptorSig ? 16 : 12;
      }
    }
    entry_list_->Add(e.get());
    e.release();
    if (next < 0) {
      s.Seek(0, 2);
      break;
    }
    s.Seek(next, 0);
  }
  end_record_.ThisDisk = 0;
  current_disk_ = 0;
  end_record_.DirectoryOffset = static_cast<uint32_t>(s.Position());
  end_record_.TotalEntries = static_cast<uint16_t>(EntryCount());
  return true;
}

void TUnZip::ApplySortMode(TZipSortMode mode) {
  sorted_view_owned_.reset();
  sorted_view_ = entry_list_.get();
  if (mode != TZipSortMode::ByNone && entry_list_) {
    auto view = std::make_unique<TSortedZip>(TDuplicates::dupAccept, mode);
    view->OwnsItems = false;
    for (int32_t i = 0; i < entry_list_->Count(); ++i) view->Add(entry_list_->Get(i));
    sorted_view_owned_ = std::move(view);
    sorted_view_ = sorted_view_owned_.get();
  }
  SortMode = mode;
}

// Comments are read through a stream of their own, so that a running
// extraction's archive stream is neither moved nor closed.
void TUnZip::ReadComment(std::unique_ptr<std::string>& text, uint32_t pos, uint16_t length, bool skip_header) {
  TLFNFileStream s(BaseZipName(), platform::OpenMode::kRead);
  s.Seek(pos, 0);
  if (skip_header) {
    uint8_t rec[46];
    if (ReadFully(s, rec, 46) != 46 || Le32(rec) != kCentralHeaderSig) return;
    s.Seek(static_cast<int64_t>(rec[28] | (rec[29] << 8)) + (rec[30] | (rec[31] << 8)), 1);
  }
  std::string buf(length, '\0');
  buf.resize(static_cast<size_t>(ReadFully(s, buf.data(), length)));
  text = std::make_unique<std::string>(std::move(buf));
}

std::string TUnZip::EntryComment(int index) {
  const TZipHeaderInfo& entry = Entry(index);
  if (!entry.HasComment()) return std::string();
  if (entry.CommentText() != nullptr) return *entry.CommentText();
  std::unique_ptr<std::string> text;
  ReadComment(text, entry.CentralHeaderOffset, entry.CommentLength, true);
  if (!text) return std::string();
  auto& e = *sorted_view_->Entry(index);
  const uint16_t length = e.CommentLength;
  e.SetCommentText(*text);
  e.CommentLength = length;
  return *text;
}

std::string TUnZip::ArchiveComment() {
  if (end_record_.CommentLength == 0) return std::string();
  if (end_record_.CommentText() != nullptr) return *end_record_.CommentText();
  std::unique_ptr<std::string> text;
  ReadComment(text, end_record_.CommentPos, end_record_.CommentLength, false);
  end_record_.SetCommentText(text.get());
  return *text;
}
