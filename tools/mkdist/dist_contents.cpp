#include "tools/mkdist/dist_contents.hpp"

#include <cmath>
#include <numbers>
#include <string_view>

#include "platform/byte_order.hpp"

namespace mkdist {
namespace {

using platform::AppendLE16;
using platform::AppendLE32;

void PutText(std::vector<std::uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

std::vector<std::uint8_t> Text(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// BITMAPINFOHEADER of a bottom-up bitmap.
void PutBitmapInfo(std::vector<std::uint8_t>& out, int width, int height, int bits,
                   std::uint32_t imageSize) {
  AppendLE32(out, 40);
  AppendLE32(out, static_cast<std::uint32_t>(width));
  AppendLE32(out, static_cast<std::uint32_t>(height));
  AppendLE16(out, 1);
  AppendLE16(out, static_cast<std::uint16_t>(bits));
  AppendLE32(out, 0);  // BI_RGB
  AppendLE32(out, imageSize);
  AppendLE32(out, 2835);  // 72 dpi
  AppendLE32(out, 2835);
  AppendLE32(out, 0);
  AppendLE32(out, 0);
}

// A blue shield on white, the product's mark, as 8-bit channels (b, g, r).
void PutLogoPixel(std::vector<std::uint8_t>& out, int x, int y, int width, int height) {
  int cx = width / 2;
  bool inside = std::abs(x - cx) < (width / 3) * (height - y) / height + width / 8 &&
                y > height / 8 && y < height * 7 / 8;
  out.push_back(inside ? 0xC0 : 0xFF);
  out.push_back(inside ? 0x40 : 0xFF);
  out.push_back(inside ? 0x10 : 0xFF);
}

constexpr std::string_view kReadme =
    "Korvane\r\n"
    "=======\r\n"
    "\r\n"
    "Korvane keeps unwanted web sites away from the people who use your computer.\r\n"
    "It runs a small filtering proxy on your computer (127.0.0.1, port 6711) that\r\n"
    "your browser goes through, and it blocks sites by category and by keyword for\r\n"
    "each user account.\r\n"
    "\r\n"
    "Installing\r\n"
    "----------\r\n"
    "Close all other programs and run SETUP.EXE from this folder.  Setup copies the\r\n"
    "program files into your Windows system folder, points your browser at the\r\n"
    "filter, and lets you set up the PARENT and GUEST accounts.\r\n"
    "\r\n"
    "Accounts\r\n"
    "--------\r\n"
    "PARENT can add, remove and edit accounts, and block or unblock sites,\r\n"
    "categories and keywords.  GUEST is the account that is active when you connect\r\n"
    "to the Internet.\r\n"
    "\r\n"
    "Removing Korvane\r\n"
    "----------------\r\n"
    "Use the Uninstall entry in the Start menu folder Ostrel.\r\n";

constexpr std::string_view kHelpContents =
    ":Base Oshelp.hlp\r\n"
    ":Title Korvane Help\r\n"
    "1 Getting started\r\n"
    "2 What Korvane does=what_it_does\r\n"
    "2 The tray icon=tray_icon\r\n"
    "1 Accounts\r\n"
    "2 The PARENT account=parent_account\r\n"
    "2 The GUEST account=guest_account\r\n"
    "2 Adding accounts=adding_accounts\r\n"
    "1 Blocking\r\n"
    "2 Categories=categories\r\n"
    "2 Blocking a site=block_site\r\n"
    "2 Keywords=keywords\r\n";

constexpr std::string_view kHelpProject =
    "[OPTIONS]\r\n"
    "TITLE=Korvane Help\r\n"
    "CONTENTS=what_it_does\r\n"
    "COMPRESS=FALSE\r\n"
    "\r\n"
    "[FILES]\r\n"
    "Oshelp.rtf\r\n"
    "\r\n"
    "[CONFIG]\r\n"
    "BrowseButtons()\r\n";

// A help file with the WinHelp file header and its topic titles as text.
std::vector<std::uint8_t> HelpFile() {
  std::vector<std::uint8_t> bytes;
  using namespace std::string_view_literals;
  std::string_view body =
      "Korvane Help\0What Korvane does\0The tray icon\0The PARENT account\0"
      "The GUEST account\0Adding accounts\0Categories\0Blocking a site\0Keywords\0"sv;
  std::uint32_t size = 16 + static_cast<std::uint32_t>(body.size());
  AppendLE32(bytes, 0x00035F3F);  // WinHelp magic
  AppendLE32(bytes, 16);          // internal directory
  AppendLE32(bytes, 0xFFFFFFFF);  // no free block
  AppendLE32(bytes, size);
  PutText(bytes, body);
  return bytes;
}

}  // namespace

std::vector<std::uint8_t> ProgramStub(const std::string& description) {
  std::vector<std::uint8_t> bytes;
  PutText(bytes, "MZ");
  AppendLE16(bytes, 0x90);  // bytes on the last page
  AppendLE16(bytes, 3);     // pages
  AppendLE16(bytes, 0);     // relocations
  AppendLE16(bytes, 4);     // header paragraphs
  AppendLE16(bytes, 0);
  AppendLE16(bytes, 0xFFFF);
  AppendLE16(bytes, 0);
  AppendLE16(bytes, 0xB8);
  bytes.resize(0x3C, 0);
  AppendLE32(bytes, 0);  // no new-style header
  // DOS stub: print the message and exit.
  const std::uint8_t stub[] = {0x0E, 0x1F, 0xBA, 0x0E, 0x00, 0xB4, 0x09,
                               0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21};
  bytes.insert(bytes.end(), std::begin(stub), std::end(stub));
  PutText(bytes, "This program cannot be run in DOS mode.\r\r\n$");
  PutText(bytes, description);
  return bytes;
}

std::vector<std::uint8_t> IconFile() {
  constexpr int kSide = 16;
  std::vector<std::uint8_t> image;
  PutBitmapInfo(image, kSide, kSide * 2, 32, 0);
  for (int y = kSide - 1; y >= 0; --y) {
    for (int x = 0; x < kSide; ++x) {
      PutLogoPixel(image, x, y, kSide, kSide);
      image.push_back(0xFF);
    }
  }
  image.insert(image.end(), kSide * 4, 0);  // AND mask: every pixel opaque

  std::vector<std::uint8_t> bytes;
  AppendLE16(bytes, 0);
  AppendLE16(bytes, 1);  // icon
  AppendLE16(bytes, 1);  // one image
  bytes.push_back(kSide);
  bytes.push_back(kSide);
  bytes.push_back(0);  // no palette
  bytes.push_back(0);
  AppendLE16(bytes, 1);
  AppendLE16(bytes, 32);
  AppendLE32(bytes, static_cast<std::uint32_t>(image.size()));
  AppendLE32(bytes, 22);  // image offset
  bytes.insert(bytes.end(), image.begin(), image.end());
  return bytes;
}

std::vector<std::uint8_t> BitmapFile(int width, int height) {
  int rowSize = (width * 3 + 3) / 4 * 4;
  std::uint32_t imageSize = static_cast<std::uint32_t>(rowSize * height);
  std::vector<std::uint8_t> bytes;
  PutText(bytes, "BM");
  AppendLE32(bytes, 54 + imageSize);
  AppendLE32(bytes, 0);
  AppendLE32(bytes, 54);
  PutBitmapInfo(bytes, width, height, 24, imageSize);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x)
      PutLogoPixel(bytes, x, y, width, height);
    bytes.insert(bytes.end(), static_cast<std::size_t>(rowSize - width * 3), 0);
  }
  return bytes;
}

std::vector<std::uint8_t> WaveFile(int frequency, int milliseconds) {
  constexpr int kRate = 11025;
  std::uint32_t samples = static_cast<std::uint32_t>(kRate * milliseconds / 1000);
  std::vector<std::uint8_t> bytes;
  PutText(bytes, "RIFF");
  AppendLE32(bytes, 36 + samples);
  PutText(bytes, "WAVEfmt ");
  AppendLE32(bytes, 16);
  AppendLE16(bytes, 1);  // PCM
  AppendLE16(bytes, 1);  // mono
  AppendLE32(bytes, kRate);
  AppendLE32(bytes, kRate);  // bytes per second
  AppendLE16(bytes, 1);      // block align
  AppendLE16(bytes, 8);      // bits per sample
  PutText(bytes, "data");
  AppendLE32(bytes, samples);
  for (std::uint32_t i = 0; i < samples; ++i) {
    double wave = std::sin(2 * std::numbers::pi * frequency * i / kRate);
    bytes.push_back(static_cast<std::uint8_t>(128 + std::lround(60 * wave)));
  }
  return bytes;
}

std::vector<DistFile> DistributionFiles() {
  std::vector<DistFile> files;
  files.push_back({"Qalvint.exe", ProgramStub("Korvane filtering proxy")});
  files.push_back({"Dorsk6.exe", ProgramStub("Korvane account manager")});
  files.push_back({"OsUninstall.exe", ProgramStub("Korvane uninstaller")});
  files.push_back({"Oslogo.ico", IconFile()});
  files.push_back({"nfd.sys", ProgramStub("Korvane network filter driver")});
  files.push_back({"login.wav", WaveFile(880, 250)});
  files.push_back({"logout.wav", WaveFile(440, 250)});
  files.push_back({"Uhoh.wav", WaveFile(220, 400)});
  files.push_back({"kvlogo.bmp", BitmapFile(64, 64)});
  files.push_back({"Oshelp.cnt", Text(kHelpContents)});
  files.push_back({"Oshelp.hlp", HelpFile()});
  files.push_back({"Oshelp.hpj", Text(kHelpProject)});
  files.push_back({"psapi.dll", ProgramStub("Process status helper")});
  files.push_back({"readme.txt", Text(kReadme)});
  return files;
}

}  // namespace mkdist
