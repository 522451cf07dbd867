#include "app/viewpresets.h"

#include <cmath>
#include <string_view>

#include "app/mainwindow.h"
#include "app/program.h"
#include "astro/fieldnumber.h"
#include "options/observation_input.h"

namespace nivora {

namespace {

struct Preset {
    std::string_view button, field, text;
};

// Each writes one field and nothing else. The compass values are azimuths counted from north
// through west, and longitudes in the other frames.
constexpr Preset presets[] = {
    {"BUTTON20", "EDIT13", "+90.0"},  {"BUTTON37", "EDIT13", "+60.0"}, {"BUTTON42", "EDIT13", "+45.0"},
    {"BUTTON38", "EDIT13", "+30.0"},  {"BUTTON39", "EDIT13", "+00.0"}, {"BUTTON40", "EDIT13", "-30.0"},
    {"BUTTON43", "EDIT13", "-45.0"},  {"BUTTON41", "EDIT13", "-60.0"}, {"BUTTON25", "EDIT13", "-90.0"},
    {"BUTTON21", "EDIT12", "+00.0"},  {"BUTTON22", "EDIT12", "+270.0"}, {"BUTTON23", "EDIT12", "+180.0"},
    {"BUTTON24", "EDIT12", "+90.0"},  {"BUTTON33", "EDIT12", "+315.0"}, {"BUTTON34", "EDIT12", "+225.0"},
    {"BUTTON35", "EDIT12", "+135.0"}, {"BUTTON36", "EDIT12", "+45.0"},
};

struct CompassCaption {
    std::string_view button, zenithal, other;
};

constexpr CompassCaption compassCaptions[] = {
    {"BUTTON21", "N", "0"},    {"BUTTON22", "E", "270"},  {"BUTTON23", "S", "180"},  {"BUTTON24", "W", "90"},
    {"BUTTON33", "NE", "315"}, {"BUTTON34", "SE", "225"}, {"BUTTON35", "SW", "135"}, {"BUTTON36", "NW", "45"},
};

// TEXT18, TEXT19, TEXT27, TEXT131 for the zenithal, equatorial and ecliptic frames.
constexpr std::string_view frameCaptions[3][4] = {
    {"Azimuth", "Elavation", "Direct.", "Elev."},
    {"Right Ascension", "Declination", "R.A.", "Dec."},
    {"Celestial-Lng.", "Celestial-Lat.", "Lng.", "Lat."},
};

} // namespace

float magnificationUp(float v) {
    if (v < 0.5f)
        return 0.5f;
    if (v < 10)
        return std::floor(2 * v) / 2 + 0.5f;
    if (v >= 999)
        return 999;
    return std::floor(v) + 1;
}

float magnificationDown(float v) {
    if (v > 999)
        return 999;
    if (v > 10)
        return std::ceil(v) - 1;
    if (v <= 1)
        return 0.5f;
    return std::ceil(2 * v) / 2 - 0.5f;
}

std::optional<double> scopeMagnification(double r, ProjectionKind kind, const ProjectionSetup& setup) {
    if (r < 0.5 || r > 180)
        return std::nullopt;
    if (((kind == 3 || kind == 6) && r > 150) || ((kind == 5 || kind == 8) && r > 90) ||
        (kind == 10 && r >= setup.domainDegrees))
        return std::nullopt;
    if (!(setup.chartScale > 0))
        return std::nullopt;
    // 90 degrees is the limb itself; the decimal pi would put it a hair behind the sphere.
    const double y = r == 90 ? 1 : std::sin(r / degreesPerRadian);
    const double z = r == 90 ? 0 : std::cos(r / degreesPerRadian);
    // The offset grows with the chart scale; at a scale of 1 it stays clear of the bound that
    // marks what the projection cannot show, and so the magnification is the scale's own.
    ProjectionSetup unitScale = setup;
    unitScale.chartScale = 1;
    double X = 0, Y = 0;
    DISPXY(0, y, z, kind, X, Y, unitScale);
    // At 180 degrees the point may fall a hair left of the centre; the radius is what counts.
    // The transverse Mercator pole has no offset of its own, only the image of the pole.
    X = std::fabs(X);
    if (X >= offChartValue || (kind == 5 && X == poleImageValue))
        return std::nullopt;
    const double m = 1 / X / 2;
    if (!(m > 0) || !std::isfinite(m))
        return std::nullopt;
    // Rounding noise of a few units in the last place must not raise an exact 0.5 to 0.501.
    return std::ceil(1000 * m * (1 - 1e-12)) / 1000;
}

std::string magnificationText(double v) { return writeFieldNumber(v).substr(1, 7); }

void relabelDirectionFrame(Ui& ui) {
    const int frame = ui.control("COMBO6").index();
    for (const CompassCaption& c : compassCaptions)
        ui.control(c.button).setCaption(frame == zenithalDirection ? c.zenithal : c.other);
    const auto& captions =
        frameCaptions[frame <= zenithalDirection ? 0 : frame <= icrfEquatorialDirection ? 1 : 2];
    const std::string_view labels[] = {"TEXT18", "TEXT19", "TEXT27", "TEXT131"};
    for (int i = 0; i < 4; ++i)
        ui.control(labels[i]).setCaption(captions[i]);
}

void COMBO6_CHANGE(Ui& ui) { relabelDirectionFrame(ui); }

void BUTTON26_ON(Program& program) {
    Ui& ui = program.ui;
    ui.control("EDIT75").setText("1");
    ui.control("EDIT12").setText("+180.00");
    ui.control("EDIT13").setText("+90.00");
    ui.control("EDIT64").setText("+00.00");
    ui.control("COMBO6").setIndex(0);
    relabelDirectionFrame(ui);
    setNormalLayout(ui);
    chooseOption(program, "IMGCENTER");
    chooseOption(program, "UND0");
    chooseOption(program, "MAG4");
    chooseOption(program, "CONST1");
}

void RADIO27_ON(Program& program) { chooseOption(program, "IMGCENTER"); }

// The horizon on the bottom edge of the half-height box; the centre of the bottom would cut the
// sky off at the centre direction.
void RADIO28_ON(Program& program) { chooseOption(program, "IMGHLZNT"); }

void RADIO29_ON(Program& program) {
    program.ui.control("EDIT75").setText("1");
    chooseOption(program, "IMGCENTER");
    chooseOption(program, "UNDA");
}

void BUTTON47_ON(Ui& ui) {
    ui.control("EDIT75").setText(magnificationText(magnificationUp(ObservationInput(ui).magnification())));
}

void BUTTON48_ON(Ui& ui) {
    ui.control("EDIT75").setText(magnificationText(magnificationDown(ObservationInput(ui).magnification())));
}

void BUTTON46_ON(Program& program) {
    // The radius is read in double precision, unlike the other fields, but the field and the
    // settings file keep it in single.
    const std::string radius = program.ui.control("EDIT76").text();
    if (const std::string fault = numberFieldFault({{"Scope Radius", radius}}); !fault.empty()) {
        program.ui.alert(fault);
        return;
    }
    const std::optional<double> m =
        scopeMagnification(readFieldNumber(radius), program.chartOptions.projectionKind, program.userProjection);
    if (m)
        program.ui.control("EDIT75").setText(magnificationText(*m));
}

void bindViewPresets(Program& program) {
    Ui& ui = program.ui;
    for (const Preset& p : presets) {
        const std::string field(p.field), text(p.text);
        ui.bind(std::string(p.button) + "_ON", [&ui, field, text] { ui.control(field).setText(text); });
    }
    ui.bind("COMBO6_CHANGE", [&ui] { COMBO6_CHANGE(ui); });
    ui.bind("BUTTON26_ON", [&program] { BUTTON26_ON(program); });
    ui.bind("RADIO27_ON", [&program] { RADIO27_ON(program); });
    ui.bind("RADIO28_ON", [&program] { RADIO28_ON(program); });
    ui.bind("RADIO29_ON", [&program] { RADIO29_ON(program); });
    ui.bind("BUTTON47_ON", [&ui] { BUTTON47_ON(ui); });
    ui.bind("BUTTON48_ON", [&ui] { BUTTON48_ON(ui); });
    ui.bind("BUTTON46_ON", [&program] { BUTTON46_ON(program); });
}

} // namespace nivora
