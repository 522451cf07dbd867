// nivora: a desktop star chart. Takes no arguments; works in the current folder.
#include "app/program.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    nivora::Program program;
    if (!program.start()) return 1;
    return program.run();
}
