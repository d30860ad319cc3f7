#pragma once
// The contents of a Korvane setup folder besides its tables (product_tables.hpp): every other
// file the installer copies into the system folder, plus "readme.txt". The programs,
// pictures, sounds and help files are small stand-ins of the right kind.
#include <cstdint>
#include <string>
#include <vector>

namespace mkdist {

struct DistFile {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

// Every file of the setup folder except the tables and the uninstaller shortcut "Uninstal.lnk",
// which is a shell link to the installed uninstaller and is written through the machine's shell.
std::vector<DistFile> DistributionFiles();

// Stand-in file kinds, exposed for their own checks.
std::vector<std::uint8_t> ProgramStub(const std::string& description);
std::vector<std::uint8_t> IconFile();
std::vector<std::uint8_t> BitmapFile(int width, int height);
std::vector<std::uint8_t> WaveFile(int frequency, int milliseconds);

}  // namespace mkdist
