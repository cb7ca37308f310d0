#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "platform/codepage.h"

namespace platform {
namespace {

bool Exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

// Lower case in code page 1251: Latin A-Z, Cyrillic А-Я (0xC0-0xDF) and Ё (0xA8).
std::string LowerCp1251(std::string_view s) {
  std::string out(s);
  for (char& ch : out) {
    auto b = static_cast<unsigned char>(ch);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF)) b += 0x20;
    else if (b == 0xA8) b = 0xB8;
    ch = static_cast<char>(b);
  }
  return out;
}

std::string Join(const std::string& base, const std::string& name) {
  if (base.empty()) return name;
  return base.back() == '/' ? base + name : base + '/' + name;
}

// Appends component `name` (UTF-8) to `base`, matching an existing entry
// without regard to case when the exact name does not exist.
std::string AppendComponent(const std::string& base, const std::string& name) {
  const std::string exact = Join(base, name);
  if (name == "." || name == ".." || Exists(exact)) return exact;
  DIR* dir = ::opendir(base.empty() ? "." : base.c_str());
  if (dir == nullptr) return exact;
  const std::string want = LowerCp1251(Utf8ToCp1251(name));
  std::string found;
  while (const dirent* e = ::readdir(dir)) {
    if (LowerCp1251(Utf8ToCp1251(e->d_name)) == want) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found.empty() ? exact : Join(base, found);
}

std::string DriveRoot(char letter) {
  const char lower = static_cast<char>(letter | 0x20);
  const std::string prefix = PrefixRoot();
  std::string dosdev = prefix + "/dosdevices/" + lower + ":";
  if (Exists(dosdev)) return dosdev;
  if (lower == 'c') return prefix + "/drive_c";
  if (lower == 'z') return "/";
  return dosdev;
}

}  // namespace

std::string PrefixRoot() {
  if (const char* root = std::getenv("KVSETUP_ROOT"); root != nullptr && *root) return root;
  if (const char* wine = std::getenv("WINEPREFIX"); wine != nullptr && *wine) return wine;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.wine";
}

std::string HostPath(std::string_view path) {
  std::string p = Cp1251ToUtf8(path);
  for (char& ch : p)
    if (ch == '\\') ch = '/';
  std::string base;
  size_t pos = 0;
  if (p.size() >= 2 && p[1] == ':' &&
      ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'))) {
    base = DriveRoot(p[0]);
    pos = 2;
  } else if (!p.empty() && p[0] == '/') {
    base = "/";
    pos = 1;
  }
  // Walk the components so that existing ones are matched without regard to case.
  std::string out = base;
  const bool relative = base.empty();
  while (pos <= p.size()) {
    size_t next = p.find('/', pos);
    if (next == std::string::npos) next = p.size();
    std::string name = p.substr(pos, next - pos);
    pos = next + 1;
    if (name.empty()) continue;
    out = AppendComponent(out, name);
  }
  if (out.empty()) out = relative ? "." : "/";
  return out;
}

std::string ProgramPathFromHost(std::string_view host_path) {
  return Utf8ToCp1251(host_path, '_');
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
  out += name;
  return out;
}

}  // namespace platform
