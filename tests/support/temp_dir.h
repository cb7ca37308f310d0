// A fresh folder in the system's temporary folder for one test, removed with
// everything below it when the test ends.
#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "platform/files.h"
#include "platform/paths.h"

namespace kvtest {

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = platform::JoinPath(platform::TempDirectory(),
                               "kvtest_" + std::to_string(stamp) + "_" + std::to_string(counter++));
    platform::ForceDirectories(path_);
  }
  ~TempDir() { platform::RemoveTree(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return platform::JoinPath(path_, name); }

 private:
  std::string path_;
};

}  // namespace kvtest
