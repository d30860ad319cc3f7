#pragma once
// Descriptors as text: "O:<sid>G:<sid>D:<flags>(ace)…S:<flags>(ace)…". SIDs are written as
// "S-1-…", access masks as "0x" hexadecimal numbers, ACE flags as letters (OI CI NP IO ID SA
// FA) or as a "0x" number when a bit has no letter. A null ACL is "NO_ACCESS_CONTROL", an
// empty one has no entries, a missing one has no section. DACL flags: P protected, AI
// auto-inherited, AR auto-inherit required. An ACE type without a mask and SID is written
// as its number with its body in hexadecimal after "#" in the SID field, so it passes through.
#include <string>
#include <string_view>

#include "platform/security_descriptor.hpp"

namespace platform {

std::string DescriptorToSddl(const SecurityDescriptor& descriptor);
// Throws platform::Exception naming what is wrong with the text.
SecurityDescriptor DescriptorFromSddl(std::string_view text);

}  // namespace platform
