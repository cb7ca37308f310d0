#include "app/product.h"

#include <iterator>
#include <utility>

#include "app/file_names.h"
#include "app/folders.h"
#include "app/language.h"
#include "app/messages.h"

namespace app {

std::string ProductName;
std::string ProductVersion;
std::string ProductNoun;
std::string ProductNounGen;
std::string SetupCaption;
std::string GroupName;
std::string ArchiveName;
int VolumeCount = 1;
std::string LogFileName;
std::string RunFile;
std::string RunParams;
std::string RunDir;
std::string RunNote;
std::string SelfCopyName;
std::string PreviousVersionDir;

FixedTable<std::string, 101> Dirs;
int DirCount = 0;
FixedTable<std::string, 101> BaseFiles;
int BaseFileCount = 0;
FixedTable<std::string, 101> PreserveFiles;
int PreserveFileCount = 0;
FixedTable<TLink, 51> Links;
int LinkCount = 0;
FixedTable<TFileExt, 51> FileExts;
int FileExtCount = 0;
FixedTable<std::string, 51> EnvNames;
FixedTable<std::string, 51> EnvCodes;
int EnvCount = 0;
FixedTable<std::string, 51> UninstallExtras;
int UninstallExtraCount = 0;
FixedTable<std::string, 4> UninstallTexts;

bool EnvAllowNone = false;
int EnvListHeight = 185;

std::string DefaultInstallDir() { return ProgramFilesDir + "\\KV4"; }

void SetArchiveName(std::string_view program_path) {
  ArchiveName = ChangeFileExt(ExtractFileName(program_path), ".dat");
}

void FillProductDefinition() {
  ProductName = "KV for STL";
  ProductNoun = ChooseText(Cp1251("задачник"), "system");
  ProductNounGen = ChooseText(Cp1251("задачника"), "system");
  LogFileName = "kvforstl1_0.log";
  GroupName = "\\KV for STL";
  RunFile = "";
  RunParams = "";
  RunDir = "%InstallDir%";
  RunNote = "";
  SelfCopyName = "";
  PreviousVersionDir = "";

  FillComposedMessages();

  UninstallTexts[0] = ChooseText(Cp1251("Удаление KV for STL"), "Uninstall KV for STL");
  UninstallTexts[1] = ChooseText(Cp1251("Удалить задачник KV for STL и связанные с ним компоненты?"),
                                 "Do you want to uninstall KV for STL?");
  UninstallTexts[2] = ChooseText(Cp1251("Задачник KV for STL полностью удален."),
                                 "KV for STL is completely uninstalled.");
  UninstallTexts[3] = ChooseText(Cp1251("Задачник KV for STL удален, за исключением следующих файлов:"),
                                 "KV for STL is uninstalled but the following files are not deleted:");

  BaseFiles.Clear();
  BaseFileCount = 0;
  for (const char* name : {"results.dat", "KV4Setup.exe", "KV4Demo.exe", "KV4Load.exe", "KV4Res.exe",
                           "readme_en.txt", "LIB\\KV4_.txt", "LIB\\KV4__.txt"})
    AppendSlot(BaseFiles, BaseFileCount, name);

  // Kept for products that protect user data; none is protected in this one.
  PreserveFiles.Clear();
  PreserveFiles[0] = "RESULTS.DAT";
  PreserveFiles[1] = "KV.INI";
  PreserveFiles[2] = "KV4VMAKE.INI";
  PreserveFileCount = 0;

  Dirs.Clear();
  DirCount = 0;
  AppendSlot(Dirs, DirCount, "%InstallDir%\\LIB");

  UninstallExtras.Clear();
  UninstallExtras[0] = "%InstallDir%\\SAMPLES\\a";
  UninstallExtras[1] = "%InstallDir%\\LIB\\a";
  UninstallExtraCount = 0;

  const std::string group_dir = ProgramsMenuDir + GroupName;
  const std::string uninstaller = SystemDir + "\\dravunel.exe";
  const std::string uninstall_params = "\"%InstallDir%\\UNINST\\" + LogFileName + "\"";
  Links.Clear();
  LinkCount = 0;
  AppendSlot(Links, LinkCount,
             TLink{"%InstallDir%\\KVforSTL\\KVforSTL.chm", "", "%InstallDir%", group_dir, "KV for STL Info"});
  AppendSlot(Links, LinkCount,
             TLink{"%InstallDir%\\KVforSTL\\readme.txt", "", "%InstallDir%", group_dir, "KV for STL Readme"});
  AppendSlot(Links, LinkCount,
             TLink{uninstaller, uninstall_params, SystemDir, "%InstallDir%\\UNINST", "KVforSTLUninstall"});
  AppendSlot(Links, LinkCount, TLink{uninstaller, uninstall_params, SystemDir, group_dir, "KV for STL Uninstall"});
  AppendSlot(Links, LinkCount, TLink{"%InstallDir%\\KVforSTL\\readme_en.txt", "", "%InstallDir%", group_dir,
                                     "KV for STL Readme (en)"});

  // The environments this package knows; none is offered in this product, so
  // the environment dialog never opens.
  static constexpr std::pair<const char*, const char*> kEnvironments[] = {
      {"Borland Delphi 7", "DELPHI7"},
      {"Borland Delphi 2006", "DELPHI10"},
      {"Free Pascal Lazarus 1", "LAZARUS1"},
      {"Microsoft Visual Studio 2008 (C++)", "VCNET3"},
      {"Microsoft Visual Studio 2010 (C++)", "VCNET4"},
      {"Microsoft Visual Studio 2012 (C++)", "VCNET5"},
      {"Microsoft Visual Studio 2013 (C++)", "VCNET6"},
      {"Microsoft Visual Studio 2015 (C++)", "VCNET7"},
      {"Code::Blocks 13 (C++)", "CBLOCKS13"},
  };
  EnvNames.Clear();
  EnvCodes.Clear();
  for (int i = 0; i < static_cast<int>(std::size(kEnvironments)); ++i) {
    EnvNames[i] = kEnvironments[i].first;
    EnvCodes[i] = kEnvironments[i].second;
  }
  EnvCount = 0;
  EnvAllowNone = false;
  EnvListHeight = 185;

  FileExts.Clear();
  FileExtCount = 0;
}

}  // namespace app
