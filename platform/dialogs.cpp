#include "platform/dialogs.h"

#include "platform/files.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace nivora {

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QWidget* dialogParent()
{
    QWidget* w = QApplication::activeWindow();
    return w;
}

class QtDialogs : public Dialogs {
public:
    QtDialogs()
    {
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, QColor(255, 255, 255));
    }

    void alert(std::string_view message) override
    {
        QMessageBox box(QMessageBox::Warning, "ALERT", q(message), QMessageBox::Ok, dialogParent());
        box.exec();
    }

    std::optional<std::string> openFile(std::string_view title, std::string_view initialName,
                                        std::string_view filter) override
    {
        QFileDialog d(dialogParent(), q(title));
        d.setOption(QFileDialog::DontUseNativeDialog, true);
        d.setAcceptMode(QFileDialog::AcceptOpen);
        d.setFileMode(QFileDialog::ExistingFile);
        prepare(d, initialName, filter);
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
        const std::string path = d.selectedFiles().front().toStdString();
        if (!fileExists(path)) return std::nullopt;
        return path;
    }

    std::optional<std::string> saveFile(std::string_view title, std::string_view initialName,
                                        std::string_view filter, bool confirmOverwrite) override
    {
        QFileDialog d(dialogParent(), q(title));
        d.setOption(QFileDialog::DontUseNativeDialog, true);
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setFileMode(QFileDialog::AnyFile);
        d.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
        prepare(d, initialName, filter);
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
        return d.selectedFiles().front().toStdString();
    }

    std::optional<Rgb> chooseColour() override
    {
        QColorDialog d(QColor(0, 0, 0), dialogParent());
        d.setOption(QColorDialog::DontUseNativeDialog, true);
        if (d.exec() != QDialog::Accepted) return std::nullopt;
        const QColor c = d.selectedColor();
        return Rgb{c.red(), c.green(), c.blue()};
    }

private:
    // A name with a folder starts there; a bare name starts in the current folder.
    static void prepare(QFileDialog& d, std::string_view initialName, std::string_view filter)
    {
        QString name = q(initialName);
        QFileInfo info(name.isEmpty() ? QString(".") : name);
        d.setDirectory(name.contains('/') ? info.absolutePath() : QDir::currentPath());
        QString f = q(filter);
        f.replace('|', ";;");
        f.replace("*.*", "*");   // every file, as on the system the filters were written for
        d.setNameFilter(f);
        if (!name.isEmpty() && !info.fileName().contains('*')) d.selectFile(info.fileName());
    }
};

} // namespace

std::unique_ptr<Dialogs> makeQtDialogs() { return std::make_unique<QtDialogs>(); }

void ScriptedDialogs::alert(std::string_view message)
{
    calls.push_back({"alert", std::string(message), {}, {}, false});
    if (!alertActions.empty()) {
        auto action = std::move(alertActions.front());
        alertActions.pop_front();
        if (action) action();
    }
}

std::optional<std::string> ScriptedDialogs::openFile(std::string_view title,
                                                     std::string_view initialName,
                                                     std::string_view filter)
{
    calls.push_back({"open", std::string(title), std::string(initialName), std::string(filter), false});
    if (files.empty()) return std::nullopt;
    auto answer = files.front();
    files.pop_front();
    // Only an existing file can be chosen.
    if (answer && !fileExists(*answer)) return std::nullopt;
    return answer;
}

std::optional<std::string> ScriptedDialogs::saveFile(std::string_view title,
                                                     std::string_view initialName,
                                                     std::string_view filter, bool confirmOverwrite)
{
    calls.push_back({"save", std::string(title), std::string(initialName), std::string(filter),
                     confirmOverwrite});
    if (files.empty()) return std::nullopt;
    auto answer = files.front();
    files.pop_front();
    return answer;
}

std::optional<Rgb> ScriptedDialogs::chooseColour()
{
    calls.push_back({"colour", {}, {}, {}, false});
    if (colours.empty()) return std::nullopt;
    auto answer = colours.front();
    colours.pop_front();
    return answer;
}

std::vector<std::string> ScriptedDialogs::alerts() const
{
    std::vector<std::string> out;
    for (const Call& c : calls)
        if (c.kind == "alert") out.push_back(c.title);
    return out;
}

} // namespace nivora
