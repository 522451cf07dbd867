#include "options/option_menus.h"

#include <type_traits>

namespace nivora {
namespace {

using G = OptionGroup;
constexpr MenuLineKind menu = MenuLineKind::menu;
constexpr MenuLineKind item = MenuLineKind::item;
constexpr MenuLineKind sep = MenuLineKind::separator;

// A single-precision code is written as the double of the single it stores.
constexpr double single(float value) { return value; }

// clang-format off
constexpr OptionMenuLine lines[] = {
    {0, menu, "DISPLAY", "Display Option"},
    {1, menu, "BACKGROUND", "Backgraound Color"},
    {2, item, "BACKBLACK", "Black", G::whiteBackground, 0},
    {2, item, "BACKWHITE", "White", G::whiteBackground, 1},
    {1, menu, "STARS", "Stars"},
    {2, item, "MAG0", "Nothing", G::magnitudeLimit, 0},
    {2, item, "MAG2", "Mag<2.5", G::magnitudeLimit, 2.5},
    {2, item, "MAG3", "Mag<3.5", G::magnitudeLimit, 3.5},
    {2, item, "MAG4", "Mag<4.5", G::magnitudeLimit, 4.5},
    {2, item, "MAG5", "Mag<5.5", G::magnitudeLimit, 5.5},
    {2, item, "MAG6", "Mag<6.5", G::magnitudeLimit, 6.5},
    {2, item, "MAG7", "Mag<7.5", G::magnitudeLimit, 7.5},
    {2, item, "MAG8", "Mag<8.5", G::magnitudeLimit, 8.5},
    {2, item, "MAG9", "Mag<9.5", G::magnitudeLimit, 9.5},
    {2, sep, "MAGSEP", ""},
    {2, item, "MAGSCALE", "Scaling", G::none, 0, "FORM5"},
    {1, menu, "CONST", "Lines of Constellation"},
    {2, item, "CONST1", "Draw", G::constellationLines, 1},
    {2, item, "CONST0", "Nothing", G::constellationLines, 0},
    {1, sep, "DISPSEP1", ""},
    {1, menu, "ZENITH", "Lines of Zenith Coordinaite"},
    {2, item, "ZENITH0", "Holizon Only", G::zenithGridStep, 0},
    {2, item, "ZENITH1", "Elavation=0 Only", G::zenithGridStep, 1},
    {2, item, "ZENITH90", "Holizon and Quaters", G::zenithGridStep, 90},
    {2, item, "ZENITH30", "30degree", G::zenithGridStep, 30},
    {2, item, "ZENITH10", "10degree", G::zenithGridStep, 10},
    {2, item, "ZENITH5", "5degree", G::zenithGridStep, 5},
    {2, sep, "ZENITHSEP", ""},
    {2, item, "ZENITHNUM", "Numbering", G::zenithGridNumbers},
    {1, menu, "EQUAT", "Lines of Equatorial Coordinate"},
    {2, item, "EQUAT0", "Nothing", G::equatorGridStep, 0},
    {2, item, "EQUAT1", "Equator Only", G::equatorGridStep, 1},
    {2, item, "EQUAT90", "Equater and Quaters", G::equatorGridStep, 90},
    {2, item, "EQUAT30", "30degree", G::equatorGridStep, 30},
    {2, item, "EQUAT10", "10degree", G::equatorGridStep, 10},
    {2, item, "EQUAT5", "5degree", G::equatorGridStep, 5},
    {2, sep, "EQUATSEPT1", ""},
    {2, item, "EQUATNUM", "Numbering", G::equatorGridNumbers},
    {2, sep, "EQUATSEPT2", ""},
    {2, item, "EQTRAPPA", "Apparent Equinox", G::equatorGridEquinox, 1},
    {2, item, "EQTRTRUE", "True Equinox", G::equatorGridEquinox, 2},
    {2, item, "EQTRMEAN", "Mean Equinox", G::equatorGridEquinox, 3},
    {2, item, "EQTRJ20", "ICRF", G::equatorGridEquinox, 4},
    {1, menu, "ECLIP", "Lines of Ecliptical Coordinate"},
    {2, item, "ECLIP0", "Nothing", G::eclipticGridStep, 0},
    {2, item, "ECLIP1", "Ecliptic Only", G::eclipticGridStep, 1},
    {2, item, "ECLIP90", "Ecliptic and Quaters", G::eclipticGridStep, 90},
    {2, item, "ECLIP30", "30degree", G::eclipticGridStep, 30},
    {2, item, "ECLIP10", "10degree", G::eclipticGridStep, 10},
    {2, item, "ECLIP5", "5degree", G::eclipticGridStep, 5},
    {2, sep, "ECLIPSEPT1", ""},
    {2, item, "ECLIPNUM", "Numbering", G::eclipticGridNumbers},
    {2, sep, "ECLIPSEPT2", ""},
    {2, item, "ECLPAPPA", "Apparent Equinox", G::eclipticGridEquinox, 1},
    {2, item, "ECLPTRUE", "True Equinox", G::eclipticGridEquinox, 2},
    {2, item, "ECLPMEAN", "Mean Equinox", G::eclipticGridEquinox, 3},
    {2, item, "ECLPJ20", "J2000.0", G::eclipticGridEquinox, 4},
    {1, menu, "MONLINE", "Moon line"},
    {2, item, "MONLINE0", "Nothing", G::moonLineMode, 0},
    {2, item, "MONLINE1", "Mean Orbit", G::moonLineMode, 1},
    {2, item, "MONLINE2", "Apparent", G::moonLineMode, 2},
    {2, item, "MONLINE3", "with Parallax 1", G::moonLineMode, 3},
    {2, item, "MONLINE4", "with Parallax 2", G::moonLineMode, 4},
    {1, menu, "SRF", "Long. and Lat. of the Earth"},
    {2, item, "SRF0", "Nothing", G::earthGridMinutes, 0},
    {2, item, "SRF5", "5degree", G::earthGridMinutes, 300},
    {2, item, "SRF2", "2degree", G::earthGridMinutes, 120},
    {2, item, "SRF1", "1degree", G::earthGridMinutes, 60},
    {2, item, "SRFH", "30minutes", G::earthGridMinutes, 30},
    {2, item, "SRFQ", "15minutes", G::earthGridMinutes, 15},
    {2, item, "SRFS", "10minutes", G::earthGridMinutes, 10},
    {2, sep, "SRFSEP", ""},
    {2, item, "SRFHEIGHT", "Altitude of lines", G::none, 0, "FORM5"},
    {1, menu, "RCTA", "Coordinates from the Center"},
    {2, item, "RCTA0", "Nothing", G::centerCoordsMode, 0},
    {2, item, "RCTA1", "Axes", G::centerCoordsMode, 1},
    {2, item, "RCTA2", "Grids(1)", G::centerCoordsMode, 2},
    {2, item, "RCTA3", "Grids(2)", G::centerCoordsMode, 3},
    {2, item, "RCTA4", "Circle", G::centerCoordsMode, 4},
    {1, sep, "DISPSEP2", ""},
    {1, item, "REFRACT", "Refraction Correction", G::refractionOn},
    {1, item, "DABERRATION", "Diurnal Aberration", G::diurnalAberrationOn},
    {1, sep, "DISPSEP3", ""},
    {1, menu, "WEIGHTC", "Weighting for Centralizing Constell."},
    {2, item, "WEIGHTCS", "Simple", G::centralizeWeighting, 1},
    {2, item, "WEIGHTCL", "Lines", G::centralizeWeighting, 2},
    {2, item, "WEIGHTCM", "Magnitude", G::centralizeWeighting, 3},
    {1, item, "DUFILE", "DRAW using FILE", G::none, 0, "FORM4"},
    {1, item, "MNOPTION", "Click and Minute Option", G::none, 0, "FORM5"},

    // Menu order is not code order.
    {0, menu, "Project", "Projection"},
    {1, item, "AZIMEQDIST", "Azimuthal Equidistant Projection", G::projectionKind, 1},
    {1, item, "AZIMEQAREA", "Azimuthal Equal-Area Projection", G::projectionKind, 2},
    {1, item, "AZIMORTHO", "Azimuthal Conformal(Stereographic)", G::projectionKind, 3},
    {1, item, "GNOMONIC", "Gnomonic Projection", G::projectionKind, 6},
    {1, item, "ORTHOGRAPHIC", "Orthographic projection", G::projectionKind, 8},
    {1, item, "MERCATORS", "Mercator Projection", G::projectionKind, 4},
    {1, item, "MERCATORT", "Transverse Mercator Projection", G::projectionKind, 5},
    {1, item, "MILLER", "Miller Projection", G::projectionKind, 12},
    {1, item, "EQUIRECT", "Equirectangular Projection", G::projectionKind, 11},
    {1, item, "LEQAREACYL", "Lambert Equal-Area Cylindrical Prj.", G::projectionKind, 14},
    {1, item, "MOLLW", "Mollweide Projection", G::projectionKind, 7},
    {1, item, "SANSON", "Sanson Projection", G::projectionKind, 9},
    {1, item, "HAMMER", "Hammer Projection", G::projectionKind, 13},
    {1, item, "AITOFF", "Aitoff Projection", G::projectionKind, 15},
    {1, item, "AZIMUSER", "Azimuthal(User defining)", G::projectionKind, 10},
    {1, sep, "SEPT2", ""},
    {1, menu, "POSDIRECTION", "Set the Position of Direction"},
    {2, item, "IMGCENTER", "the Center of the Image", G::directionPointPlace, 2},
    {2, item, "IMGHLZNT", "the Holizon touchs the Bottom", G::directionPointPlace, 3},
    {2, item, "IMGBOTTOM", "the Center of the Bottom", G::directionPointPlace, 1},
    {2, item, "IMGTOP", "the Center of the Top", G::directionPointPlace, 4},
    {1, menu, "UNDRH", "UnderHolizon"},
    {2, item, "UND0", "Nothing", G::underHorizonDepth, 0},
    {2, item, "UND1", "1 degree", G::underHorizonDepth, single(0.01745f)},
    {2, item, "UND2", "2 degree", G::underHorizonDepth, single(0.0349f)},
    {2, item, "UNDA", "ALL", G::underHorizonDepth, single(1.1f)},
    {1, menu, "VDRCT", "Direction of Vertical"},
    {2, item, "VDRCT1", "Zenith", G::verticalDirection, 1},
    {2, item, "VDRCT2", "True Pole", G::verticalDirection, 2},
    {2, item, "VDRCT3", "Mean Pole", G::verticalDirection, 3},
    {2, item, "VDRCT4", "ICRF Pole", G::verticalDirection, 4},
    {2, item, "VDRCT5", "True Ecl. Pole", G::verticalDirection, 5},
    {2, item, "VDRCT6", "Mean Ecl. Pole", G::verticalDirection, 6},
    {2, item, "VDRCT7", "J2000 Ecl. Pole", G::verticalDirection, 7},

    {0, menu, "SUN", "Sun,Moon and Tech"},
    {1, menu, "SUNIMG", "SUN on the Image"},
    {2, item, "SUNDSP3", "Display(x)", G::sunDisplayMode, 3},
    {2, item, "SUNDSP1", "Display(Emphasized)", G::sunDisplayMode, 1},
    {2, item, "SUNDSP2", "Display(true Radius)", G::sunDisplayMode, 2},
    {2, item, "SUNDSP4", "Display(Outline)", G::sunDisplayMode, 4},
    {2, item, "SUNDSP0", "Not Display", G::sunDisplayMode, 0},
    {1, menu, "SUNANT", "Antipodes of SUN"},
    {2, item, "SUNANT1", "Display(x)[apparent,par]", G::antisunDisplayMode, 1},
    {2, item, "SUNANT2", "Display(x)[simple]", G::antisunDisplayMode, 2},
    {2, item, "SUNANT11", "Shadow of Earth[app,par]", G::antisunDisplayMode, 11},
    {2, item, "SUNANT0", "Not Display", G::antisunDisplayMode, 0},
    {1, menu, "MONIMG", "MOON on the Image"},
    {2, item, "MONDSP3", "Display(x)", G::moonDisplayMode, 3},
    {2, item, "MONDSP1", "Display(Emphasized)", G::moonDisplayMode, 1},
    {2, item, "MONDSP2", "Display(true Radius)", G::moonDisplayMode, 2},
    {2, item, "MONDSP4", "Display(Outline)", G::moonDisplayMode, 4},
    {2, item, "MONDSP0", "Not Display", G::moonDisplayMode, 0},
    {1, item, "PLNTS", "Planets", G::none, 0, "FORM8"},
    {1, item, "ADDSTAR", "Star by the Location", G::none, 0, "FORM9"},
    {1, menu, "OOBJ", "Object defined by Orbit"},
    {2, item, "OOBJDSP1", "Display(Emphasized)", G::orbitObjectDisplayMode, 1},
    {2, item, "OOBJDSP3", "Display(x)", G::orbitObjectDisplayMode, 3},
    {2, item, "OOBJDSP0", "Not Display", G::orbitObjectDisplayMode, 0},
    // The separators of this menu have no names of their own; these are ours.
    {2, sep, "OOBJSEP", ""},
    {2, item, "OOBJDF", "Orbitial elements", G::none, 0, "FORM7"},
    {1, sep, "SUNSEP", ""},
    {1, menu, "SUNLOC", "Location Data of Sun,Moon"},
    {2, menu, "LCOBJM", "Object"},
    {3, item, "LCSUN", "Sun", G::readoutBody, 0},
    {3, item, "LCMON", "Moon", G::readoutBody, 1},
    {3, item, "LCMC", "Mercury", G::readoutBody, 2},
    {3, item, "LCVN", "Venus", G::readoutBody, 3},
    {3, item, "LCMS", "Mars", G::readoutBody, 4},
    {3, item, "LCJP", "Jupiter", G::readoutBody, 5},
    {3, item, "LCST", "Saturn", G::readoutBody, 6},
    {3, item, "LCUR", "Uranus", G::readoutBody, 7},
    {3, item, "LCNP", "Neptune", G::readoutBody, 8},
    {3, item, "LCLCT", "Star by the Location", G::readoutBody, 20},
    {3, item, "LCOBJ", "Object defined by Orbit", G::readoutBody, 30},
    {2, sep, "LCSEP1", ""},
    {2, item, "LCPRLL", "with geocentric parallax", G::readoutParallax},
    {2, sep, "LCSEP2", ""},
    {2, item, "LCAPAR", "aparent", G::readoutCorrection, 0},
    {2, item, "LCNOAP", "No Annual Aberration", G::readoutCorrection, 1},
    {2, item, "LCGEOM", "Infinite Light Speed", G::readoutCorrection, 2},
    {2, sep, "LCSEP3", ""},
    {2, item, "SUNLOC0", "Not Display", G::readoutFrame, 100},
    {2, item, "SUNLOCZN", "Zenithal", G::readoutFrame, 1},
    {2, item, "SUNLOCRAL", "Local Equatorial", G::readoutFrame, 8},
    {2, item, "SUNLOCRAG", "Greenwich-Eq", G::readoutFrame, 9},
    {2, item, "SUNLOCRA2", "RA,Dec(true)", G::readoutFrame, 2},
    {2, item, "SUNLOCRA3", "RA,Dec(mean)", G::readoutFrame, 3},
    {2, item, "SUNLOCRA4", "RA,Dec(ICRF)", G::readoutFrame, 4},
    {2, item, "SUNLOCCEL2", "Celestial-Lng,Lat(true)", G::readoutFrame, 12},
    {2, item, "SUNLOCCEL3", "Celestial-Lng,Lat(Mean)", G::readoutFrame, 13},
    {2, item, "SUNLOCCEL4", "Celestial-Lng,Lat(J2000.0)", G::readoutFrame, 14},
    {2, item, "SUNLOCDG", "digression from Sun", G::readoutFrame, 20},
    {1, menu, "COMPOLE", "Data of Pole and Equinox"},
    {2, item, "COMPOLE0", "Nothing", G::poleDataReadout, 0},
    {2, item, "COMPOLE1", "true Equator in mean Equator", G::poleDataReadout, 1},
    {2, item, "COMPOLE2", "true Equator in ICRF Equator", G::poleDataReadout, 2},
    {2, item, "COMPOLE3", "mean Equator  in ICRF Equator", G::poleDataReadout, 3},
    {2, item, "COMPOLE4", "true Ecliptic in J2000 Ecliptic", G::poleDataReadout, 4},
    {2, item, "COMPOLE5", "mean Ecliptic in J2000 Ecliptic", G::poleDataReadout, 5},
    {2, item, "COMPOLEX", "Nutation Data", G::poleDataReadout, 100},
    {2, item, "COMPOLEY", "Aberration Data", G::poleDataReadout, 101},
    {2, item, "COMPOLEZ", "Sidereal Time Data", G::poleDataReadout, 102},
    {1, item, "COMUNITS", "Set Units", G::none, 0, "FORM5"},
};
// clang-format on

// Calls visit with the member the group writes; C and R may be const.
template <class C, class R, class Visit>
auto withMember(OptionGroup group, C& c, R& r, Visit visit) {
    switch (group) {
    case G::none: break;
    case G::whiteBackground: return visit(c.whiteBackground);
    case G::magnitudeLimit: return visit(c.magnitudeLimit);
    case G::constellationLines: return visit(c.constellationLines);
    case G::zenithGridStep: return visit(c.zenithGridStep);
    case G::zenithGridNumbers: return visit(c.zenithGridNumbers);
    case G::equatorGridStep: return visit(c.equatorGridStep);
    case G::equatorGridNumbers: return visit(c.equatorGridNumbers);
    case G::equatorGridEquinox: return visit(c.equatorGridEquinox);
    case G::eclipticGridStep: return visit(c.eclipticGridStep);
    case G::eclipticGridNumbers: return visit(c.eclipticGridNumbers);
    case G::eclipticGridEquinox: return visit(c.eclipticGridEquinox);
    case G::moonLineMode: return visit(c.moonLineMode);
    case G::earthGridMinutes: return visit(c.earthGridMinutes);
    case G::centerCoordsMode: return visit(c.centerCoordsMode);
    case G::refractionOn: return visit(c.refractionOn);
    case G::diurnalAberrationOn: return visit(c.diurnalAberrationOn);
    case G::centralizeWeighting: return visit(c.centralizeWeighting);
    case G::projectionKind: return visit(c.projectionKind);
    case G::directionPointPlace: return visit(c.directionPointPlace);
    case G::underHorizonDepth: return visit(c.underHorizonDepth);
    case G::verticalDirection: return visit(c.verticalDirection);
    case G::sunDisplayMode: return visit(c.sunDisplayMode);
    case G::antisunDisplayMode: return visit(c.antisunDisplayMode);
    case G::moonDisplayMode: return visit(c.moonDisplayMode);
    case G::orbitObjectDisplayMode: return visit(c.orbitObjectDisplayMode);
    case G::readoutBody: return visit(r.readoutBody);
    case G::readoutParallax: return visit(r.readoutParallax);
    case G::readoutCorrection: return visit(r.readoutCorrection);
    case G::readoutFrame: return visit(r.readoutFrame);
    case G::poleDataReadout: return visit(r.poleDataReadout);
    }
    // No member: visit a scratch value so that both uses stay well defined.
    double none = 0;
    return visit(none);
}

// The stored code, widened to double; a single member gives the double of its single.
double storedCode(OptionGroup group, const ChartOptions& c, const ReadoutOptions& r) {
    return withMember(group, c, r, [](const auto& member) { return double(member); });
}

// Stores a code of the tables; every code fits its member exactly.
void storeCode(OptionGroup group, double code, ChartOptions& c, ReadoutOptions& r) {
    withMember(group, c, r, [code](auto& member) {
        member = static_cast<std::remove_reference_t<decltype(member)>>(code);
    });
}

void chooseRadio(const OptionMenuLine& chosen, ChartOptions& chart, ReadoutOptions& readout,
                 MenuMarks& marks) {
    storeCode(chosen.group, chosen.code, chart, readout);
    for (const OptionMenuLine& line : lines) {
        if (line.kind == item && line.group == chosen.group)
            marks.setChecked(line.name, &line == &chosen);
    }
}

} // namespace

std::span<const OptionMenuLine> optionMenuLines() { return lines; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

const OptionMenuLine* findOptionMenuLine(std::string_view name) {
    if (name.empty())
        return nullptr;
    for (const OptionMenuLine& line : lines) {
        if (sameName(line.name, name))
            return &line;
    }
    return nullptr;
}

bool isSwitchGroup(OptionGroup group) {
    switch (group) {
    case G::zenithGridNumbers:
    case G::equatorGridNumbers:
    case G::eclipticGridNumbers:
    case G::refractionOn:
    case G::diurnalAberrationOn:
    case G::readoutParallax: return true;
    default: return false;
    }
}

bool optionItemChecked(const OptionMenuLine& line, const ChartOptions& chart,
                       const ReadoutOptions& readout) {
    if (line.kind != item || line.group == G::none)
        return false;
    const double stored = storedCode(line.group, chart, readout);
    return isSwitchGroup(line.group) ? stored == 1 : stored == line.code;
}

bool chooseOptionItem(std::string_view itemName, ChartOptions& chart, ReadoutOptions& readout,
                      MenuMarks& marks) {
    const OptionMenuLine* line = findOptionMenuLine(itemName);
    if (line == nullptr || line->kind != item || line->group == G::none)
        return false;
    if (isSwitchGroup(line->group)) {
        const double stored = storedCode(line->group, chart, readout);
        // The parallax switch turns on only from 0; the others turn off only from 1, so a value
        // loaded from a settings file as neither 0 nor 1 ends up differently.
        const bool on = line->group == G::readoutParallax ? stored == 0 : stored != 1;
        storeCode(line->group, on ? 1 : 0, chart, readout);
        marks.setChecked(line->name, on);
        return true;
    }
    chooseRadio(*line, chart, readout, marks);
    if (line->name == "SUNLOCZN") {
        readout.readoutParallax = 1;
        marks.setChecked("LCPRLL", true);
        chooseRadio(*findOptionMenuLine("LCAPAR"), chart, readout, marks);
    }
    return true;
}

void showOptionMarks(const ChartOptions& chart, const ReadoutOptions& readout, MenuMarks& marks) {
    for (const OptionMenuLine& line : lines) {
        if (line.kind == item && line.group != G::none)
            marks.setChecked(line.name, optionItemChecked(line, chart, readout));
    }
}

} // namespace nivora
