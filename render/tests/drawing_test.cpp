#include "render/drawing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "render/pipeline.h"
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

// A working folder holding the shipped files but the ones named.
struct FolderWithout {
    explicit FolderWithout(std::initializer_list<const char*> missing)
    {
        folder = std::filesystem::temp_directory_path() / ("nivora-render-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        for (const char* name : {"nutation.txt", "prmsun2.plt", "prmmon2.plt", "mars.plt", "ALLSTAR5.txt", "velkanet.net"})
            if (std::find_if(missing.begin(), missing.end(), [&](const char* m) { return std::string(m) == name; }) ==
                missing.end())
                std::filesystem::copy_file(std::filesystem::path(NIVORA_DATA_DIR) / name, folder / name,
                                           std::filesystem::copy_options::overwrite_existing);
    }
    ~FolderWithout() { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

TEST(Drawing, ASeriesFileThatFailsStopsTheDrawingAndKeepsTheLastState)
{
    for (const char* file : {"nutation.txt", "prmsun2.plt", "prmmon2.plt"}) {
        SCOPED_TRACE(file);
        TestRecords r;
        ASSERT_TRUE(DRAWINGIMG(r));
        const double centuries = r.drawn.sky.julianCenturies;
        const double sun = r.drawn.bodies.bodyPositions[0][3];
        FolderWithout without({file});
        r.folder = without.folder;
        r.set("EDIT8", "2030");
        r.chartView.magnification = 2;
        EXPECT_FALSE(DRAWINGIMG(r));
        const auto alerts = r.alerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_NE(alerts[0].find(file), std::string::npos) << alerts[0];
        EXPECT_EQ(r.drawn.sky.julianCenturies, centuries);
        EXPECT_EQ(r.drawn.bodies.bodyPositions[0][3], sun);
        EXPECT_FLOAT_EQ(r.userProjection.chartScale, 320);
        EXPECT_FALSE(r.ui.drawing());
    }
}

TEST(Drawing, APlanetsFileThatFailsSkipsThatPlanetWithOneAlert)
{
    TestRecords r;
    FolderWithout folder({});
    r.folder = folder.folder;
    std::ofstream(folder.folder / "broken.plt") << "x\nlongitude\nmean 1 2 3\n";   // no "end"
    r.planetSettings.planetOrbitFile = {"broken.plt", "nosuch.plt", "mars.plt", "broken.plt", "", "", ""};
    r.planetSettings.planetDisplayMode = {1, 1, 1, 1, 0, 0, 0};
    EXPECT_TRUE(DRAWINGIMG(r));
    const auto alerts = r.alerts();
    ASSERT_EQ(alerts.size(), 2u);   // one per file, however many planets name it
    EXPECT_NE(alerts[0].find("broken.plt"), std::string::npos) << alerts[0];
    EXPECT_NE(alerts[0].find("line"), std::string::npos) << alerts[0];
    EXPECT_NE(alerts[1].find("nosuch.plt"), std::string::npos) << alerts[1];
    const auto& bodies = r.drawn.bodies.bodyPositions;
    EXPECT_EQ(bodies[mercuryBody][3], 0);
    EXPECT_EQ(bodies[venusBody][3], 0);
    EXPECT_GT(bodies[marsBody][3], 5e7);
    EXPECT_EQ(bodies[jupiterBody][3], 0);
    EXPECT_EQ(bodies[saturnBody][3], 0);   // neither shown nor read out: no file read
}

TEST(Drawing, CentringIsAOneShotRequestRunWhileDrawsAreRefused)
{
    struct Case { int centralizing, coloring, index; bool called; int apply; };
    const Case cases[] = {
        {1, 0, 1, true, 1},
        {1, 0, -1, true, 1},    // nothing chosen passes -1
        {0, 1, 2, true, 0},     // colouring runs the check alone
        {0, 1, -1, false, 0},   // colouring with nothing chosen is off
        {0, 0, 2, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.centralizing << c.coloring << c.index);
        TestRecords r;
        r.ui.control("CHECK3").setValue(c.centralizing);
        r.ui.control("CHECK2").setValue(c.coloring);
        r.ui.control("COMBO2").setIndex(c.index);
        bool called = false, drawing = false;
        int apply = -9, index = -9;
        r.drawingHooks.centralize = [&](ProgramRecords& p, int a, int i) {
            called = true;
            apply = a;
            index = i;
            drawing = p.ui.drawing();
        };
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_EQ(called, c.called);
        if (c.called) {
            EXPECT_EQ(apply, c.apply);
            EXPECT_EQ(index, c.index);
            EXPECT_TRUE(drawing);
        }
        EXPECT_EQ(r.ui.control("CHECK3").value(), 0);
    }
}

TEST(Drawing, FontFromTheFontKind)
{
    struct Case { int kind; const char* family; int pixels; };
    const Case cases[] = {
        {1, "Courier New", 14},
        {2, "ＭＳ ゴシック", 16},
        {0, "Arial", 9},   // any other kind keeps the font as it was
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        TestRecords r;
        r.chartBitmap.setFont("Arial", 9);
        r.dataFileSettings.fontKind = std::uint8_t(c.kind);
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_EQ(r.chartBitmap.font().family, c.family);
        EXPECT_EQ(r.chartBitmap.fontPixelSize(), c.pixels);
    }
}

TEST(Drawing, SettingsAreFrozenAtTheHeadWhileOthersAreReadLive)
{
    TestRecords r;
    r.chartOptions.projectionKind = 3;
    r.chartView.chartMode = mapChartMode;
    r.ui.control("COMBO5").setIndex(5);
    r.ui.control("COMBO6").setIndex(7);
    // A menu used halfway through (inside the alert a drawing shows is one such moment).
    r.drawingHooks.centralize = [](ProgramRecords& p, int, int) { p.chartOptions.projectionKind = 8; };
    r.ui.control("CHECK3").setValue(1);
    r.chartView.magnification = 0.5;
    r.noGrids();
    ASSERT_TRUE(DRAWINGIMG(r));
    EXPECT_EQ(r.drawn.settings.drawnProjection, 3);
    EXPECT_EQ(r.drawn.settings.displayFrameIndex, 5);
    EXPECT_EQ(r.drawn.settings.directionFrameIndex, 7);
    EXPECT_EQ(r.chartBitmap.pixel(100, 180), 9);   // yet the outline is the orthographic one, radius 80
}

TEST(Drawing, ASizeOrMagnificationThatCannotBeDrawnIsLeftAlone)
{
    struct Case { int size; double magnification; };
    for (const Case c : {Case{0, 1}, Case{-5, 1}, Case{320, 0}, Case{320, -1}, Case{320, std::nan("")}}) {
        SCOPED_TRACE(testing::Message() << c.size << ' ' << c.magnification);
        TestRecords r;
        r.chartView.imageSize = std::int16_t(c.size);
        r.chartView.magnification = c.magnification;
        EXPECT_FALSE(DRAWINGIMG(r));
        EXPECT_EQ(r.drawn.sky.julianCenturies, 0);
    }
}

} // namespace
} // namespace nivora
