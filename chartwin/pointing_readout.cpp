#include "chartwin/pointing_readout.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/fieldnumber.h"
#include "astro/numbertext.h"
#include "platform/forms.h"
#include "render/pipeline.h"
#include "render/stars.h"

namespace nivora {

namespace {

constexpr int pointingWidth = 448;


std::string picture(const char* format, double value) { return formatPicture(format, value); }

// Record columns (1-based) of a star entry's text, whose first character is its source mark.
std::string recordColumns(const std::string& text, std::size_t first, std::size_t count) {
    const std::size_t at = first;   // text position = column + 1, 0-based = column
    if (at >= text.size())
        return {};
    return text.substr(at, count);
}

class Printer {
public:
    Printer(const ChartWindowRecords& p, const ClickPoint& c, const NearestSearch& n, bool starCode)
        : p_(p), c_(c), n_(n), starCode_(starCode), s_(p.drawn.settings), sky_(p.drawn.sky),
          o_(p.minuteOptions) {}

    PointingReadout run() {
        PointingReadout r;
        const bool observer = s_.drawnChartMode < mapChartMode;
        const bool corrections = (s_.drawnDiurnalAberration == 1 || s_.drawnRefraction == 1) && observer;
        if (c_.measureAngle)
            r.layout = ReadoutLayout::MeasureAngle;
        else if (o_.sunDataFrame == 5)
            r.layout = ReadoutLayout::AllFrames;
        r.pointCommands = c_.onChart;
        const int count = r.layout == ReadoutLayout::Nearest && c_.onChart ? n_.list.nearestCount : 0;
        r.height = pointingHeight(r.layout, c_.onChart, corrections, s_.drawnChartMode == mapChartMode, count);

        pixelLine();
        switch (r.layout) {
        case ReadoutLayout::MeasureAngle:
            measureAngle(corrections);
            break;
        case ReadoutLayout::AllFrames:
            allFrames();
            break;
        case ReadoutLayout::Nearest:
            nearest(count);
            break;
        }
        r.text = std::move(text_);
        return r;
    }

private:
    void put(const std::string& s) { text_ += s; }
    void endLine() { text_ += '\n'; }

    std::string small(double a, int prec) const { return DSPSEXA(a, o_.angleUnit == 1 ? 8 : 9, float(prec)); }
    std::string lon(double a, int unit) const { return coordinateText(a, unit, true); }
    std::string lat(double a, int unit) const { return coordinateText(a, unit, false); }
    std::string distance(double cosine) const { return "(Dst:" + small(angleOfCosine(cosine), 1) + ")"; }

    void pixelLine() {
        put("(x,y)=" + picture("(#####", p_.clickPixel[0]) + "," + picture("#####)", p_.clickPixel[1]));
        endLine();
    }

    void offChart() {
        put("Out of Star Map.");
        endLine();
    }

    void horizonLines() {
        const int u = o_.azElUnit;
        put("Azm:" + lon(c_.pointAzimuth, u));
        endLine();
        put(std::string("Elv:") + (u > 3 ? " " : "") + lat(c_.pointElevation, u));
        endLine();
    }

    void frameLine() {
        static const char* const tags[] = {"", "(apparent).", "(True).", "(Mean).", "(ICRF)."};
        // Without an equator frame chosen there is no frame line.
        if (o_.sunDataFrame < 1 || o_.sunDataFrame > 4)
            return;
        put("RA:" + lon(c_.pointRa, o_.raDecUnit) + ",Dec:" + lat(c_.pointDec, o_.raDecUnit) + tags[o_.sunDataFrame]);
        endLine();
    }

    void icrfLine() {
        put("RA:" + lon(c_.pointRaIcrf, o_.raDecUnit) + ",Dec:" + lat(c_.pointDecIcrf, o_.raDecUnit) + "(ICRF).");
        endLine();
    }

    void aberrationLine() {
        put("Aberration>Annual:" + small(c_.annualAberrationAngle, 2));
        if (s_.drawnDiurnalAberration == 1 && s_.drawnChartMode < mapChartMode)
            put(",Diurnal:" + small(c_.diurnalAberrationAngle, 2));
        put(".");
        endLine();
    }

    void constellationLine() {
        const std::string& name = n_.pointConstellation;
        put(name);
        if (s_.drawnRefraction == 1 && s_.drawnChartMode < mapChartMode && c_.refractionAngle > 0) {
            put("," + std::string(name.size() < 28 ? 28 - name.size() : 0, ' '));
            put("   Refraction:" + small(c_.refractionAngle, 2));
        }
        put(".");
    }

    void measureAngle(bool corrections) {
        if (!c_.onChart) {
            offChart();
        } else {
            horizonLines();
            frameLine();
            icrfLine();
            aberrationLine();
            constellationLine();
            endLine();
        }
        const int mode = o_.angleUnit <= 1 ? 0 : 4;
        put("the Angle from the previous point.");
        endLine();
        put(DSPSEXA(angleBetween(p_.pointedPosition[4], p_.previousPosition[4]), float(mode), 2) + ".");
        endLine();
        if (corrections) {
            put("(with Refraction or Aberration)");
            endLine();
            put(DSPSEXA(angleBetween(p_.pointedPosition[0], p_.previousPosition[0]), float(mode), 2) + ".");
            endLine();
        }
    }

    void allFrames() {
        if (!c_.onChart) {
            offChart();
            return;
        }
        horizonLines();
        const int u = o_.raDecUnit;
        const PointedFrames& f = p_.pointedPosition;
        double a, d, r;
        if (s_.drawnChartMode == skyChartMode) {
            ZENITH(f[1][0], f[1][1], f[1][2], a, d, r);
            const double h = a - sky_.localSiderealTime;
            put("RA:" + lon(h, u) + ",Dec:" + lat(d, u) + "(Local-Eq).");
            endLine();
            put("RA:" + lon(h + sky_.observerLongitude, u) + ",Dec:" + lat(d, u) + "(Grnwch-Eq).");
            endLine();
        }
        const auto line = [&](int frame, const char* lonTitle, const char* latTitle, const char* tag) {
            ZENITH(f[std::size_t(frame)][0], f[std::size_t(frame)][1], f[std::size_t(frame)][2], a, d, r);
            if (a < 0)
                a += 2 * pi;
            put(lonTitle + lon(a, u) + latTitle + lat(d, u) + tag);
            endLine();
        };
        line(1, "RA:", ",Dec:", "(apparent).");
        line(2, "RA:", ",Dec:", "(True).");
        line(3, "RA:", ",Dec:", "(Mean).");
        icrfLine();
        line(5, "Lng:", ",Lat:", "(apparent).");
        line(6, "Lng:", ",Lat:", "(True).");
        line(7, "Lng:", ",Lat:", "(Mean).");
        line(8, "Lng:", ",Lat:", "(J2000.0)");
        aberrationLine();
        constellationLine();
    }

    void nearest(int count) {
        if (!c_.onChart) {
            offChart();
            return;
        }
        horizonLines();
        frameLine();
        icrfLine();
        aberrationLine();
        constellationLine();
        for (int k = 0; k < count; ++k) {
            endLine();
            put(picture("##", k + 1) + ")");
            const std::string& t = n_.list.nearestTexts[std::size_t(k)];
            const double cosine = n_.list.nearestCosines[std::size_t(k)];
            if (t.starts_with("#"))
                dataEntry(t, cosine);
            else if (t.starts_with("P"))
                bodyEntry(t, cosine);
            else
                starEntry(t, cosine);
        }
    }

    // Longitude and latitude of v after the frame that sunDataFrame chooses.
    void equatorLine(DirectionVector v, double cosine) {
        double a, d, r;
        ZENITH(v[0], v[1], v[2], a, d, r);
        put("RA:" + lon(a, o_.raDecUnit) + ",Dec:" + lat(d, o_.raDecUnit) + distance(cosine));
        endLine();
    }

    void bodyEntry(const std::string& t, double cosine) {
        const int i = t.back() - '0';
        if (i < 0 || i > neptuneBody)
            return;
        put(std::string(bodyNames[std::size_t(i)].name));
        endLine();
        const auto& b = p_.drawn.bodies.bodyPositions[std::size_t(i)];
        DirectionVector v = rotate(sky_.trueEclipticToTrueEquator, {b[0], b[1], b[2]});
        v = annualAberrationPlace(v, sky_.annualAberrationEquatorial, !annualAberrationApplies(i), o_.sunDataFrame == 1);
        switch (o_.sunDataFrame) {
        case 3:
            v = rotate(sky_.trueEquatorToMeanEquator, v);
            break;
        case 4:
            v = rotate(sky_.meanEquatorToIcrf, rotate(sky_.trueEquatorToMeanEquator, v));
            break;
        default:
            break;
        }
        equatorLine(v, cosine);
        const double km = b[3];
        if (i == moonBody)
            put("Distance:" + DSPDCM(km, 6, 1, 1) + "km,");
        else
            put("Distance:" + DSPDCM(km / astronomicalUnit, 2, 6, 1) + "AU,");
        const double s = bodyRadii[std::size_t(i)] / km;
        put(" Radius:" + small(std::asin(std::min(s, 1.0)), 1));
    }

    void starEntry(const std::string& t, double cosine) {
        const bool faint = t[0] == '!';
        const std::size_t L = faint ? 1 : 0;
        const std::uint8_t o = n_.properMotionOffset[L];
        const std::string name = recordColumns(t, 55u + o, std::string::npos);
        put(!name.empty() ? name : faint ? "(a dark star)" : "(-----------)");
        endLine();

        StarRecord r;
        r.shift = o;
        r.raDegrees = readFieldNumber(recordColumns(t, 8, 11));
        r.decDegrees = readFieldNumber(recordColumns(t, 20, 10));
        if (o != 0) {
            r.pmRaMas = readFieldNumber(recordColumns(t, 31, 6));
            r.pmDecMas = readFieldNumber(recordColumns(t, 38, 6));
        }
        DirectionVector u = starVector(r, r.raDegrees / degreesPerRadian, r.decDegrees / degreesPerRadian,
                                       sky_.julianCenturies);
        if (o_.sunDataFrame != 4) {
            u = rotate(sky_.icrfToMeanEquator, u);
            if (o_.sunDataFrame != 3) {
                u = rotate(sky_.meanEquatorToTrueEquator, u);
                if (o_.sunDataFrame == 1)
                    for (int k = 0; k < 3; ++k)
                        u[k] += sky_.annualAberrationEquatorial[k];
            }
        }
        equatorLine(u, cosine);

        const auto& titles = n_.starFieldTitles[L];
        if (starCode_) {
            put("No.:" + recordColumns(t, 1, 7) + "," + titles[3] + ":" + recordColumns(t, 49u + o, 5) + ".");
        } else {
            for (std::size_t j = 0; j < 4; ++j)
                put((j ? "," : "") + titles[j] + ":" + recordColumns(t, 31 + 6 * j + o, 5));
        }
    }

    void dataEntry(const std::string& t, double cosine) {
        const OverlaySettings& s = n_.overlay;
        const auto width = [&](DataField f) { return std::size_t(f.width); };
        std::size_t lonLength = width(s.longitude);
        if (s.longitudeUnit == 2)
            lonLength += width(s.longitudeMinutes) + 7;
        else if (s.longitudeUnit == 3)
            lonLength += width(s.longitudeMinutes) + 2;
        std::size_t latLength = width(s.latitude) + (s.latitudeUnit == 2 ? width(s.latitudeMinutes) + 7 : 0);
        const auto piece = [&](std::size_t at, std::size_t n) { return at < t.size() ? t.substr(at, n) : std::string(); };
        const auto fieldLength = [&](const SearchField& f) { return f.on ? f.title.size() + width(f.field) : 0; };

        std::size_t at = 1 + lonLength + latLength;
        for (int k = 1; k < 4; ++k)
            at += fieldLength(s.searchFields[std::size_t(k)]);
        const SearchField& first = s.searchFields[0];
        put(first.on ? piece(at, fieldLength(first)) : "(from DATA FILE)");
        endLine();

        static const char* const lonTitles[] = {"", "Az:", "RA:", "LNG:", "Drc:"};
        static const char* const latTitles[] = {"", ",Elv:", ",Dec:", ",LAT:", ",Elv:"};
        const int fc = s.frameClass >= 1 && s.frameClass <= 4 ? s.frameClass : 1;
        put(lonTitles[fc] + piece(1, lonLength) + latTitles[fc] + piece(1 + lonLength, latLength) + distance(cosine));
        endLine();

        at = 1 + lonLength + latLength;
        bool any = false;
        for (int k = 1; k < 4; ++k) {
            const SearchField& f = s.searchFields[std::size_t(k)];
            if (!f.on)
                continue;
            put((k > 1 ? "," : "") + piece(at, fieldLength(f)));
            at += fieldLength(f);
            any = true;
        }
        if (!any)
            put("-------");
    }

    const ChartWindowRecords& p_;
    const ClickPoint& c_;
    const NearestSearch& n_;
    const bool starCode_;
    const DrawnSettings& s_;
    const SkyFrames& sky_;
    const MinuteOptions& o_;
    std::string text_;
};

} // namespace

int pointingHeight(ReadoutLayout layout, bool onChart, bool observerCorrections, bool mapChart, int nearestCount) {
    switch (layout) {
    case ReadoutLayout::MeasureAngle:
        return observerCorrections ? 223 : 185;
    case ReadoutLayout::AllFrames:
        return !onChart ? 155 : mapChart ? 253 : 291;
    case ReadoutLayout::Nearest:
        break;
    }
    return 155 + 51 * nearestCount;
}

std::string coordinateText(double angle, int unit, bool longitudeLike) {
    int mode;
    if (longitudeLike)
        mode = 4 * (unit == 2) + 6 * (unit == 3) + 1 * (unit == 4) + 5 * (unit == 5);
    else
        mode = unit == 1 || unit == 4 ? 2 : 3;
    return DSPSEXA(angle, float(mode), 1);
}

PointingReadout pointingReadout(const ChartWindowRecords& p, const ClickPoint& click,
                                const NearestSearch& nearest, bool starCode) {
    return Printer(p, click, nearest, starCode).run();
}

void showReadout(ChartWindowRecords& p, const ClickPoint& click, const NearestSearch& nearest) {
    Ui& ui = p.ui;
    const bool starCode = ui.formValue("FORM5", "RADIO54") == 1;
    const PointingReadout r = pointingReadout(p, click, nearest, starCode);
    for (const char* name : {"BUTTON19", "BUTTON76", "CHECK13", "BUTTON75", "EDIT105"})
        ui.control(name).setEnabled(true);
    if (!r.pointCommands) {
        ui.control("BUTTON19").setEnabled(false);
        ui.control("BUTTON76").setEnabled(false);
    }
    if (r.layout == ReadoutLayout::MeasureAngle)
        ui.control("CHECK13").setValue(0);
    Form window = ui.form("FORM6");
    window.clearText();
    std::size_t from = 0;
    while (true) {
        const std::size_t end = r.text.find('\n', from);
        if (end == std::string::npos) {
            window.print(std::string_view(r.text).substr(from), false);
            break;
        }
        window.print(std::string_view(r.text).substr(from, end - from), true);
        from = end + 1;
    }
    window.fitText(pointingWidth, r.height);
    window.show();
}

} // namespace nivora
