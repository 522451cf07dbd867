// The program's dialogs behind one interface: the Qt ones on screen, a scripted one in tests.
// A cancelled dialog gives std::nullopt and the caller does nothing.
#pragma once

#include "platform/ui_types.h"

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nivora {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The one-line message box titled "ALERT" with an OK button and the exclamation icon.
    virtual void alert(std::string_view message) = 0;

    // Open-file dialog. `initialName` is a path whose folder is the starting folder and whose
    // name is preselected (it may be a pattern such as "*.frm"); `filter` is written
    // "Description(*.ext)". Only an existing file can be chosen.
    virtual std::optional<std::string> openFile(std::string_view title, std::string_view initialName,
                                                std::string_view filter) = 0;

    // Save-file dialog; with `confirmOverwrite` an existing file is replaced only after the user
    // agrees.
    virtual std::optional<std::string> saveFile(std::string_view title, std::string_view initialName,
                                                std::string_view filter, bool confirmOverwrite) = 0;

    // Colour dialog: opens with black preselected; its 16 custom colours start white and are
    // kept for the rest of the run.
    virtual std::optional<Rgb> chooseColour() = 0;
};

// Qt's dialogs, parented to the main window when there is one.
std::unique_ptr<Dialogs> makeQtDialogs();

// Dialogs for tests: answers are queued in advance and every call is recorded. An unexpected
// call (nothing queued of its kind) answers as a cancel.
class ScriptedDialogs : public Dialogs {
public:
    struct Call {
        std::string kind;        // "alert", "open", "save", "colour"
        std::string title;       // the alert's message for "alert"
        std::string initialName;
        std::string filter;
        bool confirmOverwrite = false;
    };

    void answerFile(std::optional<std::string> path) { files.push_back(std::move(path)); }
    void answerColour(std::optional<Rgb> colour) { colours.push_back(colour); }
    // Runs inside the next alert, as the user's actions while the modal box is up.
    void duringAlert(std::function<void()> action) { alertActions.push_back(std::move(action)); }

    void alert(std::string_view message) override;
    std::optional<std::string> openFile(std::string_view title, std::string_view initialName,
                                        std::string_view filter) override;
    std::optional<std::string> saveFile(std::string_view title, std::string_view initialName,
                                        std::string_view filter, bool confirmOverwrite) override;
    std::optional<Rgb> chooseColour() override;

    std::vector<Call> calls;
    std::vector<std::string> alerts() const;

private:
    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<Rgb>> colours;
    std::deque<std::function<void()>> alertActions;
};

} // namespace nivora
