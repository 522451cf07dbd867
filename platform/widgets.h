// Inside the platform layer only: the Qt widgets behind forms and controls, and the conversions
// between the program's texts, colours and fonts and Qt's.
#pragma once

#include "platform/chartbitmap.h"
#include "platform/ui_types.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QValidator>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nivora::detail {

QString q(std::string_view s);
std::string s(const QString& text);
std::string upper(std::string_view text);
QColor qcolour(Rgb c);

// Controls without a font of their own read as the forms' usual 9-point sans serif.
inline const FontSpec defaultFont{"Arial", 9};
// Fonts are kept under the program's (Windows) names; Qt only ever sees the stand-ins.
void storeFont(QWidget* w, const FontSpec& font);
FontSpec storedFont(const QWidget* w);

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
void setEditText(QLineEdit* edit, const QString& text);

// A screen reader's "toggle" or "press" on this check box or option button is the user's click.
// Qt's own would only flip the mark: no group cleared, no handler run.
void clickOnAssistiveAction(QAbstractButton* button);

class FormWindow : public QMainWindow {
public:
    std::function<void()> onClose;
    std::function<void(QSize, QSize, bool)> onResize;
    std::function<void()> onPlaced;   // shown, moved or resized: the frame may be known now

    FormWindow() { setAttribute(Qt::WA_QuitOnClose, false); }
    // The window handle outlives this part of the window and reports its last focus change.
    ~FormWindow() override { disconnect(focusWatch_); }

    // Frame and caption; nothing until the window system has framed the window.
    QSize frameSize() const { return frameGeometry().size() - geometry().size(); }

protected:
    bool event(QEvent* e) override
    {
        const bool done = QMainWindow::event(e);
        const QEvent::Type t = e->type();
        if ((t == QEvent::Show || t == QEvent::Move || t == QEvent::Resize) && onPlaced) onPlaced();
        if (t == QEvent::Show) watchFocus();
        return done;
    }
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

private:
    void watchFocus();
    void focusMoved(QObject* now);

    QMetaObject::Connection focusWatch_;
    QPointer<QWidget> focus_;
};

} // namespace nivora::detail
