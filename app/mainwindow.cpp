#include "app/mainwindow.h"

#include "app/chartmodes.h"
#include "app/program.h"
#include "app/timestep.h"
#include "app/viewpresets.h"
#include "options/option_menu_bar.h"

namespace nivora {

void bindMainWindow(Program& program) {
    bindChartModes(program);
    bindTimeStepping(program.ui);
    bindViewPresets(program);
}

void chooseOption(Program& program, std::string_view item) {
    UiMenuMarks marks(program.ui);
    chooseOptionItem(item, program.chartOptions, program.readoutOptions, marks);
}

void setNormalLayout(Ui& ui) {
    ui.control("RADIO27").setValue(1);
    ui.control("RADIO28").setValue(0);
    ui.control("RADIO29").setValue(0);
}

} // namespace nivora
