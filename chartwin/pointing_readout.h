// The pointing window FORM6: what a click found, printed in one of three layouts (the nearest
// objects, the point in all frames, the angle from the previous point).
#pragma once

#include <string>

#include "chartwin/click.h"
#include "chartwin/nearest.h"

namespace nivora {

enum class ReadoutLayout { Nearest, AllFrames, MeasureAngle };

// The window's height for a layout, 448 wide: the figures the readout is designed around.
int pointingHeight(ReadoutLayout layout, bool onChart, bool observerCorrections, bool mapChart, int nearestCount);

// The text of the DSPSEXA mode that a unit code (1-5) gives a longitude-like or a latitude-like
// coordinate, at precision 1.
std::string coordinateText(double angle, int unit, bool longitudeLike);

struct PointingReadout {
    ReadoutLayout layout = ReadoutLayout::Nearest;
    std::string text;        // lines joined by '\n'; a last line without a line end has none
    int height = 0;
    bool pointCommands = false;   // "Centralize" and "x" act on a point of this chart
};

// The readout of one click; `starCode` is "Star-code,etc" chosen on the "Minute Option" form.
PointingReadout pointingReadout(const ChartWindowRecords& p, const ClickPoint& click,
                                const NearestSearch& nearest, bool starCode);

// Prints the readout into FORM6, sizes it, enables its commands (unticking "Measure Angle" after
// its own layout) and shows it.
void showReadout(ChartWindowRecords& p, const ClickPoint& click, const NearestSearch& nearest);

} // namespace nivora
