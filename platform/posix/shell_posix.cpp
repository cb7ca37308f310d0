#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/codepage.h"
#include "platform/shell.h"

namespace platform {
namespace {

// Wine names the user's profile folder after the Linux user.
std::string UserName() {
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_name != nullptr && *pw->pw_name)
    return Utf8ToCp1251(pw->pw_name, '_');
  if (const char* user = std::getenv("USER"); user != nullptr && *user) return Utf8ToCp1251(user, '_');
  return "user";
}

}  // namespace

std::string SystemDirectory() { return "C:\\windows\\system32"; }

bool SpecialFolderPath(SpecialFolder folder, std::string* path, intptr_t) {
  const std::string profile = "C:\\users\\" + UserName();
  switch (folder) {
    case SpecialFolder::kPrograms:
      *path = profile + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
      return true;
    case SpecialFolder::kDesktopDirectory:
      *path = profile + "\\Desktop";
      return true;
  }
  path->clear();
  return false;
}

}  // namespace platform
