// The point pipeline: every direction reaches the chart through it, from its source frame to a
// pixel of the chart bitmap (aberration, refraction, horizon cut, orientation, second box,
// projection, picture limits, box centre).
#pragma once

#include <cstdint>
#include <optional>

#include "astro/projection.h"
#include "astro/vectors.h"
#include "render/culling.h"
#include "render/geometry.h"

namespace nivora {

struct ProgramRecords;

// Whether a body's direction gets the annual aberration: the Sun, the planets and the antisolar
// point do; the Moon, which moves with the Earth, does not. The one rule for every pass, the
// readout and the click.
bool annualAberrationApplies(int bodyIndex);

// The place of something whose light-time corrected place is the unit vector u, with the annual
// aberration (`apparent`) or without it, v being the annual aberration in u's frame. What moves
// with the Earth (the Moon, an orbit around the Earth, a place on the Earth) is seen at u; its
// place without aberration, the one to set beside the catalogue stars, is u with the aberration
// taken out, because the Earth carries the observer across the light time. Anything else is seen
// at u with the aberration added, and u is its place without it.
DirectionVector annualAberrationPlace(const DirectionVector& u, const DirectionVector& v, bool movesWithEarth,
                                      bool apparent);

// Unit vector of a right ascension and declination (or longitude and latitude) in degrees.
DirectionVector catalogueVector(double alphaDegrees, double deltaDegrees);

// Where a point lands.
struct ChartPixel {
    float x = 0;      // bitmap pixel
    float y = 0;
    int box = 0;      // 0 first box, 1 second box
    double X = 0;     // projection offsets from the box centre, pixels, Y upward
    double Y = 0;
};

// The optional tests of a pass; the defaults are the pipeline as every pass runs it.
struct PipelineTests {
    bool refraction = true;        // step 4, when the options ask for it
    bool horizonCut = true;        // step 5
    double secondBoxBelow = 0;     // chart z below which Dual-Box puts the point in the second box
    bool limitCut = true;          // step 9
    // Chart mode, projection, refraction and diurnal aberration as the last drawing froze them,
    // not as the options stand: the overdraws of a chart already shown.
    bool asDrawn = false;
};

// The pipeline of one pass. It reads the options, the drawing's frames and geometry when it is
// made, so a menu used between two passes takes effect from the next pass on; make one per pass.
class PointPipeline {
public:
    explicit PointPipeline(const ProgramRecords& records, PipelineTests tests = {});

    // Steps 2-3 for a catalogue point or grid node: the base matrix of its frame, then the
    // annual and diurnal aberration where the chart mode and the display frame ask for them.
    DirectionVector catalogueToBase(const RotationMatrix& toBase, const DirectionVector& u) const;
    // Steps 1-3 for a body of the body table (true ecliptic of date, its own aberration rule).
    DirectionVector bodyToBase(int bodyIndex, const DirectionVector& u) const;
    DirectionVector bodyToBase(int bodyIndex) const;   // from the body table's direction

    // Steps 4-10 for a base-frame vector; nothing when a test removes the point.
    std::optional<ChartPixel> place(DirectionVector w) const;

    std::optional<ChartPixel> placeCatalogue(const RotationMatrix& toBase, const DirectionVector& u) const
    {
        return place(catalogueToBase(toBase, u));
    }

    // The steps of place() one by one, for passes that act between them (the grids number
    // points under the horizon; the lines test the chart-frame vector before projecting).
    // Step 4: z raised by refraction where the options ask for it, not renormalised.
    DirectionVector refract(DirectionVector w) const;
    // How far the lifts of step 4 of two points may differ when the z of both lies in
    // [zLow, zHigh], for a pass that bounds a run of points by one of them.
    double refractionSpread(double zLow, double zHigh) const;
    // Step 5's test, widened by `margin`: under the horizon allowance (sky chart only).
    bool belowHorizon(const DirectionVector& w, double margin = 0) const;
    // Step 6: the chart frame.
    DirectionVector toChart(const DirectionVector& w) const;
    // DISPXY of a chart-frame vector in the pass's projection.
    void project(const DirectionVector& v, double& X, double& Y) const;
    // Step 9's test; the dotted curves keep a point only strictly inside the limits.
    bool withinLimits(double X, double Y, bool strict = false) const;
    // Step 9's limits as a cap of chart-frame directions about the box's middle: no chart-frame
    // vector outside it passes them, so a pass may skip such points without projecting them.
    DirectionCap limitReach() const;
    // The cap a cull judges against: limitReach() in one box. In the Dual-Box layout, about the
    // first box's middle and, mirrored with the second box's hemisphere, about the second's, what
    // takes in both the limits and the box's area, which the passes that test no limits in the
    // second box draw to.
    DirectionCap cullReach() const;
    // What a pass makes of a run of points whose chart-frame vectors lie within `d` of v, against
    // the cap `reach` that the limits take in, or with `bothBoxes` the nearer of it and its
    // mirror image: hidden when v's direction lies beyond it by asin(d / |v|); drawn when it lies
    // within by as much, or when the run spans under an eighth of the cap's angle, too little to
    // be worth halving; else halved.
    static RunView runView(const DirectionVector& v, double d, const DirectionCap& reach, bool bothBoxes = false);
    // runView of the points whose base vectors lie within `arc` of w's before the aberrations
    // (which stretch the sphere by less than 1.001) and refraction (which moves z alone, by lifts
    // no farther apart than its spread), in the pass's layout.
    RunView runViewWithin(const DirectionVector& w, double arc, const DirectionCap& reach) const;
    // Step 10: the bitmap pixel of projection offsets in a box (0 first, 1 second).
    float pixelX(double X, int box = 0) const { return float(boxes_.x1 + box * boxes_.secondBoxOffset + X); }
    float pixelY(double Y) const { return float(boxes_.y - Y); }
    bool dualBox() const { return dualBox_; }
    std::uint8_t chartMode() const { return chartMode_; }
    ProjectionKind projection() const { return projection_; }
    // Whether a catalogue or added point gets the diurnal aberration (any chart but a map).
    bool diurnalAberration() const { return diurnal_; }

    const BoxCentres& boxes() const { return boxes_; }

private:
    const ProgramRecords& records_;
    PipelineTests tests_;
    BoxCentres boxes_;
    std::uint8_t chartMode_;
    bool catalogueAnnual_;
    bool diurnal_;
    bool bodyDiurnal_;
    bool refraction_;
    double horizonLimit_;
    bool dualBox_;
    ProjectionKind projection_;
};

} // namespace nivora
