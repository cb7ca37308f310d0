#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace platform {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ReadAll(std::string_view path, std::string* content) {
  FileError error;
  File f = File::Open(path, OpenMode::kRead, &error);
  if (!f.IsOpen()) return false;
  char buffer[65536];
  for (;;) {
    const int64_t n = f.Read(buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) return true;
    content->append(buffer, static_cast<size_t>(n));
  }
}

// The file as ANSI text. Windows reads an INI file as ANSI unless it starts with
// a UTF-16 byte-order mark; a UTF-8 mark is honoured too, since editors write it.
std::string AsAnsi(std::string content) {
  auto starts = [&](std::string_view mark) { return content.compare(0, mark.size(), mark) == 0; };
  if (starts("\xEF\xBB\xBF")) return Utf8ToCp1251(std::string_view(content).substr(3));
  const bool le = starts("\xFF\xFE"), be = starts("\xFE\xFF");
  if (!le && !be) return content;
  std::u16string wide;
  for (size_t i = 2; i + 1 < content.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(content[le ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(content[le ? i + 1 : i]);
    wide += static_cast<char16_t>(lo | (hi << 8));
  }
  return Utf8ToCp1251(Utf16ToUtf8(wide));
}

}  // namespace

std::string ReadProfileString(std::string_view path, std::string_view section, std::string_view key,
                              std::string_view default_value) {
  std::string raw;
  if (!ReadAll(path, &raw)) return std::string(default_value);
  const std::string text = AsAnsi(std::move(raw));
  const std::string want_section = LowerCp1251(Trim(section));
  const std::string want_key = LowerCp1251(Trim(key));
  bool inside = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = Trim(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) continue;  // not a section header
      // Only the first section of the name counts: a later one ends the search.
      if (inside) break;
      inside = LowerCp1251(Trim(line.substr(1, close - 1))) == want_section;
      continue;
    }
    if (!inside) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;  // a line without "=" is no key
    if (LowerCp1251(Trim(line.substr(0, eq))) != want_key) continue;
    std::string_view value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    if (value.size() > kProfileValueBuffer - 1) value = value.substr(0, kProfileValueBuffer - 1);
    return std::string(value);
  }
  return std::string(default_value);
}

}  // namespace platform
