#include "render/stars.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/datafile.h"
#include "render/pipeline.h"
#include "render/program_records.h"
#include "render/visibility_fill.h"
#include "render/visibility_grid.h"

namespace nivora {

namespace {

// Records between two looks at the window events: a pass over the faint list stays responsive.
constexpr std::size_t recordsPerPump = 8192;

} // namespace

DirectionVector starVector(const StarRecord& s, double alpha, double delta, double julianCenturies) {
    if (s.shift == 0)
        return {std::cos(alpha) * std::cos(delta), std::sin(alpha) * std::cos(delta), std::sin(delta)};
    const double muAlpha = s.pmRaMas * julianCenturies / 36000 / degreesPerRadian;
    const double muDelta = s.pmDecMas * julianCenturies / 36000 / degreesPerRadian;
    const double d = delta + muDelta;
    const double x = std::cos(alpha) * std::cos(d) - std::sin(alpha) * muAlpha;
    const double y = std::sin(alpha) * std::cos(d) + std::cos(alpha) * muAlpha;
    const double z = std::sin(d);
    const double length = std::sqrt(x * x + y * y + z * z);
    return {x / length, y / length, z / length};
}

void drawStarList(ProgramRecords& records, const StarList& list, bool brightList,
                  const ConstellationChoice& choice) {
    const PointPipeline pipeline(records);
    const float limit = records.chartOptions.magnitudeLimit;
    const float scaling = records.minuteOptions.starScaling;
    const float dotMagnitude = records.minuteOptions.dotMagnitude;
    const float sizeFactor = records.drawn.geometry.starSizeFactor;
    const int white = records.chartOptions.whiteBackground;
    const int plainColour = 15 * (1 - white);
    const int highlightColour = 11 - white;
    const bool highlight = brightList && choice.coloringOn == 1;
    const bool dualBox = records.chartView.dualBox == 1;
    // A cell's outside codes are trusted only while the cell cannot sag into the box.
    const bool outsideSkips = !dualBox && edgeSkipAllowed(records, cellSag);
    const bool tableSkips = !records.visibilitySkipsOff;
    const VisibilityNodes& cells = records.drawn.visibility.equatorVisibility[1];
    const SkyFrames& sky = records.drawn.sky;

    std::size_t count = 0;
    for (const StarRecord& s : list.records) {
        if (++count % recordsPerPump == 0)
            records.ui.pumpEvents();
        const float m = s.magnitude;
        if (m >= limit)
            continue;
        if (!(std::abs(s.decDegrees) <= 90))
            continue;
        double raDegrees = std::fmod(s.raDegrees, 360.0);
        if (raDegrees < 0)
            raDegrees += 360;
        if (raDegrees >= 360)   // a tiny negative value rounds up to a whole turn
            raDegrees = 0;
        const double alpha = raDegrees / degreesPerRadian;
        const double delta = s.decDegrees / degreesPerRadian;
        int i, j;
        visibilityCell(alpha, delta, i, j);
        if (tableSkips && cellHidden(cells, i, j, !outsideSkips))
            continue;

        const auto pixel = pipeline.placeCatalogue(sky.icrfToBase, starVector(s, alpha, delta, sky.julianCenturies));
        if (!pixel)
            continue;
        const float radius = m < dotMagnitude ? scaling * (dotMagnitude - m) * sizeFactor : 0.0f;
        const int colour = highlight && list.key(s) == choice.highlightKey ? highlightColour : plainColour;
        BitmapArea box = boxCanvas(records, pixel->box);
        if (radius < 0.5f)
            box.plotDot(pixel->x, pixel->y, colour);
        else
            box.drawCircle(pixel->x, pixel->y, radius, colour, 1, 0, 0, colour);
    }
}

void drawStars(ProgramRecords& records, const ConstellationChoice& choice) {
    const float limit = records.chartOptions.magnitudeLimit;
    if (limit == 0)
        return;
    const auto& names = records.dataFileSettings.dataFiles[records.chartView.earthMap & 1];
    const auto pass = [&](int kind, bool brightList) {
        try {
            const auto list = records.starLists.list(records.file(names[std::size_t(kind)]));
            drawStarList(records, *list, brightList, choice);
        } catch (const DataFileError& error) {
            records.ui.alert(error.what());
        }
    };
    if (limit >= 6)
        pass(secondStarList, false);
    pass(firstStarList, true);
}

} // namespace nivora
