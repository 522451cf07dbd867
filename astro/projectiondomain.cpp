#include <cmath>

#include "astro/fieldnumber.h"
#include "astro/projection.h"

namespace nivora {

void PLJDOM(const CoefficientTexts& coefficientEdits, float& lim) {
    std::array<double, 10> a{};
    for (int i = 0; i <= termCount - 2; ++i)
        a[i + 2] = readFieldNumber(coefficientEdits[i]);
    a[1] = 1;
    const auto slope = [&a](float c) {
        double d = a[1];
        double power = 1; // c^(i-1)
        for (int i = 2; i <= termCount; ++i) {
            power *= c;
            d += i * a[i] * power;
        }
        return d;
    };

    // Coarse to fine: each stage resumes from the last point with a non-negative slope. c and its
    // steps stay in single precision, so the steps accumulate as they always have.
    float c = 0;
    double d = a[1];
    const auto stage = [&](float step, auto goOn) {
        d = a[1];
        while (d >= 0 && goOn(c)) {
            c = c + step;
            d = slope(c);
        }
        if (d < 0)
            c = c - step;
    };
    stage(0.1f, [](float c) { return c < 3.1f; });
    stage(0.01f, [](float c) { return c < 3.14f; });
    stage(0.001f, [](float c) { return c <= 3.141f; });
    const double domain = d < 0 ? double(c) : pi;
    lim = float(std::round(domain * degreesPerRadian * 100) / 100);
}

float SCALEDIV(float scale) {
    struct Row {
        float below, interval;
    };
    static constexpr Row rows[] = {
        {144, 5400},  {240, 2700},  {432, 1800},  {720, 900},   {1200, 600},  {1440, 360},
        {2400, 300},  {3600, 180},  {6480, 120},  {12960, 60},  {21600, 30},  {28800, 20},
        {36000, 15},  {43200, 12},  {72000, 10},  {86400, 6},   {108000, 5},
    };
    for (const Row& row : rows)
        if (scale < row.below)
            return row.interval;
    return 4;
}

} // namespace nivora
