#include "app/print_config.h"

#include <cstdio>

#include "app/folders.h"
#include "app/language.h"
#include "app/messages.h"
#include "app/product.h"
#include "app/program_data.h"
#include "app/select_language.h"
#include "app/setup_config.h"
#include "app/version_label.h"
#include "app/volumes.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/paths.h"

namespace app {
namespace {

class Report {
 public:
  void Heading(std::string_view title) { out_ += std::string(title) + "\n"; }
  // A line whose value is system text (ANSI code page).
  void Sys(std::string_view name, std::string_view value, std::string_view note = {}) {
    Line(name, platform::AnsiToUtf8(value), note);
  }
  // A line whose value is one of the program's own texts (code page 1251).
  void Own(std::string_view name, std::string_view value, std::string_view note = {}) {
    Line(name, platform::Cp1251ToUtf8(value), note);
  }
  void Line(std::string_view name, std::string_view utf8_value, std::string_view note = {}) {
    std::string line = "  " + std::string(name);
    if (line.size() < 24) line.resize(24, ' ');
    line += utf8_value.empty() ? std::string("\"\"") : std::string(utf8_value);
    if (!note.empty()) line += "  (" + std::string(note) + ")";
    out_ += line + "\n";
  }
  const std::string& Text() const { return out_; }

 private:
  std::string out_;
};

std::string Hex4(unsigned v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%04X", v);
  return buffer;
}

const char* OnOff(bool v) { return v ? "1 (on)" : "0 (off)"; }

std::string ProgramFilesSource() {
  if (!ProgramFilesDirFromRegistry().empty()) return "registry";
  std::string found;
  FindProgramFilesDir(found);
  if (!found.empty()) return "drive scan";
  FindFirstDriveRoot(found);
  return found.empty() ? "no drive answers" : "first drive root";
}

// The host path behind a program path, in the Linux build.
std::string HostNote(std::string_view path) {
  if (platform::PrefixRoot().empty() || path.empty()) return {};
  return "host " + platform::HostPath(path);
}

}  // namespace

std::string PrintConfig(std::string_view program_path, const std::vector<std::string>& args) {
  LanguageSource source = LanguageSource::kDefault;
  const std::string current_dir = platform::CurrentDirectory();
  const std::string startup = StartupLanguage(args, current_dir, &source);
  const std::string startup_lang = GetCurrentLanguage();

  PrepareProgramData(program_path);

  Report r;
  r.Heading("kvsetup configuration");
  r.Sys("program", program_path);
  if (!platform::PrefixRoot().empty()) r.Sys("prefix", platform::PrefixRoot(), "Windows paths map below it");

  r.Heading("language");
  std::string locale_name;
  platform::SystemLocaleInfo(platform::kLocaleEnglishLanguage, &locale_name);
  r.Sys("system locale", locale_name, "system language " + GetSystemLanguage());
  r.Line("UI language", Hex4(platform::SystemDefaultUiLanguage()));
  r.Line("code pages", "ANSI " + std::to_string(platform::AnsiCodePage()) + ", OEM " +
                           std::to_string(platform::OemCodePage()));
  const char* from = source == LanguageSource::kCommandLine ? "-l option"
                     : source == LanguageSource::kLocaleFile ? "kv.ini in the current folder"
                                                               : "default";
  r.Line("start-up language", startup_lang.empty() ? startup : startup_lang, from);
  if (GetSystemLanguage() == "ru") {
    const LanguageDialog dialog = CreateLanguageDialog(platform::SystemDefaultUiLanguage());
    r.Line("final language", GetCurrentLanguage(),
           std::string("language dialog; pre-selected ") + (dialog.radio1_checked ? "English" : "Russian"));
  } else {
    r.Line("final language", GetCurrentLanguage(), "the system language is not Russian");
  }

  r.Heading("folders");
  r.Sys("SourceDir", SourceDir, HostNote(SourceDir));
  r.Sys("ProgramFilesDir", ProgramFilesDir, ProgramFilesSource());
  r.Sys("SystemDir", SystemDir, HostNote(SystemDir));
  r.Sys("ProgramsMenuDir", ProgramsMenuDir, HostNote(ProgramsMenuDir));
  r.Sys("DesktopDir", DesktopDir, HostNote(DesktopDir));
  const std::string destination = IniInstallDir.empty() ? DefaultInstallDir() : IniInstallDir;
  r.Sys("destination", destination, IniInstallDir.empty() ? "default" : "[Main] InstallDir");

  const std::string config = SetupConfigPath(program_path);
  r.Heading("options");
  r.Sys("configuration file", config, platform::FileExists(config) ? "read" : "not found: defaults");
  r.Sys("[Main] InstallDir", IniInstallDir);
  r.Line("[Main] AutoRun", OnOff(AutoRun));
  r.Line("[Main] SelectDialog", OnOff(SelectDialog));
  r.Line("[Main] FinalMessage", OnOff(FinalMessage));
  r.Line("[Links] StartMenu", OnOff(StartMenu));
  r.Line("[Links] Desktop", OnOff(Desktop));
  r.Line("[Setup] Run", OnOff(Run));
  r.Sys("run parameters", ParamsOverride, "[Setup] Params and the language option");
  std::string excluded;
  for (int i = 0; i < ExcludeDirCount; ++i) excluded += (i > 0 ? ", " : "") + ExcludeDirs[i];
  r.Sys("[ExcludeDir]", excluded, std::to_string(ExcludeDirCount) + " value(s)");

  r.Heading("archive");
  for (int n = 1; n <= VolumeCount; ++n)
    r.Sys("volume " + std::to_string(n), VolumePath(n), platform::FileExists(VolumePath(n)) ? "present" : "missing");
  r.Own("version label", VersionLabel());
  r.Own("setup caption", SetupCaption);
  r.Own("window caption", WindowCaption);
  return r.Text();
}

}  // namespace app
