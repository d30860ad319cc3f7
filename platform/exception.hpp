#pragma once
// The base of every failure the system raises: an exception carrying a ready message text,
// and the runtime library's own classes that other layers name (conversion, arithmetic,
// range and input/output errors).
#include <stdexcept>
#include <string>

namespace platform {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A text that does not convert to the type asked for ("'abc' is not a valid floating point value").
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Integer division by zero ("Division by zero").
class EDivByZero : public Exception {
 public:
  EDivByZero() : Exception("Division by zero") {}
};

// An index or value outside its range.
class ERangeError : public Exception {
 public:
  using Exception::Exception;
};

// A numbered run-time error of the runtime library ("Runtime error 5").
class ERuntimeError : public Exception {
 public:
  explicit ERuntimeError(int code)
      : Exception("Runtime error " + std::to_string(code)), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

}  // namespace platform
