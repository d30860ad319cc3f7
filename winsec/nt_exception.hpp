#pragma once
// ENTException: the failure of a Windows security or process call, carrying the Windows
// error number. Its message comes in the forms the components raise:
//   Process(5)   "Error 5 : Access is denied."      (the process list; "Error 5" without text)
//   System(5)    "5: Access is denied."             (the security components)
//   Network(2221) as System, but with the LAN Manager text for codes from 2100 up
//   Library("advapi32.dll") "Cannot load library "advapi32.dll" or linked libraries"
// Texts never end in a line break.
#include <string>
#include <string_view>

#include "platform/exception.hpp"
#include "platform/win_types.hpp"

namespace winsec {

class ENTException : public platform::Exception {
 public:
  static ENTException Process(platform::ErrorCode code);
  static ENTException System(platform::ErrorCode code);
  static ENTException Network(platform::ErrorCode code);
  static ENTException Library(std::string_view library);

  platform::ErrorCode Code() const { return code_; }

 private:
  ENTException(platform::ErrorCode code, const std::string& message)
      : Exception(message), code_(code) {}

  platform::ErrorCode code_;
};

// Raises ENTException::System for any code but success.
void CheckSystem(platform::ErrorCode code);

}  // namespace winsec
