// nivora: a desktop star chart. Takes no arguments; works in the current folder.
#include "app/program.h"
#include "platform/application.h"
#include "platform/dialogs.h"

#include <QApplication>

#include <iostream>
#include <new>

namespace {

// Said where the program can still say it: on the terminal, and in an "ALERT" when one can be
// shown.
int refuse(const char* why)
{
    std::cerr << "nivora: " << why << '\n';
    try {
        nivora::makeQtDialogs()->alert(why);
    } catch (const std::bad_alloc&) {
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        QApplication application(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        if (!nivora::startPaintingThreads())
            return refuse("Not enough memory to start: a thread for painting could not be made.");
        try {
            nivora::Program program;
            if (!program.start()) return 1;
            return program.run();
        } catch (const std::bad_alloc&) {
            return refuse("Not enough memory: nivora ends.");
        }
    } catch (const std::bad_alloc&) {
        std::cerr << "nivora: Not enough memory to start.\n";
        return 1;
    }
}
