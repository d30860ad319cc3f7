#include "app/setup_forms.hpp"

#include "app/nt_form_unit.hpp"

namespace app {

SetupForms::SetupForms() = default;
SetupForms::~SetupForms() = default;

}  // namespace app
