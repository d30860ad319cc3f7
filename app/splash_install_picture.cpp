// The wizard's background picture: the JPEG file held in the memo "InstallJPG" of the
// configuration table in the setup folder.
#include <span>

#include "app/splash.hpp"
#include "app/table_key.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace app {
namespace {

constexpr std::string_view kConfigurationTable = "\\KVConf.Dat";
constexpr std::string_view kPictureField = "InstallJPG";

// The memo's bytes exactly as stored: a picture must not pass through code-page conversion.
std::string PictureBytes(const std::string& tablePath) {
  tables::XBO_dBaseFld table(tablePath, true, false, kTableKey);
  table.ReadRecord(1);
  std::string bytes = table.GetMemoText(kPictureField);
  table.Close();
  return bytes;
}

}  // namespace

forms::TPicture LoadInstallPicture() {
  const std::string bytes = PictureBytes(ProgramFolder() + std::string(kConfigurationTable));
  forms::TPicture picture;
  picture.LoadJpeg(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  return picture;
}

void TSplashform::FormShow() {
  Image1.ClearPicture();
  Image1.SetPicture(LoadInstallPicture());
}

}  // namespace app
