#include <windows.h>

#include <vector>

#include "platform/registry.h"
#include "platform/win32/scoped_reg_key.h"

namespace platform {
namespace {

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
  }
  return HKEY_LOCAL_MACHINE;
}

// RegOpenKeyExA takes the path without the leading "\" that marks it as absolute.
std::string KeyPath(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  return std::string(key);
}

// Opened for reading only: an ordinary user may read HKEY_LOCAL_MACHINE but not
// open it for writing.
bool OpenForReading(RegistryRoot root, std::string_view key, win32::ScopedRegKey* out) {
  return ::RegOpenKeyExA(RootKey(root), KeyPath(key).c_str(), 0, KEY_READ, out->receive()) == ERROR_SUCCESS;
}

}  // namespace

bool RegistryKeyExists(RegistryRoot root, std::string_view key) {
  win32::ScopedRegKey k;
  return OpenForReading(root, key, &k);
}

bool RegistryReadString(RegistryRoot root, std::string_view key, std::string_view name, std::string* value) {
  value->clear();
  win32::ScopedRegKey k;
  if (!OpenForReading(root, key, &k)) return false;
  const std::string value_name(name);
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(k.get(), value_name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  // The value may change between the two calls: retry while it grows.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = size;
    const LONG rc =
        ::RegQueryValueExA(k.get(), value_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (rc == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    // A stored string need not end with NUL; it ends at the first NUL if it has one.
    buffer[got < buffer.size() ? got : buffer.size() - 1] = '\0';
    value->assign(buffer.data());
    return true;
  }
  return false;
}

}  // namespace platform
