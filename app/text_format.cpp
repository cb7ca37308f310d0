#include "app/text_format.h"

#include <vector>

namespace app {

std::string Format(std::string_view format, std::initializer_list<std::string_view> args) {
  const std::vector<std::string_view> arg(args);
  std::string out;
  out.reserve(format.size() + 64);
  size_t next = 0;  // the argument the next "%s" takes
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      ++i;
      continue;
    }
    if (format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    // "%s" or "%<digits>:s"
    size_t j = i + 1;
    size_t index = next;
    bool indexed = false;
    if (format[j] >= '0' && format[j] <= '9') {
      size_t n = 0;
      while (j < format.size() && format[j] >= '0' && format[j] <= '9' && n < 1000000) n = n * 10 + (format[j++] - '0');
      if (j + 1 < format.size() && format[j] == ':' && (format[j + 1] == 's' || format[j + 1] == 'S')) {
        index = n;
        indexed = true;
        j += 1;
      } else {
        j = format.size();  // not a placeholder
      }
    }
    const bool placeholder = j < format.size() && (format[j] == 's' || format[j] == 'S') && (indexed || j == i + 1);
    if (!placeholder || index >= arg.size()) {
      // Not ours, or no argument for it: the text stays as written.
      out += c;
      ++i;
      continue;
    }
    out += arg[index];
    next = index + 1;
    i = j + 1;
  }
  return out;
}

}  // namespace app
