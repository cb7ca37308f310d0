#include "unzip/wildcard.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

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

// Results of the walks made from star positions, by where they start in
// the whole pattern and text: a walk depends on nothing else, and without
// them every further star multiplies the work (a few stars against a long
// name would take for ever).
struct WalkMemo {
  const char* pattern;
  const char* text;
  std::unordered_map<uint64_t, int> results;
  std::unordered_map<uint64_t, int> tails;  // Star's loop from a position
};

int Walk(std::string_view pat, std::string_view text, WalkMemo& memo);

// Star matching. `pat` is the pattern from the star on (or from after the
// star's set), `text` the text from the star's position. No value: no walk
// was made at all.
std::optional<int> Star(std::string_view pat, std::string_view text, const CharSet* star_set, WalkMemo& memo) {
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
  // The loop below from a text position gives the same result whichever
  // star reached it: kept per position (0: no walk made), so that a later
  // star does not scan the rest of the text again.
  // (a star with a set and one without may reach the same pattern position)
  const uint64_t row = (static_cast<uint64_t>(pat.data() + p - memo.pattern) << 32) |
                       (star_set != nullptr ? uint64_t{1} << 63 : 0);
  const auto at = [&](size_t i) { return row | static_cast<uint64_t>(text.data() + i - memo.text); };
  std::vector<int> walked;  // result of the walk at each position passed, 0: none
  int tail = 0;             // the result from the position where the loop stopped
  size_t stop = t;
  for (; stop < text.size(); ++stop) {
    const auto known = memo.tails.find(at(stop));
    if (known != memo.tails.end()) {
      tail = known->second;
      break;
    }
    int r = 0;
    if (pat[p] == text[stop] || pat[p] == '<') {
      const uint64_t key = (static_cast<uint64_t>(pat.data() + p - memo.pattern) << 32) |
                           static_cast<uint64_t>(text.data() + stop - memo.text);
      const auto done = memo.results.find(key);
      if (done != memo.results.end()) {
        r = done->second;
      } else {
        r = Walk(pat.substr(p), text.substr(stop), memo);
        memo.results.emplace(key, r);
      }
      if (r == kWildMatch) {
        tail = r;
        break;
      }
    }
    if (star_set != nullptr && !star_set->Allows(text[stop])) {
      tail = kWildTextEnded;
      break;
    }
    walked.push_back(r);
  }
  if (stop < text.size()) memo.tails[at(stop)] = tail;
  for (size_t i = walked.size(); i-- > 0;) {
    if (tail == 0) tail = walked[i];
    memo.tails[at(t + i)] = tail;
  }
  if (tail == 0) return std::nullopt;
  return tail;
}

int Walk(std::string_view pat, std::string_view text, WalkMemo& memo) {
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
            Star(star_set != nullptr ? pat.substr(rest) : pat.substr(p), text.substr(t), star_set, memo);
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
  WalkMemo memo{pat.data(), txt.data(), {}, {}};
  return Walk(pat, txt, memo);
}
