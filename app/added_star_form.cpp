#include <cmath>
#include <initializer_list>

#include "astro/fieldnumber.h"

#include "app/form_files.h"
#include "app/program.h"
#include "app/sky_object_forms.h"
#include "chartwin/chart_window.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "render/added_star.h"

namespace nivora {

namespace {

constexpr const char* starFilter = "Adding-Star Data(*.str)";

// By the form: "TEXT79" names a label on another form too.
void enable(Ui& ui, std::initializer_list<const char*> names, bool on)
{
    const Form form = ui.form("FORM9");
    for (const char* name : names)
        form.control(name).setEnabled(on);
}

bool checked(const Ui& ui, const char* name) { return ui.control(name).value() == 1; }

void enableSize(Ui& ui, bool on) { enable(ui, {"RADIO34", "RADIO35", "EDIT18", "TEXT11"}, on); }
void enableDistance(Ui& ui, bool on) { enable(ui, {"RADIO50", "RADIO51", "RADIO59", "RADIO60", "EDIT62"}, on); }

// The captions of the two coordinates for a frame of the list.
void setCoordinateCaptions(Ui& ui, int frame)
{
    const char* first = "Right Ascension";
    const char* second = "Declination";
    if (frame >= 4 && frame <= 8) {
        first = "Longitude";
        second = "Latitude";
    } else if (frame == 9) {
        first = "Azimuth";
        second = "Elevation";
    }
    ui.control("TEXT12").setCaption(first);
    ui.control("TEXT22").setCaption(second);
}

void CHECK1_ON(Ui& ui)
{
    const bool on = checked(ui, "CHECK1");
    enable(ui, {"COMBO4", "EDIT14", "EDIT15", "EDIT16", "EDIT17", "RADIO102", "RADIO103", "RADIO104", "TEXT12",
                "TEXT22", "TEXT23", "TEXT24", "TEXT25", "TEXT26", "TEXT79", "EDIT38", "CHECK11", "RADIO61",
                "RADIO62"},
           on);
    enableSize(ui, on && !checked(ui, "RADIO102"));
    enableDistance(ui, on && checked(ui, "CHECK11"));
}

void setSizeKind(Ui& ui, int code)
{
    ui.form("FORM9").setGroupCode("sizeKind", code);
    ui.control("TEXT11").setCaption(code == 1 ? "" : "deg");
}

// Whether the main window's size and layout fields still describe the chart shown.
bool layoutUnchanged(const Program& p)
{
    const ChartView& v = p.chartView;
    const double size = std::nearbyint(double(float(readFieldNumber(p.ui.control("EDIT1").text()))));
    return size == v.imageSize && p.ui.control("RADIO29").value() == v.dualBox &&
           p.ui.control("RADIO28").value() == v.halfHeight;
}

void BUTTON74_ON(Program& p)
{
    Form chart = p.ui.form("FORM2");
    if (!chart.visible()) {
        p.ui.alert("Main Picture do not exist.");
        return;
    }
    if (!layoutUnchanged(p)) {
        p.ui.alert("The Size of Image has changed.");
        return;
    }
    if (overdrawAddedStar(p)) {
        repaintChartWindow(p);
        chart.raise();
    }
}

} // namespace

bool saveAddedStar(Ui& ui, const std::string& file)
{
    const Form form = ui.form("FORM9");
    auto text = [&](const char* edit) { return ui.control(edit).text(); };
    return writeFormFile(ui, file,
                         {text("EDIT14"), text("EDIT15"), text("EDIT16"), text("EDIT17"), text("EDIT18"),
                          text("EDIT38"), numberLine(ui.control("COMBO4").index()),
                          numberLine(form.groupCode("sizeKind")), numberLine(form.groupCode("firstUnit")),
                          numberLine(ui.control("CHECK11").value()), text("EDIT62"),
                          numberLine(form.groupCode("distanceUnit")), numberLine(form.groupCode("distanceOrigin"))});
}

bool loadAddedStar(Ui& ui, const std::string& file)
{
    const auto read = readFormFile(ui, file);
    if (!read)
        return false;
    const SettingsLines& in = *read;
    LineChecks check(file, in);
    if (in.count() < 5 || (in.count() >= 10 && in.count() <= 12))
        check.length("5 to 9 or 13 lines, one value a line");
    check.whole(7, 0, 9, "the frame");
    check.number(8, "the size (1 magnitude, 2 Radius)");
    check.number(9, "the unit of the first coordinate (1 h/m, 2 deg)");
    check.whole(10, 0, 1, "Distance (1 ticked, 0 clear)");
    if (in.count() >= 13) {
        check.number(12, "the unit of the distance (1 km, 2 AU)");
        check.number(13, "where the distance counts from (1 From the Center, 2 from the Surface)");
    }
    if (!check.ok()) {
        ui.alert(check.fault());
        return false;
    }

    const char* firstFive[] = {"EDIT14", "EDIT15", "EDIT16", "EDIT17", "EDIT18"};
    for (int line = 1; line <= 5; ++line)
        ui.control(firstFive[line - 1]).setText(in.whole(line));
    if (in.has(6))
        ui.control("EDIT38").setText(in.whole(6));
    if (in.has(7)) {
        ui.control("COMBO4").setIndex(int(in.number(7)));
        setCoordinateCaptions(ui, int(in.number(7)));
    }
    if (!in.has(8))
        setSizeKind(ui, 1);
    else if (in.number(8) == 1 || in.number(8) == 2)
        setSizeKind(ui, int(in.number(8)));
    if (in.has(9) && setGroupFromCode(ui.form("FORM9"), "firstUnit", in.number(9)))
        ui.control("TEXT23").setCaption(in.number(9) == 1 ? "h" : "deg");
    if (in.has(10)) {
        const int distance = int(in.number(10));
        ui.control("CHECK11").setValue(distance);
        enableDistance(ui, distance == 1 && checked(ui, "CHECK1"));
        ui.control("EDIT62").setText(in.whole(11));
        setGroupFromCode(ui.form("FORM9"), "distanceUnit", in.number(12));
        setGroupFromCode(ui.form("FORM9"), "distanceOrigin", in.number(13));
    } else {
        ui.control("CHECK11").setValue(0);
        enableDistance(ui, false);
    }
    return true;
}

void bindAddedStarForm(Program& p)
{
    Ui& ui = p.ui;
    ui.bind("ADDSTAR_ON", [&ui] { ui.form("FORM9").show(); });
    ui.bind("BUTTON72_ON", [&ui] { ui.form("FORM9").hide(); });
    ui.bind("BUTTON70_ON", [&ui] {
        if (const auto file = ui.dialogs().saveFile("Save Adding-Star Data", "star1.str", starFilter, true))
            saveAddedStar(ui, *file);
    });
    ui.bind("BUTTON71_ON", [&ui] {
        if (const auto file = ui.dialogs().openFile("Load Adding-Star Data", "*.str", starFilter))
            loadAddedStar(ui, *file);
    });
    ui.bind("BUTTON74_ON", [&p] { BUTTON74_ON(p); }, WhileDrawing::Refuse);
    ui.bind("CHECK1_ON", [&ui] { CHECK1_ON(ui); });
    ui.bind("CHECK11_ON", [&ui] { enableDistance(ui, checked(ui, "CHECK11")); });
    ui.bind("COMBO4_CHANGE", [&ui] { setCoordinateCaptions(ui, ui.control("COMBO4").index()); });
    ui.bind("RADIO61_ON", [&ui] { ui.control("TEXT23").setCaption("h"); });
    ui.bind("RADIO62_ON", [&ui] { ui.control("TEXT23").setCaption("deg"); });
    ui.bind("RADIO34_ON", [&ui] { ui.control("TEXT11").setCaption(""); });
    ui.bind("RADIO35_ON", [&ui] { ui.control("TEXT11").setCaption("deg"); });
    ui.bind("RADIO102_ON", [&ui] { enableSize(ui, false); });
    ui.bind("RADIO103_ON", [&ui] { enableSize(ui, true); });
    ui.bind("RADIO104_ON", [&ui] { enableSize(ui, true); });
}

void bindOrbitElementsForm(Ui& ui);
void bindPlanetsForm(Program& p);

void bindSkyObjectForms(Program& p)
{
    bindOrbitElementsForm(p.ui);
    bindPlanetsForm(p);
    bindAddedStarForm(p);
}

} // namespace nivora
