#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/host_names.h"

namespace platform {
namespace {

bool Exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

std::string Join(const std::string& base, const std::string& name) {
  if (base.empty()) return name;
  return base.back() == '/' ? base + name : base + '/' + name;
}

// Folder listings for the case-insensitive lookup, keyed by host folder and
// checked against the folder's change time on every use. Without it, creating
// n new files in one folder would list that folder n times. What the platform
// creates itself is added in place (NoteCreated), so the cached listing stays
// valid across our own writes.
struct Listing {
  struct timespec mtime;
  ino_t ino;
  std::unordered_map<std::string, std::string> names;  // lower case (1251) -> name
};

std::mutex g_listing_mutex;
std::unordered_map<std::string, Listing> g_listings;

bool SameStamp(const struct stat& st, const Listing& l) {
  return st.st_ino == l.ino && st.st_mtim.tv_sec == l.mtime.tv_sec && st.st_mtim.tv_nsec == l.mtime.tv_nsec;
}

std::string Key(const std::string& name) { return LowerCp1251(Utf8ToCp1251(name)); }

// The existing entry of folder `base` whose name equals `name` without regard
// to case, or "".
std::string FindInFolder(const std::string& base, const std::string& name) {
  const std::string dir_path = base.empty() ? "." : base;
  struct stat st;
  if (::stat(dir_path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  std::lock_guard<std::mutex> lock(g_listing_mutex);
  auto it = g_listings.find(dir_path);
  if (it == g_listings.end() || !SameStamp(st, it->second)) {
    DIR* dir = ::opendir(dir_path.c_str());
    if (dir == nullptr) return {};
    if (g_listings.size() >= 256) g_listings.clear();
    Listing listing{st.st_mtim, st.st_ino, {}};
    while (const dirent* e = ::readdir(dir)) listing.names.emplace(Key(e->d_name), e->d_name);
    ::closedir(dir);
    it = g_listings.insert_or_assign(dir_path, std::move(listing)).first;
  }
  const auto found = it->second.names.find(Key(name));
  return found == it->second.names.end() ? std::string() : found->second;
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
  // The path as given, when it exists, is the answer (one call). Otherwise
  // walk the components so that existing ones are matched without regard to
  // case; once one does not exist at all, the rest is taken as given.
  std::vector<std::string> names;
  while (pos <= p.size()) {
    size_t next = p.find('/', pos);
    if (next == std::string::npos) next = p.size();
    if (next > pos) names.push_back(p.substr(pos, next - pos));
    pos = next + 1;
  }
  std::string out = base;
  for (const std::string& name : names) out = Join(out, name);
  if (out.empty()) return base.empty() ? "." : "/";
  if (names.empty() || Exists(out)) return out;
  // The longest leading part that exists as given (usually the parent folder
  // of a file about to be made): only what follows it needs a lookup.
  size_t known = names.size() - 1;
  std::string prefix;
  for (;; --known) {
    prefix = base;
    for (size_t i = 0; i < known; ++i) prefix = Join(prefix, names[i]);
    if (known == 0 || Exists(prefix)) break;
  }
  out = prefix;
  bool missing = false;
  for (size_t i = known; i < names.size(); ++i) {
    const std::string& name = names[i];
    const std::string exact = Join(out, name);
    if (missing || name == "." || name == ".." || Exists(exact)) {
      out = exact;
      continue;
    }
    const std::string found = FindInFolder(out, name);
    missing = found.empty();
    out = missing ? exact : Join(out, found);
  }
  return out;
}

namespace posix {

void NoteCreated(const std::string& host_path) {
  const size_t cut = host_path.find_last_of('/');
  const std::string dir = cut == std::string::npos ? "." : cut == 0 ? "/" : host_path.substr(0, cut);
  const std::string name = cut == std::string::npos ? host_path : host_path.substr(cut + 1);
  std::lock_guard<std::mutex> lock(g_listing_mutex);
  const auto it = g_listings.find(dir);
  if (it == g_listings.end()) return;
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0) {
    g_listings.erase(it);
    return;
  }
  it->second.names.emplace(Key(name), name);
  it->second.mtime = st.st_mtim;
  it->second.ino = st.st_ino;
}

}  // namespace posix

std::string ProgramPathFromHost(std::string_view host_path) {
  return Utf8ToCp1251(host_path, '_');
}

}  // namespace platform
