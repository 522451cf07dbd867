#include "astro/orbit.h"

#include <cmath>
#include <map>

#include <gtest/gtest.h>

#include "astro/constants.h"

using namespace nivora;

namespace {

// The form as a test fills it: texts by field, the centre, the choices and the month indexes.
struct FakeForm : OrbitElementsForm {
    std::map<OrbitEdit, std::string> texts;
    std::map<OrbitRadio, int> radios{{OrbitRadio::RADIO72, 1}, {OrbitRadio::RADIO74, 1}};
    std::map<OrbitCombo, int> combos;
    int writes = 0;

    std::string text(OrbitEdit edit) const override {
        const auto it = texts.find(edit);
        return it == texts.end() ? "" : it->second;
    }
    void setText(OrbitEdit edit, const std::string& text) override {
        EXPECT_GE(int(edit), 80);
        EXPECT_LE(int(edit), 83);
        texts[edit] = text;
        ++writes;
    }
    int value(OrbitRadio radio) const override {
        const auto it = radios.find(radio);
        return it == radios.end() ? 0 : it->second;
    }
    int listIndex(OrbitCombo combo) const override {
        const auto it = combos.find(combo);
        return it == combos.end() ? 0 : it->second;
    }
    void aroundEarth() { radios[OrbitRadio::RADIO72] = 0; }
};

using E = OrbitEdit;

} // namespace

TEST(Orbit, PeriodAndSemiMajorAxis) {
    struct Case {
        bool sun;
        double a, P;
        double expected;
        E field;
        const char* text;
    };
    const Case cases[] = {
        {true, 1, 0, 1.0000188872624634, E::EDIT83, "1.00001888"},
        {true, 0, 0.5, 0.6299525842434079, E::EDIT81, "0.62995258"},
        {false, 42164, 0, 0.9972634752334482, E::EDIT83, "0.99726348"},
        {true, 2.5, 0, 3.9529217336706606, E::EDIT83, "3.95292173"},
    };
    for (const Case& c : cases) {
        FakeForm form;
        if (!c.sun)
            form.aroundEarth();
        double a = c.a, P = c.P;
        SM2PRD(form, a, P);
        const double result = c.a > 0 ? P : a;
        EXPECT_NEAR(result, c.expected, 1e-14 * c.expected) << c.a << ' ' << c.P;
        EXPECT_EQ(form.text(c.field), c.text);
    }
    FakeForm form;
    double a = 0, P = -1;
    SM2PRD(form, a, P);
    EXPECT_EQ(form.writes, 0);
}

TEST(Orbit, CalculateCompletesSizeAndShape) {
    FakeForm form;
    form.texts = {{E::EDIT80, "1"}, {E::EDIT81, "2.5"}};
    OOBJDSTCAL(form);
    EXPECT_EQ(form.text(E::EDIT83), "3.95292173");
    EXPECT_EQ(form.text(E::EDIT82), "0.60000000");
    EXPECT_EQ(form.text(E::EDIT80), "1");
    // The second run finds the eccentricity given and derives a and P from q and e.
    form.texts[E::EDIT81] = "";
    form.texts[E::EDIT83] = "";
    OOBJDSTCAL(form);
    EXPECT_EQ(form.text(E::EDIT81), "2.5");
    EXPECT_EQ(form.text(E::EDIT83), "3.95292173");

    // An open orbit has neither axis nor period.
    form.texts = {{E::EDIT80, "0.5"}, {E::EDIT81, "3"}, {E::EDIT82, "1.2"}, {E::EDIT83, "7"}};
    OOBJDSTCAL(form);
    EXPECT_EQ(form.text(E::EDIT81), "*.****");
    EXPECT_EQ(form.text(E::EDIT83), "*.****");
    EXPECT_EQ(form.text(E::EDIT80), "0.5");

    // q beyond a: no eccentricity exists.
    form.texts = {{E::EDIT80, "3"}, {E::EDIT81, "2"}};
    OOBJDSTCAL(form);
    EXPECT_EQ(form.text(E::EDIT82), "*.****");

    // Eccentricity and axis given, no q: q follows.
    form.texts = {{E::EDIT81, "2"}, {E::EDIT82, "0.25"}};
    OOBJDSTCAL(form);
    EXPECT_EQ(form.text(E::EDIT80), "1.5");
    EXPECT_EQ(form.text(E::EDIT83), "2.82848054");

    // Eccentricity and period given, no q: a and then q follow.
    form.texts = {{E::EDIT82, "0.5"}, {E::EDIT83, "0.5"}};
    OOBJDSTCAL(form);
    EXPECT_EQ(form.text(E::EDIT81), "0.62995258");
    EXPECT_EQ(form.text(E::EDIT80), "0.31497629");

    // ".2" is not a given eccentricity; nothing else to go on leaves everything alone.
    form.texts = {{E::EDIT82, ".2"}};
    form.writes = 0;
    OOBJDSTCAL(form);
    EXPECT_EQ(form.writes, 0);
}

TEST(Orbit, AxisWithoutPerihelionDistanceKeepsTheUsersEntries) {
    FakeForm form;
    form.texts = {{E::EDIT81, "2.5"}};
    for (int run = 0; run < 3; ++run) {
        OOBJDSTCAL(form);
        EXPECT_EQ(form.text(E::EDIT81), "2.5") << run;
        EXPECT_EQ(form.text(E::EDIT83), "3.95292173") << run;
        EXPECT_EQ(form.text(E::EDIT82), "") << run;
    }
}

TEST(Orbit, KeplerEllipticAndHyperbolic) {
    EXPECT_EQ(KEPLER0(0.7, 0), 0.7);
    EXPECT_NEAR(KEPLER0(pi / 2, 0.5), 2.0209799, 1e-7);
    for (double e : {0.1, 0.5, 0.9, 0.99, 0.999999, 1 - 1e-12})
        for (double M : {-3.14, -2.0, -0.5, -1e-6, 0.0, 1e-6, 0.3, 1.0, 3.1, 40.0, 1e6}) {
            const double E = KEPLER0(M, e);
            ASSERT_TRUE(std::isfinite(E)) << M << ' ' << e;
            EXPECT_NEAR(E - e * std::sin(E), M, 1e-8 * std::max(1.0, std::abs(M))) << M << ' ' << e;
        }
    for (double e : {1 + 1e-9, 1.0000001, 1.01, 1.05, 1.2, 2.0, 10.0})
        for (double M : {-1e6, -50.0, -1.0, -1e-6, 0.0, 1e-6, 0.02, 1.0, 3.5, 50.0, 1e6}) {
            const double H = KEPLER1(M, e);
            ASSERT_TRUE(std::isfinite(H)) << M << ' ' << e;
            EXPECT_NEAR(e * std::sinh(H) - H, M, 1e-8 * std::max(1.0, std::abs(M))) << M << ' ' << e;
        }
    // Outside their ranges they still end with a number.
    EXPECT_TRUE(std::isfinite(KEPLER0(0.1, 1)));
    EXPECT_TRUE(std::isfinite(KEPLER0(1e15, 0.9)));
    EXPECT_TRUE(std::isfinite(KEPLER1(0.1, 1)));
    EXPECT_TRUE(std::isfinite(KEPLER1(0, 1)));
}

TEST(Orbit, KeplerParabolic) {
    EXPECT_EQ(KEPLER2(0), 0);
    EXPECT_NEAR(KEPLER2(1), 1.3709196, 1e-7);
    EXPECT_EQ(KEPLER2(-1), -KEPLER2(1));
    for (double M : {1e-6, 0.1, 1.0, 10.0, 1e4, 1e12}) {
        const double s = std::tan(KEPLER2(M) / 2);
        EXPECT_NEAR((s + s * s * s / 3) / M, 1, 1e-6) << M;
    }
    EXPECT_LT(KEPLER2(1e300), pi + 1e-12);
}

TEST(Orbit, DayNumberOfAFormDate) {
    EXPECT_EQ(orbitFormDayNumber(2000, 0, 1.5), 1.5);
    EXPECT_EQ(orbitFormDayNumber(2001, 0, 1.0), 367);
    EXPECT_EQ(orbitFormDayNumber(2100, 2, 1) - orbitFormDayNumber(2100, 1, 28), 1);
    EXPECT_EQ(orbitFormDayNumber(2000, 2, 1) - orbitFormDayNumber(2000, 1, 28), 2);
    EXPECT_EQ(orbitFormDayNumber(2024, 11, 31.5) + 1, orbitFormDayNumber(2025, 0, 1.5));
    EXPECT_EQ(orbitFormDayNumber(2000, -1, 1), orbitFormDayNumber(2000, 0, 1)); // no list choice
}

namespace {

struct Elements {
    bool sun;
    const char *q, *e;
    double node, inclination, perihelion; // degrees
};

FakeForm formOf(const Elements& el) {
    FakeForm form;
    if (!el.sun)
        form.aroundEarth();
    form.texts = {{E::EDIT80, el.q},         {E::EDIT82, el.e},
                  {E::EDIT84, "2010"},       {E::EDIT85, "14.25"},
                  {E::EDIT86, std::to_string(el.node)},
                  {E::EDIT87, std::to_string(el.inclination)},
                  {E::EDIT88, std::to_string(el.perihelion)},
                  {E::EDIT90, "2000"},       {E::EDIT91, "1.5"}};
    form.combos[OrbitCombo::COMBO7] = 4;
    return form;
}

struct State {
    double r[3], v[3];
};

// Position and finite-difference velocity at t. The step is a small fraction of the local orbital
// time scale sqrt(r^3 / mu), long enough for the single-precision positions.
State stateAt(FakeForm& form, double t, double mu, double kmPerUnit, double daysPerUnit) {
    State s{};
    double before[3], after[3], epoch;
    float frame, ok;
    OOBJCAL(form, t, s.r[0], s.r[1], s.r[2], epoch, frame, ok);
    EXPECT_EQ(ok, 1);
    const double r = std::sqrt(s.r[0] * s.r[0] + s.r[1] * s.r[1] + s.r[2] * s.r[2]) / kmPerUnit;
    const double h = 3e-3 * std::sqrt(r * r * r / mu) * daysPerUnit;
    OOBJCAL(form, t - h, before[0], before[1], before[2], epoch, frame, ok);
    OOBJCAL(form, t + h, after[0], after[1], after[2], epoch, frame, ok);
    for (int i = 0; i < 3; ++i)
        s.v[i] = (after[i] - before[i]) / (2 * h);
    return s;
}

double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

} // namespace

TEST(Orbit, PositionsObeyTwoBodyMotion) {
    const Elements orbits[] = {
        {true, "0.7", "0.6", 80, 12, 30},      // an asteroid
        {true, "1.3", "1", 250, 140, 300},     // a retrograde parabolic comet
        {true, "0.4", "2.5", 10, 70, 200},     // a hyperbolic visitor
        {false, "7000", "0.01", 120, 51.6, 90}, // a satellite in low orbit
        {false, "6800", "1", 30, 10, 45},
        {false, "6600", "1.7", 300, 95, 10},
    };
    const double day0 = orbitFormDayNumber(2010, 4, 14.25);
    for (const Elements& el : orbits) {
        SCOPED_TRACE(testing::Message() << (el.sun ? "Sun" : "Earth") << " q " << el.q << " e " << el.e);
        FakeForm form = formOf(el);
        const double q = std::atof(el.q), e = std::atof(el.e);
        const double mu = el.sun ? gmSun : gmEarth;
        const double kmPerUnit = el.sun ? astronomicalUnit : 1;
        const double daysPerUnit = el.sun ? 365.25 : 1;
        const double O = el.node / degreesPerRadian, i = el.inclination / degreesPerRadian,
                     w = el.perihelion / degreesPerRadian;
        const double normal[3] = {std::sin(i) * std::sin(O), -std::sin(i) * std::cos(O), std::cos(i)};
        const double toPerihelion[3] = {std::cos(O) * std::cos(w) - std::sin(O) * std::sin(w) * std::cos(i),
                                        std::sin(O) * std::cos(w) + std::cos(O) * std::sin(w) * std::cos(i),
                                        std::sin(w) * std::sin(i)};
        for (double dt : {-40.0, -3.0, 0.01, 2.0, 30.0}) {
            const double t = day0 + dt * (el.sun ? 10 : 0.01);
            SCOPED_TRACE(testing::Message() << "t " << t);
            State s = stateAt(form, t, mu, kmPerUnit, daysPerUnit);
            for (double& c : s.r)
                c /= kmPerUnit;
            for (double& c : s.v)
                c = c / kmPerUnit * daysPerUnit;
            const double r = std::sqrt(dot(s.r, s.r));
            // On the conic, at the true anomaly measured from the perihelion direction.
            const double cosNu = dot(s.r, toPerihelion) / r;
            EXPECT_NEAR(r, q * (1 + e) / (1 + e * cosNu), 2e-6 * r);
            // In the plane of the node and inclination, moving forward around its normal.
            EXPECT_NEAR(dot(s.r, normal) / r, 0, 1e-6);
            const double momentum[3] = {s.r[1] * s.v[2] - s.r[2] * s.v[1], s.r[2] * s.v[0] - s.r[0] * s.v[2],
                                        s.r[0] * s.v[1] - s.r[1] * s.v[0]};
            EXPECT_NEAR(dot(momentum, normal) / std::sqrt(dot(momentum, momentum)), 1, 1e-5);
            // Vis-viva: the speed fits the size of the orbit.
            const double inverseA = e == 1 ? 0 : (1 - e) / q;
            EXPECT_NEAR(dot(s.v, s.v) / (mu * (2 / r - inverseA)), 1, 2e-4);
        }
    }
}

TEST(Orbit, ParabolaIsMirroredAboutPerihelion) {
    FakeForm form = formOf({true, "1", "1", 0, 0, 0});
    const double day0 = orbitFormDayNumber(2010, 4, 14.25);
    double x1, y1, z1, x2, y2, z2, epoch;
    float frame, ok;
    OOBJCAL(form, day0 + 20, x1, y1, z1, epoch, frame, ok);
    OOBJCAL(form, day0 - 20, x2, y2, z2, epoch, frame, ok);
    EXPECT_GT(y1, 0);
    EXPECT_LT(y2, 0);
    EXPECT_NEAR(x2, x1, 1e-6 * x1);
    EXPECT_NEAR(y2, -y1, 1e-6 * x1);
}

TEST(Orbit, ChoicesOfTheForm) {
    const double day0 = orbitFormDayNumber(2010, 4, 14.25);
    double X, Y, Z, epoch;
    float frame, ok;
    FakeForm plain = formOf({true, "1", "0.3", 40, 20, 60});
    OOBJCAL(plain, day0 + 100, X, Y, Z, epoch, frame, ok);
    EXPECT_EQ(frame, 1);
    EXPECT_EQ(epoch, 1.5);

    // A longitude of perihelion is the argument plus the node.
    FakeForm longitude = formOf({true, "1", "0.3", 40, 20, 100});
    longitude.radios[OrbitRadio::RADIO71] = 1;
    longitude.radios[OrbitRadio::RADIO74] = 0;
    longitude.radios[OrbitRadio::RADIO75] = 1;
    longitude.texts[E::EDIT90] = "1950";
    longitude.combos[OrbitCombo::COMBO8] = 0;
    longitude.texts[E::EDIT91] = "0.923";
    double X2, Y2, Z2;
    OOBJCAL(longitude, day0 + 100, X2, Y2, Z2, epoch, frame, ok);
    EXPECT_EQ(frame, 2);
    EXPECT_NEAR(epoch, orbitFormDayNumber(1950, 0, 0.923), 1e-9);
    EXPECT_NEAR(X2, X, 1e-6 * std::abs(X) + 1);
    EXPECT_NEAR(Y2, Y, 1e-6 * std::abs(X) + 1);

    // A mean anomaly of 90 degrees at the epoch is a quarter period after perihelion.
    FakeForm epochForm = formOf({true, "1", "0.3", 40, 20, 60});
    epochForm.radios[OrbitRadio::RADIO68] = 1;
    epochForm.texts[E::EDIT89] = "90";
    const double period = 2 * pi * std::sqrt(std::pow(1 / 0.7, 3) / gmSun) * 365.25;
    OOBJCAL(epochForm, day0 + 100, X2, Y2, Z2, epoch, frame, ok);
    OOBJCAL(plain, day0 + 100 + period / 4, X, Y, Z, epoch, frame, ok);
    EXPECT_NEAR(X2, X, 1e-5 * astronomicalUnit);
    EXPECT_NEAR(Y2, Y, 1e-5 * astronomicalUnit);
}

TEST(Orbit, UnusableElementsGiveNoPosition) {
    struct Case {
        const char* what;
        Elements el;
        E cleared;
    };
    const Case cases[] = {
        {"no inclination", {true, "1", "0.3", 40, 20, 60}, E::EDIT87},
        {"no node", {true, "1", "0.3", 40, 20, 60}, E::EDIT86},
        {"no perihelion angle", {true, "1", "0.3", 40, 20, 60}, E::EDIT88},
        {"no perihelion distance", {true, "1", "0.3", 40, 20, 60}, E::EDIT80},
        {"negative eccentricity", {true, "1", "-0.3", 40, 20, 60}, E::EDIT89},
        {"q beyond a", {true, "3", "", 40, 20, 60}, E::EDIT89},
        {"unreadable eccentricity", {true, "1", "x", 40, 20, 60}, E::EDIT89},
        {"too far out to hold", {true, "1e-60", "2", 40, 20, 60}, E::EDIT89},
    };
    for (const Case& c : cases) {
        FakeForm form = formOf(c.el);
        form.texts[c.cleared] = "";
        if (std::string(c.what) == "q beyond a")
            form.texts[E::EDIT81] = "2";
        double X = 7, Y = 7, Z = 7, epoch = 7;
        float frame = 7, ok = 7;
        OOBJCAL(form, 1e12, X, Y, Z, epoch, frame, ok);
        EXPECT_EQ(ok, 0) << c.what;
        EXPECT_TRUE(X == 7 && Y == 7 && Z == 7 && epoch == 7 && frame == 7) << c.what;
    }
}
