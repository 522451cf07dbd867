#include "platform/forms.h"

#include "platform/chartbitmap.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace nivora {

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string s(const QString& text) { return text.toStdString(); }

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

QColor qcolour(Rgb c) { return QColor(c.red, c.green, c.blue); }

// Fonts are kept under the program's (Windows) names; Qt only ever sees the stand-ins.
const FontSpec defaultFont{"Arial", 9};

void storeFont(QWidget* w, const FontSpec& font)
{
    w->setProperty("nivoraFont", QStringList{q(font.family), QString::number(font.points),
                                             font.bold ? "1" : "0"});
}

FontSpec storedFont(const QWidget* w)
{
    const QVariant v = w->property("nivoraFont");
    if (!v.isValid()) return defaultFont;
    const QStringList parts = v.toStringList();
    return {s(parts.value(0)), parts.value(1).toDouble(), parts.value(2) == "1"};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Widgets with the few behaviours Qt lacks.

class PictureWidget : public QWidget {
public:
    std::function<void()> onClick;
    QImage image;

    explicit PictureWidget(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void ensureImage()
    {
        const QSize want = size().expandedTo(QSize(1, 1));
        if (image.size() != want) {
            QImage next(want, QImage::Format_RGB32);
            next.fill(palette().color(QPalette::Window));
            QPainter p(&next);
            p.drawImage(0, 0, image);
            image = next;
        }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        p.drawImage(0, 0, image);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && onClick) onClick();
    }
};

class CanvasWidget : public QWidget {
public:
    std::function<void(int, int)> onClick;
    const ChartBitmap* bitmap = nullptr;
    QPoint offset;
    struct Mark { QLine line; QColor colour; };
    std::vector<Mark> marks;
    int clickX = 0, clickY = 0;

    explicit CanvasWidget(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(1, 1);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        if (bitmap && !bitmap->empty()) p.drawImage(offset, bitmap->image());
        for (const Mark& m : marks) {
            p.setPen(m.colour);
            p.drawLine(m.line);
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton) return;
        const QPoint at = e->position().toPoint();
        if (onClick) onClick(at.x(), at.y());
    }
};

class TextSurfaceWidget : public QWidget {
public:
    std::vector<std::string> lines{std::string()};

    explicit TextSurfaceWidget(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(40, 20);
    }
    void clear() { lines.assign(1, std::string()); update(); }
    void print(std::string_view text, bool endLine)
    {
        lines.back() += text;
        if (endLine) lines.emplace_back();
        update();
    }
    std::string text() const
    {
        std::string out;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i) out += '\n';
            out += lines[i];
        }
        return out;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Base));
        p.setPen(palette().color(QPalette::Text));
        p.setFont(font());
        const QFontMetrics m(font());
        int y = 2;
        for (const std::string& line : lines) {
            p.drawText(4, y + m.ascent(), q(line));
            y += m.height();
        }
    }
};

// What a text box lets the user type: at most `most` characters, only digits when asked. Qt's own
// maximum length would also cut what the program writes into the box; this limit never does.
// A text already longer than the limit can be shortened but not lengthened.
class TypingLimit : public QValidator {
public:
    TypingLimit(int most, bool digitsOnly, QLineEdit* edit)
        : QValidator(edit), most_(most), digitsOnly_(digitsOnly), before_(edit->text())
    {
        // The text before an edit: every change, the program's included, ends here.
        QObject::connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) {
            before_ = t;
        });
    }

    State validate(QString& input, int& pos) const override
    {
        if (digitsOnly_ && nonDigits(input) > nonDigits(before_)) return Invalid;
        const qsizetype room = std::max<qsizetype>(most_, before_.size());
        if (input.size() <= room) return Acceptable;
        // Keep what fits of the text just put in before the cursor, as a paste does.
        const qsizetype excess = input.size() - room;
        const qsizetype from = std::max<qsizetype>(0, pos - excess);
        input.remove(from, excess);
        pos = int(from);
        return input == before_ ? Invalid : Acceptable;
    }

private:
    static qsizetype nonDigits(const QString& text)
    {
        return std::count_if(text.begin(), text.end(),
                             [](QChar c) { return c < u'0' || c > u'9'; });
    }

    int most_;
    bool digitsOnly_;
    QString before_;
};

// The program's own write: the typing limit is no judge of it (Qt validates every change).
void setEditText(QLineEdit* edit, const QString& text)
{
    const QValidator* limit = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(text);
    edit->setValidator(limit);
}

class FormWindow : public QMainWindow {
public:
    std::function<void()> onClose;
    std::function<void(QSize, QSize, bool)> onResize;

    FormWindow() { setAttribute(Qt::WA_QuitOnClose, false); }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        e->ignore();
        if (onClose) onClose();
    }
    void resizeEvent(QResizeEvent* e) override
    {
        QMainWindow::resizeEvent(e);
        if (onResize) onResize(e->size(), e->oldSize(), e->spontaneous());
    }
};

// ---------------------------------------------------------------------------------------------

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
    FormWindow* window = nullptr;
    Surface surface = Surface::None;
    CanvasWidget* canvas = nullptr;
    TextSurfaceWidget* text = nullptr;
    std::vector<std::unique_ptr<Control::Impl>> controls;
    std::map<std::string, Control::Impl*, std::less<>> byName;
    std::map<std::string, std::vector<Control::Impl*>, std::less<>> groups;
    QSize codeSize;   // the last client size set from code, so its echo fires no _RESIZE
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
        h();
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

// ---------------------------------------------------------------------------------------------
// User actions: one path for real events and for the test calls.

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
        QObject::connect(w, &QCheckBox::clicked, [&c] { fireOf(c, "ON"); });
        return w;
    }
    case ControlKind::Radio: {
        auto* w = new QRadioButton(q(spec.caption), parent);
        // Exclusive Qt groups forbid "none set"; the group is kept by hand instead.
        w->setAutoExclusive(false);
        w->setChecked(spec.value != 0);
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

void Form::show()
{
    impl_->window->show();
    raise();
}

void Form::hide() { impl_->window->hide(); }
bool Form::visible() const { return impl_->window->isVisible(); }

Geometry Form::geometry() const
{
    const QRect r = impl_->window->frameGeometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

void Form::setGeometry(const Geometry& g)
{
    move(g.left, g.top);
    resize(g.width, g.height);
}

void Form::resize(int outerWidth, int outerHeight)
{
    FormWindow* w = impl_->window;
    const QSize frame = w->frameGeometry().size() - w->geometry().size();
    const QSize client(std::max(1, outerWidth - frame.width()),
                       std::max(1, outerHeight - frame.height()));
    impl_->codeSize = client;
    w->resize(client);
}

void Form::move(int left, int top) { impl_->window->move(left, top); }
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

// ---------------------------------------------------------------------------------------------
// Ui

void ensureApplication()
{
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "nivora";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own exit handlers tear down what it needs.
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}

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
        f.ui->fire(f.name + "_RESIZE");
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
    const QSize frame = w->frameGeometry().size() - w->geometry().size();
    const QSize client(std::max(1, outerWidth - frame.width()),
                       std::max(1, outerHeight - frame.height()));
    f.impl()->codeSize = client;   // the echo of this resize fires nothing; the call below does
    w->resize(client);
    impl_->fire(f.name() + "_RESIZE");
}

void Ui::userClose(std::string_view formName)
{
    form(formName).impl()->window->onClose();
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
