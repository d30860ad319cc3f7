#pragma once
// EDatabaseError: the failure of a dataset-level operation, with a ready message text
// ("Dataset not in edit or insert mode", "Field 'X' not found", ...). A dataset with a name
// puts it in front ("UsersDB: Cannot perform this operation on a closed dataset").
// EAbort: an operation given up on purpose (an error handler chose to abort); it carries no
// message for the user.
#include "platform/exception.hpp"

namespace db {

class EDatabaseError : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

class EAbort : public platform::Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

}  // namespace db
