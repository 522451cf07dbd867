#include "app/mainwindow.h"

#include "app/program.h"
#include "app/timestep.h"
#include "app/viewpresets.h"

namespace nivora {

void bindMainWindow(Program& program) {
    bindTimeStepping(program.ui);
    bindViewPresets(program);
}

} // namespace nivora
