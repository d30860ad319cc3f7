#pragma once
// The picture of the product's tray icon, shown on the finish page.
#include "framework/forms/picture.hpp"

namespace app {

forms::TBitmap TrayIconBitmap();

}  // namespace app
