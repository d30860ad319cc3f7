#pragma once
// Rewriting the year part of a short date format.
#include <string>

namespace sysinfo {

enum TzShortDateFormat { sdfDontTouch, sdf4DigitYear, sdf2DigitYear };

// sdf4DigitYear widens every run of "y" to "yyyy"; sdf2DigitYear shortens every run of three
// or more "y" to "yy"; sdfDontTouch gives `original` back.
std::string RewriteShortDate(const std::string& current, TzShortDateFormat mode,
                             const std::string& original);

}  // namespace sysinfo
