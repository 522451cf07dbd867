#include "render/lines.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "astro/constants.h"
#include "astro/datafile.h"
#include "render/culling.h"
#include "render/pipeline.h"
#include "render/program_records.h"
#include "render/visibility_fill.h"
#include "render/visibility_grid.h"

namespace nivora {

namespace {

constexpr std::size_t segmentsPerPump = 4000;

int sign(double x) { return (x > 0) - (x < 0); }

// A right ascension in 0..360 degrees.
double wrappedDegrees(double degrees)
{
    double a = std::fmod(degrees, 360.0);
    if (a < 0)
        a += 360;
    return a >= 360 ? 0 : a;   // a tiny negative value rounds up to a whole turn
}

struct LineEnd {
    double alpha = 0, delta = 0;   // radians
    double X = 0, Y = 0;
    int box = 0;
};

// The table test: false when both ends' cells show the segment hidden.
bool passesTable(const ProgramRecords& records, const LineEnd& a, const LineEnd& b, bool edgeSkips)
{
    const VisibilityNodes& t = records.drawn.visibility.equatorVisibility[1];
    const auto cell = [&](const LineEnd& e) -> const auto& {
        int i, j;
        visibilityCell(e.alpha, e.delta, i, j);
        return t[std::size_t(std::min(i, 71))][std::size_t(std::min(j, 35))];
    };
    const auto& c1 = cell(a);
    const auto& c2 = cell(b);
    if (c1[cellBelow] > 0 || c2[cellBelow] > 0)
        return false;
    if ((c1[cellOutsideX] == 0 && c1[cellOutsideY] == 0) || (c2[cellOutsideX] == 0 && c2[cellOutsideY] == 0))
        return true;
    if (!edgeSkips)
        return true;
    return !((c1[cellOutsideX] != 0 && c1[cellOutsideX] == c2[cellOutsideX]) ||
             (c1[cellOutsideY] != 0 && c1[cellOutsideY] == c2[cellOutsideY]));
}

class SegmentDrawer {
public:
    explicit SegmentDrawer(ProgramRecords& records) : records_(records) { refresh(); }

    // After events were pumped: the options as they now stand.
    void refresh()
    {
        pipeline_.emplace(records_);
        kind_ = records_.chartOptions.projectionKind;
        dualBox_ = records_.chartView.dualBox == 1;
        tableTest_ = !dualBox_ && cullingOn();
        edgeSkips_ = edgeSkipAllowed(records_, cellSag);
        canvases_ = {boxCanvas(records_, 0), boxCanvas(records_, 1), chartCanvas(records_)};
    }

    void draw(const LineSegment& s, int colour)
    {
        LineEnd e[2];
        if (!readEnd(s.ra1, s.dec1, e[0]) || !readEnd(s.ra2, s.dec2, e[1]))
            return;
        if (tableTest_ && !passesTable(records_, e[0], e[1], edgeSkips_))
            return;
        int sideMark = 0;
        for (int k = 0; k < 2; ++k)
            if (!project(e[k], k, sideMark))
                return;
        if (!withinReach(e[0], e[1]) || crossesSeam(e[0], e[1]))
            return;
        const PointPipeline& p = *pipeline_;
        // A segment between the boxes crosses their common rim, so it may reach into both.
        BitmapArea& canvas = canvases_[std::size_t(e[0].box == e[1].box ? e[0].box : 2)];
        canvas.drawLine(p.pixelX(e[0].X, e[0].box), p.pixelY(e[0].Y), p.pixelX(e[1].X, e[1].box),
                        p.pixelY(e[1].Y), colour);
    }

private:
    static bool readEnd(double raDegrees, double decDegrees, LineEnd& e)
    {
        if (!(std::fabs(decDegrees) <= 90) || !std::isfinite(raDegrees))
            return false;
        e.alpha = wrappedDegrees(raDegrees) / degreesPerRadian;
        e.delta = decDegrees / degreesPerRadian;
        return true;
    }

    // The pipeline for one end, with the projections' own tests; false drops the segment.
    bool project(LineEnd& e, int k, int& sideMark) const
    {
        const PointPipeline& p = *pipeline_;
        DirectionVector w = p.refract(p.catalogueToBase(records_.drawn.sky.icrfToBase, unitVector(e.alpha, e.delta)));
        if (p.belowHorizon(w))
            return false;
        DirectionVector v = p.toChart(w);
        if (kind_ == 6 && v[2] < 0.1)
            return false;
        if (!dualBox_) {
            if (kind_ == 8 && v[2] < 0)
                return false;
            if (kind_ == 7 || kind_ == 9 || kind_ == 13 || kind_ == 15) {
                // Both ends near the back of the map on opposite sides would run across it.
                if (k == 0)
                    sideMark = v[2] < 0.01 ? sign(v[1]) : 0;
                else if (v[2] < 0.01 && sideMark * sign(v[1]) == -1)
                    return false;
            }
        }
        if (dualBox_ && v[2] < 0) {
            v[1] = -v[1];
            v[2] = -v[2];
            e.box = 1;
        }
        p.project(v, e.X, e.Y);
        return true;
    }

    // False when both ends lie beyond the same drawing limit.
    bool withinReach(const LineEnd& a, const LineEnd& b) const
    {
        const ChartGeometry& g = records_.drawn.geometry;
        const double w = g.halfWidthLimit, h = g.halfHeightLimit, dO = g.directionOffset;
        const double y1 = a.Y - dO, y2 = b.Y - dO;
        return !((a.X > w && b.X > w) || (a.X < -w && b.X < -w) || (y1 > h && y2 > h) || (y1 < -h && y2 < -h));
    }

    bool crossesSeam(const LineEnd& a, const LineEnd& b) const
    {
        const double S = records_.userProjection.chartScale;
        const double size = records_.chartView.imageSize;
        const double dx = a.X - b.X, dy = a.Y - b.Y;
        if (kind_ < 4 || kind_ == 10) {
            if (a.X * a.X + a.Y * a.Y > S * S / 5 && dx * dx + dy * dy > S * S / 2)
                return true;
        } else if (kind_ == 4 || kind_ == 11 || kind_ == 12 || kind_ == 14) {
            if (a.X * b.X < -size * size / 6)
                return true;
        } else if (kind_ == 5) {
            if (a.Y * b.Y < -size * size / 6)
                return true;
        }
        if (dualBox_ && a.box != b.box) {
            const ChartLayout& layout = records_.chartLayout;
            const double g = size + layout.marginLeft + layout.marginRight;
            const double gap = a.box == 0 ? b.X + g - a.X : a.X + g - b.X;
            if (gap * gap + dy * dy > size * size / 3)
                return true;
        }
        return false;
    }

    ProgramRecords& records_;
    std::optional<PointPipeline> pipeline_;
    std::vector<BitmapArea> canvases_;   // the first box's, the second's, both boxes'
    ProjectionKind kind_ = 1;
    bool dualBox_ = false;
    bool tableTest_ = true;
    bool edgeSkips_ = true;
};

} // namespace

void constellationLinePass(ProgramRecords& records, const ConstellationChoice& choice)
{
    if (records.chartOptions.constellationLines == 0 && choice.coloringOn == 0)
        return;
    const auto path = records.file(records.dataFileSettings.dataFiles[records.chartView.earthMap & 1][constellationLines]);
    // Parsed whole before drawing: events pumped during the pass never meet an open file.
    std::shared_ptr<const LineFile> file;
    try {
        file = records.lineFiles.file(path);
    } catch (const DataFileError& error) {
        records.ui.alert(error.what());
        return;
    }
    SegmentDrawer drawer(records);
    std::size_t count = 0;
    for (const LineSegment& s : file->segments) {
        if (++count % segmentsPerPump == 0) {
            records.ui.pumpEvents();
            drawer.refresh();
        }
        const bool highlighted = choice.coloringOn == 1 && s.key == choice.highlightKey;
        if (!highlighted && (records.chartOptions.constellationLines == 0 || s.sectionB))
            continue;
        drawer.draw(s, highlighted ? 10 + records.chartOptions.whiteBackground : 1);
    }
    if (!file->complete)
        records.ui.alert(DataFileError(path, file->lineCount + 1, "a second \"#-\" line").what());
}

} // namespace nivora
