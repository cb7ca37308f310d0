// TUnZip: the archive extraction component.
//
// The host sets the properties, names an archive in ZipName and calls
// ExtractFiles; the component opens the archive, reads its directory, selects
// the entries (DoAll, FilesList), extracts each one below DestDir and reports
// through its events. FileIndex in every event is a position in the sorted
// view of the entries. Failures that end a run are the exception classes
// below (each carries only its message) and the platform's stream errors.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "unzip/sorted_zip.h"
#include "unzip/unzip_work.h"
#include "unzip/zip_crypto.h"
#include "unzip/zip_entry.h"

class TStream;
class TLFNFileStream;

class EBadZipFile : public platform::Exception {
  using platform::Exception::Exception;
};
class EIncompleteZip : public platform::Exception {
  using platform::Exception::Exception;
};
class EFatalUnzipError : public platform::Exception {
  using platform::Exception::Exception;
};
class EUserCanceled : public platform::Exception {
  using platform::Exception::Exception;
};
class EBiggerThanUncompressed : public platform::Exception {
  using platform::Exception::Exception;
};

enum class TUZOverwriteMode { Prompt, Always, Never };
enum class TIncompleteZipMode { izAssumeMulti, izAssumeBad };
enum class TSkipReason { srBadPassword, srNoOverwrite, srFileOpenError };
enum class TVolumeMode { None, RemovableDisks, NumberedFiles };

class TUnZip;

using TStartUnzipInfo = std::function<void(TUnZip& sender, int NumFiles, int64_t TotalBytes, bool& StopNow)>;
using TFilePercentDone = std::function<void(TUnZip& sender, int Percent)>;
using TTotalPercentDone = std::function<void(TUnZip& sender, int Percent)>;
using TStartUnZipEvent = std::function<void(TUnZip& sender, int FileIndex, const std::string& FName, bool& Skip)>;
using TEndUnZipEvent = std::function<void(TUnZip& sender, int FileIndex, const std::string& FName)>;
using TPromptForOverwrite =
    std::function<void(TUnZip& sender, bool& OverWriteIt, int FileIndex, std::string& FName)>;
using TSkippingFile =
    std::function<void(TUnZip& sender, TSkipReason Reason, const std::string& FName, int FileIndex)>;
using TBadPassword = std::function<void(TUnZip& sender, int FileIndex, std::string& NewPassword)>;
using TBadCRC = std::function<void(TUnZip& sender, uint32_t CalcCRC, uint32_t StoredCRC, int FileIndex)>;
using TIncompleteZip = std::function<void(TUnZip& sender, TIncompleteZipMode& IncompleteMode)>;
using TGetNextDisk = std::function<void(TUnZip& sender, int NextDisk, std::string& FName)>;

class TUnZip final : private UnzipHost {
 public:
  TUnZip();
  ~TUnZip() override;
  TUnZip(const TUnZip&) = delete;
  TUnZip& operator=(const TUnZip&) = delete;

  // After loading from a form: ThisVersion is 217 again and the default
  // next-disk handler is installed when none is.
  void Loaded();

  // --- design-time properties
  int ThisVersion() const { return 217; }
  void SetThisVersion(int) {}
  const std::string& ZipName() const { return zip_name_; }
  // A different name (letters' case ignored) drops the directory read so far.
  // A name ending in "?" asks with the file-open dialog (Cancel raises
  // EUserCanceled "User canceled setting zip file name.").
  void SetZipName(const std::string& name);
  const std::string& DestDir() const { return dest_dir_; }
  // Stored without one trailing "\". "?" asks with the folder dialog (Cancel
  // raises EUserCanceled "User canceled Set Desination Directory").
  void SetDestDir(const std::string& dir);
  const std::string& RootDir() const { return root_dir_; }
  void SetRootDir(const std::string& dir);  // kept with a trailing "\"
  TZipSortMode SortMode = TZipSortMode::ByNone;  // takes effect at the next directory read
  bool RecreateDirs = false;
  TUZOverwriteMode OverwriteMode = TUZOverwriteMode::Prompt;
  std::vector<std::string> FilesList;  // wildcard masks that select entries
  bool DoAll = false;
  TIncompleteZipMode IncompleteZipMode = TIncompleteZipMode::izAssumeMulti;
  bool KeepZipOpen = false;
  bool DoProcessMessages = true;
  bool RetainAttributes = true;
  // Decode and check every selected entry but write nothing: no folders, no
  // files, no overwrite questions (a test of the archive).
  bool TestOnly = false;

  // --- events
  TStartUnzipInfo OnStartUnZipInfo;
  TFilePercentDone OnFilePercentDone;
  TTotalPercentDone OnTotalPercentDone;
  TStartUnZipEvent OnStartUnZip;
  TEndUnZipEvent OnEndUnZip;
  TPromptForOverwrite OnPromptForOverwrite;
  TSkippingFile OnSkippingFile;
  TBadPassword OnBadPassword;
  TBadCRC OnBadCRC;
  TIncompleteZip OnInCompleteZip;
  TGetNextDisk OnGetNextDisk;

  // --- run-time members
  std::string Password;
  bool VerifyDiskLabels() const { return verify_disk_labels_; }
  void SetVerifyDiskLabels(bool value) { verify_disk_labels_ = value; }
  TVolumeMode VolumeMode() const { return volume_mode_; }
  void SetVolumeMode(TVolumeMode mode) { volume_mode_ = mode; }

  // Extracts the selected entries; returns the count of entries written with a
  // good CRC, folder entries (with RecreateDirs) and entries a handler skipped.
  // Returns 0 at once when DestDir is "?".
  int ExtractFiles();

  int EntryCount() const;
  // The entry at `index` of the sorted view; EListError "Index %d is out of
  // range" outside 0 .. EntryCount - 1.
  const TZipHeaderInfo& Entry(int index) const;
  std::string EntryName(int index) const;
  std::string EntryPath(int index) const;
  // Comments are read from the archive on first use, through a stream of
  // their own (an extraction in progress is never disturbed).
  std::string EntryComment(int index);
  std::string ArchiveComment();
  const TEndCentral& EndRecord() const { return end_record_; }
  bool DirectoryRebuilt() const { return directory_rebuilt_; }
  int CurrentDisk() const { return current_disk_; }
  int64_t ArchiveDate() const { return archive_date_; }

  // Rebuilds the sorted view in `mode` and records the mode.
  void ApplySortMode(TZipSortMode mode);

  // Opens the archive (read, others may not write) and reads its directory
  // when there is none or the file's time changed.
  void OpenArchive();
  void CloseArchive();  // unless KeepZipOpen
  // Closes the archive, drops the directory and clears ZipName.
  void ResetArchive();
  // Opens disk `n` (numbered from 1) of a multi-disk set and returns its
  // stream. Raises EUserCanceled "User canceled loading new disk." when the
  // handler gives no name or a numbered file does not exist, and
  // EFatalUnzipError for a disk beyond the set.
  TStream* NextDisk(int n);
  // The label check of a removable disk (always true for numbered files).
  bool LabelMatches(int n) const;
  // The default OnGetNextDisk: asks for the disk on removable media; for
  // numbered files names the disk's file (data.z01 ... or data.001 ...; the
  // last disk keeps the archive's own name).
  void DefaultNextDiskHandler(TUnZip& sender, int next_disk, std::string& fname);

  // Why the last entry was refused or failed beyond what the events say
  // ("unsafe path", "unknown compression method 99", ...); empty when none.
  const std::string& LastFailure() const { return last_failure_; }

 private:
  // Directory.
  void ReadDirectory();
  bool ScanLocalHeaders();
  void FreeLists();
  TSortedZip* NewEntryList();
  void ReadComment(std::unique_ptr<std::string>& text, uint32_t pos, uint16_t length, bool skip_header);
  std::string BaseZipName() const;

  // Extraction.
  void ExtractEntry(UnzipWork& w, int file_index);
  void CopyStored(UnzipWork& w);
  uint8_t DecryptHeader(UnzipWork& w, const std::string& password);
  int32_t ReadInput(UnzipWork& w, uint8_t* dest, int32_t n);
  void SkipEntry(UnzipWork& w, TSkipReason reason, int file_index);
  bool ComposeEntryDir(std::string& entry_dir) const;

  // UnzipHost
  uint16_t ReadInputChunk(UnzipWork& w) override;
  void WriteOutput(UnzipWork& w) override;
  void ReportOutOfMemory() override;

  std::string zip_name_;
  std::string base_zip_name_;  // the name the set was opened with (its last disk)
  std::string dest_dir_;
  std::string root_dir_;
  bool verify_disk_labels_ = true;
  TVolumeMode volume_mode_ = TVolumeMode::None;

  TZipHeaderInfo work_header_;
  std::unique_ptr<TLFNFileStream> archive_stream_;
  TEndCentral end_record_;
  std::unique_ptr<TSortedZip> entry_list_;
  std::unique_ptr<TSortedZip> sorted_view_owned_;  // set when the view is separate
  TSortedZip* sorted_view_ = nullptr;
  int64_t archive_date_ = 0;
  bool directory_rebuilt_ = false;
  int current_disk_ = 0;
  uint8_t local_header_[30] = {};
  ZipKeys keys_;
  uint32_t running_crc_ = 0xFFFFFFFF;
  int64_t total_bytes_ = 0;
  int64_t total_done_ = 0;
  uint32_t entry_written_ = 0;  // bytes of the current entry written so far
  std::string output_name_;     // the file being written (for messages)
  std::string last_failure_;
  std::string known_dir_;  // a folder known to exist (the last entry's)
};

// Percentage of a run: done * 100 / total rounded (halves to even), capped at
// 100; 0 when total is 0 or below.
int TotalPercent(int64_t done, int64_t total);
