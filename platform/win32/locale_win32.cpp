#include <windows.h>

#include "platform/locale.h"

namespace platform {

int SystemLocaleInfo(uint32_t type, std::string* text) {
  char buffer[100];
  const int n = ::GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, type, buffer, sizeof buffer);
  if (n <= 0) {
    text->clear();
    return 0;
  }
  text->assign(buffer, static_cast<size_t>(n - 1));
  return n;
}

uint16_t SystemDefaultUiLanguage() { return ::GetSystemDefaultUILanguage(); }

unsigned AnsiCodePage() { return ::GetACP(); }
unsigned OemCodePage() { return ::GetOEMCP(); }

}  // namespace platform
