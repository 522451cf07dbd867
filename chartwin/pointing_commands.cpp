#include "chartwin/pointing_commands.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "astro/constants.h"
#include "astro/fieldnumber.h"
#include "astro/projection.h"
#include "chartwin/chart_window.h"

namespace nivora {

void BUTTON18_ON(ChartWindowRecords& p) {
    repaintChartWindow(p);
    p.ui.form("FORM6").hide();
}

std::string centralizeFieldText(double radians) {
    return writeFieldNumber(std::floor(radians * degreesPerRadian * 100) / 100);
}

void BUTTON19_ON(ChartWindowRecords& p) {
    const int f = std::max(0, std::min(8, p.ui.control("COMBO6").index()));
    const DirectionVector& v = p.pointedPosition[std::size_t(f)];
    double lon, lat, r;
    ZENITH(v[0], v[1], v[2], lon, lat, r);
    // The Earth map keeps longitudes west of Greenwich negative.
    if (p.chartView.earthMap == 0 && lon < 0)
        lon += 2 * pi;
    p.ui.control("EDIT12").setText(centralizeFieldText(lon));
    p.ui.control("EDIT13").setText(centralizeFieldText(lat));
    p.ui.form("FORM6").hide();
}

void BUTTON76_ON(ChartWindowRecords& p) {
    Form chart = p.ui.form("FORM2");
    if (!chart.visible()) {
        p.ui.alert("Main Picture do not exist.");
        return;
    }
    const int colour = 9 - p.chartOptions.whiteBackground;
    const float h = float(5 * std::sqrt(p.chartView.imageSize / 1000.0));
    const ChartGeometry& g = p.drawn.geometry;
    const BoxCentres boxes = boxCentres(p.chartView, p.chartLayout, g.directionOffset);
    // The projection the chart was drawn in, whatever the menu says now.
    const ProjectionKind projection = p.drawn.settings.drawnProjection;
    const DirectionVector w = rotate(p.drawn.sky.baseToChart, p.pointedPosition[0]);
    // The cross of each box keeps to that box's area, as every pass of the drawing does.
    const auto mark = [&](int box, double X, double Y) {
        const double x = (box == 0 ? boxes.x1 : boxes.x2) + X, y = boxes.y - Y;
        BitmapArea area = boxCanvas(p, box);
        area.drawLine(float(x - h), float(y - h), float(x + h), float(y + h), colour);
        area.drawLine(float(x + h), float(y - h), float(x - h), float(y + h), colour);
    };
    double X, Y;
    bool firstBox = true;
    if (p.chartView.dualBox == 1 && w[2] < double(0.0001f)) {
        DISPXY(w[0], -w[1], -w[2], projection, X, Y, p.userProjection);
        mark(1, X, Y);
        firstBox = !(w[2] < -double(0.0001f));
    }
    if (firstBox) {
        DISPXY(w[0], w[1], w[2], projection, X, Y, p.userProjection);
        if (std::fabs(X) < g.halfWidthLimit && std::fabs(Y - g.directionOffset) < g.halfHeightLimit)
            mark(0, X, Y);
    }
    repaintChartWindow(p);
    chart.raise();
    p.ui.form("FORM6").hide();
}

void BUTTON75_ON(ChartWindowRecords& p) {
    Form chart = p.ui.form("FORM2");
    chart.show();
    const std::string text = p.ui.control("EDIT105").text();
    // Written in the box clicked and clipped to it; a click of a chart since redrawn in another
    // layout may lie in no box, and then there is nowhere to write.
    const int box = boxAt(boxCentres(p.chartView, p.chartLayout, p.drawn.geometry.directionOffset),
                          p.clickPixel[0], p.clickPixel[1]);
    if (box >= 0)
        boxCanvas(p, box).drawText(p.clickPixel[0], p.clickPixel[1], text, 11 - p.chartOptions.whiteBackground);
    repaintChartWindow(p);
    p.ui.form("FORM6").hide();
    p.ui.control("EDIT105").setText("");
}

void bindPointingCommands(ChartWindowRecords& p) {
    p.ui.bind("BUTTON18_ON", [&p] { BUTTON18_ON(p); });
    p.ui.bind("BUTTON19_ON", [&p] { BUTTON19_ON(p); });
    p.ui.bind("BUTTON76_ON", [&p] { BUTTON76_ON(p); }, WhileDrawing::Refuse);
    p.ui.bind("BUTTON75_ON", [&p] { BUTTON75_ON(p); }, WhileDrawing::Refuse);
}

} // namespace nivora
