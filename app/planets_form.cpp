#include "app/program.h"
#include "app/sky_object_forms.h"
#include "platform/dialogs.h"
#include "platform/forms.h"

namespace nivora {

namespace {

constexpr const char* planetNames[7] = {"Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune"};

std::string modeRadio(int planet, int mode) { return "RADIO" + std::to_string(78 + 3 * planet + mode); }
std::string fileEdit(int planet) { return "EDIT" + std::to_string(97 + planet); }
std::string planetGroup(int planet) { return "planet" + std::to_string(planet); }

void enableShadowDistance(Ui& ui, bool on)
{
    ui.control("EDIT79").setEnabled(on);
    ui.control("TEXT138").setEnabled(on);
}

} // namespace

void PLNTS_ON(Ui& ui, const PlanetSettings& planets)
{
    for (int i = 0; i < 7; ++i) {
        ui.control(fileEdit(i)).setText(planets.planetOrbitFile[i]);
        const int mode = planets.planetDisplayMode[i];
        if (mode >= 0 && mode <= 2)
            for (int m = 0; m < 3; ++m)
                ui.control(modeRadio(i, m)).setValue(m == mode ? 1 : 0);
    }
    const bool toMoon = planets.earthShadowDistanceMode == 1;
    ui.control("RADIO99").setValue(toMoon ? 1 : 0);
    ui.control("RADIO100").setValue(toMoon ? 0 : 1);
    enableShadowDistance(ui, !toMoon);
    ui.form("FORM8").show();
}

void BUTTON61_ON(Ui& ui, PlanetSettings& planets)
{
    Form form = ui.form("FORM8");
    form.hide();
    for (int i = 0; i < 7; ++i) {
        planets.planetDisplayMode[i] = std::int16_t(form.groupCode(planetGroup(i)));
        planets.planetOrbitFile[i] = ui.control(fileEdit(i)).text();
    }
    planets.earthShadowDistanceMode = std::uint8_t(form.groupCode("shadowDistance"));
}

void bindPlanetsForm(Program& p)
{
    Ui& ui = p.ui;
    ui.bind("PLNTS_ON", [&p] { PLNTS_ON(p.ui, p.planetSettings); });
    ui.bind("BUTTON61_ON", [&p] { BUTTON61_ON(p.ui, p.planetSettings); });
    ui.bind("BUTTON62_ON", [&ui] { ui.form("FORM8").hide(); });
    ui.bind("RADIO99_ON", [&ui] { enableShadowDistance(ui, false); });
    ui.bind("RADIO100_ON", [&ui] { enableShadowDistance(ui, true); });
    for (int i = 0; i < 7; ++i)
        ui.bind("BUTTON" + std::to_string(63 + i) + "_ON", [&p, i] {
            const std::string title = std::string("Orbit data for ") + planetNames[i];
            if (const auto file = p.ui.dialogs().openFile(title, p.planetSettings.planetOrbitFile[i], "(*.plt)"))
                p.ui.control(fileEdit(i)).setText(*file);
        });
}

} // namespace nivora
