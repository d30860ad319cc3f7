#pragma once
// The check of the text formats the system writes back: a text written from what was read must
// read back to the same text. A difference stops the fuzzer with both texts shown.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

inline void RequireSameText(const std::string& first, const std::string& second) {
  if (first == second) return;
  std::fprintf(stderr, "the text written changed when read and written again:\n%s\n---\n%s\n",
               first.c_str(), second.c_str());
  std::abort();
}

}  // namespace fuzz
