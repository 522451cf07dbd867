// tarvex's only window, MAINFORM captioned "tarvex": three files and "OK" / "Cancel".
#pragma once

#include <functional>
#include <optional>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace tarvex {

// The dialogs the window needs; tests script them, the program shows Qt's.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const QString& title) = 0;
    virtual std::optional<QString> saveFile(const QString& title) = 0;
    // The one-line "ALERT" box.
    virtual void alert(const QString& text) = 0;
    // The closing report of a conversion.
    virtual void inform(const QString& text) = 0;
};

class MainForm : public QWidget {
public:
    // endProgram is called when the program is to end (after a conversion, on "Cancel").
    MainForm(Dialogs& dialogs, std::function<void()> endProgram);

    // "Refer Files" of the star-positions file, the pair file and the output file.
    void BUTTON1_ON();
    void BUTTON2_ON();
    void BUTTON3_ON();
    // "OK": converts; on success reports the counts and ends the program, on failure shows
    // one "ALERT" line and stays open with its fields.
    void BUTTON4_ON();
    // "Cancel": ends the program at once.
    void BUTTON5_ON();

private:
    Dialogs& dialogs_;
    std::function<void()> endProgram_;
    QLabel* TEXT4_;
    QLabel* TEXT5_;
    QLineEdit* EDIT1_;
};

} // namespace tarvex
