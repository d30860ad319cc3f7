#include "winsec/system_error_text.hpp"

#include <array>
#include <utility>

namespace winsec {
namespace {

using platform::ErrorCode;
namespace e = platform::win_error;

constexpr std::array<std::pair<ErrorCode, std::string_view>, 10> kTexts{{
    {e::Success, "The operation completed successfully."},
    {e::AccessDenied, "Access is denied."},
    {e::InvalidHandle, "The handle is invalid."},
    {e::NotSupported, "The request is not supported."},
    {e::InvalidParameter, "The parameter is incorrect."},
    {e::CallNotImplemented, "This function is not supported on this system."},
    {e::ModNotFound, "The specified module could not be found."},
    {e::ProcNotFound, "The specified procedure could not be found."},
    {e::WaitTimeout, "The wait operation timed out."},
    {e::InvalidWindowHandle, "Invalid window handle."},
}};

}  // namespace

std::string_view SystemErrorText(ErrorCode code) {
  for (const auto& [known, text] : kTexts)
    if (known == code) return text;
  return {};
}

}  // namespace winsec
