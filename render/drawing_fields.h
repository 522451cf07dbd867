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
// added star's fields when it is on, the orbital elements when their object is shown and the
// data file's coordinate columns when "Draw by File" is ticked. What a field held today as a
// number stays taken: only the text beyond its precision is refused.
std::string drawingFieldFault(ProgramRecords& records);

class Ui;

// The same for the columns and widths of the data file's coordinates on "DRAW using Data File",
// the minutes' only where their unit reads them ("Column of Longitude must be a number from
// -3.4E+38 to 3.4E+38."); empty when all hold theirs or there is no such form.
std::string overlayFieldFault(const Ui& ui);

} // namespace nivora
