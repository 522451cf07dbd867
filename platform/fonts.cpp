#include "platform/fonts.h"

#include "platform/application.h"

#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace nivora {

namespace {

struct StandIn {
    const char* windows;
    const char* installed;
};

// Metric-compatible families from fonts-liberation2 and fonts-ipafont-gothic.
const StandIn standIns[] = {
    {"Courier New", "Liberation Mono"},
    {"Arial", "Liberation Sans"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"MS UI Gothic", "IPAPGothic"},
};

} // namespace

std::string installedFamily(std::string_view windowsFamily)
{
    for (const StandIn& s : standIns)
        if (windowsFamily == s.windows) return s.installed;
    return std::string(windowsFamily);
}

int pixelSizeOfPoints(double points)
{
    return std::max(1, int(std::lround(points * 96.0 / 72.0)));
}

QFont makeFont(const FontSpec& font)
{
    ensureApplication();
    QFont f(QString::fromStdString(installedFamily(font.family)));
    f.setPixelSize(pixelSizeOfPoints(font.points));
    f.setBold(font.bold);
    return f;
}

std::vector<std::string> fontFamilies()
{
    ensureApplication();
    std::vector<std::string> out;
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : installed) out.push_back(family.toStdString());
    for (const StandIn& s : standIns)
        if (installed.contains(QString::fromUtf8(s.installed))) out.emplace_back(s.windows);
    return out;
}

bool fontFamilyExists(std::string_view windowsFamily)
{
    const std::vector<std::string> families = fontFamilies();
    return std::find(families.begin(), families.end(), windowsFamily) != families.end();
}

} // namespace nivora
