// Centring the view on a constellation, a nation or a body of the main window's list.
#pragma once

#include <string>

namespace nivora {

struct ProgramRecords;

// With apply 1: writes into EDIT12 and EDIT13 the centre of the COMBO2 item at `index` that is
// above the horizon (the mean of its stars, weighted as the option asks, or the body's place),
// in the frame of the direction fields. With apply 0 only checks that something of it is above
// the horizon. Nothing visible: the "ALERT" "The Constellation is under the Horizen." and the
// fields stay. Nothing selected (-1) or a "---" separator: nothing at all. A missing file gets an
// "ALERT" naming it; a list without its end line is read to its end, then named in an "ALERT".
void CENTRALIZE(ProgramRecords& records, int apply, int index);

// Degrees cut down to four decimals, as the direction fields receive them: -12.34567 gives
// "-12.3457".
std::string centreFieldText(double degrees);

} // namespace nivora
