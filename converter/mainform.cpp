#include "converter/mainform.h"

#include <filesystem>

#include "converter/conversion.h"

namespace tarvex {

namespace {

template <typename Control>
Control* place(QWidget* form, const char* name, int left, int top, int width, int height,
               const QString& text = {}) {
    auto* control = new Control(text, form);
    control->setObjectName(name);
    control->setGeometry(left, top, width, height);
    return control;
}

QLabel* fileLabel(QWidget* form, const char* name, int left, int top, int width, int height) {
    QLabel* label = place<QLabel>(form, name, left, top, width, height);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdString());
}

} // namespace

MainForm::MainForm(Dialogs& dialogs, std::function<void()> endProgram)
    : dialogs_(dialogs), endProgram_(std::move(endProgram)) {
    setObjectName("MAINFORM");
    setWindowTitle("tarvex");
    // The positions are in pixels for a small font; a larger one would overrun the labels.
    QFont font("Liberation Sans");
    font.setPixelSize(11);
    setFont(font);
    move(132, 174);
    setFixedSize(540, 160);

    place<QLabel>(this, "TEXT1", 21, 7, 154, 14, "STAR-POSITIONS FILE");
    place<QLabel>(this, "TEXT2", 7, 35, 189, 14, "CONSTELLATION LINES FILES");
    QLabel* output =
        place<QLabel>(this, "TEXT3", 14, 63, 154, 28, "Output(RA and Dec of CONSTELLATION LINES)");
    output->setWordWrap(true);
    TEXT4_ = fileLabel(this, "TEXT4", 196, 7, 245, 21);
    TEXT5_ = fileLabel(this, "TEXT5", 196, 35, 245, 21);
    EDIT1_ = new QLineEdit(this);
    EDIT1_->setObjectName("EDIT1");
    EDIT1_->setGeometry(196, 70, 245, 21);

    const struct {
        const char* name;
        int left, top, width, height;
        const char* caption;
        void (MainForm::*handler)();
    } buttons[] = {
        {"BUTTON1", 448, 7, 77, 21, "Refer Files", &MainForm::BUTTON1_ON},
        {"BUTTON2", 448, 35, 77, 21, "Refer Files", &MainForm::BUTTON2_ON},
        {"BUTTON3", 448, 70, 77, 21, "Refer Files", &MainForm::BUTTON3_ON},
        {"BUTTON4", 203, 98, 63, 28, "OK", &MainForm::BUTTON4_ON},
        {"BUTTON5", 280, 98, 63, 28, "Cancel", &MainForm::BUTTON5_ON},
    };
    for (const auto& b : buttons) {
        QPushButton* button =
            place<QPushButton>(this, b.name, b.left, b.top, b.width, b.height, b.caption);
        connect(button, &QPushButton::clicked, this, b.handler);
    }
}

void MainForm::BUTTON1_ON() {
    if (auto path = dialogs_.openFile("STAR-POSITIONS FILES")) TEXT4_->setText(*path);
}

void MainForm::BUTTON2_ON() {
    if (auto path = dialogs_.openFile("CONSTELLATION LINE FILE")) TEXT5_->setText(*path);
}

void MainForm::BUTTON3_ON() {
    if (auto path = dialogs_.saveFile("OUTPUT")) EDIT1_->setText(*path);
}

void MainForm::BUTTON4_ON() {
    const struct {
        QString text;
        const char* missing;
    } fields[] = {
        {TEXT4_->text(), "Choose the STAR-POSITIONS FILE first."},
        {TEXT5_->text(), "Choose the CONSTELLATION LINES FILE first."},
        {EDIT1_->text(), "Choose or type the Output file first."},
    };
    for (const auto& field : fields) {
        if (field.text.trimmed().isEmpty()) {
            dialogs_.alert(field.missing);
            return;
        }
    }
    Conversion result;
    try {
        result = convertFiles({toPath(fields[0].text), toPath(fields[1].text), toPath(fields[2].text)});
    } catch (const ConversionError& e) {
        dialogs_.alert(QString::fromStdString(e.what()));
        return;
    } catch (const std::exception& e) {
        // Nothing may leave a handler through Qt's signal code; the window stays for another try.
        dialogs_.alert(QString("The conversion failed (%1); nothing was written.").arg(e.what()));
        return;
    }
    dialogs_.inform(QString("%1 segments written, %2 pairs dropped for a missing star.")
                        .arg(result.segments)
                        .arg(result.dropped));
    endProgram_();
}

void MainForm::BUTTON5_ON() {
    endProgram_();
}

} // namespace tarvex
