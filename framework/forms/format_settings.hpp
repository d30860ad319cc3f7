#pragma once
// The program's format settings (the short date format and the decimal separator used when
// dates and numbers are turned into text), read from the machine's locale when first needed.
#include <string>

namespace forms {

struct FormatSettings {
  std::string shortDateFormat;
  char decimalSeparator = '.';
};

// The program-wide settings; the first use reads them from the current machine.
FormatSettings& ProgramFormatSettings();
// Reads them again from the current machine (a new machine was installed).
void ReloadFormatSettings();

}  // namespace forms
