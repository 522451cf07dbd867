#include "chartwin/chart_window.h"

#include <cmath>
#include <string>

#include "astro/fieldnumber.h"
#include "render/drawing.h"
#include "render/drawing_fields.h"

namespace nivora {

namespace {

// A computed number stored into an integer field: the nearest integer, a tie to the even one.
std::int16_t roundToEven(double value) { return std::int16_t(std::nearbyint(value)); }

// An explicit rounding: halves away from zero.
int roundAway(double value) { return int(std::lround(value)); }

// A number as a window holds it: single precision.
double fieldNumber(const ChartWindowRecords& p, const char* control) {
    return double(float(readFieldNumber(p.ui.control(control).text())));
}

struct Layout {
    std::int16_t imageSize;
    std::uint8_t dualBox;
    std::uint8_t halfHeight;
    friend bool operator==(const Layout&, const Layout&) = default;
};

Layout layoutOf(const ChartView& v) { return {v.imageSize, v.dualBox, v.halfHeight}; }

void setLayout(ChartView& v, const Layout& l) {
    v.imageSize = l.imageSize;
    v.dualBox = l.dualBox;
    v.halfHeight = l.halfHeight;
}

// The main window's size and layout fields. The size is kept as read, for the range test.
struct FieldLayout {
    double imageSize;
    std::uint8_t dualBox;
    std::uint8_t halfHeight;
    bool matches(const Layout& l) const {
        return imageSize == l.imageSize && dualBox == l.dualBox && halfHeight == l.halfHeight;
    }
};

FieldLayout readLayout(const ChartWindowRecords& p) {
    return {std::nearbyint(fieldNumber(p, "EDIT1")), std::uint8_t(p.ui.control("RADIO29").value()),
            std::uint8_t(p.ui.control("RADIO28").value())};
}

bool readMagnification(ChartWindowRecords& p, double& magnification) {
    // A double as typed; the chart scale made from it is single, so it must fit one.
    magnification = readFieldNumber(p.ui.control("EDIT75").text());
    if (!(magnification > 0) || !std::isfinite(float(magnification))) {
        p.ui.alert("Magnification must be a number above 0.");
        return false;
    }
    return true;
}

// Every number field the drawing will read holds a number it can take; else an "ALERT" names
// the first that does not.
bool readFields(ChartWindowRecords& p) {
    const std::string fault = drawingFieldFault(p);
    if (!fault.empty())
        p.ui.alert(fault);
    return fault.empty();
}

BitmapExtent bitmapExtent(const ChartLayout& c, const Layout& l) {
    return chartBitmapExtent(l.imageSize, l.dualBox, l.halfHeight, c);
}

void setChartColours(ChartWindowRecords& p) {
    const int white = p.chartOptions.whiteBackground;
    p.chartBitmap.setColours((1 - white) * 7, white * 15, (1 - white) * 15);
}

Form chartWindow(ChartWindowRecords& p) { return p.ui.form("FORM2"); }

} // namespace

void repaintChartWindow(ChartWindowRecords& p) {
    chartWindow(p).paintBitmap(p.chartBitmap, imageInset - p.chartView.scrollX,
                               imageInset - p.chartView.scrollY);
}

void BUTTON1_ON(ChartWindowRecords& p) {
    const FieldLayout fields = readLayout(p);
    if (!(fields.imageSize >= 1 && fields.imageSize <= 9999)) {
        p.ui.alert("Size of Image must be 1 to 9999.");
        return;
    }
    double magnification;
    if (!readMagnification(p, magnification) || !readFields(p))
        return;
    const Layout layout{std::int16_t(fields.imageSize), fields.dualBox, fields.halfHeight};
    // The bitmap anew, cleared to the background: the memory of one of the same size is
    // reused, and one of another size goes first, so a large chart never needs room for two.
    const int background = p.chartOptions.whiteBackground * 15;
    ChartBitmap& bitmap = p.chartBitmap;
    const BitmapExtent extent = bitmapExtent(p.chartLayout, layout);
    bitmap.create(roundAway(extent.width), roundAway(extent.height), background);
    if (bitmap.empty()) {
        // The old picture went first to make room: there is no chart left to show, read or save.
        p.drawn.chartDrawn = false;
        chartWindow(p).clearSurface();
        p.ui.alert("Size of Image is too large: no room for the picture.");
        return;
    }

    Ui::DrawingScope drawing(p.ui);
    Form window = chartWindow(p);
    window.show();
    window.clearSurface();
    const Layout before = layoutOf(p.chartView);
    setLayout(p.chartView, layout);
    p.chartView.magnification = magnification;
    setChartColours(p);
    DRAWINGIMG(p);
    if (layout != before) {
        p.chartView.scrollX = 0;
        p.chartView.scrollY = 0;
    }
    RESIZECK(p, 1);
}

void BUTTON50_ON(ChartWindowRecords& p) {
    Form window = chartWindow(p);
    if (!window.visible())
        return;
    // The fields keep what the user typed; the chart's own values stay.
    if (!readLayout(p).matches(layoutOf(p.chartView))) {
        p.ui.alert("The Size of Image has Changed.");
        return;
    }
    double magnification;
    if (!readMagnification(p, magnification) || !readFields(p))
        return;

    Ui::DrawingScope drawing(p.ui);
    p.chartView.magnification = magnification;
    window.show();
    window.clearSurface();
    setChartColours(p);
    DRAWINGIMG(p);
    repaintChartWindow(p);
}

ChartWindowSize neededChartWindowSize(std::int16_t imageSize, std::uint8_t dualBox, std::uint8_t halfHeight,
                                      const ChartLayout& layout) {
    const BitmapExtent extent = bitmapExtent(layout, {imageSize, dualBox, halfHeight});
    return {float(extent.width + 22), float(extent.height + 48)};
}

void RESIZECK(ChartWindowRecords& p, std::int16_t repaint) {
    ChartView& v = p.chartView;
    const ChartWindowSize whole = neededChartWindowSize(v.imageSize, v.dualBox, v.halfHeight, p.chartLayout);
    const float neededWidth = whole.width;
    const float neededHeight = whole.height;
    bool windowChanged = false;
    bool scrollChanged = false;

    const auto fit = [&](float needed, std::int16_t& window, std::int16_t& scroll) {
        if (needed < window) {
            window = roundToEven(needed);
            windowChanged = true;
        }
        if (needed - scroll < window) {
            scroll = roundToEven(needed - window);
            scrollChanged = true;
        }
    };
    fit(neededWidth, v.chartWindowWidth, v.scrollX);
    fit(neededHeight, v.chartWindowHeight, v.scrollY);

    const auto bar = [&](const char* name, float needed, std::int16_t window, std::int16_t scroll) {
        Control c = p.ui.control(name);
        if (needed > window) {
            c.setEnabled(true);
            c.setRange(0, roundAway(needed - window));
            c.setValue(scroll);
        } else {
            c.setEnabled(false);
        }
    };
    bar("HSCROLL1", neededWidth, v.chartWindowWidth, v.scrollX);
    bar("VSCROLL1", neededHeight, v.chartWindowHeight, v.scrollY);

    if (windowChanged)
        chartWindow(p).resize(v.chartWindowWidth, v.chartWindowHeight);
    if (scrollChanged || repaint == 1)
        repaintChartWindow(p);
}

void FORM2_RESIZE(ChartWindowRecords& p) {
    const Geometry g = chartWindow(p).geometry();
    p.chartView.chartWindowWidth = std::int16_t(g.width);
    p.chartView.chartWindowHeight = std::int16_t(g.height);
    RESIZECK(p, 0);
}

void HSCROLL1_CHANGE(ChartWindowRecords& p) {
    p.chartView.scrollX = std::int16_t(p.ui.control("HSCROLL1").value());
    repaintChartWindow(p);
}

void VSCROLL1_CHANGE(ChartWindowRecords& p) {
    p.chartView.scrollY = std::int16_t(p.ui.control("VSCROLL1").value());
    repaintChartWindow(p);
}

void bindChartWindow(ChartWindowRecords& p) {
    p.ui.bind("BUTTON1_ON", [&p] { BUTTON1_ON(p); }, WhileDrawing::Refuse);
    p.ui.bind("BUTTON50_ON", [&p] { BUTTON50_ON(p); }, WhileDrawing::Refuse);
    p.ui.bind("FORM2_RESIZE", [&p] { FORM2_RESIZE(p); });
    p.ui.bind("HSCROLL1_CHANGE", [&p] { HSCROLL1_CHANGE(p); });
    p.ui.bind("VSCROLL1_CHANGE", [&p] { VSCROLL1_CHANGE(p); });
}

} // namespace nivora
