// RAII owner of an open registry key. Only platform/win32/ includes this header.
#pragma once

#include <windows.h>

namespace platform::win32 {

class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  ~ScopedRegKey() { reset(); }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;
  HKEY get() const { return key_; }
  HKEY* receive() {
    reset();
    return &key_;
  }
  void reset() {
    if (key_ != nullptr) ::RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace platform::win32
