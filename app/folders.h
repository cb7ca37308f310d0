// The folders the program works with. Paths carry no trailing "\" (a drive's
// root is "D:").
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace app {

extern std::string SourceDir;        // folder of the running setup program
extern std::string ProgramFilesDir;  // Program Files folder; may be ""
extern std::string SystemDir;        // Windows system folder
extern std::string ProgramsMenuDir;  // the user's Start-menu Programs folder, or ""
extern std::string DesktopDir;       // the user's desktop folder, or ""
extern std::string InstallDir;       // the destination, set by the Install command

// The folder part of the program's full file name, without a trailing
// separator: "D:\setup.exe" gives "D:".
std::string SourceDirOf(std::string_view program_path);

// The registry's word on the Program Files folder: the string value
// "ProgramFilesDir" of HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion,
// or "" when the key or value is missing.
std::string ProgramFilesDirFromRegistry();

// Tells whether a folder exists (platform::DirectoryExists unless a test says).
using FolderProbe = std::function<bool(const std::string& folder)>;

// Does nothing when `folder` is not empty. Otherwise tries the drives C to Z in
// order and stores the first hit: on each drive "X:\Program Files (x86)" before
// "X:\Program Files".
void FindProgramFilesDir(std::string& folder, const FolderProbe& exists = {});

// Does nothing when `folder` is not empty. Otherwise stores "X:" for the first
// drive from C to Z whose root exists; no drive leaves it "".
void FindFirstDriveRoot(std::string& folder, const FolderProbe& exists = {});

// SourceDir and ProgramFilesDir (registry, then the two drive scans).
void FindSourceAndProgramFiles(std::string_view program_path);
// SystemDir, ProgramsMenuDir and DesktopDir ("" when the system gives none).
// `owner_window` owns any dialog the shell may show.
void FindSystemFolders(intptr_t owner_window = 0);

}  // namespace app
