#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/language.h"
#include "app/toolkit_texts.h"
#include "platform/paths.h"
#include "platform/system_test_support.h"
#include "platform/ui_texts.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

using platform::ToolkitText;

class LanguageTest : public ::testing::Test {
 protected:
  void SetUp() override { kvtest::ResetLanguage(); }
  void TearDown() override { kvtest::ResetLanguage(); }
  // Writes kv.ini with `locale` into the temporary folder; nullptr writes none.
  void WriteKvIni(const char* content) {
    if (content != nullptr) {
      ASSERT_TRUE(kvtest::WriteBytes(temp_ / "kv.ini", content));
    }
  }
  kvtest::TempDir temp_;
};

TEST_F(LanguageTest, StartupChoiceTable) {
  struct Case {
    std::vector<std::string> args;
    const char* kv_ini;  // content, or nullptr for no file
    const char* expected;
    LanguageSource source;
  };
  const Case cases[] = {
      {{}, nullptr, "en", LanguageSource::kDefault},
      {{"-lru"}, nullptr, "ru", LanguageSource::kCommandLine},
      {{"-LRU"}, nullptr, "ru", LanguageSource::kCommandLine},  // prefix and code in any case
      {{"/x", "-len"}, "[LocaleInfo]\r\nLocale=ru\r\n", "en", LanguageSource::kCommandLine},
      {{"-l"}, "[LocaleInfo]\r\nLocale=ru\r\n", "ru", LanguageSource::kLocaleFile},  // no code: kv.ini
      {{"-lde", "-lru"}, nullptr, "en", LanguageSource::kDefault},  // only the first "-l" counts
      {{"-lde", "-lru"}, "[localeinfo]\r\nlocale=RU\r\n", "ru", LanguageSource::kLocaleFile},
      {{"-language"}, nullptr, "en", LanguageSource::kDefault},
      {{"l", "--lru"}, nullptr, "en", LanguageSource::kDefault},
      {{}, "[LocaleInfo]\r\nLocale=de\r\n", "en", LanguageSource::kDefault},
      {{}, "[LocaleInfo]\r\nLocale= En \r\n", "en", LanguageSource::kLocaleFile},
      {{}, "[Other]\r\nLocale=ru\r\n", "en", LanguageSource::kDefault},
      {{}, "\xFF\xFE garbage [ no = ", "en", LanguageSource::kDefault},  // malformed: ignored
  };
  for (const Case& c : cases) {
    kvtest::TempDir dir;
    if (c.kv_ini != nullptr) {
      ASSERT_TRUE(kvtest::WriteBytes(dir / "kv.ini", c.kv_ini));
    }
    LanguageSource source = LanguageSource::kDefault;
    const std::string args = c.args.empty() ? "" : c.args.front();
    EXPECT_EQ(StartupLanguage(c.args, dir.path(), &source), c.expected) << args << " / " << (c.kv_ini ? c.kv_ini : "-");
    EXPECT_EQ(source, c.source) << args;
  }
}

TEST_F(LanguageTest, InitLanguageReadsKvIniOfTheCurrentFolderOnly) {
  // kv.ini beside the program is not read unless that is the current folder.
  WriteKvIni("[LocaleInfo]\r\nLocale=ru\r\n");
  const std::filesystem::path before = std::filesystem::current_path();
  {
    kvtest::TempDir elsewhere;
    std::filesystem::current_path(platform::HostPath(elsewhere.path()));
    InitLanguage({});
    EXPECT_EQ(GetCurrentLanguage(), "en");
    std::filesystem::current_path(platform::HostPath(temp_.path()));
    kvtest::ResetLanguage();
    InitLanguage({});
    EXPECT_EQ(GetCurrentLanguage(), "ru");
    std::filesystem::current_path(before);
  }
}

TEST_F(LanguageTest, StartLocaleUnitRunsOnce) {
  StartLocaleUnit({"-lru"});
  EXPECT_EQ(GetCurrentLanguage(), "ru");
  SetLanguage("en");
  StartLocaleUnit({"-lru"});  // the start-up counter guards it
  EXPECT_EQ(GetCurrentLanguage(), "en");
  FinishLocaleUnit();
  EXPECT_EQ(GetCurrentLanguage(), "");
  EXPECT_EQ(GetSystemLanguage(), "");
}

TEST_F(LanguageTest, NormalizeLanguage) {
  EXPECT_EQ(NormalizeLanguage("RU"), "ru");
  EXPECT_EQ(NormalizeLanguage("En"), "en");
  EXPECT_EQ(NormalizeLanguage("ch"), "");
  EXPECT_EQ(NormalizeLanguage("rus"), "");
  EXPECT_EQ(NormalizeLanguage(""), "");
}

TEST_F(LanguageTest, SetLanguageAcceptsOnlyEnglishAndRussian) {
  EXPECT_EQ(ChooseText("ru-text", "en-text"), "en-text");  // "" chooses English
  SetLanguage("ch");
  EXPECT_EQ(GetCurrentLanguage(), "");
  SetLanguage("RU");
  EXPECT_EQ(GetCurrentLanguage(), "ru");
  EXPECT_EQ(ChooseText("ru-text", "en-text"), "ru-text");
  SetLanguage("de");
  EXPECT_EQ(GetCurrentLanguage(), "ru");
  SetLanguage("en");
  EXPECT_EQ(ChooseText("ru-text", "en-text"), "en-text");
}

TEST_F(LanguageTest, ToolkitTextsFollowTheLanguage) {
  SetLanguage("ru");
  EXPECT_EQ(platform::MessageButtonText(platform::kBtnYes), Cp1251("Да"));
  EXPECT_EQ(platform::MessageButtonText(platform::kBtnNo), Cp1251("Нет"));
  EXPECT_EQ(platform::MessageButtonText(platform::kBtnRetry), Cp1251("Повтор"));
  EXPECT_EQ(platform::MessageButtonText(platform::kBtnIgnore), Cp1251("Далее"));
  EXPECT_EQ(platform::MessageButtonText(platform::kBtnOk), "OK");
  EXPECT_EQ(platform::MessageCaption(platform::MsgKind::kConfirmation), Cp1251("Подтверждение"));
  EXPECT_EQ(platform::GetToolkitText(ToolkitText::kStdButtonCancel), Cp1251("Отмена"));
  EXPECT_EQ(platform::GetToolkitText(ToolkitText::kFolderCreateQuestion),
            Cp1251("Указанный каталог не существует. Создать его?"));
  SetLanguage("en");
  EXPECT_EQ(platform::MessageButtonText(platform::kBtnYes), "&Yes");
  EXPECT_EQ(platform::MessageButtonText(platform::kBtnNo), "&No");
  EXPECT_EQ(platform::MessageButtonText(platform::kBtnRetry), "Repeat");
  EXPECT_EQ(platform::MessageButtonText(platform::kBtnIgnore), "Next");
  EXPECT_EQ(platform::MessageCaption(platform::MsgKind::kWarning), "Warning");
  EXPECT_EQ(platform::GetToolkitText(ToolkitText::kFolderDrivesLabel), "D&rives:");
}

TEST_F(LanguageTest, EveryToolkitTextHasARow) {
  std::vector<int> seen(platform::kToolkitTextCount, 0);
  for (const ToolkitTextRow& row : ToolkitTextTable()) ++seen[static_cast<int>(row.id)];
  for (int i = 0; i < platform::kToolkitTextCount; ++i) EXPECT_EQ(seen[i], 1) << "built-in text " << i;
}

TEST_F(LanguageTest, SameLanguageDoesNotReapplyTheToolkitTexts) {
  SetLanguage("ru");
  platform::SetToolkitText(ToolkitText::kMsgButtonYes, "marker");
  SetLanguage("RU");
  EXPECT_EQ(platform::GetToolkitText(ToolkitText::kMsgButtonYes), "marker");
  SetLanguage("en");
  EXPECT_EQ(platform::GetToolkitText(ToolkitText::kMsgButtonYes), "&Yes");
}

#ifdef _WIN32
// Wine reports the locale it was started in: the test run says which.
TEST_F(LanguageTest, SystemLanguageUnderWine) {
  const char* expect = std::getenv("KV_EXPECT_LANG");
  if (expect == nullptr) GTEST_SKIP() << "KV_EXPECT_LANG not set";
  EXPECT_EQ(DetectSystemLanguage(), expect);
  InitLanguage({});
  EXPECT_EQ(GetSystemLanguage(), expect);
}
#else
TEST_F(LanguageTest, SystemLanguageFromTheLocale) {
  struct Case {
    const char* lc_all;
    const char* expected;
  } cases[] = {
      {"ru_RU.UTF-8", "ru"}, {"zh_CN.UTF-8", "ch"}, {"zh_TW.UTF-8", "en"}, {"en_US.UTF-8", "en"}, {"C", "en"}};
  for (const Case& c : cases) {
    kvtest::ScopedEnv all("LC_ALL", c.lc_all);
    EXPECT_EQ(DetectSystemLanguage(), c.expected) << c.lc_all;
  }
  // A Chinese system gets English: SetLanguage ignores "ch".
  kvtest::ScopedEnv all("LC_ALL", "zh_CN.UTF-8");
  InitLanguage({"-lch"});
  EXPECT_EQ(GetSystemLanguage(), "ch");
  EXPECT_EQ(GetCurrentLanguage(), "en");
}
#endif

}  // namespace
}  // namespace app
