// kvsetup --print-config: what the program would use on this machine (folders,
// options, the chosen language, the archive volumes), as UTF-8 text. The
// language dialog is not shown: on a Russian system its pre-selection stands.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

// Prepares the program data for `program_path` (as the main window's creation
// does) and describes it. `args` are the program's arguments without its name;
// the locale unit must have been started with them.
std::string PrintConfig(std::string_view program_path, const std::vector<std::string>& args);

}  // namespace app
