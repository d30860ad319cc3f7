#pragma once
// EDatabaseError: the failure of a dataset-level operation, with a ready message text
// ("Dataset not in edit or insert mode", "Field 'X' not found", ...).
#include "platform/exception.hpp"

namespace db {

class EDatabaseError : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

}  // namespace db
