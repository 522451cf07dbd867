// The option menus on the main window's menu bar: their rows, and their handlers bound by name.
#pragma once

#include <vector>

#include "options/option_menus.h"
#include "platform/forms.h"

namespace nivora {

// The rows of "Display Option", "Projection" and "Sun,Moon and Tech", each option item checked
// as the records stand.
std::vector<MenuSpec> optionMenuRows(const ChartOptions& chart, const ReadoutOptions& readout);

// The menu bar's check marks, set by item name.
class UiMenuMarks : public MenuMarks {
public:
    explicit UiMenuMarks(Ui& ui) : ui_(ui) {}
    void setChecked(std::string_view itemName, bool checked) override { ui_.check(itemName, checked); }

private:
    Ui& ui_;
};

// Binds NAME_ON of every option item to storing its code and moving its marks, and of every
// item that opens a form to showing that form. The records must outlive the menu bar.
void bindOptionMenus(Ui& ui, ChartOptions& chart, ReadoutOptions& readout);

} // namespace nivora
