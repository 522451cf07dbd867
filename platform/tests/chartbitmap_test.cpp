#include "platform/chartbitmap.h"
#include "platform/fonts.h"
#include "platform/forms.h"
#include "platform/tests/full_disk.h"
#include "platform/tests/short_memory.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QImageWriter>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace nivora {
namespace {

// The bitmap as rows of text: '.' for black, the colour number's hex digit elsewhere.
std::vector<std::string> picture(const ChartBitmap& b)
{
    std::vector<std::string> rows;
    for (int y = 0; y < b.height(); ++y) {
        std::string row;
        for (int x = 0; x < b.width(); ++x) {
            const int c = b.pixel(x, y);
            row += c == 0 ? '.' : c < 0 ? '?' : "0123456789abcdef"[c];
        }
        rows.push_back(row);
    }
    return rows;
}

using Rows = std::vector<std::string>;

TEST(ChartBitmap, DotsGoToTheNearestPixelAndOffTheEdgeAreClipped)
{
    ChartBitmap b(5, 3);
    b.plotDot(0.4f, 0.4f, 15);
    b.plotDot(2.5f, 1.0f, 9);     // a tie goes to the even pixel
    b.plotDot(3.5f, 1.0f, 5);
    b.plotDot(-0.6f, 0, 3);       // off the left edge
    b.plotDot(4.6f, 2, 3);        // off the right edge
    b.plotDot(1e9f, 1e9f, 3);
    EXPECT_EQ(picture(b), (Rows{
        "f....",
        "..9.5",
        ".....",
    }));
}

TEST(ChartBitmap, LinesDrawBothEnds)
{
    struct Case { float x1, y1, x2, y2; Rows rows; };
    const Case cases[] = {
        {0, 0, 4, 0, {"fffff", ".....", "....."}},
        {4, 2, 0, 2, {".....", ".....", "fffff"}},
        {2, 1, 2, 1, {".....", "..f..", "....."}},   // equal ends: one pixel
        {0, 0, 4, 2, {"f....", ".ff..", "...ff"}},
        {4, 2, 0, 0, {"f....", ".ff..", "...ff"}},   // either way round
        {4, 0, 0, 2, {"...ff", ".ff..", "f...."}},   // the mirror of the line above
        {1, 0, 1, 2, {".f...", ".f...", ".f..."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << ',' << c.y1 << " to " << c.x2 << ',' << c.y2);
        ChartBitmap b(5, 3);
        b.drawLine(c.x1, c.y1, c.x2, c.y2, 15);
        EXPECT_EQ(picture(b), c.rows);
    }
}

TEST(ChartBitmap, ALineLeavingTheBitmapKeepsItsPixelsInside)
{
    // The same line in a large bitmap and in a small one must agree where they overlap.
    ChartBitmap large(40, 40), small(10, 10);
    large.drawLine(-13, 27, 31, -4, 13);
    small.drawLine(-13, 27, 31, -4, 13);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(small.pixel(x, y), large.pixel(x, y)) << x << ',' << y;
    ChartBitmap far(10, 10);
    far.drawLine(-16000, -16000, -12000, -16000, 13);   // wholly outside: nothing
    EXPECT_EQ(picture(far), picture(ChartBitmap(10, 10)));
}

// The pixels of a line are those of one walk from its lesser end, a step at a time, however much
// of it an area shows; a line far longer than the area, its ends far off, keeps them.
std::set<std::pair<long long, long long>> walkedPixels(float x1, float y1, float x2, float y2, const PixelArea& area)
{
    long long x = (long long)std::nearbyint(double(x1)), y = (long long)std::nearbyint(double(y1));
    long long xe = (long long)std::nearbyint(double(x2)), ye = (long long)std::nearbyint(double(y2));
    if (std::make_pair(x, y) > std::make_pair(xe, ye)) {
        std::swap(x, xe);
        std::swap(y, ye);
    }
    const long long dx = std::llabs(xe - x), dy = -std::llabs(ye - y);
    const int sx = x < xe ? 1 : -1, sy = y < ye ? 1 : -1;
    std::set<std::pair<long long, long long>> pixels;
    for (long long err = dx + dy;;) {
        if (area.contains(x, y)) pixels.insert({x, y});
        if (x == xe && y == ye) return pixels;
        const long long e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

std::set<std::pair<long long, long long>> drawnPixels(const ChartBitmap& b, const PixelArea& area)
{
    std::set<std::pair<long long, long long>> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (b.pixel(x, y) != 0) pixels.insert({x, y});
    return pixels;
}

TEST(ChartBitmap, ALongLineShowsTheSamePixelsInAnyArea)
{
    std::mt19937_64 random(20261211);
    const auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    const auto logUniform = [&](double low, double high) { return std::exp(uniform(std::log(low), std::log(high))); };
    const PixelArea areas[] = {{0, 0, 64, 48}, {20, 10, 44, 30}, {31, 0, 32, 48}, {0, 23, 64, 24}, {40, 40, 41, 41}};
    for (int n = 0; n < 1500; ++n) {
        const PixelArea& area = areas[n % std::size(areas)];
        // Through a point near the area, its long axis up to millions of pixels, its slope any,
        // down to one pixel across millions or one short of the diagonal.
        const double cx = uniform(area.left - 3, area.right + 3), cy = uniform(area.top - 3, area.bottom + 3);
        const double length = logUniform(1, 4e6);
        double across = n % 5 == 0 ? 1 : n % 5 == 1 ? length - 1 : uniform(0, length);
        double along = length;
        if (n % 2) std::swap(across, along);
        const double share = uniform(0, 1);
        const double sign = n % 3 == 0 ? -1 : 1;
        const float x1 = float(cx - share * along), y1 = float(cy - sign * share * across);
        const float x2 = float(cx + (1 - share) * along), y2 = float(cy + sign * (1 - share) * across);
        SCOPED_TRACE(testing::Message() << std::setprecision(12) << x1 << ',' << y1 << " to " << x2 << ','
                                        << y2 << " in " << area.left << ',' << area.top << ' ' << area.right
                                        << ',' << area.bottom);
        ChartBitmap b(64, 48);
        BitmapArea part = b.area(area);
        part.drawLine(x1, y1, x2, y2, 13);
        EXPECT_EQ(drawnPixels(b, area), walkedPixels(x1, y1, x2, y2, area));
    }
}

// Ends a thousand million pixels off: the part an area shows is the part a wider area shows of
// it, and one pixel a column (or a row, for a steep line) where it crosses the area.
TEST(ChartBitmap, ALineWithFarEndsKeepsItsPixelsAcrossAreas)
{
    std::mt19937_64 random(7);
    const auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    const PixelArea wide{0, 0, 64, 48};
    const PixelArea narrow[] = {{20, 10, 44, 30}, {31, 0, 32, 48}, {0, 23, 64, 24}, {63, 47, 64, 48}};
    for (int n = 0; n < 400; ++n) {
        const double far = uniform(1e8, 1.2e9);
        const double cx = uniform(-2, 66), cy = uniform(-2, 50);
        // Near-flat, near-diagonal and any slope, either way round.
        const double slope = n % 4 == 0 ? uniform(-2, 2) / far : n % 4 == 1 ? 1 - uniform(0, 4) / far : uniform(-1, 1);
        const bool steep = n % 8 >= 4;
        const auto end = [&](double t) {
            const double a = t, b = slope * t;
            return steep ? std::pair{float(cx + b), float(cy + a)} : std::pair{float(cx + a), float(cy + b)};
        };
        const auto [x1, y1] = end(-far * uniform(0.2, 1));
        const auto [x2, y2] = end(far * uniform(0.2, 1));
        SCOPED_TRACE(testing::Message() << std::setprecision(12) << x1 << ',' << y1 << " to " << x2 << ',' << y2);
        ChartBitmap whole(64, 48);
        whole.drawLine(x1, y1, x2, y2, 13);
        const auto shown = drawnPixels(whole, wide);
        std::map<long long, int> perColumn;
        for (const auto& [x, y] : shown) ++perColumn[steep ? y : x];
        for (const auto& [column, count] : perColumn)
            EXPECT_EQ(count, 1) << column;
        for (const PixelArea& area : narrow) {
            ChartBitmap b(64, 48);
            BitmapArea part = b.area(area);
            part.drawLine(x2, y2, x1, y1, 13);
            std::set<std::pair<long long, long long>> expected;
            for (const auto& p : shown)
                if (area.contains(p.first, p.second)) expected.insert(p);
            EXPECT_EQ(drawnPixels(b, area), expected) << area.left << ',' << area.top;
        }
    }
}

TEST(ChartBitmap, CirclesArcsAndDiscs)
{
    struct Case { const char* what; float r, aspect, start, end; int fill; Rows rows; };
    const Case cases[] = {
        {"point", 0, 1, 0, 0, -1, {".....", ".....", "..f..", ".....", "....."}},
        {"radius 1", 1, 1, 0, 0, -1, {".....", "..f..", ".f.f.", "..f..", "....."}},
        {"radius 2", 2, 1, 0, 0, -1, {".fff.", "f...f", "f...f", "f...f", ".fff."}},
        {"filled", 2, 1, 0, 0, 4, {".fff.", "f444f", "f444f", "f444f", ".fff."}},
        {"first quarter", 2, 1, 0, 0.25f, -1, {"..ff.", "....f", "....f", ".....", "....."}},
        {"wrapping arc", 2, 1, 0.75f, 0.25f, -1, {"..ff.", "....f", "....f", "....f", "..ff."}},
        {"left half", 2, 1, 0.25f, 0.75f, -1, {".ff..", "f....", "f....", "f....", ".ff.."}},
        {"half aspect", 2, 0.5f, 0, 0, -1, {".....", ".fff.", "f...f", ".fff.", "....."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartBitmap b(5, 5);
        b.drawCircle(2, 2, c.r, 15, c.aspect, c.start, c.end, c.fill);
        EXPECT_EQ(picture(b), c.rows);
    }
}

// The integer nearest to sqrt(r^2 - t^2), 0 <= t <= r: never a tie for whole r and t.
long long nearestRoot(long long r, long long t)
{
    const __int128 d = 4 * ((__int128)r * r - (__int128)t * t);
    auto k = (long long)std::llround(std::sqrt((long double)r * r - (long double)t * t));
    while (k > 0 && (__int128)(2 * k - 1) * (2 * k - 1) > d)
        --k;
    while ((__int128)(2 * k + 1) * (2 * k + 1) < d)
        ++k;
    return k;
}

// Circles far larger than the bitmap keep the pixels of the rule: where the circle is flatter
// than a diagonal, the pixel of each column nearest to it; where it is steeper, that of each row;
// a filled circle fills each row between its outline's ends. The bitmap looks at the top, the
// right, the turn at 45 degrees, and wholly inside or outside, for radii from today's to 2^50.
TEST(ChartBitmap, HugeCirclesKeepTheirExactPixels)
{
    enum class At { top, right, turn, inside, outside };
    struct Case {
        double r;
        At at;
        bool filled;
        float start = 0, end = 0;
    };
    const Case cases[] = {
        {7, At::turn, true},        {150, At::turn, false},   {100001, At::top, true},
        {100001, At::turn, true},   {3e6, At::right, false},  {3e6, At::turn, true},
        {1e9, At::top, true},       {1e9, At::top, false},    {1e9, At::right, true},
        {1e9, At::turn, false},     {1e9, At::turn, true},    {1e9, At::inside, true},
        {1e9, At::inside, false},   {1e9, At::outside, true}, {2147483655, At::turn, true},
        {std::ldexp(1.0, 50), At::top, true}, {std::ldexp(1.0, 50), At::right, false},
        {std::ldexp(1.0, 50), At::turn, true},
        {1e9, At::top, false, 0.25f, 0.5f},   // from a quarter turn: the left half of the top
    };
    constexpr int width = 48, height = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "radius " << c.r << " at " << int(c.at)
                                        << (c.filled ? " filled" : "") << " arc " << c.start << '-' << c.end);
        const auto r = (long long)c.r;
        const long long d = std::llround(c.r / std::sqrt(2.0));
        // The circle's centre, so that the part looked at lies in the middle of the bitmap.
        long long cx = width / 2, cy = height / 2;
        switch (c.at) {
        case At::top: cy += r; break;
        case At::right: cx -= r; break;
        case At::turn: cx -= d, cy += d; break;
        case At::inside: cx -= r / 2; break;
        case At::outside: cx -= r + width; break;
        }
        ChartBitmap b(width, height);
        b.drawCircle(double(cx), double(cy), c.r, 15, 1, c.start, c.end, c.filled ? 4 : -1);
        Rows expected;
        for (int y = 0; y < height; ++y) {
            std::string row;
            for (int x = 0; x < width; ++x) {
                const long long dx = x - cx, dy = cy - y, u = std::llabs(dx), v = std::llabs(dy);
                char pixel = '.';
                if (u <= r && v <= r) {
                    const bool steepRow = nearestRoot(r, v) >= v;
                    const bool outline =
                        (v >= u && v == nearestRoot(r, u)) || (u >= v && u == nearestRoot(r, v));
                    // A flat row reaches the last column whose nearest pixel is not below it.
                    const __int128 across = 4 * (__int128)r * r - (__int128)(2 * v - 1) * (2 * v - 1);
                    const bool inDisc = steepRow ? u <= nearestRoot(r, v) : 4 * (__int128)u * u < across;
                    const bool onArc = c.start == 0 || dx <= 0;
                    if (outline && onArc)
                        pixel = 'f';
                    else if (c.filled && inDisc)
                        pixel = '4';
                }
                row += pixel;
            }
            expected.push_back(row);
        }
        EXPECT_EQ(picture(b), expected);
    }
}

// Each operation through an area draws what it draws on the whole bitmap, less what falls
// outside the area: nothing more, nothing moved.
TEST(ChartBitmap, AnAreaKeepsEveryOperationInsideIt)
{
    using Draw = void (*)(BitmapArea&);
    const std::pair<const char*, Draw> operations[] = {
        {"dots", [](BitmapArea& a) { for (int i = 0; i < 40; ++i) a.plotDot(float(i), float(i % 30), 13); }},
        {"line", [](BitmapArea& a) { a.drawLine(-5, 3, 45, 27, 13); }},
        {"far line", [](BitmapArea& a) { a.drawLine(-16000, 12, 16000, 14, 13); }},
        {"circle", [](BitmapArea& a) { a.drawCircle(20, 15, 12, 13); }},
        {"disc", [](BitmapArea& a) { a.drawCircle(20, 15, 7, 13, 1, 0, 0, 4); }},
        {"arc", [](BitmapArea& a) { a.drawCircle(20, 15, 18, 13, 0.5f, 0.1f, 0.9f); }},
        {"text", [](BitmapArea& a) { a.drawText(2, 6, "WMW", 15); }},
    };
    const PixelArea areas[] = {
        {10, 5, 30, 20},
        {-10, -10, 15, 100},   // reaching past the bitmap's edges
        {25, 0, 40, 30},       // up to the right edge
        {12, 12, 12, 20},      // empty
    };
    for (const auto& [what, draw] : operations)
        for (const PixelArea& area : areas) {
            SCOPED_TRACE(testing::Message() << what << " in " << area.left << ',' << area.top << ' '
                                            << area.right << ',' << area.bottom);
            ChartBitmap whole(40, 30), clipped(40, 30);
            BitmapArea all = whole.area(whole.bounds());
            draw(all);
            BitmapArea part = clipped.area(area);
            draw(part);
            int inside = 0;
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 40; ++x) {
                    const bool in = area.contains(x, y);
                    EXPECT_EQ(clipped.pixel(x, y), in ? whole.pixel(x, y) : 0) << x << ',' << y;
                    inside += in && whole.pixel(x, y) != 0;
                }
            if (area.right > area.left && std::string(what) != "far line") {
                EXPECT_GT(inside, 0);   // the case shows something
            }
        }
}

TEST(ChartBitmap, TextHasNoSmoothingAndHangsFromItsTopLeftCorner)
{
    for (const char* family : {"Courier New", "ＭＳ ゴシック"}) {
        SCOPED_TRACE(family);
        ChartBitmap b(120, 40);
        b.setFont(family, family[0] == 'C' ? 14 : 16);
        b.drawText(10, 8, "Mag<4.5", 15);
        int top = 99, left = 999, ink = 0;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x) {
                const int c = b.pixel(x, y);
                ASSERT_TRUE(c == 0 || c == 15) << "blended pixel at " << x << ',' << y;
                if (c == 15) {
                    ++ink;
                    top = std::min(top, y);
                    left = std::min(left, x);
                }
            }
        EXPECT_GT(ink, 20);
        EXPECT_GE(top, 8);
        EXPECT_LE(top, 8 + 8);
        EXPECT_GE(left, 10);
        EXPECT_LE(left, 10 + 3);
        // Moving the anchor moves the text by exactly as much.
        ChartBitmap moved(120, 40);
        moved.setFont(family, family[0] == 'C' ? 14 : 16);
        moved.drawText(13, 11, "Mag<4.5", 15);
        for (int y = 0; y + 3 < moved.height(); ++y)
            for (int x = 0; x + 3 < moved.width(); ++x)
                ASSERT_EQ(moved.pixel(x + 3, y + 3), b.pixel(x, y));
    }
}

TEST(ChartBitmap, TextWithoutAColourTakesTheForeground)
{
    ChartBitmap b(60, 30);
    b.setColours(0, 15, 0);   // a white background's colours
    b.clear(b.backgroundColour());
    b.drawText(2, 2, "N");
    int black = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) black += b.pixel(x, y) == 0;
    EXPECT_GT(black, 5);
}

TEST(ChartBitmap, PaletteNumbersAndClearing)
{
    EXPECT_EQ(paletteColour(0), (Rgb{0, 0, 0}));
    EXPECT_EQ(paletteColour(1), (Rgb{128, 128, 128}));
    EXPECT_EQ(paletteColour(9), (Rgb{0, 255, 0}));
    EXPECT_EQ(paletteColour(14), (Rgb{192, 192, 192}));
    ChartBitmap b(3, 2);
    b.clear(15);
    EXPECT_EQ(picture(b), (Rows{"fff", "fff"}));
    b.fillRect(2, 1, 1, 0, 2);
    EXPECT_EQ(picture(b), (Rows{"f22", "f22"}));
    EXPECT_EQ(b.image().format(), QImage::Format_RGB32);
}

// create() makes a new bitmap whether or not the size changes: every pixel in the colour
// asked for, the font and colours of a new bitmap.
TEST(ChartBitmap, CreateStartsAfreshAtTheSameSizeOrAnother)
{
    const ChartBitmap fresh;
    for (const auto& [width, height] : {std::pair{3, 2}, std::pair{4, 1}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        ChartBitmap b(3, 2);
        b.plotDot(1, 1, 4);
        b.setColours(0, 15, 0);
        b.setFont("Arial", 30);
        b.create(width, height, 12);
        EXPECT_EQ(picture(b), Rows(std::size_t(height), std::string(std::size_t(width), 'c')));
        EXPECT_EQ(b.font(), fresh.font());
        EXPECT_EQ(b.foregroundColour(), fresh.foregroundColour());
        EXPECT_EQ(b.backgroundColour(), fresh.backgroundColour());
        EXPECT_EQ(b.thirdColour(), fresh.thirdColour());
    }
}

TEST(ChartBitmap, WritesABmpFile)
{
    const auto folder = std::filesystem::temp_directory_path() / ("nivora-bitmap-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ChartBitmap b(7, 4);
    b.drawLine(0, 0, 6, 3, 13);
    const std::string path = (folder / "chart.bmp").string();
    ASSERT_TRUE(b.saveBmp(path));
    QImage back(QString::fromStdString(path));
    ASSERT_EQ(back.size(), QSize(7, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(back.pixel(x, y) | 0xff000000u, b.image().pixel(x, y));
    EXPECT_FALSE(b.saveBmp((folder / "missing" / "chart.bmp").string()));
    std::filesystem::remove_all(folder);
}

// A save that fails midway, as on a full disk, keeps the old picture and says why.
TEST(ChartBitmap, AFailedSaveKeepsTheOldBitmapByteForByte)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("nivora-bitmap-full-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path path = folder / "chart.bmp";
    const auto bytes = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    ASSERT_TRUE(ChartBitmap(3, 2).saveBmp(path.string()));
    const std::string old = bytes();
    std::string why;
    bool saved;
    {
        const FullDisk full(old.size());
        saved = ChartBitmap(600, 360).saveBmp(path.string(), &why);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(why, "Cannot write \"" + path.string() + "\": " + std::generic_category().message(EFBIG));
    EXPECT_EQ(bytes(), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);   // no temporary
    fs::remove_all(folder);
}

// The file is the Windows BMP that Qt's own writer makes of the picture (what every earlier
// save wrote), for each padding of a row to whole 4-byte words.
TEST(ChartBitmap, ASavedBitmapIsTheBmpQtWrites)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("nivora-bitmap-bytes-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path path = folder / "chart.bmp";
    for (const int width : {1, 2, 3, 4, 5, 600}) {
        SCOPED_TRACE(width);
        ChartBitmap b(width, 3);
        b.drawLine(0, 0, float(width - 1), 2, 13);
        b.plotDot(0, 2, rgbColour(0x123456));
        b.plotDot(float(width - 1), 0, 4);
        ASSERT_TRUE(b.saveBmp(path.string()));
        std::ifstream in(path, std::ios::binary);
        const std::string saved(std::istreambuf_iterator<char>(in), {});
        QByteArray expected;
        QBuffer buffer(&expected);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(QImageWriter(&buffer, "bmp").write(b.image()));
        EXPECT_EQ(saved, expected.toStdString());
    }
    fs::remove_all(folder);
}

// With room for little more than the bitmap, the save writes the rows as it converts them and
// the whole file comes out; with no room even for that, it fails, says so, and the old file stays.
TEST(ChartBitmap, ASaveWithMemoryShortIsWholeOrRefused)
{
    if (!addressSpaceLimitWorks) GTEST_SKIP() << "the sanitizer reserves address space of its own";
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("nivora-bitmap-memory-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path path = folder / "chart.bmp";
    ChartBitmap b(3000, 2000);
    b.drawLine(0, 0, 2999, 1999, 13);
    QByteArray whole;
    QBuffer buffer(&whole);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "bmp").write(b.image()));
    struct Case {
        const char* name;
        rlim_t room;   // address space above what the process holds
        bool saved;
    };
    const Case cases[] = {
        {"a few rows' room", 16 << 20, true},
        {"room for a second picture, not for the file", 24 << 20, true},
        {"no room for the writer", 256 << 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(path, std::ios::binary) << "an older picture";
        // In a child of its own: a save whose threads cannot start could wait for ever, and
        // would then end the child, not the run.
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(60);
            const ShortMemory limit(c.room);
            std::string why;
            const bool saved = b.saveBmp(path.string(), &why);
            [[maybe_unused]] const auto sent = ::write(pipe[1], why.data(), why.size());
            ::_exit(saved ? 0 : 1);
        }
        ::close(pipe[1]);
        std::string why;
        char block[256];
        for (ssize_t got; (got = ::read(pipe[0], block, sizeof block)) > 0;) why.append(block, std::size_t(got));
        ::close(pipe[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "the save never returned";
        EXPECT_EQ(WEXITSTATUS(status) == 0, c.saved) << why;
        std::ifstream in(path, std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        if (c.saved) {
            EXPECT_TRUE(bytes == whole.toStdString()) << bytes.size() << " bytes";
        } else {
            EXPECT_EQ(why, "Cannot write \"" + path.string() + "\": " + std::generic_category().message(ENOMEM));
            EXPECT_EQ(bytes, "an older picture");
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
    fs::remove_all(folder);
}

// The chart's layout counts in pixels: a three-letter compass name in the default 16-pixel
// Gothic spans the 24 pixels its placement (x - 12) centres, whatever the screen's resolution.
TEST(ChartBitmap, FontSizeIsAPixelHeight)
{
    struct Case { const char* family; int size; int nameWidth; };
    const Case cases[] = {{"ＭＳ ゴシック", 16, 24}, {"Courier New", 14, 25}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        ChartBitmap b(10, 10);
        b.setFont(c.family, c.size);
        EXPECT_EQ(b.fontPixelSize(), c.size);
        const QFontMetrics m(makeFont(b.font()));
        EXPECT_NEAR(m.horizontalAdvance("NNW"), c.nameWidth, 1);
    }
}

} // namespace
} // namespace nivora
