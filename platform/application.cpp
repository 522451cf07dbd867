#include "platform/application.h"

#include <QApplication>
#include <QScreen>

namespace nivora {

void ensureApplication()
{
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "nivora";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own exit handlers tear down what it needs.
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}

ScreenArea availableScreenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QSize free = screen->availableGeometry().size();
    const QRect desktop = screen->availableVirtualGeometry();
    return {free.width(), free.height(), desktop.x() + desktop.width(), desktop.y() + desktop.height()};
}

} // namespace nivora
