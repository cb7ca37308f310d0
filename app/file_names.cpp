#include "app/file_names.h"

namespace app {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

size_t NameStart(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !IsSeparator(path[i - 1])) --i;
  return i;
}

}  // namespace

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string ExtractFileDir(std::string_view path) {
  size_t end = NameStart(path);
  // Drop the separator unless it is the root's ("C:\", "\", "/").
  if (end > 0 && path[end - 1] != ':') {
    const bool root = end == 1 || (end == 3 && path[1] == ':');
    if (!root) --end;
  }
  return std::string(path.substr(0, end));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  const size_t name = NameStart(path);
  const size_t dot = path.rfind('.');
  const size_t end = dot != std::string_view::npos && dot >= name ? dot : path.size();
  std::string out(path.substr(0, end));
  out += ext;
  return out;
}

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace app
