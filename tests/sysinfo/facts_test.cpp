#include <gtest/gtest.h>

#include "sysinfo/processor.hpp"
#include "sysinfo/short_date.hpp"
#include "sysinfo/windows_version.hpp"
#include "tests/framework/forms/test_machine.hpp"

namespace {

using namespace sysinfo;

TEST(WindowsVersion, KindAndTextPerVersionRecord) {
  // Plain values only: GCC 12 at -O3 takes the strings of a table of version records for
  // uninitialised.
  struct Case {
    std::uint32_t platformId, major, minor, buildField;
    const char* servicePack;
    WTypes kind;
    int build;
    const char* text;
  };
  const Case cases[] = {
      {platform::platform_id::Windows, 4, 0, 0x040003B6, "", z_95, 950,
       "Windows'95 4.0 (Build: 950)"},
      {platform::platform_id::Windows, 4, 10, 0x040A07CE, "", z_95, 1998,
       "Windows'95 4.10 (Build: 1998)"},
      {platform::platform_id::Nt, 4, 0, 1381, "Service Pack 6", z_NT, 1381,
       "Windows NT 4.0 (Build: 1381)"},
      {platform::platform_id::Nt, 5, 0, 2195, "", z_NT, 2195, "Windows NT 5.0 (Build: 2195)"},
      {platform::platform_id::Win32s, 1, 30, 0x1E0, "", z_Win32S, 480, "Win32S 1.30 (Build: 480)"},
      {7, 3, 11, 0, "", z_Windows, 0, "Windows 3.11"},
  };
  for (const Case& c : cases) {
    const platform::VersionRecord record{c.platformId, c.major, c.minor, c.buildField,
                                         c.servicePack};
    const WindowsVersion version = ReadWindowsVersion(record);
    EXPECT_EQ(version.kind, c.kind) << c.text;
    EXPECT_EQ(version.major, record.major);
    EXPECT_EQ(static_cast<int>(version.build), c.build) << c.text;
    EXPECT_EQ(WindowsString(version), c.text);
  }
  EXPECT_EQ(WindowsString({z_WFW, 3, 11, 0}), "Windows for Workgroups 3.11");
}

TEST(ProcessorName, FollowsVendorFamilyModelAndOverdrive) {
  struct Case {
    std::uint32_t signature;
    std::string vendor;
    std::string name;
  };
  const Case cases[] = {
      {0x0480, "AuthenticAMD", "AMD Am486/Am5x86"},
      {0x0440, "CyrixInstead", "Cyrix MediaGX"},
      {0x0400, "GenuineIntel", "80486 DX"},
      {0x0410, "GenuineIntel", "80486 DX"},
      {0x0420, "GenuineIntel", "80486 SX"},
      {0x0430, "GenuineIntel", "80486 DX2"},
      {0x0440, "GenuineIntel", "80486 SL"},
      {0x0450, "GenuineIntel", "80486 SX2"},
      {0x0460, "GenuineIntel", "80486"},
      {0x0470, "GenuineIntel", "80486 DX2 WriteBack"},
      {0x1480, "GenuineIntel", "80486 Overdrive DX4"},
      {0x0580, "AuthenticAMD", "AMD K5/K6"},
      {0x1580, "AuthenticAMD", "AMD K5/K6"},
      {0x0540, "CyrixInstead", "Cyrix Gxm"},
      {0x0520, "CyrixInstead", "Cyrix 6x86"},
      {0x0510, "GenuineIntel", "Pentium 60/66 MHz"},
      {0x0525, "GenuineIntel", "Pentium 75-200 MHz"},
      {0x0543, "GenuineIntel", "Pentium MMX 166/200 MHz"},
      {0x1530, "GenuineIntel", "Pentium Overdrive"},
      {0x0600, "CyrixInstead", "Cyrix 6x86MX"},
      {0x0610, "GenuineIntel", "Intel Pentium pro"},
      {0x0630, "GenuineIntel", "Intel Pentium II"},
      {0x1632, "GenuineIntel", "Intel Pentium II Overdrive"},
      {0x0650, "AuthenticAMD", "Intel P6 (Model 5)"},
      {0x0660, "GenuineIntel", "Intel Celeron (Model 6)"},
      {0x0680, "GenuineIntel", "Intel Pentium P6"},
      {0x2680, "GenuineIntel", "Intel Pentium P6"},
      {0x0F00, "GenuineIntel", ""},
  };
  for (const Case& c : cases) {
    platform::ProcessorFacts facts{true, c.signature, 0, c.vendor, 586, 100};
    EXPECT_EQ(ProcessorName(facts), c.name) << std::hex << c.signature << " " << c.vendor;
  }
}

TEST(ProcessorName, WithoutIdentificationTheTypeNumberNamesIt) {
  const std::pair<std::uint32_t, std::string> cases[] = {
      {286, "80286"},      {386, "80386"}, {486, "80486"}, {586, "Pentium"},
      {686, "PentiumPro"}, {786, "P7"},    {0, "P0"}};
  for (const auto& [type, name] : cases) {
    platform::ProcessorFacts facts{false, 0, 0, "", type, 0};
    EXPECT_EQ(ProcessorName(facts), name);
    EXPECT_EQ(IdentifyProcessor(facts).type, type == 0 ? 0 : static_cast<int>(type / 100));
  }
}

TEST(ProcessorIdentity, SignatureFieldsAndMmx) {
  const ProcessorIdentity k6 =
      IdentifyProcessor({true, 0x0582, 1u << 23, "AuthenticAMD", 586, 300});
  EXPECT_EQ(k6.type, 5);
  EXPECT_EQ(k6.model, 8);
  EXPECT_EQ(k6.stepping, 2);
  EXPECT_TRUE(k6.mmx);
  EXPECT_EQ(k6.vendor, "AuthenticAMD");
  const ProcessorIdentity old = IdentifyProcessor({false, 0x0582, 1u << 23, "", 486, 33});
  EXPECT_EQ(old.stepping, -1);
  EXPECT_EQ(old.model, -1);
  EXPECT_FALSE(old.mmx);
  EXPECT_EQ(old.vendor, "-unknown-");
}

// The measurement adds 0.66 MHz before rounding, so an exact 300 MHz clock reports 301.
TEST(ProcessorSpeed, MeasuredOnAVirtualClockWithoutWaiting) {
  struct Case {
    std::uint32_t megahertz;
    bool identification;
    int family;
    int speed;
  };
  const Case cases[] = {
      {300, true, 5, 301}, {166, true, 6, 167}, {66, true, 4, -1}, {300, false, 5, 0}};
  for (const Case& c : cases) {
    platform::VirtualClock clock({1999, 1, 5, 1, 0, 0, 0, 0}, c.megahertz);
    platform::ProcessorFacts facts{c.identification, 0, 0, "GenuineIntel", 586, c.megahertz};
    const std::uint64_t before = clock.Elapsed();
    EXPECT_EQ(MeasureProcessorSpeed(facts, c.family, clock), c.speed) << c.megahertz;
    if (c.speed > 0) {
      EXPECT_GE(clock.Elapsed() - before, 1000u);
    }
  }
}

TEST(ShortDate, YearRunsAreWidenedShortenedOrRestored) {
  struct Case {
    std::string format;
    TzShortDateFormat mode;
    std::string result;
  };
  const Case cases[] = {
      {"M/d/yy", sdf4DigitYear, "M/d/yyyy"},  {"dd.MM.yyyy", sdf4DigitYear, "dd.MM.yyyy"},
      {"y-M-d", sdf4DigitYear, "yyyy-M-d"},   {"dd.MM.yyyy", sdf2DigitYear, "dd.MM.yy"},
      {"yyy/MM", sdf2DigitYear, "yy/MM"},     {"M/d/yy", sdf2DigitYear, "M/d/yy"},
      {"M/d/yyyy", sdfDontTouch, "original"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RewriteShortDate(c.format, c.mode, "original"), c.result);
}

}  // namespace
