#include "platform/widgets.h"

#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QRadioButton>
#include <QWindow>

namespace nivora::detail {

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

void setEditText(QLineEdit* edit, const QString& text)
{
    const QValidator* limit = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(text);
    edit->setValidator(limit);
}

void FormWindow::watchFocus()
{
    if (focusWatch_ || !windowHandle()) return;
    focusWatch_ = connect(windowHandle(), &QWindow::focusObjectChanged, this,
                          [this](QObject* now) { focusMoved(now); });
}

// A screen reader may put the focus on a text box of a window in the back; the keys that follow
// go to the active window, so the box's window comes forward as a click would bring it.
void FormWindow::focusMoved(QObject* now)
{
    const QPointer<QWidget> before = focus_;
    focus_ = qobject_cast<QWidget*>(now);
    if (!qobject_cast<QLineEdit*>(now) || isActiveWindow() || !isVisible()) return;
    // Qt passing the focus on from a control the program disabled is nobody's choice.
    if (before && !before->isEnabled()) return;
    if (QGuiApplication::platformName() != "offscreen") raise();   // nothing to stack there
    activateWindow();
}

namespace {

const char* const clicksOnAction = "nivoraClicksOnAction";

class ClickingButton : public QAccessibleWidget {
public:
    explicit ClickingButton(QAbstractButton* b)
        // Our option buttons are not auto-exclusive, which Qt would announce as check boxes.
        : QAccessibleWidget(b, qobject_cast<QRadioButton*>(b) ? QAccessible::RadioButton
                                                              : QAccessible::CheckBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        // The caption without its mnemonic marks.
        const QString caption = button()->text();
        QString name;
        for (qsizetype i = 0; i < caption.size(); ++i) {
            if (caption[i] == u'&' && ++i == caption.size()) break;
            name += caption[i];
        }
        return name;
    }

    QAccessible::State state() const override
    {
        QAccessible::State st = QAccessibleWidget::state();
        st.checkable = true;
        st.checked = button()->isChecked();
        st.pressed = button()->isDown();
        return st;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled()) names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action != toggleAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (widget()->isEnabled()) button()->click();
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* clickingButtons(const QString&, QObject* object)
{
    auto* b = qobject_cast<QAbstractButton*>(object);
    if (b && b->property(clicksOnAction).toBool()) return new ClickingButton(b);
    return nullptr;
}

} // namespace

void clickOnAssistiveAction(QAbstractButton* button)
{
    static const bool installed = (QAccessible::installFactory(clickingButtons), true);
    (void)installed;
    button->setProperty(clicksOnAction, true);
    // Qt may have made the stock interface while the button was built; ours replaces it.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(button);
    if (made && !dynamic_cast<ClickingButton*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace nivora::detail
