#include "render/cell_skip.h"

#include <cmath>
#include <utility>

#include "astro/constants.h"
#include "render/culling.h"
#include "render/pipeline.h"
#include "render/program_records.h"
#include "render/visibility_fill.h"

namespace nivora {

namespace {

// A direction lies within 5 degrees of its cell's centre: half a cell's width along the
// parallel, then half its height.
constexpr double cellRadius = 5 / degreesPerRadian;

} // namespace

CellSkip::CellSkip(const ProgramRecords& records, const PointPipeline& pipeline,
                   std::function<DirectionVector(const DirectionVector&)> toBase, const VisibilityNodes* table)
    : pipeline_(pipeline), toBase_(std::move(toBase)), table_(table), on_(cullingOn()),
      codes_(on_ && table && !pipeline.dualBox()), limitReach_(pipeline.cullReach())
{
    // A cell whose corners all lie beyond a limit may bow inside it by the sag: a record drawn
    // there reaches the area only from within the area's margin to the limit.
    const LimitMargins margins = limitsBeyondArea(records);
    const double sag = sagPixels(records, cellSag) + roundingPixels;
    reachX_ = margins.x - sag;
    reachY_ = margins.y - sag;
}

bool CellSkip::hidden(int i, int j, double reach)
{
    if (!on_)
        return false;
    if (table_) {
        const auto& cell = (*table_)[std::size_t(i)][std::size_t(j)];
        if (cell[cellBelow] > 0)
            return true;
        if (codes_ && ((cell[cellOutsideX] > 0 && reach < reachX_) || (cell[cellOutsideY] > 0 && reach < reachY_)))
            return true;
    }
    Judged& judged = cells_[std::size_t(i)][std::size_t(j)];
    if (judged == Judged::notYet)
        judged = judge(i, j) ? Judged::hidden : Judged::shown;
    return judged == Judged::hidden;
}

// The bound: the frame turns the sphere rigidly, the aberrations stretch it by less than 1.001
// and refraction moves z alone by lifts no farther apart than its spread, so a record's base
// vector lies within d of the centre's, and in the chart frame within asin(d / |v|) of the
// centre's direction v.
bool CellSkip::judge(int i, int j) const
{
    const PointPipeline& p = pipeline_;
    const DirectionVector w = toBase_(unitVector((i + 0.5) * visibilityGridStep, (j - 18 + 0.5) * visibilityGridStep));
    const double d = 1.001 * cellRadius;
    const double spread = p.refractionSpread(w[2] - d, w[2] + d);
    if (p.belowHorizon(p.refract(w), d + spread + 1E-12))
        return true;
    return limitReach_.angle < pi && p.runViewWithin(w, cellRadius, limitReach_) == RunView::hidden;
}

} // namespace nivora
