#include "platform/codepage.h"

namespace platform {

// The Linux build has no system code pages: OEM is 866 and ANSI is 1251.
std::string OemToAnsi(std::string_view oem) { return Cp866ToCp1251(oem); }
std::string AnsiToUtf8(std::string_view ansi) { return Cp1251ToUtf8(ansi); }
std::string AnsiToTerminal(std::string_view ansi) { return Cp1251ToUtf8(ansi); }
std::string Utf8ToAnsi(std::string_view utf8, char replacement) { return Utf8ToCp1251(utf8, replacement); }

}  // namespace platform
