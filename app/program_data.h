// The program's data, prepared during the main window's creation in this order:
//   1. folders and options: SourceDir, ProgramFilesDir, the setup configuration
//      file, SystemDir, ProgramsMenuDir, DesktopDir;
//   2. VolumeCount := 1, FileExtCount := 0;
//   3. the final language: English unless the system language is Russian, when
//      the language dialog decides;
//   4. ParamsOverride: the [Setup] Params value with "-l<language>" added;
//   5. the message table and the window texts;
//   6. ProductVersion, the product values and tables;
//   7. ArchiveName, SetupCaption.
// The main window calls the steps in this order between its own ones (layout,
// the archive check, its controls), or all at once with PrepareProgramData.
#pragma once

#include <cstdint>
#include <string_view>

namespace app {

// Step 1.
void PrepareFoldersAndOptions(std::string_view program_path, intptr_t owner_window = 0);
// Steps 3 and 4: SetLanguage("en"), or SetLanguage(SelectLanguage()) on a
// Russian system; then ParamsOverride.
void SettleFinalLanguage();
// Steps 5 to 7 (needs the final language).
void FillProgramTexts(std::string_view program_path);

// Every step, in order.
void PrepareProgramData(std::string_view program_path, intptr_t owner_window = 0);

}  // namespace app
