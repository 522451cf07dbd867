// nivora: a desktop star chart. Takes no arguments; works in the current folder.
#include "app/program.h"

#include <QApplication>

#if __has_include("app/forms.h")
#include "app/forms.h"
#define NIVORA_HAS_WINDOWS 1
#endif

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    nivora::Program program;
#ifdef NIVORA_HAS_WINDOWS
    program.start([](nivora::Program& p) {
        nivora::loadWindows(p.ui, p.chartOptions, p.readoutOptions);
    });
#else
    program.start();
#endif
    return program.run();
}
