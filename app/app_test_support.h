// Helpers for the tests of the start-up code: a clean language state and a
// program in a temporary folder.
#pragma once

#include <string>
#include <string_view>

#include "app/language.h"
#include "platform/ui_texts.h"

namespace kvtest {

// Forgets the interface language and the toolkit texts, as before start-up.
inline void ResetLanguage() {
  app::FinishLocaleUnit();
  platform::ResetToolkitTexts();
}

// A clean state, then the language `code` ("en" or "ru").
inline void UseLanguage(std::string_view code) {
  ResetLanguage();
  app::SetLanguage(code);
}

}  // namespace kvtest
