// The "Minute Option" form FORM5: star scaling, readout units, the Earth lines' altitude and the
// user-defined azimuthal projection.
#pragma once

#include "platform/forms.h"

namespace nivora {

// The form's controls, hidden at start. The option groups are declared in the order their codes
// count and placed as they read on the screen.
FormSpec minuteOptionForm();

} // namespace nivora
