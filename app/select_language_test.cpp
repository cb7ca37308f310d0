#include <gtest/gtest.h>

#include <cstdlib>

#include "app/language.h"
#include "app/select_language.h"
#include "platform/system_test_support.h"

namespace app {
namespace {

TEST(SelectLanguageTest, OnlyRussianUiLanguagePreselectsRussian) {
  const LanguageDialog ru = CreateLanguageDialog(1049);
  EXPECT_EQ(ru.caption, "Language");
  EXPECT_EQ(ru.label, Cp1251("Выберите язык:"));
  EXPECT_EQ(ru.radio1, "English");
  EXPECT_EQ(ru.radio2, Cp1251("Русский"));
  EXPECT_FALSE(ru.radio1_checked);
  EXPECT_TRUE(ru.radio2_checked);
  EXPECT_EQ(ru.focused_radio, 2);
  for (uint16_t other : {uint16_t{0x0409}, uint16_t{0x0819}, uint16_t{0x0422}, uint16_t{0}}) {
    const LanguageDialog en = CreateLanguageDialog(other);
    EXPECT_EQ(en.caption, "Language") << other;
    EXPECT_EQ(en.label, "Select a language:") << other;
    EXPECT_EQ(en.radio2, "Russian") << other;
    EXPECT_TRUE(en.radio1_checked) << other;
    EXPECT_FALSE(en.radio2_checked) << other;
    EXPECT_EQ(en.focused_radio, 1) << other;
  }
}

// A backend that checks one radio button and closes the dialog.
class ClickingView : public LanguageDialogView {
 public:
  explicit ClickingView(int radio) : radio_(radio) {}
  void ShowModal(LanguageDialog& dialog) override {
    ++shown_;
    dialog.radio1_checked = radio_ == 1;
    dialog.radio2_checked = radio_ == 2;
  }
  int shown_ = 0;

 private:
  int radio_;
};

TEST(SelectLanguageTest, AnswerIsTheRadioSelectionAtClose) {
  ClickingView english(1), russian(2);
  SetLanguageDialogView(&russian);
  EXPECT_EQ(SelectLanguage(), "ru");
  SetLanguageDialogView(&english);
  EXPECT_EQ(SelectLanguage(), "en");
  SetLanguageDialogView(nullptr);
  EXPECT_EQ(english.shown_, 1);
  EXPECT_EQ(russian.shown_, 1);
}

// Without a window the pre-selection answers: Russian only for a Russian UI.
TEST(SelectLanguageTest, HeadlessAnswerFollowsTheUiLanguage) {
#ifdef _WIN32
  const char* expect = std::getenv("KV_EXPECT_LANG");
  if (expect == nullptr) GTEST_SKIP() << "KV_EXPECT_LANG not set";
  EXPECT_EQ(SelectLanguage(), expect);
#else
  {
    kvtest::ScopedEnv all("LC_ALL", "ru_RU.UTF-8");
    EXPECT_EQ(SelectLanguage(), "ru");
  }
  {
    kvtest::ScopedEnv all("LC_ALL", std::nullopt), messages("LC_MESSAGES", "en_US.UTF-8"),
        lang("LANG", "ru_RU.UTF-8");  // Russian locale, English user interface
    EXPECT_EQ(SelectLanguage(), "en");
  }
#endif
}

}  // namespace
}  // namespace app
