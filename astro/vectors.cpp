#include "astro/vectors.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"

namespace nivora {

RotationMatrix identityMatrix() { return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }

RotationMatrix multiply(const RotationMatrix& a, const RotationMatrix& b) {
    RotationMatrix c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            c[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return c;
}

DirectionVector rotate(const RotationMatrix& m, const DirectionVector& v) {
    DirectionVector w{};
    for (int i = 0; i < 3; ++i)
        w[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return w;
}

DirectionVector rotateInverse(const RotationMatrix& m, const DirectionVector& v) {
    DirectionVector w{};
    for (int i = 0; i < 3; ++i)
        w[i] = m[0][i] * v[0] + m[1][i] * v[1] + m[2][i] * v[2];
    return w;
}

RotationMatrix transpose(const RotationMatrix& m) {
    RotationMatrix t{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            t[i][j] = m[j][i];
    return t;
}

RotationMatrix R1(double theta) {
    const double c = std::cos(theta), s = std::sin(theta);
    return {{{1, 0, 0}, {0, c, s}, {0, -s, c}}};
}

RotationMatrix R3(double theta) {
    const double c = std::cos(theta), s = std::sin(theta);
    return {{{c, s, 0}, {-s, c, 0}, {0, 0, 1}}};
}

DirectionVector unitVector(double lon, double lat) {
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

void ZENITH(double x, double y, double z, double& lon, double& lat, double& r) {
    if (x == 0 && y == 0) {
        lat = z > 0 ? pi / 2 : -pi / 2;
        lon = 0;
        r = std::fabs(z);
        return;
    }
    lon = x == 0 ? pi / 2 : std::atan(y / x);
    if (x < 0 && y >= 0)
        lon += pi;
    if (x <= 0 && y < 0)
        lon -= pi;
    r = std::sqrt(x * x + y * y + z * z);
    lat = std::atan(z / std::sqrt(x * x + y * y));
}

void INVMAT(const RotationMatrix& a, RotationMatrix& b) {
    const double det = a[0][0] * a[1][1] * a[2][2] + a[0][1] * a[1][2] * a[2][0] +
                       a[0][2] * a[1][0] * a[2][1] - a[0][2] * a[1][1] * a[2][0] -
                       a[0][0] * a[1][2] * a[2][1] - a[0][1] * a[1][0] * a[2][2];
    if (det == 0) {
        b = RotationMatrix{};
        return;
    }
    b[0][0] = (a[1][1] * a[2][2] - a[2][1] * a[1][2]) / det;
    b[0][1] = (a[2][1] * a[0][2] - a[0][1] * a[2][2]) / det;
    b[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
    b[1][0] = (a[1][2] * a[2][0] - a[1][0] * a[2][2]) / det;
    b[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
    b[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
    b[2][0] = (a[1][0] * a[2][1] - a[1][1] * a[2][0]) / det;
    b[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
    b[2][2] = (a[0][0] * a[1][1] - a[1][0] * a[0][1]) / det;
}

double MD360(double degrees) { return degrees - std::floor(degrees / 360) * 360; }

bool isLeapYear(int year) {
    const int r = year % 400; // truncated: takes the sign of the year
    return year % 4 == 0 && r != 100 && r != 200 && r != 300;
}

DayNumber dayNumberOfDate(int year, int monthIndex, int day, double dayFraction) {
    const auto floorDiv = [](int a, int b) { return int(std::floor(double(a) / b)); };
    // A month index from a field or a list may lie outside the table: whole years carry over.
    year += floorDiv(monthIndex, 12);
    monthIndex -= 12 * floorDiv(monthIndex, 12);
    double d = (year - 2000) * 365.0 + monthStartDays[monthIndex] + day + floorDiv(year - 1997, 4) -
               floorDiv(year - 1901, 100) + floorDiv(year - 1601, 400);
    if (isLeapYear(year) && monthIndex >= 2)
        d += 1;
    return d + dayFraction;
}

namespace {
// The leap rule on a whole year held in a double, which may lie beyond any integer type; fmod
// keeps the sign of the year.
bool leapYear(double year) {
    const double r = std::fmod(year, 400);
    return std::fmod(year, 4) == 0 && r != 100 && r != 200 && r != 300;
}

float monthLength(int monthIndex, double year) {
    float length = float(monthStartDays[monthIndex + 1] - monthStartDays[monthIndex]);
    if (monthIndex == 1 && leapYear(std::round(year)))
        length += 1;
    return length;
}

// Days from 0000-01-01 to the first of a month of a whole year. With remainders that take the
// sign of the year, every fourth year below 0 is a leap year: 1461 days per 4 years there,
// against 146097 per 400 from year 0 on.
double daysToMonth(double year, int monthIndex) {
    double days = year >= 0 ? 365 * year + std::ceil(year / 4) - std::ceil(year / 100) + std::ceil(year / 400)
                            : 365 * year - std::floor(-year / 4);
    days += monthStartDays[monthIndex];
    if (monthIndex >= 2 && leapYear(year))
        days += 1;
    return days;
}

double residue(double x, double period) {
    const double r = std::fmod(x, period);
    return r < 0 ? r + period : r;
}

// A date moved by a long step, through the day count from 0000-01-01. The count is kept as its
// remainder in the calendar cycle of its side of year 0, summed from exact remainders, so that
// steps and days far beyond a float's whole days still end on the right month and day.
void moveFar(double& year, int& monthIndex, double& day, double n) {
    const double wholeYear = std::round(year), yearFraction = year - wholeYear;
    const double count = daysToMonth(wholeYear, monthIndex) + (day - 1) + n;
    const bool below = count < 0;
    const double cycleDays = below ? 1461 : 146097, cycleYears = below ? 4 : 400;
    // Whole 400 cycles of years (4 cycles below 0) shift the month's first day by whole
    // cycles of days of either side.
    const double sameYear = std::fmod(wholeYear, wholeYear >= 0 ? 400 * cycleDays : 4 * cycleDays);
    double rest = residue(daysToMonth(sameYear, monthIndex) + residue(day, cycleDays) - 1 +
                              residue(n, cycleDays),
                          cycleDays);
    const double cycles = std::round((count - rest) / cycleDays);
    // Both sides' cycles start with the years 0 to 3 of the same lengths.
    double k = std::clamp(std::floor(rest / 365.2425), 0.0, cycleYears - 1);
    while (k > 0 && daysToMonth(k, 0) > rest)
        k -= 1;
    while (k + 1 < cycleYears && daysToMonth(k + 1, 0) <= rest)
        k += 1;
    rest -= daysToMonth(k, 0);
    int m = 0;
    while (m < 11 && rest >= monthLength(m, k)) {
        rest -= monthLength(m, k);
        m += 1;
    }
    year = cycles * cycleYears + k + yearFraction;
    monthIndex = m;
    day = rest + 1;
}
} // namespace

void DATECUL(float& year, float& monthIndex, float& day, float n) {
    if (n == 0 || !(monthIndex >= 0 && monthIndex <= 11) || !std::isfinite(n) || !std::isfinite(day))
        return;
    int m = int(monthIndex);
    // A float far beyond whole days no longer changes by a month's length, and a walk of months
    // would not end: a step beyond 400 years goes through the day count instead.
    constexpr double farDays = 146097;
    if ((n > 0 && double(day) + n > farDays) || (n < 0 && double(day) + n < -farDays)) {
        double y = year, d = day;
        moveFar(y, m, d, n);
        year = float(y);
        monthIndex = float(m);
        day = float(d);
        return;
    }
    double y = year;
    float d = day + n;
    if (n < 0) {
        while (d < 1) {
            d += monthStartDays[m];
            m -= 1;
            if (m == -1) {
                y -= 1;
                m = 11;
                d += 365;
            }
            d -= monthStartDays[m];
            if (m == 1 && leapYear(std::round(y)))
                d += 1;
        }
    } else {
        while (d > monthLength(m, y)) {
            d -= monthLength(m, y);
            m += 1;
            if (m == 12) {
                m = 0;
                y += 1;
            }
        }
    }
    year = float(y);
    monthIndex = float(m);
    day = d;
}

} // namespace nivora
