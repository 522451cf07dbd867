// The picture geometry of one drawing: limits, box centres, placement of the chart centre, the
// outline of every projection and the "Coordinates from the Center" scale.
#pragma once

#include <string>

#include "astro/vectors.h"
#include "platform/chartbitmap.h"

namespace nivora {

struct ChartLayout;
struct ChartView;
struct ProgramRecords;
struct SkyFrames;

// The chart scale (pixels per pi radians) is not kept here: it is the one value the projections
// read, `chartScale` of the owner's userProjection, written by setChartGeometry.
struct ChartGeometry {
    float halfWidthLimit = 0;    // |X| above it is not drawn
    float halfHeightLimit = 0;   // |Y - directionOffset| above it is not drawn
    float boxHalfWidth = 0;
    float boxHalfHeight = 0;
    float starSizeFactor = 0;    // the size unit of star discs
    double directionOffset = 0;  // pixels of the chart centre below the box centre (negative: above)
};

// Where the boxes lie in the bitmap. Every reader of a drawing (the passes, the click, the
// overlay, the overdraws) takes them from this one function.
struct BoxCentres {
    double x1 = 0;               // first box
    double x2 = 0;               // second box (Dual-Box)
    double y = 0;                // both boxes
    double secondBoxOffset = 0;  // x2 - x1
    double panelLeft = 0;        // left edge of the side strip
    int boxWidth = 0;            // a box with its margins: the first from 0, the second after it
    int chartBottom = 0;         // the boxes end above this row; below it only the panel's rows
};
BoxCentres boxCentres(const ChartView& view, const ChartLayout& layout, double directionOffset);

// The chart bitmap of a size and layout, in floating point (an odd size in half height gives a
// half pixel): the boxes with their margins and the side strip, and never lower than the panel's
// rows with the bottom margin below them, whatever the chart's own height.
struct BitmapExtent {
    double width = 0;
    double height = 0;
};
BitmapExtent chartBitmapExtent(double imageSize, int dualBox, int halfHeight, const ChartLayout& layout);

// The part of the bitmap that box 0 or 1 owns: nothing drawn for a box reaches past it, into the
// other box, the side strip or the panel's rows below the chart.
PixelArea boxArea(const BoxCentres& boxes, int box);
// Both boxes: a line that passes from one box into the other at their common rim.
PixelArea chartArea(const BoxCentres& boxes);
// The side strip, the whole height of the bitmap: the panel's rows and their marks only.
PixelArea stripArea(const BoxCentres& boxes);
// The box whose area holds bitmap pixel (x, y): 0 or 1, or -1 for a pixel of neither, in the
// side strip, below the chart or outside the bitmap.
int boxAt(const BoxCentres& boxes, long long x, long long y);

// The chart bitmap as the passes of one box, of both, and of the panel may draw into it.
BitmapArea boxCanvas(ProgramRecords& records, int box);
BitmapArea chartCanvas(ProgramRecords& records);
BitmapArea panelCanvas(ProgramRecords& records);

// The first group of the geometry and the chart scale, from the image size and magnification.
void setChartGeometry(ProgramRecords& records);

// directionOffset by the place of the direction point (1 bottom, 2 centre, 3 horizon at the
// bottom, 4 top). Placement 3 falls back to the centre (0) when the horizon point cannot be
// projected.
double directionOffsetFor(const ProgramRecords& records, const SkyFrames& sky);

// The outline of the map for the projection in use, in both boxes with Dual-Box.
void drawOutline(ProgramRecords& records, const BoxCentres& boxes);

// The label of a scale interval g in arc minutes: " 30am" below a degree, " 2dg" from one on.
std::string intervalLabel(float g);

// The "Coordinates from the Center" axes, grids or circles, when chosen.
void drawCenterCoordinates(ProgramRecords& records, const BoxCentres& boxes);

} // namespace nivora
