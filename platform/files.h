// File and folder services of the platform layer.
//
// Paths are program text: 8-bit ANSI strings with Windows syntax ("C:\dir\f.txt",
// relative names, "\" or "/" as separators). The Windows build hands them to the
// ANSI (A) calls; the Linux build maps them onto its Wine-style prefix (see
// paths.h) and converts them to UTF-8. Errors come back as values; only the
// callers that raise exceptions turn them into exceptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class FileError {
  kNone = 0,
  kNotFound,          // file or a folder on the way does not exist
  kAccessDenied,      // no rights, read-only, or a folder where a file was meant
  kSharingViolation,  // another open handle forbids it
  kDiskFull,          // no space left on the device (or a short write)
  kExists,            // the target exists and may not be replaced
  kBadName,           // a name the system cannot hold
  kOther,
};

// A short English description ("disk full", "access denied", ...).
const char* FileErrorText(FileError error);

enum class OpenMode {
  kRead,           // read only, others may read and write
  kReadDenyWrite,  // read only, others may read but not write
  kCreate,         // write only; created, or truncated when it exists
  kWrite,          // read and write an existing file, others may read and write
};

enum class SeekOrigin { kBegin = 0, kCurrent = 1, kEnd = 2 };

// An open file. Owns its OS handle; closes it when destroyed. Move-only.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens `path` in `mode`. On failure the result is not open and `*error` says why.
  static File Open(std::string_view path, OpenMode mode, FileError* error);

  bool IsOpen() const { return handle_ != kInvalid; }

  // Reads up to `count` bytes. Returns the number read (0 at the end of the file),
  // or -1 on an error, which goes to `*error` when given.
  int64_t Read(void* buffer, size_t count, FileError* error = nullptr);
  // Writes `count` bytes. Returns the number written (short on a full disk: then
  // `*error` is kDiskFull), or -1 on an error.
  int64_t Write(const void* buffer, size_t count, FileError* error = nullptr);
  // Moves the file position; returns the new position or -1.
  int64_t Seek(int64_t offset, SeekOrigin origin);
  // Size of the file in bytes, or -1.
  int64_t Size();
  // Last-write time as a DOS date-time (local time; date high, time low), or -1.
  int64_t ModifiedDosTime();
  // Sets the last-write time from a DOS date-time in local time.
  bool SetModifiedDosTime(uint32_t dos_date_time);
  // Closes the handle; returns false when the system reported an error (for a
  // written file that can mean lost data).
  bool Close();

  // The OS handle: a HANDLE on Windows, a file descriptor on Linux.
  intptr_t NativeHandle() const { return handle_; }

 private:
  static constexpr intptr_t kInvalid = -1;
  explicit File(intptr_t handle) : handle_(handle) {}
  intptr_t handle_ = kInvalid;
};

// Windows file attribute bits as stored in archives and used by the program.
enum : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

bool FileExists(std::string_view path);       // an existing file (not a folder)
bool DirectoryExists(std::string_view path);  // an existing folder
// Creates the folder and every missing parent. True when it exists afterwards.
bool ForceDirectories(std::string_view path);
bool RemoveFile(std::string_view path);
bool RemoveEmptyDirectory(std::string_view path);  // an empty folder
// Renames, replacing an existing target when `replace` is set.
bool RenameFile(std::string_view from, std::string_view to, bool replace, FileError* error = nullptr);
bool CopyFileTo(std::string_view from, std::string_view to, bool fail_if_exists);
// Windows attribute bits of a file or folder, or -1 when it does not exist.
int64_t ReadFileAttributes(std::string_view path);
// Applies Windows attribute bits (read-only, hidden, system, archive). On Linux
// read-only clears the write bits; the other bits have no equivalent.
bool WriteFileAttributes(std::string_view path, uint32_t attributes);
// Sets the last-write time from a DOS date-time (local time).
bool SetFileDosTime(std::string_view path, uint32_t dos_date_time);
// Last-write time as a DOS date-time, or -1 when the file does not exist.
int64_t FileDosTime(std::string_view path);
// The names (not paths) in a folder, without "." and "..".
std::vector<std::string> ListDirectory(std::string_view path);
// The process's current folder, in program text (no trailing "\").
std::string CurrentDirectory();
// The full path of the running executable, in program text.
std::string ExecutablePath();
// Kind of the drive whose root is `root` ("A:\"), as Windows numbers them:
// 2 removable, 3 fixed, ... The Linux build has no such drives: 3 for every root.
enum : int { kDriveRemovable = 2, kDriveFixed = 3 };
int DriveType(std::string_view root);
// The volume label of the drive whose root is `root`; false when there is none.
bool VolumeLabel(std::string_view root, std::string* label);
// The system's folder for temporary files (no trailing "\").
std::string TempDirectory();
// Removes a folder with everything below it (read-only files too). True when
// it is gone afterwards.
bool RemoveTree(std::string_view path);

}  // namespace platform
