#include "chartwin/keyword_search.h"

#include <cmath>

namespace nivora {

namespace {

bool continuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the character a lead byte starts; 1 for anything else.
int sequenceLength(unsigned char c)
{
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

} // namespace

std::string_view wholeCharacters(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size() && continuationByte(static_cast<unsigned char>(text[begin])))
        ++begin;
    text.remove_prefix(begin);
    // The last lead byte and whether its character is complete.
    std::size_t lead = text.size();
    while (lead > 0 && continuationByte(static_cast<unsigned char>(text[lead - 1])))
        --lead;
    if (lead > 0) {
        const std::size_t start = lead - 1;
        const int need = sequenceLength(static_cast<unsigned char>(text[start]));
        if (need > 1 && text.size() - start < std::size_t(need))
            text = text.substr(0, start);
    }
    return text;
}

std::string_view lineField(std::string_view line, int column, int width)
{
    if (column < 1 || width < 1 || std::size_t(column) > line.size())
        return {};
    return line.substr(std::size_t(column - 1), std::size_t(width));
}

int searchListingHeight(int matches, int searchMax)
{
    int height = 85 + 51 * matches;
    if (matches > searchMax) height -= 34;
    if (matches == 0) height += 17;
    return height;
}

void showSearchListing(Ui& ui, const SearchListing& listing, int searchMax)
{
    Form pointing = ui.form("FORM6");
    pointing.clearText();
    for (const char* name : {"BUTTON19", "BUTTON76", "CHECK13", "BUTTON75", "EDIT105"})
        ui.control(name).setEnabled(false);
    ui.control("CHECK13").setValue(0);
    for (std::size_t i = 0; i < listing.lines.size(); ++i) {
        const bool last = i + 1 == listing.lines.size();
        pointing.print(listing.lines[i], !(last && listing.lastOpen));
    }
    const int height = searchListingHeight(listing.matches, searchMax);
    // At least the size the search asks for, larger where its lines would be clipped.
    pointing.fitText(448, height);
    pointing.show();
}

void pointAtSearchMatch(ChartWindowRecords& p, const PointedFrames& frames)
{
    p.ui.control("BUTTON19").setEnabled(true);
    p.ui.control("BUTTON76").setEnabled(true);
    p.pointedPosition = frames;
}

void fillEclipticFrames(PointedFrames& P, const SkyFrames& sky, const RotationMatrix& icrfToJ2000Ecliptic)
{
    P[5] = rotate(sky.trueEquatorToTrueEcliptic, P[1]);
    P[6] = rotate(sky.trueEquatorToTrueEcliptic, P[2]);
    P[7] = rotate(sky.meanEquatorToMeanEcliptic, P[3]);
    P[8] = rotate(icrfToJ2000Ecliptic, P[4]);
}

} // namespace nivora
