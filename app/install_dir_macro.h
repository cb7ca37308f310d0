// The "%InstallDir%" macro of product values: it stands for the destination.
#pragma once

#include <string>
#include <string_view>

namespace app {

// `text` with every "%InstallDir%" (any letter case) that stands in it replaced
// by `install_dir`. Macro text inside the inserted folder is left as it is, so
// the expansion always ends.
std::string ExpandInstallDir(std::string_view text, std::string_view install_dir);
// The same with the InstallDir global.
std::string ExpandInstallDir(std::string_view text);

}  // namespace app
