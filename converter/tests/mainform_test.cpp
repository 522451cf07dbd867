#include "converter/mainform.h"

#include <cstdlib>
#include <deque>
#include <new>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// While set, every allocation of a megabyte or more fails, as when the memory runs out.
static bool failLargeAllocations = false;

void* operator new(std::size_t size) {
    if (failLargeAllocations && size >= (1u << 20)) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace tarvex {
namespace {

// Answers the dialogs from a script and records what was shown.
class ScriptedDialogs : public Dialogs {
public:
    std::deque<std::optional<QString>> answers;
    QStringList titles, alerts, reports;

    std::optional<QString> openFile(const QString& title) override { return next(title); }
    std::optional<QString> saveFile(const QString& title) override { return next(title); }
    void alert(const QString& text) override { alerts << text; }
    void inform(const QString& text) override { reports << text; }

private:
    std::optional<QString> next(const QString& title) {
        titles << title;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

QApplication& application() {
    static int argc = 1;
    static char name[] = "tarvex_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down among the other statics at exit is not safe.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class MainFormTest : public testing::Test {
protected:
    void SetUp() override {
        application();
        folder = std::filesystem::temp_directory_path() /
                 ("tarvex-form-" + std::to_string(::getpid()) + "-" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "stars.txt") << "A000001  10.0       20.0\nA000002  11.0       21.0\n#-\n";
        std::ofstream(folder / "endless.txt") << "A000001  10.0       20.0\n";
        std::ofstream(folder / "pairs.txt") << "Abc      A000001 A000002\nAbc      A000001 A000009\n#-\n#-\n";
        form = std::make_unique<MainForm>(dialogs, [this] { ++ended; });
        form->show();
    }
    void TearDown() override {
        form.reset();
        std::filesystem::remove_all(folder);
    }

    template <typename T> T* control(const char* name) {
        T* found = form->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    QString path(const char* name) { return QString::fromStdString((folder / name).string()); }
    void chooseAll(const char* output) {
        dialogs.answers = {path("stars.txt"), path("pairs.txt"), path(output)};
        click("BUTTON1");
        click("BUTTON2");
        click("BUTTON3");
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<MainForm> form;
    std::filesystem::path folder;
    int ended = 0;
};

TEST_F(MainFormTest, ControlsCaptionsAndPlaces) {
    EXPECT_EQ(form->objectName(), "MAINFORM");
    EXPECT_EQ(form->windowTitle(), "tarvex");
    EXPECT_EQ(form->size(), QSize(540, 160));
    struct Case { const char* name; const char* text; QRect place; };
    const Case cases[] = {
        {"TEXT1", "STAR-POSITIONS FILE", {21, 7, 154, 14}},
        {"TEXT2", "CONSTELLATION LINES FILES", {7, 35, 189, 14}},
        {"TEXT3", "Output(RA and Dec of CONSTELLATION LINES)", {14, 63, 154, 28}},
        {"TEXT4", "", {196, 7, 245, 21}},
        {"TEXT5", "", {196, 35, 245, 21}},
        {"EDIT1", "", {196, 70, 245, 21}},
        {"BUTTON1", "Refer Files", {448, 7, 77, 21}},
        {"BUTTON2", "Refer Files", {448, 35, 77, 21}},
        {"BUTTON3", "Refer Files", {448, 70, 77, 21}},
        {"BUTTON4", "OK", {203, 98, 63, 28}},
        {"BUTTON5", "Cancel", {280, 98, 63, 28}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* widget = control<QWidget>(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), c.place);
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) text = edit->text();
        if (auto* button = qobject_cast<QPushButton*>(widget)) text = button->text();
        EXPECT_EQ(text, c.text);
    }
    EXPECT_FALSE(control<QLineEdit>("EDIT1")->isReadOnly());
}

TEST_F(MainFormTest, DialogsFillTheirFieldsAndACancelKeepsThem) {
    chooseAll("out.net");
    EXPECT_EQ(dialogs.titles, QStringList({"STAR-POSITIONS FILES", "CONSTELLATION LINE FILE", "OUTPUT"}));
    dialogs.answers = {std::nullopt, std::nullopt, std::nullopt};
    click("BUTTON1");
    click("BUTTON2");
    click("BUTTON3");
    EXPECT_EQ(control<QLabel>("TEXT4")->text(), path("stars.txt"));
    EXPECT_EQ(control<QLabel>("TEXT5")->text(), path("pairs.txt"));
    EXPECT_EQ(control<QLineEdit>("EDIT1")->text(), path("out.net"));
}

TEST_F(MainFormTest, OkConvertsReportsAndEnds) {
    chooseAll("out.net");
    click("BUTTON4");
    EXPECT_TRUE(dialogs.alerts.isEmpty());
    ASSERT_EQ(dialogs.reports.size(), 1);
    EXPECT_TRUE(dialogs.reports[0].contains("1 segments")) << dialogs.reports[0].toStdString();
    EXPECT_TRUE(dialogs.reports[0].contains("1 pairs")) << dialogs.reports[0].toStdString();
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(std::filesystem::exists(folder / "out.net"));
}

TEST_F(MainFormTest, FailuresAlertAndKeepTheWindow) {
    struct Case { const char* stars; const char* pairs; const char* output; };
    const Case cases[] = {
        {nullptr, "pairs.txt", "out.net"},
        {"stars.txt", nullptr, "out.net"},
        {"stars.txt", "pairs.txt", nullptr},
        {"stars.txt", "pairs.txt", "pairs.txt"},
        {"endless.txt", "pairs.txt", "out.net"},   // no "#-" line after the star records
        {"stars.txt", "pairs.txt", "missing/out.net"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stars ? c.stars : "-") + " " + (c.pairs ? c.pairs : "-") + " " +
                     (c.output ? c.output : "-"));
        form = std::make_unique<MainForm>(dialogs, [this] { ++ended; });
        dialogs.alerts.clear();
        if (c.stars) { dialogs.answers = {path(c.stars)}; click("BUTTON1"); }
        if (c.pairs) { dialogs.answers = {path(c.pairs)}; click("BUTTON2"); }
        if (c.output) control<QLineEdit>("EDIT1")->setText(path(c.output));
        click("BUTTON4");
        ASSERT_EQ(dialogs.alerts.size(), 1);
        EXPECT_FALSE(dialogs.alerts[0].contains('\n'));
        EXPECT_EQ(ended, 0);
        EXPECT_EQ(control<QLabel>("TEXT4")->text(), c.stars ? path(c.stars) : QString());
        EXPECT_FALSE(std::filesystem::exists(folder / "out.net"));
    }
    EXPECT_TRUE(dialogs.reports.isEmpty());
}

TEST_F(MainFormTest, RunningOutOfMemoryAlertsAndKeepsTheWindow) {
    std::string big;
    for (int i = 0; i < 4000; ++i) big += "A000001  10.0       20.0" + std::string(300, ' ') + "\n";
    std::ofstream(folder / "stars.txt") << big << "A000002  11.0       21.0\n#-\n";
    chooseAll("out.net");
    failLargeAllocations = true;
    click("BUTTON4");
    failLargeAllocations = false;
    ASSERT_EQ(dialogs.alerts.size(), 1);
    EXPECT_TRUE(dialogs.alerts[0].startsWith("Not enough memory")) << dialogs.alerts[0].toStdString();
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.net"));
    click("BUTTON4");   // the same files convert once the memory is there
    EXPECT_EQ(ended, 1);
}

TEST_F(MainFormTest, CancelEndsWithoutWriting) {
    chooseAll("out.net");
    click("BUTTON5");
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.net"));
}

} // namespace
} // namespace tarvex
