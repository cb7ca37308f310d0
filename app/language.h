// The locale unit (KV4LocaleS): the interface language of the program.
//
// The language is "en" or "ru". It starts as "" (ChooseText then gives English),
// gets a first value from the start-up detection (InitLanguage: the "-l" option,
// kv.ini in the current folder, else English) and its final value while the main
// window is created. Every switch re-applies the toolkit's own texts (message box
// captions and buttons, folder dialog texts).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// One text of the system default locale (GetLocaleInfoA, LOCALE_SYSTEM_DEFAULT,
// 100 characters); "" when the system gives none.
std::string GetLocaleText(uint32_t type);

// "ru" when the system locale's English language name is "Russian", "ch" when it
// is "Chinese (Simplified)", else "en".
std::string DetectSystemLanguage();

std::string GetSystemLanguage();   // as detected at start-up
std::string GetCurrentLanguage();  // "", "en" or "ru"

// Lower-cases (ASCII); returns "ru" or "en", anything else gives "".
std::string NormalizeLanguage(std::string_view code);

// Where the start-up language came from.
enum class LanguageSource { kCommandLine, kLocaleFile, kDefault };

// The start-up choice for the program arguments `args` (without the program
// name) and the current folder `current_dir`:
//   1. the first argument that begins with "-l" (any case) gives the rest of it,
//      lower-cased, if that is "en" or "ru"; later "-l" arguments are not looked at;
//   2. else [LocaleInfo] Locale of `current_dir`\kv.ini, normalized;
//   3. else "en".
std::string StartupLanguage(const std::vector<std::string>& args, std::string_view current_dir,
                            LanguageSource* source = nullptr);

// Start-up detection: SystemLang := DetectSystemLanguage(), then
// SetLanguage(StartupLanguage(args, current folder)).
void InitLanguage(const std::vector<std::string>& args);

// The unit's start-up and shutdown code. Start-up runs InitLanguage only the
// first time it is called; shutdown clears both languages.
void StartLocaleUnit(const std::vector<std::string>& args);
void FinishLocaleUnit();

// Switches to "en" or "ru" (any case). Any other code, or the language already
// in force, changes nothing; a real switch re-applies the toolkit texts.
void SetLanguage(std::string_view code);

// The Russian text when the language is "ru", else the English one.
std::string ChooseText(std::string_view russian, std::string_view english);

// A UTF-8 literal of the source as code page 1251 (the program's Russian texts).
std::string Cp1251(std::string_view utf8);

}  // namespace app
