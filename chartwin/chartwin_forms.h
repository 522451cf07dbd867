// The forms of the chart window's room: the chart window, the data-file overlay form and the
// pointing window. Each is declared hidden; the program shows them when they are needed.
#pragma once

#include "platform/forms.h"

namespace nivora {

// FORM2 "planisphere Image": the chart bitmap on a canvas with its two scroll bars.
FormSpec chartWindowForm();

// FORM4 "DRAW using Data File": the user data file described column by column.
FormSpec dataFileForm();

// FORM6 "pointing": the readout text surface and the commands on the pointed position.
FormSpec pointingForm();

} // namespace nivora
