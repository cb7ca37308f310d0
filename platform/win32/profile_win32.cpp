#include <windows.h>

#include "platform/profile.h"

namespace platform {

std::string ReadProfileString(std::string_view path, std::string_view section, std::string_view key,
                              std::string_view default_value) {
  char buffer[kProfileValueBuffer];
  const std::string file(path), sec(section), name(key), def(default_value);
  const DWORD n = ::GetPrivateProfileStringA(sec.c_str(), name.c_str(), def.c_str(), buffer,
                                             static_cast<DWORD>(sizeof buffer), file.c_str());
  return std::string(buffer, n < sizeof buffer ? n : sizeof buffer - 1);
}

}  // namespace platform
