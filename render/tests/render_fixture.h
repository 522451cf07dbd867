// A drawing's owner for tests: the shipped start-up tables and series files, a main window with
// the fields a drawing reads at their start-up texts, scripted dialogs and the default bitmap.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "astro/startuptables.h"
#include "platform/dialogs.h"
#include "render/program_records.h"

namespace nivora::testing_support {

inline FormSpec observationFields()
{
    using K = ControlKind;
    FormSpec spec{"MAINFORM", "nivora/planisphere", {}};
    const std::vector<std::pair<const char*, const char*>> edits = {
        {"EDIT2", "+135.0"}, {"EDIT3", "+35.0"},   {"EDIT43", "0"},      {"EDIT42", "0"},
        {"EDIT4", "+9"},     {"EDIT5", "00"},      {"EDIT6", "+9"},      {"EDIT7", "00"},
        {"EDIT8", "2008"},   {"EDIT9", "31"},      {"EDIT10", "23"},     {"EDIT11", "59"},
        {"EDIT19", ""},      {"EDIT12", "+180.00"}, {"EDIT13", "+90.00"}, {"EDIT64", "+00.00"},
        {"EDIT1", "320"},    {"EDIT75", "1"},      {"EDIT76", "90.00"},  {"EDIT63", "20m"},
    };
    for (const auto& [name, text] : edits)
        spec.controls.push_back({.kind = K::Edit, .name = name, .text = text});
    // The labels that name the place and the direction.
    const std::pair<const char*, const char*> labels[] = {
        {"TEXT4", "Longitude(E:+)"}, {"TEXT5", "Latitude(N:+)"}, {"TEXT18", "Azimuth"}, {"TEXT19", "Elavation"}};
    for (const auto& [name, caption] : labels)
        spec.controls.push_back({.kind = K::Label, .name = name, .caption = caption});
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO1",
                             .items = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep",
                                       "Oct", "Nov", "Dec"},
                             .index = 11});
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO2",
                             .items = {"And Andromeda", "Ori Orion", "UMa Ursa Major"}});
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO5",
                             .items = {"Apparent Eqtr.", "True Eqtr.", "Mean Eqtr.", "ICRF Eqtr.",
                                       "Apparent Eclp.", "True Eclp.", "Mean Eclp.", "J2000 Eclp."},
                             .index = 0});
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO6",
                             .items = {"Zenithal coordinate", "Apparent Equatorial", "True Equatorial",
                                       "Mean Equatorial", "ICRF Equatorial", "Apparent Ecliptic",
                                       "True Ecliptic", "Mean Ecliptic", "J2000 Ecliptic"},
                             .index = 0});
    spec.controls.push_back({K::Check, "CHECK2"});
    spec.controls.push_back({K::Check, "CHECK3"});
    spec.controls.push_back({.kind = K::Radio, .name = "RADIO27", .group = "layout", .position = 1, .value = 1});
    spec.controls.push_back({.kind = K::Radio, .name = "RADIO28", .group = "layout", .position = 2});
    spec.controls.push_back({.kind = K::Radio, .name = "RADIO29", .group = "layout", .position = 3});
    return spec;
}

// Reads the shipped data folder; writes nothing.
struct TestRecords : ProgramRecords {
    TestRecords() : ProgramRecords(NIVORA_DATA_DIR)
    {
        ensureApplication();
        tables = loadStartupTables(NIVORA_DATA_DIR);
        ui.load(observationFields());
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        ui.setDialogs(std::move(scripted));
        chartBitmap.create(600, 360);
    }
    void set(const char* control, const std::string& text) { ui.control(control).setText(text); }
    // Makes the bitmap DRAW would make for the view, cleared to black.
    void makeBitmap()
    {
        const ChartView& v = chartView;
        const BitmapExtent e = chartBitmapExtent(v.imageSize, v.dualBox, v.halfHeight, chartLayout);
        chartBitmap.create(int(std::lround(e.width)), int(std::lround(e.height)));
    }
    // Leaves out the grids, which are drawn over the outline and the scale.
    void noGrids()
    {
        chartOptions.zenithGridStep = 0;
        chartOptions.equatorGridStep = 0;
        chartOptions.eclipticGridStep = 0;
    }
    std::vector<std::string> alerts() const { return dialogs->alerts(); }
    ScriptedDialogs* dialogs = nullptr;
};

// Centre of the pixels of one colour within a square of half-side `half` around a point, and how
// many there are; 0 (centre untouched) when none has it.
inline int colourCentre(const ChartBitmap& b, int colour, double x, double y, int half, double& cx,
                        double& cy)
{
    double sx = 0, sy = 0;
    int n = 0;
    for (int j = int(y) - half; j <= int(y) + half; ++j)
        for (int i = int(x) - half; i <= int(x) + half; ++i)
            if (b.pixel(i, j) == colour) {
                sx += i;
                sy += j;
                ++n;
            }
    if (n == 0)
        return 0;
    cx = sx / n;
    cy = sy / n;
    return n;
}

} // namespace nivora::testing_support
