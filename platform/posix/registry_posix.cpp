// The registry of a Wine prefix, read from the files Wine keeps it in.
//
// A file ("WINE REGISTRY Version 2") is a list of key blocks:
//   [Software\\Microsoft\\Windows\\CurrentVersion] 1796994315
//   #time=1dd897043a9aac6
//   "ProgramFilesDir"="C:\\Program Files"
//   "ProgramFilesPath"=str(2):"%ProgramFiles%"
//   @="the default value"
//   "FirstInstallDateTime"=hex:21,81,7c,23
// Key paths are relative to the root of the file (HKEY_LOCAL_MACHINE for
// system.reg, HKEY_CURRENT_USER for user.reg). Names and strings are escaped:
// "\\", "\"", "\]" and the C escapes (\n, \t, ...), "\x" with up to four hex
// digits for one UTF-16 unit, "\" with up to three octal digits. Wine itself
// writes ASCII only; other bytes are taken as UTF-8.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace platform {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads an escaped text from `line` at `*pos` up to the unescaped `end`
// character; leaves `*pos` after it. Returns false when `end` never comes.
bool Unescape(const std::string& line, size_t* pos, char end, std::string* out) {
  std::u16string text;
  std::string raw;  // a run of plain bytes (UTF-8)
  auto flush = [&] {
    text += Utf8ToUtf16(raw);
    raw.clear();
  };
  size_t i = *pos;
  while (i < line.size()) {
    const char c = line[i];
    if (c == end) {
      flush();
      *pos = i + 1;
      *out = Utf8ToCp1251(Utf16ToUtf8(text));
      return true;
    }
    if (c != '\\' || i + 1 >= line.size()) {
      raw += c;
      ++i;
      continue;
    }
    flush();
    const char e = line[i + 1];
    i += 2;
    switch (e) {
      case 'a': text += u'\a'; break;
      case 'b': text += u'\b'; break;
      case 'e': text += char16_t{0x1B}; break;
      case 'f': text += u'\f'; break;
      case 'n': text += u'\n'; break;
      case 'r': text += u'\r'; break;
      case 't': text += u'\t'; break;
      case 'v': text += u'\v'; break;
      case 'x': {
        unsigned v = 0;
        int n = 0;
        while (n < 4 && i < line.size() && HexDigit(line[i]) >= 0) v = v * 16 + HexDigit(line[i++]), ++n;
        text += static_cast<char16_t>(n > 0 ? v : 'x');
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          unsigned v = static_cast<unsigned>(e - '0');
          for (int n = 1; n < 3 && i < line.size() && line[i] >= '0' && line[i] <= '7'; ++n)
            v = v * 8 + static_cast<unsigned>(line[i++] - '0');
          text += static_cast<char16_t>(v);
        } else {
          raw += e;
        }
    }
  }
  return false;
}

std::vector<std::string> ReadLines(const std::string& host_path) {
  std::vector<std::string> lines;
  FILE* f = std::fopen(host_path.c_str(), "rb");
  if (f == nullptr) return lines;
  std::string content;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
  std::fclose(f);
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    size_t stop = end;
    if (stop > start && content[stop - 1] == '\r') --stop;
    lines.emplace_back(content, start, stop - start);
    start = end + 1;
  }
  return lines;
}

struct Location {
  std::string file;  // host path of the registry file
  std::string key;   // key path inside it, lower case, no leading or trailing "\"
};

Location Locate(RegistryRoot root, std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  Location loc;
  std::string path(key);
  switch (root) {
    case RegistryRoot::kLocalMachine:
      loc.file = PrefixRoot() + "/system.reg";
      break;
    case RegistryRoot::kCurrentUser:
      loc.file = PrefixRoot() + "/user.reg";
      break;
    case RegistryRoot::kClassesRoot:
      loc.file = PrefixRoot() + "/system.reg";
      path = path.empty() ? "Software\\Classes" : "Software\\Classes\\" + path;
      break;
  }
  loc.key = LowerCp1251(path);
  return loc;
}

// The key path of a "[...]" line, lower case; false for other lines.
bool KeyLine(const std::string& line, std::string* key) {
  if (line.empty() || line[0] != '[') return false;
  size_t pos = 1;
  std::string name;
  if (!Unescape(line, &pos, ']', &name)) return false;
  *key = LowerCp1251(name);
  return true;
}

}  // namespace

bool RegistryKeyExists(RegistryRoot root, std::string_view key) {
  const Location loc = Locate(root, key);
  const std::string below = loc.key + "\\";
  for (const std::string& line : ReadLines(loc.file)) {
    std::string name;
    if (!KeyLine(line, &name)) continue;
    // A key exists when it has a block of its own or a key below it has one.
    if (name == loc.key || loc.key.empty() || name.compare(0, below.size(), below) == 0) return true;
  }
  return false;
}

bool RegistryReadString(RegistryRoot root, std::string_view key, std::string_view name, std::string* value) {
  value->clear();
  const Location loc = Locate(root, key);
  const std::string want = LowerCp1251(name);
  bool inside = false;
  for (const std::string& line : ReadLines(loc.file)) {
    std::string block;
    if (KeyLine(line, &block)) {
      if (inside) return false;  // the block of our key has ended
      inside = block == loc.key;
      continue;
    }
    if (!inside || line.empty()) continue;
    size_t pos = 0;
    std::string value_name;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] == '"') {
      pos = 1;
      if (!Unescape(line, &pos, '"', &value_name)) continue;
    } else {
      continue;
    }
    if (LowerCp1251(value_name) != want || pos >= line.size() || line[pos] != '=') continue;
    std::string_view data = std::string_view(line).substr(pos + 1);
    if (data.substr(0, 7) == "str(2):") data.remove_prefix(7);  // an expandable string
    if (data.empty() || data[0] != '"') return false;         // not a string value
    const std::string rest(data);
    size_t p = 1;
    return Unescape(rest, &p, '"', value);
  }
  return false;
}

}  // namespace platform
