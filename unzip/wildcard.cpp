#include "unzip/wildcard.h"

#include <optional>
#include <string>

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// A parsed "<...>" set.
struct CharSet {
  std::string_view items;  // between "<" (and "!"/"^") and ">"
  bool negated = false;

  bool Contains(char c) const {
    const auto u = static_cast<unsigned char>(c);
    for (size_t i = 0; i < items.size();) {
      const auto first = static_cast<unsigned char>(items[i]);
      if (i + 2 < items.size() && items[i + 1] == '-') {
        const auto last = static_cast<unsigned char>(items[i + 2]);
        if (u >= first && u <= last) return true;
        i += 3;
      } else {
        if (u == first) return true;
        ++i;
      }
    }
    return false;
  }
  bool Allows(char c) const { return Contains(c) != negated; }
};

// Parses the set that starts with "<" at pat[p]. On success `next` is the
// position after its ">". Returns false for a malformed set: "<>", no ">",
// or a range without an end.
bool ParseSet(std::string_view pat, size_t p, CharSet& set, size_t& next) {
  ++p;
  if (p < pat.size() && (pat[p] == '!' || pat[p] == '^')) {
    set.negated = true;
    ++p;
  }
  const size_t start = p;
  while (p < pat.size() && pat[p] != '>') {
    if (p + 1 < pat.size() && pat[p + 1] == '-') {
      if (p + 2 >= pat.size() || pat[p + 2] == '>') return false;  // "a-" without an end
      p += 3;
    } else {
      ++p;
    }
  }
  if (p >= pat.size() || p == start) return false;
  set.items = pat.substr(start, p - start);
  next = p + 1;
  return true;
}

int Walk(std::string_view pat, std::string_view text);

// Star matching. `pat` is the pattern from the star on (or from after the
// star's set), `text` the text from the star's position. No value: no walk
// was made at all.
std::optional<int> Star(std::string_view pat, std::string_view text, const CharSet* star_set) {
  size_t p = 0, t = 0;
  while (p < pat.size() && (pat[p] == '*' || pat[p] == '?')) {
    if (pat[p] == '?') {
      if (t >= text.size()) return kWildTextEnded;  // the text ran out while swallowing
      if (p + 1 == pat.size()) break;               // a last "?" is left to the walk
      ++t;
    }
    ++p;
  }
  if (p >= pat.size()) return kWildMatch;
  std::optional<int> result;
  for (; t < text.size(); ++t) {
    if (pat[p] == text[t] || pat[p] == '<') {
      result = Walk(pat.substr(p), text.substr(t));
      if (*result == kWildMatch) return result;
    }
    if (star_set != nullptr && !star_set->Allows(text[t])) return kWildTextEnded;
  }
  return result;
}

int Walk(std::string_view pat, std::string_view text) {
  size_t p = 0, t = 0;
  while (p < pat.size()) {
    if (t >= text.size()) return pat.substr(p) == "*" ? kWildMatch : kWildTextEnded;
    const char c = text[t];
    switch (pat[p]) {
      case '?':
        break;
      case '<': {
        CharSet set;
        size_t next;
        if (!ParseSet(pat, p, set, next)) return kWildBadSet;
        if (!set.Allows(c)) return kWildNotInSet;
        p = next - 1;  // at the ">"
        break;
      }
      case '*': {
        CharSet set;
        const CharSet* star_set = nullptr;
        size_t rest = p + 1;
        if (rest < pat.size() && pat[rest] == '<') {
          if (!ParseSet(pat, rest, set, rest)) return kWildBadSet;
          star_set = &set;
        }
        const std::optional<int> r =
            Star(star_set != nullptr ? pat.substr(rest) : pat.substr(p), text.substr(t), star_set);
        if (r) return *r;
        // No walk was made: go on as if the star had matched one character.
        p = rest;
        ++t;
        continue;
      }
      default:
        if (pat[p] != c) return kWildLiteralDiffers;
        break;
    }
    ++p;
    ++t;
  }
  return t >= text.size() ? kWildMatch : kWildPatternEnded;
}

}  // namespace

int WildcardMatch(std::string_view pattern, std::string_view text) {
  if (pattern == "*") return kWildMatch;
  const std::string pat = Lower(pattern), txt = Lower(text);
  return Walk(pat, txt);
}
