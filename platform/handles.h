// Inside the platform layer only: what the Control, Form, MenuItem and Ui handles point at.
#pragma once

#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/widgets.h"

#include <QAction>
#include <QPoint>
#include <QSize>

#include <map>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace nivora {

struct Control::Impl {
    std::string name;
    ControlKind kind{};
    Form::Impl* form = nullptr;
    QWidget* widget = nullptr;
    std::string group;
    int position = 0;
};

struct MenuItem::Impl {
    std::string name;
    QAction* action = nullptr;
    bool submenu = false;
    bool separator = false;
};

struct Form::Impl {
    std::string name;
    Ui::Impl* ui = nullptr;
    detail::FormWindow* window = nullptr;
    QWidget* content = nullptr;   // controls and surface; the window's own, or a scroller's
    Surface surface = Surface::None;
    detail::CanvasWidget* canvas = nullptr;
    detail::TextSurfaceWidget* text = nullptr;
    std::vector<std::unique_ptr<Control::Impl>> controls;
    std::map<std::string, Control::Impl*, std::less<>> byName;
    std::map<std::string, std::vector<Control::Impl*>, std::less<>> groups;
    QSize codeSize;   // the last client size set from code, so its echo fires no _RESIZE
    QSize outerWanted;   // an outer size set before the frame was known, made good once it is
    bool placed = false;   // shown or moved once: the window keeps its place from then on
    bool placeGiven = false;   // moved from code (a saved place), not put there by show()
    bool withinScreen = false;   // a size of the program's own, cut to the screen at the next show

    // The window's client size for an outer size, and the outer size it has now.
    QSize clientFor(int outerWidth, int outerHeight) const;
    QSize outerSize() const;
    // Where the frame's top-left corner is. Qt learns of a shown window's frame only some time
    // after the window opens, and one opened again may not learn of it until the window moves:
    // such a window is taken to be framed as the other forms are.
    QPoint framePlace() const;
};

struct Ui::Impl {
    Ui* owner = nullptr;
    struct Binding {
        Handler handler;
        WhileDrawing whileDrawing = WhileDrawing::Run;
    };
    std::vector<std::unique_ptr<Form::Impl>> forms;
    std::map<std::string, Form::Impl*, std::less<>> formsByName;
    std::vector<std::unique_ptr<MenuItem::Impl>> menus;
    std::map<std::string, MenuItem::Impl*, std::less<>> menusByName;   // upper-case keys
    std::map<std::string, Binding, std::less<>> bindings;
    std::unique_ptr<Dialogs> dialogs;
    bool drawing = false;
    bool shutDownStarted = false;
    std::function<void()> save;
    std::function<void(int)> exit;

    void fire(std::string_view handlerName)
    {
        auto it = bindings.find(handlerName);
        if (it == bindings.end() || !it->second.handler) return;
        if (drawing && it->second.whileDrawing == WhileDrawing::Refuse) return;
        Handler h = it->second.handler;   // a handler may rebind itself
        // Nothing may unwind through Qt's signal code: a handler that fails (a file it could not
        // read, the memory running out) says so in an "ALERT", and the program goes on.
        try {
            h();
        } catch (const std::bad_alloc&) {
            dialogs->alert("Not enough memory to finish " + std::string(handlerName) + ".");
        } catch (const std::exception& e) {
            dialogs->alert(e.what());
        }
    }

    Control::Impl* findControl(std::string_view name) const
    {
        for (const auto& f : forms) {
            auto it = f->byName.find(name);
            if (it != f->byName.end()) return it->second;
        }
        return nullptr;
    }
};

} // namespace nivora
