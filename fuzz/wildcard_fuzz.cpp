// Fuzz target: WildcardMatch. Input: pattern, a 0 byte, text (no 0 byte: the
// text is split in the middle; patterns longer than 64 bytes are skipped).
// Checks that the result is one of the codes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "unzip/wildcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* p = reinterpret_cast<const char*>(data);
  const void* zero = std::memchr(p, 0, size);
  const size_t split = zero ? static_cast<size_t>(static_cast<const char*>(zero) - p) : size / 2;
  // Masks come from the program's own configuration and are short; the text
  // is an entry name of up to 65535 bytes.
  if (split > 64) return 0;
  const std::string_view pattern(p, split);
  const std::string_view text = zero ? std::string_view(p + split + 1, size - split - 1)
                                     : std::string_view(p + split, size - split);
  const int r = WildcardMatch(pattern, text);
  if (r < kWildMatch || r > kWildBadSet) __builtin_trap();
  // A pattern of literal letters and digits matches itself.
  if (pattern.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.") == std::string_view::npos &&
      WildcardMatch(pattern, pattern) != kWildMatch)
    __builtin_trap();
  return 0;
}
