#pragma once
// Filling a setup folder on the current machine.
#include <string_view>

namespace mkdist {

inline constexpr std::string_view kDefaultSetupFolder = "C:\\KVSETUP";

// Creates the folder when needed and writes every distribution file into it (replacing what is
// there), the product's tables and the uninstaller shortcut "Uninstal.lnk", which points at the
// uninstaller in the machine's system folder. A file that cannot be written raises
// platform::Exception naming it.
void FillSetupFolder(std::string_view folder);

}  // namespace mkdist
