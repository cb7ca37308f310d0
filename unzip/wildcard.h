// Wildcard matching of entry names against the masks of FilesList.
#pragma once

#include <string_view>

// Result codes of WildcardMatch; only kWildMatch selects an entry.
enum WildcardResult {
  kWildMatch = 1,          // the text matches the pattern
  kWildPatternEnded = 2,   // the pattern ended before the text
  kWildTextEnded = 3,      // the text ended before the pattern
  kWildNotInSet = 4,       // a character is not in a <set>
  kWildLiteralDiffers = 5, // a literal character differs
  kWildBadSet = 6,         // a set is malformed ("<>", no ">", a range without end)
};

// "?" one character, "*" any run, "<a-cx>" a set, "<!...>" or "<^...>" a
// negated set, "*<set>" a run of characters from the set. Letters A-Z are
// compared without regard to case.
int WildcardMatch(std::string_view pattern, std::string_view text);
