#include "platform/handles.h"

#include "platform/chartbitmap.h"
#include "platform/fonts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <utility>

namespace nivora {

using namespace detail;

// ---------------------------------------------------------------------------------------------
// Control

const std::string& Control::name() const { return impl_->name; }
ControlKind Control::kind() const { return impl_->kind; }

std::string Control::text() const
{
    QWidget* w = impl_->widget;
    switch (impl_->kind) {
    case ControlKind::Edit: return s(static_cast<QLineEdit*>(w)->text());
    case ControlKind::Combo: return s(static_cast<QComboBox*>(w)->currentText());
    case ControlKind::List: {
        auto* l = static_cast<QListWidget*>(w);
        return l->currentItem() ? s(l->currentItem()->text()) : std::string();
    }
    default: return caption();
    }
}

void Control::setText(std::string_view text)
{
    QWidget* w = impl_->widget;
    switch (impl_->kind) {
    case ControlKind::Edit: setEditText(static_cast<QLineEdit*>(w), q(text)); break;
    case ControlKind::Combo: {
        auto* cb = static_cast<QComboBox*>(w);
        const int i = cb->findText(q(text));
        if (i >= 0) cb->setCurrentIndex(i);
        break;
    }
    case ControlKind::List: break;
    default: setCaption(text);
    }
}

std::string Control::caption() const
{
    QWidget* w = impl_->widget;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return s(b->text());
    if (auto* l = qobject_cast<QLabel*>(w)) return s(l->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) return s(g->title());
    if (auto* e = qobject_cast<QLineEdit*>(w)) return s(e->text());
    return {};
}

void Control::setCaption(std::string_view caption)
{
    QWidget* w = impl_->widget;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(q(caption));
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(q(caption));
    else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(q(caption));
    else if (impl_->kind == ControlKind::Edit) setText(caption);
}

int Control::value() const
{
    QWidget* w = impl_->widget;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->isChecked() ? 1 : 0;
    if (auto* sb = qobject_cast<QScrollBar*>(w)) return sb->value();
    return 0;
}

void Control::setValue(int value)
{
    QWidget* w = impl_->widget;
    if (impl_->kind == ControlKind::Check || impl_->kind == ControlKind::Radio)
        static_cast<QAbstractButton*>(w)->setChecked(value != 0);
    else if (auto* sb = qobject_cast<QScrollBar*>(w))
        sb->setValue(value);
}

std::vector<std::string> Control::items() const
{
    std::vector<std::string> out;
    if (auto* cb = qobject_cast<QComboBox*>(impl_->widget))
        for (int i = 0; i < cb->count(); ++i) out.push_back(s(cb->itemText(i)));
    else if (auto* l = qobject_cast<QListWidget*>(impl_->widget))
        for (int i = 0; i < l->count(); ++i) out.push_back(s(l->item(i)->text()));
    return out;
}

void Control::setItems(const std::vector<std::string>& items)
{
    clearItems();
    for (const std::string& item : items) addItem(item);
}

void Control::addItem(std::string_view item)
{
    if (auto* cb = qobject_cast<QComboBox*>(impl_->widget)) {
        const int before = cb->currentIndex();
        cb->addItem(q(item));
        cb->setCurrentIndex(before);   // Qt selects the first item added to an empty list
    } else if (auto* l = qobject_cast<QListWidget*>(impl_->widget)) {
        l->addItem(q(item));
    }
}

void Control::clearItems()
{
    if (auto* cb = qobject_cast<QComboBox*>(impl_->widget)) cb->clear();
    else if (auto* l = qobject_cast<QListWidget*>(impl_->widget)) l->clear();
}

int Control::itemCount() const
{
    if (auto* cb = qobject_cast<QComboBox*>(impl_->widget)) return cb->count();
    if (auto* l = qobject_cast<QListWidget*>(impl_->widget)) return l->count();
    return 0;
}

int Control::index() const
{
    if (auto* cb = qobject_cast<QComboBox*>(impl_->widget)) return cb->currentIndex();
    if (auto* l = qobject_cast<QListWidget*>(impl_->widget)) return l->currentRow();
    return -1;
}

void Control::setIndex(int index)
{
    if (index < -1 || index >= itemCount()) return;
    if (auto* cb = qobject_cast<QComboBox*>(impl_->widget)) cb->setCurrentIndex(index);
    else if (auto* l = qobject_cast<QListWidget*>(impl_->widget)) l->setCurrentRow(index);
}

bool Control::enabled() const { return impl_->widget->isEnabled(); }
void Control::setEnabled(bool on) { impl_->widget->setEnabled(on); }
bool Control::visible() const { return !impl_->widget->isHidden(); }
void Control::setVisible(bool on) { impl_->widget->setVisible(on); }

FontSpec Control::font() const { return storedFont(impl_->widget); }

void Control::setFont(const FontSpec& font)
{
    impl_->widget->setFont(makeFont(font));
    storeFont(impl_->widget, font);
}

Geometry Control::geometry() const
{
    QWidget* w = impl_->widget;
    const QPoint at = w->mapTo(w->window(), QPoint(0, 0));
    return {at.x(), at.y(), w->width(), w->height()};
}

void Control::setGeometry(const Geometry& g)
{
    // Layouts place the control; the size is taken as its fixed size.
    if (g.width > 0) impl_->widget->setFixedWidth(g.width);
    if (g.height > 0) impl_->widget->setFixedHeight(g.height);
}

int Control::minimum() const
{
    if (auto* sb = qobject_cast<QScrollBar*>(impl_->widget)) return sb->minimum();
    return 0;
}

int Control::maximum() const
{
    if (auto* sb = qobject_cast<QScrollBar*>(impl_->widget)) return sb->maximum();
    return 0;
}

void Control::setRange(int minimum, int maximum)
{
    if (auto* sb = qobject_cast<QScrollBar*>(impl_->widget)) {
        sb->setRange(minimum, maximum);
        sb->setPageStep(std::max(1, (maximum - minimum) / 10));
    }
}

void Control::fill(Rgb colour)
{
    auto* p = dynamic_cast<PictureWidget*>(impl_->widget);
    if (!p) return;
    p->ensureImage();
    p->image.fill(qcolour(colour));
    p->update();
}

void Control::drawText(int x, int y, std::string_view text, Rgb colour)
{
    auto* p = dynamic_cast<PictureWidget*>(impl_->widget);
    if (!p) return;
    p->ensureImage();
    QPainter painter(&p->image);
    painter.setFont(p->font());
    painter.setPen(qcolour(colour));
    painter.drawText(x, y + QFontMetrics(p->font()).ascent(), q(text));
    p->update();
}

// ---------------------------------------------------------------------------------------------
// Form

const std::string& Form::name() const { return impl_->name; }

Control Form::control(std::string_view name) const
{
    auto it = impl_->byName.find(name);
    if (it == impl_->byName.end())
        throw std::out_of_range(impl_->name + " has no control " + std::string(name));
    return Control(it->second);
}

bool Form::has(std::string_view name) const { return impl_->byName.count(name) != 0; }

std::vector<std::string> Form::controlNames() const
{
    std::vector<std::string> out;
    for (const auto& c : impl_->controls) out.push_back(c->name);
    return out;
}

int Form::groupCode(std::string_view group) const
{
    auto it = impl_->groups.find(group);
    if (it == impl_->groups.end())
        throw std::out_of_range(impl_->name + " has no option group " + std::string(group));
    int code = 0;
    for (Control::Impl* c : it->second) code += c->position * Control(c).value();
    return code;
}

void Form::setGroupCode(std::string_view group, int position)
{
    auto it = impl_->groups.find(group);
    if (it == impl_->groups.end())
        throw std::out_of_range(impl_->name + " has no option group " + std::string(group));
    for (Control::Impl* c : it->second) Control(c).setValue(c->position == position ? 1 : 0);
}

std::string Form::title() const { return s(impl_->window->windowTitle()); }
void Form::setTitle(std::string_view title) { impl_->window->setWindowTitle(q(title)); }

namespace {

// Runs layouts now, in the order given: a hidden window lays itself out only when shown.
void runLayouts(std::initializer_list<QLayout*> layouts)
{
    for (QLayout* l : layouts) {
        l->invalidate();
        l->activate();
    }
}

// How far a window's frame reaches beyond its client on each side; nothing until Qt knows the frame.
QMargins frameMargins(const FormWindow& w)
{
    const QRect client = w.geometry(), frame = w.frameGeometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// How far a window's client lies right of and below its frame.
QPoint frameOffset(const FormWindow& w) { return w.geometry().topLeft() - w.frameGeometry().topLeft(); }

// The frame of any form the window manager has framed: it frames them all alike.
std::optional<QMargins> knownFrameMargins(const Ui::Impl& ui)
{
    for (const auto& f : ui.forms)
        if (!frameOffset(*f->window).isNull()) return frameMargins(*f->window);
    return std::nullopt;
}

std::optional<QPoint> knownFrameOffset(const Ui::Impl& ui)
{
    const std::optional<QMargins> frame = knownFrameMargins(ui);
    if (!frame) return std::nullopt;
    return QPoint(frame->left(), frame->top());
}

// A window's place is its frame's. Qt asks the window manager to put the frame there, but only
// until the window's size changes between Qt making the window and the window manager framing
// it; after such a change the client lands there, the frame above and left of its place. So a
// window opens at the size its layouts give it, and once any form shows how the window manager
// frames windows, the client is placed inside the frame from the start.
void prepareFirstShow(Form::Impl& f)
{
    FormWindow* w = f.window;
    w->ensurePolished();
    runLayouts({f.content->layout(), w->layout()});   // inside out: the window follows its content
    if (const auto offset = knownFrameOffset(*f.ui)) w->setGeometry(QRect(w->pos() + *offset, w->size()));
}

// The free part of the screen at a point (the first screen's where no screen is).
QRect freeScreenArea(QPoint at)
{
    const QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// A window's own frame, or before the window manager has framed it the one the other forms have.
QMargins likelyFrameMargins(const Form::Impl& f)
{
    const FormWindow& w = *f.window;
    return frameOffset(w).isNull() ? knownFrameMargins(*f.ui).value_or(QMargins()) : frameMargins(w);
}

// From now on the window shows its controls in a scroller of its own size, so it can be smaller
// than they are.
void scrollContent(Form::Impl& f)
{
    FormWindow* w = f.window;
    if (w->centralWidget() != f.content) return;
    auto* scroller = new QScrollArea();
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(w->takeCentralWidget());
    w->setCentralWidget(scroller);
    runLayouts({w->layout()});
}

// Cuts a window about to show to the free part of its screen right of and below its place, frame
// included (its own frame, or the one the window manager gives the other forms), never below its
// minimum size. True when the size changed.
bool cutToScreen(Form::Impl& f)
{
    FormWindow* w = f.window;
    const QRect client = w->geometry();
    const QRect free = freeScreenArea(client.topLeft());
    if (free.isEmpty()) return false;
    const QMargins frame = likelyFrameMargins(f);
    const QSize room(free.right() - frame.right() - client.left() + 1,
                     free.bottom() - frame.bottom() - client.top() + 1);
    const QSize fitted = client.size().boundedTo(room).expandedTo(w->minimumSizeHint());
    if (fitted == client.size()) return false;
    f.codeSize = fitted;
    w->resize(fitted);
    return true;
}

// A form whose window, frame included, reaches past the free part of its screen opens within it:
// one at the place the program chose on show moves back into that part as far as that shows it
// whole; one at a place given from code stays there. What still does not fit is cut, and the
// form's content scrolls. A form that fits is left as it is.
void fitToScreen(Form::Impl& f)
{
    // A canvas scrolls its own surface, and keeps the size it is given.
    if (f.canvas) return;
    FormWindow* w = f.window;
    const QRect client = w->geometry();
    const QRect free = freeScreenArea(client.topLeft());
    const QMargins frame = likelyFrameMargins(f);
    if (free.isEmpty() || free.contains(client.marginsAdded(frame))) return;
    QRect room = free.marginsRemoved(frame);
    if (f.placeGiven)
        room.setTopLeft(QPoint(std::max(room.left(), client.left()), std::max(room.top(), client.top())));
    if (room.isEmpty()) return;
    // A scroll bar takes room of its own: a window cut one way grows the other way by its bar,
    // where the screen leaves room, so it need not scroll both ways.
    const int bar = w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
    QSize want = client.size(), size = want.boundedTo(room.size());
    for (int pass = 0; pass < 2; ++pass) {
        const bool down = size.height() < want.height(), across = size.width() < want.width();
        want = client.size() + QSize(down ? bar : 0, across ? bar : 0);
        size = want.boundedTo(room.size());
    }
    // Back into the free area, never past its top-left corner (a given place stays).
    const QPoint at(std::max(room.left(), std::min(client.left(), room.right() + 1 - size.width())),
                    std::max(room.top(), std::min(client.top(), room.bottom() + 1 - size.height())));
    if (size != client.size()) {
        scrollContent(f);
        w->setMaximumSize(room.size());
        f.codeSize = size;
    }
    w->setGeometry(QRect(at, size));
}

// The first window shown learns of the window manager's frame some time after it opens, and no
// event of its own says when: it looks for it a while, and fits itself to the screen again then.
void fitOnceFramed(Form::Impl& f)
{
    if (!frameOffset(*f.window).isNull()) {   // framed as it opened
        fitToScreen(f);
        return;
    }
    auto* timer = new QTimer(f.window);
    QObject::connect(timer, &QTimer::timeout, timer, [&f, timer, looks = 0]() mutable {
        const bool framed = !frameOffset(*f.window).isNull();
        if (framed) fitToScreen(f);
        if (framed || ++looks >= 200) timer->deleteLater();
    });
    timer->start(25);
}

} // namespace

void Form::show()
{
    // A window that nothing has placed would open at the screen's corner, over the main
    // window's menu bar; it opens over the main window instead, below that bar.
    detail::FormWindow* main = impl_->ui->forms.front()->window;
    if (!impl_->placed && impl_->window != main) {
        constexpr int offset = 24;
        const QRect client = main->geometry();
        const int bar = main->menuWidget() ? main->menuWidget()->sizeHint().height() : 0;
        impl_->window->move(client.x() + offset, client.y() + bar + offset);
    }
    impl_->placed = true;
    if (!impl_->window->windowHandle()) prepareFirstShow(*impl_);
    const bool cut = std::exchange(impl_->withinScreen, false) && cutToScreen(*impl_);
    fitToScreen(*impl_);
    const bool frameUnknown = frameOffset(*impl_->window).isNull() && !knownFrameOffset(*impl_->ui);
    impl_->window->show();
    if (frameUnknown) fitOnceFramed(*impl_);
    raise();
    if (cut) impl_->ui->fire(impl_->name + "_RESIZE");
}

void Form::hide() { impl_->window->hide(); }
bool Form::visible() const { return impl_->window->isVisible(); }

namespace {

// The size the surface has in the window's present size.
QSize surfaceSize(const Form::Impl& f)
{
    runLayouts({f.window->layout(), f.content->layout()});
    return f.canvas->size();
}

} // namespace

QSize Form::Impl::clientFor(int outerWidth, int outerHeight) const
{
    if (canvas) {
        const QSize surface = surfaceSize(*this);   // first: the layouts may resize the window
        const QSize around = window->size() - surface;
        return QSize(std::max(1, outerWidth - canvasFrameWidth),
                     std::max(1, outerHeight - canvasFrameHeight)) + around;
    }
    const QSize frame = window->frameSize();
    return QSize(std::max(1, outerWidth - frame.width()), std::max(1, outerHeight - frame.height()));
}

QSize Form::Impl::outerSize() const
{
    if (canvas) return surfaceSize(*this) + QSize(canvasFrameWidth, canvasFrameHeight);
    return window->frameGeometry().size();
}

QPoint Form::Impl::framePlace() const
{
    const FormWindow& w = *window;
    if (!w.windowHandle() || !frameOffset(w).isNull()) return w.frameGeometry().topLeft();
    return w.geometry().topLeft() - knownFrameOffset(*ui).value_or(QPoint());
}

Geometry Form::geometry() const
{
    const QPoint at = impl_->framePlace();
    const QSize size = impl_->outerSize();
    return {at.x(), at.y(), size.width(), size.height()};
}

void Form::setGeometry(const Geometry& g)
{
    move(g.left, g.top);
    resize(g.width, g.height);
}

void Form::resize(int outerWidth, int outerHeight)
{
    FormWindow* w = impl_->window;
    impl_->withinScreen = false;
    // A canvas form's size does not depend on the window manager's frame.
    const bool frameUnknown = !impl_->canvas && w->frameSize().isNull();
    impl_->outerWanted = frameUnknown ? QSize(outerWidth, outerHeight) : QSize();
    const QSize client = impl_->clientFor(outerWidth, outerHeight);
    impl_->codeSize = client;
    w->resize(client);
}

void Form::resizeWithinScreen(int outerWidth, int outerHeight)
{
    resize(outerWidth, outerHeight);
    impl_->withinScreen = true;
}

bool Form::sizeProvisional() const { return impl_->withinScreen; }

void Form::move(int left, int top)
{
    impl_->placed = true;
    impl_->placeGiven = true;
    impl_->window->move(left, top);
}
void Form::raise()
{
    if (QGuiApplication::platformName() == "offscreen") return;   // nothing to stack there
    impl_->window->raise();
    impl_->window->activateWindow();
}

FontSpec Form::font() const { return storedFont(impl_->window); }

void Form::setFont(const FontSpec& font)
{
    // The form's own font is what it prints; its controls keep theirs.
    storeFont(impl_->window, font);
    if (impl_->text) impl_->text->setFont(makeFont(font));
    if (impl_->canvas) impl_->canvas->setFont(makeFont(font));
}

void Form::paintBitmap(const ChartBitmap& bitmap, int x, int y)
{
    if (!impl_->canvas) return;
    impl_->canvas->bitmap = &bitmap;
    impl_->canvas->offset = QPoint(x, y);
    impl_->canvas->marks.clear();
    impl_->canvas->update();
}

void Form::clearSurface()
{
    if (!impl_->canvas) return;
    impl_->canvas->bitmap = nullptr;
    impl_->canvas->marks.clear();
    impl_->canvas->update();
}

void Form::drawWindowLine(int x1, int y1, int x2, int y2, Rgb colour)
{
    if (!impl_->canvas) return;
    impl_->canvas->marks.push_back({QLine(x1, y1, x2, y2), qcolour(colour)});
    impl_->canvas->update();
}

int Form::clickX() const { return impl_->canvas ? impl_->canvas->clickX : 0; }
int Form::clickY() const { return impl_->canvas ? impl_->canvas->clickY : 0; }

void Form::clearText()
{
    if (impl_->text) impl_->text->clear();
}

void Form::print(std::string_view text, bool endLine)
{
    if (impl_->text) impl_->text->print(text, endLine);
}

void Form::printFormatted(std::string_view picture, double value, bool endLine)
{
    print(formatPicture(picture, value), endLine);
}

void Form::fitText(int minOuterWidth, int minOuterHeight)
{
    FormWindow* w = impl_->window;
    if (impl_->text) {
        const QFontMetrics m(impl_->text->font());
        std::vector<std::string> lines = impl_->text->lines;
        if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
        int width = 0;
        for (const std::string& line : lines)
            width = std::max(width, m.horizontalAdvance(QString::fromStdString(line)));
        // The surface paints from (4, 2): keep the same room on the far sides.
        impl_->text->setMinimumSize(width + 8, 4 + m.height() * int(lines.size()));
        // The window keeps the last text's minimum until its layouts next run, which would hold
        // it tall after a long listing: run them now so that it can shrink.
        if (QLayout* l = impl_->content->layout()) l->activate();
        impl_->content->updateGeometry();
        if (QLayout* l = w->layout()) l->activate();
    }
    const QSize frame = w->frameGeometry().size() - w->geometry().size();
    const QWidget* content = impl_->content;
    QSize need = content->minimumSizeHint().expandedTo(content->sizeHint());
    if (impl_->text) need.setHeight(content->minimumSizeHint().height());
    resize(std::max(minOuterWidth, need.width() + frame.width()),
           std::max(minOuterHeight, need.height() + frame.height()));
}

std::string Form::surfaceText() const { return impl_->text ? impl_->text->text() : std::string(); }

std::string formatPicture(std::string_view picture, double value)
{
    // The digit places form one field: the number right-aligned in it, never cut.
    size_t first = picture.find('#');
    if (first == std::string_view::npos) return std::string(picture);
    size_t last = picture.find_last_of('#');
    const size_t places = last - first + 1;
    const double rounded = std::nearbyint(value);
    std::string digits = std::to_string(static_cast<long long>(rounded));
    if (digits.size() < places) digits.insert(0, places - digits.size(), ' ');
    return std::string(picture.substr(0, first)) + digits + std::string(picture.substr(last + 1));
}

// ---------------------------------------------------------------------------------------------
// MenuItem

const std::string& MenuItem::name() const { return impl_->name; }
bool MenuItem::checked() const { return impl_->action->isChecked(); }
void MenuItem::setChecked(bool on)
{
    // Only a marked item is checkable, so unmarked items show no empty box.
    impl_->action->setCheckable(on);
    impl_->action->setChecked(on);
}
bool MenuItem::enabled() const { return impl_->action->isEnabled(); }
void MenuItem::setEnabled(bool on) { impl_->action->setEnabled(on); }
bool MenuItem::visible() const { return impl_->action->isVisible(); }
void MenuItem::setVisible(bool on) { impl_->action->setVisible(on); }
std::string MenuItem::caption() const { return s(impl_->action->text()); }
void MenuItem::setCaption(std::string_view caption) { impl_->action->setText(q(caption)); }

} // namespace nivora
