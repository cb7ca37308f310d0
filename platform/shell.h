// Standard folders of the shell and the system.
//
// Windows build: GetSystemDirectoryA and SHGetSpecialFolderLocation /
// SHGetPathFromIDListA. Linux build: the folders of Wine's layout inside the
// prefix (paths.h), where <user> is the name of the Linux user, as in Wine:
//   system folder  C:\windows\system32
//   Programs       C:\users\<user>\AppData\Roaming\Microsoft\Windows\Start Menu\Programs
//   desktop        C:\users\<user>\Desktop
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Shell folder numbers (CSIDL values).
enum class SpecialFolder : int {
  kPrograms = 2,           // the user's Start-menu Programs folder
  kDesktopDirectory = 16,  // the user's desktop folder
};

// The Windows system folder, no trailing "\" ("" if the system gives none).
std::string SystemDirectory();

// The path of a shell folder into `*path`. False, with `*path` emptied, when the
// system does not give it. `owner_window` is the window that owns any dialog the
// shell may show (a HWND on Windows; 0 for none).
bool SpecialFolderPath(SpecialFolder folder, std::string* path, intptr_t owner_window = 0);

}  // namespace platform
