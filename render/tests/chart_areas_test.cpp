// Where a chart may draw: each box keeps to its own area, the side strip holds only the panel,
// and the bitmap is tall enough for every panel row.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "render/drawing.h"
#include "render/geometry.h"
#include "render/panel.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

enum class Layout { single, halfHeight, dualBox };
enum class Mode { sky, starMap, earthMap };

struct ChartCase {
    Mode mode;
    Layout layout;
    double magnification;
    int projection;
    int size;
};

std::string describe(const ChartCase& c)
{
    const char* modes[] = {"sky", "star map", "Earth map"};
    const char* layouts[] = {"single", "half Height", "Dual-Box"};
    return std::string(modes[int(c.mode)]) + ", " + layouts[int(c.layout)] + ", magnification " +
           std::to_string(c.magnification) + ", projection " + std::to_string(c.projection) + ", size " +
           std::to_string(c.size);
}

// A chart with as much on it as the options allow: every grid numbered, the compass, the scale
// with its label, the Moon's route, the planets with their codes, the Sun and the Moon, the
// location rows and the pole-data block at its lowest rows. Centred low in the south-west, so
// that the horizon, the names and the grids' edges all show. One owner draws chart after chart,
// so that the line and star files are read once.
struct AreaChart : TestRecords {
    AreaChart()
    {
        ChartOptions& o = chartOptions;
        o.zenithGridStep = 30;
        o.zenithGridNumbers = o.equatorGridNumbers = o.eclipticGridNumbers = 1;
        o.moonLineMode = 1;
        o.centerCoordsMode = 1;
        readoutOptions.poleDataReadout = 3;
        const char* files[] = {"mercury.plt", "venus.plt", "mars.plt", "jupiter.plt",
                               "saturn.plt", "uranus.plt", "neptune.plt"};
        for (int k = 0; k < 7; ++k) {
            planetSettings.planetOrbitFile[std::size_t(k)] = files[k];
            planetSettings.planetDisplayMode[std::size_t(k)] = 2;
        }
        set("EDIT12", "+225.00");
        set("EDIT13", "+25.00");
        chartBitmap.recordTexts(&texts);
    }
    // Draws the chart of a case into a fresh bitmap, the gap before the second box widened.
    bool draw(const ChartCase& c, int extraMarginRight = 0, bool lines = true)
    {
        chartView.imageSize = std::int16_t(c.size);
        chartView.halfHeight = c.layout == Layout::halfHeight;
        chartView.dualBox = c.layout == Layout::dualBox;
        chartView.magnification = c.magnification;
        chartView.chartMode = c.mode == Mode::sky ? skyChartMode : mapChartMode;
        chartView.earthMap = c.mode == Mode::earthMap;
        chartLayout.marginRight = std::int16_t(ChartLayout{}.marginRight + extraMarginRight);
        chartOptions.projectionKind = std::uint8_t(c.projection);
        chartOptions.constellationLines = lines;
        makeBitmap();
        texts.clear();
        return DRAWINGIMG(*this);
    }
    BoxCentres boxes() const { return boxCentres(chartView, chartLayout, drawn.geometry.directionOffset); }
    std::vector<DrawnText> texts;
};

// The charts of the table: every mode, layout, magnification, projection and size.
std::vector<ChartCase> chartTable()
{
    std::vector<ChartCase> cases;
    for (Mode mode : {Mode::sky, Mode::starMap, Mode::earthMap})
        for (Layout layout : {Layout::single, Layout::halfHeight, Layout::dualBox})
            for (double magnification : {1.0, 2.0, 10.0})
                for (int projection : {1, 4, 7, 15})
                    for (int size : {100, 320, 640, 1000})
                        cases.push_back({mode, layout, magnification, projection, size});
    return cases;
}

// A text of the panel starts on one of its rows, in the strip. Its marks stand left of it on the
// same row.
bool panelText(const DrawnText& t, double panelLeft)
{
    const bool onARow =
        t.y >= 0 && t.y < float(panelRowsBottom()) && float(int(t.y)) == t.y && int(t.y) % 18 == 0;
    return t.x >= panelLeft && onARow;
}

struct TextBox {
    int left, top, right, bottom;   // right and bottom excluded
};

// The panel's rows as drawn: from the strip's edge to the end of the row's text, a row high.
std::vector<TextBox> panelRows(const AreaChart& chart, double panelLeft)
{
    QFont font = makeFont(chart.chartBitmap.font());
    const QFontMetrics metrics(font);
    std::vector<TextBox> rows;
    for (const DrawnText& t : chart.texts)
        if (panelText(t, panelLeft)) {
            const int width = metrics.horizontalAdvance(QString::fromStdString(t.text));
            rows.push_back({int(panelLeft), int(t.y), int(t.x) + width, int(t.y) + 18});
        }
    return rows;
}

// A row of the picture as it is stored: one value a pixel.
const QRgb* pixels(const ChartBitmap& b, int y)
{
    return reinterpret_cast<const QRgb*>(b.image().constScanLine(y));
}

TEST(ChartAreas, EveryPassKeepsToItsArea)
{
    AreaChart chart;
    for (const ChartCase& c : chartTable()) {
        SCOPED_TRACE(describe(c));
        ASSERT_TRUE(chart.draw(c));
        const ChartBitmap& b = chart.chartBitmap;
        const BoxCentres boxes = chart.boxes();
        const int left = int(boxes.panelLeft);
        const std::vector<TextBox> rows = panelRows(chart, boxes.panelLeft);

        // Every panel row wholly inside the bitmap, with the bottom margin below the lowest.
        for (const TextBox& row : rows) {
            EXPECT_LE(row.right, b.width()) << row.top;
            EXPECT_LE(row.bottom + chart.chartLayout.marginBottom, b.height()) << row.top;
        }
        // Right of the strip's edge only the panel's rows; below the chart nothing of it.
        const QRgb black = qRgb(0, 0, 0);
        std::vector<char> allowed(std::size_t(b.width() * b.height()), 0);
        for (const TextBox& row : rows)
            for (int y = row.top; y < std::min(row.bottom, b.height()); ++y)
                for (int x = row.left; x < std::min(row.right, b.width()); ++x)
                    allowed[std::size_t(y * b.width() + x)] = 1;
        int strays = 0, below = 0;
        for (int y = 0; y < b.height(); ++y) {
            const QRgb* line = pixels(b, y);
            for (int x = y < boxes.chartBottom ? left : 0; x < b.width(); ++x)
                if ((line[x] | 0xFF000000u) != black) {
                    if (x < left)
                        ++below;
                    else
                        strays += !allowed[std::size_t(y * b.width() + x)];
                }
        }
        EXPECT_EQ(strays, 0);
        EXPECT_EQ(below, 0);
    }
}

// With Dual-Box the second box moves right when the gap before it widens, and the strip twice as
// far; the first box stays. What each box draws moves with it, so the picture is the same piece by
// piece: anything of one box drawn into the other's area would stay put and show as a difference.
// The constellation lines stay off: a segment from one box into the other crosses their common
// rim by design (tested with the lines).
TEST(ChartAreas, NothingOfOneBoxReachesTheOther)
{
    constexpr int shift = 16;
    AreaChart a, b;
    for (const ChartCase& c : chartTable()) {
        if (c.layout != Layout::dualBox)
            continue;
        SCOPED_TRACE(describe(c));
        ASSERT_TRUE(a.draw(c, 0, false));
        ASSERT_TRUE(b.draw(c, shift, false));
        const BoxCentres boxes = a.boxes();
        const int width = boxes.boxWidth;
        int first = 0, second = 0, strip = 0;
        const auto differ = [](const QRgb* p, const QRgb* q, int n) {
            int count = 0;
            for (int i = 0; i < n; ++i)
                count += p[i] != q[i];
            return count;
        };
        const int stripWidth = a.chartBitmap.width() - 2 * width;
        for (int y = 0; y < a.chartBitmap.height(); ++y) {
            const QRgb* pa = pixels(a.chartBitmap, y);
            const QRgb* pb = pixels(b.chartBitmap, y);
            first += differ(pa, pb, width);
            second += differ(pa + width, pb + width + shift, width);
            strip += differ(pa + 2 * width, pb + 2 * width + 2 * shift, stripWidth);
        }
        EXPECT_EQ(first, 0);
        EXPECT_EQ(second, 0);
        EXPECT_EQ(strip, 0);
    }
}

// FNV-1a over the colours of a part of the picture.
std::uint64_t checksum(const ChartBitmap& b, int left, int right)
{
    std::uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < b.height(); ++y) {
        const QRgb* line = pixels(b, y);
        for (int x = left; x < right; ++x)
            for (int shift : {0, 8, 16}) {
                h ^= (line[x] >> shift) & 0xFF;
                h *= 1099511628211ull;
            }
    }
    return h;
}

// At magnification 1 in a single box where the panel fits, the chart comes out as it always
// did: the part left of the strip pixel for pixel, and so the whole picture wherever nothing of
// the chart used to reach into the strip (the first and the last case). Elsewhere the strip now
// holds the panel alone.
TEST(ChartAreas, AtMagnificationOneTheChartIsDrawnAsBefore)
{
    struct Case {
        const char* what;
        Mode mode;
        int projection;
        const char *azimuth, *elevation;
        int numbers;
        void (*options)(TestRecords&);
        std::uint64_t chart, whole;
    };
    const auto none = [](TestRecords&) {};
    const Case cases[] = {
        {"sky at the zenith", Mode::sky, 1, "+180.00", "+90.00", 0, none,
         0x909b3caa4f5c408bull, 0x47ee7f28036dee05ull},
        {"sky, Mollweide, numbered", Mode::sky, 7, "+180.00", "+30.00", 1, none,
         0xa1a185e9aa044cbcull, 0x129ad5a5c66ed64aull},
        {"sky, Mercator, numbered", Mode::sky, 4, "+200.00", "+20.00", 1, none,
         0x9459ec1f236f252dull, 0x1e37ba1f5e5ed2dfull},
        {"sky, Aitoff, Moon route and antisolar point", Mode::sky, 15, "+90.00", "+40.00", 0,
         [](TestRecords& r) {
             r.chartOptions.zenithGridStep = 30;
             r.chartOptions.moonLineMode = 1;
             r.chartOptions.antisunDisplayMode = 1;
         },
         0x6a14b088e02a3dcaull, 0x1e9a5ee2c112610cull},
        {"sky, stereographic, everything under the horizon", Mode::sky, 3, "+180.00", "+45.00", 1,
         [](TestRecords& r) {
             r.chartOptions.underHorizonDepth = 1.1f;
             r.chartOptions.equatorGridStep = 30;
             r.chartOptions.earthGridMinutes = 300;
         },
         0x01e755a29ce05ec7ull, 0xa1785c47d193d2e4ull},
        {"star map", Mode::starMap, 1, "+180.00", "+90.00", 0, none,
         0x52c33f205fbdee01ull, 0xc54a28c432725adcull},
        {"star map, equirectangular, numbered", Mode::starMap, 11, "+180.00", "+90.00", 1, none,
         0x12293b56a3f2acc4ull, 0x7a6bf082b768a739ull},
        {"Earth map, Mercator", Mode::earthMap, 4, "+180.00", "+90.00", 0, none,
         0x32e9b5c2557c0fc5ull, 0xf37b694176a2eff4ull},
        {"sky, white, orthographic, scale, pole data", Mode::sky, 8, "+150.00", "+50.00", 1,
         [](TestRecords& r) {
             r.chartOptions.whiteBackground = 1;
             r.chartOptions.centerCoordsMode = 1;
             r.readoutOptions.poleDataReadout = 3;
         },
         0x2005f1ded620fac3ull, 0xc48f0f750168c839ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestRecords r;
        r.chartView.imageSize = 640;
        r.chartOptions.projectionKind = std::uint8_t(c.projection);
        if (c.mode != Mode::sky) {
            r.chartView.chartMode = mapChartMode;
            r.chartView.earthMap = c.mode == Mode::earthMap;
        }
        r.set("EDIT12", c.azimuth);
        r.set("EDIT13", c.elevation);
        ChartOptions& o = r.chartOptions;
        o.zenithGridNumbers = o.equatorGridNumbers = o.eclipticGridNumbers = std::uint8_t(c.numbers);
        c.options(r);
        r.makeBitmap();
        r.chartBitmap.clear(o.whiteBackground * 15);
        ASSERT_TRUE(DRAWINGIMG(r));
        ASSERT_EQ(r.chartBitmap.height(), 680);
        const int panelLeft = 680;
        EXPECT_EQ(checksum(r.chartBitmap, 0, panelLeft), c.chart);
        EXPECT_EQ(checksum(r.chartBitmap, 0, r.chartBitmap.width()), c.whole);
    }
}

} // namespace
} // namespace nivora
