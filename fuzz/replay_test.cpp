// Replays every file of one fuzz target's corpus (corpus/<target>/, relative
// to this folder) through the target, in the normal test builds: inputs that
// once crashed or hung stay fixed, under the sanitizers and on Windows too.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(FuzzCorpus, KV_FUZZ_TARGET_ID) {
  const std::filesystem::path dir = std::filesystem::path("corpus") / KV_FUZZ_TARGET_NAME;
  std::vector<std::filesystem::path> names;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(dir, ec)) {
    if (item.is_regular_file()) names.push_back(item.path());
  }
  std::sort(names.begin(), names.end());
  ASSERT_FALSE(names.empty()) << "empty or missing corpus " << dir.string();
  for (const auto& name : names) {
    SCOPED_TRACE(name.filename().string());
    std::ifstream in(name, std::ios::binary);
    ASSERT_TRUE(in) << "cannot read " << name.string();
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
  }
}
