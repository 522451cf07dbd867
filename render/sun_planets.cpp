#include "render/sun_planets.h"

#include <cmath>
#include <string>

#include "astro/constants.h"
#include "astro/numbertext.h"
#include "render/bodymarks.h"
#include "render/program_records.h"

namespace nivora {

void drawPlanets(ProgramRecords& records)
{
    const int wb = records.chartOptions.whiteBackground;
    const int colour = 7 - wb;
    const int size = records.chartView.imageSize;
    const ReadoutOptions& readout = records.readoutOptions;
    for (int k = 0; k < 7; ++k) {
        const int b = k + 2;
        const auto& entry = records.drawn.bodies.bodyPositions[b];
        if (!(entry[3] > 0))
            continue;
        const int mode = records.planetSettings.planetDisplayMode[k];
        if (mode > 0) {
            const ApparentBody body = apparentBody(records, b);
            if (!body.hidden) {
                const bool cross = mode == 1;
                const float r = cross ? crossHalfSize(size) : std::sqrt(float(size)) / 6;
                for (const ChartPixel& p : bodyMarkPixels(records, body.base)) {
                    BitmapArea box = boxCanvas(records, p.box);
                    drawMark(box, cross ? MarkKind::cross : MarkKind::disc, p.x, p.y, r, colour);
                    box.drawText(p.x - r - 15, p.y - r - 15, bodyNames[b].code, colour);
                }
            }
        }
        if (b == readout.readoutBody && readout.readoutFrame < 20)
            panelCanvas(records).drawText(
                panelLeftOf(records), parallaxRow,
                " Parallax:" + DSPSEXA(entry[4], records.minuteOptions.commentUnit == 1 ? 8 : 9, 2), colour);
    }
}

SunPlace drawSunDisc(ProgramRecords& records)
{
    const auto& entry = records.drawn.bodies.bodyPositions[sunBody];
    SunPlace sun;
    sun.semiDiameter = semiDiameter(sunRadius, entry[3]);
    const ApparentBody body = apparentBody(records, sunBody);
    double r;
    ZENITH(body.apparent[0], body.apparent[1], body.apparent[2], sun.azimuth, sun.elevation, r);
    const int mode = records.chartOptions.sunDisplayMode;
    if (mode == 0 || (body.hidden && !trueSizeMode(mode)) || !(entry[3] > 0))
        return sun;
    drawSunMoonMark(records, body, mode, sun.semiDiameter, 13 - records.chartOptions.whiteBackground);
    return sun;
}

std::string_view twilightWord(double elevation, float semiDiameter)
{
    if (elevation + semiDiameter > 0)
        return "Daylight.";
    const double degrees = elevation * degreesPerRadian;
    if (degrees > double(-7.3611f))
        return "Twilight.";
    if (degrees > -18)
        return "Astronomial Twilight.";
    return "Night.";
}

std::string azimuthElevationText(double azimuth, double elevation)
{
    if (azimuth < 0)
        azimuth += 2 * pi;
    return "Az:" + DSPDCM(azimuth * degreesPerRadian, 3, 2, 1) + "deg," + "El:" +
           DSPDCM(elevation * degreesPerRadian, 3, 2, 0) + "deg.";
}

void drawSunLines(ProgramRecords& records, const SunPlace& sun)
{
    const int colour = 13 - records.chartOptions.whiteBackground;
    const float x = panelLeftOf(records);
    BitmapArea bitmap = panelCanvas(records);
    bitmap.drawText(x, twilightRow, twilightWord(sun.elevation, sun.semiDiameter), colour);
    bitmap.drawText(x, sunRow, "Sun:" + azimuthElevationText(sun.azimuth, sun.elevation), colour);
    const ReadoutOptions& readout = records.readoutOptions;
    const auto& entry = records.drawn.bodies.bodyPositions[sunBody];
    if (readout.readoutBody == sunBody && readout.readoutFrame < 20 && entry[3] > 0)
        bitmap.drawText(x, parallaxRow,
                        " Parallax:" + DSPSEXA(entry[4], records.minuteOptions.commentUnit == 1 ? 8 : 9, 2),
                        colour);
}

} // namespace nivora
