#pragma once
// What an engine call raised: the message and subcode of its EXbaseError, or "no error".
#include <string>
#include <utility>

#include "tables/storage/xbase_error.hpp"

namespace tables::testing {

template <typename F>
std::pair<std::string, int> ErrorOf(F f) {
  try {
    f();
  } catch (const EXbaseError& error) {
    return {error.what(), error.subcode()};
  }
  return {"no error", 0};
}

}  // namespace tables::testing
