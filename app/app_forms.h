// The windows of the application's room: the main window, "Setting Files" and the sky-object
// forms, and the whole menu bar. Every form but the main window is declared hidden.
#pragma once

#include <string>
#include <vector>

#include "options/option_records.h"
#include "platform/forms.h"

namespace nivora {

// MAINFORM "nivora/planisphere": place, time, view, layout and the chart commands.
FormSpec mainWindowForm();
// FORM3 "Setting Files": the data file table and the interface font.
FormSpec settingFilesForm();
// FORM7 "Orbital Elements", FORM8 "Planets", FORM9 "Adding A Star".
FormSpec orbitalElementsForm();
FormSpec planetsForm();
FormSpec addingStarForm();

// "Jan" to "Dec", the month lists of the main window and the orbit form.
std::vector<std::string> monthItems();

// "File", "Display Option", "Projection" and "Sun,Moon and Tech", marks as the records stand.
std::vector<MenuSpec> menuBarRows(const ChartOptions& chart, const ReadoutOptions& readout);

// Loads every form of the program (MAINFORM first) and the menu bar, and binds the option items
// and the items that show forms; the start-up binds the rest. The records must outlive the Ui.
void loadWindows(Ui& ui, ChartOptions& chart, ReadoutOptions& readout);

} // namespace nivora
