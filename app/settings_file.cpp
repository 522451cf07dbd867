#include "app/settings_file.h"

#include "app/timestep.h"
#include "astro/constants.h"
#include "chartwin/chart_window.h"
#include "options/settings_lines.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/files.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace nivora {

namespace {

// First-run values that a file's out-of-scheme value falls back to.
constexpr int firstRunMonth = 11;
constexpr std::int16_t firstRunImageSize = 320;
constexpr std::array<std::string_view, 4> firstRunEarthFiles = {"cities.txt", "zentend.txt",
                                                                "nation.txt", "coast_bd.net"};

std::string text(const ProgramRecords& p, std::string_view control)
{
    return p.ui.control(control).text();
}

void setText(ProgramRecords& p, std::string_view control, const std::string& value)
{
    p.ui.control(control).setText(value);
}

std::optional<SettingsLines> readSettings(ProgramRecords& p, const std::string& file, int required,
                                          std::string_view what, bool* unreadable = nullptr)
{
    std::string why;
    const auto lines = readLines(p.file(file), &why);
    if (unreadable) *unreadable = !lines;
    if (!lines) {
        p.ui.alert(why);
        return std::nullopt;
    }
    if (int(lines->size()) < required) {
        p.ui.alert(std::string(what) + " " + file + " is too short.");
        return std::nullopt;
    }
    return SettingsLines(*lines);
}

bool writeSettings(ProgramRecords& p, const std::string& file, const std::vector<std::string>& lines)
{
    FileReplacer out(p.file(file));
    for (const std::string& line : lines) out.line(line);
    if (out.commit()) return true;
    p.ui.alert(out.error());
    return false;
}

std::string position(int coordinate) { return settingsNumber(coordinate); }

int nonNegative(double value) { return std::max(0, settingsInteger<int>(value)); }

// Moves a window to the place in lines `line` and `line` + 1. A negative coordinate is 0, and so
// is one past the far edge of the screens (a screen given up, a file edited by hand): the window
// opens in view, and Qt's window geometry never meets a coordinate near the integer limit.
void placeWindow(Form form, const SettingsLines& in, int line)
{
    const ScreenArea screen = availableScreenArea();
    const auto within = [&](int l, int end) {
        const int place = nonNegative(in.number(l));
        return place < end ? place : 0;
    };
    form.move(within(line, screen.desktopRight), within(line + 1, screen.desktopBottom));
}

// The chart window's size in lines 5 and 6: a negative one becomes 0; an empty line (a first
// run's file, the run command's starter) or one past any screen is the first-run size, which the
// window fits to the screen when it opens.
void sizeChartWindow(ProgramRecords& p, const SettingsLines& in)
{
    const WindowExtent firstRun = firstRunChartWindowSize(p.chartLayout);
    bool firstRunSize = false;
    const auto size = [&](int line, std::int16_t first) {
        const int saved = nonNegative(in.number(line));
        if (!in.item(line).empty() && saved <= 9999) return std::int16_t(saved);
        firstRunSize = true;
        return first;
    };
    p.chartView.chartWindowWidth = size(5, firstRun.width);
    p.chartView.chartWindowHeight = size(6, firstRun.height);
    Form chart = p.ui.form("FORM2");
    if (firstRunSize)
        chart.resizeWithinScreen(p.chartView.chartWindowWidth, p.chartView.chartWindowHeight);
    else
        chart.resize(p.chartView.chartWindowWidth, p.chartView.chartWindowHeight);
}

void markWeighting(Ui& ui, int weighting)
{
    static constexpr std::array<std::string_view, 3> items = {"WEIGHTCS", "WEIGHTCL", "WEIGHTCM"};
    if (weighting < 1 || weighting > 3) return;
    for (int i = 0; i < 3; ++i) ui.check(items[size_t(i)], i + 1 == weighting);
}

// The scope radius as the field shows it: characters 2 to 7 of the number's text.
std::string scopeRadiusText(double radius)
{
    return writeFieldNumber(float(radius)).substr(1, 6);
}

// The guarded groups from line 24 on, named for the start-up's word on a cut file. A file that
// stops after a whole group is an older program's layout; one that stops inside a group was cut.
struct LineGroup {
    int first, last;
    std::array<std::string_view, 2> values;   // the second may be empty
};
constexpr std::array<LineGroup, 12> guardedGroups = {{
    {24, 24, {"Refraction Correction"}},
    {25, 25, {"the Altitude"}},
    {26, 27, {"the pointing window's place"}},
    {28, 29, {"Scaling Factor A", "Magnitude B"}},
    {30, 32, {"the click window's units"}},
    {33, 33, {"Diurnal Aberration"}},
    {34, 47, {"Scope Radius", "the user-defined projection"}},
    {48, 48, {"the font"}},
    {49, 49, {"the weighting of centring"}},
    {50, 53, {"the Earth map's data files"}},
    {54, 69, {"the planets"}},
    {70, 70, {"the Sun's data frame"}},
}};

// What of a file read at start-up came from the first run, and why; said once when it is read.
class FirstRunValues {
public:
    explicit FirstRunValues(const SettingsLines& in) : in_(in)
    {
        for (const LineGroup& g : guardedGroups)
            if (in.count() < g.last && (cutInside_ || in.count() >= g.first)) {
                cutInside_ = true;
                for (std::string_view value : g.values)
                    if (!value.empty()) values_.emplace_back(value);
            }
    }
    // The number on `line`, or nothing when its text is none the value's precision holds.
    std::optional<double> number(int line, std::string_view value, FieldPrecision precision)
    {
        if (fieldHoldsNumber(in_.whole(line), precision)) return in_.number(line);
        unheld_.push_back(line);
        values_.push_back(std::string(value) + " (line " + std::to_string(line) + ")");
        return std::nullopt;
    }
    void say(Ui& ui, const std::string& file) const
    {
        if (values_.empty()) return;
        std::string why;
        if (cutInside_) why = "is cut short at line " + std::to_string(in_.count());
        if (!unheld_.empty()) {
            if (!why.empty()) why += " and ";
            why += unheld_.size() == 1 ? "holds no number on line " : "holds no number on lines ";
            for (size_t i = 0; i < unheld_.size(); ++i)
                why += (i ? ", " : "") + std::to_string(unheld_[i]);
        }
        std::string list;
        for (size_t i = 0; i < values_.size(); ++i)
            list += (i == 0 ? "" : i + 1 == values_.size() ? " and " : ", ") + values_[i];
        const bool one = values_.size() == 1;
        ui.alert("The settings file " + file + " " + why + ": " + list +
                 (one ? " takes its first-run value." : " take their first-run values."));
    }

private:
    const SettingsLines& in_;
    bool cutInside_ = false;
    std::vector<int> unheld_;
    std::vector<std::string> values_;
};

} // namespace

WindowExtent firstRunChartWindowSize(const ChartLayout& layout)
{
    const ChartWindowSize needed = neededChartWindowSize(firstRunImageSize, 0, 0, layout);
    const ScreenArea screen = availableScreenArea();
    const auto within = [](float size, int room) {
        return std::int16_t(std::lround(room > 0 ? std::min(size, float(room)) : size));
    };
    return {within(needed.width, screen.width), within(needed.height, screen.height)};
}

bool INISAV(ProgramRecords& p, const std::string& file)
{
    const Geometry main = p.ui.mainForm().geometry();
    const Form chartWindow = p.ui.form("FORM2");
    const Geometry chart = chartWindow.geometry();
    const Geometry pointing = p.ui.form("FORM6").geometry();
    const auto& files = p.dataFileSettings.dataFiles;
    const MinuteOptions& minute = p.minuteOptions;
    const UserProjection& user = p.userProjection;

    std::vector<std::string> lines = {
        position(main.left), position(main.top), position(chart.left), position(chart.top),
    };
    // A first-run size the window has not yet fitted to the screen stays the first-run size.
    for (const std::int16_t size : {p.chartView.chartWindowWidth, p.chartView.chartWindowHeight})
        lines.push_back(chartWindow.sizeProvisional() ? std::string() : settingsNumber(int(size)));
    for (std::string_view edit : {"EDIT1", "EDIT2", "EDIT3", "EDIT4", "EDIT5", "EDIT6", "EDIT7", "EDIT8"})
        lines.push_back(text(p, edit));
    lines.push_back(settingsNumber(p.ui.control("COMBO1").index()));
    for (std::string_view edit : {"EDIT9", "EDIT10", "EDIT11", "EDIT19"}) lines.push_back(text(p, edit));
    for (const std::string& name : files[0]) lines.push_back(name);
    lines.push_back(settingsNumber(int(p.chartOptions.refractionOn)));
    lines.push_back(text(p, "EDIT43"));
    lines.push_back(position(pointing.left));
    lines.push_back(position(pointing.top));
    lines.push_back(settingsNumber(minute.starScaling));
    lines.push_back(settingsNumber(minute.dotMagnitude));
    lines.push_back(settingsNumber(int(minute.azElUnit)));
    lines.push_back(settingsNumber(int(minute.raDecUnit)));
    lines.push_back(settingsNumber(int(minute.angleUnit)));
    lines.push_back(settingsNumber(int(p.chartOptions.diurnalAberrationOn)));
    lines.push_back(text(p, "EDIT76"));
    lines.push_back(settingsNumber(user.radiusDegrees));
    lines.push_back(settingsNumber(user.aspectYX));
    lines.push_back(settingsNumber(user.domainDegrees));
    for (double c : user.coefficients) lines.push_back(settingsNumber(c));
    lines.push_back(settingsNumber(int(p.dataFileSettings.fontKind)));
    lines.push_back(settingsNumber(int(p.chartOptions.centralizeWeighting)));
    for (const std::string& name : files[1]) lines.push_back(name);
    lines.push_back("yoyaku");
    lines.push_back("yoyaku");
    for (size_t planet = 0; planet < 7; ++planet) {
        lines.push_back(p.planetSettings.planetOrbitFile[planet]);
        lines.push_back(settingsNumber(int(p.planetSettings.planetDisplayMode[planet])));
    }
    lines.push_back(settingsNumber(int(minute.sunDataFrame)));
    return writeSettings(p, file, lines);
}

bool INILOAD(ProgramRecords& p, const std::string& file, std::int16_t mode, bool* unreadable)
{
    const auto read = readSettings(p, file, 23, "The settings file", unreadable);
    if (!read) return false;
    const SettingsLines& in = *read;
    const bool startUp = mode == loadAtStartUp;
    const bool sky = mode == returnToSky;

    if (startUp) {
        placeWindow(p.ui.mainForm(), in, 1);
        placeWindow(p.ui.form("FORM2"), in, 3);
        sizeChartWindow(p, in);
        const double size = in.number(7);
        if (size >= 1 && size <= 9999) {
            setText(p, "EDIT1", in.item(7));
            p.chartView.imageSize = settingsInteger<std::int16_t>(size);
        } else {
            setText(p, "EDIT1", std::to_string(firstRunImageSize));
            p.chartView.imageSize = firstRunImageSize;
        }
    }
    setText(p, "EDIT2", in.item(8));
    setText(p, "EDIT3", in.item(9));
    if (startUp) {
        // A file without a zone of the computer (the run command's starter) takes the
        // computer's own, as a first run does.
        if (in.item(10).empty()) {
            setComputersZone(p.ui);
        } else {
            setText(p, "EDIT4", in.item(10));
            setText(p, "EDIT5", in.item(11));
        }
    }
    setText(p, "EDIT6", in.item(12));
    setText(p, "EDIT7", in.item(13));
    if (startUp || sky) {
        setText(p, "EDIT8", in.item(14));
        p.ui.control("COMBO1").setIndex(in.code(15, 0, 11, firstRunMonth));
        setText(p, "EDIT9", in.item(16));
        setText(p, "EDIT10", in.item(17));
        setText(p, "EDIT11", in.item(18));
    }
    setText(p, "EDIT19", in.whole(19));
    if (startUp)
        for (size_t kind = 0; kind < 4; ++kind)
            p.dataFileSettings.dataFiles[0][kind] = in.whole(20 + int(kind));

    ChartOptions& chart = p.chartOptions;
    if (in.has(24)) chart.refractionOn = std::uint8_t(in.code(24, 0, 1, 1));
    else if (startUp) chart.refractionOn = 1;
    p.ui.check("REFRACT", chart.refractionOn == 1);
    setText(p, "EDIT43", in.has(25) ? in.item(25) : "0");

    MinuteOptions& minute = p.minuteOptions;
    UserProjection& user = p.userProjection;
    FirstRunValues firstRunValues(in);
    if (startUp) {
        if (in.has(27)) placeWindow(p.ui.form("FORM6"), in, 26);
        const MinuteOptions firstRun;
        const auto single = [&](int line, std::string_view value, float first) {
            return in.has(29) ? float(firstRunValues.number(line, value, FieldPrecision::Single).value_or(first))
                              : first;
        };
        minute.starScaling = single(28, "Scaling Factor A", firstRun.starScaling);
        minute.dotMagnitude = single(29, "Magnitude B", firstRun.dotMagnitude);
        const bool units = in.has(32);
        minute.azElUnit = std::uint8_t(units ? in.code(30, 1, 5, firstRun.azElUnit) : firstRun.azElUnit);
        minute.raDecUnit = std::uint8_t(units ? in.code(31, 1, 5, firstRun.raDecUnit) : firstRun.raDecUnit);
        minute.angleUnit = std::uint8_t(units ? in.code(32, 1, 2, firstRun.angleUnit) : firstRun.angleUnit);
    }

    if (in.has(33)) chart.diurnalAberrationOn = std::uint8_t(in.code(33, 0, 1, 1));
    else if (startUp) chart.diurnalAberrationOn = 1;
    p.ui.check("DABERRATION", chart.diurnalAberrationOn == 1);

    if (startUp) {
        const UserProjection firstRun;
        const bool projection = in.has(47);
        setText(p, "EDIT76",
                scopeRadiusText(projection ? firstRunValues.number(34, "Scope Radius", FieldPrecision::Single)
                                                 .value_or(90.0)
                                           : 90.0));
        // The projection's values are one curve: a line of it no number holds takes the whole
        // first-run curve.
        bool held = projection;
        std::array<double, 13> values{};
        for (int line = 35; held && line <= 47; ++line) {
            const auto v = firstRunValues.number(line, "the user-defined projection", FieldPrecision::Double);
            held = held && v;
            values[size_t(line - 35)] = v.value_or(0);
        }
        user.radiusDegrees = held ? values[0] : firstRun.radiusDegrees;
        user.aspectYX = held ? values[1] : firstRun.aspectYX;
        user.domainDegrees = held ? values[2] : firstRun.domainDegrees;
        for (size_t i = 0; i < user.coefficients.size(); ++i)
            user.coefficients[i] = held ? values[3 + i] : firstRun.coefficients[i];

        p.dataFileSettings.fontKind = std::uint8_t(in.has(48) ? in.code(48, 1, 2, 2) : 2);
        chart.centralizeWeighting = std::uint8_t(in.has(49) ? in.code(49, 1, 3, 2) : 2);
        markWeighting(p.ui, chart.centralizeWeighting);

        for (size_t kind = 0; kind < 4; ++kind)
            p.dataFileSettings.dataFiles[1][kind] =
                in.has(53) ? in.whole(50 + int(kind)) : std::string(firstRunEarthFiles[kind]);

        if (in.has(69)) {
            for (size_t planet = 0; planet < 7; ++planet) {
                const int line = 56 + 2 * int(planet);
                p.planetSettings.planetOrbitFile[planet] = in.whole(line);
                p.planetSettings.planetDisplayMode[planet] = std::int16_t(in.code(line + 1, 0, 2, 0));
            }
        }
        minute.sunDataFrame = std::uint8_t(in.has(70) ? in.code(70, 1, 5, 1) : 1);
        firstRunValues.say(p.ui, file);
    }
    return true;
}

bool CRDSAV(ProgramRecords& p, const std::string& file)
{
    const Geometry main = p.ui.mainForm().geometry();
    return writeSettings(p, file,
                         {position(main.left), position(main.top), settingsNumber(0), settingsNumber(0),
                          settingsNumber(600), settingsNumber(440), text(p, "EDIT1"), text(p, "EDIT2"),
                          text(p, "EDIT3"), text(p, "EDIT42"), text(p, "EDIT19"),
                          settingsNumber(p.ui.control("COMBO5").index())});
}

bool CRDLOAD(ProgramRecords& p, const std::string& file)
{
    const auto read = readSettings(p, file, 11, "The star map file");
    if (!read) return false;
    const SettingsLines& in = *read;
    setText(p, "EDIT2", in.item(8));
    setText(p, "EDIT3", in.item(9));
    setText(p, "EDIT42", in.item(10));
    setText(p, "EDIT19", in.item(11));
    if (in.has(12)) p.ui.control("COMBO5").setIndex(in.code(12, 0, 7, 0));
    return true;
}

void bindFileMenu(ProgramRecords& p)
{
    p.ui.bind("SAVELOC_ON", [&p] {
        const bool starMap = p.ui.control("RADIO3").value() == 1;
        const auto name = starMap
            ? p.ui.dialogs().saveFile("Save Star Map Data", p.file("my_coord.crd").string(),
                                      "Star Map Data(*.crd)", true)
            : p.ui.dialogs().saveFile("Save Location Data", p.file("my_city.ini").string(),
                                      "Location Data(*.ini)", true);
        if (!name) return;
        if (starMap) CRDSAV(p, *name);
        else INISAV(p, *name);
    });
    p.ui.bind("LOADLOC_ON", [&p] {
        const bool starMap = p.ui.control("RADIO3").value() == 1;
        const auto name = starMap
            ? p.ui.dialogs().openFile("Load Star Map Data", p.file("*.crd").string(),
                                      "Star Map Data(*.crd)")
            : p.ui.dialogs().openFile("Load Location Data", p.file("*.ini").string(),
                                      "Location Data(*.ini)");
        if (!name) return;
        if (starMap) CRDLOAD(p, *name);
        else INILOAD(p, *name, loadLocationData);
    });
    p.ui.bind("SAVEBITMAP_ON", [&p] {
        if (p.chartBitmap.empty()) {   // a DRAW let the picture go and had no room for the next
            p.ui.alert("There is no picture to save.");
            return;
        }
        const auto name = p.ui.dialogs().saveFile("Save as bitmap", p.file("planisph.bmp").string(),
                                                  "Bitmap Image(*.bmp)", true);
        if (!name) return;
        std::string why;
        if (!p.chartBitmap.saveBmp(p.file(*name).string(), &why)) p.ui.alert(why);
    });
}

} // namespace nivora
