#pragma once
// A running toolkit for tests: a test machine, the script backend on its virtual clock, an
// application titled "Setup", and a script queue answering questions.
#include <gtest/gtest.h>

#include "framework/forms/application.hpp"
#include "framework/forms/script_backend.hpp"
#include "framework/forms/script_queue.hpp"
#include "tests/framework/forms/test_machine.hpp"

namespace forms_test {

class ToolkitTest : public ::testing::Test {
 protected:
  ToolkitTest() {
    backend.SetAnswers(&script);
    app.SetTitle("Setup");
  }

  TestMachine machine;
  platform::ScopedMachine scoped{machine};
  forms::ScriptBackend backend{machine.clock()};
  forms::ScriptQueue script;
  forms::TApplication app{backend};
};

}  // namespace forms_test
