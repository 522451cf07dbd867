// Random charts of a fixed seed over every family of settings the culls pass judgement in,
// each drawn culled and whole: the two pictures agree pixel for pixel. A difference names the
// tool's command line that draws its chart again.
#include <gtest/gtest.h>

#include "app/sweep/cull_sweep.h"

namespace nivora {
namespace {

#ifdef NIVORA_SWEEP_CHARTS
constexpr long sweepCharts = NIVORA_SWEEP_CHARTS;
#elif defined(__SANITIZE_ADDRESS__)
constexpr long sweepCharts = 80;
#else
constexpr long sweepCharts = 250;
#endif

TEST(CullSweep, CulledEqualsWhole)
{
    sweep::Sweeper sweeper;
    for (long i = 0; i < sweepCharts; ++i) {
        const sweep::Chart chart = sweep::makeChart(20261211, i, -1, true);
        const sweep::Outcome r = sweeper.run(chart);
        EXPECT_EQ(r.differing, 0) << r.differing << " pixels differ at x " << r.x0 << "-" << r.x1 << " y " << r.y0
                                  << "-" << r.y1 << ": " << sweep::reproduceCommand(chart) << "\n"
                                  << sweep::describe(chart) << "\nview drawn " << r.view;
    }
}

} // namespace
} // namespace nivora
