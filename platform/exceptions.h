// The toolkit's exception classes that the program raises and catches.
// Each carries only its message (8-bit ANSI text).
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace platform {

// The base exception of the toolkit (Delphi's Exception).
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

class EStreamError : public Exception {
  using Exception::Exception;
};
// A file stream that cannot be created or opened; the message names the file.
class EFCreateError : public EStreamError {
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
  using EStreamError::EStreamError;
};
// A write that did not reach the disk (disk full, device error); names the file.
class EWriteError : public EStreamError {
  using EStreamError::EStreamError;
};
class EListError : public Exception {
  using Exception::Exception;
};
class EOutOfResources : public Exception {
  using Exception::Exception;
};

}  // namespace platform
