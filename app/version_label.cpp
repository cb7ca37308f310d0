#include "app/version_label.h"

#include <cstdio>

#include "app/messages.h"
#include "app/product.h"
#include "app/text_format.h"
#include "app/volumes.h"
#include "platform/files.h"

namespace app {

std::string FormatDate(std::string_view picture, int year, int month, int day) {
  auto digits = [](int value, int width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return std::string(buffer);
  };
  std::string out;
  for (size_t i = 0; i < picture.size();) {
    if (picture.compare(i, 4, "yyyy") == 0) {
      out += digits(year, 4);
      i += 4;
    } else if (picture.compare(i, 2, "dd") == 0) {
      out += digits(day, 2);
      i += 2;
    } else if (picture.compare(i, 2, "mm") == 0) {
      out += digits(month, 2);
      i += 2;
    } else {
      out += picture[i++];
    }
  }
  return out;
}

std::string VersionLabelText(std::string_view version, int64_t dos_date_time) {
  if (dos_date_time < 0) return {};
  const auto date = static_cast<uint32_t>(dos_date_time >> 16) & 0xFFFF;
  const int year = 1980 + static_cast<int>(date >> 9);
  const int month = static_cast<int>((date >> 5) & 0x0F);
  const int day = static_cast<int>(date & 0x1F);
  if (month < 1 || month > 12 || day < 1) return {};  // not a date
  return Format(FmtVersion, {version, FormatDate(FmtBuildDate, year, month, day)});
}

std::string VersionLabel() {
  try {
    return VersionLabelText(ProductVersion, platform::FileDosTime(VolumePath(1)));
  } catch (...) {
    return {};
  }
}

}  // namespace app
