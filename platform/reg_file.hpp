#pragma once
// Registry keys as REGEDIT4 text, the way regedit.exe exports and imports them: a "REGEDIT4"
// line, then one section per key ("[HKEY_LOCAL_MACHINE\Software\KV]", parents before children,
// empty keys too) with its values ("name"="text", @= for the default value, dword:0000000a,
// hex:.. for binary data, hex(N):.. for every other type), CR LF line ends.
#include <string>
#include <string_view>

#include "platform/registry.hpp"

namespace platform {

// "HKEY_LOCAL_MACHINE" and so on for a predefined root; throws for any other handle.
std::string_view RootKeyName(KeyHandle root);
// The predefined root of a name such as "HKEY_CURRENT_USER"; false when there is none.
bool RootKeyFromName(std::string_view name, KeyHandle& root);

// The whole tree below a predefined root, the root's own section first. Throws
// platform::Exception when the registry refuses to be read.
std::string ExportRegistryRoot(Registry& registry, KeyHandle root);

// Creates the keys and sets the values the text describes. `source` names the text in error
// messages, which give the line ("registry/HKEY_USERS.reg, line 7: ...").
void ImportRegistryText(Registry& registry, std::string_view text, std::string_view source);

}  // namespace platform
