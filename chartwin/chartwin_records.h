// The chart window room's own records (the pointed position, the search's sky frames...) on top
// of everything a drawing uses.
#pragma once

#include "render/program_records.h"

namespace nivora {

struct ChartWindowRecords : ProgramRecords {
    using ProgramRecords::ProgramRecords;
};

} // namespace nivora
