// The added star and the orbit object on charts drawn by the whole program.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/tests/started_program.h"
#include "astro/constants.h"
#include "astro/projection.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

struct SkyObjectsDrawing : StartedProgram {
    SkyObjectsDrawing() : StartedProgram("skydraw")
    {
        for (const auto& entry : std::filesystem::directory_iterator(NIVORA_DATA_DIR))
            if (entry.is_regular_file())
                std::filesystem::copy_file(entry.path(), folder.path / entry.path().filename(),
                                           std::filesystem::copy_options::overwrite_existing);
    }
    void SetUp() override
    {
        start();
        Ui& u = ui();
        // Tokyo in the evening, Deneb high in the north-west, at the centre of a chart where a
        // pixel spans 0.56 arc minutes.
        u.userType("EDIT10", "19");
        u.userType("EDIT11", "00");
        u.userChoose("COMBO6", 4);
        u.userType("EDIT12", "310.3580");
        u.userType("EDIT13", "45.2803");
        u.userType("EDIT64", "0");
        u.userType("EDIT75", "60");
        program->chartOptions.magnitudeLimit = 6.5f;
    }

    Ui& ui() { return program->ui; }
    void draw() { ui().userClick("BUTTON1"); }

    // Deneb typed in the ICRF with degrees and decimal minutes, drawn as a cross.
    void typeDeneb()
    {
        Ui& u = ui();
        if (u.control("CHECK1").value() == 0)
            u.userClick("CHECK1");
        u.userChoose("COMBO4", 3);
        u.userClick("RADIO62");
        u.userType("EDIT14", "310");
        u.userType("EDIT15", "21.48");
        u.userType("EDIT16", "+45");
        u.userType("EDIT17", "16.818");
        u.userClick("RADIO102");
    }

    // Centre of the pixels of one colour within a square around a point.
    bool centreOf(int colour, double x, double y, int half, double& cx, double& cy) const
    {
        return testing_support::colourCentre(program->chartBitmap, colour, x, y, half, cx, cy);
    }

    // The chart's pixels left of the side strip.
    std::vector<int> chartPixels() const
    {
        const ChartBitmap& b = program->chartBitmap;
        const int width = program->chartView.imageSize + 40;
        std::vector<int> pixels;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(b.pixel(x, y));
        return pixels;
    }
};

TEST_F(SkyObjectsDrawing, DenebTypedInTheIcrfLandsOnTheStarPassDisc)
{
    draw();
    double starX, starY, markX, markY;
    // The chart centre: the box centre, the direction at the middle.
    ASSERT_TRUE(centreOf(15, 180, 180, 4, starX, starY));
    typeDeneb();
    draw();
    ASSERT_TRUE(centreOf(9, 180, 180, 6, markX, markY));
    EXPECT_NEAR(markX, starX, 1.0);
    EXPECT_NEAR(markY, starY, 1.0);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SkyObjectsDrawing, OverdrawMarksWhatTheDrawingMarks)
{
    typeDeneb();
    ui().userClick("RADIO103");   // a disc sized by magnitude
    ui().userType("EDIT18", "-1.00");
    draw();
    const std::vector<int> drawn = chartPixels();

    ui().userClick("CHECK1");
    draw();
    ASSERT_NE(chartPixels(), drawn);
    ui().userClick("CHECK1");
    // The options changed since: the mark still lands on the chart shown.
    program->chartOptions.projectionKind = 3;
    program->chartOptions.refractionOn = 0;
    ui().userClick("BUTTON74");
    EXPECT_EQ(chartPixels(), drawn);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SkyObjectsDrawing, OverdrawRefusals)
{
    typeDeneb();
    ui().userClick("CHECK1");
    draw();
    const std::vector<int> before = chartPixels();
    ui().userClick("BUTTON74");   // the switch is off: nothing, silently
    EXPECT_EQ(chartPixels(), before);
    EXPECT_TRUE(alerts().empty());

    ui().userClick("CHECK1");
    ui().userType("EDIT1", "400");
    ui().userClick("BUTTON74");
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], "The Size of Image has changed.");
    EXPECT_EQ(chartPixels(), before);

    // A distance of 0 on the sky chart: no mark, one alert naming it.
    ui().userType("EDIT1", "320");
    ui().userClick("CHECK11");
    ui().userType("EDIT62", "0");
    ui().userClick("BUTTON74");
    ASSERT_EQ(alerts().size(), 2u);
    EXPECT_NE(alerts()[1].find("Distance"), std::string::npos);
    EXPECT_EQ(chartPixels(), before);
    draw();
    ASSERT_EQ(alerts().size(), 3u);
    EXPECT_NE(alerts()[2].find("Distance"), std::string::npos);
}

TEST_F(SkyObjectsDrawing, AZenithalPlaceLandsAtItsApparentElevation)
{
    Program& p = *program;
    Ui& u = ui();
    p.chartOptions.refractionOn = 1;
    u.userChoose("COMBO6", 0);
    u.userType("EDIT12", "120");
    u.userType("EDIT13", "20.5");
    u.userType("EDIT75", "20");
    u.userClick("CHECK1");
    u.userChoose("COMBO4", 9);
    u.userClick("RADIO62");
    u.userType("EDIT14", "120");
    u.userType("EDIT15", "30");
    u.userType("EDIT16", "+20");
    u.userType("EDIT17", "15");
    u.userClick("RADIO102");
    draw();
    // Where the projection puts the typed azimuth and elevation, taken as seen.
    const double A = 120.5 / degreesPerRadian, E = 20.25 / degreesPerRadian;
    const DirectionVector seen = {std::cos(E) * std::cos(A), std::cos(E) * std::sin(A), std::sin(E)};
    const DirectionVector v = rotate(p.drawn.sky.baseToChart, seen);
    double X, Y;
    DISPXY(v[0], v[1], v[2], p.chartOptions.projectionKind, X, Y, p.userProjection);
    const double x = 180 + X, y = 180 + p.drawn.geometry.directionOffset - Y;
    double cx, cy;
    ASSERT_TRUE(centreOf(9, x, y, 6, cx, cy));
    EXPECT_NEAR(cx, x, 1.0);
    EXPECT_NEAR(cy, y, 1.0);
}

TEST_F(SkyObjectsDrawing, TheUserPolynomialOfTheStereographicDrawsAsIt)
{
    // 2 tan(R/2) in its odd series to R^9.
    write("stereo.txt", {"Term number: 5  odd", "Coefficients of Polynomial", "1", "0.0833333333", "0.0083333333",
                         "0.0008432540", "0.0000854277"});
    Ui& u = ui();
    u.userMenu("MNOPTION");
    dialogs->answerFile(path("stereo.txt"));
    u.userClick("BUTTON49");
    u.userType("EDIT65", "90");
    u.userClick("BUTTON16");
    ASSERT_TRUE(alerts().empty());
    Program& p = *program;
    p.userProjection.chartScale = 320;
    for (double R = 0; R <= 90; R += 7.5)
        for (double turn : {0.0, 1.0, 2.5}) {
            SCOPED_TRACE(testing::Message() << R << " " << turn);
            const double r = R / degreesPerRadian;
            const DirectionVector v = {std::sin(r) * std::cos(turn), std::sin(r) * std::sin(turn), std::cos(r)};
            double X10, Y10, X3, Y3;
            DISPXY(v[0], v[1], v[2], 10, X10, Y10, p.userProjection);
            DISPXY(v[0], v[1], v[2], 3, X3, Y3, p.userProjection);
            EXPECT_NEAR(X10, X3, 1.0);
            EXPECT_NEAR(Y10, Y3, 1.0);
        }
}

} // namespace
} // namespace nivora
