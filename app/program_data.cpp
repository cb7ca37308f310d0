#include "app/program_data.h"

#include "app/folders.h"
#include "app/language.h"
#include "app/messages.h"
#include "app/product.h"
#include "app/select_language.h"
#include "app/setup_config.h"
#include "app/text_format.h"

namespace app {

void PrepareFoldersAndOptions(std::string_view program_path, intptr_t owner_window) {
  FindSourceAndProgramFiles(program_path);
  ReadSetupConfig(SetupConfigPath(program_path));
  FindSystemFolders(owner_window);
}

void SettleFinalLanguage() {
  if (GetSystemLanguage() != "ru")
    SetLanguage("en");
  else
    SetLanguage(SelectLanguage());
  // A distributor's [Setup] Params reach the started program; the language
  // option is added after them.
  ParamsOverride = RunParamsWithLanguage(ParamsOverride, GetCurrentLanguage());
}

void FillProgramTexts(std::string_view program_path) {
  FillMessages();
  ProductVersion = "1.1";
  FillProductDefinition();
  SetArchiveName(program_path);
  SetupCaption = Format(FmtSetupCaption, {ProductName});
}

void PrepareProgramData(std::string_view program_path, intptr_t owner_window) {
  PrepareFoldersAndOptions(program_path, owner_window);
  VolumeCount = 1;
  FileExtCount = 0;
  SettleFinalLanguage();
  FillProgramTexts(program_path);
}

}  // namespace app
