#pragma once
// ENTException: a failure of a Windows call made by the security and process components. It
// carries the error code and reads "Error <code> : <system text>", or "Error <code>" when the
// system has no text for the code.
#include <stdexcept>

#include "platform/win_types.hpp"

namespace winsec {

class ENTException : public std::runtime_error {
 public:
  explicit ENTException(platform::ErrorCode code);

  platform::ErrorCode Code() const { return code_; }

 private:
  platform::ErrorCode code_;
};

}  // namespace winsec
