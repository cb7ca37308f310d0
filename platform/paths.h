// Where program paths live on the host.
//
// Windows build: program paths are host paths; these functions change nothing.
// Linux build: Windows paths map onto a Wine-style prefix folder:
//   - the prefix is $KVSETUP_ROOT, else $WINEPREFIX, else ~/.wine;
//   - drive X: is <prefix>/dosdevices/x: when that exists; C: falls back to
//     <prefix>/drive_c and Z: to the host root "/";
//   - a path that begins with "/" (or "\") is a host path (Z:);
//   - existing components are found without regard to letter case (Latin and
//     Cyrillic), new ones keep the case they are given;
//   - program text is code page 1251 and becomes UTF-8 on the host.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The prefix folder (Linux build); empty in the Windows build.
std::string PrefixRoot();

// The host path for a program path (relative paths stay relative).
std::string HostPath(std::string_view path);

// The program path for a host path (Linux build: host UTF-8 -> code page 1251,
// "/" kept as the separator of host paths). Unchanged in the Windows build.
std::string ProgramPathFromHost(std::string_view host_path);

// Joins a folder and a name with one "\" between them.
std::string JoinPath(std::string_view dir, std::string_view name);

}  // namespace platform
