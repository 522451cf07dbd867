#include "platform/handles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace nivora {

using namespace detail;

// ---------------------------------------------------------------------------------------------
// Widgets wired to the handlers: one path for real events and for the test calls.

namespace {

void userRadio(Control::Impl& c)
{
    auto& group = c.form->groups[c.group];
    for (Control::Impl* other : group)
        if (other != &c) static_cast<QRadioButton*>(other->widget)->setChecked(false);
    static_cast<QRadioButton*>(c.widget)->setChecked(true);   // a second click keeps it
}

void fireOf(Control::Impl& c, const char* event)
{
    c.form->ui->fire(c.name + "_" + event);
}

QWidget* makeWidget(Control::Impl& c, const ControlSpec& spec, QWidget* parent)
{
    switch (spec.kind) {
    case ControlKind::Label: {
        auto* w = new QLabel(q(spec.caption), parent);
        return w;
    }
    case ControlKind::Edit: {
        auto* w = new QLineEdit(q(spec.text), parent);
        if (spec.maxLength > 0 || spec.digitsOnly)
            w->setValidator(new TypingLimit(spec.maxLength > 0 ? spec.maxLength : w->maxLength(),
                                            spec.digitsOnly, w));
        QObject::connect(w, &QLineEdit::textEdited, [&c] { fireOf(c, "CHANGE"); });
        return w;
    }
    case ControlKind::Button: {
        auto* w = new QPushButton(q(spec.caption), parent);
        w->setAutoDefault(false);
        QObject::connect(w, &QPushButton::clicked, [&c] { fireOf(c, "ON"); });
        return w;
    }
    case ControlKind::Check: {
        auto* w = new QCheckBox(q(spec.caption), parent);
        w->setChecked(spec.value != 0);
        clickOnAssistiveAction(w);
        QObject::connect(w, &QCheckBox::clicked, [&c] { fireOf(c, "ON"); });
        return w;
    }
    case ControlKind::Radio: {
        auto* w = new QRadioButton(q(spec.caption), parent);
        // Exclusive Qt groups forbid "none set"; the group is kept by hand instead.
        w->setAutoExclusive(false);
        w->setChecked(spec.value != 0);
        clickOnAssistiveAction(w);
        QObject::connect(w, &QRadioButton::clicked, [&c] {
            userRadio(c);
            fireOf(c, "ON");
        });
        return w;
    }
    case ControlKind::Combo: {
        auto* w = new QComboBox(parent);
        for (const std::string& item : spec.items) w->addItem(q(item));
        w->setCurrentIndex(spec.index);
        w->setMaxVisibleItems(20);
        QObject::connect(w, &QComboBox::activated, [&c](int) { fireOf(c, "CHANGE"); });
        return w;
    }
    case ControlKind::List: {
        auto* w = new QListWidget(parent);
        for (const std::string& item : spec.items) w->addItem(q(item));
        w->setCurrentRow(spec.index);
        QObject::connect(w, &QListWidget::itemClicked, [&c](QListWidgetItem*) {
            fireOf(c, "CHANGE");
        });
        return w;
    }
    case ControlKind::Picture: {
        auto* w = new PictureWidget(parent);
        w->onClick = [&c] { fireOf(c, "CLICK"); };
        w->setFixedSize(spec.width > 0 ? spec.width : 40, spec.height > 0 ? spec.height : 20);
        return w;
    }
    case ControlKind::Frame: {
        auto* w = new QGroupBox(q(spec.caption), parent);
        new QGridLayout(w);
        return w;
    }
    case ControlKind::HScroll:
    case ControlKind::VScroll: {
        auto* w = new QScrollBar(
            spec.kind == ControlKind::HScroll ? Qt::Horizontal : Qt::Vertical, parent);
        w->setRange(0, 0);
        w->setValue(spec.value);
        // The slider has moved but the value is not yet set when the action arrives; take it
        // over first so the handler reads the new position.
        QObject::connect(w, &QScrollBar::actionTriggered, [&c, w](int action) {
            if (action == QAbstractSlider::SliderNoAction) return;
            w->setValue(w->sliderPosition());
            fireOf(c, "CHANGE");
        });
        QObject::connect(w, &QScrollBar::sliderReleased, [&c, w] {
            w->setValue(w->sliderPosition());
        });
        return w;
    }
    }
    return new QWidget(parent);
}

struct GridCursor {
    int row = -1;
    int column = 0;
};

} // namespace

Form Ui::load(const FormSpec& spec)
{
    if (impl_->formsByName.count(spec.name))
        throw std::invalid_argument("form loaded twice: " + spec.name);
    auto form = std::make_unique<Form::Impl>();
    Form::Impl& f = *form;
    f.name = spec.name;
    f.ui = impl_.get();
    f.surface = spec.surface;
    f.window = new FormWindow();
    f.window->setWindowTitle(q(spec.title));
    f.window->setObjectName(q(spec.name));

    auto* central = new QWidget(f.window);
    f.window->setCentralWidget(central);
    f.content = central;
    auto* outer = new QVBoxLayout(central);
    QGridLayout* body = nullptr;

    if (spec.surface == Surface::Canvas) {
        outer->setContentsMargins(0, 0, 0, 0);
        auto* grid = new QGridLayout();
        grid->setSpacing(0);
        f.canvas = new CanvasWidget(central);
        f.canvas->setObjectName("surface");
        grid->addWidget(f.canvas, 0, 0);
        outer->addLayout(grid, 1);
        body = new QGridLayout();
        outer->addLayout(body);
        f.canvas->onClick = [&f](int x, int y) {
            f.canvas->clickX = x;
            f.canvas->clickY = y;
            f.ui->fire(f.name + "_CLICK");
        };
        // Scroll bars dock at the edges of the surface.
        f.window->setProperty("nivoraCanvasGrid", QVariant::fromValue<void*>(grid));
    } else if (spec.surface == Surface::Text) {
        f.text = new TextSurfaceWidget(central);
        f.text->setObjectName("surface");
        outer->addWidget(f.text, 1);
        body = new QGridLayout();
        outer->addLayout(body);
    } else {
        body = new QGridLayout();
        outer->addLayout(body);
        outer->addStretch(1);
    }

    // Widgets first, so a control may name a frame declared after it.
    for (const ControlSpec& cs : spec.controls) {
        if (f.byName.count(cs.name))
            throw std::invalid_argument(spec.name + " declares " + cs.name + " twice");
        auto c = std::make_unique<Control::Impl>();
        c->name = cs.name;
        c->kind = cs.kind;
        c->form = &f;
        c->group = cs.group;
        c->position = cs.position;
        c->widget = makeWidget(*c, cs, central);
        c->widget->setObjectName(q(cs.name));
        c->widget->setEnabled(cs.enabled);
        if (cs.kind != ControlKind::Picture) {
            if (cs.width > 0) c->widget->setMinimumWidth(cs.width);
            if (cs.height > 0) c->widget->setMinimumHeight(cs.height);
        }
        if (cs.kind == ControlKind::Radio) f.groups[cs.group].push_back(c.get());
        f.byName[cs.name] = c.get();
        f.controls.push_back(std::move(c));
    }

    std::map<QGridLayout*, GridCursor> cursors;
    auto* canvasGrid = static_cast<QGridLayout*>(
        f.window->property("nivoraCanvasGrid").value<void*>());
    for (size_t i = 0; i < spec.controls.size(); ++i) {
        const ControlSpec& cs = spec.controls[i];
        Control::Impl& c = *f.controls[i];
        if (canvasGrid && cs.kind == ControlKind::HScroll) {
            canvasGrid->addWidget(c.widget, 1, 0);
            continue;
        }
        if (canvasGrid && cs.kind == ControlKind::VScroll) {
            canvasGrid->addWidget(c.widget, 0, 1);
            continue;
        }
        QGridLayout* grid = body;
        if (!cs.box.empty()) {
            auto it = f.byName.find(cs.box);
            if (it == f.byName.end() || it->second->kind != ControlKind::Frame)
                throw std::invalid_argument(cs.name + " names no frame " + cs.box);
            grid = static_cast<QGridLayout*>(it->second->widget->layout());
        }
        GridCursor& at = cursors[grid];
        if (!cs.sameRow || at.row < 0) {
            ++at.row;
            at.column = 0;
        }
        const int column = cs.column >= 0 ? cs.column : at.column;
        const int span = std::max(1, cs.span);
        grid->addWidget(c.widget, at.row, column, 1, span);
        at.column = column + span;
        if (!cs.visible) c.widget->hide();
    }
    // The label just before a text box names it to screen readers; one that follows another
    // text box is that box's unit ("h", "deg"), not the next one's name.
    for (size_t i = 1; i < spec.controls.size(); ++i) {
        const ControlSpec& cs = spec.controls[i];
        const ControlSpec& before = spec.controls[i - 1];
        if (cs.kind != ControlKind::Edit || before.kind != ControlKind::Label || before.box != cs.box)
            continue;
        if (i > 1 && spec.controls[i - 2].kind == ControlKind::Edit && spec.controls[i - 2].box == cs.box)
            continue;
        static_cast<QLabel*>(f.controls[i - 1]->widget)->setBuddy(f.controls[i]->widget);
    }
    // A frame taller than its content (beside a taller one) keeps its rows at the top.
    for (auto& [grid, at] : cursors)
        if (grid != body) grid->setRowStretch(at.row + 1, 1);
    f.window->onClose = [&f] {
        if (f.ui->forms.empty() || f.ui->forms.front().get() != &f) {
            f.window->hide();
            return;
        }
        f.ui->fire(f.name + "_QUERYCLOSE");
        f.ui->owner->shutDown();
    };
    // Only the window system's resizes are the user's; the echo of a size set from code is not.
    f.window->onResize = [&f](QSize size, QSize oldSize, bool spontaneous) {
        if (!spontaneous || !f.window->isVisible()) return;
        if (!oldSize.isValid() || size == oldSize) return;   // shown, or placed, not resized
        if (size == f.codeSize) {
            f.codeSize = QSize();
            return;
        }
        f.outerWanted = QSize();   // the user's size wins
        f.withinScreen = false;
        f.ui->fire(f.name + "_RESIZE");
    };
    // A window first shows without its frame: an outer size set until then was taken as the
    // client size. Made good once the window system has framed it.
    f.window->onPlaced = [&f] {
        if (!f.outerWanted.isValid() || f.window->frameSize().isNull()) return;
        Form(&f).resize(f.outerWanted.width(), f.outerWanted.height());
    };
    f.window->adjustSize();

    Form handle(&f);
    impl_->formsByName[f.name] = &f;
    impl_->forms.push_back(std::move(form));
    return handle;
}

void Ui::setMenu(const std::vector<MenuSpec>& table)
{
    if (impl_->forms.empty()) throw std::logic_error("menu before the main window");
    QMenuBar* bar = impl_->forms.front()->window->menuBar();
    std::vector<QMenu*> parents;   // parents[d] holds entries of depth d + 1
    for (size_t i = 0; i < table.size(); ++i) {
        const MenuSpec& row = table[i];
        const bool opens = i + 1 < table.size() && table[i + 1].depth > row.depth;
        auto item = std::make_unique<MenuItem::Impl>();
        item->name = row.name;
        if (row.depth < 0 || size_t(row.depth) > parents.size())
            throw std::invalid_argument("menu row " + row.name + " skips a depth");
        parents.resize(size_t(row.depth));
        if (opens) {
            QMenu* menu = row.depth == 0 ? bar->addMenu(q(row.caption))
                                         : parents.back()->addMenu(q(row.caption));
            menu->setObjectName(q(row.name));
            item->action = menu->menuAction();
            item->submenu = true;
            parents.push_back(menu);
        } else if (row.caption == "-") {
            if (row.depth == 0) throw std::invalid_argument("separator on the menu bar");
            item->action = parents.back()->addSeparator();
            item->separator = true;
        } else {
            item->action = row.depth == 0 ? bar->addAction(q(row.caption))
                                          : parents.back()->addAction(q(row.caption));
            MenuItem(item.get()).setChecked(row.checked);
            const std::string handler = row.name + "_ON";
            QAction* action = item->action;
            QObject::connect(action, &QAction::triggered, [this, action, handler](bool) {
                // Qt flips a checkable item; the handler alone moves marks.
                if (action->isCheckable()) action->setChecked(!action->isChecked());
                impl_->fire(handler);
            });
        }
        item->action->setObjectName(q(row.name));
        item->action->setEnabled(row.enabled);
        const std::string key = upper(row.name);
        if (impl_->menusByName.count(key))
            throw std::invalid_argument("menu name used twice: " + row.name);
        impl_->menusByName[key] = item.get();
        impl_->menus.push_back(std::move(item));
    }
}

} // namespace nivora
