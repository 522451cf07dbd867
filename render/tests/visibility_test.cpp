#include "render/visibility_fill.h"

#include <gtest/gtest.h>

#include <string>

#include "render/drawing.h"
#include "render/tests/render_fixture.h"
#include "render/visibility_grid.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

TEST(VisibilityGrid, EdgeCodes)
{
    const struct {
        double offset;
        int code;
    } cases[] = {{192.5, 5}, {192, 2}, {160.5, 2}, {160, 0}, {0, 0}, {-160, 0}, {-160.5, 1}, {-192, 1}, {-192.5, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(edgeCode(c.offset, 192, 160), c.code) << c.offset;
}

// Every cell code is what its four corners say, and the closing row and column keep the codes
// their own corners left.
void expectCellsFollowCorners(const VisibilityNodes& t, bool dualBox, const std::string& what)
{
    const auto node = [&](int i, int j, int slot) { return int(t[std::size_t(i)][std::size_t(j)][std::size_t(slot)]); };
    for (int i = 0; i <= 72; ++i)
        for (int j = 0; j <= 36; ++j) {
            const int i2 = std::min(i + 1, 72), j2 = std::min(j + 1, 36);
            // The closing row and column see only the corners that follow them in the fill.
            const int corners[4][2] = {{i, j}, {i, j2}, {i2, j}, {i2, j2}};
            bool allBelow = true;
            for (const auto& c : corners)
                allBelow = allBelow && node(c[0], c[1], nodeBelow) == 1;
            ASSERT_EQ(node(i, j, cellBelow), allBelow ? 1 : 0) << what << " " << i << " " << j;
            if (dualBox) {
                ASSERT_LE(node(i, j, nodeEdgeX), 2) << what;
                continue;
            }
            for (int slot : {nodeEdgeX, nodeEdgeY}) {
                int same = node(i, j, slot);
                for (const auto& c : corners)
                    if (node(c[0], c[1], slot) != same)
                        same = -1;
                const int expected = same >= 4 ? same : 0;
                ASSERT_EQ(node(i, j, slot + 3), expected) << what << " slot " << slot << " " << i << " " << j;
            }
        }
}

struct Chart {
    const char* name;
    std::uint8_t chartMode = skyChartMode;
    std::uint8_t dualBox = 0;
    std::uint8_t projection = 1;
    float depth = 0;
    double magnification = 1;
};

TEST(VisibilityGrid, CellsFollowTheirCornersAndMapsHaveNoHorizon)
{
    const Chart charts[] = {
        {"sky"},
        {"sky x10", skyChartMode, 0, 1, 0, 10},
        {"sky Mollweide", skyChartMode, 0, 7},
        {"sky ALL", skyChartMode, 0, 1, 1.1f},
        {"sky Dual-Box", skyChartMode, 1},
        {"star map", mapChartMode},
        {"star map gnomonic", mapChartMode, 0, 6},
    };
    for (const Chart& c : charts) {
        TestRecords r;
        r.chartView.chartMode = c.chartMode;
        r.chartView.dualBox = c.dualBox;
        r.chartView.magnification = c.magnification;
        r.chartOptions.projectionKind = c.projection;
        r.chartOptions.underHorizonDepth = c.depth;
        r.makeBitmap();
        ASSERT_TRUE(DRAWINGIMG(r));
        const VisibilityGrid& g = r.drawn.visibility;
        const VisibilityNodes* tables[] = {&g.eclipticVisibility[0], &g.eclipticVisibility[1], &g.equatorVisibility[0],
                                           &g.equatorVisibility[1], &g.horizonVisibility};
        int below = 0;
        for (const VisibilityNodes* t : tables) {
            expectCellsFollowCorners(*t, c.dualBox == 1, c.name);
            for (const auto& column : *t)
                for (const auto& entry : column)
                    below += entry[nodeBelow];
        }
        const bool horizon = c.chartMode == skyChartMode && c.depth < 1;
        EXPECT_EQ(below > 0, horizon) << c.name;
        if (horizon) {
            // The horizon table's nodes: below from altitude -5 on (the margin is 0.0025).
            EXPECT_EQ(g.horizonVisibility[10][17][nodeBelow], 1) << c.name;
            EXPECT_EQ(g.horizonVisibility[10][18][nodeBelow], 0) << c.name;
        }
    }
}

TEST(VisibilityGrid, DualBoxKeepsTheSingleBoxSlots)
{
    TestRecords r;
    r.chartView.magnification = 3;
    r.makeBitmap();
    ASSERT_TRUE(DRAWINGIMG(r));
    const VisibilityGrid single = r.drawn.visibility;
    r.chartView.dualBox = 1;
    r.makeBitmap();
    ASSERT_TRUE(DRAWINGIMG(r));
    const VisibilityGrid& dual = r.drawn.visibility;
    int changed = 0;
    for (int i = 0; i <= 72; ++i)
        for (int j = 0; j <= 36; ++j) {
            const auto& a = single.equatorVisibility[1][std::size_t(i)][std::size_t(j)];
            const auto& b = dual.equatorVisibility[1][std::size_t(i)][std::size_t(j)];
            for (int slot : {nodeEdgeY, cellOutsideX, cellOutsideY})
                ASSERT_EQ(a[std::size_t(slot)], b[std::size_t(slot)]);
            changed += a[nodeEdgeX] != b[nodeEdgeX];
        }
    EXPECT_GT(changed, 0);
}

} // namespace
} // namespace nivora
