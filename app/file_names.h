// File name helpers for program paths ("\" separated; the Linux build's host
// paths use "/", which counts as a separator too).
#pragma once

#include <string>
#include <string_view>

namespace app {

// The name after the last separator (or drive colon).
std::string ExtractFileName(std::string_view path);
// The part before the last separator, without that separator; "C:\setup.exe"
// gives "C:\" (the root keeps its separator), "setup.exe" gives "".
std::string ExtractFileDir(std::string_view path);
// The path with its extension (from the last "." of the name on) replaced by
// `ext`; a name without an extension gets `ext` appended.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// ASCII case conversion; other bytes are kept.
std::string UpperAscii(std::string_view s);
std::string LowerAscii(std::string_view s);

}  // namespace app
