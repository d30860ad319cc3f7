#include "app/splash_proxy_questions.hpp"

#include "framework/forms/application.hpp"
#include "framework/forms/script_backend.hpp"
#include "framework/forms/script_queue.hpp"
#include "sim_machine_fixture.hpp"

namespace app_test {
namespace {

using forms::InputAnswer;
using forms::ModalResult;
using platform::hkey::LocalMachine;

constexpr std::string_view kKV = "Software\\KV";

class ProxyQuestionsTest : public SimMachineTest {
 protected:
  void SetUp() override {
    MakeMachine("win98", false);
    backend_ = std::make_unique<forms::ScriptBackend>();
    backend_->SetAnswers(&script_);
    application_ = std::make_unique<forms::TApplication>(*backend_);
  }
  void TearDown() override {
    application_.reset();
    backend_.reset();
    SimMachineTest::TearDown();
  }

  forms::ScriptQueue script_;
  std::unique_ptr<forms::ScriptBackend> backend_;
  std::unique_ptr<forms::TApplication> application_;
};

TEST_F(ProxyQuestionsTest, TheQuestionIsAskedAsDesignedWithNoAsTheDefault) {
  script_.AnswerMessages({ModalResult::No});
  app::ProxyAnswers answers = app::AskProxyQuestions();
  ASSERT_EQ(script_.Messages().size(), 1u);
  const forms::MessageRequest& asked = script_.Messages()[0];
  EXPECT_EQ(asked.caption, "Proxy Server in use?");
  EXPECT_EQ(asked.text,
            "Are you using a proxy server?\nMost home users will choose \"NO\" unless you have\n"
            "been specifically told by your ISP to use one");
  EXPECT_EQ(asked.buttons, forms::MessageButtons::YesNo);
  EXPECT_EQ(asked.defaultButton, ModalResult::No);
  EXPECT_TRUE(script_.Inputs().empty());
  EXPECT_FALSE(answers.sendToProxy);
  EXPECT_EQ(answers.host, "0.0.0.0");
  EXPECT_EQ(answers.port, 80);
}

TEST_F(ProxyQuestionsTest, YesAsksForHostAndPort) {
  script_.AnswerMessages({ModalResult::Yes});
  script_.AnswerInputs({InputAnswer::Text("proxy.isp.net"), InputAnswer::Text("3128")});
  app::ProxyAnswers answers = app::AskProxyQuestions();
  ASSERT_EQ(script_.Inputs().size(), 2u);
  EXPECT_EQ(script_.Inputs()[0].caption, "Proxy Server IP Address");
  EXPECT_EQ(script_.Inputs()[0].prompt, "What is the proxy server IP address?");
  EXPECT_EQ(script_.Inputs()[0].defaultText, "0.0.0.0");
  EXPECT_EQ(script_.Inputs()[1].caption, "HTTP port");
  EXPECT_EQ(script_.Inputs()[1].prompt, "What is the HTTP port of the proxy server?");
  EXPECT_EQ(script_.Inputs()[1].defaultText, "80");
  EXPECT_TRUE(answers.sendToProxy);
  EXPECT_EQ(answers.host, "proxy.isp.net");
  EXPECT_EQ(answers.port, 3128);
}

TEST_F(ProxyQuestionsTest, CancellingBothBoxesKeepsTheDefaultsButStillUsesTheProxy) {
  script_.AnswerMessages({ModalResult::Yes});
  script_.AnswerInputs({InputAnswer::Cancel(), InputAnswer::Cancel()});
  app::ProxyAnswers answers = app::AskProxyQuestions();
  EXPECT_TRUE(answers.sendToProxy);
  EXPECT_EQ(answers.host, "0.0.0.0");
  EXPECT_EQ(answers.port, 80);
}

TEST_F(ProxyQuestionsTest, APortThatIsNotAWholeNumberIsAskedAgain) {
  script_.AnswerMessages({ModalResult::Yes});
  script_.AnswerInputs({InputAnswer::Text("not checked at all"), InputAnswer::Text("eighty"),
                        InputAnswer::Text("80.5"), InputAnswer::Text(""),
                        InputAnswer::Text(" 8080 ")});
  app::ProxyAnswers answers = app::AskProxyQuestions();
  EXPECT_EQ(script_.Inputs().size(), 5u);
  EXPECT_EQ(answers.host, "not checked at all");
  EXPECT_EQ(answers.port, 8080);
}

TEST_F(ProxyQuestionsTest, AnswersGoIntoTheMachineKey) {
  app::WriteProxyAnswers({});
  EXPECT_EQ(Dword(LocalMachine, kKV, "SendToProxy"), 0u);
  EXPECT_EQ(String(LocalMachine, kKV, "ProxyHost"), "0.0.0.0");
  EXPECT_EQ(Dword(LocalMachine, kKV, "ProxyPort"), 80u);

  app::WriteProxyAnswers({true, "10.0.0.8", -1});
  EXPECT_EQ(Dword(LocalMachine, kKV, "SendToProxy"), 1u);
  EXPECT_EQ(String(LocalMachine, kKV, "ProxyHost"), "10.0.0.8");
  EXPECT_EQ(Dword(LocalMachine, kKV, "ProxyPort"), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace app_test
