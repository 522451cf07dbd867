#include "app/form_files.h"
#include "app/sky_object_forms.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "render/orbit_elements_form.h"

namespace nivora {

namespace {

constexpr const char* orbitFilter = "Orbit Data(*.orb)";

void setCentreUnits(Ui& ui, int code)
{
    const bool sun = code == 1;
    ui.control("TEXT140").setCaption(sun ? "AU" : "km");
    ui.control("TEXT141").setCaption(sun ? "AU" : "km");
    ui.control("TEXT143").setCaption(sun ? "years" : "days");
}

void enableMeanAnomaly(Ui& ui, bool on)
{
    ui.control("EDIT89").setEnabled(on);
    ui.control("TEXT152").setEnabled(on);
}

void setCoordinateCaptions(Ui& ui, int code)
{
    const bool ecliptic = code == 1;
    ui.control("RADIO71").setCaption(ecliptic ? "Longitude of Perihelion" : "R.A. of Perihelion");
    ui.control("TEXT146").setCaption(ecliptic ? "Longitude of the ascending node" : "R.A. of the ascending node");
}

// The text fields of the file, in line order from line 3 (0: a number line).
struct TextLine {
    int line;
    const char* edit;
};
constexpr TextLine textLines[] = {
    {3, "EDIT90"},  {5, "EDIT91"},  {6, "EDIT84"},  {8, "EDIT85"},  {9, "EDIT89"},  {10, "EDIT80"},
    {11, "EDIT81"}, {12, "EDIT82"}, {13, "EDIT83"}, {14, "EDIT86"}, {15, "EDIT87"}, {17, "EDIT88"},
    {18, "EDIT92"},
};

} // namespace

bool OOBJSAV(Ui& ui, const std::string& file)
{
    const Form form = ui.form("FORM7");
    auto text = [&](const char* edit) { return ui.control(edit).text(); };
    return writeFormFile(ui, file,
                         {numberLine(form.groupCode("center")), numberLine(form.groupCode("orbitPlace")),
                          text("EDIT90"), numberLine(ui.control("COMBO8").index()), text("EDIT91"),
                          text("EDIT84"), numberLine(ui.control("COMBO7").index()), text("EDIT85"),
                          text("EDIT89"), text("EDIT80"), text("EDIT81"), text("EDIT82"), text("EDIT83"),
                          text("EDIT86"), text("EDIT87"), numberLine(form.groupCode("perihelionAngle")),
                          text("EDIT88"), text("EDIT92"), numberLine(form.groupCode("coordinate")),
                          numberLine(form.groupCode("timeScale"))});
}

bool OOBJLOAD(Ui& ui, const std::string& file)
{
    const auto read = readFormFile(ui, file);
    if (!read)
        return false;
    const SettingsLines& in = *read;
    LineChecks check(file, in);
    if (in.count() < 18 || in.count() == 19)
        check.length("18 or 20 lines, one value a line");
    check.number(1, "the centre (1 around Sun, 2 around Earth)");
    check.number(2, "the place on the orbit (1 epoch and mean anomaly, 2 perihelion passage)");
    check.whole(4, 0, 11, "the month of the Epoch of Longitude");
    check.whole(7, 0, 11, "the month of the epoch or perihelion passage");
    check.number(16, "the perihelion angle (1 argument, 2 longitude or R.A.)");
    if (in.count() >= 20) {
        check.number(19, "the coordinate (1 Longitude, 2 R.A.)");
        check.number(20, "the time scale (1 TD, 2 UT)");
    }
    if (!check.ok()) {
        ui.alert(check.fault());
        return false;
    }

    Form form = ui.form("FORM7");
    if (setGroupFromCode(form, "center", in.number(1)))
        setCentreUnits(ui, int(in.number(1)));
    if (setGroupFromCode(form, "orbitPlace", in.number(2)))
        enableMeanAnomaly(ui, in.number(2) == 1);
    for (const TextLine& t : textLines)
        ui.control(t.edit).setText(in.whole(t.line));
    ui.control("COMBO8").setIndex(int(in.number(4)));
    ui.control("COMBO7").setIndex(int(in.number(7)));
    setGroupFromCode(form, "perihelionAngle", in.number(16));
    if (in.count() >= 20) {
        if (setGroupFromCode(form, "coordinate", in.number(19)))
            setCoordinateCaptions(ui, int(in.number(19)));
        setGroupFromCode(form, "timeScale", in.number(20));
    } else {
        form.setGroupCode("coordinate", 1);
        setCoordinateCaptions(ui, 1);
        form.setGroupCode("timeScale", 1);
    }
    return true;
}

void bindOrbitElementsForm(Ui& ui)
{
    ui.bind("OOBJDF_ON", [&ui] { ui.form("FORM7").show(); });
    ui.bind("BUTTON51_ON", [&ui] { ui.form("FORM7").hide(); });
    ui.bind("BUTTON52_ON", [&ui] {
        if (const auto file = ui.dialogs().openFile("Load Orbit Data", "*.orb", orbitFilter))
            OOBJLOAD(ui, *file);
    });
    ui.bind("BUTTON53_ON", [&ui] {
        if (const auto file = ui.dialogs().saveFile("Save Orbit Data", "star.orb", orbitFilter, true))
            OOBJSAV(ui, *file);
    });
    ui.bind("BUTTON54_ON", [&ui] {
        FormOrbitElements form(ui);
        OOBJDSTCAL(form);
    });
    ui.bind("RADIO72_ON", [&ui] { setCentreUnits(ui, 1); });
    ui.bind("RADIO73_ON", [&ui] { setCentreUnits(ui, 2); });
    ui.bind("RADIO68_ON", [&ui] { enableMeanAnomaly(ui, true); });
    ui.bind("RADIO69_ON", [&ui] {
        ui.control("EDIT89").setText("000.000");
        enableMeanAnomaly(ui, false);
    });
    ui.bind("RADIO74_ON", [&ui] { setCoordinateCaptions(ui, 1); });
    ui.bind("RADIO75_ON", [&ui] { setCoordinateCaptions(ui, 2); });
}

} // namespace nivora
