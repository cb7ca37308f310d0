// Linux build, inside the platform layer: keeps the cache of folder listings
// that the case-insensitive path lookup uses up to date with what the
// platform itself creates.
#pragma once

#include <string>

namespace platform::posix {

// `host_path` (a file or folder) was just created or renamed into place.
void NoteCreated(const std::string& host_path);

}  // namespace platform::posix
