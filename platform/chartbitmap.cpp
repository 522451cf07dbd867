#include "platform/chartbitmap.h"

#include "astro/datafile.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <numbers>
#include <optional>
#include <system_error>
#include <vector>

#include <sys/mman.h>

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

// A circle's centre and radius as whole pixels, for circles far larger than the bitmap: a double
// counts every pixel up to 2^52. An ellipse's exact tests multiply four of its lengths, so its
// semi-axes are held to 2^31, which is still far beyond any picture.
constexpr double farPixel = 4503599627370496.0;   // 2^52
constexpr long long ellipseReach = 1LL << 31;

long long toFarPixel(double v)
{
    if (std::isnan(v))
        return -(long long)farPixel;
    return (long long)std::clamp(std::nearbyint(v), -farPixel, farPixel);
}

using Wide = unsigned __int128;

// The largest k >= 0 with w k^2 below `limit` (or at most it, when `orEqual`); -1 when there is none.
long long largestRoot(Wide limit, Wide w, bool orEqual)
{
    const auto fits = [&](long long k) {
        const Wide v = w * Wide(k) * Wide(k);
        return orEqual ? v <= limit : v < limit;
    };
    auto k = (long long)std::sqrt((long double)limit / (long double)w);
    while (k >= 0 && !fits(k))
        --k;
    while (fits(k + 1))
        ++k;
    return k;
}

// The same for the largest odd k.
long long largestOddRoot(Wide limit, Wide w, bool orEqual)
{
    const long long k = largestRoot(limit, w, orEqual);
    return k % 2 == 0 ? k - 1 : k;
}

// One quarter of the outline of the ellipse with semi-axes a, b >= 1 as the midpoint rule traces
// it, from the top (0, b) to the right (a, 0), y upward. With f(x, y) = wx x^2 + wy y^2 - c,
// negative inside: while the curve is flatter than a diagonal the trace takes one point a column,
// keeping its row while the midpoint below the next point lies inside; then one point a row,
// moving to the next column when the midpoint beside the next row lies inside or on the curve.
// Each point follows directly from its column or its row, so that a picture pays only for the
// columns and rows it shows.
class QuarterOutline {
public:
    QuarterOutline(long long a, long long b)
    {
        const Wide a2 = Wide(a) * Wide(a), b2 = Wide(b) * Wide(b);
        // A circle divides f by its radius squared: the terms stay small however large it is.
        wx_ = a == b ? 1 : b2;
        wy_ = a == b ? 1 : a2;
        c_ = a == b ? a2 : a2 * b2;
        // The trace leaves the columns at the first one whose point lies below the diagonal of
        // the curve, its row being the nearest, or one below the last column's when the curve
        // fell further between them.
        const auto reached = [&](long long x) {
            return x == 0 ? flatY(0) : std::max(flatY(x), flatY(x - 1) - 1);
        };
        long long low = 0, high = a;
        while (low < high) {
            const long long mid = low + (high - low) / 2;
            if (wx_ * Wide(mid) >= wy_ * Wide(reached(mid)))
                high = mid;
            else
                low = mid + 1;
        }
        turnX_ = low;
        const long long turnY = reached(low);
        // The rows move at most one column each, so right after the turn the trace may lag behind
        // the nearest column; those few rows are traced one by one, down to a row where the curve
        // is steeper than a diagonal (two rows of slack for the rounding of that row). Below it
        // the nearest column moves at most one a row, and a lag only shrinks.
        const long double diagonalRow =
            (long double)b * b / std::sqrt((long double)a * a + (long double)b * b);
        tracedTo_ = std::clamp((long long)diagonalRow - 2, 0LL, turnY);
        traced_.push_back(turnX_);
        for (long long y = turnY - 1; y >= tracedTo_; --y)
            traced_.push_back(std::min(traced_.back() + 1, std::max(nearestX(y), turnX_)));
    }

    // Columns 0 to flatColumns() - 1 have one point each, at row flatY(x).
    long long flatColumns() const { return turnX_; }
    long long flatY(long long x) const
    {
        const Wide across = 4 * wx_ * Wide(x) * Wide(x);
        return across >= 4 * c_ ? 0 : (largestOddRoot(4 * c_ - across, wy_, false) + 1) / 2;
    }
    // Rows steepRows() down to 0 have one point each, at column steepX(y).
    long long steepRows() const { return tracedTo_ + (long long)traced_.size() - 1; }
    long long steepX(long long y) const
    {
        if (y >= tracedTo_)
            return traced_[size_t(steepRows() - y)];
        return std::min(traced_.back() + (tracedTo_ - y), std::max(nearestX(y), turnX_));
    }
    // The farthest point of row y, 0 <= y <= b: where the filled span ends.
    long long rowEnd(long long y) const
    {
        if (y <= steepRows())
            return steepX(y);
        const Wide down = wy_ * Wide(2 * y - 1) * Wide(2 * y - 1);
        return largestRoot(4 * c_ - down, 4 * wx_, false);
    }

private:
    // The column of row y whose left midpoint lies inside or on the curve, the farthest such.
    long long nearestX(long long y) const
    {
        const Wide up = 4 * wy_ * Wide(y) * Wide(y);
        return up > 4 * c_ ? 0 : (largestOddRoot(4 * c_ - up, wx_, true) + 1) / 2;
    }

    Wide wx_, wy_, c_;
    long long turnX_;
    long long tracedTo_;
    std::vector<long long> traced_;   // steepX of rows steepRows() down to tracedTo_
};

// A new picture in memory of its own. A large one asks for the large pages: its first filling
// then takes a few hundred faults of the memory rather than one for every 4 KB, which on some
// machines costs seconds at the largest size. Null when there is no room.
QImage freshImage(int width, int height)
{
    constexpr std::size_t largePage = std::size_t(1) << 21;
    const std::size_t bytesPerLine = std::size_t(width) * 4;
    const std::size_t bytes = bytesPerLine * std::size_t(height);
    if (bytes < 4 * largePage)
        return QImage(width, height, QImage::Format_RGB32);
    const std::size_t rounded = (bytes + largePage - 1) / largePage * largePage;
    void* memory = std::aligned_alloc(largePage, rounded);
    if (!memory)
        return QImage();
    ::madvise(memory, rounded, MADV_HUGEPAGE);
    return QImage(static_cast<uchar*>(memory), width, height, qsizetype(bytesPerLine), QImage::Format_RGB32,
                  [](void* m) { std::free(m); }, memory);
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
        image_ = freshImage(width, height);
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

void BitmapArea::drawCircle(double x, double y, double r, int colour, float aspect, float start, float end,
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

void ChartBitmap::drawCircle(double x, double y, double r, int colour, float aspect, float start, float end,
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
    if (std::max(x, xe) < clip.left || std::min(x, xe) >= clip.right || std::max(y, ye) < clip.top ||
        std::min(y, ye) >= clip.bottom) {
        return;
    }
    // The walk takes one pixel a step along its longer axis, the other coordinate of step k being
    // the nearest to the line's there (a tie away from the start): floor((2 short k + long) /
    // (2 long)). A line far longer than the area is entered at its first step inside and left
    // after its last, with the error term the walk would have had there, so that the pixels are
    // those of the whole walk.
    const bool xMajor = dx >= -dy;
    const long long major = xMajor ? dx : -dy, minor = xMajor ? -dy : dx;
    const auto across = [&](long long k) {
        return major == 0 ? 0LL : (long long)((Wide(2 * minor) * Wide(k) + Wide(major)) / Wide(2 * major));
    };
    const auto at = [&](long long k) {
        return xMajor ? std::pair{x + sx * k, y + sy * across(k)} : std::pair{x + sx * across(k), y + sy * k};
    };
    // Both coordinates are monotonic in k, so the steps inside the area are one run; the first
    // step at or past each edge bounds it.
    const auto firstStep = [&](auto reached) {
        long long low = 0, high = major + 1;   // `reached` holds from some step on, or never
        while (low < high) {
            const long long mid = low + (high - low) / 2;
            if (reached(at(mid)))
                high = mid;
            else
                low = mid + 1;
        }
        return low;
    };
    const auto inX = [&](long long px, bool past) { return sx > 0 ? (past ? px >= clip.right : px >= clip.left)
                                                                   : (past ? px < clip.left : px < clip.right); };
    const auto inY = [&](long long py, bool past) { return sy > 0 ? (past ? py >= clip.bottom : py >= clip.top)
                                                                  : (past ? py < clip.top : py < clip.bottom); };
    // A line with both ends inside is walked whole, as most are.
    const bool inside = clip.contains(x, y) && clip.contains(xe, ye);
    const long long first = inside ? 0
                                   : std::max(firstStep([&](auto p) { return inX(p.first, false); }),
                                              firstStep([&](auto p) { return inY(p.second, false); }));
    const long long last = inside ? major
                                  : std::min(firstStep([&](auto p) { return inX(p.first, true); }),
                                             firstStep([&](auto p) { return inY(p.second, true); })) - 1;
    if (first > last)
        return;
    const auto [fx, fy] = at(first);
    const long long i = std::llabs(fx - x), j = std::llabs(fy - y);
    x = fx;
    y = fy;
    long long err = (long long)(__int128(dx) * (j + 1) - __int128(-dy) * (i + 1));
    const QRgb c = qrgbOf(colour);
    for (long long k = first;; ++k) {
        reinterpret_cast<QRgb*>(image_.scanLine(int(y)))[x] = c;
        if (k == last) break;
        const long long e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

void ChartBitmap::drawCircle(const PixelArea& clip, double x, double y, double r, int colour, float aspect,
                             float start, float end, int fillColour)
{
    if (empty() || !std::isfinite(r) || !std::isfinite(aspect))
        return;
    const long long cx = toFarPixel(x), cy = toFarPixel(y);
    long long rx = std::llabs(toFarPixel(r)), ry = std::llabs(toFarPixel(r * aspect));
    if (rx != ry) {
        rx = std::min(rx, ellipseReach);
        ry = std::min(ry, ellipseReach);
    }
    // The rows and columns of the clip the circle can reach; nothing else costs anything.
    const long long top = std::max<long long>(clip.top, cy - ry);
    const long long bottom = std::min<long long>(clip.bottom - 1, cy + ry);
    const long long left = std::max<long long>(clip.left, cx - rx);
    const long long right = std::min<long long>(clip.right - 1, cx + rx);
    if (top > bottom || left > right)
        return;

    // A flat ellipse is the line of its longer axis and that of its shorter one.
    const bool line = rx == 0 || ry == 0;
    const std::optional<QuarterOutline> quarter = line ? std::nullopt : std::optional(QuarterOutline(rx, ry));
    const auto rowEnd = [&](long long dy) { return line ? (dy == 0 ? rx : 0) : quarter->rowEnd(dy); };

    if (fillColour >= 0) {
        const QRgb fc = qrgbOf(fillColour);
        for (long long py = top; py <= bottom; ++py) {
            const long long end = rowEnd(std::llabs(cy - py));
            auto* row = reinterpret_cast<QRgb*>(image_.scanLine(int(py)));
            for (long long px = std::max(left, cx - end + 1); px <= std::min(right, cx + end - 1); ++px)
                row[px] = fc;
        }
    }

    const bool whole = start == 0 && end == 0;
    double s = std::fmod(double(start), 1.0), e = std::fmod(double(end), 1.0);
    if (s < 0) s += 1;
    if (e < 0) e += 1;
    const QRgb c = qrgbOf(colour);
    const auto plot = [&](long long dx, long long dy) {
        const long long px = cx + dx, py = cy - dy;
        if (!clip.contains(px, py))
            return;
        if (!whole) {
            double turn = std::atan2(double(dy) * double(rx), double(dx) * double(std::max(ry, 1LL))) /
                          (2 * std::numbers::pi);
            if (dx == 0 && dy == 0) turn = 0;
            if (turn < 0) turn += 1;
            if (!(s <= e ? (turn >= s && turn <= e) : (turn >= s || turn <= e)))
                return;
        }
        reinterpret_cast<QRgb*>(image_.scanLine(int(py)))[px] = c;
    };
    // One point in each column of the flat parts, one in each row of the steep parts, mirrored
    // into the four quarters.
    const long long flatColumns = line ? rx + 1 : quarter->flatColumns();
    const long long firstColumn = std::max(left, cx - flatColumns + 1);
    for (long long px = firstColumn; px <= std::min(right, cx + flatColumns - 1); ++px) {
        const long long dx = px - cx, dy = line ? 0 : quarter->flatY(std::llabs(dx));
        plot(dx, dy);
        plot(dx, -dy);
    }
    const long long steepRows = line ? ry : quarter->steepRows();
    for (long long py = std::max(top, cy - steepRows); py <= std::min(bottom, cy + steepRows); ++py) {
        const long long dy = cy - py, dx = line ? 0 : quarter->steepX(std::llabs(dy));
        plot(dx, dy);
        plot(-dx, dy);
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

namespace {

// The file header, then the information header.
constexpr std::uint32_t bmpHeaderBytes = 14 + 40;

// What opens a bottom-up, 24-bit Windows BMP file without a palette, for rows of rowBytes.
std::string bmpHeader(const QImage& image, std::uint32_t rowBytes)
{
    std::string header;
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) header += char((value >> (8 * i)) & 0xFF);
    };
    const std::uint32_t pixelBytes = rowBytes * std::uint32_t(image.height());
    // 2834 pixels a metre is 72 dpi, for a picture that names no resolution.
    const auto resolution = [](int dotsPerMetre) { return std::uint32_t(dotsPerMetre ? dotsPerMetre : 2834); };
    header += "BM";
    put(bmpHeaderBytes + pixelBytes, 4);
    put(0, 4);                    // reserved
    put(bmpHeaderBytes, 4);       // where the pixels start
    put(40, 4);                   // the information header's size
    put(std::uint32_t(image.width()), 4);
    put(std::uint32_t(image.height()), 4);
    put(1, 2);                    // planes
    put(24, 2);                   // bits a pixel
    put(0, 4);                    // no compression
    put(pixelBytes, 4);
    put(resolution(image.dotsPerMeterX()), 4);
    put(resolution(image.dotsPerMeterY()), 4);
    put(0, 4);                    // colours used: no palette
    put(0, 4);                    // important colours
    return header;
}

} // namespace

bool ChartBitmap::saveBmp(const std::string& path, std::string* whyNot) const
{
    const auto fail = [&](const std::string& why) {
        if (whyNot) *whyNot = "Cannot write \"" + escapeControls(path) + "\": " + why;
        return false;
    };
    if (empty()) return fail("there is no picture");
    // Each row is blue, green, red a pixel, padded to whole 4-byte words, and rows go bottom up.
    const std::uint64_t rowBytes = (std::uint64_t(width()) * 3 + 3) / 4 * 4;
    if (bmpHeaderBytes + rowBytes * std::uint64_t(height()) > UINT32_MAX)
        return fail("the picture is too large for a bitmap file");
    try {
        FileReplacer out(path);
        out.raw(bmpHeader(image_, std::uint32_t(rowBytes)));
        std::string row(rowBytes, '\0');
        const int pixelsInRow = width();
        for (int y = height() - 1; y >= 0; --y) {
            const auto* pixels = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
            char* bytes = row.data();
            for (int x = 0; x < pixelsInRow; ++x, bytes += 3) {
                bytes[0] = char(qBlue(pixels[x]));
                bytes[1] = char(qGreen(pixels[x]));
                bytes[2] = char(qRed(pixels[x]));
            }
            out.raw(row);
            if (out.failed()) break;   // nothing more reaches the file
        }
        if (out.commit()) return true;
        if (whyNot) *whyNot = out.error();
        return false;
    } catch (const std::bad_alloc&) {
        return fail(std::generic_category().message(ENOMEM));
    }
}

} // namespace nivora
