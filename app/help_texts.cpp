#include "app/help_texts.hpp"

namespace app {
namespace {

constexpr std::string_view kFinish[] = {
    "You are ready to surf safely with Korvane!\r\n\n",
    "We have a few quick tips for you before you begin.",
    "\r\n\n",
    "1) You will notice a new icon in your system tray, which looks like the icon below",
    " Clicking on this icon with either mouse button will allow you access to the Korvane menu "
    "options.",
    "\r\n\n",
    "2) ",
    "If you do encounter sites that contain questionable material, please",
    " submit them to Korvane so that we may review them to decide whether",
    " or not they should be blocked for all of our users.",
    "\n\n",
    "If you have any difficulties with your software, please see either the",
    " Help Documentation, or the Tech Support section of our website at",
    " http://www.korvane.com/support, or call our support line at 1-800-555-0142,",
    " Monday to Friday, 9 a.m. to 5 p.m. Eastern Time.",
};

}  // namespace

std::span<const std::string_view> FinishPieces() {
  return kFinish;
}

}  // namespace app
