#include "platform/widgets.h"

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

} // namespace nivora::detail
