#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/locale.h"

namespace platform {
namespace {

struct LocaleRow {
  const char* language;   // ISO 639 code
  const char* territory;  // ISO 3166 code; the first row of a language is its default
  uint16_t id;
  const char* english_language;
  const char* english_country;
};

// The names are those Wine gives for these locales.
constexpr LocaleRow kLocales[] = {
    {"en", "US", 0x0409, "English", "United States"},
    {"en", "GB", 0x0809, "English", "United Kingdom"},
    {"ru", "RU", 0x0419, "Russian", "Russia"},
    {"ru", "MD", 0x0819, "Russian", "Moldova"},
    {"zh", "CN", 0x0804, "Chinese (Simplified)", "China"},
    {"zh", "SG", 0x1004, "Chinese (Simplified)", "Singapore"},
    {"zh", "TW", 0x0404, "Chinese (Traditional)", "Taiwan"},
    {"de", "DE", 0x0407, "German", "Germany"},
    {"fr", "FR", 0x040C, "French", "France"},
    {"uk", "UA", 0x0422, "Ukrainian", "Ukraine"},
    {"be", "BY", 0x0423, "Belarusian", "Belarus"},
    {"kk", "KZ", 0x043F, "Kazakh", "Kazakhstan"},
};

const char* FirstSet(std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (const char* v = std::getenv(name); v != nullptr && *v) return v;
  return "";
}

// "ru_RU.UTF-8@euro" -> the row of language "ru", territory "RU". "C", "POSIX",
// an unknown language or nothing -> English (United States).
const LocaleRow& Lookup(std::string_view value) {
  const size_t lang_end = value.find_first_of("_.@");
  const std::string_view lang = value.substr(0, lang_end);
  std::string_view territory;
  if (lang_end != std::string_view::npos && value[lang_end] == '_') {
    territory = value.substr(lang_end + 1);
    territory = territory.substr(0, territory.find_first_of(".@"));
  }
  const LocaleRow* language_default = nullptr;
  for (const LocaleRow& row : kLocales) {
    if (lang != row.language) continue;
    if (territory == row.territory) return row;
    if (language_default == nullptr) language_default = &row;
  }
  return language_default != nullptr ? *language_default : kLocales[0];
}

const LocaleRow& SystemLocale() { return Lookup(FirstSet({"LC_ALL", "LC_CTYPE", "LANG"})); }

}  // namespace

int SystemLocaleInfo(uint32_t type, std::string* text) {
  const LocaleRow& row = SystemLocale();
  switch (type) {
    case kLocaleIsoLanguageName:
      *text = row.language;
      break;
    case kLocaleIsoCountryName:
      *text = row.territory;
      break;
    case kLocaleEnglishLanguage:
      *text = row.english_language;
      break;
    case kLocaleEnglishCountry:
      *text = row.english_country;
      break;
    default:
      text->clear();
      return 0;
  }
  if (text->size() >= 100) text->resize(99);  // the 100-character buffer
  return static_cast<int>(text->size()) + 1;
}

uint16_t SystemDefaultUiLanguage() { return Lookup(FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"})).id; }

unsigned AnsiCodePage() { return 1251; }
unsigned OemCodePage() { return 866; }

}  // namespace platform
