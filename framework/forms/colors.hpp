#pragma once
// Colours as the forms store them: 0x00BBGGRR for fixed colours, 0x80000000 | index for the
// system's colours (the index of GetSysColor).
#include <cstdint>

namespace forms {

using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBtnFace = 0x8000000F;  // the system's face colour of buttons (grey)
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clInfoBk = 0x80000018;  // the system's tool-tip background

}  // namespace forms
