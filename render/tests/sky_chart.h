// A sky chart of a place and a UT instant for tests that read what a drawing drew: the pixels,
// the texts with their places and colours, and ERFA's observer at the same instant.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "render/bodymarks.h"
#include "render/drawing.h"
#include "render/tests/erfa_sky.h"
#include "render/tests/render_fixture.h"

namespace nivora::testing_support {

struct Place {
    const char* name;
    double longitude, latitude, altitude;   // degrees, metres
    int year, month, day;                   // month 1-12
    double hourUT;
};

inline std::string number(double v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", v);
    return text;
}

// How many pixels of a colour the rectangle from (x1, y1) to (x2, y2) holds, both included.
inline int countColour(const ChartBitmap& b, int colour, int x1, int y1, int x2, int y2)
{
    int n = 0;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            n += b.pixel(x, y) == colour;
    return n;
}

// A sky chart of the place and UT instant with nothing on it but the solar system: no grids, no
// stars, no lines, refraction off, every planet a disc.
struct SkyChart : TestRecords {
    explicit SkyChart(const Place& p, double magnification = 1) : place(p)
    {
        set("EDIT2", number(p.longitude));
        set("EDIT3", number(p.latitude));
        set("EDIT43", number(p.altitude));
        for (const char* zone : {"EDIT4", "EDIT6"})
            set(zone, "+0");
        for (const char* zone : {"EDIT5", "EDIT7"})
            set(zone, "00");
        set("EDIT8", std::to_string(p.year));
        ui.control("COMBO1").setIndex(p.month - 1);
        set("EDIT9", std::to_string(p.day));
        const double hour = std::floor(p.hourUT);
        set("EDIT10", number(hour));
        set("EDIT11", number((p.hourUT - hour) * 60));
        chartView.magnification = magnification;
        chartOptions.zenithGridStep = chartOptions.equatorGridStep = chartOptions.eclipticGridStep = 0;
        chartOptions.magnitudeLimit = 0;
        chartOptions.constellationLines = 0;
        chartOptions.refractionOn = 0;
        chartOptions.underHorizonDepth = 1.1f;   // marks below the horizon too
        const char* files[] = {"mercury.plt", "venus.plt", "mars.plt", "jupiter.plt",
                               "saturn.plt", "uranus.plt", "neptune.plt"};
        for (int k = 0; k < 7; ++k) {
            planetSettings.planetOrbitFile[k] = files[k];
            planetSettings.planetDisplayMode[k] = 2;
        }
        using K = ControlKind;
        FormSpec planets{"FORM8", "Planets", {}};
        planets.controls.push_back({.kind = K::Edit, .name = "EDIT79", .text = "384400"});
        planets.controls.push_back({.kind = K::Edit, .name = "EDIT106", .text = "1.018"});
        ui.load(planets);
        makeBitmap();
        chartBitmap.recordTexts(&texts);
    }

    static double julianDateUT(const Place& p)
    {
        double jd0, jd1;
        eraCal2jd(p.year, p.month, p.day, &jd0, &jd1);
        return jd0 + jd1 + p.hourUT / 24;
    }
    // ERFA's observer at the place and instant of p, with the Delta-T of the last drawing.
    ErfaObserver observer(const Place& p) const
    {
        const double deltaT = 2451545.0 + drawn.sky.julianCenturies * 36525 - julianDateUT(place);
        const double ut1 = julianDateUT(p);
        return {p.longitude, p.latitude, p.altitude, ut1, ut1 + deltaT};
    }

    // Centres the chart on a horizon-frame direction (azimuth from north through west).
    void centreOn(const DirectionVector& w)
    {
        double lon, lat, r;
        ZENITH(w[0], w[1], w[2], lon, lat, r);
        set("EDIT12", number(lon * degreesPerRadian));
        set("EDIT13", number(lat * degreesPerRadian));
    }

    // Centres the chart on the apparent Moon of the last drawing, or `pixels` above it.
    void centreOnMoon(double pixels = 0)
    {
        centreOn(apparentBody(*this, moonBody).apparent);
        if (pixels != 0)
            set("EDIT13", number(std::stod(ui.control("EDIT13").text()) + pixels * 180 / userProjection.chartScale));
    }

    bool draw()
    {
        texts.clear();
        chartBitmap.clear(0);
        return DRAWINGIMG(*this);
    }

    // Mean position of the pixels of a colour within `half` pixels of (x, y); count 0 when none.
    struct Centroid {
        double x = 0, y = 0;
        int count = 0;
    };
    Centroid centroid(int colour, double x, double y, int half) const
    {
        Centroid c;
        c.count = colourCentre(chartBitmap, colour, x, y, half, c.x, c.y);
        return c;
    }

    // The texts drawn at row y of the side strip.
    std::vector<DrawnText> row(float y) const
    {
        std::vector<DrawnText> found;
        for (const DrawnText& t : texts)
            if (t.y == y && t.x >= panelLeftOf(*this))
                found.push_back(t);
        return found;
    }
    std::string rowText(float y) const
    {
        const auto found = row(y);
        return found.empty() ? std::string() : found.back().text;
    }

    Place place;
    std::vector<DrawnText> texts;
};

} // namespace nivora::testing_support
