#include "render/drawing.h"
#include "render/centring.h"

#include <algorithm>
#include <cmath>

#include "astro/datafile.h"
#include "options/observation_input.h"
#include "render/compass.h"
#include "render/earthlines.h"
#include "render/grids.h"
#include "render/lines.h"
#include "render/moon_shadow.h"
#include "render/moonpath.h"
#include "render/orbit_object.h"
#include "render/panel.h"
#include "render/program_records.h"
#include "render/location_readout.h"
#include "render/stars.h"
#include "render/sun_planets.h"
#include "render/visibility_fill.h"

namespace nivora {

namespace {

void setFontFromKind(ProgramRecords& records)
{
    switch (records.dataFileSettings.fontKind) {
    case 1: records.chartBitmap.setFont("Courier New", 14); break;
    case 2: records.chartBitmap.setFont("ＭＳ ゴシック", 16); break;
    default: break;   // keeps the font of the last drawing
    }
}

void freezeSettings(ProgramRecords& records)
{
    DrawnSettings& s = records.drawn.settings;
    s.drawnChartMode = records.chartView.chartMode;
    s.drawnEarthMap = records.chartView.earthMap;
    s.drawnMagnitudeLimit = records.chartOptions.magnitudeLimit;
    s.drawnRefraction = records.chartOptions.refractionOn;
    s.drawnDiurnalAberration = records.chartOptions.diurnalAberrationOn;
    s.drawnProjection = records.chartOptions.projectionKind;
}

// A list index as a code of at most `last`; nothing chosen reads as the first entry.
std::uint8_t listCode(int index, int last) { return std::uint8_t(std::clamp(index, 0, last)); }

// Steps 1 to 9 and the hooks of the later steps; throws DataFileError from the series files.
void drawChart(ProgramRecords& records)
{
    Ui& ui = records.ui;
    const ObservationInput input(ui);
    DrawingState& drawn = records.drawn;
    DrawingWork work;

    // 1. Font, the settings the chart is drawn with, the first geometry, the display frame.
    setFontFromKind(records);
    freezeSettings(records);
    setChartGeometry(records);
    drawn.settings.displayFrameIndex = listCode(input.displayFrame(), 7);

    // 2. Sky frames for the typed date and place.
    work.times = setUpSkyFrames(records, drawn.sky);
    work.comment = input.comment();
    ui.pumpEvents();

    // 3. Sun, Moon, antisolar point and planets.
    {
        BodyTableResult bodies = fillBodyTable(records, drawn.sky, drawn.bodies, work.times.dayNumberTT);
        work.readout = bodies.readout;
        for (const std::string& message : bodies.planetFileErrors)
            ui.alert(message);
    }
    ui.pumpEvents();

    // 4. Base matrices.
    setBaseMatrices(drawn.sky, records.chartView.chartMode, drawn.settings.displayFrameIndex, records.tables);

    // 5. Direction frame, constellation choice and centring, centre direction, orientation.
    drawn.settings.directionFrameIndex = listCode(input.directionFrame(), 8);
    {
        const int apply = input.centralizing();
        ConstellationChoice& choice = work.choice;
        choice.coloringOn = input.coloring();
        const int index = input.constellationIndex();
        if (index == -1)
            choice.coloringOn = 0;
        if (choice.coloringOn == 1)
            choice.highlightKey = input.constellationItem().substr(0, 3);
        if (apply == 1 || choice.coloringOn == 1) {
            if (records.drawingHooks.centralize)
                records.drawingHooks.centralize(records, apply, index);
            else
                CENTRALIZE(records, apply, index);
            ui.control("CHECK3").setValue(0);
        }
    }
    setCentreDirection(drawn.sky, input, drawn.settings.directionFrameIndex, records.chartView.chartMode,
                       drawn.settings.displayFrameIndex, records.chartOptions.refractionOn,
                       records.chartOptions.diurnalAberrationOn);
    orientChart(drawn.sky, records.chartOptions.verticalDirection, drawn.settings.drawnEarthMap == 1);

    // 6. The centre under the horizon; the added star's direction.
    if (directionUnderHorizon(drawn.sky, records.chartView.chartMode, records.chartOptions.underHorizonDepth))
        ui.alert("The Direction is under the Horizen.");
    if (ui.formValue("FORM9", "CHECK1") == 1) {
        work.addedStar = captureAddedStar(records);
        const AddedStar& star = work.addedStar->star;
        work.addedStarValid = star.status == AddedStarStatus::ok;
        work.addedStarDirection = star.v;
        work.addedStarDistance = star.dist;
        work.addedStarFrame = work.addedStar->frame;
    }
    ui.pumpEvents();

    // 7. Where the chart centre sits in its box, the box centres and the panel's edge.
    drawn.geometry.directionOffset = directionOffsetFor(records, drawn.sky);
    work.boxes = boxCentres(records.chartView, records.chartLayout, drawn.geometry.directionOffset);

    // 8. The outline of the map.
    drawOutline(records, work.boxes);

    // 9. "Coordinates from the Center".
    drawCenterCoordinates(records, work.boxes);
    ui.pumpEvents();

    // 10. Visibility tables.
    visibilityGridFill(records);
    ui.pumpEvents();

    // 11. Earth longitude and latitude lines, the Moon's path.
    earthLinesPass(records);
    moonPathPass(records, work.times.dayNumberTT);
    ui.pumpEvents();
    // 12. Grids with their numbering, compass points and the visible horizon.
    gridPass(records);
    ui.pumpEvents();
    compassPass(records, work.times.horizon);
    ui.pumpEvents();
    // 13. Constellation lines, or coast and boundary lines of the Earth map.
    constellationLinePass(records, work.choice);
    ui.pumpEvents();

    // 14. Information panel.
    drawInformationPanel(records, work);
    ui.pumpEvents();
    // 15. The object of the orbital elements.
    drawOrbitObject(records, work.times, work.addedStar.has_value());
    work.orbitObjectValid = drawn.orbitObject.valid;
    work.orbitObjectPosition = drawn.orbitObject.position;
    ui.pumpEvents();
    // 16. Sky chart only: planets, the readout body's location, the Sun's disc, the antisolar
    //     point or the Earth's shadow, the Sun's azimuth and twilight lines, the Moon.
    if (records.chartView.chartMode == skyChartMode) {
        drawPlanets(records);
        drawLocationReadout(records, work);
        const SunPlace sun = drawSunDisc(records);
        drawAntisolar(records, work.times.dayNumberTT);
        drawSunLines(records, sun);
        drawMoon(records);
        ui.pumpEvents();
    }

    // 17. The data-file overlay; its error flag is not examined.
    if (ui.formValue("FORM4", "CHECK4") == 1 && records.drawingHooks.overlay)
        records.drawingHooks.overlay(records);
    ui.pumpEvents();

    // 18. Stars of the two star lists and the added star.
    drawStars(records, work.choice);
    if (work.addedStar && records.chartOptions.magnitudeLimit != 0)
        drawAddedStar(records, *work.addedStar);
}

} // namespace

bool DRAWINGIMG(ProgramRecords& records)
{
    const ChartView& view = records.chartView;
    if (view.imageSize < 1 || !(view.magnification > 0) || !std::isfinite(view.magnification) ||
        records.chartBitmap.empty())
        return false;
    Ui::DrawingScope scope(records.ui);
    // A series file that fails leaves the state of the last complete drawing for the click.
    const DrawingState previous = records.drawn;
    const float previousScale = records.userProjection.chartScale;
    try {
        drawChart(records);
        records.drawn.chartDrawn = true;
    } catch (const DataFileError& error) {
        records.drawn = previous;
        records.userProjection.chartScale = previousScale;
        records.ui.alert(error.what());
        return false;
    }
    return true;
}

} // namespace nivora
