#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/host_names.h"

namespace platform {
namespace {

FileError FromErrno(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR:
      return FileError::kNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return FileError::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return FileError::kDiskFull;
    case EEXIST:
      return FileError::kExists;
    case ENAMETOOLONG:
    case EILSEQ:
      return FileError::kBadName;
    default:
      return FileError::kOther;
  }
}

void Set(FileError* out, FileError e) {
  if (out != nullptr) *out = e;
}

// DOS date-time (local time) <-> time_t.
time_t DosToTime(uint32_t dos) {
  struct tm t = {};
  t.tm_year = static_cast<int>((dos >> 25) & 0x7F) + 80;
  t.tm_mon = static_cast<int>((dos >> 21) & 0x0F) - 1;
  t.tm_mday = static_cast<int>((dos >> 16) & 0x1F);
  t.tm_hour = static_cast<int>((dos >> 11) & 0x1F);
  t.tm_min = static_cast<int>((dos >> 5) & 0x3F);
  t.tm_sec = static_cast<int>((dos & 0x1F) * 2);
  t.tm_isdst = -1;
  return ::mktime(&t);
}

int64_t TimeToDos(time_t when) {
  struct tm t;
  if (::localtime_r(&when, &t) == nullptr || t.tm_year < 80) return -1;
  return (static_cast<int64_t>(t.tm_year - 80) << 25) | ((t.tm_mon + 1) << 21) | (t.tm_mday << 16) |
         (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2);
}

bool SetTimes(int fd, const char* path, uint32_t dos) {
  const time_t when = DosToTime(dos);
  if (when == static_cast<time_t>(-1)) return false;
  struct timespec ts[2];
  ts[0].tv_sec = ts[1].tv_sec = when;
  ts[0].tv_nsec = ts[1].tv_nsec = 0;
  return fd >= 0 ? ::futimens(fd, ts) == 0 : ::utimensat(AT_FDCWD, path, ts, 0) == 0;
}

}  // namespace

File File::Open(std::string_view path, OpenMode mode, FileError* error) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case OpenMode::kRead:
    case OpenMode::kReadDenyWrite:
      flags |= O_RDONLY;
      break;
    case OpenMode::kCreate:
      flags |= O_WRONLY | O_CREAT | O_TRUNC;
      break;
    case OpenMode::kWrite:
      flags |= O_RDWR;
      break;
  }
  const std::string host = HostPath(path);
  const int fd = ::open(host.c_str(), flags, 0666);
  if (fd < 0) {
    Set(error, FromErrno(errno));
    return File();
  }
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    Set(error, FileError::kAccessDenied);
    return File();
  }
  if (mode == OpenMode::kCreate) posix::NoteCreated(host);
  Set(error, FileError::kNone);
  return File(fd);
}

int64_t File::Read(void* buffer, size_t count, FileError* error) {
  auto* p = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(static_cast<int>(handle_), p + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Set(error, FromErrno(errno));
      return done > 0 ? static_cast<int64_t>(done) : -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  Set(error, FileError::kNone);
  return static_cast<int64_t>(done);
}

int64_t File::Write(const void* buffer, size_t count, FileError* error) {
  const auto* p = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(static_cast<int>(handle_), p + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Set(error, FromErrno(errno));
      return done > 0 ? static_cast<int64_t>(done) : -1;
    }
    if (n == 0) {
      Set(error, FileError::kDiskFull);
      return static_cast<int64_t>(done);
    }
    done += static_cast<size_t>(n);
  }
  Set(error, FileError::kNone);
  return static_cast<int64_t>(done);
}

int64_t File::Seek(int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::kBegin ? SEEK_SET : origin == SeekOrigin::kCurrent ? SEEK_CUR : SEEK_END;
  const off_t r = ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t File::Size() {
  struct stat st;
  if (::fstat(static_cast<int>(handle_), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

int64_t File::ModifiedDosTime() {
  struct stat st;
  if (::fstat(static_cast<int>(handle_), &st) != 0) return -1;
  return TimeToDos(st.st_mtime);
}

bool File::SetModifiedDosTime(uint32_t dos_date_time) {
  return SetTimes(static_cast<int>(handle_), nullptr, dos_date_time);
}

bool File::Close() {
  if (handle_ == kInvalid) return true;
  const int r = ::close(static_cast<int>(handle_));
  handle_ = kInvalid;
  return r == 0;
}

bool FileExists(std::string_view path) {
  struct stat st;
  return ::stat(HostPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  struct stat st;
  return ::stat(HostPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(std::string_view path) {
  std::string p(path);
  while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty() || DirectoryExists(p)) return !p.empty();
  const size_t cut = p.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0 && !(cut == 2 && p[1] == ':')) {
    if (!ForceDirectories(p.substr(0, cut))) return false;
  }
  // Resolve after the parent exists, so that its case-insensitive match is used.
  const std::string host = HostPath(p);
  if (::mkdir(host.c_str(), 0777) == 0) {
    posix::NoteCreated(host);
    return true;
  }
  return errno == EEXIST && DirectoryExists(p);
}

bool RemoveFile(std::string_view path) { return ::unlink(HostPath(path).c_str()) == 0; }

bool RemoveEmptyDirectory(std::string_view path) { return ::rmdir(HostPath(path).c_str()) == 0; }

bool RenameFile(std::string_view from, std::string_view to, bool replace, FileError* error) {
  const std::string src = HostPath(from), dst = HostPath(to);
  if (!replace) {
    struct stat st;
    if (::lstat(dst.c_str(), &st) == 0) {
      Set(error, FileError::kExists);
      return false;
    }
  }
  if (::rename(src.c_str(), dst.c_str()) != 0) {
    Set(error, FromErrno(errno));
    return false;
  }
  posix::NoteCreated(dst);
  Set(error, FileError::kNone);
  return true;
}

bool CopyFileTo(std::string_view from, std::string_view to, bool fail_if_exists) {
  if (fail_if_exists && (FileExists(to) || DirectoryExists(to))) return false;
  FileError err;
  File in = File::Open(from, OpenMode::kRead, &err);
  if (!in.IsOpen()) return false;
  File out = File::Open(to, OpenMode::kCreate, &err);
  if (!out.IsOpen()) return false;
  char buf[65536];
  for (;;) {
    const int64_t n = in.Read(buf, sizeof buf);
    if (n < 0) return false;
    if (n == 0) break;
    if (out.Write(buf, static_cast<size_t>(n)) != n) return false;
  }
  const int64_t when = in.ModifiedDosTime();
  if (when >= 0) out.SetModifiedDosTime(static_cast<uint32_t>(when));
  return out.Close();
}

int64_t ReadFileAttributes(std::string_view path) {
  struct stat st;
  if (::stat(HostPath(path).c_str(), &st) != 0) return -1;
  uint32_t attrs = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attrs |= kAttrReadOnly;
  return attrs;
}

bool WriteFileAttributes(std::string_view path, uint32_t attributes) {
  const std::string host = HostPath(path);
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  if (attributes & kAttrReadOnly) {
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  } else {
    mode |= S_IWUSR;
  }
  return ::chmod(host.c_str(), mode) == 0;
}

bool SetFileDosTime(std::string_view path, uint32_t dos_date_time) {
  return SetTimes(-1, HostPath(path).c_str(), dos_date_time);
}

int64_t FileDosTime(std::string_view path) {
  struct stat st;
  if (::stat(HostPath(path).c_str(), &st) != 0) return -1;
  return TimeToDos(st.st_mtime);
}

std::vector<std::string> ListDirectory(std::string_view path) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(HostPath(path).c_str());
  if (dir == nullptr) return names;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(ProgramPathFromHost(name));
  }
  ::closedir(dir);
  return names;
}

std::string CurrentDirectory() {
  char buf[PATH_MAX];
  if (::getcwd(buf, sizeof buf) == nullptr) return ".";
  return ProgramPathFromHost(buf);
}

std::string ExecutablePath() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return ProgramPathFromHost(std::string(buf, static_cast<size_t>(n)));
}

int DriveType(std::string_view) { return kDriveFixed; }

bool VolumeLabel(std::string_view, std::string*) { return false; }

std::string TempDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = tmp != nullptr && *tmp ? tmp : "/tmp";
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return ProgramPathFromHost(dir);
}

}  // namespace platform
