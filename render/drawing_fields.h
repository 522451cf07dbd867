// The number fields a drawing reads, on the main window and on the forms it reads while it
// draws, told apart before anything is drawn: a field whose text holds no number the drawing can
// take would draw a blank or a wrong chart.
#pragma once

#include <string>

namespace nivora {

struct ProgramRecords;

// The first field the drawing with the records as they are will read whose text holds no number
// it can take, as an "ALERT" text naming the field; empty when all hold theirs. The main window's
// place, date and view (ObservationInput), "Altitude of Lng. and Lat. lines" when the Earth's
// lines are drawn in the sky, the Earth-shadow fields when the shadow is placed by them, the
// added star's fields when it is on and the orbital elements when their object is shown. What a
// field held today as a number stays taken: only the text beyond its precision is refused.
std::string drawingFieldFault(ProgramRecords& records);

} // namespace nivora
