// The user's data file as the "DRAW using Data File" form describes it: the form's values read
// live at each use, and the rules by which its lines become records, fields and coordinates.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "astro/datafile.h"

namespace nivora {

class Ui;

// A fixed-column field: `width` bytes of a line from the 1-based `column` on.
struct DataField {
    int column = 0;
    int width = 0;
    bool readable() const { return column > 0 && width > 0; }
};

// The longest line a data file can hold: the readers take no larger file.
inline constexpr int longestDataLine = int(maxDataFileBytes);

// The field ending within lines of at most `longest` bytes: its width is cut where such a line
// ends, but a readable field keeps a width of at least 1. Blanks past every line say nothing.
DataField withinLine(DataField f, int longest);

// One row of "Comments for Search by Click": shown after its title when on.
struct SearchField {
    bool on = false;
    std::string title;
    DataField field;
};

// The values of FORM4 at the moment they are read; nothing keeps a copy between readings.
struct OverlaySettings {
    bool overlayOn = false;
    bool searchByClick = false;
    std::string dataFilePath;
    int dataFileFrame = 0;        // COMBO3 list index
    int frameClass = 1;           // 1 horizon (azimuth from north), 2 equator, 3 ecliptic,
    int frameVariant = 0;         // 4 horizon (from south); 0 apparent ... 3 ICRF / J2000
    bool dataRefraction = false;
    bool dataDiurnalAberration = false;
    int longitudeUnit = 1;        // 1 decimal degrees, 2 degrees and minutes, 3 hours and minutes
    DataField longitude, longitudeMinutes;
    int latitudeUnit = 1;
    DataField latitude, latitudeMinutes;
    int markShape = 1;
    DataField magnitude, radius;
    int radiusUnit = 1;
    double radiusFactor = 1;
    int lineInterval = 1;
    int commentMode = 1;
    DataField comment;
    int commentInterval = 6;
    int commentPosition = 3;
    std::string commentPrefix;
    int endMode = 1;              // 1 whole file; 2 up to a line beginning with endMarker
    std::string endMarker;
    std::array<SearchField, 4> searchFields;   // "1st." ... "4th."
};

// Columns and widths are whole numbers; every field ends within the longest line a data file can
// hold.
OverlaySettings readOverlaySettings(const Ui& ui);
// Every field ending within the longest line of the file at hand (withinLine).
void keepFieldsWithin(OverlaySettings& s, int longest);

// The most of a field the click readout's labels show: the widest field the form's three-digit
// widths take. A wider field from a format file shows as far as that, so a label never grows
// with the data file's lines.
inline constexpr int widestShownField = 999;
// Every field cut to widestShownField, as the readout shows it.
void keepFieldsShown(OverlaySettings& s);

// The text of a field: fewer bytes, or none, where the line is shorter.
std::string_view fieldText(std::string_view line, DataField f);
// The field's text padded with blanks to its full width.
std::string paddedField(std::string_view line, DataField f);
// The leading number of a field, 0 without one.
double fieldValue(std::string_view line, DataField f);

enum class DataLine { Record, Comment, End };
// The end marker is tested first, so a line can end the data though it also begins with the
// comment prefix; an empty prefix marks no line as a comment, an empty marker ends nothing.
DataLine classifyDataLine(std::string_view line, const OverlaySettings& s);

// A record's coordinates in degrees: the first (azimuth, right ascension or longitude) taken
// into 0..360, the second (altitude, declination or latitude).
double firstCoordinate(std::string_view line, const OverlaySettings& s);
double secondCoordinate(std::string_view line, const OverlaySettings& s);
// Whether every field the two coordinates are read from holds a number single precision takes:
// a record whose azimuth reads "9e99", "1e400", "nan" or "-inf" has no place on the chart.
bool coordinatesHeld(std::string_view line, const OverlaySettings& s);
// Their labels as the click readout prints them: every piece has its field's full width, so
// later pieces keep their places.
std::string firstCoordinateLabel(std::string_view line, const OverlaySettings& s);
std::string secondCoordinateLabel(std::string_view line, const OverlaySettings& s);

} // namespace nivora
