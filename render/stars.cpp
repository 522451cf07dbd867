#include "render/stars.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "astro/constants.h"
#include "astro/datafile.h"
#include "render/cell_skip.h"
#include "render/pipeline.h"
#include "render/program_records.h"
#include "render/visibility_grid.h"

namespace nivora {

namespace {

// Records between two looks at the window events: a pass over the faint list stays responsive.
constexpr std::size_t recordsPerPump = 8192;

// How far in longitude a direction within an angle of a star of cell row j may lie, per radian
// of that angle: asin(sin a / cos b) <= a x pi / 2 / cos b for the row's highest latitude b.
class RowSpreads {
public:
    RowSpreads()
    {
        for (int j = 0; j < 36; ++j) {
            const double south = (j - 18) * visibilityGridStep;
            spread_[std::size_t(j)] =
                (pi / 2) / std::cos(std::max(std::fabs(south), std::fabs(south + visibilityGridStep)));
        }
    }
    // Whether every direction within `motion` radians of (alpha, delta) lies in the cell (i, j)
    // of (alpha, delta).
    bool staysInCell(double alpha, double delta, double motion, int i, int j) const
    {
        const double south = (j - 18) * visibilityGridStep;
        if (j >= 36 || !(delta - motion >= south && delta + motion <= south + visibilityGridStep))
            return false;
        const double west = i * visibilityGridStep, spread = motion * spread_[std::size_t(j)];
        return alpha - spread >= west && alpha + spread <= west + visibilityGridStep;
    }

private:
    std::array<double, 36> spread_{};
};

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
    BitmapArea boxes[2] = {boxCanvas(records, 0), boxCanvas(records, 1)};
    const int white = records.chartOptions.whiteBackground;
    const int plainColour = 15 * (1 - white);
    const int highlightColour = 11 - white;
    const bool highlight = brightList && choice.coloringOn == 1;
    const SkyFrames& sky = records.drawn.sky;
    CellSkip cells(
        records, pipeline, [&](const DirectionVector& u) { return pipeline.catalogueToBase(sky.icrfToBase, u); },
        &records.drawn.visibility.equatorVisibility[1]);
    const double motionPerMas = std::fabs(sky.julianCenturies) / 36000 / degreesPerRadian;
    const RowSpreads rows;

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
        // The cells hold what lies in them at the date: a star that its proper motion may have
        // carried out of its catalogue cell is looked up in the cell it has moved into.
        int i, j;
        visibilityCell(alpha, delta, i, j);
        std::optional<DirectionVector> u;
        const double motion = s.shift == 0 ? 0 : (std::fabs(s.pmRaMas) + std::fabs(s.pmDecMas)) * motionPerMas;
        if (motion > 0 && !rows.staysInCell(alpha, delta, motion, i, j)) {
            u = starVector(s, alpha, delta, sky.julianCenturies);
            double movedAlpha = std::atan2((*u)[1], (*u)[0]);
            if (movedAlpha < 0)
                movedAlpha += 2 * pi;
            visibilityCell(movedAlpha, std::asin(std::clamp((*u)[2], -1.0, 1.0)), i, j);
        }
        const float radius = m < dotMagnitude ? scaling * (dotMagnitude - m) * sizeFactor : 0.0f;
        if (cells.hidden(i, j, radius))
            continue;

        if (!u)
            u = starVector(s, alpha, delta, sky.julianCenturies);
        const auto pixel = pipeline.placeCatalogue(sky.icrfToBase, *u);
        if (!pixel)
            continue;
        const int colour = highlight && list.key(s) == choice.highlightKey ? highlightColour : plainColour;
        BitmapArea& box = boxes[pixel->box];
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
