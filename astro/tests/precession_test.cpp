#include "astro/precession.h"

#include <cmath>
#include <fstream>

#include <erfa.h>
#include <gtest/gtest.h>

#include "astro/constants.h"
#include "astro/datafile.h"
#include "testfiles.h"

#include <unistd.h>

using namespace nivora;

namespace {

constexpr double julianDateOfDayNumberZero = 2451543.5;

using ErfaMatrix = double[3][3];

void expectMatrixNear(const RotationMatrix& m, const ErfaMatrix& r, double tolerance) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(m[i][j], r[i][j], tolerance) << "entry " << i << ',' << j;
}

const StartupTables& iau2006Tables() {
    static const StartupTables tables = loadStartupTables(fixture("startup-iau2006"));
    return tables;
}

} // namespace

// The fixture holds the IAU 2006 Fukushima-Williams angles (gamma-bar, phi-bar, psi-bar,
// epsilon-A) with the frame bias in their constant terms, so PRECMT must reproduce ERFA's
// bias-precession matrix, ecliptic matrix and obliquity.
TEST(PRECMT, AgreesWithErfaIau2006) {
    ErfaMatrix eclipticJ2000;
    eraEcm06(julianDateOfDayNumberZero, 1.5, eclipticJ2000);
    for (double t : {-3.0, -1.0, -0.2, 0.0, 0.26, 1.0, 2.5}) {
        SCOPED_TRACE(t);
        const double d = 1.5 + t * 36525;
        RotationMatrix icrfToMeanEquator, j2000EclipticToMeanEcliptic, meanEclipticToMeanEquator;
        double eps;
        PRECMT(iau2006Tables(), d, icrfToMeanEquator, j2000EclipticToMeanEcliptic, meanEclipticToMeanEquator,
               eps);

        EXPECT_NEAR(eps, eraObl06(julianDateOfDayNumberZero, d), 1e-14);

        ErfaMatrix biasPrecession, ecliptic, eclipticToJ2000, eclipticPrecession, equatorToEcliptic;
        eraPmat06(julianDateOfDayNumberZero, d, biasPrecession);
        expectMatrixNear(icrfToMeanEquator, biasPrecession, 1e-13);

        eraEcm06(julianDateOfDayNumberZero, d, ecliptic);
        eraTr(eclipticJ2000, eclipticToJ2000);
        eraRxr(ecliptic, eclipticToJ2000, eclipticPrecession);
        expectMatrixNear(j2000EclipticToMeanEcliptic, eclipticPrecession, 1e-13);

        // meanEclipticToMeanEquator = biasPrecession . ecliptic^T
        ErfaMatrix eclipticTransposed;
        eraTr(ecliptic, eclipticTransposed);
        eraRxr(biasPrecession, eclipticTransposed, equatorToEcliptic);
        expectMatrixNear(meanEclipticToMeanEquator, equatorToEcliptic, 1e-13);
    }
}

TEST(PRECMT, IcrfToJ2000EclipticAgreesWithErfa) {
    ErfaMatrix eclipticJ2000;
    eraEcm06(julianDateOfDayNumberZero, 1.5, eclipticJ2000);
    expectMatrixNear(iau2006Tables().icrfToJ2000Ecliptic, eclipticJ2000, 1e-15);
    RotationMatrix back;
    INVMAT(iau2006Tables().icrfToJ2000Ecliptic, back);
    EXPECT_EQ(back, iau2006Tables().j2000EclipticToIcrf);
}

TEST(PRECMT, ConstantPolynomialsGiveTheSameMatricesAtEveryDate) {
    StartupTables tables = iau2006Tables();
    for (auto& angle : tables.precessionPolynomials)
        for (int k = 1; k < 7; ++k)
            angle[k] = 0;
    RotationMatrix first{};
    for (double d : {-40000.0, 1.5, 9000.0}) {
        SCOPED_TRACE(d);
        RotationMatrix m1, m2, e;
        double eps;
        PRECMT(tables, d, m1, m2, e, eps);
        EXPECT_EQ(eps, tables.precessionPolynomials[3][0]);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(m2[i][j], i == j ? 1 : 0, 1e-15);
        if (d == -40000.0) first = m1;
        EXPECT_EQ(m1, first);
    }
}

TEST(NUTATION2, SumsBothSectionsWithTheConstantTermsOfTheMeanElements) {
    // At J2000 the term's argument is the constant term of block 1, row 0: 36 degrees.
    double dpsi, deps;
    NUTATION2(iau2006Tables(), 1.5, dpsi, deps, fixture("nutation-one-term/nutation.txt"));
    const double cos36 = std::cos(36 / degreesPerRadian), cos126 = std::cos(126 / degreesPerRadian);
    EXPECT_DOUBLE_EQ(dpsi, MD360(-17.2 * cos36 / 3600) / degreesPerRadian);
    EXPECT_GT(dpsi, 6); // a negative nutation comes back just below 2 pi
    // The item "endnote" did not end the second section, and nothing after "end" was read.
    EXPECT_DOUBLE_EQ(deps, 9.2 * cos126 / 3600 / degreesPerRadian);

    double folderDpsi, folderDeps;
    NUTATION2(iau2006Tables(), 1.5, folderDpsi, folderDeps, fixture("nutation-one-term"));
    EXPECT_EQ(folderDpsi, dpsi);
    EXPECT_EQ(folderDeps, deps);
}

TEST(NUTATION2, EmptySectionsAndSmallNegativeSums) {
    const StartupTables tables;
    const std::string zeros = " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0";
    struct Case {
        const char* name;
        std::string text;
        double dpsiDegrees, depsArcsec;
    };
    const Case cases[] = {
        {"both sections empty", "n\r\nlatitude\r\nend\r\n", 0, 0},
        {"minus one arc second",
         "n\r\nmean," + zeros + ", -1\r\nlatitude\r\nmean," + zeros + ", -2\r\nend\r\n", 360 - 1 / 3600.0,
         -2},
        {"stray numbers and labels are skipped", "n\r\n12.5\r\nlabel\r\nlatitude\r\n7\r\nend\r\n", 0, 0},
    };
    const auto file = std::filesystem::temp_directory_path() / ("nivora-nutation-case-" + std::to_string(::getpid()) + ".txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            std::ofstream out(file, std::ios::binary);
            out << c.text;
        }
        double dpsi, deps;
        NUTATION2(tables, 1.5, dpsi, deps, file);
        EXPECT_DOUBLE_EQ(dpsi, c.dpsiDegrees / degreesPerRadian);
        EXPECT_DOUBLE_EQ(deps, c.depsArcsec / 3600 / degreesPerRadian);
    }
    std::filesystem::remove(file);
}

TEST(NUTATION2, MissingOrUnendedFilesAreDataFileErrors) {
    const StartupTables tables;
    double dpsi = 0, deps = 0;
    EXPECT_THROW(NUTATION2(tables, 1.5, dpsi, deps, fixture("no-such-folder")), DataFileError);
    EXPECT_THROW(NUTATION2(tables, 1.5, dpsi, deps, fixture("nutation-missing-end.txt")), DataFileError);
}
