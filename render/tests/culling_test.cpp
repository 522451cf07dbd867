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

// The sky at the zenith, where the verticals meet; toward the west point, where the equator
// sets; toward the point of the autumn equinox, where the equator, the ecliptic and their
// meridians of 180 degrees cross.
const View zenith{.name = "sky, zenith"};
const View west{.name = "sky, west point", .longitude = "90", .latitude = "0"};
const View equinox{.name = "sky, autumn equinox", .longitude = "180", .latitude = "0",
                   .directionFrame = apparentEquatorialDirection};

TEST(Culling, SkyChartsKeepEveryPixel)
{
    const View allUnderTheHorizon = changed(west, "sky, west point, all under the horizon",
                                            [](View& v) { v.underHorizonDepth = 1.1f; });
    const View fromAbove = changed(west, "sky, west point from 10 km up", [](View& v) {
        v.observerMetres = "10000";
        v.latitude = "-3.2";   // the visible horizon, below the geometric one by the dip
    });
    const View atTheBottom = changed(west, "sky, west point at the bottom", [](View& v) { v.place = 1; });
    const View atTheTop = changed(equinox, "sky, autumn equinox at the top", [](View& v) { v.place = 4; });
    const View halfHeight = changed(equinox, "sky, autumn equinox, half height", [](View& v) { v.halfHeight = 1; });
    const View dualBox = changed(equinox, "sky, autumn equinox, Dual-Box", [](View& v) { v.dualBox = 1; });
    expectPictures({
        {zenith, 1, 0xff32d8931e7c01f4ull},
        {zenith, 10, 0x5e7ffed4eeb11b28ull},
        {zenith, 100, 0xe3a19d1c4b862b1cull},
        {zenith, 1000, 0x0340efdae7460048ull},
        {west, 1, 0x130adb7e37fe06a7ull},
        {west, 10, 0xb95a90a6f97ad2aaull},
        {west, 100, 0xcaf9123df414da93ull},
        {west, 1000, 0xacedc1c317535355ull},
        {equinox, 1, 0xac8503699b749a38ull},
        {equinox, 10, 0x7500e572a3ad5479ull},
        {equinox, 100, 0x4021d503d143917eull},
        {equinox, 1000, 0xcd70d0447a7e3161ull},
        {allUnderTheHorizon, 1000, 0x31378106e8020c44ull},
        {fromAbove, 100, 0xaf9f31d379bb0f26ull},
        {fromAbove, 1000, 0xda7355100e3855a9ull},
        {atTheBottom, 1000, 0xf8eea63460d5f571ull},
        {atTheTop, 1000, 0x0bf8a75f3dec92baull},
        {halfHeight, 1000, 0x131d2b6c3953b503ull},
        {dualBox, 10, 0x90275d1ee59a7e4dull},
        {dualBox, 100, 0x17f0e6c9494a3be9ull},
    });
}

// Maps centred on crossings of their grids.
TEST(Culling, MapsKeepEveryPixel)
{
    const View starMap{.name = "star map", .chartMode = mapChartMode, .longitude = "180", .latitude = "0",
                       .directionFrame = apparentEquatorialDirection};
    const View earthMap{.name = "Earth map", .chartMode = mapChartMode, .earthMap = 1, .longitude = "140",
                        .latitude = "30"};
    expectPictures({
        {starMap, 1, 0xb33dc5ed8e8f51b8ull},
        {starMap, 10, 0x996e6dd65aca259dull},
        {starMap, 100, 0x3c2e7b08087319d1ull},
        {starMap, 1000, 0x943b238f517043a9ull},
        {earthMap, 1, 0xeeb772ce8fccc55full},
        {earthMap, 10, 0xffaf801ea5886a1eull},
        {earthMap, 100, 0xb30c853ff23b51feull},
        {earthMap, 1000, 0xfc44ed586fe01ea1ull},
    });
}

TEST(Culling, EveryProjectionKeepsEveryPixel)
{
    const auto projection = [](const char* name, std::uint8_t kind) {
        View v = equinox;
        v.name = name;
        v.projection = kind;
        return v;
    };
    expectPictures({
        {projection("azimuthal equal-area", 2), 1000, 0x3db756c130ef6437ull},
        {projection("stereographic", 3), 1000, 0x3e4719a27871cca7ull},
        {projection("Mercator", 4), 100, 0x549e4fbb681ff8dcull},
        {projection("Mercator", 4), 1000, 0x53e9a1363cb16369ull},
        {projection("transverse Mercator", 5), 1000, 0x35abdd13127f18e9ull},
        {projection("gnomonic", 6), 1000, 0x46a91da1b9d219adull},
        {projection("Mollweide", 7), 100, 0x0b95f07194633800ull},
        {projection("Mollweide", 7), 1000, 0x6d7b873355ba7f7dull},
        {projection("orthographic", 8), 1000, 0x2ca0205ba99c80caull},
        {projection("sinusoidal", 9), 1000, 0x893dbe3d961587f1ull},
        {projection("user azimuthal", 10), 100, 0x44853ce2ee1b3aaeull},
        {projection("equirectangular", 11), 1000, 0xf11b79c8c4a802f9ull},
        {projection("Miller", 12), 1000, 0xa4dab3adf467ed41ull},
        {projection("Hammer", 13), 1000, 0x94865ed9c549b80eull},
        {projection("Lambert cylindrical", 14), 1000, 0x96954f65af5a7079ull},
        {projection("Aitoff", 15), 100, 0x2c206b46c87372e6ull},
        {projection("Aitoff", 15), 1000, 0xd6044ac0a35ce3f9ull},
    });
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
