#include "app/splash.hpp"

#include "app/help.hpp"
#include "app/setup.hpp"
#include "app/splash_texts.hpp"
#include "app/unit1.hpp"
#include "app/user_edit_unit.hpp"
#include "framework/forms/form_actor.hpp"
#include "framework/forms/script_backend.hpp"
#include "framework/forms/script_queue.hpp"
#include "platform/sim/process_table.hpp"
#include "sim_machine_fixture.hpp"

namespace app_test {
namespace {

using forms::ModalResult;

// The pieces joined: the text a page shows.
std::string JoinPieces(std::span<const std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces)
    text += piece;
  return text;
}

class WizardTest : public SimMachineTest {
 protected:
  void SetUp() override {
    MakeMachine(Profile());
    backend_ = std::make_unique<forms::ScriptBackend>();
    backend_->SetAnswers(&script_);
    setup_ = std::make_unique<app::SetupProgram>(*backend_);
    Wizard().Show();
  }
  void TearDown() override {
    setup_.reset();
    backend_.reset();
    SimMachineTest::TearDown();
  }

  virtual const char* Profile() const { return "win98"; }
  app::TSplashform& Wizard() { return *setup_->Forms().splashform; }
  forms::TApplication& Application() { return setup_->Application(); }
  void Click(std::string_view button) { backend_->Actor().Click(button); }
  // Through the pages to the installation without a proxy; on the account form the PARENT
  // and GUEST steps saved as they come and no other users; no start of the filter program.
  void InstallWithoutProxy() {
    script_.AnswerMessages({ModalResult::No, ModalResult::No, ModalResult::Cancel});
    script_.Then([](forms::FormActor& form) { form.Click("Finish"); });
    backend_->Advance(5000);
    Click("Next");
    Click("Next");
    Click("Save");
    Click("Save");
  }

  forms::ScriptQueue script_;
  std::unique_ptr<forms::ScriptBackend> backend_;
  std::unique_ptr<app::SetupProgram> setup_;
};

TEST_F(WizardTest, FormsAreMadeInOrderUnderTheTitleSetup) {
  EXPECT_EQ(Application().Title(), "Setup");
  const auto& made = Application().Forms();
  ASSERT_EQ(made.size(), 4u);
  EXPECT_NE(dynamic_cast<app::TSplashform*>(made[0]), nullptr);
  EXPECT_NE(dynamic_cast<app::TUserEditForm*>(made[1]), nullptr);
  EXPECT_NE(dynamic_cast<app::TfrmHelp*>(made[2]), nullptr);
  EXPECT_NE(dynamic_cast<app::TStart*>(made[3]), nullptr);
  EXPECT_EQ(Application().MainForm(), made[0]);
  EXPECT_FALSE(setup_->Forms().start->Visible());
  EXPECT_EQ(setup_->Forms().ntStuffForm, nullptr);
}

TEST_F(WizardTest, TheWizardKnowsItsFolders) {
  EXPECT_EQ(Wizard().SetupDir(), "C:\\KVSETUP");
  EXPECT_EQ(Wizard().SystemDir(), "C:\\WINDOWS\\SYSTEM");
}

TEST_F(WizardTest, TheWelcomePageComesAfterFiveSecondsAndOnlyOnce) {
  // The splash delay runs from the wizard's creation.
  std::optional<std::uint32_t> due = Application().TimeToNextTimer();
  ASSERT_TRUE(due.has_value());
  EXPECT_GT(*due, 4900u);
  EXPECT_LE(*due, 5000u);
  backend_->Advance(*due - 50);
  EXPECT_EQ(Wizard().PageIndex(), 0);
  EXPECT_FALSE(Wizard().grpSetup.Visible());
  backend_->Advance(100);
  EXPECT_EQ(Wizard().PageIndex(), 1);
  EXPECT_TRUE(Wizard().grpSetup.Visible());
  EXPECT_EQ(Wizard().grpSetup.Caption(), "Welcome to Korvane");
  EXPECT_EQ(Wizard().Instructions.Text(),
            "Welcome to the Korvane Setup program.  This program will install Korvane on your "
            "computer.\r\n\nIt is strongly recommended that you exit all Windows programs before "
            "running the Setup program.\r\n\nClick cancel to quit Setup and then close any "
            "programs you have running.  Click Next to continue with the Setup program.");
  EXPECT_EQ(Wizard().Instructions.ScrollBars(), forms::TScrollStyle::None);
  EXPECT_FALSE(Wizard().Back.Enabled());
  EXPECT_FALSE(Wizard().Timer1.Enabled());

  backend_->Advance(60000);
  EXPECT_EQ(Wizard().PageIndex(), 1);
}

TEST_F(WizardTest, TheLicencePageAsksYesOrNoAndBackRestoresTheWelcomePage) {
  backend_->Advance(5000);
  Click("Next");
  EXPECT_EQ(Wizard().PageIndex(), 2);
  EXPECT_EQ(Wizard().grpSetup.Caption(), "Software License Agreement");
  EXPECT_EQ(Wizard().Next.Caption(), "Yes");
  EXPECT_EQ(Wizard().Cancel.Caption(), "No");
  EXPECT_TRUE(Wizard().Back.Enabled());
  EXPECT_EQ(Wizard().Instructions.Text(), JoinPieces(app::LicencePieces()));
  EXPECT_EQ(Wizard().Instructions.ScrollBars(), forms::TScrollStyle::Both);

  Click("Back");
  EXPECT_EQ(Wizard().PageIndex(), 1);
  EXPECT_EQ(Wizard().Next.Caption(), "Next");
  EXPECT_EQ(Wizard().Cancel.Caption(), "Cancel");
  EXPECT_FALSE(Wizard().Back.Enabled());
  EXPECT_EQ(Wizard().Instructions.Text(), JoinPieces(app::WelcomePieces()));
  EXPECT_EQ(Wizard().Instructions.ScrollBars(), forms::TScrollStyle::None);
}

TEST_F(WizardTest, BackOnTheSplashStateDoesNothing) {
  Wizard().BackClick();
  EXPECT_EQ(Wizard().PageIndex(), 0);
  EXPECT_TRUE(Wizard().Timer1.Enabled());
}

TEST_F(WizardTest, CancelEndsTheProgram) {
  backend_->Advance(5000);
  Click("Cancel");
  EXPECT_TRUE(Application().Terminated());
  EXPECT_EQ(Application().ExitCode(), 0);
}

TEST_F(WizardTest, NoFormCanBeClosedFromItsTitleBar) {
  EXPECT_THROW(backend_->Actor().CloseForm(), forms::EScriptError);
  EXPECT_FALSE(Wizard().CloseFromTitleBar());
  EXPECT_FALSE(setup_->Forms().frmHelp->CloseFromTitleBar());
  EXPECT_FALSE(setup_->Forms().userEditForm->CloseFromTitleBar());
  EXPECT_TRUE(Wizard().Visible());
}

TEST_F(WizardTest, AnErrorBeforeTheInstallationIsShownAndTheWizardGoesOn) {
  script_.AnswerMessages({ModalResult::Ok});
  Application().Dispatch([] { throw platform::Exception("The picture cannot be shown"); });
  ASSERT_EQ(script_.Messages().size(), 1u);
  EXPECT_EQ(script_.Messages()[0].text, "The picture cannot be shown");
  EXPECT_EQ(script_.Messages()[0].caption, "Setup");
  EXPECT_FALSE(Application().Terminated());
  backend_->Advance(5000);
  EXPECT_EQ(Wizard().PageIndex(), 1);
}

TEST_F(WizardTest, AnErrorOfTheInstallationEndsTheProgramWithExitCodeOne) {
  Remove("C:\\KVSETUP\\KV015.dat");
  script_.AnswerMessages({ModalResult::Ok});
  backend_->Advance(5000);
  Click("Next");
  Click("Next");
  EXPECT_TRUE(Wizard().InstallStarted());
  ASSERT_EQ(script_.Messages().size(), 1u);
  EXPECT_EQ(script_.Messages()[0].icon, forms::MessageIcon::Error);
  EXPECT_NE(script_.Messages()[0].text.find("KV015.dat"), std::string::npos);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_EQ(Application().ExitCode(), 1);
}

TEST_F(WizardTest, PageThreeShowsTheCopyingCaptionAndHandsOverToTheAccountForm) {
  InstallWithoutProxy();
  EXPECT_EQ(Wizard().Caption(), "Copying files, please wait. ");
  EXPECT_FALSE(Wizard().Visible());
  EXPECT_FALSE(Wizard().ExistingInstall());
  // The account form handed over to the finish page, whose Finish ended the program.
  EXPECT_TRUE(script_.Done());
  ASSERT_EQ(script_.Messages().size(), 3u);
  EXPECT_EQ(script_.Messages()[1].caption, "Add other users?");
  EXPECT_EQ(script_.Messages()[2].caption, "Installation Complete");
  EXPECT_EQ(script_.Messages()[2].text, "Start Korvane Now?");
  EXPECT_EQ(script_.Messages()[2].buttons, forms::MessageButtons::OkCancel);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_EQ(Application().ExitCode(), 0);
  // Every step was carried out.
  EXPECT_TRUE(Wizard().StepsNotCarriedOut().empty());
  EXPECT_EQ(setup_->Forms().frmHelp->FinishText.Text().find(app::kStepsNotCarriedOut),
            std::string::npos);
}

class NtWizardTest : public WizardTest {
 protected:
  const char* Profile() const override { return "nt4"; }
};

// The permissions step is carried out: the finish page lists what it changed, object by object.
TEST_F(NtWizardTest, TheFinishPageListsTheAccessChanges) {
  InstallWithoutProxy();
  EXPECT_TRUE(script_.Done());
  EXPECT_TRUE(Wizard().StepsNotCarriedOut().empty());
  ASSERT_EQ(Wizard().AccessChanges().size(), 13u);
  const std::string text = setup_->Forms().frmHelp->FinishText.Text();
  EXPECT_NE(text.find(std::string(app::kAccessChanges) + "\r\n- " + Wizard().AccessChanges()[0]),
            std::string::npos)
      << text;
  EXPECT_EQ(Application().ExitCode(), 0);
}

// A filter program that will not end keeps its file: the finish page names both, before the
// access changes.
TEST_F(NtWizardTest, TheFinishPageNamesAProgramStillRunningAndItsFileNotReplaced) {
  platform::sim::SimProcess hung;
  hung.path = "C:\\WINNT\\SYSTEM32\\QALVINT.EXE";
  hung.moduleName = "QALVINT.EXE";
  hung.exitDelay = platform::sim::SimProcess::kNeverExits;
  WriteFile(hung.path, "MZ an earlier filter program");
  const platform::ProcessId id = Machine().simProcesses().Add(hung);
  InstallWithoutProxy();
  const std::string notice =
      std::string(app::kProgramsAndFilesToSeeTo) + "\r\n- Still running: QALVINT.EXE (process " +
      std::to_string(id) + "): it did not end within 5 seconds" +
      "\r\n- Not replaced: C:\\WINNT\\SYSTEM32\\Qalvint.exe" + std::string(app::kAccessChanges);
  const std::string text = setup_->Forms().frmHelp->FinishText.Text();
  EXPECT_NE(text.find(notice), std::string::npos) << text;
}

TEST(WizardTexts, TheLicenceIsBuiltFromLinesOfAboutSeventyCharacters) {
  std::string licence = JoinPieces(app::LicencePieces());
  for (std::string_view piece : app::LicencePieces()) {
    EXPECT_LE(piece.size(), 72u) << piece;
    if (piece != app::kParagraph) {
      EXPECT_EQ(piece.find('\n'), std::string_view::npos) << piece;
    }
  }
  std::vector<std::string> paragraphs;
  for (std::size_t start = 0;;) {
    std::size_t end = licence.find(app::kParagraph, start);
    paragraphs.push_back(licence.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + app::kParagraph.size();
  }
  ASSERT_GE(paragraphs.size(), 9u);
  EXPECT_EQ(paragraphs[0], "KORVANE END-USER LICENSE AGREEMENT");
  int numbered = 0;
  for (const std::string& paragraph : paragraphs) {
    if (paragraph.starts_with(std::to_string(numbered + 1) + ". ")) ++numbered;
  }
  EXPECT_EQ(numbered, 3);
  for (const char* source : {"(a)", "(b)", "(c)"}) {
    EXPECT_NE(licence.find(source), std::string::npos) << source;
  }
}

}  // namespace
}  // namespace app_test
