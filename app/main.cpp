// nivora: a desktop star chart. Takes no arguments; works in the current folder.
#include "app/forms.h"
#include "app/program.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    nivora::Program program;
    program.start([](nivora::Program& p) {
        nivora::loadWindows(p.ui, p.chartOptions, p.readoutOptions);
    });
    return program.run();
}
