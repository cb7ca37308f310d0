// The system's locale and language settings.
//
// Windows build: GetLocaleInfoA, GetSystemDefaultUILanguage, GetACP, GetOEMCP.
// Linux build: the POSIX locale environment, read as Wine reads it: the system
// locale from LC_ALL, else LC_CTYPE, else LANG; the user-interface language
// from LC_ALL, else LC_MESSAGES, else LANG ("ru_RU.UTF-8" is Russian, 0x0419;
// "C", "POSIX" or nothing is English (United States), 0x0409). The Linux build's
// code pages are fixed (codepage.h): ANSI 1251, OEM 866.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Locale text types (LOCALE_* values of GetLocaleInfo).
enum : uint32_t {
  kLocaleIsoLanguageName = 0x59,    // "ru", "en"
  kLocaleIsoCountryName = 0x5A,     // "RU", "US"
  kLocaleEnglishLanguage = 0x1001,  // "Russian", "English", "Chinese (Simplified)"
  kLocaleEnglishCountry = 0x1002,   // "Russia", "United States"
};

// Asks for one text of the system default locale (LOCALE_SYSTEM_DEFAULT) with a
// buffer of 100 characters. Returns what GetLocaleInfoA returns: the number of
// characters written with the terminating NUL, or 0 on failure (then `*text` is
// empty). The Linux build knows the four types above.
int SystemLocaleInfo(uint32_t type, std::string* text);

// The system default user-interface language (a LANGID such as 0x0419).
uint16_t SystemDefaultUiLanguage();

// The ANSI and OEM code pages of the process.
unsigned AnsiCodePage();
unsigned OemCodePage();

}  // namespace platform
