// The main window's own handlers: chart modes, time stepping, view presets and magnification.
#pragma once

namespace nivora {

class Program;

// Binds them on the loaded MAINFORM; the program must outlive its windows.
void bindMainWindow(Program& program);

} // namespace nivora
