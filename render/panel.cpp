#include "render/panel.h"

#include <cmath>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "astro/fieldnumber.h"
#include "astro/numbertext.h"
#include "astro/timescales.h"
#include "options/observation_input.h"
#include "render/bodymarks.h"
#include "render/drawing.h"
#include "render/program_records.h"

namespace nivora {

namespace {

constexpr int defaultColour = ChartBitmap::currentColour;

// Rows are this far apart, and a row's text fits in it.
constexpr int rowPitch = 18;
// The pole-data block: at most this many rows, from this row down at its lowest place.
constexpr int poleDataRows = 7;
constexpr int lowestPoleDataRow = 432;

// The character of "WEE" or "SNN" for the sign of x.
char signLetter(const char* letters, double x) { return letters[x < 0 ? 0 : x == 0 ? 1 : 2]; }

// A number's shortest text without the blank that stands before a number that is not negative.
std::string bare(float v)
{
    std::string t = writeFieldNumber(v);
    if (!t.empty() && t[0] == ' ')
        t.erase(0, 1);
    return t;
}

std::string equinoxWord(int code)
{
    switch (code) {
    case 1: return "(Apparent)";
    case 2: return "(True)";
    case 3: return "(Mean)";
    case 4: return "(J2000.0)";
    default: return "";
    }
}

std::string gridLegend(int step, const char* one, const char* many, int equinox)
{
    if (step == 0)
        return "";
    std::string t = step == 1 ? one : many + bare(float(step)) + "deg";
    return t + equinoxWord(equinox);
}

void lonLat(const DirectionVector& v, double& lon, double& lat)
{
    double r;
    ZENITH(v[0], v[1], v[2], lon, lat, r);
}

struct PanelWriter {
    BitmapArea bitmap;
    float x;
    void text(float y, const std::string& t, int colour = defaultColour) { bitmap.drawText(x, y, t, colour); }
};

void drawPoleData(ProgramRecords& records, const DrawingWork& work, PanelWriter& out)
{
    const int code = records.readoutOptions.poleDataReadout;
    if (code == 0)
        return;
    const SkyFrames& sky = records.drawn.sky;
    const int unit = records.minuteOptions.commentUnit;
    const bool skyChart = records.chartView.chartMode == skyChartMode;
    const float y0 = float(poleDataRow(records, work));
    auto row = [&](int n, const std::string& t) { out.text(y0 + rowPitch * n, t); };
    // The nutation, signed: the longitude's turn of the ecliptic and the obliquity's change.
    const double dpsi = std::atan2(sky.meanEclipticToTrueEcliptic[1][0], sky.meanEclipticToTrueEcliptic[0][0]);
    const double epsilon = std::atan2(sky.trueEclipticToTrueEquator[2][1], sky.trueEclipticToTrueEquator[1][1]);
    const double deps = epsilon - sky.meanObliquity;
    const float longitudeMode = byUnit(unit, 0, 4, 6);

    switch (code) {
    case 100:
        row(0, "Nutation data");
        row(1, " dLNG:" + DSPSEXA(dpsi, unit == 1 ? 10 : 11, 2));
        row(2, " dLAT:" + DSPSEXA(deps, unit == 1 ? 10 : 11, 2));
        row(3, "Inclination of AXIS");
        row(4, " true AXIS:" + DSPSEXA(sky.meanObliquity + deps, unit == 1 ? 2 : 3, 2));
        row(5, " mean AXIS:" + DSPSEXA(sky.meanObliquity, unit == 1 ? 2 : 3, 2));
        return;
    case 101: {
        double la, ba, ka, ld, bd, kd;
        const DirectionVector& a = sky.annualAberrationEcliptic;
        const DirectionVector& d = sky.diurnalAberration;
        ZENITH(a[0], a[1], a[2], la, ba, ka);
        ZENITH(d[0], d[1], d[2], ld, bd, kd);
        const float maxMode = byUnit(unit, 8, 9, 9);
        row(0, "Annual Aberration");
        row(1, " LNG:" + DSPSEXA(la, longitudeMode, 2));
        row(2, " Max:" + DSPSEXA(std::atan(ka), maxMode, 2));
        row(3, "Diurnal Aberration");
        row(4, " Azm:" + DSPSEXA(ld, longitudeMode, 2));
        row(5, " Max:" + DSPSEXA(std::atan(kd), maxMode, 2));
        return;
    }
    case 102: {
        const double G = GSTH(work.times.dayNumberUT) * pi / 12 + work.times.dayFraction * 2 * pi;
        double e, lat;
        lonLat(column(sky.meanEquatorToTrueEquator, 0), e, lat);
        std::string q;
        const std::string sign = e < 0 ? "-" : "+";
        if (unit == 1)
            q = DSPSEXA(e, 10, 2);
        else if (unit == 2)
            q = sign + DSPSEXA(std::fabs(e), 4, 2).substr(std::min<size_t>(9, DSPSEXA(std::fabs(e), 4, 2).size()));
        else
            q = sign + DSPSEXA(std::fabs(e), 6, 2).substr(std::min<size_t>(7, DSPSEXA(std::fabs(e), 6, 2).size()));
        row(0, "Sidereal Time");
        row(1, "Mean Greenwich:" + DSPSEXA(G, longitudeMode, 1));
        row(2, "True Greenwich:" + DSPSEXA(G + e, longitudeMode, 1));
        row(3, "Equation of Eqnx.:" + q);
        if (skyChart) {
            double meanLocal = G + sky.observerLongitude;
            meanLocal -= std::floor(meanLocal / (2 * pi)) * 2 * pi;
            row(4, "    Mean Local:" + DSPSEXA(meanLocal, longitudeMode, 1));
            row(5, "    True Local:" + DSPSEXA(sky.localSiderealTime, longitudeMode, 1));
        }
        return;
    }
    default: break;
    }
    if (code < 1 || code > 5)
        return;

    const RotationMatrix& tm = sky.trueEquatorToMeanEquator;
    const RotationMatrix& mi = sky.meanEquatorToIcrf;
    const RotationMatrix& ie = records.tables.icrfToJ2000Ecliptic;
    DirectionVector p, q;
    const char *heading, *poleLine, *equinoxLine;
    switch (code) {
    case 1:
        heading = "In Mean Equatorial Coordinate", poleLine = " the True Equatorial Pole", equinoxLine = " the true Exuinox";
        p = column(tm, 2), q = column(tm, 0);
        break;
    case 2:
        heading = "In ICRF Equatorial Coordinate", poleLine = " the True Equatorial Pole", equinoxLine = " the true Exuinox";
        p = rotate(mi, column(tm, 2)), q = rotate(mi, column(tm, 0));
        break;
    case 3:
        heading = "In ICRF Equatorial Coordinate", poleLine = " the Mean Equatorial Pole", equinoxLine = " the mean Exuinox";
        p = column(mi, 2), q = column(mi, 0);
        break;
    case 4: {
        heading = "In J2000.0 Ecliptic Coordinate", poleLine = " the true Ecliptic Pole", equinoxLine = " the true Exuinox";
        const RotationMatrix toEcliptic = multiply(ie, mi);
        p = rotate(toEcliptic, rotate(tm, {0, -std::sin(epsilon), std::cos(epsilon)}));
        q = rotate(toEcliptic, column(tm, 0));
        break;
    }
    default:
        heading = "In J2000.0 Ecliptic Coordinate", poleLine = " the Mean Ecliptic Pole", equinoxLine = " the mean Exuinox";
        p = rotate(multiply(ie, mi), column(sky.meanEclipticToMeanEquator, 2));
        q = rotate(ie, column(mi, 0));
        break;
    }
    const bool ecliptic = code >= 4;
    const char* first = ecliptic ? "  Lng:" : "  R.A:";
    const char* second = ecliptic ? "  Lat:" : "  Dec:";
    const float latitudeMode = byUnit(unit, 2, 3, 3);
    double lon, lat;
    row(0, heading);
    row(1, poleLine);
    lonLat(p, lon, lat);
    row(2, first + DSPSEXA(lon, longitudeMode, 1));
    row(3, second + DSPSEXA(lat, latitudeMode, 1));
    row(4, equinoxLine);
    lonLat(q, lon, lat);
    row(5, first + DSPSEXA(lon, longitudeMode, 1));
    row(6, second + DSPSEXA(lat, latitudeMode, 1));
}

} // namespace

std::string panelDateTime(float year, int monthIndex, float day, float hour, float minute)
{
    const int d = int(day);
    const char* suffix = "th,";
    if (float(d) == day) {
        if (d == 1 || d == 21 || d == 31)
            suffix = "st,";
        else if (d == 2 || d == 22)
            suffix = "nd,";
        else if (d == 3 || d == 23)
            suffix = "rd,";
    }
    const std::string month(monthIndex >= 0 && monthIndex < 12 ? monthName(monthIndex) : "");
    return bare(year) + "/" + month + "/" + bare(day) + suffix + bare(hour) + "h" + bare(minute) + "m.";
}

int poleDataRow(const ProgramRecords& records, const DrawingWork& work)
{
    const ReadoutOptions& readout = records.readoutOptions;
    const bool starOff = !work.addedStar;
    const int orbitMode = records.chartOptions.orbitObjectDisplayMode;
    const bool map = records.chartView.chartMode == mapChartMode;
    const bool noLocation = readout.readoutFrame == 100 || map || (readout.readoutBody == 20 && starOff) ||
                            (readout.readoutBody == 30 && orbitMode == 0);
    const bool neitherObject = starOff && orbitMode == 0;
    return lowestPoleDataRow - 108 * noLocation - 36 * neitherObject - 54 * map;
}

int panelRowsBottom() { return lowestPoleDataRow + poleDataRows * rowPitch; }

void drawInformationPanel(ProgramRecords& records, const DrawingWork& work)
{
    const ObservationInput input(records.ui);
    const ChartOptions& options = records.chartOptions;
    const int wb = options.whiteBackground;
    const bool skyChart = records.chartView.chartMode == skyChartMode;
    const BoxCentres boxes = boxCentres(records.chartView, records.chartLayout, records.drawn.geometry.directionOffset);
    PanelWriter out{panelCanvas(records), float(boxes.panelLeft)};
    BitmapArea& bitmap = out.bitmap;
    const float left = out.x;

    // The direction point on the chart and its legend.
    const float r = float(std::lround(5 * std::sqrt(double(records.chartView.imageSize) / 1000)));
    const float cx = float(boxes.x1), cy = float(boxes.y);
    BitmapArea chart = boxCanvas(records, 0);
    chart.drawLine(cx - r, cy - r, cx + r, cy + r, 11 - wb);
    chart.drawLine(cx + r, cy - r, cx - r, cy + r, 11 - wb);
    bitmap.drawLine(left + 2, 117 - r, left + 2 + 2 * r, 117 + r, 11 - wb);
    bitmap.drawLine(left + 2 + 2 * r, 117 - r, left + 2, 117 + r, 11 - wb);

    // Place and time.
    const float L = input.longitude(), B = input.latitude();
    if (skyChart) {
        out.text(0, std::string("Longitude:") + signLetter("WEE", L) + DSPDCM(std::fabs(L), 3, 4, 1) + "deg,");
        out.text(18, std::string(" Latitude:") + signLetter("SNN", B) + DSPDCM(std::fabs(B), 2, 4, 1) + "deg,");
        const float altitudeKm = input.altitudeMetres() / 1000;
        // Whole centimetres pass the single-precision range from about 3.4E+36 m on, where a
        // float holds no fraction of a metre anyway: the altitude drawn is shown as it is.
        const float centimetres = std::floor(altitudeKm * 100000);
        const float metres = std::isfinite(centimetres) ? centimetres / 100 : input.altitudeMetres();
        std::string a = writeFieldNumber(metres);
        if (altitudeKm >= 0 && !a.empty() && a[0] == ' ')
            a[0] = '+';
        out.text(36, " Altitude:" + a + "meter,");
    } else {
        const bool equatorial = records.drawn.settings.displayFrameIndex < 4;
        out.text(0, std::string(equatorial ? "R.A.of Pole:" : "Lng.of Pole:") + signLetter("WEE", L) +
                        DSPDCM(L, 3, 4, 1) + "deg,");
        out.text(18, std::string(equatorial ? "DEC.of Pole:" : "Lat.of Pole:") + signLetter("SNN", B) +
                         DSPDCM(B, 2, 4, 1) + "deg,");
        static const char* const frames[] = {"(Apparent Eqtr).", "(True Eqtr).",  "(Mean Eqtr).",
                                             "(J2000.0 Eqtr).",  "(Apparent Eclp).", "(True Eclp).",
                                             "(Mean Eclp).",     "(J2000.0 Eclp)."};
        out.text(36, std::string("Star Map Mode") + frames[records.drawn.settings.displayFrameIndex % 8]);
    }
    out.text(54, std::string(skyChart ? "DATE:AD" : "Epoch:AD") +
                     panelDateTime(input.year(), input.monthIndex(), input.day(), input.hour(), input.minute()));

    // The comment in two rows.
    std::string first, rest;
    CMTCUT(work.comment, first, rest, 30);
    out.text(72, first);
    out.text(90, rest);

    // The centre direction and its frame.
    const int frame = records.drawn.settings.directionFrameIndex;
    const std::string t1 = DSPDCM(input.directionLongitude(), 4, 3, 0) + "dg";
    const std::string t2 = DSPDCM(input.directionLatitude(), 3, 3, 0) + "dg";
    std::string centre;
    if (frame == 0)
        centre = ":Az:" + t1 + ",EL:" + t2 + ".";
    else if (frame >= 5)
        centre = ":Lng:" + t1 + ",Lat:" + t2 + ".";
    else
        centre = ":RA:" + t1 + ",Dec:" + t2 + ".";
    bitmap.drawText(left + 2 + 2 * r, 108, centre, defaultColour);
    static const char* const tags[] = {"", "(Apparent)", "    (True)", "    (Mean)", " (J2000.0)"};
    if (frame >= 1 && frame <= 8)
        bitmap.drawText(left + 160, 126, tags[(frame - 1) % 4 + 1], defaultColour);
    if (options.moonLineMode == 1)
        out.text(126, "Moon route(app.)", 14);
    else if (options.moonLineMode == 2)
        out.text(126, "Moon route(prl.)", 14);

    // Legends, each on the next free row, then the projection's name.
    struct Legend {
        std::string text;
        int colour;
    };
    std::vector<Legend> legends;
    const int zenith = options.zenithGridStep;
    legends.push_back({zenith == 1   ? (skyChart ? "Elevation=0deg" : "Zenithal-Equator")
                       : zenith > 1 ? "Zenithal:" + bare(float(zenith)) + "deg"
                                    : "",
                       3 - wb});
    legends.push_back({gridLegend(options.equatorGridStep, "Equator", "Equatorial:", options.equatorGridEquinox), 5 - wb});
    legends.push_back({gridLegend(options.eclipticGridStep, "Ecliptic", "Celestial:", options.eclipticGridEquinox), 13 - wb});
    const int minutes = options.earthGridMinutes;
    std::string earth;
    if (minutes >= 60)
        earth = "Lng. and Lat. of Earth:" + bare(float(minutes / 60.0)) + "deg";
    else if (skyChart)
        earth = minutes == 0 || input.altitudeMetres() / 1000 < double(0.8f)
                    ? "the Horizon"
                    : "Lng. and Lat. of Earth:" + bare(float(minutes)) + "arcm";
    legends.push_back({earth, 11 - wb});
    legends.push_back({std::string(options.projectionKind < projectionNames.size() ? projectionNames[options.projectionKind] : ""),
                       defaultColour});
    int n = 0;
    for (const Legend& legend : legends)
        if (!legend.text.empty())
            out.text(float(144 + 18 * n++), legend.text, legend.colour);

    drawPoleData(records, work, out);
}

} // namespace nivora
