#include "app/setup_config.h"

#include "app/file_names.h"
#include "app/folders.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace app {

std::string IniInstallDir;
bool AutoRun = false;
bool SelectDialog = true;
bool FinalMessage = true;
bool StartMenu = true;
bool Desktop = true;
bool Run = true;
std::string ParamsOverride;
FixedTable<std::string, 51> ExcludeDirs;
int ExcludeDirCount = 0;

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string SetupConfigPath(std::string_view program_path) { return ChangeFileExt(program_path, ".ini"); }

bool ParseProfileInteger(std::string_view text, int32_t* value) {
  if (text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    uint64_t v = 0;
    for (char c : text.substr(2)) {
      const int d = HexValue(c);
      if (d < 0) return false;
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFu) return false;
    }
    *value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
  }
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

bool ReadProfileBool(std::string_view file, std::string_view section, std::string_view key, bool default_value) {
  int32_t v = 0;
  if (!ParseProfileInteger(platform::ReadProfileString(file, section, key, ""), &v)) return default_value;
  return v != 0;
}

void ResetSetupOptions() {
  IniInstallDir.clear();
  AutoRun = false;
  SelectDialog = true;
  FinalMessage = true;
  StartMenu = true;
  Desktop = true;
  Run = true;
  ParamsOverride.clear();
  ExcludeDirs.Clear();
  ExcludeDirCount = 0;
}

std::string ReplaceProgramFilesMacro(std::string_view text, std::string_view program_files) {
  static constexpr std::string_view kMacro = "%PROGRAMFILESDIR%";
  std::string out(text);
  const size_t at = UpperAscii(text).find(kMacro);
  if (at != std::string::npos) out.replace(at, kMacro.size(), program_files);
  return out;
}

void ReadSetupConfig(std::string_view config_file) {
  ResetSetupOptions();
  if (!platform::FileExists(config_file)) return;
  try {
    IniInstallDir =
        ReplaceProgramFilesMacro(platform::ReadProfileString(config_file, "Main", "InstallDir", ""), ProgramFilesDir);
    AutoRun = ReadProfileBool(config_file, "Main", "AutoRun", AutoRun);
    SelectDialog = ReadProfileBool(config_file, "Main", "SelectDialog", SelectDialog);
    FinalMessage = ReadProfileBool(config_file, "Main", "FinalMessage", FinalMessage);
    StartMenu = ReadProfileBool(config_file, "Links", "StartMenu", StartMenu);
    Desktop = ReadProfileBool(config_file, "Links", "Desktop", Desktop);
    Run = ReadProfileBool(config_file, "Setup", "Run", Run);
    ParamsOverride = platform::ReadProfileString(config_file, "Setup", "Params", "");
    for (int key = 1; key <= kMaxExcludeDirKeys; ++key) {
      std::string value = platform::ReadProfileString(config_file, "ExcludeDir", std::to_string(key), "");
      if (value.empty()) break;
      AppendSlot(ExcludeDirs, ExcludeDirCount, std::move(value));
    }
  } catch (...) {
    // The file is optional: whatever could not be read keeps its default.
  }
}

std::string RunParamsWithLanguage(std::string_view params, std::string_view language) {
  std::string out(params);
  if (!out.empty()) out += ' ';
  out += "-l";
  out += language;
  return out;
}

}  // namespace app
