#include "render/drawing_fields.h"

#include "options/observation_input.h"
#include "render/added_star.h"
#include "render/orbit_elements_form.h"
#include "render/program_records.h"

#include <vector>

namespace nivora {

namespace {

// A field of another form, in single precision; a program without the form reads none of it.
std::string formFieldFault(const Ui& ui, const char* form, const char* control, const char* name)
{
    return numberFieldFault({{name, ui.formText(form, control)}});
}

} // namespace

std::string overlayFieldFault(const Ui& ui)
{
    if (!ui.hasForm("FORM4"))
        return {};
    const auto field = [&ui](const char* control, const char* name) {
        return NumberField{name, ui.formText("FORM4", control)};
    };
    std::vector<NumberField> fields = {field("EDIT20", "Column of Longitude"),
                                       field("EDIT21", "Letters of Longitude")};
    if (ui.formValue("FORM4", "RADIO12") == 1 || ui.formValue("FORM4", "RADIO13") == 1) {
        fields.push_back(field("EDIT30", "Column of Longitude minutes"));
        fields.push_back(field("EDIT31", "Letters of Longitude minutes"));
    }
    fields.push_back(field("EDIT22", "Column of Latitude"));
    fields.push_back(field("EDIT23", "Letters of Latitude"));
    if (ui.formValue("FORM4", "RADIO15") == 1) {
        fields.push_back(field("EDIT32", "Column of Latitude minutes"));
        fields.push_back(field("EDIT33", "Letters of Latitude minutes"));
    }
    return numberFieldFault(fields);
}

std::string drawingFieldFault(ProgramRecords& records)
{
    Ui& ui = records.ui;
    const ChartOptions& options = records.chartOptions;
    const bool skyChart = records.chartView.chartMode == skyChartMode;
    const ObservationInput input(ui);
    std::string fault = input.skyFramesFault(skyChart);
    if (fault.empty())
        fault = input.viewFault();
    if (fault.empty() && skyChart && options.earthGridMinutes > 0)
        fault = formFieldFault(ui, "FORM5", "EDIT77", "Altitude of Lng. and Lat. lines");
    // The shadow's distance is typed only when it is not the Moon's; its factor counts for the
    // shadow drawn in the sky.
    const int antisun = options.antisunDisplayMode;
    if (fault.empty() && antisun != 0 && antisun != 2 && records.planetSettings.earthShadowDistanceMode != 1)
        fault = formFieldFault(ui, "FORM8", "EDIT79", "Distance to Earth-shadow");
    if (fault.empty() && antisun == 11 && skyChart)
        fault = formFieldFault(ui, "FORM8", "EDIT106", "Factor of Earth-shadow");
    if (fault.empty() && ui.formValue("FORM9", "CHECK1") == 1)
        fault = addedStarFieldFault(ui, records.chartView.chartMode);
    if (fault.empty() && options.orbitObjectDisplayMode != 0 && ui.hasForm("FORM7")) {
        fault = orbitFieldFault(FormOrbitElements(ui));
    }
    if (fault.empty() && ui.formValue("FORM4", "CHECK4") == 1)
        fault = overlayFieldFault(ui);
    return fault;
}

} // namespace nivora
