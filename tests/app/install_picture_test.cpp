// The wizard's background picture from the configuration table, and what a damaged or
// missing one does: the top-level handler shows the error and the wizard goes on.
#include "tools/mkdist/install_picture.hpp"
#include "app/setup.hpp"
#include "app/splash.hpp"
#include "app/table_key.hpp"
#include "framework/forms/script_backend.hpp"
#include "framework/forms/script_queue.hpp"
#include "setup_run_fixture.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace app_test {
namespace {

using forms::ModalResult;

constexpr const char* kConfiguration = "C:\\KVSETUP\\KVconf.dat";

class InstallPictureTest : public SetupRunTest {
 protected:
  void ReplacePicture(std::string_view bytes) {
    tables::XBO_dBaseFld table(kConfiguration, false, true, app::kTableKey);
    table.ReadRecord(1);
    table.SetMemoText("InstallJPG", bytes);
    table.WriteRecord(1);
    table.Close();
  }
  std::string CutPicture() {
    const std::vector<std::uint8_t> jpeg = mkdist::InstallPictureJpeg();
    return std::string(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2));
  }
  // Shows the wizard with a scripted backend; messages are answered OK.
  void ShowWizard() {
    backend_ = std::make_unique<forms::ScriptBackend>();
    backend_->SetAnswers(&script_);
    setup_ = std::make_unique<app::SetupProgram>(*backend_);
    script_.AnswerMessages({ModalResult::Ok});
    Wizard().Show();
  }
  void TearDown() override {
    setup_.reset();
    backend_.reset();
    SetupRunTest::TearDown();
  }
  app::TSplashform& Wizard() { return *setup_->Forms().splashform; }

  forms::ScriptQueue script_;
  std::unique_ptr<forms::ScriptBackend> backend_;
  std::unique_ptr<app::SetupProgram> setup_;
};

constexpr const char* kAnswers =
    "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Finish]\nStartNow=no\n";

TEST_F(InstallPictureTest, TheWizardShowsThePictureOfTheConfigurationTable) {
  MakeMachine("win98");
  ShowWizard();
  EXPECT_TRUE(script_.Messages().empty());
  const forms::TPicture& picture = Wizard().Image1.Picture();
  EXPECT_EQ(picture.Width(), mkdist::kInstallPictureWidth);
  EXPECT_EQ(picture.Height(), mkdist::kInstallPictureHeight);
  EXPECT_EQ(picture.Bitmap().pixels, app::LoadInstallPicture().Bitmap().pixels);
}

TEST_F(InstallPictureTest, ADamagedPictureIsReportedAndTheWizardGoesOnToPageOne) {
  MakeMachine("win98");
  ReplacePicture(CutPicture());
  ShowWizard();
  ASSERT_EQ(script_.Messages().size(), 1u);
  EXPECT_EQ(script_.Messages()[0].icon, forms::MessageIcon::Error);
  EXPECT_EQ(script_.Messages()[0].caption, "Setup");
  EXPECT_NE(script_.Messages()[0].text.find("The picture cannot be decoded"), std::string::npos)
      << script_.Messages()[0].text;
  EXPECT_TRUE(Wizard().Image1.Picture().Empty());
  backend_->Advance(5000);
  EXPECT_EQ(Wizard().PageIndex(), 1);
}

TEST_F(InstallPictureTest, AMissingConfigurationTableIsReportedByName) {
  MakeMachine("win98");
  Remove(kConfiguration);
  ShowWizard();
  ASSERT_EQ(script_.Messages().size(), 1u);
  EXPECT_NE(script_.Messages()[0].text.find("KVCONF.DAT"), std::string::npos)
      << script_.Messages()[0].text;
  backend_->Advance(5000);
  EXPECT_EQ(Wizard().PageIndex(), 1);
}

TEST_F(InstallPictureTest, AScriptedRunGoesOnPastADamagedPicture) {
  MakeMachine("win98");
  ReplacePicture("not a picture at all");
  const SetupResult result = RunSetup(kAnswers);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.find("Error: The picture cannot be decoded"), 0u) << result.out;
  EXPECT_NE(result.out.find("Software License Agreement -> accept"), std::string::npos);
  EXPECT_TRUE(Exists("C:\\WINDOWS\\SYSTEM\\KVconf.dat"));
}

TEST_F(InstallPictureTest, AnErrorOnceTheInstallationRunsStillStopsAScriptedRun) {
  MakeMachine("win98");
  Remove("C:\\KVSETUP\\KV015.dat");
  const SetupResult result = RunSetup(kAnswers);
  EXPECT_NE(result.exitCode, 0);
  EXPECT_NE(result.err.find("KV015.dat"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace app_test
