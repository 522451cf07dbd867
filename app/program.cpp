#include "app/program.h"

#include "chartwin/chart_window.h"

namespace nivora {

Program::Program(std::filesystem::path folder) : ChartWindowRecords(std::move(folder))
{
    // The start-up picture: the default layout of size 320 with 20-pixel margins and the
    // 240-pixel side strip.
    chartBitmap.create(600, 360);
}

void Program::start(const std::function<void(Program&)>& declare)
{
    if (declare) declare(*this);
    if (ui.hasForm("FORM2") && ui.hasControl("BUTTON1"))
        bindChartWindow(*this);
    if (!ui.hasForm("MAINFORM")) {
        ui.load({"MAINFORM", "Tellvane/planisphere", {}});
        ui.setMenu({{0, "FILE", "File"}, {1, "ENDING", "End"}});
    }
    if (ui.hasMenu("ENDING") && !ui.isBound("ENDING_ON"))
        ui.bind("ENDING_ON", [this] { ui.shutDown(); });
    ui.mainForm().show();
}

int Program::run() { return ui.run(); }

} // namespace nivora
