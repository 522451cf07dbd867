#include "render/drawing.h"

#include <gtest/gtest.h>

#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

TEST(Drawing, TheDefaultChartLeavesItsStateWithoutAlerts)
{
    TestRecords r;
    EXPECT_TRUE(DRAWINGIMG(r));
    EXPECT_TRUE(r.alerts().empty());
    EXPECT_EQ(r.drawn.settings.drawnChartMode, 2);
    EXPECT_EQ(r.drawn.settings.drawnProjection, 1);
    EXPECT_FLOAT_EQ(r.userProjection.chartScale, 320);
    EXPECT_GT(r.drawn.bodies.bodyPositions[0][3], 1.4e8);   // the Sun, km
    EXPECT_GT(r.drawn.bodies.bodyPositions[1][3], 3.5e5);   // the Moon
    EXPECT_FALSE(r.ui.drawing());
}

} // namespace
} // namespace nivora
