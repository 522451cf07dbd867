#include "app/chartmodes.h"

#include <string_view>

#include "app/data_files.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "app/settings_file.h"
#include "astro/fieldnumber.h"
#include "options/observation_input.h"
#include "options/option_menu_bar.h"
#include "options/option_menus.h"

namespace nivora {

namespace {

void setText(Ui& ui, std::string_view control, std::string_view text) { ui.control(control).setText(text); }

void enable(Ui& ui, std::initializer_list<std::string_view> controls, bool on) {
    for (std::string_view name : controls)
        ui.control(name).setEnabled(on);
}

void setMapCaptions(Ui& ui) {
    ui.control("TEXT1").setCaption("RA and DEC of The Upper Pole");
    ui.control("TEXT4").setCaption("RightAscension");
    ui.control("TEXT5").setCaption("Declination");
    ui.control("TEXT2").setCaption("Epoch");
    enable(ui, {"TEXT86", "TEXT87", "TEXT174", "EDIT42", "COMBO5"}, true);
    // A map has no observer to measure an added star's distance from.
    enable(ui, {"CHECK11", "RADIO50", "RADIO51", "EDIT62"}, false);
}

void setSkyCaptions(Ui& ui) {
    ui.control("TEXT1").setCaption("The Place of Sight");
    ui.control("TEXT4").setCaption("Longitude(E:+)");
    ui.control("TEXT5").setCaption("Latitude(N:+)");
    ui.control("TEXT2").setCaption("Date and Time");
    enable(ui, {"TEXT86", "TEXT87", "TEXT174", "EDIT42"}, false);
    setText(ui, "EDIT42", "+0.0");
    ui.control("COMBO5").setEnabled(false);
    ui.control("COMBO5").setIndex(apparentEquatorDisplay);
    if (ui.control("CHECK1").value() == 1) {
        ui.control("CHECK11").setEnabled(true);
        enable(ui, {"RADIO50", "RADIO51", "EDIT62"}, ui.control("CHECK11").value() == 1);
    }
}

void turnDirectionLongitude(Ui& ui) {
    setText(ui, "EDIT12", turnedLongitudeText(ObservationInput(ui).directionLongitude()));
}

void setMapPole(Ui& ui) {
    setText(ui, "EDIT2", "+180.0");
    setText(ui, "EDIT3", "+90.0");
    setText(ui, "EDIT19", "");
}

EarthMapPreferences preferencesOf(const Program& p) {
    const MinuteOptions& minute = p.minuteOptions;
    return {minute.azElUnit, minute.raDecUnit, p.chartOptions.centralizeWeighting, minute.sunDataFrame};
}

void setPreferences(Program& p, const EarthMapPreferences& preferences) {
    MinuteOptions& minute = p.minuteOptions;
    minute.azElUnit = preferences.azElUnit;
    minute.raDecUnit = preferences.raDecUnit;
    minute.sunDataFrame = preferences.sunDataFrame;
    p.chartOptions.centralizeWeighting = preferences.centralizeWeighting;
    UiMenuMarks marks(p.ui);
    showOptionMarks(p.chartOptions, p.readoutOptions, marks);
}

// What the Earth map makes of the person's preferences: the units signed, the simple weighting,
// the click read out in the ICRF.
EarthMapPreferences onTheEarthMap(const EarthMapPreferences& chosen) {
    MinuteOptions units;
    units.azElUnit = chosen.azElUnit;
    units.raDecUnit = chosen.raDecUnit;
    shiftUnitsIntoEarthMap(units);
    return {units.azElUnit, units.raDecUnit, 1, 4};
}

void enterEarthMapPreferences(Program& p) {
    p.preferencesBeforeEarthMap = preferencesOf(p);
    setPreferences(p, onTheEarthMap(p.preferencesBeforeEarthMap));
}

// Each preference still as the map set it goes back to the person's; one changed on the map
// stays, a unit in its unsigned form.
void leaveEarthMapPreferences(Program& p) {
    const EarthMapPreferences& before = p.preferencesBeforeEarthMap;
    const EarthMapPreferences set = onTheEarthMap(before);
    const EarthMapPreferences now = preferencesOf(p);
    MinuteOptions units = p.minuteOptions;
    shiftUnitsOutOfEarthMap(units);
    const auto back = [](std::uint8_t now, std::uint8_t set, std::uint8_t before, std::uint8_t changed) {
        return now == set ? before : changed;
    };
    setPreferences(p, {back(now.azElUnit, set.azElUnit, before.azElUnit, units.azElUnit),
                       back(now.raDecUnit, set.raDecUnit, before.raDecUnit, units.raDecUnit),
                       back(now.centralizeWeighting, set.centralizeWeighting, before.centralizeWeighting,
                            now.centralizeWeighting),
                       back(now.sunDataFrame, set.sunDataFrame, before.sunDataFrame, now.sunDataFrame)});
}

// Back to the star set from the Earth map: its list, the view unturned and undone, the saved
// preferences as they were and the constellation lines drawn.
void leaveEarthMap(Program& p) {
    Ui& ui = p.ui;
    p.chartView.earthMap = 0;
    refillConstellationList(p);
    turnDirectionLongitude(ui);
    setText(ui, "EDIT64", "+00.00");
    setText(ui, "EDIT75", "1");
    setNormalLayout(ui);
    leaveEarthMapPreferences(p);
    chooseOption(p, "CONST1");
}

} // namespace

std::string turnedLongitudeText(float longitude) {
    float v = -longitude;
    if (v > 180)
        v -= 360;
    if (v <= -180)
        v += 360;
    return writeFieldNumber(v).substr(0, 8);
}

void shiftUnitsIntoEarthMap(MinuteOptions& minute) {
    for (std::uint8_t* unit : {&minute.azElUnit, &minute.raDecUnit})
        *unit = *unit < 3 ? *unit + 3 : *unit == 3 ? 5 : *unit;
}

void shiftUnitsOutOfEarthMap(MinuteOptions& minute) {
    for (std::uint8_t* unit : {&minute.azElUnit, &minute.raDecUnit})
        if (*unit > 3)
            *unit -= 3;
}

EarthMapEpoch earthMapEpoch(float clockZoneHours) {
    float h = clockZoneHours + 12;
    std::string day = "1";
    if (!(h > 0)) {
        day = "0";
        h += 24;
    }
    const std::string text = writeFieldNumber(h);
    return {day, text.substr(text.size() < 2 ? 0 : text.size() - 2)};
}

void RADIO2_ON(Program& p) {
    if (p.chartView.chartMode == skyChartMode)
        return;
    Ui& ui = p.ui;
    p.loadSettingsFile(returnToSky);
    if (p.chartView.earthMap == 1) {
        p.loadOverlayFormatFile(1);
        leaveEarthMap(p);
        chooseOption(p, "IMGCENTER");
    }
    setSkyCaptions(ui);
    p.chartView.chartMode = skyChartMode;
    p.chartView.earthMap = 0;
}

void RADIO3_ON(Program& p) {
    if (p.chartView.chartMode == mapChartMode && p.chartView.earthMap == 0)
        return;
    Ui& ui = p.ui;
    if (p.chartView.chartMode == skyChartMode) {
        p.saveSettingsFile();
        setMapCaptions(ui);
    }
    if (p.chartView.earthMap == 1)
        leaveEarthMap(p);
    setMapPole(ui);
    chooseOption(p, "IMGCENTER");
    p.chartView.chartMode = mapChartMode;
    p.chartView.earthMap = 0;
}

void RADIO105_ON(Program& p) {
    if (p.chartView.earthMap == 1)
        return;
    Ui& ui = p.ui;
    p.saveOverlayFormatFile();
    ui.control("CHECK4").setValue(0);
    ui.control("CHECK6").setValue(0);
    if (p.chartView.chartMode == skyChartMode) {
        p.saveSettingsFile();
        setMapCaptions(ui);
    }
    turnDirectionLongitude(ui);
    setText(ui, "EDIT64", "+00.00");
    setMapPole(ui);
    chooseOption(p, "IMGCENTER");
    p.chartView.chartMode = mapChartMode;
    p.chartView.earthMap = 1;
    refillConstellationList(p);

    // 2000 January 1, 12:00 UT in the computer's zone.
    const ObservationInput in(ui);
    const EarthMapEpoch epoch = earthMapEpoch(in.clockZoneHours());
    setText(ui, "EDIT75", "4");
    setText(ui, "EDIT8", "2000");
    ui.control("COMBO1").setIndex(0);
    setText(ui, "EDIT9", epoch.day);
    setText(ui, "EDIT10", epoch.hour);
    setText(ui, "EDIT11", in.text("EDIT5"));
    ui.control("COMBO5").setIndex(icrfEquatorDisplay);

    enterEarthMapPreferences(p);
    chooseOption(p, "MAG5");
}

void bindChartModes(Program& p) {
    p.ui.bind("RADIO2_ON", [&p] { RADIO2_ON(p); });
    p.ui.bind("RADIO3_ON", [&p] { RADIO3_ON(p); });
    p.ui.bind("RADIO105_ON", [&p] { RADIO105_ON(p); });
}

} // namespace nivora
