#include "platform/chartbitmap.h"
#include "platform/dialogs.h"
#include "platform/forms.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWindow>
#include <QTimer>
#include <QWidget>

#include <stdexcept>
#include <string>
#include <vector>

namespace nivora {
namespace {

// A small main window and one secondary form with every kind of control the program uses.
struct SmallProgram : testing::Test {
    Ui ui;
    std::vector<std::string> fired;
    ScriptedDialogs* dialogs = nullptr;

    void SetUp() override
    {
        ui.load({"MAINFORM", "main", {
            {ControlKind::Edit, "EDIT1", "", "320", 5},
            {.kind = ControlKind::Edit, .name = "EDIT2", .text = "12", .maxLength = 3,
             .digitsOnly = true},
            {ControlKind::Button, "BUTTON1", "DRAW"},
            {ControlKind::Check, "CHECK3", "Centralizing"},
            {.kind = ControlKind::Frame, .name = "FRAME1", .caption = "Layout"},
            // Screen order differs from code order on purpose.
            {.kind = ControlKind::Radio, .name = "RADIO29", .caption = "Dual-Box",
             .group = "LAYOUT", .position = 3, .box = "FRAME1"},
            {.kind = ControlKind::Radio, .name = "RADIO27", .caption = "normal",
             .group = "LAYOUT", .position = 1, .value = 1, .box = "FRAME1", .sameRow = true},
            {.kind = ControlKind::Radio, .name = "RADIO28", .caption = "half Height",
             .group = "LAYOUT", .position = 2, .box = "FRAME1", .sameRow = true},
            {.kind = ControlKind::Combo, .name = "COMBO6", .items = {"Zenithal", "Equatorial"},
             .index = 0},
        }});
        ui.load({"FORM2", "planisphere Image", {
            {ControlKind::HScroll, "HSCROLL1"},
            {ControlKind::VScroll, "VSCROLL1"},
        }, Surface::Canvas});
        ui.load({"FORM4", "DRAW using Data File", {
            {.kind = ControlKind::Picture, .name = "PICTURE1", .width = 140, .height = 39},
        }});
        ui.setMenu({
            {0, "FILE", "File"},
            {1, "ENDING", "End"},
            {0, "DISPLAY", "Display Option"},
            {1, "STARS", "Stars"},
            {2, "MAG2", "Mag<2.5"},
            {2, "MAG4", "Mag<4.5", true},
            {2, "MAGSEP", "-"},
            {2, "MAGSCALE", "Scaling"},
        });
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        ui.setDialogs(std::move(scripted));
        for (const char* h : {"EDIT1_CHANGE", "BUTTON1_ON", "CHECK3_ON", "RADIO27_ON",
                              "RADIO28_ON", "RADIO29_ON", "COMBO6_CHANGE", "HSCROLL1_CHANGE",
                              "FORM2_CLICK", "FORM2_RESIZE", "PICTURE1_CLICK", "MAG2_ON"}) {
            ui.bind(h, [this, h] { fired.push_back(h); });
        }
    }
};

TEST_F(SmallProgram, ValuesSetFromCodeFireNothing)
{
    ui.control("EDIT1").setText("500");
    ui.control("CHECK3").setValue(1);
    ui.control("RADIO28").setValue(1);
    ui.control("COMBO6").setIndex(1);
    ui.control("HSCROLL1").setRange(0, 100);
    ui.control("HSCROLL1").setValue(40);
    ui.form("FORM2").show();
    ui.form("FORM2").resize(300, 200);
    ui.pumpEvents();
    ui.menu("MAG2").setChecked(true);
    EXPECT_TRUE(fired.empty()) << fired.front();
    EXPECT_EQ(ui.control("EDIT1").text(), "500");
    EXPECT_EQ(ui.control("HSCROLL1").value(), 40);
    EXPECT_EQ(ui.control("COMBO6").index(), 1);
}

TEST_F(SmallProgram, UserActionsFireTheirHandlers)
{
    ui.userType("EDIT1", "400");
    ui.userClick("BUTTON1");
    ui.userClick("CHECK3");
    ui.userChoose("COMBO6", 1);
    ui.control("HSCROLL1").setRange(0, 100);
    ui.userScroll("HSCROLL1", 30);
    ui.userClickForm("FORM2", 20, 25);
    ui.userResize("FORM2", 300, 200);
    ui.userClick("PICTURE1");
    ui.userMenu("mag2");
    EXPECT_EQ(fired, (std::vector<std::string>{"EDIT1_CHANGE", "BUTTON1_ON", "CHECK3_ON",
                                               "COMBO6_CHANGE", "HSCROLL1_CHANGE", "FORM2_CLICK",
                                               "FORM2_RESIZE", "PICTURE1_CLICK", "MAG2_ON"}));
    EXPECT_EQ(ui.control("EDIT1").text(), "400");
    EXPECT_EQ(ui.control("CHECK3").value(), 1);
    EXPECT_EQ(ui.control("HSCROLL1").value(), 30);
    EXPECT_EQ(ui.form("FORM2").clickX(), 20);
    EXPECT_EQ(ui.form("FORM2").clickY(), 25);
    // A menu item's mark is the handler's business, not the click's.
    EXPECT_FALSE(ui.menu("MAG2").checked());
    EXPECT_TRUE(ui.menu("MAG4").checked());
}

TEST_F(SmallProgram, DisabledControlsTakeNoUserAction)
{
    ui.control("BUTTON1").setEnabled(false);
    ui.userClick("BUTTON1");
    ui.menu("MAG2").setEnabled(false);
    ui.userMenu("MAG2");
    EXPECT_TRUE(fired.empty());
}

TEST_F(SmallProgram, TypingKeepsToDigitsAndMaximumLength)
{
    ui.userType("EDIT2", "12345");
    EXPECT_EQ(ui.control("EDIT2").text(), "123");
    ui.userType("EDIT2", "4a5");
    EXPECT_EQ(ui.control("EDIT2").text(), "45");
    ui.userType("EDIT1", "1234567");
    EXPECT_EQ(ui.control("EDIT1").text(), "12345");
}

// The limits hold the user's typing only: a text the program writes (a loaded file's value, a
// computed year) is kept whole.
TEST_F(SmallProgram, TextFromCodeIsNotCut)
{
    const std::pair<const char*, const char*> cases[] = {
        {"EDIT1", "10002007"}, {"EDIT2", "12345"}, {"EDIT2", "-1.5"}};
    for (const auto& [edit, text] : cases) {
        ui.control(edit).setText(text);
        EXPECT_EQ(ui.control(edit).text(), text) << edit;
    }
}

TEST_F(SmallProgram, OptionGroupReadsPositionOfTheChosenButton)
{
    Form main = ui.form("MAINFORM");
    EXPECT_EQ(main.groupCode("LAYOUT"), 1);
    struct Case { const char* click; int code; };
    const Case cases[] = {{"RADIO29", 3}, {"RADIO28", 2}, {"RADIO28", 2}, {"RADIO27", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.click);
        ui.userClick(c.click);   // a second click on the chosen one keeps it chosen
        EXPECT_EQ(main.groupCode("LAYOUT"), c.code);
        EXPECT_EQ(ui.control(c.click).value(), 1);
    }
    // Code may clear the whole group, or set buttons one by one.
    main.setGroupCode("LAYOUT", 0);
    EXPECT_EQ(main.groupCode("LAYOUT"), 0);
    ui.control("RADIO28").setValue(1);
    EXPECT_EQ(main.groupCode("LAYOUT"), 2);
    ui.userClick("RADIO29");
    EXPECT_EQ(ui.control("RADIO28").value(), 0);
    EXPECT_EQ(main.groupCode("LAYOUT"), 3);
}

TEST_F(SmallProgram, MenuNamesIgnoreCase)
{
    EXPECT_TRUE(ui.hasMenu("mag4"));
    EXPECT_TRUE(ui.hasMenu("MagSep"));
    EXPECT_TRUE(ui.hasMenu("stars"));
    ui.check("mag4", false);
    ui.check("Mag2");
    EXPECT_TRUE(ui.menu("MAG2").checked());
    EXPECT_FALSE(ui.menu("MAG4").checked());
    EXPECT_FALSE(ui.hasMenu("MAG9"));
    EXPECT_THROW(ui.menu("MAG9"), std::out_of_range);
}

TEST_F(SmallProgram, BindingAnUnknownNameFails)
{
    EXPECT_THROW(ui.bind("BUTTON99_ON", [] {}), std::invalid_argument);
    EXPECT_THROW(ui.bind("EDIT1_ON", [] {}), std::invalid_argument);
    EXPECT_THROW(ui.bind("STARS_ON", [] {}), std::invalid_argument);   // a sub-menu
    EXPECT_NO_THROW(ui.bind("magscale_ON", [] {}));
}

// The drawing reads switches and fields of forms a test may not load: a missing form or a
// control of another form reads as nothing rather than failing.
TEST_F(SmallProgram, FormControlsReadAsNothingWhenMissing)
{
    ui.control("CHECK3").setValue(1);
    ui.control("EDIT1").setText("1.018km");
    struct Case {
        const char* form;
        const char* control;
        int value;
        const char* text;
        float number;
    };
    const Case cases[] = {
        {"MAINFORM", "CHECK3", 1, "Centralizing", 0},
        {"MAINFORM", "EDIT1", 0, "1.018km", 1.018f},   // held in single precision
        {"MAINFORM", "EDIT2", 0, "12", 12},
        {"FORM4", "EDIT1", 0, "", 0},                  // on another form
        {"FORM9", "CHECK1", 0, "", 0},                 // no such form
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " " + c.control);
        EXPECT_EQ(ui.formValue(c.form, c.control), c.value);
        EXPECT_EQ(ui.formText(c.form, c.control), c.text);
        EXPECT_EQ(ui.formNumber(c.form, c.control), c.number);
    }
}

TEST_F(SmallProgram, ListIndexMayBeNone)
{
    Control combo = ui.control("COMBO6");
    combo.setIndex(-1);
    EXPECT_EQ(combo.index(), -1);
    combo.setIndex(7);   // out of range: ignored
    EXPECT_EQ(combo.index(), -1);
    combo.setItems({"a", "b", "c"});
    EXPECT_EQ(combo.index(), -1);
    EXPECT_EQ(combo.itemCount(), 3);
}

TEST_F(SmallProgram, ClosingTheMainWindowEndsTheProgramWithAnotherFormOpen)
{
    int saved = 0, exits = 0;
    ui.setShutdownSave([&] { ++saved; });
    ui.setExit([&](int) { ++exits; });
    ui.form("FORM4").show();
    ui.userClose("FORM4");
    EXPECT_FALSE(ui.form("FORM4").visible());
    EXPECT_EQ(exits, 0);
    ui.form("FORM4").show();
    ui.userClose("MAINFORM");
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(exits, 1);
}

// A window nothing has placed opens over the main window, clear of its menu bar; a placed one
// and one shown before keep their places.
TEST_F(SmallProgram, UnplacedWindowsOpenBelowTheMainWindowsMenuBar)
{
    Form main = ui.mainForm();
    main.move(300, 200);
    main.show();
    ui.form("FORM2").move(5, 6);
    ui.form("FORM2").show();
    EXPECT_EQ(ui.form("FORM2").geometry().left, 5);
    EXPECT_EQ(ui.form("FORM2").geometry().top, 6);

    Form form4 = ui.form("FORM4");
    form4.show();
    const Geometry g = form4.geometry();
    const Geometry m = main.geometry();
    EXPECT_GT(g.left, m.left);
    EXPECT_GT(g.top, m.top + 24); // the menu bar's height beyond the offset
    form4.hide();
    main.move(600, 500);
    form4.show();
    EXPECT_EQ(form4.geometry().left, g.left);
    EXPECT_EQ(form4.geometry().top, g.top);
}

// Before a window is first shown its frame is not known yet; the size set then is still the
// outer size, and making it hold is no user's resize.
TEST_F(SmallProgram, AnOuterSizeSetBeforeTheFirstShowHolds)
{
    struct Case { const char* form; bool withPlace; };
    for (const Case& c : {Case{"FORM2", false}, Case{"FORM4", true}}) {
        SCOPED_TRACE(c.form);
        Form form = ui.form(c.form);
        if (c.withPlace) form.setGeometry({40, 50, 366, 428});
        else form.resize(366, 428);
        form.show();
        ui.pumpEvents();
        const Geometry g = form.geometry();
        EXPECT_EQ(g.width, 366);
        EXPECT_EQ(g.height, 428);
        if (c.withPlace) {
            EXPECT_EQ(g.left, 40);
            EXPECT_EQ(g.top, 50);
        }
        form.resize(300, 200);   // once shown, as before
        ui.pumpEvents();
        EXPECT_EQ(form.geometry().width, 300);
        EXPECT_EQ(form.geometry().height, 200);
    }
    EXPECT_TRUE(fired.empty());
}

// A size the program chose itself opens cut to the free part of the screen right of and below the
// window's place, frame included, and the form hears of the cut; a size set as it is opens so,
// though it reaches past the screen's edge. The first show takes the frame the other windows have.
TEST_F(SmallProgram, ASizeOfTheProgramsOwnOpensWithinTheScreen)
{
    ui.mainForm().show();
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "FORM2") window = w;
    ASSERT_NE(window, nullptr);
    struct Case {
        const char* what;
        int left, top;
        bool withinScreen, cut;
    };
    const Case cases[] = {
        {"past the bottom", 100, free.bottom() - 300, true, true},
        {"past the right", free.right() - 300, 100, true, true},
        {"past both", free.right() - 200, free.bottom() - 200, true, true},
        {"room enough", 10, 10, true, false},
        {"set as it is", 100, free.bottom() - 300, false, false},
    };
    Form chart = ui.form("FORM2");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        chart.hide();
        chart.move(c.left, c.top);
        if (c.withinScreen) chart.resizeWithinScreen(622, 626);
        else chart.resize(622, 626);
        EXPECT_EQ(chart.sizeProvisional(), c.withinScreen);
        fired.clear();
        chart.show();
        ui.pumpEvents();
        EXPECT_FALSE(chart.sizeProvisional());
        const QRect frame = window->frameGeometry();
        EXPECT_EQ(frame.topLeft(), QPoint(c.left, c.top));
        EXPECT_EQ(free.contains(frame), c.withinScreen);
        const Geometry g = chart.geometry();
        if (c.cut) {
            EXPECT_TRUE(frame.right() == free.right() || frame.bottom() == free.bottom());
            EXPECT_EQ(fired, std::vector<std::string>{"FORM2_RESIZE"});
            EXPECT_EQ(g.width < 622, frame.right() == free.right());
            EXPECT_EQ(g.height < 626, frame.bottom() == free.bottom());
        } else {
            EXPECT_TRUE(fired.empty());
            EXPECT_EQ(g.width, 622);
            EXPECT_EQ(g.height, 626);
        }
    }
}

TEST_F(SmallProgram, ClosingTheMainWindowLeavesTheEventLoop)
{
    int saved = 0;
    bool handlerRan = false;
    ui.setShutdownSave([&] { ++saved; });
    ui.bind("MAINFORM_QUERYCLOSE", [&] {
        handlerRan = true;
        ui.shutDown();   // the program's own close handler may shut down too: still once
    });
    ui.mainForm().show();
    ui.form("FORM4").show();
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "MAINFORM") w->close();
    });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });   // a hang fails, not blocks
    EXPECT_EQ(ui.run(), 0);
    EXPECT_TRUE(handlerRan);
    EXPECT_EQ(saved, 1);
    EXPECT_FALSE(ui.form("FORM4").visible());
}

TEST_F(SmallProgram, DrawingRefusesWhatWouldReadHalfBuiltState)
{
    std::vector<std::string> ran;
    ui.bind("BUTTON1_ON", [&] { ran.push_back("draw"); }, WhileDrawing::Refuse);
    ui.bind("FORM2_CLICK", [&] { ran.push_back("click"); }, WhileDrawing::Refuse);
    ui.bind("MAG2_ON", [&] { ran.push_back("menu"); });
    {
        Ui::DrawingScope drawing(ui);
        ui.userClick("BUTTON1");
        ui.userMenu("MAG2");
        // A modal ALERT during the drawing still refuses them.
        dialogs->duringAlert([&] {
            ui.userClickForm("FORM2", 30, 30);
            ui.userMenu("MAG2");
        });
        ui.alert("The Direction is under the Horizen.");
    }
    ui.userClick("BUTTON1");
    EXPECT_EQ(ran, (std::vector<std::string>{"menu", "menu", "draw"}));
}

TEST_F(SmallProgram, ShutDownInsideADrawingSavesAndDoesNotReturn)
{
    int saved = 0;
    bool resumed = false;
    ui.setShutdownSave([&] { ++saved; });
    // The program really ends, in a child process, with a code that says what it had seen: an
    // exception thrown to fake an exit would unwind through Qt's signal code.
    ui.setExit([&](int) { std::_Exit(saved == 1 && !resumed ? 3 : 4); });
    ui.bind("BUTTON1_ON", [&] {
        Ui::DrawingScope drawing(ui);
        ui.userMenu("ENDING");
        resumed = true;
    }, WhileDrawing::Refuse);
    ui.bind("ENDING_ON", [&] { ui.shutDown(); });
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ui.userClick("BUTTON1");
            std::_Exit(5);   // the shut-down returned
        },
        testing::ExitedWithCode(3), "");
}

TEST_F(SmallProgram, AHandlerThatFailsAlertsAndTheProgramGoesOn)
{
    int runs = 0;
    ui.bind("BUTTON1_ON", [&] {
        if (++runs == 1) throw std::bad_alloc();
        if (runs == 2) throw std::runtime_error("\"stars.txt\", line 3: expected a number");
    });
    for (int i = 0; i < 3; ++i) ui.userClick("BUTTON1");
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(dialogs->alerts(), (std::vector<std::string>{"Not enough memory to finish BUTTON1_ON.",
                                                           "\"stars.txt\", line 3: expected a number"}));
}

TEST_F(SmallProgram, FontsKeepTheirWindowsNames)
{
    Control picture = ui.control("PICTURE1");
    EXPECT_EQ(picture.font(), (FontSpec{"Arial", 9}));
    picture.setFont({"ＭＳ ゴシック", 16});
    EXPECT_EQ(picture.font(), (FontSpec{"ＭＳ ゴシック", 16}));
    // A form's font is what it prints; its controls keep their own.
    ui.form("MAINFORM").setFont({"Courier New", 14});
    EXPECT_EQ(ui.form("MAINFORM").font(), (FontSpec{"Courier New", 14}));
    EXPECT_EQ(ui.control("BUTTON1").font(), (FontSpec{"Arial", 9}));
}

TEST_F(SmallProgram, CanvasShowsTheBitmapAtItsOffsetAndMarksUntilTheNextPaint)
{
    Form chart = ui.form("FORM2");
    chart.show();
    chart.resize(200, 150);
    ChartBitmap bitmap(40, 30);
    bitmap.clear(15);
    bitmap.plotDot(0, 0, 5);
    chart.paintBitmap(bitmap, 14 - 3, 14 - 2);   // scrolled by (3, 2)
    chart.drawWindowLine(50, 60, 56, 60, paletteColour(9));
    QWidget* surface = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "FORM2") surface = w->findChild<QWidget*>("surface");
    ASSERT_NE(surface, nullptr);
    QImage shown = surface->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(11, 12)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shown.pixel(12, 13)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(shown.pixel(11 + 40, 12)), surface->palette().color(QPalette::Window));
    EXPECT_EQ(QColor(shown.pixel(53, 60)), QColor(0, 255, 0));
    chart.paintBitmap(bitmap, 14, 14);
    shown = surface->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(14, 14)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shown.pixel(53, 60)), surface->palette().color(QPalette::Window));
}

// A chart window's stored outer size counts a fixed frame around the part of the surface that
// the scroll bars leave free: at W + 22 by H + 48 the whole W x H bitmap shows at the inset,
// and scrolled to the ends of the bars' range its last column and row meet the surface's edges.
// The bars themselves and the window manager's frame come on top.
TEST_F(SmallProgram, ACanvasFormsOuterSizeIsTheFreeSurfacePlusAFixedFrame)
{
    constexpr int inset = 14;
    ChartBitmap bitmap(600, 360);
    bitmap.clear(0);
    bitmap.fillRect(599, 0, 599, 359, 15);   // last column
    bitmap.fillRect(0, 359, 599, 359, 12);   // last row
    const QColor lastColumn(bitmap.image().pixel(599, 0));
    const QColor lastRow(bitmap.image().pixel(0, 359));

    struct Case { int width, height; bool shown; bool user; };
    const Case cases[] = {
        {622, 408, false, false},   // as restored at start-up
        {622, 408, true, false},
        {622, 408, true, true},
        {400, 300, true, true},     // smaller than needed: scrolled to the ends
        {366, 428, true, false},    // wider than needed in height: room below the bitmap
    };
    Form chart = ui.form("FORM2");
    QWidget* surface = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "FORM2") surface = w->findChild<QWidget*>("surface");
    ASSERT_NE(surface, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << 'x' << c.height << " shown " << c.shown
                                        << " user " << c.user);
        if (c.shown) chart.show();
        if (c.user) ui.userResize("FORM2", c.width, c.height);
        else chart.resize(c.width, c.height);
        ui.pumpEvents();
        EXPECT_EQ(chart.geometry().width, c.width);
        EXPECT_EQ(chart.geometry().height, c.height);
        if (!c.shown) continue;
        const QSize free(c.width - canvasFrameWidth, c.height - canvasFrameHeight);
        EXPECT_EQ(surface->width(), free.width());
        EXPECT_EQ(surface->height(), free.height());

        const int scrollX = std::max(0, 622 - c.width);
        const int scrollY = std::max(0, 408 - c.height);
        chart.paintBitmap(bitmap, inset - scrollX, inset - scrollY);
        const QImage shown = surface->grab().toImage();
        const int right = inset - scrollX + 599, bottom = inset - scrollY + 359;
        EXPECT_LT(right, free.width());
        EXPECT_LT(bottom, free.height());
        EXPECT_EQ(QColor(shown.pixel(right, bottom - 1)).name(), lastColumn.name());
        EXPECT_EQ(QColor(shown.pixel(right - 1, bottom)).name(), lastRow.name());
        if (c.width <= 622) {
            EXPECT_EQ(right, free.width() - 1);
        }
        if (c.height <= 408) {
            EXPECT_EQ(bottom, free.height() - 1);
        }
    }
    EXPECT_EQ(fired, (std::vector<std::string>{"FORM2_RESIZE", "FORM2_RESIZE"}));
}

TEST(TextSurface, PrintsItemsAndLineEnds)
{
    Ui ui;
    Form pointing = ui.load({"FORM6", "pointing", {{ControlKind::Button, "BUTTON18", "Close"}},
                             Surface::Text});
    pointing.print("(x,y)=", false);
    pointing.printFormatted("(#####", 12);
    pointing.print(",", false);
    pointing.printFormatted("#####)", 345, true);
    pointing.print("Out of Star Map.");
    pointing.print(" 1", false);
    pointing.print(")", false);
    EXPECT_EQ(pointing.surfaceText(), "(x,y)=(   12,  345)\nOut of Star Map.\n 1)");
    pointing.clearText();
    EXPECT_EQ(pointing.surfaceText(), "");
}

// A window fitted to a long text comes back down for a short one, never below the size asked.
TEST(TextSurface, FittingFollowsTheTextBothWays)
{
    auto load = [](Ui& ui) {
        return ui.load({"FORM6", "pointing", {{ControlKind::Button, "BUTTON18", "Close"}},
                        Surface::Text});
    };
    auto fill = [](Form& form, int lines, int width) {
        form.clearText();
        for (int i = 0; i < lines; ++i) form.print(std::string(width, 'W'));
    };
    struct Case { int minHeight; };
    for (const Case& c : {Case{60}, Case{200}}) {
        SCOPED_TRACE(c.minHeight);
        Ui fresh;
        Form once = load(fresh);
        fill(once, 2, 10);
        once.fitText(300, c.minHeight);
        once.show();
        fresh.pumpEvents();
        const Geometry want = once.geometry();
        EXPECT_GE(want.height, c.minHeight);

        Ui ui;
        Form form = load(ui);
        fill(form, 60, 10);
        form.fitText(300, c.minHeight);
        form.show();
        ui.pumpEvents();   // the window takes the tall text's minimum size
        const int tall = form.geometry().height;
        EXPECT_GT(tall, want.height + 500);
        fill(form, 2, 10);
        form.fitText(300, c.minHeight);
        form.show();
        ui.pumpEvents();
        EXPECT_EQ(form.geometry().height, want.height);
        EXPECT_EQ(form.geometry().width, want.width);
    }
}

// The place of a control on the screen once the user has scrolled its window to it.
QPoint scrolledIntoView(QWidget* control)
{
    for (QWidget* up = control->parentWidget(); up; up = up->parentWidget())
        if (auto* scroller = qobject_cast<QScrollArea*>(up)) scroller->ensureWidgetVisible(control, 0, 0);
    return control->mapToGlobal(control->rect().center());
}

// A form larger than the free part of the screen, or placed where it would reach past it, opens
// within it, and every control can be scrolled to and pressed there. One at a place of the
// program's own choosing moves back into that part; one at a given place stays there and is cut.
// One that fits opens just as it was laid out, pixel for pixel.
TEST(FormsOnTheScreen, EveryControlCanBeReachedAndOneThatFitsIsUnchanged)
{
    ensureApplication();
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint corner(free.right() - 100, free.bottom() - 100);
    enum class Place { givenTopLeft, givenNearTheCorner, overTheMainWindowNearTheCorner };
    struct Case {
        const char* what;
        int width, height;   // of the picture that fills the form
        Place place;
        bool fits;
        bool down, across;   // the ways it scrolls
    };
    const int taller = free.height() + 200, wider = free.width() + 200;
    const Case cases[] = {
        {"fits", 300, 200, Place::givenTopLeft, true, false, false},
        {"taller than the screen", 300, taller, Place::givenTopLeft, false, true, false},
        {"wider than the screen", wider, 200, Place::givenTopLeft, false, false, true},
        {"larger both ways", wider, taller, Place::givenTopLeft, false, true, true},
        {"fits, but the program's place is past the corner", 300, 200,
         Place::overTheMainWindowNearTheCorner, false, false, false},
        {"larger, the program's place past the corner", wider, taller,
         Place::overTheMainWindowNearTheCorner, false, true, true},
        {"fits, but given a place near the corner", 300, 200, Place::givenNearTheCorner, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Ui ui;
        Form main = ui.load({"MAINFORM", "main", {{ControlKind::Label, "LABEL9", "main"}}});
        Form form = ui.load({"FORM4", "form", {
            {.kind = ControlKind::Picture, .name = "PICTURE1", .width = c.width, .height = c.height},
            {ControlKind::Label, "LABEL1", "Year"},
            {.kind = ControlKind::Edit, .name = "EDIT1", .text = "2000", .sameRow = true},
            {.kind = ControlKind::Button, .name = "BUTTON1", .caption = "OK", .sameRow = true},
        }});
        std::vector<std::string> fired;
        for (const char* h : {"BUTTON1_ON", "PICTURE1_CLICK"}) ui.bind(h, [&fired, h] { fired.push_back(h); });
        main.move(corner.x(), corner.y());
        main.show();
        if (c.place == Place::givenTopLeft) form.move(free.left() + 10, free.top() + 10);
        if (c.place == Place::givenNearTheCorner) form.move(corner.x(), corner.y());
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "FORM4") window = w;
        ASSERT_NE(window, nullptr);
        const QImage laidOut = window->grab().toImage();

        form.show();
        ui.pumpEvents();
        EXPECT_TRUE(free.contains(window->frameGeometry())) << window->frameGeometry().bottom();
        if (c.place == Place::givenNearTheCorner) {
            EXPECT_EQ(form.geometry().left, corner.x());
            EXPECT_EQ(form.geometry().top, corner.y());
        }
        if (c.fits) {
            // The focus the window takes on showing aside.
            if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
            EXPECT_EQ(window->grab().toImage(), laidOut);
        }
        auto* scroller = window->findChild<QScrollArea*>();
        EXPECT_EQ(scroller && scroller->verticalScrollBar()->isVisible(), c.down);
        EXPECT_EQ(scroller && scroller->horizontalScrollBar()->isVisible(), c.across);
        for (const char* name : {"PICTURE1", "EDIT1", "BUTTON1"}) {
            SCOPED_TRACE(name);
            QWidget* control = window->findChild<QWidget*>(name);
            ASSERT_NE(control, nullptr);
            const QPoint at = scrolledIntoView(control);
            EXPECT_TRUE(free.contains(at));
            EXPECT_EQ(QApplication::widgetAt(at), control);
        }
        // Pressed where it shows, the button and the picture hear of it.
        for (const char* name : {"BUTTON1", "PICTURE1"}) {
            QWidget* control = window->findChild<QWidget*>(name);
            const QPoint at = window->windowHandle()->mapFromGlobal(scrolledIntoView(control));
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
        }
        EXPECT_EQ(fired, (std::vector<std::string>{"BUTTON1_ON", "PICTURE1_CLICK"}));
        EXPECT_EQ(ui.control("EDIT1").text(), "2000");
    }
}

TEST(PictureFormat, DigitPlacesRightAlignTheNumber)
{
    struct Case { const char* picture; double value; const char* text; };
    const Case cases[] = {
        {"(#####", 123, "(  123"},
        {"#####)", 45, "   45)"},
        {"##", 3, " 3"},
        {"##", 12, "12"},
        {"##", 123, "123"},       // never cut
        {"(#####", -7, "(   -7"},
        {"#####)", 2.5, "    2)"},  // to the even neighbour
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        EXPECT_EQ(formatPicture(c.picture, c.value), c.text);
    }
}

} // namespace
} // namespace nivora
