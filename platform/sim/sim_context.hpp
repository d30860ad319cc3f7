#pragma once
// What the services of one simulated machine share: where the machine lives on the host, its
// drives, the program's current folder, the Windows folders, and a question the file system
// asks the process table before it overwrites a file.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace platform::sim {

enum class DriveKind { Fixed, CdRom };

struct SimDrive {
  char letter = 'C';  // upper case
  DriveKind kind = DriveKind::Fixed;
  std::string fileSystem = "FAT";    // "FAT", "NTFS" or "CDFS"
  std::filesystem::path hostFolder;  // <machine folder>/drives/<LETTER>
};

struct SimContext {
  std::filesystem::path machineFolder;
  std::vector<SimDrive> drives;
  std::string currentFolder = "C:\\";  // Windows path, no trailing backslash except "C:\"
  std::string windowsFolder;           // e.g. "C:\WINDOWS"
  std::string systemFolder;            // e.g. "C:\WINDOWS\SYSTEM"
  std::string tempFolder;              // e.g. "C:\WINDOWS\TEMP", without trailing backslash
  // True when the Windows path (full, any case) names the executable of a running process:
  // such a file cannot be written or overwritten (SharingViolation) nor deleted (AccessDenied).
  // Unset means no process holds any file.
  std::function<bool(const std::string& windowsPath)> isRunningExecutable;
  // Told the full Windows path of a file or folder that was deleted, and both full paths of
  // one that was renamed, so that its descriptor goes with it.
  std::function<void(const std::string& windowsPath)> objectRemoved;
  std::function<void(const std::string& from, const std::string& to)> objectMoved;

  // The drive of a letter (either case), or null when the machine has no such drive.
  const SimDrive* FindDrive(char letter) const {
    const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 32) : letter;
    for (const auto& drive : drives)
      if (drive.letter == upper) return &drive;
    return nullptr;
  }
};

}  // namespace platform::sim
