#include <gtest/gtest.h>

#include "platform/exception.hpp"
#include "platform/sim/machine_config.hpp"

namespace platform::sim {
namespace {

constexpr const char* kMinimal =
    "[Machine]\n"
    "PlatformId=2\nMajorVersion=5\nMinorVersion=0\nBuild=2195\n"
    "WindowsFolder=C:\\WINNT\nSystemFolder=C:\\WINNT\\SYSTEM32\nTempFolder=C:\\TEMP\n"
    "[Drives]\nC=fixed,NTFS\n";

std::string Error(const std::string& text) {
  try {
    ParseMachineIni(text, "machine.ini");
  } catch (const Exception& error) {
    return error.what();
  }
  return "accepted";
}

TEST(MachineConfig, WrittenTextReadsBackTheSame) {
  MachineConfig config = ParseMachineIni(kMinimal, "machine.ini");
  config.profile = "custom";
  config.version.build = 0x040A07CE;
  config.version.servicePack = "Service Pack 6";
  config.hostAddress = std::array<std::uint8_t, 4>{10, 0, 0, 7};
  config.hostName = "box";
  config.decimalSeparator = ',';
  config.processor = {false, 0x543, 0x008001BF, "AuthenticAMD", 586, 299};
  config.drives.push_back({'D', DriveKind::CdRom, "CDFS"});
  config.environment = {{"PATH", "C:\\WINNT;C:\\WINNT\\SYSTEM32"}, {"TEMP", "C:\\TEMP"}};
  config.virtualClock = true;
  config.clockStart = LocalTime{2001, 6, 5, 15, 9, 30, 0, 0};
  const std::string text = WriteMachineIni(config);
  EXPECT_NE(text.find("Build=0x040A07CE\r\n"), std::string::npos);
  const MachineConfig back = ParseMachineIni(text, "machine.ini");
  EXPECT_EQ(WriteMachineIni(back), text);
  EXPECT_EQ(back.version.build, 0x040A07CEu);
  EXPECT_EQ(back.processor.vendor, "AuthenticAMD");
  EXPECT_FALSE(back.processor.hasIdentification);
  EXPECT_EQ(back.decimalSeparator, ',');
  ASSERT_EQ(back.drives.size(), 2u);
  EXPECT_EQ(back.drives[1].kind, DriveKind::CdRom);
  ASSERT_TRUE(back.clockStart.has_value());
  EXPECT_EQ(back.clockStart->dayOfWeek, 5);
  EXPECT_TRUE(back.virtualClock);
}

TEST(MachineConfig, MissingEntriesHaveDefaultsOrAreNamed) {
  const MachineConfig config = ParseMachineIni(kMinimal, "machine.ini");
  EXPECT_TRUE(config.NtFamily());
  EXPECT_EQ(config.ansiCodePage, 1252u);
  EXPECT_FALSE(config.hostAddress.has_value());
  EXPECT_FALSE(config.virtualClock);
  EXPECT_EQ(Error("[Machine]\nPlatformId=1\n[Drives]\nC=fixed,FAT\n"),
            "machine.ini: [Machine] has no \"MajorVersion\" entry");
  EXPECT_EQ(Error("[Screen]\nWidth=1\n"), "machine.ini: the file has no [Machine] section");
}

TEST(MachineConfig, MalformedLinesAreNamed) {
  struct Case {
    std::string extra;
    std::string message;
  };
  const Case cases[] = {
      {"[Screen]\nWidth=wide\n", "machine.ini, line 12: \"Width\" needs a number, not \"wide\""},
      {"[Machine]\nColour=blue\n", "machine.ini, line 12: unknown entry \"Colour\" in [Machine]"},
      {"[Drives]\nE=floppy,FAT\n", "machine.ini, line 12: drive E needs the kind fixed or cdrom"},
      {"[Drives]\nE=fixed,EXT2\n", "machine.ini, line 12: drive E needs the file system FAT"},
      {"[Clock]\nStart=2001-02-30 00:00:00\n",
       "machine.ini, line 12: \"2001-02-30 00:00:00\" is not a valid date and time"},
      {"[Processor]\nHasIdentification=maybe\n", "machine.ini, line 12: \"HasIdentification\""},
      {"[Machine]\nHostAddress=300.1.1.1\n", "machine.ini, line 12: \"HostAddress\" needs"},
      {"[Weather]\n", "machine.ini, line 11: unknown section [Weather]"},
      {"stray line\n", "machine.ini, line 11: \"key=value\" expected"},
  };
  for (const auto& c : cases) {
    const std::string error = Error(kMinimal + c.extra);
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
  }
}

}  // namespace
}  // namespace platform::sim
