#include "chartwin/chart_window.h"

#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "chartwin/chartwin_forms.h"
#include "platform/dialogs.h"
#include "platform/tests/short_memory.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

// The chart window beside the main window's fields, drawing from the shipped data folder.
class ChartWindow : public testing::Test {
protected:
    void SetUp() override {
        p_ = std::make_unique<ChartWindowRecords>(NIVORA_DATA_DIR);
        ensureApplication();
        p_->tables = loadStartupTables(NIVORA_DATA_DIR);
        FormSpec main = testing_support::observationFields();
        main.controls.push_back({ControlKind::Button, "BUTTON1"});
        main.controls.push_back({ControlKind::Button, "BUTTON50"});
        ui().load(main);
        ui().load(chartWindowForm());
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs_ = scripted.get();
        ui().setDialogs(std::move(scripted));
        bindChartWindow(*p_);
        p_->chartBitmap.create(600, 360);
    }

    Ui& ui() { return p_->ui; }
    ChartView& view() { return p_->chartView; }
    std::vector<std::string> alerts() const { return dialogs_->alerts(); }
    Control bar(const char* name) { return ui().control(name); }
    void draw(const std::string& size, const char* layout = "RADIO27") {
        ui().userType("EDIT1", size);
        ui().userClick(layout);
        ui().userClick("BUTTON1");
    }

    std::unique_ptr<ChartWindowRecords> p_;
    ScriptedDialogs* dialogs_ = nullptr;
};

// The bitmap and the window fitted to it: sizes, the rounding of an odd half height, the bars.
// Below the chart the bitmap reaches down to the panel's lowest rows (558) and the bottom margin.
TEST_F(ChartWindow, DrawMakesTheBitmapAndFitsTheWindow) {
    struct Case {
        const char* size;
        const char* layout;
        int bitmapWidth, bitmapHeight;
        int windowWidth, windowHeight;
        bool hBar, vBar;
        int hRange, vRange;
        int startHeight = 428;   // the window's, 366 wide
    };
    const Case cases[] = {
        {"320", "RADIO27", 600, 578, 366, 428, true, true, 256, 198},
        {"320", "RADIO29", 960, 578, 366, 428, true, true, 616, 198},
        {"320", "RADIO28", 600, 578, 366, 428, true, true, 256, 198},
        {"640", "RADIO27", 920, 680, 366, 428, true, true, 576, 300},   // the chart is the taller
        // H = 620.5: the bitmap rounds half away, the window's 668.5 to the even 668, and the
        // half pixel left over gets a vertical bar of range 1.
        {"1161", "RADIO28", 1441, 621, 366, 668, true, true, 1097, 1, 700},
        {"100", "RADIO27", 380, 578, 366, 428, true, true, 36, 198},
        {"1", "RADIO27", 281, 578, 303, 428, false, true, 0, 198},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << ' ' << c.layout);
        view().chartWindowWidth = 366;
        view().chartWindowHeight = std::int16_t(c.startHeight);
        draw(c.size, c.layout);
        EXPECT_TRUE(alerts().empty());
        EXPECT_TRUE(ui().form("FORM2").visible());
        EXPECT_EQ(p_->chartBitmap.width(), c.bitmapWidth);
        EXPECT_EQ(p_->chartBitmap.height(), c.bitmapHeight);
        EXPECT_EQ(view().chartWindowWidth, c.windowWidth);
        EXPECT_EQ(view().chartWindowHeight, c.windowHeight);
        EXPECT_EQ(bar("HSCROLL1").enabled(), c.hBar);
        EXPECT_EQ(bar("VSCROLL1").enabled(), c.vBar);
        if (c.hBar) {
            EXPECT_EQ(bar("HSCROLL1").maximum(), c.hRange);
        }
        if (c.vBar) {
            EXPECT_EQ(bar("VSCROLL1").maximum(), c.vRange);
        }
    }
}

TEST_F(ChartWindow, DrawClearsToTheBackgroundColour) {
    for (int white : {0, 1}) {
        p_->chartOptions.whiteBackground = std::uint8_t(white);
        p_->chartBitmap.plotDot(3, 3, 4);
        draw("320");
        EXPECT_EQ(p_->chartBitmap.pixel(3, 3), white * 15);
        EXPECT_EQ(p_->chartBitmap.foregroundColour(), (1 - white) * 7);
        EXPECT_EQ(p_->chartBitmap.backgroundColour(), white * 15);
    }
}

// DRAW at the size already drawn keeps its bitmap: the picture is the one a new bitmap gets
// after a size change and back, with nothing left of an overdraw or of the last chart's font.
TEST_F(ChartWindow, ADrawAtTheSameSizeShowsWhatANewBitmapWould) {
    p_->dataFileSettings.fontKind = 2;
    draw("320");
    ui().userType("EDIT10", "3");
    ui().userClick("BUTTON50");
    ui().userType("EDIT10", "23");
    p_->dataFileSettings.fontKind = 0;   // a kind that keeps the font the bitmap has
    draw("320");
    const QImage kept = p_->chartBitmap.image().copy();
    draw("400");
    draw("320");
    EXPECT_TRUE(alerts().empty());
    EXPECT_EQ(kept, p_->chartBitmap.image());
}

// A DRAW at another size frees the old bitmap before it makes the new one: with room for one
// large bitmap and a half, charts of 6000 and 6001 follow each other.
TEST_F(ChartWindow, ADrawAtAnotherSizeNeverHoldsTwoBitmaps) {
    if (!addressSpaceLimitWorks)
        GTEST_SKIP() << "the sanitizer reserves address space of its own";
    draw("6001");
    ASSERT_EQ(p_->chartBitmap.width(), 6281);
    int width = 0;
    {
        const ShortMemory limit(rlim_t(p_->chartBitmap.image().sizeInBytes()) / 2);
        draw("6000");
        width = p_->chartBitmap.width();
        draw("6001");
    }
    EXPECT_TRUE(alerts().empty());
    EXPECT_EQ(width, 6280);
    EXPECT_EQ(p_->chartBitmap.width(), 6281);
}

// With the address space short, no new thread can start: the windows are still painted (Qt's
// painting splits large fills across threads and waits for them) and DRAW draws or refuses,
// never waiting for ever. In a fresh process of its own, whose thread pool holds only what its
// start made, ended by an alarm should it wait.
TEST_F(ChartWindow, DrawAndPaintingFinishWhenNoThreadCanStart) {
    if (!addressSpaceLimitWorks)
        GTEST_SKIP() << "the sanitizer reserves address space of its own";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::alarm(60);
            {
                const ShortMemory limit(8 << 20);   // no room for a thread's stack
                for (const char* size : {"320", "321", "320"}) {
                    draw(size);
                    ui().pumpEvents();
                }
            }
            // Each DRAW drew, or said why not.
            ::_exit(p_->drawn.chartDrawn || alerts().size() == 3 ? 0 : 3);
        },
        testing::ExitedWithCode(0), "");
}

// The old picture goes before the new one is made, so a DRAW at a size memory cannot hold
// leaves the window with no chart at all: nothing shown, nothing to read, until a DRAW that fits.
TEST_F(ChartWindow, ABitmapThatCannotBeMadeLeavesNoChart) {
    if (!addressSpaceLimitWorks)
        GTEST_SKIP() << "the sanitizer reserves address space of its own";
    draw("320");
    ASSERT_TRUE(p_->drawn.chartDrawn);
    {
        const ShortMemory limit(64 << 20);   // a bitmap of size 9999 takes over 400 MB
        draw("9999");
    }
    EXPECT_EQ(alerts(), std::vector<std::string>{"Size of Image is too large: no room for the picture."});
    EXPECT_TRUE(p_->chartBitmap.empty());
    EXPECT_FALSE(p_->drawn.chartDrawn);
    EXPECT_TRUE(ui().form("FORM2").visible());

    draw("320");
    EXPECT_EQ(alerts().size(), 1u);
    EXPECT_EQ(p_->chartBitmap.width(), 600);
    EXPECT_TRUE(p_->drawn.chartDrawn);
}

// Nothing of the last chart changes: its bitmap, its size and layout, the window.
TEST_F(ChartWindow, DrawRefusesAFieldItCannotDraw) {
    struct Case {
        const char* edit;
        const char* text;
        const char* alert;
    };
    const Case cases[] = {
        {"EDIT1", "0", "Size of Image must be 1 to 9999."},
        {"EDIT1", "abc", "Size of Image must be 1 to 9999."},
        {"EDIT1", "-5", "Size of Image must be 1 to 9999."},
        {"EDIT1", ".4", "Size of Image must be 1 to 9999."},
        {"EDIT1", "", "Size of Image must be 1 to 9999."},
        {"EDIT75", "0", "Magnification must be a number above 0."},
        {"EDIT75", "-2", "Magnification must be a number above 0."},
        {"EDIT75", "x", "Magnification must be a number above 0."},
        {"EDIT75", "1e39", "Magnification must be a number above 0."},   // beyond single precision
        {"EDIT9", "-1e308", "Day must be a number from -16777216 to 16777216."},   // -infinity as a float
        {"EDIT8", "1e30", "Year must be a number from -16777216 to 16777216."},
        {"EDIT8", "-2e7", "Year must be a number from -16777216 to 16777216."},
        {"EDIT10", "1e39", "Hour must be a number from -16777216 to 16777216."},
        {"EDIT11", "16777218", "Minute must be a number from -16777216 to 16777216."},
        {"EDIT6", "1e30", "Actual Time Zone must be a number from -16777216 to 16777216."},
        {"EDIT7", "1e39", "Actual Time Zone must be a number from -16777216 to 16777216."},
    };
    draw("320");
    p_->chartBitmap.plotDot(5, 5, 12);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.edit << " \"" << c.text << '"');
        ui().userType("EDIT1", "100");
        ui().userType("EDIT75", "2");
        for (const char* edit : {"EDIT6", "EDIT7", "EDIT8", "EDIT9", "EDIT10", "EDIT11"})
            ui().userType(edit, "1");
        ui().userClick("RADIO29");
        ui().control(c.edit).setText(c.text);
        dialogs_->calls.clear();
        ui().userClick("BUTTON1");
        EXPECT_EQ(alerts(), std::vector<std::string>{c.alert});
        EXPECT_EQ(p_->chartBitmap.width(), 600);
        EXPECT_EQ(p_->chartBitmap.pixel(5, 5), 12);
        EXPECT_EQ(view().imageSize, 320);
        EXPECT_EQ(view().dualBox, 0);
        EXPECT_EQ(view().magnification, 1);
    }
}

// The date fields hold whole numbers up to 2^24 in single precision: every such date draws.
TEST_F(ChartWindow, DrawTakesADateAtTheEdgesOfItsFields) {
    for (const char* edit : {"EDIT8", "EDIT9", "EDIT10", "EDIT11"}) {
        for (const char* text : {"16777216", "-16777216"}) {
            SCOPED_TRACE(testing::Message() << edit << " " << text);
            ui().control(edit).setText(text);
            draw("100");
            EXPECT_TRUE(alerts().empty());
            EXPECT_TRUE(p_->drawn.chartDrawn);
            p_->drawn.chartDrawn = false;
            ui().control(edit).setText("1");
        }
    }
}

// The magnification is the typed decimal, not its single-precision neighbour: the outlines
// switch off at 1.6 and 1.7, which a rounded 1.6 or 1.7 would already pass.
TEST_F(ChartWindow, DrawAndOverdrawTakeTheMagnificationAsTyped) {
    for (const char* button : {"BUTTON1", "BUTTON50"}) {
        for (const char* text : {"1.6", "1.7", "0.3"}) {
            SCOPED_TRACE(testing::Message() << button << " " << text);
            draw("320");
            ui().userType("EDIT75", text);
            ui().userClick(button);
            EXPECT_EQ(view().magnification, std::stod(text));
        }
    }
    EXPECT_TRUE(alerts().empty());
}

// Every magnification that single precision holds draws, though the scale leaves the grids'
// dots per block far beyond any integer.
TEST_F(ChartWindow, DrawTakesEveryMagnificationSinglePrecisionHolds) {
    for (const char* text : {"6e8", "1e15", "3e38"}) {
        SCOPED_TRACE(text);
        ui().userType("EDIT75", text);
        draw("320");
        EXPECT_TRUE(alerts().empty());
        EXPECT_TRUE(p_->drawn.chartDrawn);
        p_->drawn.chartDrawn = false;
    }
}

TEST_F(ChartWindow, TheScrollPositionSurvivesADrawOfTheSameLayoutOnly) {
    draw("320");
    ui().userScroll("HSCROLL1", 200);
    EXPECT_EQ(view().scrollX, 200);
    draw("320");
    EXPECT_EQ(view().scrollX, 200);
    EXPECT_EQ(bar("HSCROLL1").value(), 200);
    draw("320", "RADIO29");
    EXPECT_EQ(view().scrollX, 0);
    ui().userScroll("HSCROLL1", 600);
    draw("100", "RADIO29");
    EXPECT_EQ(view().scrollX, 0);
}

TEST_F(ChartWindow, TheWindowNeverGrowsAndScrollsOnlyWithinTheBitmap) {
    draw("320");
    ui().userScroll("HSCROLL1", 256);
    // Dragged larger than needed: snaps back to the needed width, so nothing is left to scroll.
    ui().userResize("FORM2", 900, 700);
    EXPECT_EQ(view().chartWindowWidth, 622);
    EXPECT_EQ(view().chartWindowHeight, 626);
    EXPECT_EQ(view().scrollX, 0);
    EXPECT_FALSE(bar("HSCROLL1").enabled());
    EXPECT_EQ(ui().form("FORM2").geometry().width, 622);

    // Made narrower while scrolled: the position drops to where the bitmap still fills it.
    ui().userResize("FORM2", 400, 300);
    ui().userScroll("HSCROLL1", 222);
    ui().userScroll("VSCROLL1", 308);
    ui().userResize("FORM2", 500, 350);
    EXPECT_EQ(view().chartWindowWidth, 500);
    EXPECT_EQ(view().scrollX, 122);
    EXPECT_EQ(view().scrollY, 276);
    EXPECT_EQ(bar("HSCROLL1").maximum(), 122);
    EXPECT_EQ(bar("HSCROLL1").value(), 122);
}

TEST_F(ChartWindow, OverdrawKeepsThePictureAndRefusesAChangedLayout) {
    ui().userClick("BUTTON50");   // before any DRAW: nothing at all
    EXPECT_TRUE(alerts().empty());
    EXPECT_FALSE(ui().form("FORM2").visible());

    draw("320");
    p_->chartBitmap.plotDot(1, 1, 12);
    ui().userType("EDIT75", "3");
    ui().userClick("BUTTON50");
    EXPECT_TRUE(alerts().empty());
    EXPECT_EQ(view().magnification, 3);
    EXPECT_EQ(p_->chartBitmap.pixel(1, 1), 12);

    for (const char* change : {"size", "layout"}) {
        SCOPED_TRACE(change);
        dialogs_->calls.clear();
        if (std::string(change) == "size")
            ui().userType("EDIT1", "321");
        else
            ui().userClick("RADIO28");
        ui().userType("EDIT75", "5");
        ui().userClick("BUTTON50");
        EXPECT_EQ(alerts(), std::vector<std::string>{"The Size of Image has Changed."});
        EXPECT_EQ(view().imageSize, 320);
        EXPECT_EQ(view().halfHeight, 0);
        EXPECT_EQ(view().magnification, 3);
        EXPECT_EQ(ui().control("EDIT1").text(), change == std::string("size") ? "321" : "320");
        ui().userType("EDIT1", "320");
        ui().userClick("RADIO27");
    }

    ui().form("FORM2").hide();
    ui().userClick("BUTTON50");
    EXPECT_FALSE(ui().form("FORM2").visible());
}

TEST_F(ChartWindow, OverdrawRefusesADateItCannotDrawAndKeepsThePicture) {
    draw("320");
    p_->chartBitmap.plotDot(1, 1, 12);
    ui().userType("EDIT9", "-1e308");
    ui().userType("EDIT75", "3");
    ui().userClick("BUTTON50");
    EXPECT_EQ(alerts(), std::vector<std::string>{"Day must be a number from -16777216 to 16777216."});
    EXPECT_EQ(view().magnification, 1);
    EXPECT_EQ(p_->chartBitmap.pixel(1, 1), 12);
}

TEST_F(ChartWindow, DrawAndOverdrawAreRefusedWhileADrawingRuns) {
    draw("320");
    p_->chartBitmap.plotDot(1, 1, 12);
    ui().userType("EDIT1", "100");
    {
        Ui::DrawingScope drawing(ui());
        ui().userClick("BUTTON1");
        ui().userClick("BUTTON50");
        ui().userScroll("HSCROLL1", 100);   // scrolling still runs
    }
    EXPECT_TRUE(alerts().empty());
    EXPECT_EQ(p_->chartBitmap.width(), 600);
    EXPECT_EQ(p_->chartBitmap.pixel(1, 1), 12);
    EXPECT_EQ(view().scrollX, 100);
}

} // namespace
} // namespace nivora
