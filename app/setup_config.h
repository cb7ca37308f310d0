// The setup configuration file: the program's own name with ".ini", beside it
// (setup.exe reads setup.ini). It lets a distributor propose a destination,
// start the installation without a click, switch off the environment dialog,
// the final message, shortcuts or the program run after setup, and leave
// folders of the archive out. It is only read, never written.
//
//   [Main]       InstallDir (text; the first "%PROGRAMFILESDIR%" in any case is
//                replaced by ProgramFilesDir), AutoRun, SelectDialog, FinalMessage
//   [Links]      StartMenu, Desktop
//   [Setup]      Run, Params (text)
//   [ExcludeDir] 1, 2, ... 20 (text; reading stops at the first missing or empty)
//
// Booleans are read as integers ("0x" with at least one more character is
// hexadecimal); non-zero is true; a missing key or a text that is no number
// keeps the default.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/fixed_table.h"

namespace app {

// Option globals, with their defaults.
extern std::string IniInstallDir;  // ""
extern bool AutoRun;               // false
extern bool SelectDialog;          // true
extern bool FinalMessage;          // true
extern bool StartMenu;             // true
extern bool Desktop;               // true
extern bool Run;                   // true
extern std::string ParamsOverride; // "" ([Setup] Params)
extern FixedTable<std::string, 51> ExcludeDirs;
extern int ExcludeDirCount;

inline constexpr int kMaxExcludeDirKeys = 20;

// The configuration file of the program `program_path`.
std::string SetupConfigPath(std::string_view program_path);

// Reads a profile text as an integer: optional sign and decimal digits, or "0x"
// / "0X" followed by hexadecimal digits (a 32-bit pattern). False for anything
// else, including a value outside the 32-bit range.
bool ParseProfileInteger(std::string_view text, int32_t* value);

// [section] key of `file` as a boolean, or `default_value`.
bool ReadProfileBool(std::string_view file, std::string_view section, std::string_view key, bool default_value);

// Sets every option to its default.
void ResetSetupOptions();

// Sets the defaults, then reads `config_file` if it exists. Uses ProgramFilesDir
// for the "%PROGRAMFILESDIR%" macro. A failure while reading ends the reading
// silently: what was read stays, the rest keeps its defaults.
void ReadSetupConfig(std::string_view config_file);

// Replaces the first "%PROGRAMFILESDIR%" (any case) in `text` with `program_files`.
std::string ReplaceProgramFilesMacro(std::string_view text, std::string_view program_files);

// The parameters for the program started after setup: the [Setup] Params value
// (if any), then "-l" and the interface language, so the started program speaks
// the language the user chose: "" and "ru" give "-lru"; "/demo" and "en" give
// "/demo -len".
std::string RunParamsWithLanguage(std::string_view params, std::string_view language);

}  // namespace app
