#include "app/app_forms.h"

#include "chartwin/chartwin_forms.h"
#include "options/minute_form.h"
#include "options/option_menu_bar.h"

namespace nivora {

std::vector<MenuSpec> menuBarRows(const ChartOptions& chart, const ReadoutOptions& readout) {
    // The File menu and its separators have no names of their own; these are ours.
    std::vector<MenuSpec> rows = {
        {0, "FILE", "File"},
        {1, "SAVELOC", "Save Locarion Data"},
        {1, "LOADLOC", "Load Location Data"},
        {1, "SAVEBITMAP", "Save as bitmap"},
        {1, "FILESEP1", "-"},
        {1, "SETFILES", "Setting DATA files"},
        {1, "FILESEP2", "-"},
        {1, "ENDING", "End"},
    };
    const std::vector<MenuSpec> options = optionMenuRows(chart, readout);
    rows.insert(rows.end(), options.begin(), options.end());
    return rows;
}

void loadWindows(Ui& ui, ChartOptions& chart, ReadoutOptions& readout) {
    ui.load(mainWindowForm());
    ui.load(chartWindowForm());
    ui.load(settingFilesForm());
    ui.load(dataFileForm());
    ui.load(minuteOptionForm());
    ui.load(pointingForm());
    ui.load(orbitalElementsForm());
    ui.load(planetsForm());
    ui.load(addingStarForm());
    ui.setMenu(menuBarRows(chart, readout));

    bindOptionMenus(ui, chart, readout);
}

} // namespace nivora
