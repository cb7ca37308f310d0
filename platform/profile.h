// Profile strings: values of Windows INI files.
//
// Windows build: GetPrivateProfileStringA. Linux build: a reader with the same
// rules, so that a file gives the same values on both:
//   - "[name]" starts a section; "key=value" lines belong to the last section;
//     lines that begin with ";" and lines without "=" are not keys;
//   - section and key names are trimmed and match without regard to letter case;
//     only the first section of a name is consulted, and in it the first key;
//   - a value is trimmed of blanks and loses one pair of enclosing quotes
//     ('...' or "..."); the text after ";" belongs to the value;
//   - a value is read into a buffer of 2048 characters: at most 2047 are kept;
//   - a missing file, section or key gives the default.
// The file holds ANSI text. The Linux reader also takes a file saved as UTF-8
// or UTF-16 with a byte-order mark and converts it to ANSI (code page 1251).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Size of the value buffer, in characters, including the terminating NUL.
inline constexpr size_t kProfileValueBuffer = 2048;

// The value of [section] key in the INI file `path` (a full path: Windows looks
// up a bare file name in the Windows folder), or `default_value`.
std::string ReadProfileString(std::string_view path, std::string_view section, std::string_view key,
                              std::string_view default_value);

}  // namespace platform
