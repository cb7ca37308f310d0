// The one formatting rule of every message:
//   "%s"    takes the next argument;
//   "%N:s"  takes argument N (counted from 0); a later "%s" continues with N+1;
//   "%%"    is a "%";
// arguments that no placeholder takes are ignored. A placeholder whose argument
// is missing, and any other "%" sequence (such as the "%InstallDir%" macro),
// stays in the text as it is.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace app {

std::string Format(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace app
