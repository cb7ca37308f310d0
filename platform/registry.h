// Reading the system registry.
//
// Key paths are program text with "\" between the names, such as
// "SOFTWARE\Microsoft\Windows\CurrentVersion"; a leading "\" is allowed and
// means the same key.
// Key and value names match without regard to letter case, as on Windows.
//
// Windows build: the real registry, opened for reading only (never created).
// Linux build: the registry files of the Wine-style prefix (see paths.h):
// HKEY_LOCAL_MACHINE is <prefix>/system.reg, HKEY_CURRENT_USER is
// <prefix>/user.reg, HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes.
// The files are read as Wine writes them ("WINE REGISTRY Version 2"); tests
// fill a temporary prefix by writing such a file.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class RegistryRoot { kLocalMachine, kCurrentUser, kClassesRoot };

// True when the key exists below `root`.
bool RegistryKeyExists(RegistryRoot root, std::string_view key);

// Reads the string value `name` of `key` ("" names the key's default value)
// into `*value`. String and expandable-string values are read as they are
// stored (no expansion). False, with `*value` emptied, when the key or the
// value is missing or the value is not a string.
bool RegistryReadString(RegistryRoot root, std::string_view key, std::string_view name, std::string* value);

}  // namespace platform
