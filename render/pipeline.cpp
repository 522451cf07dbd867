#include "render/pipeline.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "render/program_records.h"

namespace nivora {

bool annualAberrationApplies(int bodyIndex) { return bodyIndex != moonBody; }

DirectionVector annualAberrationPlace(const DirectionVector& u, const DirectionVector& v, bool movesWithEarth,
                                      bool apparent)
{
    if (movesWithEarth && !apparent) {
        DirectionVector freed;
        INVABER(u, v, freed);
        return freed;
    }
    if (!movesWithEarth && apparent)
        return normalised(plus(u, v));
    return u;
}

DirectionVector catalogueVector(double alphaDegrees, double deltaDegrees)
{
    return unitVector(alphaDegrees / degreesPerRadian, deltaDegrees / degreesPerRadian);
}

PointPipeline::PointPipeline(const ProgramRecords& records, PipelineTests tests)
    : records_(records), tests_(tests)
{
    const ChartOptions& options = records.chartOptions;
    const SkyFrames& sky = records.drawn.sky;
    const DrawnSettings& drawn = records.drawn.settings;
    chartMode_ = tests.asDrawn ? drawn.drawnChartMode : records.chartView.chartMode;
    const bool skyChart = chartMode_ == skyChartMode;
    const bool diurnalOn = (tests.asDrawn ? drawn.drawnDiurnalAberration : options.diurnalAberrationOn) == 1;
    const bool refractionOn = (tests.asDrawn ? drawn.drawnRefraction : options.refractionOn) == 1;
    catalogueAnnual_ = chartMode_ < mapChartMode || drawn.displayFrameIndex % 4 == 0;
    diurnal_ = chartMode_ < mapChartMode && diurnalOn;
    bodyDiurnal_ = skyChart && diurnalOn;
    refraction_ = tests.refraction && skyChart && refractionOn;
    horizonLimit_ = -sky.horizonDipSine - double(options.underHorizonDepth);
    tests_.horizonCut = tests.horizonCut && skyChart;
    dualBox_ = records.chartView.dualBox == 1;
    projection_ = tests.asDrawn ? drawn.drawnProjection : options.projectionKind;
    boxes_ = boxCentres(records.chartView, records.chartLayout, records.drawn.geometry.directionOffset);
}

DirectionVector PointPipeline::catalogueToBase(const RotationMatrix& toBase, const DirectionVector& u) const
{
    DirectionVector w = rotate(toBase, u);
    if (catalogueAnnual_) {
        const SkyFrames& sky = records_.drawn.sky;
        for (int i = 0; i < 3; ++i)
            w[i] += sky.annualAberration[i];
        if (diurnal_)
            w[1] += sky.diurnalAberration[1];
        normalise(w);
    }
    return w;
}

DirectionVector PointPipeline::bodyToBase(int bodyIndex, const DirectionVector& u) const
{
    const SkyFrames& sky = records_.drawn.sky;
    const DirectionVector e =
        annualAberrationPlace(u, sky.annualAberrationEcliptic, !annualAberrationApplies(bodyIndex), true);
    DirectionVector w = rotate(sky.trueEclipticToBase, e);
    if (bodyDiurnal_) {
        w[1] += sky.diurnalAberration[1];
        normalise(w);
    }
    return w;
}

DirectionVector PointPipeline::bodyToBase(int bodyIndex) const
{
    const auto& entry = records_.drawn.bodies.bodyPositions[bodyIndex];
    return bodyToBase(bodyIndex, {entry[0], entry[1], entry[2]});
}

DirectionVector PointPipeline::refract(DirectionVector w) const
{
    if (refraction_)
        w[2] += REFRACTCUL(w[2], records_.drawn.sky.horizonDipSine);
    return w;
}

double PointPipeline::refractionSpread(double zLow, double zHigh) const
{
    if (!refraction_)
        return 0;
    // The lift falls as z rises, but for a step up from 0 at its cut-off below the horizon and
    // one where its two formulas meet, at 0.22 of the way from the dipped horizon to the zenith;
    // it never passes 0.021.
    const double k = records_.drawn.sky.horizonDipSine;
    const double low = REFRACTCUL(zLow, k), high = REFRACTCUL(zHigh, k);
    if (low == 0 && high > 0)
        return 0.021;
    const double meet = double(0.22f);
    const double uLow = (k + zLow) / (k + 1), uHigh = (k + zHigh) / (k + 1);
    const bool acrossTheMeet = uLow < meet * (1 + 1E-9) && uHigh >= meet * (1 - 1E-9);
    const double step = double(refractionHighCoefficient) / meet -
                        double(refractionLowCoefficient) /
                            std::pow(meet + double(refractionLowOffset), double(refractionLowExponent));
    // And the rounding of z raised by its lift.
    return std::max(0.0, low - high) + (acrossTheMeet ? std::fabs(step) : 0) + 1E-15;
}

bool PointPipeline::belowHorizon(const DirectionVector& w, double margin) const
{
    return tests_.horizonCut && w[2] < horizonLimit_ - margin;
}

DirectionVector PointPipeline::toChart(const DirectionVector& w) const
{
    return rotate(records_.drawn.sky.baseToChart, w);
}

void PointPipeline::project(const DirectionVector& v, double& X, double& Y) const
{
    DISPXY(v[0], v[1], v[2], projection_, X, Y, records_.userProjection);
}

bool PointPipeline::withinLimits(double X, double Y, bool strict) const
{
    const ChartGeometry& g = records_.drawn.geometry;
    const double x = std::fabs(X), y = std::fabs(Y - g.directionOffset);
    if (strict)
        return x < g.halfWidthLimit && y < g.halfHeightLimit;
    return x <= g.halfWidthLimit && y <= g.halfHeightLimit;
}

DirectionCap PointPipeline::limitReach() const
{
    const ChartGeometry& g = records_.drawn.geometry;
    return rectangleCap(projection_, records_.userProjection, g.halfWidthLimit, g.halfHeightLimit, g.directionOffset);
}

DirectionCap PointPipeline::cullReach() const
{
    if (!dualBox_)
        return limitReach();
    const ChartGeometry& g = records_.drawn.geometry;
    const ChartLayout& layout = records_.chartLayout;
    const double halfWidth =
        std::max(double(g.halfWidthLimit), g.boxHalfWidth + double(std::max(layout.marginLeft, layout.marginRight)));
    const double halfHeight =
        std::max(double(g.halfHeightLimit), g.boxHalfHeight + double(std::max(layout.marginTop, layout.marginBottom)));
    return rectangleCap(projection_, records_.userProjection, halfWidth, halfHeight, g.directionOffset);
}

RunView PointPipeline::runView(const DirectionVector& v, double d, const DirectionCap& reach, bool bothBoxes)
{
    const double r = length(v);
    if (!(d < r))
        return RunView::halved;
    const auto from = [&](const DirectionVector& c) { return std::atan2(length(cross(v, c)), dot(v, c)); };
    const DirectionVector& c = reach.centre;
    double angle = from(c);
    if (bothBoxes)
        angle = std::min(angle, from({c[0], -c[1], -c[2]}));
    const double stray = std::asin(d / r);
    if (angle - stray > reach.angle)
        return RunView::hidden;
    return angle + stray <= reach.angle || stray < reach.angle / 8 ? RunView::drawn : RunView::halved;
}

RunView PointPipeline::runViewWithin(const DirectionVector& w, double arc, const DirectionCap& reach) const
{
    const double stretched = 1.001 * arc;
    const double d = stretched + refractionSpread(w[2] - stretched, w[2] + stretched) + 1E-12;
    return runView(toChart(refract(w)), d, reach, dualBox_);
}

std::optional<ChartPixel> PointPipeline::place(DirectionVector w) const
{
    w = refract(w);
    if (belowHorizon(w))
        return std::nullopt;
    DirectionVector v = toChart(w);
    int box = 0;
    if (dualBox_ && v[2] < tests_.secondBoxBelow) {
        v[1] = -v[1];
        v[2] = -v[2];
        box = 1;
    }
    ChartPixel p;
    project(v, p.X, p.Y);
    if (tests_.limitCut && !withinLimits(p.X, p.Y))
        return std::nullopt;
    p.box = box;
    p.x = pixelX(p.X, box);
    p.y = pixelY(p.Y);
    return p;
}

} // namespace nivora
