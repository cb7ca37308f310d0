// Text conversion between the code pages the program works in.
//
// Inside the program, text is 8-bit ANSI (code page 1251 for Russian); names
// stored in archives are OEM (code page 866 where the system has no OEM code
// page of its own). These helpers convert only at the edges: to UTF-8 for the
// terminal and Linux file names, to UTF-16 for the Win32 W calls.
#pragma once

#include <string>
#include <string_view>

// winuser.h defines OemToAnsi as a macro (OemToCharA); it must not rename ours.
#ifdef OemToAnsi
#undef OemToAnsi
#endif

namespace platform {

// Code page 1251 (the Linux build's ANSI code page) <-> UTF-8.
// A UTF-8 character that code page 1251 cannot hold becomes `replacement`.
// Invalid UTF-8 sequences also become `replacement`, one per bad byte.
std::string Cp1251ToUtf8(std::string_view ansi);
std::string Utf8ToCp1251(std::string_view utf8, char replacement = '?');

// Lower case in code page 1251 (Latin and Cyrillic letters): how the Linux
// build compares names without regard to case.
std::string LowerCp1251(std::string_view s);

// Code page 866 (DOS Cyrillic OEM) -> UTF-8 and -> code page 1251.
std::string Cp866ToUtf8(std::string_view oem);
std::string Cp866ToCp1251(std::string_view oem);

// True when `s` is well-formed UTF-8 (no overlongs, no surrogates, <= U+10FFFF).
bool IsValidUtf8(std::string_view s);

// The system's conversions: Windows uses OemToCharBuffA and the ANSI code page
// of the process; the Linux build uses 866 -> 1251.
std::string OemToAnsi(std::string_view oem);
// ANSI <-> UTF-8 in the code page of the process (1251 in the Linux build).
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8, char replacement = '?');

// Program text for the terminal: the console's output code page on Windows
// (the OEM code page when the output goes to a file or pipe, as cmd does), UTF-8
// in the Linux build.
std::string AnsiToTerminal(std::string_view ansi);

// UTF-8 <-> UTF-16, for Win32 W calls (also usable on Linux).
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace platform
