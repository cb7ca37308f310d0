#include "app/select_language.h"

#include "app/language.h"
#include "platform/locale.h"

namespace app {
namespace {

LanguageDialogView* g_view = nullptr;

constexpr uint16_t kRussianUiLanguage = 0x0419;  // 1049

}  // namespace

LanguageDialog CreateLanguageDialog(uint16_t ui_language) {
  LanguageDialog d;
  d.caption = "Language";
  d.radio1 = "English";
  if (ui_language == kRussianUiLanguage) {
    d.label = Cp1251("Выберите язык:");
    d.radio2 = Cp1251("Русский");
    d.radio1_checked = false;
    d.radio2_checked = true;
    d.focused_radio = 2;
  } else {
    d.label = "Select a language:";
    d.radio2 = "Russian";
  }
  return d;
}

void SetLanguageDialogView(LanguageDialogView* view) { g_view = view; }

std::string SelectLanguage() {
  LanguageDialog dialog = CreateLanguageDialog(platform::SystemDefaultUiLanguage());
  if (g_view != nullptr) g_view->ShowModal(dialog);
  return dialog.radio1_checked ? "en" : "ru";
}

}  // namespace app
