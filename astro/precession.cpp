#include "astro/precession.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/datafile.h"
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
    if (std::isfinite(d)) {
        bool finite = std::isfinite(eps);
        for (const RotationMatrix* m : {&icrfToMeanEquator, &j2000EclipticToMeanEcliptic})
            for (const auto& row : *m)
                for (double x : row)
                    finite = finite && std::isfinite(x);
        requireFiniteResult(finite, tables.precessionFile, d, "precession polynomials");
    }
}

void NUTATION2(const StartupTables& tables, DayNumber d, double& dpsi, double& deps,
               const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::is_directory(file, error) ? file / nutationFileName : file;
    const NutationSeriesFile nutation = parseNutationFile(path);
    SeriesArguments v;
    PLTPARAM2(tables, d, 1, v);
    dpsi = MD360(sumSeriesSection(nutation.longitude, v, true) / 3600) / degreesPerRadian;
    deps = sumSeriesSection(nutation.obliquity, v, true) / 3600 / degreesPerRadian;
    if (std::isfinite(d)) requireFiniteResult(std::isfinite(dpsi) && std::isfinite(deps), path, d, "nutation terms");
}

} // namespace nivora
