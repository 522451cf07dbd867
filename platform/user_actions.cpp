#include "platform/handles.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QValidator>

#include <algorithm>
#include <stdexcept>

namespace nivora {

using namespace detail;

// ---------------------------------------------------------------------------------------------
// The user's actions, for tests: the same signals a real event sends.

namespace {
Control::Impl& userControl(const Ui& ui, std::string_view name)
{
    return *ui.control(name).impl();
}
} // namespace

void Ui::userClick(std::string_view controlName)
{
    Control::Impl& c = userControl(*this, controlName);
    if (!c.widget->isEnabled()) return;
    if (auto* b = qobject_cast<QAbstractButton*>(c.widget)) {
        b->click();
    } else if (auto* p = dynamic_cast<PictureWidget*>(c.widget)) {
        if (p->onClick) p->onClick();
    } else {
        throw std::invalid_argument(c.name + " cannot be clicked");
    }
}

void Ui::userType(std::string_view editName, std::string_view text)
{
    Control::Impl& c = userControl(*this, editName);
    if (!c.widget->isEnabled()) return;
    if (auto* e = qobject_cast<QLineEdit*>(c.widget)) {
        // As if the old text were selected and the new one typed key by key: a key that the
        // box refuses (a letter in a digits-only box, one past the maximum length) is lost.
        setEditText(e, QString());
        for (const QChar ch : q(text)) {
            QString next = e->text() + ch;
            int pos = int(next.size());
            if (const QValidator* v = e->validator(); v && v->validate(next, pos) == QValidator::Invalid)
                continue;
            setEditText(e, next);
        }
        const QString typed = e->text();
        emit e->textEdited(typed);
    } else {
        throw std::invalid_argument(c.name + " takes no typing");
    }
}

void Ui::userChoose(std::string_view name, int index)
{
    Control::Impl& c = userControl(*this, name);
    if (!c.widget->isEnabled()) return;
    if (auto* cb = qobject_cast<QComboBox*>(c.widget)) {
        if (index < 0 || index >= cb->count()) return;
        cb->setCurrentIndex(index);
        emit cb->activated(index);
    } else if (auto* l = qobject_cast<QListWidget*>(c.widget)) {
        if (index < 0 || index >= l->count()) return;
        l->setCurrentRow(index);
        emit l->itemClicked(l->item(index));
    } else {
        throw std::invalid_argument(c.name + " has no list");
    }
}

void Ui::userScroll(std::string_view name, int value)
{
    Control::Impl& c = userControl(*this, name);
    auto* sb = qobject_cast<QScrollBar*>(c.widget);
    if (!sb) throw std::invalid_argument(c.name + " is no scroll bar");
    if (!sb->isEnabled()) return;
    sb->setSliderPosition(value);   // moves as a drag does: actionTriggered, then the handler
}

void Ui::userMenu(std::string_view menuName)
{
    MenuItem m = menu(menuName);
    if (m.impl()->submenu || m.impl()->separator)
        throw std::invalid_argument(m.name() + " is not an item");
    if (!m.enabled()) return;
    m.impl()->action->trigger();
}

void Ui::userClickForm(std::string_view formName, int x, int y)
{
    Form f = form(formName);
    if (!f.impl()->canvas) throw std::invalid_argument(f.name() + " has no surface");
    f.impl()->canvas->onClick(x, y);
}

void Ui::userResize(std::string_view formName, int outerWidth, int outerHeight)
{
    Form f = form(formName);
    FormWindow* w = f.impl()->window;
    const QSize client = f.impl()->clientFor(outerWidth, outerHeight);
    f.impl()->codeSize = client;   // the echo of this resize fires nothing; the call below does
    f.impl()->outerWanted = QSize();
    f.impl()->withinScreen = false;
    w->resize(client);
    impl_->fire(f.name() + "_RESIZE");
}

void Ui::userClose(std::string_view formName)
{
    form(formName).impl()->window->onClose();
}

} // namespace nivora
