#include "platform/codepage.h"

#include <cstdint>

namespace platform {
namespace {

#include "platform/codepage_tables.inc"

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 character at s[i]; returns its length, or 0 when the
// sequence is malformed (then `c` is undefined).
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& c) {
  const auto b0 = static_cast<uint8_t>(s[i]);
  if (b0 < 0x80) {
    c = b0;
    return 1;
  }
  size_t len;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, c = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<uint8_t>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return len;
}

std::string HighToUtf8(std::string_view in, const char16_t* high) {
  std::string out;
  out.reserve(in.size() * 2);
  for (char ch : in) {
    const auto b = static_cast<uint8_t>(ch);
    AppendUtf8(out, b < 0x80 ? char32_t(b) : char32_t(high[b - 0x80]));
  }
  return out;
}

int UnicodeToCp1251(char32_t c) {
  if (c < 0x80) return static_cast<int>(c);
  for (int i = 0; i < 128; ++i)
    if (kCp1251High[i] == c) return 0x80 + i;
  return -1;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view ansi) { return HighToUtf8(ansi, kCp1251High); }

std::string LowerCp1251(std::string_view s) {
  std::string out(s);
  for (char& ch : out) {
    auto b = static_cast<unsigned char>(ch);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF)) {
      b += 0x20;  // Latin A-Z, Cyrillic А-Я
    } else if (b == 0xA8) {
      b = 0xB8;  // Ё
    }
    ch = static_cast<char>(b);
  }
  return out;
}
std::string Cp866ToUtf8(std::string_view oem) { return HighToUtf8(oem, kCp866High); }

std::string Utf8ToCp1251(std::string_view utf8, char replacement) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t c;
    const size_t len = DecodeUtf8(utf8, i, c);
    if (len == 0) {
      out += replacement;
      ++i;
      continue;
    }
    const int b = UnicodeToCp1251(c);
    out += b < 0 ? replacement : static_cast<char>(b);
    i += len;
  }
  return out;
}

std::string Cp866ToCp1251(std::string_view oem) {
  // Every Cyrillic letter of 866 exists in 1251; box-drawing characters do not.
  return Utf8ToCp1251(Cp866ToUtf8(oem), '_');
}

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    char32_t c;
    const size_t len = DecodeUtf8(s, i, c);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t c;
    size_t len = DecodeUtf8(utf8, i, c);
    if (len == 0) c = 0xFFFD, len = 1;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 2);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace platform
