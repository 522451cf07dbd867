#include "astro/timescales.h"

#include <cmath>

namespace nivora {

DayNumber ET2UTC(const StartupTables& tables, DayNumber d) {
    const DeltaTTable& table = tables.deltaTTable;
    const int count = table.rowCount;
    // Written so that a NaN takes the parabola too and never reads before the first row.
    if (count == 0 || !(d >= table.rows[0][0]) || d > table.rows[count - 1][0]) {
        const double t = (d + 65742) / 36524.25;
        const double deltaT = 32 * (t * t) - 20;
        return d + deltaT / 86400;
    }
    int row = -1;
    while (row + 1 < count && table.rows[row + 1][0] <= d)
        ++row;
    return d + double(table.rows[row][1]) / 86400;
}

double GSTH(DayNumber d) {
    const double t = JulianCenturies(d);
    const double t2 = t * t, t3 = t2 * t;
    const double h =
        6.6973745583 + (8640184.812866 * t + double(0.093104f) * t2 - double(6.2E-6f) * t3) / 3600;
    return h - std::floor(h / 24) * 24;
}

} // namespace nivora
