#include <windows.h>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/scoped_handle.h"

namespace platform {
namespace {

using win32::FromWin32Error;
using win32::ScopedFind;
using win32::ScopedHandle;

void Set(FileError* out, FileError e) {
  if (out != nullptr) *out = e;
}

HANDLE H(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::string Z(std::string_view s) { return std::string(s); }

bool DosToFileTime(uint32_t dos, FILETIME* out) {
  FILETIME local;
  return ::DosDateTimeToFileTime(static_cast<WORD>(dos >> 16), static_cast<WORD>(dos & 0xFFFF), &local) &&
         ::LocalFileTimeToFileTime(&local, out);
}

int64_t FileTimeToDos(const FILETIME& ft) {
  FILETIME local;
  WORD date, time;
  if (!::FileTimeToLocalFileTime(&ft, &local) || !::FileTimeToDosDateTime(&local, &date, &time)) return -1;
  return (static_cast<int64_t>(date) << 16) | time;
}

}  // namespace

File File::Open(std::string_view path, OpenMode mode, FileError* error) {
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE, disposition = OPEN_EXISTING;
  switch (mode) {
    case OpenMode::kRead:
      break;
    case OpenMode::kReadDenyWrite:
      share = FILE_SHARE_READ;
      break;
    case OpenMode::kCreate:
      access = GENERIC_WRITE;
      share = FILE_SHARE_READ;
      disposition = CREATE_ALWAYS;
      break;
    case OpenMode::kWrite:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
  }
  HANDLE h = ::CreateFileA(Z(path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    Set(error, FromWin32Error(::GetLastError()));
    return File();
  }
  Set(error, FileError::kNone);
  return File(reinterpret_cast<intptr_t>(h));
}

int64_t File::Read(void* buffer, size_t count, FileError* error) {
  auto* p = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
    if (!::ReadFile(H(handle_), p + done, want, &got, nullptr)) {
      Set(error, FromWin32Error(::GetLastError()));
      return done > 0 ? static_cast<int64_t>(done) : -1;
    }
    if (got == 0) break;
    done += got;
  }
  Set(error, FileError::kNone);
  return static_cast<int64_t>(done);
}

int64_t File::Write(const void* buffer, size_t count, FileError* error) {
  const auto* p = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < count) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
    if (!::WriteFile(H(handle_), p + done, want, &put, nullptr)) {
      Set(error, FromWin32Error(::GetLastError()));
      return done > 0 ? static_cast<int64_t>(done) : -1;
    }
    if (put == 0) {
      Set(error, FileError::kDiskFull);
      return static_cast<int64_t>(done);
    }
    done += put;
  }
  Set(error, FileError::kNone);
  return static_cast<int64_t>(done);
}

int64_t File::Seek(int64_t offset, SeekOrigin origin) {
  LARGE_INTEGER dist, result;
  dist.QuadPart = offset;
  const DWORD method = origin == SeekOrigin::kBegin ? FILE_BEGIN : origin == SeekOrigin::kCurrent ? FILE_CURRENT : FILE_END;
  if (!::SetFilePointerEx(H(handle_), dist, &result, method)) return -1;
  return result.QuadPart;
}

int64_t File::Size() {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(H(handle_), &size)) return -1;
  return size.QuadPart;
}

int64_t File::ModifiedDosTime() {
  FILETIME written;
  if (!::GetFileTime(H(handle_), nullptr, nullptr, &written)) return -1;
  return FileTimeToDos(written);
}

bool File::SetModifiedDosTime(uint32_t dos_date_time) {
  FILETIME ft;
  return DosToFileTime(dos_date_time, &ft) && ::SetFileTime(H(handle_), nullptr, nullptr, &ft);
}

bool File::Close() {
  if (handle_ == kInvalid) return true;
  const BOOL ok = ::CloseHandle(H(handle_));
  handle_ = kInvalid;
  return ok != FALSE;
}

bool FileExists(std::string_view path) {
  const DWORD a = ::GetFileAttributesA(Z(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(std::string_view path) {
  const DWORD a = ::GetFileAttributesA(Z(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ForceDirectories(std::string_view path) {
  std::string p(path);
  while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty() || DirectoryExists(p)) return !p.empty();
  if (p.size() == 2 && p[1] == ':') return false;  // a drive that does not exist
  const size_t cut = p.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0 && !(cut == 2 && p[1] == ':')) {
    if (!ForceDirectories(p.substr(0, cut))) return false;
  }
  return ::CreateDirectoryA(p.c_str(), nullptr) || DirectoryExists(p);
}

bool RemoveFile(std::string_view path) { return ::DeleteFileA(Z(path).c_str()) != FALSE; }

bool RemoveEmptyDirectory(std::string_view path) { return ::RemoveDirectoryA(Z(path).c_str()) != FALSE; }

bool RenameFile(std::string_view from, std::string_view to, bool replace, FileError* error) {
  const DWORD flags = replace ? MOVEFILE_REPLACE_EXISTING : 0;
  if (!::MoveFileExA(Z(from).c_str(), Z(to).c_str(), flags)) {
    Set(error, FromWin32Error(::GetLastError()));
    return false;
  }
  Set(error, FileError::kNone);
  return true;
}

bool CopyFileTo(std::string_view from, std::string_view to, bool fail_if_exists) {
  return ::CopyFileA(Z(from).c_str(), Z(to).c_str(), fail_if_exists) != FALSE;
}

int64_t ReadFileAttributes(std::string_view path) {
  const DWORD a = ::GetFileAttributesA(Z(path).c_str());
  return a == INVALID_FILE_ATTRIBUTES ? -1 : static_cast<int64_t>(a);
}

bool WriteFileAttributes(std::string_view path, uint32_t attributes) {
  return ::SetFileAttributesA(Z(path).c_str(), attributes) != FALSE;
}

bool SetFileDosTime(std::string_view path, uint32_t dos_date_time) {
  ScopedHandle h(::CreateFileA(Z(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  FILETIME ft;
  return h.valid() && DosToFileTime(dos_date_time, &ft) && ::SetFileTime(h.get(), nullptr, nullptr, &ft);
}

int64_t FileDosTime(std::string_view path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(Z(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  return FileTimeToDos(data.ftLastWriteTime);
}

std::vector<std::string> ListDirectory(std::string_view path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  ScopedFind find(::FindFirstFileA(JoinPath(path, "*").c_str(), &fd));
  if (find.get() == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = fd.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(find.get(), &fd));
  return names;
}

std::string CurrentDirectory() {
  char buf[MAX_PATH + 1];
  const DWORD n = ::GetCurrentDirectoryA(sizeof buf, buf);
  if (n == 0 || n > MAX_PATH) return ".";
  std::string dir(buf, n);
  if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  return dir;
}

std::string ExecutablePath() {
  char buf[MAX_PATH + 1];
  const DWORD n = ::GetModuleFileNameA(nullptr, buf, sizeof buf);
  return std::string(buf, n);
}

int DriveType(std::string_view root) { return static_cast<int>(::GetDriveTypeA(Z(root).c_str())); }

bool VolumeLabel(std::string_view root, std::string* label) {
  char name[MAX_PATH + 1] = {};
  if (!::GetVolumeInformationA(Z(root).c_str(), name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0))
    return false;
  *label = name;
  return true;
}

std::string TempDirectory() {
  char buf[MAX_PATH + 1];
  const DWORD n = ::GetTempPathA(sizeof buf, buf);
  std::string dir(buf, n > MAX_PATH ? 0 : n);
  while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  return dir;
}

}  // namespace platform
