#include "sysinfo/short_date.hpp"

namespace sysinfo {

std::string RewriteShortDate(const std::string& current, TzShortDateFormat mode,
                             const std::string& original) {
  if (mode == sdfDontTouch) return original;
  std::string result;
  for (std::size_t i = 0; i < current.size();) {
    if (current[i] != 'y') {
      result += current[i++];
      continue;
    }
    std::size_t run = 0;
    while (i + run < current.size() && current[i + run] == 'y')
      ++run;
    if (mode == sdf4DigitYear) {
      result += "yyyy";
    } else {
      result += run >= 3 ? std::string("yy") : std::string(run, 'y');
    }
    i += run;
  }
  return result;
}

}  // namespace sysinfo
