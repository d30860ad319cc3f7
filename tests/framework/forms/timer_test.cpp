#include "framework/forms/timer.hpp"

#include <gtest/gtest.h>

#include "framework/forms/form.hpp"
#include "tests/framework/forms/toolkit_fixture.hpp"

namespace {

class TimerTest : public forms_test::ToolkitTest {
 protected:
  forms::TForm& form = app.CreateForm<forms::TForm>("host");
};

TEST_F(TimerTest, FiresOnlyWhenItsIntervalHasPassed) {
  forms::TTimer timer{form, "Timer1"};
  timer.SetInterval(5000);
  int fired = 0;
  timer.OnTimer = [&] { ++fired; };
  backend.Advance(4900);
  EXPECT_EQ(fired, 0);
  backend.Advance(100);
  EXPECT_EQ(fired, 1);
}

TEST_F(TimerTest, HandlerThatDisablesItsTimerFiresOnce) {
  forms::TTimer timer{form, "Timer1"};
  timer.SetInterval(5000);
  int fired = 0;
  timer.OnTimer = [&] {
    ++fired;
    timer.SetEnabled(false);
  };
  backend.Advance(60000);
  EXPECT_EQ(fired, 1);
}

TEST_F(TimerTest, RepeatingTimersFireInTimeOrder) {
  forms::TTimer slow{form, "slow"};
  forms::TTimer fast{form, "fast"};
  slow.SetInterval(250);
  fast.SetInterval(100);
  std::string order;
  slow.OnTimer = [&] { order += 'S'; };
  fast.OnTimer = [&] { order += 'F'; };
  backend.Advance(450);
  EXPECT_EQ(order, "FFSFF");
}

TEST_F(TimerTest, ReenablingStartsAFreshInterval) {
  forms::TTimer timer{form, "Timer1"};
  timer.SetInterval(1000);
  int fired = 0;
  timer.OnTimer = [&] { ++fired; };
  timer.SetEnabled(false);
  backend.Advance(900);
  timer.SetEnabled(true);
  backend.Advance(900);
  EXPECT_EQ(fired, 0);
  backend.Advance(200);
  EXPECT_EQ(fired, 1);
}

TEST_F(TimerTest, TimerWithoutHandlerOrIntervalIsNotPending) {
  forms::TTimer timer{form, "Timer1"};
  EXPECT_FALSE(app.TimeToNextTimer().has_value());
  timer.OnTimer = [] {};
  EXPECT_TRUE(app.TimeToNextTimer().has_value());
  timer.SetInterval(0);
  EXPECT_FALSE(app.TimeToNextTimer().has_value());
}

TEST_F(TimerTest, DestroyedTimerNoLongerFires) {
  int fired = 0;
  {
    forms::TTimer timer{form, "Timer1"};
    timer.SetInterval(10);
    timer.OnTimer = [&] { ++fired; };
  }
  backend.Advance(100);
  EXPECT_EQ(fired, 0);
}

}  // namespace
