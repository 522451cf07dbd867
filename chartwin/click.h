// A click on the chart: the clicked pixel turned back into a direction in the nine frames by
// undoing, in reverse order, what the drawing did (box, projection, orientation, refraction,
// diurnal aberration, annual aberration, precession and nutation).
#pragma once

#include <string_view>

#include "chartwin/chartwin_records.h"

namespace nivora {

// The values of one click; a step that does not run leaves its value 0.
struct ClickPoint {
    bool onChart = false;
    bool measureAngle = false;          // "Measure Angle" was ticked at the click
    double searchCosine = 0;
    double pointAzimuth = 0;            // frame 0 as shown: 0..2 pi, through west in the sky
    double pointElevation = 0;
    double refractionAngle = 0;         // apparent minus true altitude
    double diurnalAberrationAngle = 0;
    double annualAberrationAngle = 0;
    double pointRa = 0, pointDec = 0;   // in the frame of sunDataFrame 1-4
    double pointRaIcrf = 0, pointDecIcrf = 0;
};

// The angle whose cosine is c, also where rounding puts c just beyond +-1.
double angleOfCosine(double c);
// The angle between two unit vectors, exact near 0 and pi.
double angleBetween(const DirectionVector& a, const DirectionVector& b);

// The cosine of the search radius typed in EDIT78: its leading number in degrees, 0.99999 when
// that is not above 0 and below 1.
double searchCosineOf(std::string_view radiusText);

// The point under bitmap pixel (px, py) of the last drawing, read in the box whose area holds
// the pixel. On the chart, `frames` gets the nine directions and the angles are filled; off it,
// and outside both boxes' areas, `frames` is left as it was.
ClickPoint locateClick(const ChartWindowRecords& p, int px, int py, PointedFrames& frames);

// Everything after the chart part of a click: nearest objects and the readout, for a located
// point (also used by the searches that find one match).
void FORM2_CLICK(ChartWindowRecords& p);

// Binds FORM2_CLICK (refused while a drawing runs) and the pointing window's buttons.
void bindPointingWindow(ChartWindowRecords& p);

} // namespace nivora
