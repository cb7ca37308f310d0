#include <gtest/gtest.h>

#include "app/text_format.h"

namespace app {
namespace {

TEST(FormatTest, OneRuleForEveryMessage) {
  struct Case {
    const char* format;
    std::initializer_list<std::string_view> args;
    const char* expected;
  };
  const Case cases[] = {
      {"The %s file", {"a.dat"}, "The a.dat file"},
      {"%s and %s", {"1", "2"}, "1 and 2"},
      {"The %1:s %0:s is installed.", {"system", "KV for STL"}, "The KV for STL system is installed."},
      {"%1:s then %s", {"a", "b", "c"}, "b then c"},      // "%s" continues after the indexed one
      {"%2:s %0:s %s", {"a", "b", "c"}, "c a b"},
      {"only %s", {"used", "surplus", "more"}, "only used"},  // surplus arguments are ignored
      {"no placeholder", {"x"}, "no placeholder"},
      {"100%% sure %s", {"x"}, "100% sure x"},
      {"%s %s", {"one"}, "one %s"},                       // a missing argument leaves the placeholder
      {"%5:s", {"a"}, "%5:s"},
      {"%InstallDir%\\LIB %s", {"x"}, "%InstallDir%\\LIB x"},  // not a placeholder
      {"%d %s", {"x"}, "%d x"},
      {"trailing %", {}, "trailing %"},
      {"%1:", {"a", "b"}, "%1:"},
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.format, c.args), c.expected) << c.format;
}

}  // namespace
}  // namespace app
