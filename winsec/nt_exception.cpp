#include "winsec/nt_exception.hpp"

#include "platform/system_messages.hpp"

namespace winsec {
namespace {

// The system's text, or the network table's when the system has none.
std::string AnyText(platform::ErrorCode code) {
  const std::string text = platform::SystemMessageText(code);
  return text.empty() ? platform::NetworkMessageText(code) : text;
}

std::string CodeAndText(platform::ErrorCode code, const std::string& text) {
  return text.empty() ? std::to_string(code) : std::to_string(code) + ": " + text;
}

}  // namespace

ENTException ENTException::Process(platform::ErrorCode code) {
  const std::string text = AnyText(code);
  const std::string number = "Error " + std::to_string(code);
  return ENTException(code, text.empty() ? number : number + " : " + text);
}

ENTException ENTException::System(platform::ErrorCode code) {
  return ENTException(code, CodeAndText(code, platform::SystemMessageText(code)));
}

ENTException ENTException::Network(platform::ErrorCode code) {
  std::string text = code >= 2100 ? platform::NetworkMessageText(code) : std::string();
  if (text.empty()) text = platform::SystemMessageText(code);
  return ENTException(code, CodeAndText(code, text));
}

ENTException ENTException::Library(std::string_view library) {
  return ENTException(platform::win_error::ProcNotFound,
                      "Cannot load library \"" + std::string(library) + "\" or linked libraries");
}

void CheckSystem(platform::ErrorCode code) {
  if (code != platform::win_error::Success) throw ENTException::System(code);
}

}  // namespace winsec
