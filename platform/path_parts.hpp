#pragma once
// Windows paths taken apart and put together as text, by the rules of the Windows path
// functions: "\" and "/" both separate names, and a path may start with a root that is never
// split: "C:\" (a drive's root), "C:" (the drive's current folder), "\\server\share" (a
// network share) or "\" (the current drive's root).
//
//   PathFolder("C:\KVSETUP\SETUP.EXE") == "C:\KVSETUP"     PathFolder("C:\SETUP.EXE") == "C:\"
//   PathFileName("C:\KVSETUP\SETUP.EXE") == "SETUP.EXE"     PathStem(...) == "SETUP"
//   PathJoin("C:\", "X") == "C:\X"                          PathJoin("C:\A", "X") == "C:\A\X"
#include <string>
#include <string_view>

namespace platform {

bool IsPathSeparator(char c);

// "C:" or "c:" at the start.
bool HasDriveLetter(std::string_view path);

// "C:\..." (or "C:/..."): a path from a drive's root.
bool HasDriveRoot(std::string_view path);

// "\\server\share\...": a path on a network share.
bool IsNetworkPath(std::string_view path);

// Length of the root at the start of path; 0 for a relative path. The separator that follows
// "\\server\share" is not part of its root ("\\server\share" and "\\server\share\" are the same
// folder), the one of "C:\" and "\" is.
std::size_t PathRootLength(std::string_view path);

// The folder that holds the last name: the text before the last separator, or the root when
// the last separator belongs to it. A path without folder gives "".
std::string_view PathFolder(std::string_view path);

// The last name: the text after the last separator and the root ("" when the path ends with a
// separator or is a root).
std::string_view PathFileName(std::string_view path);

// The extension of the last name, with its dot (".TXT"; "." for "NAME."); "" without a dot.
std::string_view PathExtension(std::string_view path);

// The last name without its extension.
std::string_view PathStem(std::string_view path);

// path with the extension of its last name replaced by (or, without one, extended with)
// "." + extension.
std::string PathWithExtension(std::string_view path, std::string_view extension);

// name in folder: one "\" between them unless the folder is empty or ends with a separator.
std::string PathJoin(std::string_view folder, std::string_view name);

// The path without the separators at its end that are not part of its root.
std::string_view WithoutTrailingSeparators(std::string_view path);

// The path ending with a separator: "\" appended unless it is empty or ends with one.
std::string WithTrailingSeparator(std::string_view path);

}  // namespace platform
