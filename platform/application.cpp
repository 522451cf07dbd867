#include "platform/application.h"

#include <QApplication>

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

} // namespace nivora
