#include <windows.h>
#include <shlobj.h>

#include "platform/shell.h"

namespace platform {

std::string SystemDirectory() {
  char buffer[300];
  const UINT n = ::GetSystemDirectoryA(buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return {};
  return std::string(buffer, n);
}

bool SpecialFolderPath(SpecialFolder folder, std::string* path, intptr_t owner_window) {
  path->clear();
  LPITEMIDLIST list = nullptr;
  if (::SHGetSpecialFolderLocation(reinterpret_cast<HWND>(owner_window), static_cast<int>(folder), &list) != S_OK)
    return false;
  char buffer[1000];
  buffer[0] = '\0';
  // The buffer must hold MAX_PATH characters; 1000 does.
  const BOOL ok = ::SHGetPathFromIDListA(list, buffer);
  ::CoTaskMemFree(list);
  if (!ok) return false;
  path->assign(buffer);
  return true;
}

}  // namespace platform
