#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/locale.h"
#include "platform/system_test_support.h"

namespace platform {
namespace {

#ifdef _WIN32

// The test run sets KV_EXPECT_LANG with the locale it starts Wine in
// (LC_ALL=ru_RU.UTF-8 or C.UTF-8); elsewhere there is nothing to compare with.
TEST(LocaleTest, SystemLocaleAsWineReportsIt) {
  const char* expect = std::getenv("KV_EXPECT_LANG");
  if (expect == nullptr) GTEST_SKIP() << "KV_EXPECT_LANG not set";
  std::string name;
  const int n = SystemLocaleInfo(kLocaleEnglishLanguage, &name);
  EXPECT_EQ(n, static_cast<int>(name.size()) + 1);
  if (std::string(expect) == "ru") {
    EXPECT_EQ(name, "Russian");
    EXPECT_EQ(SystemDefaultUiLanguage(), 0x0419);
    EXPECT_EQ(AnsiCodePage(), 1251u);
    EXPECT_EQ(OemCodePage(), 866u);
  } else {
    EXPECT_EQ(name, "English");
    EXPECT_EQ(SystemDefaultUiLanguage(), 0x0409);
  }
}

#else

struct LocaleCase {
  const char* lc_all;
  const char* lc_ctype;
  const char* lc_messages;
  const char* lang;
  const char* english_language;  // of the system locale
  uint16_t ui_language;
};

std::optional<std::string> Opt(const char* v) { return v ? std::optional<std::string>(v) : std::nullopt; }

TEST(LocaleTest, SystemLocaleAndUiLanguageFromTheEnvironment) {
  const LocaleCase cases[] = {
      {"ru_RU.UTF-8", nullptr, nullptr, nullptr, "Russian", 0x0419},
      {nullptr, nullptr, nullptr, "ru_RU.UTF-8", "Russian", 0x0419},
      {"ru_RU.UTF-8", "en_US.UTF-8", "en_US.UTF-8", "en_US.UTF-8", "Russian", 0x0419},  // LC_ALL wins
      {nullptr, "zh_CN.UTF-8", "ru_MD.UTF-8", "en_US.UTF-8", "Chinese (Simplified)", 0x0819},
      {nullptr, nullptr, "ru_RU", "de_DE@euro", "German", 0x0419},
      {"C", nullptr, nullptr, nullptr, "English", 0x0409},
      {"C.UTF-8", nullptr, nullptr, nullptr, "English", 0x0409},
      {nullptr, nullptr, nullptr, nullptr, "English", 0x0409},
      {"xx_YY.UTF-8", nullptr, nullptr, nullptr, "English", 0x0409},
      {"ru_UA.UTF-8", nullptr, nullptr, nullptr, "Russian", 0x0419},  // the language's first territory
  };
  for (const LocaleCase& c : cases) {
    kvtest::ScopedEnv all("LC_ALL", Opt(c.lc_all)), ctype("LC_CTYPE", Opt(c.lc_ctype)),
        messages("LC_MESSAGES", Opt(c.lc_messages)), lang("LANG", Opt(c.lang));
    std::string name;
    const int n = SystemLocaleInfo(kLocaleEnglishLanguage, &name);
    EXPECT_EQ(n, static_cast<int>(name.size()) + 1);
    EXPECT_EQ(name, c.english_language) << (c.lc_all ? c.lc_all : "-") << " " << (c.lang ? c.lang : "-");
    EXPECT_EQ(SystemDefaultUiLanguage(), c.ui_language) << (c.lc_all ? c.lc_all : "-");
  }
}

TEST(LocaleTest, UnknownTypeFails) {
  kvtest::ScopedEnv all("LC_ALL", "ru_RU.UTF-8");
  std::string text = "stale";
  EXPECT_EQ(SystemLocaleInfo(0x7777, &text), 0);
  EXPECT_EQ(text, "");
  EXPECT_GT(SystemLocaleInfo(kLocaleIsoLanguageName, &text), 0);
  EXPECT_EQ(text, "ru");
}

#endif

}  // namespace
}  // namespace platform
