// The chart bitmap: an RGB32 picture drawn with the 16 palette colours and four exact raster
// operations. Coordinates arrive as single precision (a circle's centre and radius as double, so
// that a circle far larger than the bitmap still keeps its exact pixels) and are rounded to the
// nearest pixel; y grows downward; whatever falls outside the bitmap is clipped. No antialiasing
// anywhere.
#pragma once

#include "platform/fonts.h"
#include "platform/ui_types.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nivora {

// The drawing palette: colour numbers 0-15.
extern const std::array<Rgb, 16> paletteColours;
Rgb paletteColour(int colourNumber);   // numbers outside 0-15 are taken modulo 16

// A colour of its own (the data-file overlay's) where an operation takes a colour number: the
// same pixel rules, only the colour differs. Packed as R + 256 G + 65536 B.
constexpr int rgbColourFlag = 0x40000000;
constexpr int rgbColour(std::int32_t packed) { return rgbColourFlag | (packed & 0xFFFFFF); }

// A rectangle of bitmap pixels: left and top included, right and bottom excluded.
struct PixelArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool contains(long long x, long long y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const PixelArea&, const PixelArea&) = default;
};

class BitmapArea;

// A text as drawText received it; the colour as passed (currentColour for the default).
struct DrawnText {
    float x = 0;
    float y = 0;
    int colour = 0;
    std::string text;
};

class ChartBitmap {
public:
    ChartBitmap() = default;
    ChartBitmap(int width, int height);

    // Discards the picture and makes a new one filled with `colour`, its current colours and
    // font those of a new bitmap. A picture of the same size lends its memory; one of another
    // size is freed before the new one is made, so that a large bitmap never needs room for two.
    // Sizes below 1, or no room for the picture, give an empty bitmap.
    void create(int width, int height, int colour = 0);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    bool empty() const { return image_.isNull(); }

    void clear(int colour);
    void fillRect(int x1, int y1, int x2, int y2, int colour);   // both corners included

    // The whole bitmap, and one area of it to draw in.
    PixelArea bounds() const { return {0, 0, width(), height()}; }
    BitmapArea area(const PixelArea& area);

    void plotDot(float x, float y, int colour);
    // A solid one-pixel line; both ends are drawn; equal ends mark one pixel.
    void drawLine(float x1, float y1, float x2, float y2, int colour);
    // The outline of the ellipse with horizontal semi-axis r and vertical r * aspect. With
    // start = end = 0 the whole outline, else the arc from start to end, both fractions of a
    // full turn anticlockwise from the rightward direction. fillColour >= 0 fills the inside.
    // The outline is the midpoint rule's: where it is flatter than a diagonal, the pixel of each
    // column nearest to the curve, elsewhere that of each row. The work is that of the part
    // that falls inside the bitmap, whatever the radius.
    void drawCircle(double x, double y, double r, int colour, float aspect = 1, float start = 0,
                    float end = 0, int fillColour = -1);
    // Text with its top-left corner at (x, y), transparent background, current font; the colour
    // currentColour draws in the current foreground colour.
    void drawText(float x, float y, std::string_view text, int colour = currentColour);

    // The current colours that DRAW and the overdraws set before a drawing; texts without a
    // colour of their own use the foreground. The third colour is kept and not drawn with.
    static constexpr int currentColour = -1;
    void setColours(int foreground, int background, int third);
    int foregroundColour() const { return pen_.foreground; }
    int backgroundColour() const { return pen_.background; }
    int thirdColour() const { return pen_.third; }

    // The current font, by Windows family name (mapped like every font) and character height in
    // pixels: the chart's layout counts in pixels, so a size never depends on the screen.
    void setFont(std::string_view family, int pixelSize);
    FontSpec font() const { return pen_.font; }   // the same size, as points at 96 dpi
    int fontPixelSize() const { return pixelSizeOfPoints(pen_.font.points); }

    // While a log is attached every text drawn is also appended to it, so that the texts of a
    // chart can be read back; nullptr detaches it.
    void recordTexts(std::vector<DrawnText>* log) { textLog_ = log; }

    int pixel(int x, int y) const;          // colour number at a pixel, -1 when not a palette colour
    Rgb pixelRgb(int x, int y) const;

    // Writes a 24-bit Windows BMP file through FileReplacer, converting row by row as it
    // writes, so that neither the file nor a second picture is ever held whole in memory. A
    // failed save (memory, disk) keeps the old file byte for byte; false then, with the reason,
    // naming the file and the cause, in *whyNot when given.
    bool saveBmp(const std::string& path, std::string* whyNot = nullptr) const;

    const QImage& image() const { return image_; }
    QImage& image() { return image_; }

private:
    friend class BitmapArea;
    void plotDot(const PixelArea& clip, float x, float y, int colour);
    void drawLine(const PixelArea& clip, float x1, float y1, float x2, float y2, int colour);
    void drawCircle(const PixelArea& clip, double x, double y, double r, int colour, float aspect,
                    float start, float end, int fillColour);
    void drawText(const PixelArea& clip, float x, float y, std::string_view text, int colour);

    // The font and colours a new bitmap draws with.
    struct Pen {
        FontSpec font{"Courier New", 14 * 72.0 / 96.0};
        int foreground = 7, background = 0, third = 15;
    };

    QImage image_;
    Pen pen_;
    std::vector<DrawnText>* textLog_ = nullptr;
};

// The four drawing operations of a chart bitmap kept inside one area of it: whatever falls
// outside the area is clipped as what falls outside the bitmap is. A drawing gives each box and
// the side strip an area of their own, so that nothing drawn for one reaches another.
class BitmapArea {
public:
    BitmapArea(ChartBitmap& bitmap, const PixelArea& area);

    void plotDot(float x, float y, int colour);
    void drawLine(float x1, float y1, float x2, float y2, int colour);
    void drawCircle(double x, double y, double r, int colour, float aspect = 1, float start = 0,
                    float end = 0, int fillColour = -1);
    void drawText(float x, float y, std::string_view text, int colour = ChartBitmap::currentColour);

    const PixelArea& area() const { return area_; }   // within the bitmap

private:
    ChartBitmap* bitmap_;
    PixelArea area_;
};

} // namespace nivora
