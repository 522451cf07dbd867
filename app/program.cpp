#include "app/program.h"

namespace nivora {

Program::Program(std::filesystem::path folder) : ChartWindowRecords(std::move(folder)) {}

int Program::run() { return ui.run(); }

} // namespace nivora
