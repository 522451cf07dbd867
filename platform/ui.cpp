#include "platform/handles.h"

#include "astro/fieldnumber.h"
#include "platform/fonts.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace nivora {

using namespace detail;

// ---------------------------------------------------------------------------------------------
// Ui

Ui::Ui() : impl_(std::make_unique<Impl>())
{
    impl_->owner = this;
    ensureApplication();
    QApplication::setQuitOnLastWindowClosed(false);
    // Controls without a font of their own read as the forms' usual 9-point sans serif.
    QApplication::setFont(makeFont(defaultFont));
}

Ui::~Ui()
{
    for (auto& f : impl_->forms) delete f->window;
}

Form Ui::form(std::string_view name) const
{
    auto it = impl_->formsByName.find(name);
    if (it == impl_->formsByName.end()) throw std::out_of_range("no form " + std::string(name));
    return Form(it->second);
}

bool Ui::hasForm(std::string_view name) const { return impl_->formsByName.count(name) != 0; }

Control Ui::control(std::string_view name) const
{
    Control::Impl* c = impl_->findControl(name);
    if (!c) throw std::out_of_range("no control " + std::string(name));
    return Control(c);
}

bool Ui::hasControl(std::string_view name) const { return impl_->findControl(name) != nullptr; }

int Ui::formValue(std::string_view form, std::string_view control) const
{
    if (!hasForm(form))
        return 0;
    const Form f = this->form(form);
    return f.has(control) ? f.control(control).value() : 0;
}

std::string Ui::formText(std::string_view form, std::string_view control) const
{
    if (!hasForm(form))
        return "";
    const Form f = this->form(form);
    return f.has(control) ? f.control(control).text() : "";
}

float Ui::formNumber(std::string_view form, std::string_view control) const
{
    return float(readFieldNumber(formText(form, control)));
}

MenuItem Ui::menu(std::string_view name) const
{
    auto it = impl_->menusByName.find(upper(name));
    if (it == impl_->menusByName.end()) throw std::out_of_range("no menu item " + std::string(name));
    return MenuItem(it->second);
}

bool Ui::hasMenu(std::string_view name) const { return impl_->menusByName.count(upper(name)) != 0; }

std::vector<std::string> Ui::menuNames() const
{
    std::vector<std::string> out;
    for (const auto& m : impl_->menus) out.push_back(m->name);
    return out;
}

void Ui::check(std::string_view menuName, bool on) { menu(menuName).setChecked(on); }

Form Ui::mainForm() const
{
    if (impl_->forms.empty()) throw std::out_of_range("no main window");
    return Form(impl_->forms.front().get());
}

void Ui::bind(std::string_view handlerName, Handler handler, WhileDrawing whileDrawing)
{
    const size_t cut = handlerName.rfind('_');
    if (cut == std::string_view::npos || cut == 0)
        throw std::invalid_argument("not a handler name: " + std::string(handlerName));
    const std::string_view target = handlerName.substr(0, cut);
    const std::string_view event = handlerName.substr(cut + 1);
    bool fits = false;
    if (Control::Impl* c = impl_->findControl(target)) {
        switch (c->kind) {
        case ControlKind::Button:
        case ControlKind::Check:
        case ControlKind::Radio: fits = event == "ON"; break;
        case ControlKind::Edit:
        case ControlKind::Combo:
        case ControlKind::List:
        case ControlKind::HScroll:
        case ControlKind::VScroll: fits = event == "CHANGE"; break;
        case ControlKind::Picture: fits = event == "CLICK"; break;
        default: break;
        }
    } else if (impl_->formsByName.count(target)) {
        fits = event == "CLICK" || event == "RESIZE" || event == "QUERYCLOSE";
    } else if (hasMenu(target)) {
        MenuItem m = menu(target);
        fits = event == "ON" && !m.impl()->submenu && !m.impl()->separator;
        if (fits) {
            // Menu handlers are stored under the declared spelling.
            impl_->bindings[m.name() + "_ON"] = {std::move(handler), whileDrawing};
            return;
        }
    }
    if (!fits) throw std::invalid_argument("nothing to bind " + std::string(handlerName) + " to");
    impl_->bindings[std::string(handlerName)] = {std::move(handler), whileDrawing};
}

bool Ui::isBound(std::string_view handlerName) const
{
    return impl_->bindings.count(handlerName) != 0;
}

Dialogs& Ui::dialogs()
{
    if (!impl_->dialogs) impl_->dialogs = makeQtDialogs();
    return *impl_->dialogs;
}

void Ui::setDialogs(std::unique_ptr<Dialogs> dialogs) { impl_->dialogs = std::move(dialogs); }

void Ui::alert(std::string_view message) { dialogs().alert(message); }

bool Ui::drawing() const { return impl_->drawing; }

Ui::DrawingScope::DrawingScope(Ui& ui) : ui_(ui), was_(ui.impl_->drawing)
{
    ui.impl_->drawing = true;
}

Ui::DrawingScope::~DrawingScope() { ui_.impl_->drawing = was_; }

void Ui::pumpEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Ui::setShutdownSave(std::function<void()> save) { impl_->save = std::move(save); }
void Ui::setExit(std::function<void(int)> exit) { impl_->exit = std::move(exit); }
bool Ui::shutDownStarted() const { return impl_->shutDownStarted; }

void Ui::shutDown()
{
    if (impl_->shutDownStarted) return;
    impl_->shutDownStarted = true;
    if (impl_->save) impl_->save();
    if (impl_->exit) {
        impl_->exit(0);
        return;
    }
    if (impl_->drawing) {
        // Returning would resume the drawing that the shut-down interrupted. The files are
        // saved and closed; nothing else needs tearing down.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    for (auto& f : impl_->forms) f->window->hide();
    QCoreApplication::exit(0);
}

int Ui::run()
{
    if (impl_->shutDownStarted) return 0;
    return QApplication::exec();
}

} // namespace nivora
