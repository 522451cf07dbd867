// The numbers of the grid curves: where a curve enters or leaves the box, sinks under the horizon
// or passes between the two boxes, or once on a curve that never leaves the box.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "astro/vectors.h"

namespace nivora {

struct ProgramRecords;
class PointPipeline;

enum class GridKind { ecliptic, equatorial, horizontal };

using VisibilityEntry = std::array<std::uint8_t, 6>;

// One curve of a grid as the numbering sees it.
struct GridCurve {
    GridKind grid = GridKind::ecliptic;
    bool meridian = false;
    int coordinate = 0;   // the circle's latitude or the meridian's longitude, degrees
    int step = 90;        // the grid's step s, degrees
    int colour = 0;
    bool numbersOn = false;
};

// The label of a curve: circles "+05", "-30", "+00"; meridians "0", "355".
std::string gridLabel(bool meridian, int coordinate);

// The numbering of one drawing's grids. The previous point carries over from curve to curve
// and from grid to grid; it starts at 0 with the drawing.
class GridNumbering {
public:
    explicit GridNumbering(ProgramRecords& records);

    // The curve's first lattice node decides whether it starts inside the box.
    void startCurve(const GridCurve& curve, const PointPipeline& pipeline, const VisibilityEntry& firstNode);
    // A point under the horizon allowance (w refracted, base frame); latitude for the pole rules.
    void belowHorizon(const DirectionVector& w, double latitude);
    // A point that reached the chart: X already moved by the box offset in the second box.
    void afterDot(double X, double Y, const DirectionVector& v, const DirectionVector& w, double latitude,
                  const VisibilityEntry& blockNode, bool firstBlock);
    // The resting label of a curve that never left the box: v is its labelled point in the
    // chart frame.
    void endCurve(const DirectionVector& v);

    // The curve's state: 0 not numbered, 5 or 7 not labelled yet (inside, outside), 1 inside,
    // 2 just left, 3 outside; Dual-Box passages take 4 off.
    int state() const { return state_; }
    // The box of the last point the curve took (0 first, 1 second).
    int previousBox() const { return pBox_; }

private:
    bool nearPole(double latitude) const;
    bool crowded(double latitude) const;
    double halfWidth() const;   // h
    // A label at offsets from the first box's centre, kept inside the box it numbers.
    void label(double dx, double dy, int box = 0);
    enum Side { left, right, below, above, none };
    // A label at the box edge the curve crosses, slid along a gentle slope.
    void edgeLabel(int side, double X, double Y, double topSteep);
    void entryLabel(double X, double Y, const VisibilityEntry& blockNode);
    void exitLabel(double X, double Y);

    ProgramRecords& records_;
    const PointPipeline* pipeline_ = nullptr;
    GridCurve curve_;
    std::string text_;
    int state_ = 0;
    double pX_ = 0, pY_ = 0;
    // The box of the previous point: a passage between the boxes is a change of box, which at a
    // magnification above 1 the previous X alone no longer tells (it passes half the box
    // distance inside either box).
    int pBox_ = 0;
    double scale_ = 0;   // chartScale
};

} // namespace nivora
