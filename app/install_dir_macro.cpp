#include "app/install_dir_macro.h"

#include "app/file_names.h"
#include "app/folders.h"

namespace app {

std::string ExpandInstallDir(std::string_view text, std::string_view install_dir) {
  static constexpr std::string_view kMacro = "%INSTALLDIR%";
  const std::string upper = UpperAscii(text);
  std::string out;
  size_t from = 0;
  for (size_t at = upper.find(kMacro); at != std::string::npos; at = upper.find(kMacro, from)) {
    out.append(text.substr(from, at - from));
    out.append(install_dir);
    from = at + kMacro.size();
  }
  out.append(text.substr(from));
  return out;
}

std::string ExpandInstallDir(std::string_view text) { return ExpandInstallDir(text, InstallDir); }

}  // namespace app
