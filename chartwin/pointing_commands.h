// The pointing window's commands on the pointed position: "Close", "Centralize", "x" and
// "Comment". "x" and "Comment" draw into the chart bitmap, each mark clipped to the area of its
// box, and are refused while a drawing runs.
#pragma once

#include <string>

#include "chartwin/chartwin_records.h"

namespace nivora {

void BUTTON18_ON(ChartWindowRecords& p);   // "Close"
void BUTTON19_ON(ChartWindowRecords& p);   // "Centralize"
void BUTTON76_ON(ChartWindowRecords& p);   // "x"
void BUTTON75_ON(ChartWindowRecords& p);   // "Comment"

// The centre-field text of an angle: rounded down to hundredths of a degree.
std::string centralizeFieldText(double radians);

void bindPointingCommands(ChartWindowRecords& p);

} // namespace nivora
