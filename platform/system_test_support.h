// Helpers for the tests of the system services: writing a file of given bytes,
// and (Linux build) setting an environment variable for one test.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace kvtest {

// Writes `bytes` to the program path `path`; false when that fails.
inline bool WriteBytes(std::string_view path, std::string_view bytes) {
  platform::FileError error;
  platform::File f = platform::File::Open(path, platform::OpenMode::kCreate, &error);
  if (!f.IsOpen()) return false;
  if (f.Write(bytes.data(), bytes.size(), &error) != static_cast<int64_t>(bytes.size())) return false;
  return f.Close();
}

#ifndef _WIN32
// Sets (or, with nullopt, removes) one environment variable until destroyed.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) ::setenv(name_.c_str(), old_->c_str(), 1);
    else ::unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};
#endif

}  // namespace kvtest
