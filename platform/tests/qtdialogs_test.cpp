#include "platform/dialogs.h"
#include "platform/forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>

#include <unistd.h>

namespace nivora {
namespace {

// Acts on the next modal dialog as the user would, once it is up.
void whenModal(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

struct QtDialogsTest : testing::Test {
    Ui ui;   // the Qt dialogs unless replaced
    void SetUp() override { ui.load({"MAINFORM", "main", {}}); }
};

TEST_F(QtDialogsTest, AlertIsAWarningTitledAlertWithOneOk)
{
    QString title, text;
    QMessageBox::Icon icon{};
    QMessageBox::StandardButtons buttons;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->accept();
    });
    ui.alert("Main Picture do not exist.");
    EXPECT_EQ(title, "ALERT");
    EXPECT_EQ(text, "Main Picture do not exist.");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, QMessageBox::Ok);
}

TEST_F(QtDialogsTest, ColourDialogStartsBlackAndKeepsItsCustomColoursForTheRun)
{
    QColor start;
    std::vector<QColor> custom;
    whenModal([&](QWidget* w) {
        auto* d = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(d, nullptr);
        start = d->currentColor();
        for (int i = 0; i < QColorDialog::customCount(); ++i) custom.push_back(QColorDialog::customColor(i));
        QColorDialog::setCustomColor(3, QColor(100, 100, 55));   // the user keeps one
        d->setCurrentColor(QColor(0, 255, 0));
        d->accept();
    });
    EXPECT_EQ(ui.dialogs().chooseColour(), (Rgb{0, 255, 0}));
    EXPECT_EQ(start, QColor(0, 0, 0));
    ASSERT_EQ(custom.size(), 16u);
    for (const QColor& c : custom) EXPECT_EQ(c, QColor(255, 255, 255));

    whenModal([&](QWidget* w) {
        start = qobject_cast<QColorDialog*>(w)->currentColor();
        custom = {QColorDialog::customColor(3)};
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(ui.dialogs().chooseColour(), std::nullopt);   // cancelled
    EXPECT_EQ(start, QColor(0, 0, 0));
    EXPECT_EQ(custom.front(), QColor(100, 100, 55));
}

TEST_F(QtDialogsTest, OpenDialogStartsAtTheStoredPathAndTakesOnlyExistingFiles)
{
    const auto folder = std::filesystem::temp_directory_path() / ("nivora-open-dialog-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "stars.txt") << "x";
    QString directory, selected, filterShown;
    QFileDialog::FileMode mode{};
    whenModal([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        directory = d->directory().absolutePath();
        selected = d->selectedFiles().value(0);
        filterShown = d->nameFilters().value(0);
        mode = d->fileMode();
        static_cast<QDialog*>(d)->accept();
    });
    const auto chosen = ui.dialogs().openFile("STAR DATA", (folder / "stars.txt").string(), "(*.txt)");
    EXPECT_EQ(directory.toStdString(), folder.string());
    EXPECT_TRUE(selected.endsWith("stars.txt"));
    EXPECT_EQ(filterShown, "(*.txt)");
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    EXPECT_EQ(chosen, (folder / "stars.txt").string());

    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(ui.dialogs().openFile("DATA FILE", "", "(*.*)"), std::nullopt);
    std::filesystem::remove_all(folder);
}

TEST_F(QtDialogsTest, SaveDialogAsksBeforeReplacingOnlyWhenTold)
{
    for (bool confirm : {true, false}) {
        SCOPED_TRACE(confirm);
        bool asks = false;
        whenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(d, nullptr);
            asks = !d->testOption(QFileDialog::DontConfirmOverwrite);
            d->reject();
        });
        EXPECT_EQ(ui.dialogs().saveFile("Save Format", "form_1.frm", "Format Data(*.frm)", confirm),
                  std::nullopt);
        EXPECT_EQ(asks, confirm);
    }
}

} // namespace
} // namespace nivora
