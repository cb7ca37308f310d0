// The toolkit's own texts in the program's two languages: message box captions
// and buttons, the folder dialog's texts and the standard button captions.
#pragma once

#include <span>
#include <string_view>

#include "platform/ui_texts.h"

namespace app {

struct ToolkitTextRow {
  platform::ToolkitText id;
  std::string_view russian;  // UTF-8 in the source, code page 1251 when applied
  std::string_view english;
};

// Every row of the table. Yes, No and Cancel have two rows each: one for the
// message box buttons and one for the standard button captions.
std::span<const ToolkitTextRow> ToolkitTextTable();

// Makes the toolkit show the Russian text (code page 1251) when the language is
// "ru", else the English text, for built-in text `id` from now on.
void SetToolkitText(platform::ToolkitText id, std::string_view russian_cp1251, std::string_view english);

// Applies every row of the table with SetToolkitText.
void LocalizeToolkitTexts();

}  // namespace app
