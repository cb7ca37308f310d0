// TUnZip: properties, archive lifetime, the extraction run and multi-disk sets.
#include "unzip/unzip.h"

#include <cstdio>

#include "platform/files.h"
#include "platform/ui.h"
#include "unzip/buffer_stream.h"
#include "unzip/wildcard.h"

namespace {

// Case-insensitive equality of ANSI text: Latin letters and the Cyrillic
// letters of code page 1251.
unsigned char FoldAnsi(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0) return static_cast<unsigned char>(c - 32);
  if (c == 0xB8) return 0xA8;
  return c;
}

bool SameTextAnsi(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAnsi(static_cast<unsigned char>(a[i])) != FoldAnsi(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

// The name with its extension (after the last "." of the last component)
// replaced by `ext`.
std::string ChangeExt(const std::string& name, const std::string& ext) {
  const size_t sep = name.find_last_of("\\/:");
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return name + ext;
  return name.substr(0, dot) + ext;
}

std::string FolderOf(const std::string& name) {
  const size_t sep = name.find_last_of("\\/:");
  return sep == std::string::npos ? std::string() : name.substr(0, sep);
}

}  // namespace

int TotalPercent(int64_t done, int64_t total) { return PercentOf(total, done); }

TUnZip::TUnZip() {
  OnGetNextDisk = [this](TUnZip& sender, int n, std::string& fname) { DefaultNextDiskHandler(sender, n, fname); };
}

TUnZip::~TUnZip() {
  try {
    ResetArchive();
  } catch (...) {
  }
}

void TUnZip::Loaded() {
  if (!OnGetNextDisk)
    OnGetNextDisk = [this](TUnZip& sender, int n, std::string& fname) { DefaultNextDiskHandler(sender, n, fname); };
}

void TUnZip::SetZipName(const std::string& value) {
  if (SameTextAnsi(value, zip_name_) && !value.empty()) return;
  std::string name = value;
  if (!name.empty() && name.back() == '?') {
    std::string initial = FolderOf(name.substr(0, name.size() - 1));
    if (initial.empty() || !platform::DirectoryExists(initial)) initial = "C:\\";
    std::string chosen;
    if (!platform::CurrentUi().OpenFileDialog(
            "Open a Zip File",
            "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*", initial,
            chosen))
      throw EUserCanceled("User canceled setting zip file name.");
    name = chosen;
  }
  zip_name_ = name;
  FreeLists();
  archive_date_ = 0;
  end_record_.SetDefaults();
  archive_stream_.reset();
  directory_rebuilt_ = false;
}

void TUnZip::SetDestDir(const std::string& value) {
  std::string dir = value;
  if (dir == "?") {
    std::string start = dest_dir_;
    if (!platform::DirectoryExists(start + "\\")) start = platform::CurrentDirectory();
    if (!platform::CurrentUi().SelectFolderDialog("", start))
      throw EUserCanceled("User canceled Set Desination Directory");
    dir = start;
  }
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  dest_dir_ = dir;
}

void TUnZip::SetRootDir(const std::string& value) {
  root_dir_ = value;
  if (!root_dir_.empty() && root_dir_.back() != '\\') root_dir_ += '\\';
}

int TUnZip::EntryCount() const { return entry_list_ ? entry_list_->Count() : 0; }

const TZipHeaderInfo& TUnZip::Entry(int index) const {
  if (index < 0 || index >= EntryCount()) {
    char msg[64];
    std::snprintf(msg, sizeof msg, "Index %d is out of range", index);
    throw platform::EListError(msg);
  }
  return *sorted_view_->Entry(index);
}

std::string TUnZip::EntryName(int index) const { return Entry(index).StoredName(); }
std::string TUnZip::EntryPath(int index) const { return Entry(index).StoredPath(); }

void TUnZip::FreeLists() {
  sorted_view_owned_.reset();
  sorted_view_ = nullptr;
  entry_list_.reset();
}

void TUnZip::OpenArchive() {
  if (!archive_stream_)
    archive_stream_ = std::make_unique<TLFNFileStream>(zip_name_, platform::OpenMode::kReadDenyWrite);
  if (!entry_list_ || platform::FileDosTime(zip_name_) != archive_date_) ReadDirectory();
}

void TUnZip::CloseArchive() {
  if (!KeepZipOpen) archive_stream_.reset();
}

void TUnZip::ResetArchive() {
  archive_stream_.reset();
  FreeLists();
  end_record_.SetDefaults();
  directory_rebuilt_ = false;
  archive_date_ = 0;
  volume_mode_ = TVolumeMode::None;
  zip_name_.clear();
  base_zip_name_.clear();
}

std::string TUnZip::BaseZipName() const { return base_zip_name_.empty() ? zip_name_ : base_zip_name_; }

// ---------------------------------------------------------------------------
// Multi-disk sets

TStream* TUnZip::NextDisk(int n) {
  // Disks are numbered 1 .. ThisDisk + 1; nothing lies beyond the last one.
  if (n < 1 || n > end_record_.ThisDisk + 1) throw EFatalUnzipError("Premature end of file reached");
  archive_stream_.reset();
  std::string name = zip_name_;
  for (;;) {
    if (OnGetNextDisk) OnGetNextDisk(*this, n, name);
    if (name.empty()) throw EUserCanceled("User canceled loading new disk.");
    if ((!verify_disk_labels_ || LabelMatches(n)) && platform::FileExists(name)) break;
    // A numbered file that is not there does not appear by asking again.
    if (volume_mode_ != TVolumeMode::RemovableDisks || !OnGetNextDisk)
      throw EUserCanceled("User canceled loading new disk.");
  }
  archive_stream_ = std::make_unique<TLFNFileStream>(name, platform::OpenMode::kRead);
  current_disk_ = n - 1;
  archive_date_ = platform::FileDosTime(name);
  zip_name_ = name;
  return archive_stream_.get();
}

bool TUnZip::LabelMatches(int n) const {
  if (volume_mode_ != TVolumeMode::RemovableDisks) return true;
  // A disk of a set made on floppies is labelled "PKBACK# 001" and so on: the
  // last three of the first eleven characters number the disk.
  std::string root = zip_name_.substr(0, 3);
  for (char& c : root)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  std::string label;
  if (!platform::VolumeLabel(root, &label)) return false;
  if (label.size() > 11) label.resize(11);
  char number[16];
  std::snprintf(number, sizeof number, "%3.3d", n);
  return label.size() >= 3 && label.compare(label.size() - 3, 3, number) == 0;
}

void TUnZip::DefaultNextDiskHandler(TUnZip& /*sender*/, int next_disk, std::string& fname) {
  if (volume_mode_ == TVolumeMode::RemovableDisks) {
    auto& ui = platform::CurrentUi();
    ui.SetCursor(platform::Cursor::kDefault);
    const auto answer = ui.ShowMessage("Please insert disk " + std::to_string(next_disk) + " of the multi-disk set.",
                                       "", platform::MsgKind::kConfirmation, platform::kBtnOk | platform::kBtnCancel);
    if (answer == platform::ModalResult::kCancel) fname.clear();
    ui.SetCursor(platform::Cursor::kHourGlass);
    return;
  }
  // Numbered files. The last disk always keeps the archive's own name
  // (Info-ZIP: data.z01, data.z02, ..., data.zip); the others are named
  // data.z01 ... or data.001 ..., whichever exists.
  const std::string base = BaseZipName();
  if (next_disk == end_record_.ThisDisk + 1) {
    fname = base;
    return;
  }
  char ext[16];
  std::snprintf(ext, sizeof ext, ".z%02d", next_disk);
  const std::string z_name = ChangeExt(base, ext);
  std::snprintf(ext, sizeof ext, ".%3.3d", next_disk);
  const std::string n_name = ChangeExt(base, ext);
  fname = platform::FileExists(z_name) ? z_name : n_name;
}

// ---------------------------------------------------------------------------
// The extraction run

int TUnZip::ExtractFiles() {
  if (dest_dir_ == "?") return 0;
  OpenArchive();
  UnzipWork work(this);  // the three buffers, freed on every way out
  if (!dest_dir_.empty() && !TestOnly && !platform::DirectoryExists(dest_dir_))
    platform::ForceDirectories(dest_dir_);

  // A set is read disk after disk: archive order while the run lasts.
  struct SortRestore {
    TUnZip* self;
    TZipSortMode mode;
    bool active;
    ~SortRestore() {
      if (!active) return;
      try {
        self->ApplySortMode(mode);
      } catch (...) {
      }
    }
  } restore{this, SortMode, end_record_.ThisDisk > 0 && SortMode != TZipSortMode::ByNone};
  if (restore.active) ApplySortMode(TZipSortMode::ByNone);

  total_bytes_ = 0;
  total_done_ = 0;
  known_dir_.clear();
  work.FilesToExtract = EntryCount();
  for (int i = 0; i < EntryCount(); ++i) {
    TZipHeaderInfo& e = *sorted_view_->Entry(i);
    e.Selected = DoAll;
    if (e.StoredName().empty() && !RecreateDirs) {
      e.Selected = false;
      --work.FilesToExtract;
      continue;
    }
    if (!e.Selected) {
      const std::string path = LowerAscii(e.StoredPath());
      for (const std::string& mask : FilesList) {
        if (WildcardMatch(LowerAscii(mask), path) == kWildMatch) {
          e.Selected = true;
          break;
        }
      }
    }
    if (e.Selected)
      total_bytes_ += e.UnpackedSize;
    else
      --work.FilesToExtract;
  }

  bool stop_now = false;
  if (OnStartUnZipInfo) OnStartUnZipInfo(*this, work.FilesToExtract, total_bytes_, stop_now);
  if (work.FilesToExtract > 0 && !stop_now) {
    work.InputStream = archive_stream_.get();
    for (int i = 0; i < EntryCount(); ++i) {
      if (!DoAll && !sorted_view_->Entry(i)->Selected) continue;
      do {
        ExtractEntry(work, i);
      } while (work.RetryEntry);
    }
  }
  CloseArchive();
  return work.FilesToExtract;
}
