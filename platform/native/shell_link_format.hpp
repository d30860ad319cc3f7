#pragma once
// The Shell Link binary format (.lnk) as a Windows 95 shell writes it for IShellLinkA: the
// 76-byte header, a LinkInfo holding the local base path when the target path is absolute,
// and the string data as ANSI text with 16-bit character counts.
#include <cstdint>
#include <vector>

#include "platform/file_system.hpp"
#include "platform/shell.hpp"

namespace platform {

// The bytes of a link file. An absolute path ("C:\...") goes into the LinkInfo as the local
// base path of a fixed drive; any other path is stored as the relative path. Empty texts are
// left out. Throws platform::Exception when a text is longer than a 16-bit count can tell.
std::vector<std::uint8_t> ShellLinkBytes(const ShellLinkData& link);

// Writes the link file through `files`, as IPersistFile::Save does for a shell link: a text
// too long for the format is refused with InvalidParameter (a caller that ignores the result
// must not meet an exception), a short write is DiskFull, else what opening and writing give.
ErrorCode SaveShellLink(FileSystem& files, const ShellLinkData& link, std::string_view linkFile);

}  // namespace platform
