// Windows framed by a real window manager: Xvfb and openbox on a display of this process's own,
// Qt on X11. Offscreen, a window's frame is known the moment it exists; under a window manager it
// is known only once the window has been framed, and a place set before that must still be the
// frame's. Skipped where Xvfb or openbox cannot start, unless NIVORA_WINDOW_TESTS_REQUIRED is set
// (as CI sets it): then they fail.
#include "platform/forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nivora {
namespace {

// An X server and a window manager for the whole run, stopped at its end.
class PrivateDesktop {
public:
    // Empty when both run; otherwise why not.
    std::string failure;

    PrivateDesktop()
    {
        const std::string display = startServer();
        if (display.empty()) return;
        ::setenv("DISPLAY", display.c_str(), 1);
        startManager();
    }
    ~PrivateDesktop() { stop(); }
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    void stop()
    {
        for (pid_t* pid : {&manager_, &server_}) {
            if (*pid <= 0) continue;
            ::kill(*pid, SIGTERM);
            ::waitpid(*pid, nullptr, 0);
            *pid = -1;
        }
    }

private:
    pid_t server_ = -1;
    pid_t manager_ = -1;

    static pid_t spawn(const std::vector<std::string>& command, int keepOpen = -1)
    {
        const pid_t pid = ::fork();
        if (pid != 0) return pid;
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd)
            if (fd != keepOpen) ::close(fd);
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }

    // Xvfb picks a free display and writes its number down the pipe.
    std::string startServer()
    {
        int ends[2];
        if (::pipe(ends) != 0) {
            failure = "no pipe for Xvfb";
            return {};
        }
        server_ = spawn({"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0", "1600x1200x24",
                         "-nolisten", "tcp"},
                        ends[1]);
        ::close(ends[1]);
        std::string number;
        pollfd ready{ends[0], POLLIN, 0};
        char c;
        while (::poll(&ready, 1, 20000) == 1 && ::read(ends[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(ends[0]);
        if (number.empty()) failure = "Xvfb did not start (is it installed?)";
        return number.empty() ? std::string() : ":" + number;
    }

    // openbox runs its start-up command once it manages the screen.
    void startManager()
    {
        const std::filesystem::path started =
            std::filesystem::temp_directory_path() / ("openbox-started-" + std::to_string(::getpid()));
        manager_ = spawn({"openbox", "--sm-disable", "--startup", "touch " + started.string()});
        for (int i = 0; i < 400 && !std::filesystem::exists(started); ++i) {
            if (::waitpid(manager_, nullptr, WNOHANG) == manager_) {
                manager_ = -1;
                break;
            }
            ::usleep(50'000);
        }
        if (!std::filesystem::exists(started)) failure = "openbox did not start (is it installed?)";
        std::filesystem::remove(started);
    }
};

PrivateDesktop* desktop = nullptr;

QWidget* window(const Form& form)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QString::fromStdString(form.name())) return w;
    return nullptr;
}

// Where the form's frame is once the window manager has framed the window: Qt learns of the frame
// some time after the window opens, and the window manager may move it once more after that.
Geometry framedPlace(const Form& form)
{
    QWidget* w = window(form);
    const auto framed = [w] { return w->frameGeometry().topLeft() != w->geometry().topLeft(); };
    if (!QTest::qWaitFor(framed, 20000)) ADD_FAILURE() << form.name() << " never framed";
    QTest::qWait(300);
    return form.geometry();
}

void expectFramedAt(const Form& form, int left, int top)
{
    const Geometry g = framedPlace(form);
    EXPECT_EQ(g.left, left) << form.name();
    EXPECT_EQ(g.top, top) << form.name();
}

struct FramedWindows : testing::Test {
    void SetUp() override
    {
        if (desktop->failure.empty()) return;
        if (const char* required = std::getenv("NIVORA_WINDOW_TESTS_REQUIRED"); required && *required)
            FAIL() << desktop->failure;
        GTEST_SKIP() << desktop->failure;
    }
};

// The windows of one run: a main window whose text is longer than when it was laid out, a
// canvas window resized as soon as it shows, and a text window fitted to its text.
struct OneRun {
    Ui ui;
    Form main, canvas, text;

    OneRun()
        : main(ui.load({"MAINFORM", "main", {{ControlKind::Label, "LABEL1", "Lat"},
                                             {ControlKind::Edit, "EDIT1", "", "320", 5}}})),
          canvas(ui.load({"FORM2", "canvas", {{ControlKind::HScroll, "HSCROLL1"},
                                              {ControlKind::VScroll, "VSCROLL1"}},
                          Surface::Canvas})),
          text(ui.load({"FORM6", "text", {{ControlKind::Button, "BUTTON18", "Close"}}, Surface::Text}))
    {
        ui.setMenu({{0, "FILE", "File"}, {1, "ENDING", "End"}});
        ui.control("LABEL1").setCaption(std::string(60, 'W'));
        text.print(std::string(40, 'W'));
    }
};

// What a run saves is where it put its windows, so each start puts them back where the last one
// left them, however often it restarts.
TEST_F(FramedWindows, EveryWindowStaysWhereItWasSavedAcrossRestarts)
{
    Geometry saved[] = {{300, 200, 0, 0}, {500, 300, 0, 0}, {700, 600, 0, 0}};   // main, canvas, text
    for (int start = 1; start <= 3; ++start) {
        SCOPED_TRACE(testing::Message() << "start " << start);
        OneRun run;
        Form forms[] = {run.main, run.canvas, run.text};
        for (int i = 0; i < 3; ++i) forms[i].move(saved[i].left, saved[i].top);
        run.canvas.resize(366, 428);
        run.main.show();
        expectFramedAt(run.main, saved[0].left, saved[0].top);
        run.canvas.show();
        run.canvas.resize(340, 380);   // as DRAW fits the window to its chart
        expectFramedAt(run.canvas, saved[1].left, saved[1].top);
        run.text.fitText(448, 100);
        run.text.show();
        expectFramedAt(run.text, saved[2].left, saved[2].top);
        for (int i = 0; i < 3; ++i) saved[i] = forms[i].geometry();
    }
}

// A window closed (hidden) and opened again, or moved while open, keeps its frame where it was put.
TEST_F(FramedWindows, AWindowOpenedAgainOrMovedKeepsItsFrameThere)
{
    OneRun run;
    run.main.move(100, 100);
    run.main.show();
    expectFramedAt(run.main, 100, 100);
    run.text.fitText(448, 100);
    run.text.show();
    const Geometry first = framedPlace(run.text);   // over the main window, where the program puts it

    run.text.hide();
    run.ui.pumpEvents();
    run.text.show();
    expectFramedAt(run.text, first.left, first.top);
    run.main.move(250, 150);
    expectFramedAt(run.main, 250, 150);
}

// A size the program chose itself opens with the whole frame on the screen, though the window
// manager frames the window only after it opens: the frame is the one the other windows have.
TEST_F(FramedWindows, ASizeOfTheProgramsOwnOpensWithItsFrameOnTheScreen)
{
    OneRun run;
    run.main.move(100, 100);
    run.main.show();
    framedPlace(run.main);
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    run.canvas.move(free.right() - 400, free.bottom() - 300);
    run.canvas.resizeWithinScreen(622, 626);
    run.canvas.show();
    expectFramedAt(run.canvas, free.right() - 400, free.bottom() - 300);
    const QRect frame = window(run.canvas)->frameGeometry();
    EXPECT_EQ(frame.right(), free.right());
    EXPECT_EQ(frame.bottom(), free.bottom());
}

// A form larger than the screen opens with its frame within the free part of the screen, the first
// one shown as well, though it learns of the window manager's frame only once framed; the button
// at its far corner can be scrolled to.
TEST_F(FramedWindows, AFormLargerThanTheScreenOpensWithItsFrameOnTheScreen)
{
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    Ui ui;
    std::vector<Form> forms;
    for (const char* name : {"MAINFORM", "FORM4"})
        forms.push_back(ui.load({name, name, {
            {.kind = ControlKind::Picture, .name = std::string(name) + "PICTURE",
             .width = free.width() + 100, .height = free.height() + 100},
            {.kind = ControlKind::Button, .name = std::string(name) + "OK", .caption = "OK", .sameRow = true},
        }}));
    for (Form& form : forms) {
        SCOPED_TRACE(form.name());
        form.move(free.left() + 50, free.top() + 50);
        form.show();
        framedPlace(form);
        QWidget* w = window(form);
        EXPECT_TRUE(free.contains(w->frameGeometry()))
            << w->frameGeometry().right() << "," << w->frameGeometry().bottom();
        QWidget* ok = w->findChild<QWidget*>(QString::fromStdString(form.name() + "OK"));
        auto* scroller = w->findChild<QScrollArea*>();
        ASSERT_NE(scroller, nullptr);
        scroller->ensureWidgetVisible(ok, 0, 0);
        const QPoint at = ok->mapToGlobal(ok->rect().center());
        EXPECT_TRUE(w->frameGeometry().contains(at));
        EXPECT_EQ(QApplication::widgetAt(at), ok);
    }
}

} // namespace
} // namespace nivora

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    nivora::PrivateDesktop started;
    nivora::desktop = &started;
    if (started.failure.empty()) {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        nivora::ensureApplication();
    }
    const int result = RUN_ALL_TESTS();
    // Qt keeps its connection to the display to the end: the process ends before it can notice
    // that the display has gone.
    started.stop();
    std::fflush(nullptr);
    ::_exit(result);
}
