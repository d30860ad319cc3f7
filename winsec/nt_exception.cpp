#include "winsec/nt_exception.hpp"

#include <string>

#include "winsec/system_error_text.hpp"

namespace winsec {
namespace {

std::string MessageOf(platform::ErrorCode code) {
  std::string message = "Error " + std::to_string(code);
  const std::string_view text = SystemErrorText(code);
  if (!text.empty()) message += " : " + std::string(text);
  return message;
}

}  // namespace

ENTException::ENTException(platform::ErrorCode code)
    : std::runtime_error(MessageOf(code)), code_(code) {}

}  // namespace winsec
