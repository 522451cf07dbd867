#include "platform/chartbitmap.h"

#include "astro/datafile.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/fonts.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace nivora {

const std::array<Rgb, 16> paletteColours = {{
    {0, 0, 0},     {128, 128, 128}, {0, 0, 128},   {0, 0, 255},
    {128, 0, 0},   {255, 0, 0},     {128, 0, 128}, {255, 0, 255},
    {0, 128, 0},   {0, 255, 0},     {0, 128, 128}, {0, 255, 255},
    {128, 128, 0}, {255, 255, 0},   {192, 192, 192}, {255, 255, 255},
}};

Rgb paletteColour(int colourNumber) { return paletteColours[size_t(colourNumber & 15)]; }

namespace {

QRgb qrgbOf(int colour)
{
    if (colour >= 0 && (colour & rgbColourFlag))
        return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    const Rgb c = paletteColour(colour);
    return qRgb(c.red, c.green, c.blue);
}

// Pixel coordinates arrive as single precision; the nearest pixel, a tie to the even one.
int toPixel(float v)
{
    if (!std::isfinite(v)) return v > 0 ? INT32_MAX / 2 : INT32_MIN / 2;
    const double r = std::nearbyint(double(v));
    return int(std::clamp(r, double(INT32_MIN / 2), double(INT32_MAX / 2)));
}

} // namespace

ChartBitmap::ChartBitmap(int width, int height) { create(width, height); }

void ChartBitmap::create(int width, int height, int colour)
{
    pen_ = Pen{};
    if (width < 1 || height < 1) {
        image_ = QImage();
        return;
    }
    if (image_.width() != width || image_.height() != height) {
        image_ = QImage();
        image_ = QImage(width, height, QImage::Format_RGB32);
    }
    clear(colour);
}

void ChartBitmap::clear(int colour)
{
    if (!empty()) image_.fill(qrgbOf(colour));
}

void ChartBitmap::fillRect(int x1, int y1, int x2, int y2, int colour)
{
    if (empty()) return;
    const int left = std::max(0, std::min(x1, x2)), right = std::min(width() - 1, std::max(x1, x2));
    const int top = std::max(0, std::min(y1, y2)), bottom = std::min(height() - 1, std::max(y1, y2));
    const QRgb c = qrgbOf(colour);
    for (int y = top; y <= bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = left; x <= right; ++x) row[x] = c;
    }
}

BitmapArea::BitmapArea(ChartBitmap& bitmap, const PixelArea& area) : bitmap_(&bitmap)
{
    const PixelArea b = bitmap.bounds();
    area_ = {std::max(area.left, b.left), std::max(area.top, b.top), std::min(area.right, b.right),
             std::min(area.bottom, b.bottom)};
    if (area_.right < area_.left || area_.bottom < area_.top)
        area_ = {};
}

BitmapArea ChartBitmap::area(const PixelArea& area) { return BitmapArea(*this, area); }

void BitmapArea::plotDot(float x, float y, int colour) { bitmap_->plotDot(area_, x, y, colour); }

void BitmapArea::drawLine(float x1, float y1, float x2, float y2, int colour)
{
    bitmap_->drawLine(area_, x1, y1, x2, y2, colour);
}

void BitmapArea::drawCircle(float x, float y, float r, int colour, float aspect, float start, float end,
                            int fillColour)
{
    bitmap_->drawCircle(area_, x, y, r, colour, aspect, start, end, fillColour);
}

void BitmapArea::drawText(float x, float y, std::string_view text, int colour)
{
    bitmap_->drawText(area_, x, y, text, colour);
}

void ChartBitmap::plotDot(float x, float y, int colour) { plotDot(bounds(), x, y, colour); }

void ChartBitmap::drawLine(float x1, float y1, float x2, float y2, int colour)
{
    drawLine(bounds(), x1, y1, x2, y2, colour);
}

void ChartBitmap::drawCircle(float x, float y, float r, int colour, float aspect, float start, float end,
                             int fillColour)
{
    drawCircle(bounds(), x, y, r, colour, aspect, start, end, fillColour);
}

void ChartBitmap::drawText(float x, float y, std::string_view text, int colour)
{
    drawText(bounds(), x, y, text, colour);
}

void ChartBitmap::plotDot(const PixelArea& clip, float x, float y, int colour)
{
    const int px = toPixel(x), py = toPixel(y);
    if (!clip.contains(px, py)) return;
    reinterpret_cast<QRgb*>(image_.scanLine(py))[px] = qrgbOf(colour);
}

void ChartBitmap::drawLine(const PixelArea& clip, float x1, float y1, float x2, float y2, int colour)
{
    if (empty()) return;
    long long x = toPixel(x1), y = toPixel(y1);
    long long xe = toPixel(x2), ye = toPixel(y2);
    // Walk from a fixed end so a line has the same pixels whichever way it is given.
    if (std::make_pair(x, y) > std::make_pair(xe, ye)) {
        std::swap(x, xe);
        std::swap(y, ye);
    }
    const long long dx = std::llabs(xe - x), dy = -std::llabs(ye - y);
    const int sx = x < xe ? 1 : -1, sy = y < ye ? 1 : -1;
    // A far-off end (an off-chart point) would take long to walk; lines that miss the area
    // are skipped whole.
    if (std::max(x, xe) < clip.left || std::min(x, xe) >= clip.right || std::max(y, ye) < clip.top ||
        std::min(y, ye) >= clip.bottom) {
        return;
    }
    const QRgb c = qrgbOf(colour);
    long long err = dx + dy;
    for (;;) {
        if (clip.contains(x, y))
            reinterpret_cast<QRgb*>(image_.scanLine(int(y)))[x] = c;
        if (x == xe && y == ye) break;
        const long long e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

void ChartBitmap::drawCircle(const PixelArea& clip, float x, float y, float r, int colour, float aspect,
                             float start, float end, int fillColour)
{
    if (empty() || !std::isfinite(r) || !std::isfinite(aspect)) return;
    const int cx = toPixel(x), cy = toPixel(y);
    const int rx = std::abs(toPixel(r));
    const int ry = std::abs(toPixel(r * aspect));
    if (rx > 100000 || ry > 100000) return;

    // Outline points by the midpoint ellipse rule, one per step in the faster-moving axis.
    std::vector<std::pair<int, int>> quarter;   // (dx, dy) with dx, dy >= 0, dy upward
    if (rx == 0 || ry == 0) {
        for (int i = 0; i <= rx; ++i) quarter.push_back({i, 0});
        for (int j = 0; j <= ry; ++j) quarter.push_back({0, j});
    } else {
        const double a2 = double(rx) * rx, b2 = double(ry) * ry;
        int px = 0, py = ry;
        double d1 = b2 - a2 * ry + 0.25 * a2;
        while (b2 * px < a2 * py) {
            quarter.push_back({px, py});
            if (d1 < 0) {
                d1 += b2 * (2 * px + 3);
            } else {
                d1 += b2 * (2 * px + 3) + a2 * (-2 * py + 2);
                --py;
            }
            ++px;
        }
        double d2 = b2 * (px + 0.5) * (px + 0.5) + a2 * (py - 1.0) * (py - 1.0) - a2 * b2;
        while (py >= 0) {
            quarter.push_back({px, py});
            if (d2 > 0) {
                d2 += a2 * (-2 * py + 3);
            } else {
                d2 += b2 * (2 * px + 2) + a2 * (-2 * py + 3);
                ++px;
            }
            --py;
        }
    }
    std::vector<std::pair<int, int>> outline;
    for (auto [dx, dy] : quarter) {
        outline.push_back({dx, dy});
        outline.push_back({-dx, dy});
        outline.push_back({dx, -dy});
        outline.push_back({-dx, -dy});
    }
    std::sort(outline.begin(), outline.end());
    outline.erase(std::unique(outline.begin(), outline.end()), outline.end());

    if (fillColour >= 0) {
        std::map<int, std::pair<int, int>> spans;   // dy -> (min dx, max dx)
        for (auto [dx, dy] : outline) {
            auto [it, fresh] = spans.try_emplace(dy, dx, dx);
            if (!fresh) {
                it->second.first = std::min(it->second.first, dx);
                it->second.second = std::max(it->second.second, dx);
            }
        }
        const QRgb fc = qrgbOf(fillColour);
        for (auto [dy, span] : spans) {
            const int py = cy - dy;
            if (py < clip.top || py >= clip.bottom) continue;
            auto* row = reinterpret_cast<QRgb*>(image_.scanLine(py));
            for (int dx = span.first + 1; dx < span.second; ++dx) {
                const int px = cx + dx;
                if (px >= clip.left && px < clip.right) row[px] = fc;
            }
        }
    }

    const bool whole = start == 0 && end == 0;
    double s = std::fmod(double(start), 1.0), e = std::fmod(double(end), 1.0);
    if (s < 0) s += 1;
    if (e < 0) e += 1;
    const QRgb c = qrgbOf(colour);
    for (auto [dx, dy] : outline) {
        if (!whole) {
            double turn = std::atan2(double(dy) * rx, double(dx) * std::max(ry, 1)) /
                          (2 * std::numbers::pi);
            if (dx == 0 && dy == 0) turn = 0;
            if (turn < 0) turn += 1;
            const bool inside = s <= e ? (turn >= s && turn <= e) : (turn >= s || turn <= e);
            if (!inside) continue;
        }
        const int px = cx + dx, py = cy - dy;
        if (clip.contains(px, py))
            reinterpret_cast<QRgb*>(image_.scanLine(py))[px] = c;
    }
}

void ChartBitmap::setFont(std::string_view family, int pixelSize)
{
    pen_.font = FontSpec{std::string(family), std::max(1, pixelSize) * 72.0 / 96.0, false};
}

void ChartBitmap::drawText(const PixelArea& clip, float x, float y, std::string_view text, int colour)
{
    if (empty() || text.empty()) return;
    if (textLog_) textLog_->push_back({x, y, colour, std::string(text)});
    if (clip.right <= clip.left || clip.bottom <= clip.top) return;
    ensureApplication();
    QFont f = makeFont(pen_.font);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(QRect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top));
    p.setFont(f);
    p.setPen(QColor(qrgbOf(colour == currentColour ? pen_.foreground : colour)));
    const QFontMetrics m(f);
    p.drawText(toPixel(x), toPixel(y) + m.ascent(),
               QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void ChartBitmap::setColours(int foreground, int background, int third)
{
    pen_ = {pen_.font, foreground, background, third};
}

int ChartBitmap::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height()) return -1;
    const QRgb v = image_.pixel(x, y);
    for (int i = 0; i < 16; ++i)
        if (qrgbOf(i) == (v | 0xff000000u)) return i;
    return -1;
}

Rgb ChartBitmap::pixelRgb(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height()) return {};
    const QRgb v = image_.pixel(x, y);
    return {qRed(v), qGreen(v), qBlue(v)};
}

bool ChartBitmap::saveBmp(const std::string& path, std::string* whyNot) const
{
    const auto fail = [&](const std::string& why) {
        if (whyNot) *whyNot = "Cannot write \"" + escapeControls(path) + "\": " + why;
        return false;
    };
    if (empty()) return fail("there is no picture");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(image_.convertToFormat(QImage::Format_RGB888)))
        return fail(writer.errorString().toStdString());
    FileReplacer out(path);
    out.raw(std::string_view(bytes.constData(), size_t(bytes.size())));
    if (out.commit()) return true;
    if (whyNot) *whyNot = out.error();
    return false;
}

} // namespace nivora
