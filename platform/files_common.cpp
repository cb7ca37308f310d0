#include "platform/files.h"
#include "platform/paths.h"

// What is the same in both builds.
namespace platform {

File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kInvalid; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = kInvalid;
  }
  return *this;
}

const char* FileErrorText(FileError error) {
  switch (error) {
    case FileError::kNone: return "no error";
    case FileError::kNotFound: return "not found";
    case FileError::kAccessDenied: return "access denied";
    case FileError::kSharingViolation: return "in use by another program";
    case FileError::kDiskFull: return "disk full";
    case FileError::kExists: return "already exists";
    case FileError::kBadName: return "invalid name";
    case FileError::kOther: break;
  }
  return "i/o error";
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
  out += name;
  return out;
}

bool RemoveTree(std::string_view path) {
  const int64_t attrs = ReadFileAttributes(path);
  if (attrs < 0) return true;
  if ((attrs & kAttrDirectory) == 0) {
    WriteFileAttributes(path, kAttrArchive);
    return RemoveFile(path);
  }
  for (const std::string& name : ListDirectory(path)) RemoveTree(JoinPath(path, name));
  return RemoveEmptyDirectory(path);
}

}  // namespace platform
