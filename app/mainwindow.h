// The main window's own handlers: chart modes, time stepping, view presets and magnification.
#pragma once

#include <string_view>

namespace nivora {

class Program;
class Ui;

// Binds them on the loaded MAINFORM; the program must outlive its windows.
void bindMainWindow(Program& program);

// Chooses an option menu item from code as the user's choice would: stores its code and moves
// the marks of its group.
void chooseOption(Program& program, std::string_view item);

// "Normal Size" on, "half Height" and "Dual-Box" off, without their handlers.
void setNormalLayout(Ui& ui);

} // namespace nivora
