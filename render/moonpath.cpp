#include "render/moonpath.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "astro/constants.h"
#include "astro/seriescache.h"
#include "render/bodymarks.h"
#include "render/culling.h"
#include "render/pipeline.h"
#include "render/program_records.h"

namespace nivora {

namespace {

// Diurnal aberration of the sky chart, then unit length.
void addDiurnal(const ProgramRecords& records, DirectionVector& w)
{
    if (records.chartView.chartMode == skyChartMode && records.chartOptions.diurnalAberrationOn == 1)
        w[1] += records.drawn.sky.diurnalAberration[1];
    normalise(w);
}

// A dot of base-frame vector w where the placer puts it, into the boxes' areas worked out once a
// pass.
void plot(BitmapArea (&boxes)[2], const MarkPlacer& placer, const DirectionVector& w, int colour)
{
    for (const ChartPixel& p : placer.pixels(w))
        boxes[p.box].plotDot(p.x, p.y, colour);
}

// The Earth's turn, radians a day, that carries an observer round in the fourth mode.
constexpr double earthTurnPerDay = 360.98564736 / degreesPerRadian;

// Judges a run of a track's points against what the boxes take in, from one point's base vector
// and the arc every point of the run lies within of it.
class TrackCuller {
public:
    explicit TrackCuller(const ProgramRecords& records) : pipeline_(records), reach_(pipeline_.cullReach()) {}
    RunView view(const DirectionVector& w, double arc) const
    {
        return reach_.angle < pi ? pipeline_.runViewWithin(w, arc, reach_) : RunView::drawn;
    }

private:
    PointPipeline pipeline_;
    DirectionCap reach_;
};

} // namespace

long moonPathPointsPerDay(float chartScale)
{
    // At most 1E8 a day, reached where the field is under a milliarcsecond wide: beyond it the
    // points stand farther apart than 11 pixels rather than a drawing taking minutes. At an
    // infinite scale no point has a place on the chart.
    const double n = std::floor(std::min(double(chartScale) / 50, 1E8));
    return n >= 1 && std::isfinite(chartScale) ? long(n) : 1;
}

void moonPathPass(ProgramRecords& records, double dayNumberTT)
{
    const int mode = records.chartOptions.moonLineMode;
    if (mode < 1 || mode > 4)
        return;
    const SkyFrames& sky = records.drawn.sky;
    const bool skyChart = records.chartView.chartMode == skyChartMode;
    const float chartScale = records.userProjection.chartScale;
    const MarkPlacer placer(records, markBoundary, -markBoundary);
    BitmapArea boxes[2] = {boxCanvas(records, 0), boxCanvas(records, 1)};
    const TrackCuller culler(records);
    // The Moon moves with the Earth: its apparent place is its light-time place, and a map whose
    // frame has no aberration shows that place with the aberration taken out.
    const bool apparentChart = records.chartView.chartMode < mapChartMode || records.drawn.settings.displayFrameIndex % 4 == 0;

    if (mode == 1) {
        const double T = sky.julianCenturies;   // Julian centuries from J2000
        const double node = (double(125.0446f) - 1934.136084 * T + double(0.0021f) * T * T) / degreesPerRadian;
        const double inclination = double(5.1566901f) / degreesPerRadian;
        const double cn = std::cos(node), sn = std::sin(node);
        const double ci = std::cos(inclination), si = std::sin(inclination);
        const RotationMatrix orbit = {{{cn, -sn * ci, sn * si}, {sn, cn * ci, -cn * si}, {0, si, ci}}};
        const RotationMatrix toBase = multiply(sky.meanEclipticToBase, orbit);
        const double stepDegrees = 800 / double(chartScale);
        if (!(stepDegrees > 0) || !std::isfinite(stepDegrees))
            return;
        const auto orbitPoint = [&](long i) {
            const double longitude = double(i) * stepDegrees / degreesPerRadian;
            DirectionVector w = rotate(toBase, {std::cos(longitude), std::sin(longitude), 0});
            w = annualAberrationPlace(w, sky.annualAberration, true, apparentChart);
            addDiurnal(records, w);
            return w;
        };
        const auto judge = [&](long i0, long i1) {
            return culler.view(orbitPoint((i0 + i1 - 1) / 2),
                               double((i1 - i0 + 1) / 2) * stepDegrees / degreesPerRadian);
        };
        const long count = long(std::min(360 / stepDegrees, 1E12)) + 1;
        visitRuns(0, count, 16, judge, [&](long i) { plot(boxes, placer, orbitPoint(i), 14); }, [](long, long) {});
        return;
    }

    const long pointsPerDay = moonPathPointsPerDay(chartScale);
    const int below = 3 - records.chartOptions.whiteBackground;
    const SeriesFrames frames{sky.j2000EclipticToTrueEcliptic, records.drawn.bodies.sunVector, sky.annualAberrationEcliptic};
    // Read once a pass: the cache would look at the file again for every point.
    const std::shared_ptr<const SeriesFile> moonSeries = records.seriesCache.series(records.file("prmmon2.plt"));
    // The light time, days, by which the track's points are taken earlier.
    constexpr double lightTimeDays = double(1.484E-5f);
    // The track's point s of day k, in the base frame; whether it is under the horizon of an
    // observer carried round (mode 4); and how far the Moon is from the observer, km. lambda,
    // beta and distance hold the day's first place.
    struct TrackPoint {
        DirectionVector w;
        bool hidden = false;
        double separation = 0;
    };
    const auto trackPoint = [&](int k, long s, double lambda, double beta, double distance) {
        if (s > 0)
            locateFromSeries(records.tables, frames, *moonSeries,
                             dayNumberTT + k + double(s) / pointsPerDay - lightTimeDays, 0, 0, lambda, beta,
                             distance);
        TrackPoint p{rotate(sky.trueEclipticToTrueEquator, unitVector(lambda, beta)), false, distance};
        DirectionVector& w = p.w;
        if (skyChart && mode == 3) {
            for (int j = 0; j < 3; ++j)
                w[j] = w[j] * distance - sky.observerPositionEquatorial[j];
            p.separation = length(w);
            normalise(w);
        } else if (skyChart && mode == 4) {
            const double alpha = (k + double(s) / pointsPerDay) * 360.98564736 / degreesPerRadian;
            const DirectionVector& o = sky.observerPositionEquatorial;
            const DirectionVector turned = {o[0] * std::cos(alpha) - o[1] * std::sin(alpha),
                                            o[0] * std::sin(alpha) + o[1] * std::cos(alpha), o[2]};
            const double phi = sky.observerLatitude, theta = sky.localSiderealTime + alpha;
            const DirectionVector zenith = {std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta), std::sin(phi)};
            for (int j = 0; j < 3; ++j)
                w[j] = w[j] * distance - turned[j];
            p.separation = length(w);
            normalise(w);
            p.hidden = dot(zenith, w) < 0;
        }
        w = rotate(sky.trueEquatorToBase, annualAberrationPlace(w, sky.annualAberrationEquatorial, true, apparentChart));
        addDiurnal(records, w);
        return p;
    };
    // How fast the Moon can move from the observer, km a day: its own speed, and the speed at
    // which the Earth's turn carries an observer round.
    const DirectionVector& o = sky.observerPositionEquatorial;
    const double relativeSpeed =
        moonSpeedBound + (skyChart && mode == 4 ? earthTurnPerDay * std::hypot(o[0], o[1]) : 0);
    for (int k = -15; k <= 14; ++k) {
        double lambda, beta, distance;
        locateFromSeries(records.tables, frames, *moonSeries, dayNumberTT + k - lightTimeDays, 0, 0, lambda,
                         beta, distance);
        // Every point of a run lies within the arc the Moon's direction from the observer can
        // sweep: the distance it moves over the nearest it can come.
        const auto judge = [&](long s0, long s1) {
            const double days = double((s1 - s0 + 1) / 2) / double(pointsPerDay);
            const TrackPoint middle = trackPoint(k, (s0 + s1 - 1) / 2, lambda, beta, distance);
            const double moved = relativeSpeed * days, nearest = middle.separation - moved;
            return nearest > 0 ? culler.view(middle.w, moved / nearest) : RunView::halved;
        };
        const auto visit = [&](long s) {
            const TrackPoint p = trackPoint(k, s, lambda, beta, distance);
            plot(boxes, placer, p.w, p.hidden ? below : 14);
        };
        visitRuns(0, pointsPerDay, 16, judge, visit, [](long, long) {});
        records.ui.pumpEvents();
    }
}

} // namespace nivora
