#pragma once
// Runs one read of a fuzz target, letting the engine's own errors pass: a clear error is the
// right answer to bad bytes. Anything else (a crash, a foreign exception) stops the fuzzer.
#include "platform/exception.hpp"

namespace fuzz {

template <typename Read>
void TryRead(Read read) {
  try {
    read();
  } catch (const platform::Exception&) {
  }
}

}  // namespace fuzz
