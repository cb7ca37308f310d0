// The language dialog (SelectLangU): the final choice of the interface language
// on a system with a Russian locale.
//
// The dialog's logic lives here; a window backend shows it (SetLanguageDialogView).
// Without one, the dialog closes at once with its pre-selection, as an
// unattended run needs.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// TSelLangForm: what the dialog shows and which radio button is checked.
struct LanguageDialog {
  std::string caption;  // "Language" in both languages
  std::string label;    // "Select a language:" or "Выберите язык:" (code page 1251)
  std::string radio1;   // "English"
  std::string radio2;   // "Russian" or "Русский"
  bool radio1_checked = true;
  bool radio2_checked = false;
  int focused_radio = 1;  // 1 or 2
};

// The dialog as created on a system whose default user-interface language is
// `ui_language`: only 1049 (0x0419, Russian) gives the Russian texts with
// "Русский" checked and focused; every other value the English texts with
// "English" checked and focused.
LanguageDialog CreateLanguageDialog(uint16_t ui_language);

// A window backend for the dialog. ShowModal returns when the dialog is closed
// (OK, Enter, Esc, a double click on a radio button or the close button) and
// leaves the radio selection of that moment in `dialog`.
class LanguageDialogView {
 public:
  virtual ~LanguageDialogView() = default;
  virtual void ShowModal(LanguageDialog& dialog) = 0;
};

// Installs the backend (not owned); nullptr: none, the pre-selection answers.
void SetLanguageDialogView(LanguageDialogView* view);

// Creates the dialog for the system's user-interface language, shows it modally
// and returns "en" when "English" is checked at the end, else "ru".
std::string SelectLanguage();

}  // namespace app
