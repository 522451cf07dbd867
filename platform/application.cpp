#include "platform/application.h"

#include <QApplication>
#include <QScreen>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

#include <malloc.h>

namespace nivora {

namespace {

std::atomic<bool> threadNotStarted = false;
QtMessageHandler qtHandler = nullptr;

// Qt says so, and only so, when a thread could not be created.
void noteThreadFailures(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QThread::start: Thread creation error"))) threadNotStarted = true;
    if (qtHandler) qtHandler(type, context, message);
}

} // namespace

bool startPaintingThreads()
{
    // Qt's raster painting splits a large fill or image conversion across the global thread
    // pool and waits for every piece; a pooled thread that cannot be created (the address
    // space short) never runs its piece, and the wait never ends. So the pool makes its
    // threads now, once, and keeps them: painting never needs a new one.
    // One heap for every thread: the C library's own for each new thread reserves 64 MB of
    // address space, which a short address space cannot spare, and which would then take what
    // the main heap is refused.
    ::mallopt(M_ARENA_MAX, 1);
    QThreadPool* pool = QThreadPool::globalInstance();
    const int threads = std::clamp(QThread::idealThreadCount(), 1, 4);
    pool->setExpiryTimeout(-1);
    pool->setMaxThreadCount(threads);
    QSemaphore running, release;
    threadNotStarted = false;
    qtHandler = qInstallMessageHandler(noteThreadFailures);
    for (int i = 0; i < threads; ++i)
        pool->start([&] {
            running.release();
            release.acquire();   // each holds its thread until all are made
        });
    qInstallMessageHandler(qtHandler);
    const bool started = !threadNotStarted;
    if (started) running.acquire(threads);
    release.release(threads);
    if (started) pool->waitForDone();
    return started;
}

void ensureApplication()
{
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "nivora";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own exit handlers tear down what it needs.
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    startPaintingThreads();
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
