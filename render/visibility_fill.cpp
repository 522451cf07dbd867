#include "render/visibility_fill.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"
#include "render/culling.h"
#include "render/pipeline.h"
#include "render/program_records.h"
#include "render/visibility_grid.h"

namespace nivora {

namespace {

// What one table is filled from: the frame matrix (none for the horizon table), whether the
// catalogue aberration applies, and how far below the horizon allowance a node must lie.
struct TableSource {
    const RotationMatrix* toBase = nullptr;
    bool aberration = false;
    double margin = 0;
};

// The largest factor by which a projection stretches a short arc where a skip could matter.
constexpr double stretchAllowance = 4;

// The cells a node is a corner of and that an earlier node opened: (i, j - 1), (i - 1, j),
// (i - 1, j - 1).
template <class F>
void earlierCells(VisibilityNodes& t, int i, int j, F update)
{
    if (j > 0)
        update(t[std::size_t(i)][std::size_t(j - 1)]);
    if (i > 0)
        update(t[std::size_t(i - 1)][std::size_t(j)]);
    if (i > 0 && j > 0)
        update(t[std::size_t(i - 1)][std::size_t(j - 1)]);
}

// One node's edge code in `slot` and its share in the cell code `cellSlot`: the cell it opens
// takes the node's outside code (or 0), and an earlier cell keeps an outside code only while
// every corner so far has the same one.
void writeEdge(VisibilityNodes& t, int i, int j, int slot, int cellSlot, std::uint8_t code)
{
    auto& entry = t[std::size_t(i)][std::size_t(j)];
    entry[std::size_t(slot)] = code;
    const std::uint8_t outside = code >= 4 ? code : 0;
    entry[std::size_t(cellSlot)] = outside;
    earlierCells(t, i, j, [&](auto& cell) {
        if (cell[std::size_t(cellSlot)] != outside)
            cell[std::size_t(cellSlot)] = 0;
    });
}

void fillTable(ProgramRecords& records, const PointPipeline& pipeline, VisibilityNodes& t,
               const TableSource& source)
{
    const ChartGeometry& g = records.drawn.geometry;
    const bool dualBox = records.chartView.dualBox == 1;
    const double offset = g.directionOffset;
    for (int i = 0; i <= 72; ++i) {
        const double L = i * visibilityGridStep;
        for (int j = 0; j <= 36; ++j) {
            const double B = (j - 18) * visibilityGridStep;
            const DirectionVector u{std::cos(B) * std::cos(L), std::cos(B) * std::sin(L), std::sin(B)};
            DirectionVector w = u;
            if (source.toBase) {
                w = source.aberration ? pipeline.catalogueToBase(*source.toBase, u) : rotate(*source.toBase, u);
                w = pipeline.refract(w);
            }
            auto& entry = t[std::size_t(i)][std::size_t(j)];
            if (pipeline.belowHorizon(w, source.margin)) {
                entry[nodeBelow] = 1;
                entry[cellBelow] = 1;
            } else {
                entry[nodeBelow] = 0;
                entry[cellBelow] = 0;
                earlierCells(t, i, j, [](auto& cell) { cell[cellBelow] = 0; });
            }
            const DirectionVector v = pipeline.toChart(w);
            if (dualBox) {
                entry[nodeEdgeX] = std::uint8_t(v[2] > 0 ? 0 : v[2] < 0 ? 2 : 1);
                continue;
            }
            double X, Y;
            pipeline.project(v, X, Y);
            writeEdge(t, i, j, nodeEdgeX, cellOutsideX, edgeCode(X, g.halfWidthLimit, g.boxHalfWidth));
            writeEdge(t, i, j, nodeEdgeY, cellOutsideY, edgeCode(Y - offset, g.halfHeightLimit, g.boxHalfHeight));
        }
    }
}

} // namespace

std::uint8_t edgeCode(double offset, float limit, float boxHalf)
{
    if (offset > limit)
        return 5;
    if (offset < -limit)
        return 4;
    if (offset > boxHalf)
        return 2;
    if (offset < -boxHalf)
        return 1;
    return 0;
}

void visibilityGridFill(ProgramRecords& records)
{
    const PointPipeline pipeline(records);
    const SkyFrames& sky = records.drawn.sky;
    VisibilityGrid& grid = records.drawn.visibility;
    const double catalogueMargin = double(0.025f);
    const RotationMatrix* ecliptic[2] = {&sky.trueEclipticToBase, &sky.j2000EclipticToBase};
    const RotationMatrix* equator[2] = {&sky.trueEquatorToBase, &sky.icrfToBase};
    for (int variant = 0; variant < 2; ++variant)
        fillTable(records, pipeline, grid.eclipticVisibility[std::size_t(variant)],
                  {ecliptic[variant], variant == 1, catalogueMargin});
    for (int variant = 0; variant < 2; ++variant)
        fillTable(records, pipeline, grid.equatorVisibility[std::size_t(variant)],
                  {equator[variant], variant == 1, catalogueMargin});
    fillTable(records, pipeline, grid.horizonVisibility, {nullptr, false, double(0.0025f)});
}

double sagPixels(const ProgramRecords& records, double sagRadians)
{
    return sagRadians * stretchAllowance * records.userProjection.chartScale / pi;
}

LimitMargins limitsBeyondArea(const ProgramRecords& records)
{
    const ChartGeometry& g = records.drawn.geometry;
    const ChartLayout& layout = records.chartLayout;
    return {g.halfWidthLimit - (g.boxHalfWidth + double(std::max(layout.marginLeft, layout.marginRight))),
            g.halfHeightLimit - (g.boxHalfHeight + double(std::max(layout.marginTop, layout.marginBottom)))};
}

bool edgeSkipAllowed(const ProgramRecords& records, double sagRadians, double reach)
{
    if (!cullingOn())
        return false;
    const LimitMargins m = limitsBeyondArea(records);
    return sagPixels(records, sagRadians) + reach + roundingPixels < std::min(m.x, m.y);
}

} // namespace nivora
