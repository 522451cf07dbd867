// tarvex: turns a star-positions file and a file of star-number pairs into the
// constellation-line file that nivora draws.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "converter/mainform.h"

namespace {

// "*.*" on the system these dialogs come from means every file; here that is "*".
const QString anyFile = "(*)";

class QtDialogs : public tarvex::Dialogs {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    std::optional<QString> openFile(const QString& title) override {
        QString path = QFileDialog::getOpenFileName(parent_, title, QString(), anyFile);
        if (path.isEmpty()) return std::nullopt;
        return path;
    }
    std::optional<QString> saveFile(const QString& title) override {
        QString path = QFileDialog::getSaveFileName(parent_, title, QString(), anyFile, nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
        if (path.isEmpty()) return std::nullopt;
        return path;
    }
    void alert(const QString& text) override {
        QMessageBox::warning(parent_, "ALERT", text, QMessageBox::Ok);
    }
    void inform(const QString& text) override {
        QMessageBox::information(parent_, "tarvex", text, QMessageBox::Ok);
    }

private:
    QWidget* parent_ = nullptr;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QtDialogs dialogs;
    tarvex::MainForm form(dialogs, [] { QApplication::exit(0); });
    dialogs.setParent(&form);
    form.show();
    return application.exec();
}
