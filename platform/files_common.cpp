#include "platform/files.h"
#include "platform/paths.h"

namespace platform {

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
