#include "app/language.h"

#include "app/file_names.h"
#include "app/toolkit_texts.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace app {
namespace {

std::string g_current_lang;  // CurrentLang
std::string g_system_lang;   // SystemLang
int g_startup_count = 0;

}  // namespace

std::string GetLocaleText(uint32_t type) {
  std::string text;
  if (platform::SystemLocaleInfo(type, &text) <= 0) return {};
  return text;
}

std::string DetectSystemLanguage() {
  const std::string name = GetLocaleText(platform::kLocaleEnglishLanguage);
  if (name == "Russian") return "ru";
  if (name == "Chinese (Simplified)") return "ch";
  return "en";
}

std::string GetSystemLanguage() { return g_system_lang; }
std::string GetCurrentLanguage() { return g_current_lang; }

std::string NormalizeLanguage(std::string_view code) {
  std::string c = LowerAscii(code);
  return c == "ru" || c == "en" ? c : std::string();
}

std::string StartupLanguage(const std::vector<std::string>& args, std::string_view current_dir,
                            LanguageSource* source) {
  std::string code;
  LanguageSource from = LanguageSource::kDefault;
  for (const std::string& arg : args) {
    if (arg.size() < 2 || LowerAscii(arg.substr(0, 2)) != "-l") continue;
    code = NormalizeLanguage(arg.substr(2));
    if (!code.empty()) from = LanguageSource::kCommandLine;
    break;  // only the first "-l" argument counts, valid or not
  }
  if (code.empty() && !current_dir.empty()) {
    // A missing, unreadable or malformed kv.ini is no error: English follows.
    try {
      const std::string file = platform::JoinPath(current_dir, "kv.ini");
      if (platform::FileExists(file)) {
        code = NormalizeLanguage(platform::ReadProfileString(file, "LocaleInfo", "Locale", ""));
        if (!code.empty()) from = LanguageSource::kLocaleFile;
      }
    } catch (...) {
      code.clear();
    }
  }
  if (code.empty()) code = "en";
  if (source != nullptr) *source = from;
  return code;
}

void InitLanguage(const std::vector<std::string>& args) {
  g_system_lang = DetectSystemLanguage();
  SetLanguage(StartupLanguage(args, platform::CurrentDirectory()));
}

void StartLocaleUnit(const std::vector<std::string>& args) {
  if (g_startup_count++ == 0) InitLanguage(args);
}

void FinishLocaleUnit() {
  g_current_lang.clear();
  g_system_lang.clear();
  g_startup_count = 0;
}

void SetLanguage(std::string_view code) {
  const std::string c = LowerAscii(code);
  if (c != "ru" && c != "en") return;
  if (c == g_current_lang) return;
  g_current_lang = c;
  LocalizeToolkitTexts();
}

std::string ChooseText(std::string_view russian, std::string_view english) {
  return std::string(g_current_lang == "ru" ? russian : english);
}

std::string Cp1251(std::string_view utf8) { return platform::Utf8ToCp1251(utf8); }

}  // namespace app
