#include <set>
#include <sstream>

#include "framework/forms/jpeg_decoder.hpp"

#include "sim_machine_fixture.hpp"
#include "tools/mkdist/dist_contents.hpp"
#include "tools/mkdist/dist_folder.hpp"
#include "tools/mkdist/jpeg_encoder.hpp"
#include "tools/mkdist/mkdist_command.hpp"
#include "tools/mkdist/site_names.hpp"

namespace app_test {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
         static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
}
std::uint32_t U16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8;
}
std::string Text(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t count) {
  return std::string(bytes.begin() + at, bytes.begin() + at + count);
}

TEST(DistContents, BitmapHeaderMatchesItsPixels) {
  std::vector<std::uint8_t> bmp = mkdist::BitmapFile(5, 3);
  int rowSize = (5 * 3 + 3) / 4 * 4;
  EXPECT_EQ(Text(bmp, 0, 2), "BM");
  EXPECT_EQ(U32(bmp, 2), bmp.size());
  EXPECT_EQ(U32(bmp, 10), 54u);
  EXPECT_EQ(U32(bmp, 18), 5u);
  EXPECT_EQ(U32(bmp, 22), 3u);
  EXPECT_EQ(U16(bmp, 28), 24u);
  EXPECT_EQ(bmp.size(), 54u + rowSize * 3);
}

TEST(DistContents, WaveHeaderMatchesItsSamples) {
  std::vector<std::uint8_t> wav = mkdist::WaveFile(440, 100);
  EXPECT_EQ(Text(wav, 0, 4), "RIFF");
  EXPECT_EQ(U32(wav, 4), wav.size() - 8);
  EXPECT_EQ(Text(wav, 8, 8), "WAVEfmt ");
  EXPECT_EQ(U16(wav, 20), 1u);  // PCM
  EXPECT_EQ(U32(wav, 24), 11025u);
  EXPECT_EQ(Text(wav, 36, 4), "data");
  EXPECT_EQ(U32(wav, 40), 1102u);
  EXPECT_EQ(wav.size(), 44u + 1102u);
}

TEST(DistContents, IconDirectoryPointsAtItsImage) {
  std::vector<std::uint8_t> ico = mkdist::IconFile();
  EXPECT_EQ(U16(ico, 2), 1u);  // icon
  EXPECT_EQ(U16(ico, 4), 1u);  // one image
  std::uint32_t size = U32(ico, 14);
  std::uint32_t offset = U32(ico, 18);
  EXPECT_EQ(offset + size, ico.size());
  EXPECT_EQ(U32(ico, offset), 40u);      // BITMAPINFOHEADER
  EXPECT_EQ(U32(ico, offset + 8), 32u);  // height counts both masks
}

TEST(DistContents, ProgramsAreDosExecutables) {
  std::vector<std::uint8_t> exe = mkdist::ProgramStub("Korvane filtering proxy");
  EXPECT_EQ(Text(exe, 0, 2), "MZ");
  std::string text(exe.begin(), exe.end());
  EXPECT_NE(text.find("This program cannot be run in DOS mode."), std::string::npos);
  EXPECT_NE(text.find("Korvane filtering proxy"), std::string::npos);
}

TEST(DistContents, SyntheticSitesAreRepeatableAndDistinct) {
  const auto first = mkdist::SyntheticSites(7, 500);
  const auto again = mkdist::SyntheticSites(7, 500);
  const auto other = mkdist::SyntheticSites(8, 500);
  ASSERT_EQ(first.size(), 500u);
  std::set<std::string> names;
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].site, again[i].site);
    EXPECT_EQ(first[i].reasons, again[i].reasons);
    names.insert(first[i].site);
  }
  EXPECT_EQ(names.size(), first.size());
  EXPECT_NE(first[0].site, other[0].site);
  // A longer list begins with the shorter one.
  EXPECT_EQ(mkdist::SyntheticSites(7, 900)[499].site, first[499].site);
}

TEST(DistContents, JpegEncodingKeepsThePictureAndRefusesAnEmptyOne) {
  forms::TBitmap bitmap{16, 8, std::vector<std::uint8_t>(16 * 8 * 3, 0)};
  for (std::size_t i = 0; i < bitmap.pixels.size(); i += 3)
    bitmap.pixels[i] = 0xFF;  // pure red
  const forms::TBitmap decoded = forms::DecodeJpeg(mkdist::EncodeJpeg(bitmap, 90));
  EXPECT_EQ(decoded.width, 16);
  EXPECT_EQ(decoded.height, 8);
  const std::uint32_t pixel = decoded.Pixel(5, 5);
  EXPECT_GT(pixel >> 16, 0xF0u);
  EXPECT_LT(pixel & 0xFFFF, 0x1010u);
  try {
    mkdist::EncodeJpeg(forms::TBitmap{}, 90);
    ADD_FAILURE() << "no exception";
  } catch (const platform::Exception& error) {
    EXPECT_STREQ(error.what(), "An empty picture cannot be encoded");
  }
}

class MkdistTest : public SimMachineTest {};

TEST_F(MkdistTest, FillsTheFolderWithTheUninstallerShortcut) {
  MakeMachine("nt4", false);
  mkdist::FillSetupFolder("C:\\Other\\Setup");
  for (const mkdist::DistFile& file : mkdist::DistributionFiles()) {
    EXPECT_EQ(ReadFile("C:\\Other\\Setup\\" + file.name),
              std::string(file.bytes.begin(), file.bytes.end()))
        << file.name;
  }
  std::string link = ReadFile("C:\\Other\\Setup\\Uninstal.lnk");
  ASSERT_GE(link.size(), 76u);
  EXPECT_EQ(link.substr(0, 4), std::string("\x4c\0\0\0", 4));
  EXPECT_NE(link.find("C:\\WINNT\\SYSTEM32\\OsUninstall.exe"), std::string::npos);
}

TEST_F(MkdistTest, TablesReplaceEarlierOnesAndAFileInTheWayIsNamed) {
  MakeMachine("win98", false);
  mkdist::FillSetupFolder("C:\\DIST");
  WriteFile("C:\\DIST\\KVUS.CDX", "stale");
  mkdist::FillSetupFolder("C:\\DIST");
  EXPECT_NE(ReadFile("C:\\DIST\\KVUS.cdx"), "stale");
  ASSERT_EQ(Machine().files().MakeFolder("C:\\DIST2"), 0u);
  ASSERT_EQ(Machine().files().MakeFolder("C:\\DIST2\\KV025.dat"), 0u);
  try {
    mkdist::FillSetupFolder("C:\\DIST2");
    ADD_FAILURE() << "no exception";
  } catch (const platform::Exception& error) {
    EXPECT_NE(std::string(error.what()).find("Cannot replace \"C:\\DIST2\\KV025.dat\""),
              std::string::npos)
        << error.what();
  }
}

TEST_F(MkdistTest, CommandLine) {
  MakeMachine("win98", false);
  CloseMachine();
  const std::string machine = Folder().string();
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    const char* output;
  };
  const Case cases[] = {
      {{}, mkdist::kMkdistUsage, "mkdist: no machine given"},
      {{machine, "--folder"}, mkdist::kMkdistUsage, "mkdist: --folder needs a path"},
      {{machine, "--bogus"}, mkdist::kMkdistUsage, "mkdist: unknown option --bogus"},
      {{machine, machine}, mkdist::kMkdistUsage, "mkdist: more than one machine given"},
      {{"/nonexistent/machine"}, mkdist::kMkdistFailed, "mkdist: "},
      {{"--help"}, mkdist::kMkdistDone, "usage: mkdist MACHINE [--folder PATH]"},
      {{machine, "--folder", "C:\\DIST"}, mkdist::kMkdistDone, "setup folder C:\\DIST filled"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(mkdist::RunMkdist(c.arguments, out, err), c.exitCode);
    EXPECT_NE((out.str() + err.str()).find(c.output), std::string::npos) << out.str() << err.str();
  }
  OpenMachine();
  EXPECT_TRUE(Exists("C:\\DIST\\KV015.dat"));
  EXPECT_FALSE(Exists("C:\\KVSETUP"));
}

}  // namespace
}  // namespace app_test
