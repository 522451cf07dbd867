#include "astro/precession.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/series.h"

namespace nivora {

void PRECMT(const StartupTables& tables, DayNumber d, RotationMatrix& icrfToMeanEquator,
            RotationMatrix& j2000EclipticToMeanEcliptic, RotationMatrix& meanEclipticToMeanEquator,
            double& eps) {
    const double t = JulianCenturies(d);
    std::array<double, 4> a{};
    for (int i = 0; i < 4; ++i)
        a[i] = polynomial(tables.precessionPolynomials[i], t);
    const RotationMatrix p = precessionMatrix(a[0], a[1], a[2]);
    const double c = std::cos(a[3]), s = std::sin(a[3]);
    meanEclipticToMeanEquator = {{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
    icrfToMeanEquator = multiply(meanEclipticToMeanEquator, p);
    j2000EclipticToMeanEcliptic = multiply(p, tables.j2000EclipticToIcrf);
    eps = a[3];
}

void NUTATION2(const StartupTables& tables, DayNumber d, double& dpsi, double& deps,
               const std::filesystem::path& file) {
    std::error_code error;
    const NutationSeriesFile nutation =
        parseNutationFile(std::filesystem::is_directory(file, error) ? file / nutationFileName : file);
    SeriesArguments v;
    PLTPARAM2(tables, d, 1, v);
    dpsi = MD360(sumSeriesSection(nutation.longitude, v, true) / 3600) / degreesPerRadian;
    deps = sumSeriesSection(nutation.obliquity, v, true) / 3600 / degreesPerRadian;
}

} // namespace nivora
