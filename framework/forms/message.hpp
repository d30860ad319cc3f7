#pragma once
// A window message as it reaches the application window (the shape of a Win32 message), and
// the message numbers the toolkit and its users act on.
#include <cstdint>

namespace forms {

struct Message {
  std::uint32_t msg = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  std::intptr_t result = 0;
};

// What lParam points to with WindowPosChanged (WINDOWPOS).
struct WindowPos {
  int x = 0, y = 0, cx = 0, cy = 0;
  std::uint32_t flags = 0;
};

namespace wm {
inline constexpr std::uint32_t QueryEndSession = 0x0011;   // result: non-zero lets the session end
inline constexpr std::uint32_t EndSession = 0x0016;        // wParam non-zero: the session ends
inline constexpr std::uint32_t WindowPosChanged = 0x0047;  // lParam: WindowPos*
}  // namespace wm

// Extended window styles of the application's taskbar window.
namespace ws_ex {
inline constexpr std::uint32_t Topmost = 0x00000008;
inline constexpr std::uint32_t ToolWindow = 0x00000080;
}  // namespace ws_ex

}  // namespace forms
