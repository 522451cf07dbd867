// Every form of the program on the small screen: each opens within its free part, and every
// control can be scrolled to and pressed there.
#include "app/tests/started_program.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <string>
#include <vector>

namespace nivora {
namespace {

struct FormsOnASmallScreen : StartedProgram {
    FormsOnASmallScreen() : StartedProgram("small-screen-forms") { folder.copyAllData(); }
};

QWidget* window(const std::string& form)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QString::fromStdString(form)) return w;
    return nullptr;
}

// Where a control shows on the screen once the user has scrolled its window to it.
QPoint scrolledIntoView(QWidget* control)
{
    for (QWidget* up = control->parentWidget(); up; up = up->parentWidget())
        if (auto* scroller = qobject_cast<QScrollArea*>(up)) scroller->ensureWidgetVisible(control, 0, 0);
    return control->mapToGlobal(control->rect().center());
}

TEST_F(FormsOnASmallScreen, EveryControlOfEveryFormCanBeReached)
{
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(free.size(), QSize(1024, 600));
    Program& p = start();
    // The chart window scrolls its own surface.
    for (const char* name : {"MAINFORM", "FORM3", "FORM4", "FORM5", "FORM6", "FORM7", "FORM8", "FORM9"}) {
        SCOPED_TRACE(name);
        Form form = p.ui.form(name);
        form.show();
        p.ui.pumpEvents();
        QWidget* w = window(name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(free.contains(w->frameGeometry())) << w->frameGeometry().bottom();
        for (const std::string& control : form.controlNames()) {
            QWidget* c = w->findChild<QWidget*>(QString::fromStdString(control));
            if (!c || !c->isVisibleTo(w) || form.control(control).kind() == ControlKind::Frame) continue;
            SCOPED_TRACE(control);
            const QPoint at = scrolledIntoView(c);
            EXPECT_TRUE(free.contains(at));
            QWidget* hit = QApplication::widgetAt(at);
            EXPECT_TRUE(hit && (hit == c || c->isAncestorOf(hit)));
        }
        if (std::string(name) != "MAINFORM") form.hide();
    }
    // DRAW, pressed where it shows, draws.
    QWidget* main = window("MAINFORM");
    QWidget* draw = main->findChild<QWidget*>("BUTTON1");
    QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {},
                      main->windowHandle()->mapFromGlobal(scrolledIntoView(draw)));
    p.ui.pumpEvents();
    EXPECT_TRUE(p.ui.form("FORM2").visible());
    EXPECT_EQ(alerts(), std::vector<std::string>{});
}

} // namespace
} // namespace nivora
