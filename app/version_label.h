// The version label of the main window: "Version 1.1 (Build 05.03.2022)" or
// "Версия 1.1 от 05.03.2022", the build date being the last modification of
// the first archive volume.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// A date written with a picture: "dd" two-digit day, "mm" two-digit month,
// "yyyy" four-digit year; other characters stand as they are.
std::string FormatDate(std::string_view picture, int year, int month, int day);

// FmtVersion filled with `version` and the date of `dos_date_time` (a DOS
// date-time, date in the high word) written with FmtBuildDate; "" when the time
// is negative (unreadable).
std::string VersionLabelText(std::string_view version, int64_t dos_date_time);

// The label for ProductVersion and the first volume's date; "" when anything fails.
std::string VersionLabel();

}  // namespace app
