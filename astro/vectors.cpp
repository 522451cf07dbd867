#include "astro/vectors.h"

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
float monthLength(int monthIndex, double year) {
    float length = float(monthStartDays[monthIndex + 1] - monthStartDays[monthIndex]);
    if (monthIndex == 1 && isLeapYear(int(std::lround(year))))
        length += 1;
    return length;
}
} // namespace

void DATECUL(float& year, float& monthIndex, float& day, float n) {
    if (n == 0 || !(monthIndex >= 0 && monthIndex <= 11) || !std::isfinite(n) || !std::isfinite(day))
        return;
    int m = int(monthIndex);
    double y = year;
    float d = day + n;
    // The Gregorian calendar repeats every 400 years (146097 days). Whole cycles of a long walk
    // are counted apart and join the year at the end: a float far beyond whole days or years no
    // longer changes by a month's length or by one year, and the walk would not end or would
    // lose the leap years.
    constexpr double cycleDays = 146097;
    double cycles = 0;
    if ((n > 0 && double(day) + n > cycleDays) || (n < 0 && double(day) + n < -cycleDays)) {
        // Each remainder is exact, so neither a huge day nor a huge step swallows the other.
        const double dayRest = std::fmod(double(day), cycleDays), stepRest = std::fmod(double(n), cycleDays);
        cycles = (double(day) - dayRest) / cycleDays + (double(n) - stepRest) / cycleDays;
        double rest = dayRest + stepRest;
        // The forward walk takes a day above 0, the backward walk one below 1.
        if (n > 0 && rest <= 0) {
            rest += cycleDays;
            cycles -= 1;
        } else if (n < 0 && rest > 0) {
            rest -= cycleDays;
            cycles += 1;
        }
        d = float(rest);
    }
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
            if (m == 1 && isLeapYear(int(std::lround(y))))
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
    year = float(y + 400 * cycles);
    monthIndex = float(m);
    day = d;
}

} // namespace nivora
