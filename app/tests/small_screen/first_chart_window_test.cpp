// The first chart window on a small screen, 1024 x 600 (a netbook's): Qt's offscreen screen of
// this process's own, so a process of its own.
#include "app/tests/started_program.h"
#include "options/settings_lines.h"
#include "platform/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace nivora {
namespace {

struct SmallScreen : StartedProgram {
    SmallScreen() : StartedProgram("small-screen") {}

    static QRect chartFrame()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "FORM2") return w->frameGeometry();
        return {};
    }
    // The settings file the run command puts in place.
    void putStarter() const
    {
        std::filesystem::copy_file(std::filesystem::path(NIVORA_DATA_DIR) / "../scripts/starter-nivora.ini",
                                   folder.path / "nivora.ini");
    }
};

// However the first start comes about, the first chart window lies wholly on the screen, frame
// included, its records follow the window, and the scroll bars show what it leaves out; the next
// start keeps that size. A size the user saved is kept, though it reaches past the screen.
TEST_F(SmallScreen, TheFirstChartWindowLiesOnTheScreen)
{
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(free.size(), QSize(1024, 600));
    enum class Before { nothing, starter, endedBeforeAChart, savedSize };
    struct Case {
        const char* what;
        Before before;
    };
    const Case cases[] = {
        {"a first run", Before::nothing},
        {"the run command's starter", Before::starter},
        {"a first run ended before its first chart", Before::endedBeforeAChart},
        {"a size the user saved", Before::savedSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(folder.path / "nivora.ini");
        if (c.before == Before::starter || c.before == Before::savedSize) putStarter();
        if (c.before == Before::savedSize) {
            auto file = lines("nivora.ini");
            file.at(4) = " 622 ";
            file.at(5) = " 626 ";
            write("nivora.ini", file);
        }
        if (c.before == Before::endedBeforeAChart) start().ui.userMenu("ENDING");

        Program& p = start();
        p.ui.userClick("BUTTON1");
        p.ui.pumpEvents();
        const QRect frame = chartFrame();
        const Geometry window = p.ui.form("FORM2").geometry();
        EXPECT_EQ(p.chartView.chartWindowWidth, window.width);
        EXPECT_EQ(p.chartView.chartWindowHeight, window.height);
        if (c.before == Before::savedSize) {
            EXPECT_EQ(window.width, 622);
            EXPECT_EQ(window.height, 626);
            EXPECT_GT(frame.bottom(), free.bottom());
            continue;
        }
        EXPECT_TRUE(free.contains(frame)) << frame.bottom();
        EXPECT_TRUE(p.ui.control("VSCROLL1").enabled());
        p.ui.userMenu("ENDING");
        const auto saved = lines("nivora.ini");
        EXPECT_EQ(saved.at(4), settingsNumber(window.width));
        EXPECT_EQ(saved.at(5), settingsNumber(window.height));
    }
}

} // namespace
} // namespace nivora

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Qt's offscreen screen is 800 x 800 unless a file describes another.
    const std::filesystem::path screens = std::filesystem::temp_directory_path() / "small-screen.json";
    std::ofstream(screens) << R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1024, "height": 600}]})";
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.string()).c_str(), 1);
    nivora::ensureApplication();
    return RUN_ALL_TESTS();
}
