#include "app/folders.h"

#include "app/file_names.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace app {

std::string SourceDir;
std::string ProgramFilesDir;
std::string SystemDir;
std::string ProgramsMenuDir;
std::string DesktopDir;
std::string InstallDir;

namespace {

bool Exists(const FolderProbe& probe, const std::string& folder) {
  return probe ? probe(folder) : platform::DirectoryExists(folder);
}

}  // namespace

std::string SourceDirOf(std::string_view program_path) {
  std::string dir = ExtractFileDir(program_path);
  // A program in a drive's root: "D:\" becomes "D:". The Linux host root "/"
  // stays, since "" would name the current folder.
  if (dir.size() > 1 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  return dir;
}

std::string ProgramFilesDirFromRegistry() {
  static constexpr std::string_view kKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  std::string value;
  if (platform::RegistryKeyExists(platform::RegistryRoot::kLocalMachine, kKey))
    platform::RegistryReadString(platform::RegistryRoot::kLocalMachine, kKey, "ProgramFilesDir", &value);
  return value;
}

void FindProgramFilesDir(std::string& folder, const FolderProbe& exists) {
  if (!folder.empty()) return;
  for (char drive = 'C'; drive <= 'Z'; ++drive) {
    const std::string root = std::string(1, drive) + ":\\";
    if (Exists(exists, root + "Program Files (x86)\\")) {
      folder = root + "Program Files (x86)";
      return;
    }
    if (Exists(exists, root + "Program Files\\")) {
      folder = root + "Program Files";
      return;
    }
  }
}

void FindFirstDriveRoot(std::string& folder, const FolderProbe& exists) {
  if (!folder.empty()) return;
  for (char drive = 'C'; drive <= 'Z'; ++drive) {
    const std::string root = std::string(1, drive) + ":";
    if (Exists(exists, root + "\\")) {
      folder = root;
      return;
    }
  }
}

void FindSourceAndProgramFiles(std::string_view program_path) {
  SourceDir = SourceDirOf(program_path);
  ProgramFilesDir = ProgramFilesDirFromRegistry();
  FindProgramFilesDir(ProgramFilesDir);
  FindFirstDriveRoot(ProgramFilesDir);
}

void FindSystemFolders(intptr_t owner_window) {
  SystemDir = platform::SystemDirectory();
  ProgramsMenuDir.clear();
  platform::SpecialFolderPath(platform::SpecialFolder::kPrograms, &ProgramsMenuDir, owner_window);
  DesktopDir.clear();
  platform::SpecialFolderPath(platform::SpecialFolder::kDesktopDirectory, &DesktopDir, owner_window);
}

}  // namespace app
