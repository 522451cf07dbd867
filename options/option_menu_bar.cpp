#include "options/option_menu_bar.h"

#include <string>

namespace nivora {

std::vector<MenuSpec> optionMenuRows(const ChartOptions& chart, const ReadoutOptions& readout) {
    std::vector<MenuSpec> rows;
    for (const OptionMenuLine& line : optionMenuLines()) {
        const bool separator = line.kind == MenuLineKind::separator;
        rows.push_back({line.depth, std::string(line.name),
                        separator ? std::string("-") : std::string(line.caption),
                        optionItemChecked(line, chart, readout)});
    }
    return rows;
}

void bindOptionMenus(Ui& ui, ChartOptions& chart, ReadoutOptions& readout) {
    for (const OptionMenuLine& line : optionMenuLines()) {
        if (line.kind != MenuLineKind::item)
            continue;
        const std::string name(line.name);
        if (!line.form.empty()) {
            const std::string form(line.form);
            ui.bind(name + "_ON", [&ui, form] { ui.form(form).show(); });
        } else {
            ui.bind(name + "_ON", [&ui, &chart, &readout, name] {
                UiMenuMarks marks(ui);
                chooseOptionItem(name, chart, readout, marks);
            });
        }
    }
}

} // namespace nivora
