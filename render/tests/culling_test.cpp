// The passes that skip what cannot reach the picture leave every pixel as drawing every point
// left it: charts up to magnification 1000 against the checksums of their pictures drawn point
// by point. A picture that changes on purpose gets its checksum from the code that draws every
// point.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "render/drawing.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

// FNV-1a over the bitmap's pixels, row by row.
std::uint64_t pictureChecksum(const ChartBitmap& b)
{
    std::uint64_t h = 14695981039346656037ull;
    const QImage& image = b.image();
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = image.constScanLine(y);
        for (qsizetype i = 0; i < qsizetype(image.width()) * 4; ++i)
            h = (h ^ row[i]) * 1099511628211ull;
    }
    return h;
}

// What a chart shows and how it is seen, at the fixture's place and time: longitude 135,
// latitude 35, 2008 December 31 23:59 at zone +9. Grids every 10 degrees (the ecliptic's 30),
// all numbered.
struct View {
    const char* name;
    std::uint8_t chartMode = skyChartMode;
    std::uint8_t earthMap = 0;
    const char* longitude = "180";   // the direction, in the frame of `directionFrame`
    const char* latitude = "90";
    int directionFrame = zenithalDirection;
    const char* observerMetres = "0";
    std::int16_t earthLineMinutes = 0;
    const char* shellKm = "0";       // the Earth lines' height
    std::uint8_t projection = 1;
    std::uint8_t place = 2;          // of the direction point: 1 bottom, 2 centre, 4 top
    std::uint8_t halfHeight = 0;
    std::uint8_t dualBox = 0;
    float underHorizonDepth = 0;
};

std::unique_ptr<TestRecords> drawView(const View& view, double magnification)
{
    auto r = std::make_unique<TestRecords>();
    r->chartView.chartMode = view.chartMode;
    r->chartView.earthMap = view.earthMap;
    r->chartView.magnification = magnification;
    r->chartView.halfHeight = view.halfHeight;
    r->chartView.dualBox = view.dualBox;
    ChartOptions& o = r->chartOptions;
    o.zenithGridStep = 10;
    o.equatorGridStep = 10;
    o.eclipticGridStep = 30;
    o.zenithGridNumbers = o.equatorGridNumbers = o.eclipticGridNumbers = 1;
    o.earthGridMinutes = view.earthLineMinutes;
    o.projectionKind = view.projection;
    o.directionPointPlace = view.place;
    o.underHorizonDepth = view.underHorizonDepth;
    r->set("EDIT12", view.longitude);
    r->set("EDIT13", view.latitude);
    r->set("EDIT43", view.observerMetres);
    r->ui.control("COMBO6").setIndex(view.directionFrame);
    r->ui.load({"FORM5", "Minute Option", {{.kind = ControlKind::Edit, .name = "EDIT77", .text = view.shellKm}}});
    r->makeBitmap();
    EXPECT_TRUE(DRAWINGIMG(*r));
    return r;
}

struct Case {
    View view;
    double magnification;
    std::uint64_t checksum;
};

void expectPictures(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.view.name << ", magnification " << c.magnification);
        const std::uint64_t sum = pictureChecksum(drawView(c.view, c.magnification)->chartBitmap);
        char drawn[24];
        std::snprintf(drawn, sizeof drawn, "0x%016llx", static_cast<unsigned long long>(sum));
        EXPECT_EQ(sum, c.checksum) << "drawn " << drawn;
    }
}

View changed(View v, const char* name, void (*change)(View&))
{
    v.name = name;
    change(v);
    return v;
}

// Looking down on the shell from a height, where the parallel and the meridian of the place
// cross; toward its rim; away from it, where none of it is in the picture; and up at a shell
// overhead.
TEST(Culling, EarthLinesKeepEveryPixel)
{
    const View orbit{.name = "Earth lines from 400 km", .latitude = "-90", .observerMetres = "400000",
                     .earthLineMinutes = 15};
    const View farOrbit = changed(orbit, "Earth lines from 36000 km", [](View& v) { v.observerMetres = "36000000"; });
    const View rim = changed(orbit, "Earth lines from 400 km, the rim", [](View& v) { v.latitude = "-19.8"; });
    const View farOrbitUp = changed(farOrbit, "Earth lines from 36000 km, the zenith", [](View& v) { v.latitude = "90"; });
    const View overhead = changed(orbit, "Earth lines 100 km overhead", [](View& v) {
        v.observerMetres = "0";
        v.shellKm = "100";
        v.longitude = "200";
        v.latitude = "60";
    });
    expectPictures({
        {orbit, 1, 0xdb3eb56144c70222ull},
        {orbit, 10, 0x11ca96cb72644507ull},
        {orbit, 100, 0x5812f41b0b1ffa2full},
        {orbit, 1000, 0xa73996e4b1e2bdc5ull},
        {farOrbit, 1, 0xbccc3068dc393024ull},
        {farOrbit, 10, 0xed6eeb4a8fa36536ull},
        {farOrbit, 100, 0xeaeb9ba4a86384e7ull},
        {farOrbit, 1000, 0x17f2112de787a2efull},
        {farOrbitUp, 1, 0xdc35fb39a7eff3bdull},
        {rim, 100, 0x602c3bcfe39137c0ull},
        {rim, 1000, 0xd1bd304f83c4a00cull},
        {overhead, 10, 0x91005073d11cd725ull},
        {overhead, 100, 0xb56eee517e778315ull},
    });
}

} // namespace
} // namespace nivora
