// TUnZip: one entry from the archive to a file: position, path, password,
// overwrite policy, decoding, CRC check, events. Also the input and output
// ends of the decoding context (UnzipHost).
#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/ui.h"
#include "unzip/buffer_stream.h"
#include "unzip/crc32.h"
#include "unzip/explode.h"
#include "unzip/inflate.h"
#include "unzip/unreduce.h"
#include "unzip/unshrink.h"
#include "unzip/unzip.h"

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Only these attribute bits mean something for a file; the folder bit and the
// host-specific upper bits of the external attributes are never applied.
constexpr uint32_t kFileAttributeMask =
    platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem | platform::kAttrArchive;

#ifdef _WIN32
constexpr bool kWindowsNames = true;
#else
constexpr bool kWindowsNames = false;
#endif

// The longest path an entry may have (Windows MAX_PATH without the NUL).
constexpr size_t kMaxPathLength = 259;

// Attributes that a newly created file has anyway: applying them changes
// nothing (Windows: the archive bit; Linux: only read-only has a meaning).
bool IsNewFileState(uint32_t attributes) {
  return kWindowsNames ? attributes == platform::kAttrArchive : (attributes & platform::kAttrReadOnly) == 0;
}

bool IsDeviceName(std::string_view part) {
  // CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9, LPT1-9, also with an extension.
  std::string base(part.substr(0, part.find('.')));
  for (char& c : base)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  while (!base.empty() && base.back() == ' ') base.pop_back();
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  // The console's own names: writing to them would wait on the console.
  if (base == "CONIN$" || base == "CONOUT$") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// One folder or file name of a stored path that may be created below the
// destination: not "..", no drive or stream colon, no control characters,
// and on Windows none of the characters or device names it reserves.
bool IsSafeComponent(std::string_view part) {
  if (part == "..") return false;
  // Windows drops trailing dots and spaces from names: ".. " or "..." would
  // name the parent or the folder itself, "dir " creates the folder "dir"
  // but cannot be opened as a folder of a path, and "a." would land on "a".
  if (kWindowsNames && (part.back() == '.' || part.back() == ' ')) return false;
  for (const char ch : part) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == ':') return false;
    if (kWindowsNames && std::string_view("<>\"|?*").find(ch) != std::string_view::npos) return false;
  }
  if (kWindowsNames && IsDeviceName(part)) return false;
  return true;
}

// Splits a folder path at "\" and checks each part; empty and "." parts are
// dropped. Returns false for a path that is not safe.
bool CleanRelativeDir(std::string_view dir, std::string& out) {
  out.clear();
  size_t i = 0;
  while (i <= dir.size()) {
    size_t j = dir.find('\\', i);
    if (j == std::string_view::npos) j = dir.size();
    const std::string_view part = dir.substr(i, j - i);
    if (!part.empty() && part != ".") {
      if (!IsSafeComponent(part)) return false;
      out.append(part);
      out += '\\';
    }
    i = j + 1;
  }
  return true;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x >= 0xE0) x = static_cast<unsigned char>(x - 32);
    if (y >= 0xE0) y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// A name beside `path` that does not exist yet, for decoding into.
std::string TempNameFor(const std::string& path) {
  for (int i = 0;; ++i) {
    std::string name = path + ".~kv" + std::to_string(i);
    if (!platform::FileExists(name) && !platform::DirectoryExists(name)) return name;
  }
}

}  // namespace

// The folder an entry goes to, with a trailing "\". False when the stored
// folder would lead outside the destination.
bool TUnZip::ComposeEntryDir(std::string& entry_dir) const {
  const TZipHeaderInfo& h = work_header_;
  if (!RecreateDirs || h.StoredDir().empty()) {
    entry_dir = dest_dir_ + "\\";
    return true;
  }
  std::string p = h.StoredDir();
  if (!root_dir_.empty() && p.size() >= root_dir_.size() &&
      SameTextIgnoringCase(std::string_view(p).substr(0, root_dir_.size()), root_dir_))
    p.erase(0, root_dir_.size());
  const bool rooted = !p.empty() && p[0] == '\\';
  const bool drive = p.size() >= 2 && p[1] == ':';
  std::string rest = p;
  if (drive)
    rest = p.substr(2);
  std::string clean;
  if (!CleanRelativeDir(rest, clean)) return false;
  if ((rooted || drive) && dest_dir_.empty()) {
    // Without a destination, a folder with a root or a drive is used as it is.
    entry_dir = (drive ? p.substr(0, 2) : std::string()) + "\\" + clean;
    return true;
  }
  entry_dir = dest_dir_ + "\\" + clean;
  return true;
}

void TUnZip::SkipEntry(UnzipWork& w, TSkipReason reason, int file_index) {
  if (OnSkippingFile) OnSkippingFile(*this, reason, work_header_.StoredPath(), file_index);
  --w.FilesToExtract;
}

// Reads `n` bytes of the entry's data; input that runs over the end of a disk
// continues on the next one. Raises EFatalUnzipError when the data ends early.
int32_t TUnZip::ReadInput(UnzipWork& w, uint8_t* dest, int32_t n) {
  int32_t got = ReadFully(*w.InputStream, dest, n);
  while (got < n) {
    if (end_record_.ThisDisk == 0 || !OnGetNextDisk) throw EFatalUnzipError("Premature end of file reached");
    w.InputStream = static_cast<TS_BufferStream*>(NextDisk(current_disk_ + 2));
    got += ReadFully(*w.InputStream, dest + got, n - got);
  }
  return got;
}

uint8_t TUnZip::DecryptHeader(UnzipWork& w, const std::string& password) {
  uint8_t header[12];
  ReadInput(w, header, 12);
  work_header_.PackedSize = work_header_.PackedSize >= 12 ? work_header_.PackedSize - 12 : 0;
  keys_.Init(password);
  uint8_t last = 0;
  for (uint8_t b : header) last = keys_.DecryptByte(b);
  return last;
}

uint16_t TUnZip::ReadInputChunk(UnzipWork& w) {
  if (DoProcessMessages) platform::CurrentUi().ProcessMessages();
  const uint32_t n = std::min<uint32_t>(work_header_.PackedSize, UnzipWork::kChunk);
  work_header_.PackedSize -= n;
  if (n == 0) return 0;
  ReadInput(w, w.InputBuffer.get(), static_cast<int32_t>(n));
  if (work_header_.IsEncrypted()) DecryptBuffer(keys_, w.InputBuffer.get(), n);
  return static_cast<uint16_t>(n);
}

void TUnZip::WriteOutput(UnzipWork& w) {
  const uint16_t n = w.OutputCount;
  if (static_cast<uint64_t>(entry_written_) + n > work_header_.UnpackedSize)
    throw EBiggerThanUncompressed("File is larger than uncompressed size!");
  if (w.OutputStream != nullptr) {
    // Every write is checked: a full disk must not pass as a good file.
    if (w.OutputStream->Write(w.OutputBuffer.get(), n) != n)
      throw platform::EWriteError("Cannot write to file \"" + output_name_ + "\". disk full");
  }
  running_crc_ = UpdateCrc32(running_crc_, w.OutputBuffer.get(), n);
  entry_written_ += n;
  w.EntryBytesWritten = static_cast<int32_t>(entry_written_);
  if (OnFilePercentDone) OnFilePercentDone(*this, PercentOf(work_header_.UnpackedSize, entry_written_));
  if (OnTotalPercentDone) {
    total_done_ += n;
    OnTotalPercentDone(*this, TotalPercent(total_done_, total_bytes_));
  }
}

void TUnZip::ReportOutOfMemory() {
  platform::CurrentUi().ShowMessage("*** inflate out of memory ***", "Error", platform::MsgKind::kError,
                                    platform::kBtnOk);
}

void TUnZip::CopyStored(UnzipWork& w) {
  while (work_header_.PackedSize > 0) {
    const uint32_t n = std::min<uint32_t>(work_header_.PackedSize, UnzipWork::kChunk);
    ReadInput(w, w.OutputBuffer.get(), static_cast<int32_t>(n));
    if (work_header_.IsEncrypted()) DecryptBuffer(keys_, w.OutputBuffer.get(), n);
    work_header_.PackedSize -= n;
    w.OutputCount = static_cast<uint16_t>(n);
    FlushOutput(w);
  }
}

void TUnZip::ExtractEntry(UnzipWork& w, int file_index) {
  w.RetryEntry = false;
  last_failure_.clear();
  work_header_.Assign(*sorted_view_->Entry(file_index));
  TZipHeaderInfo& h = work_header_;

  // Refused before anything is read or created.
  std::string entry_dir;
  const bool safe_name = h.StoredName().empty() || (IsSafeComponent(h.StoredName()) && h.StoredName() != ".");
  // A path longer than Windows can open (MAX_PATH less the closing NUL) is
  // refused too: names of up to 65535 bytes would otherwise reach the folder
  // creation, which walks and creates them component by component.
  if (!safe_name || !ComposeEntryDir(entry_dir) || entry_dir.size() + h.StoredName().size() > kMaxPathLength) {
    last_failure_ = "unsafe path";
    SkipEntry(w, TSkipReason::srFileOpenError, file_index);
    return;
  }

  if (!h.StoredName().empty()) {
    if (!h.SizesKnown) {
      last_failure_ = "sizes unknown (data descriptor not found)";
      SkipEntry(w, TSkipReason::srFileOpenError, file_index);
      return;
    }
    if (end_record_.ThisDisk != 0 && h.StartDisk != current_disk_)
      w.InputStream = static_cast<TS_BufferStream*>(NextDisk(h.StartDisk + 1));
    w.InputStream->Seek(h.LocalHeaderOffset, 0);
    ReadInput(w, local_header_, 30);
    w.InputStream->Seek(static_cast<int64_t>(Le16(local_header_ + 26)) + Le16(local_header_ + 28), 1);
  }

  // Most entries go to the folder of the entry before: it is only looked up
  // again after a handler ran, which may have changed the disk.
  if (RecreateDirs && !h.StoredDir().empty() && !TestOnly && entry_dir != known_dir_) {
    if (!platform::DirectoryExists(entry_dir)) platform::ForceDirectories(entry_dir);
    known_dir_ = entry_dir;
  }

  if (h.StoredName().empty()) {
    if (RecreateDirs && OnStartUnZip) {
      bool skip = false;
      known_dir_.clear();
      OnStartUnZip(*this, file_index, entry_dir, skip);
    }
    return;
  }
  std::string output_path = entry_dir + h.StoredName();

  if (h.IsEncrypted()) {
    for (;;) {
      // The check byte of an entry with a data descriptor is the high byte of
      // its time as stored, else the high byte of its CRC.
      const auto check = static_cast<uint8_t>(h.HasDataDescriptor() ? (h.StoredDosDateTime >> 8) : (h.Crc32 >> 24));
      if (DecryptHeader(w, Password) == check) break;
      std::string candidate = Password;
      if (OnBadPassword) OnBadPassword(*this, file_index, candidate);
      if (!OnBadPassword || candidate == Password) {
        last_failure_ = "wrong password";
        SkipEntry(w, TSkipReason::srBadPassword, file_index);
        return;
      }
      Password = candidate;
      w.InputStream->Seek(-12, 1);
      h.PackedSize += 12;
    }
  }

  w.CompressedLeft = static_cast<int32_t>(std::min<uint32_t>(h.PackedSize, INT32_MAX));
  w.UncompressedLeft = static_cast<int32_t>(std::min<uint32_t>(h.UnpackedSize, INT32_MAX));

  bool replacing = false;
  if (!TestOnly && platform::FileExists(output_path)) {
    replacing = true;
    bool overwrite = OverwriteMode == TUZOverwriteMode::Always;
    if (OverwriteMode == TUZOverwriteMode::Prompt) {
      if (OnPromptForOverwrite) {
        OnPromptForOverwrite(*this, overwrite, file_index, output_path);
      } else {
        overwrite = platform::CurrentUi().ShowMessage("Replace existing file " + h.StoredName() + "?",
                                                      "File Exists Alert", platform::MsgKind::kNone,
                                                      platform::kBtnYes | platform::kBtnNo) ==
                    platform::ModalResult::kYes;
      }
    }
    if (!overwrite) {
      last_failure_ = "file exists";
      SkipEntry(w, TSkipReason::srNoOverwrite, file_index);
      return;
    }
    replacing = platform::FileExists(output_path);
  }

  // An existing target is only replaced when the entry turned out good: the
  // entry is decoded into a new file beside it, renamed over it at the end.
  std::unique_ptr<TLFNFileStream> output;
  std::string temp_path;  // the file being written
  if (!TestOnly) {
    temp_path = replacing ? TempNameFor(output_path) : output_path;
    output = std::make_unique<TLFNFileStream>(temp_path, platform::OpenMode::kCreate);
  }
  output_name_ = output_path;
  w.OutputStream = output.get();
  struct OutputGuard {
    UnzipWork& w;
    std::unique_ptr<TLFNFileStream>& output;
    const std::string& temp;
    bool keep = false;
    ~OutputGuard() {
      w.OutputStream = nullptr;
      output.reset();
      if (!keep && !temp.empty()) platform::RemoveFile(temp);
    }
  } guard{w, output, temp_path};

  w.ResetForEntry();
  running_crc_ = 0xFFFFFFFF;
  entry_written_ = 0;

  if (OnStartUnZip) {
    bool skip = false;
    known_dir_.clear();
    OnStartUnZip(*this, file_index, output_path, skip);
    if (skip) return;
  }

  bool method_known = true;
  try {
    switch (h.Method) {
      case 0:
        CopyStored(w);
        break;
      case 1:
        Unshrink(w);
        break;
      case 2:
      case 3:
      case 4:
      case 5:
        Unreduce(w, h.Method - 1);
        break;
      case 6:
        // Bits 1 and 2 of the flags: 8K dictionary, coded literals.
        Explode(w, h.Flags);
        break;
      case 8:
        Inflate(w);
        break;
      default:
        method_known = false;
        platform::CurrentUi().ShowMessage("Unknown Compression Method", "Zip Error", platform::MsgKind::kNone,
                                          platform::kBtnOk);
        break;
    }
  } catch (const EBiggerThanUncompressed&) {
    // Decoding ends at the piece that would pass the stated size.
  }

  if (output) {
    // Every byte on the disk first, then the time (a later write would move
    // it); Close raises when the bytes did not reach the disk.
    if (!output->FlushBuffer())
      throw platform::EWriteError("Cannot write to file \"" + output_path + "\". disk full");
    output->File().SetModifiedDosTime(h.DosDateTime);
    output->Close();
  }

  const uint32_t calc = ~running_crc_;
  const bool good = method_known && calc == h.Crc32 && entry_written_ == h.UnpackedSize;
  if (!good) {
    if (!method_known)
      last_failure_ = "unknown compression method " + std::to_string(h.Method);
    else if (calc == h.Crc32)
      last_failure_ = "size differs from the stated size";
    else
      last_failure_ = h.IsEncrypted() ? "CRC error (wrong password?)" : "CRC error";
    if (h.IsEncrypted()) {
      std::string candidate = Password;
      if (OnBadPassword) {
        OnBadPassword(*this, file_index, candidate);
        if (candidate != Password) {
          Password = candidate;
          w.RetryEntry = true;
        }
      }
      if (!w.RetryEntry && OnSkippingFile)
        OnSkippingFile(*this, TSkipReason::srBadPassword, h.StoredPath(), file_index);
    } else if (OnBadCRC) {
      OnBadCRC(*this, calc, h.Crc32, file_index);
    }
    if (!w.RetryEntry) --w.FilesToExtract;
    return;  // the guard deletes the new file; an existing target is untouched
  }

  if (!TestOnly) {
    // The time was set before the attributes: a read-only file could not be
    // dated afterwards.
    const uint32_t attributes = h.ExternalAttributes & kFileAttributeMask;
    if (RetainAttributes && !IsNewFileState(attributes)) platform::WriteFileAttributes(temp_path, attributes);
  }
  if (!TestOnly && replacing) {
    // A read-only target cannot be replaced on Windows: made writable first.
    const int64_t old = platform::ReadFileAttributes(output_path);
    if (old >= 0 && (old & platform::kAttrReadOnly))
      platform::WriteFileAttributes(output_path, static_cast<uint32_t>(old) & ~platform::kAttrReadOnly);
    platform::FileError error = platform::FileError::kNone;
    if (!platform::RenameFile(temp_path, output_path, true, &error))
      throw platform::EWriteError("Cannot write to file \"" + output_path + "\". " + platform::FileErrorText(error));
  }
  guard.keep = true;
  if (OnEndUnZip) {
    known_dir_.clear();
    OnEndUnZip(*this, file_index, output_path);
  }
}
