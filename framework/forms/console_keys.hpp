#pragma once
// What a key does on the active form in the console backend: moves the focus, types into the
// focused box, presses or ticks the focused control, presses a button by its number or its
// accelerator letter, scrolls texts. Typed characters arrive in UTF-8 and are put into the
// program's ANSI code page.
#include <cstdint>

#include "framework/forms/key_decoder.hpp"

namespace forms {

class TForm;

void ApplyKey(TForm& form, const Key& key, std::uint32_t ansiCodePage);

}  // namespace forms
