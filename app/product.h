// The product definition: everything the setup program knows about the one
// product it installs. Filled once during the main window's creation, after the
// final interface language is set; the install run later expands "%InstallDir%"
// in some values in place and appends to Dirs.
//
// Tables are fixed arrays of slots with a separate count of slots in force; only
// the first count slots are used, even when later slots hold values.
#pragma once

#include <cstdint>
#include <string>

#include "app/fixed_table.h"

namespace app {

// One shortcut.
struct TLink {
  std::string FileName;  // target file (macros allowed)
  std::string Params;    // command-line arguments stored in the shortcut
  std::string WorkDir;   // working folder stored in the shortcut
  std::string LinkDir;   // folder in which the shortcut file is created
  std::string LinkName;  // caption of the shortcut and base name of its file
};

// One file association.
struct TFileExt {
  std::string Ext;          // extension without the dot; also the class key's name
  std::string Dir;          // folder of the opening program (macros allowed)
  std::string ExeName;      // file name of the opening program
  std::string Description;  // the class key's default value
  int32_t IconIndex = 0;    // index of the icon inside the opening program
};

// Product values.
extern std::string ProductName;         // "KV for STL"
extern std::string ProductVersion;      // "1.1"
extern std::string ProductNoun;         // "задачник" / "system"
extern std::string ProductNounGen;      // "задачника" / "system"
extern std::string SetupCaption;        // FmtSetupCaption filled with ProductName
extern std::string GroupName;           // "\KV for STL", below ProgramsMenuDir
extern std::string ArchiveName;         // program file name with ".dat"
extern int VolumeCount;                 // 1
extern std::string LogFileName;         // "kvforstl1_0.log"
extern std::string RunFile;             // program to start after setup ("" = none)
extern std::string RunParams;           // its parameters unless ParamsOverride is set
extern std::string RunDir;              // its working folder
extern std::string RunNote;             // appended to the final report
extern std::string SelfCopyName;        // "" = the setup program is not copied
extern std::string PreviousVersionDir;  // "" = no previous version check

// Tables and their counts.
extern FixedTable<std::string, 101> Dirs;
extern int DirCount;
extern FixedTable<std::string, 101> BaseFiles;
extern int BaseFileCount;
extern FixedTable<std::string, 101> PreserveFiles;
extern int PreserveFileCount;
extern FixedTable<TLink, 51> Links;
extern int LinkCount;
extern FixedTable<TFileExt, 51> FileExts;
extern int FileExtCount;
extern FixedTable<std::string, 51> EnvNames;
extern FixedTable<std::string, 51> EnvCodes;
extern int EnvCount;
extern FixedTable<std::string, 51> UninstallExtras;
extern int UninstallExtraCount;
extern FixedTable<std::string, 4> UninstallTexts;  // title, question, done, done with files left

// Environment dialog settings.
extern bool EnvAllowNone;  // false: OK needs at least one checked environment
extern int EnvListHeight;  // client height of the dialog's check list

// The destination proposed before the configuration file has its say:
// ProgramFilesDir followed by "\KV4".
std::string DefaultInstallDir();

// Fills the product values and tables in their order (names, nouns, log file,
// group, run values, the composed messages, UninstallTexts, BaseFiles,
// PreserveFiles, Dirs, UninstallExtras, Links, Environments). Needs the final
// language, the message table, ProgramsMenuDir and SystemDir.
void FillProductDefinition();

// ArchiveName for the running program: its file name (no folder) with ".dat".
void SetArchiveName(std::string_view program_path);

}  // namespace app
