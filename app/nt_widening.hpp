#pragma once
// What an administrator lets the NT permission step widen beyond the product key and the
// data files: the machine's Run key and the two auto-started programs (both by default).
namespace app {

struct NtWidening {
  bool runKey = true;    // the machine's Run key
  bool programs = true;  // the two auto-started executables
};

}  // namespace app
