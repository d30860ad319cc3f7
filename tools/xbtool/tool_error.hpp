#pragma once
// A failure of the tool itself (not of the engine or the platform): bad values for fields,
// text a code page cannot hold, missing facts. The message is ready for the user.
#include "platform/exception.hpp"

namespace tools::xbtool {

class ToolError : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

}  // namespace tools::xbtool
