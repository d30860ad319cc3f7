#pragma once
// The forms of one run of the installer, so that each can reach the others as the program's
// form variables allow.
#include <memory>

#include "app/nt_widening.hpp"
#include "app/users_table.hpp"

namespace app {

class TSplashform;
class TUserEditForm;
class TfrmHelp;
class TStart;
class TNTStuffForm;

struct SetupForms {
  SetupForms();
  ~SetupForms();
  SetupForms(const SetupForms&) = delete;
  SetupForms& operator=(const SetupForms&) = delete;

  // Made by the application at start, in this order.
  TSplashform* splashform = nullptr;
  TUserEditForm* userEditForm = nullptr;
  TfrmHelp* frmHelp = nullptr;
  TStart* start = nullptr;
  // Made by the installation on the NT family, without an owner; never shown.
  std::unique_ptr<TNTStuffForm> ntStuffForm;
  // What the NT permission step may widen, as the administrator chose before the run.
  NtWidening widening;
  // Opens the users table for the account form (the table engine's, or a test's stand-in).
  // Left empty, the form records its step as not carried out.
  UsersTableOpener openUsersTable;
};

}  // namespace app
