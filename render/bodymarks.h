// What the Sun, the Moon, the planets, the antisolar point and the orbit object share: the
// apparent direction of a body, where its mark goes in one or both boxes, the marks themselves
// and the local scale of the projection for true-size discs.
#pragma once

#include <vector>

#include "astro/vectors.h"
#include "render/pipeline.h"

namespace nivora {

class BitmapArea;
struct ProgramRecords;

// A body as the chart shows it.
struct ApparentBody {
    DirectionVector base{};       // base frame, aberrations applied, before refraction
    DirectionVector apparent{};   // refracted, not renormalised: azimuth and elevation
    DirectionVector chart{};      // baseToChart x apparent
    bool hidden = false;          // below the horizon cut of a single-box sky chart
};

// The apparent direction of body b of the body table, through the pipeline's body rule (no
// annual aberration for the Moon).
ApparentBody apparentBody(const ProgramRecords& records, int bodyIndex);
// The same for a base-frame vector that already has its aberrations.
ApparentBody apparentFromBase(const ProgramRecords& records, const DirectionVector& base);

// Where a mark goes. With Dual-Box a chart z below `secondBelow` puts it in the second box, with
// no picture-limit test; a chart z not below `firstFrom` puts it in the first box, when inside
// the picture limits (a single box only when above the horizon cut). Marks near the boundary of
// the boxes are drawn in both. Reads the options and the geometry once, when made.
class MarkPlacer {
public:
    // `refractAndCut` false: the points are neither refracted nor cut at the horizon here (the
    // pass has done its own tests). `firstLimits` false: the first box takes its marks wherever
    // they lie.
    MarkPlacer(const ProgramRecords& records, double secondBelow, double firstFrom, bool refractAndCut = true,
               bool firstLimits = true);
    std::vector<ChartPixel> pixels(const DirectionVector& base) const;

private:
    bool dual_;
    PointPipeline second_;
    PointPipeline first_;
};

// Chart z within this of the boxes' boundary puts a mark or a curve's point in both boxes.
inline constexpr double markBoundary = double(1E-4f);

// The body-mark rule: both boxes within 1E-4 of their boundary.
std::vector<ChartPixel> bodyMarkPixels(const ProgramRecords& records, const DirectionVector& base);

enum class MarkKind { cross, disc, outline };
// A cross is the two diagonals of the square of half side r; a disc is filled in its colour.
void drawMark(BitmapArea bitmap, MarkKind kind, float x, float y, float r, int colour);

// 5 sqrt(size / 1000): the half size of the small crosses.
float crossHalfSize(int imageSize);

// Pixels per degree of the projection at chart direction p (of any length). 0 at the point
// opposite the chart centre, where no neighbourhood can be measured: a true-size mark there is
// one pixel.
double localScale(const ProgramRecords& records, DirectionVector p);
// The same in a given projection (an overdraw takes the projection the chart was drawn with).
double localScale(ProjectionKind kind, const ProjectionSetup& setup, DirectionVector p);
// The true-size radius in pixels of a disc of semi-diameter s (radians) at chart vector c: the
// scale is measured where the mark is drawn, mirrored into the second box below 1E-4.
double trueSizeRadius(const ProgramRecords& records, const DirectionVector& c, double s);
// How much taller than wide the image of a true-size disc at chart vector c is (mirrored as
// trueSizeRadius mirrors it): its vertical scale over its horizontal one, 1 where they are equal.
// The disc is then the ellipse of the two, of the same area as the circle of trueSizeRadius.
double discTallness(const ProgramRecords& records, const DirectionVector& c);
// The Sun's or the Moon's disc at its true size, semi-diameter s, filled (`kind` disc) or its
// outline, in each box the body-mark rule puts it: there wherever its centre lies, so that it
// shows whenever it reaches the picture, however large it is. A disc whose centre lies within
// the limits is drawn as every mark. One whose centre lies below the horizon cut of a single box
// shows the part of it above the cut.
void drawTrueSizeDisc(ProgramRecords& records, const ApparentBody& body, double s, MarkKind kind, int colour);
// The display modes of the Sun and the Moon that draw them at their true size (2 and 4): a
// disc whose centre lies below the horizon cut still shows the part of it above.
constexpr bool trueSizeMode(int mode) { return mode == 2 || mode == 4; }
// The mark of the Sun or the Moon by its display mode: 1 a disc of radius sqrt(size) / 4, 2 the
// disc at its true size, 3 a small cross, 4 the true-size outline; 0 none.
void drawSunMoonMark(ProgramRecords& records, const ApparentBody& body, int mode, double s, int colour);

// The left edge of the side strip in this drawing's layout.
float panelLeftOf(const ProgramRecords& records);

// Text mode a, b or c of an angle by the comment unit 1, 2 or 3.
inline float byUnit(int unit, float a, float b, float c) { return unit == 1 ? a : unit == 2 ? b : c; }

// Apparent semi-diameter of a radius seen at a distance, both km, in single precision.
float semiDiameter(double radius, double distance);

} // namespace nivora
