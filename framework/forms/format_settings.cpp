#include "framework/forms/format_settings.hpp"

#include <optional>

#include "platform/machine.hpp"

namespace forms {
namespace {
std::optional<FormatSettings> settings;
}

FormatSettings& ProgramFormatSettings() {
  if (!settings) ReloadFormatSettings();
  return *settings;
}

void ReloadFormatSettings() {
  platform::SystemInfo& system = platform::CurrentMachine().system();
  settings = FormatSettings{system.ShortDateFormat(), system.DecimalSeparator()};
}

}  // namespace forms
