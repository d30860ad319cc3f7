#pragma once
// Windows paths taken apart the way GetFullPathName does: a drive, the components below its
// root with "." and ".." applied, relative forms resolved against a current folder.
#include <string>
#include <string_view>
#include <vector>

#include "platform/native/path_mapper.hpp"
#include "platform/win_types.hpp"

namespace platform {

struct WindowsPath {
  char drive = 0;                       // upper-case letter
  std::vector<std::string> components;  // below the root of the drive
  bool trailingSeparator = false;       // the path ended with "\" below the root

  // "C:\WINDOWS\SYSTEM", "C:\" for the root, with the trailing "\" when there was one.
  std::string Text() const;
};

// Accepts "C:\x", "C:x" (against the current folder when it is on that drive, else the
// drive's root), "\x" (the root of the current drive) and "x" (the current folder); "/" works
// like "\". Windows drops trailing dots and blanks of names; for a Pattern the last component
// is kept as written ("*." must stay). `currentFolder` is a full path such as "C:\WINDOWS".
// An empty path, a network path or a path without a drive is PathNotFound; a name with a
// character Windows refuses (< > : " | and control characters, * and ? but in a pattern's
// last part) is InvalidName.
ErrorCode ParseWindowsPath(std::string_view path, std::string_view currentFolder, LastPart last,
                           WindowsPath& result);

}  // namespace platform
