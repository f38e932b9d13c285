// Lambert Conformal Conic: set-ups, their rejections, both conversions, poles, wrapping and
// the error bits; the grid convergence of the cone.
#include "positioning/Lambert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

constexpr double Pi = 3.141592653589793;
constexpr double Deg = Pi / 180;
constexpr double A = 6378137.0;
constexpr double F = 1 / 298.257223563;

struct OneParallel {
  double a, f, origin, meridian, fe, fn, k0;
};

OneParallel storedOneParallel() {
  OneParallel s{};
  GetLambert1SPParameters(s.a, s.f, s.origin, s.meridian, s.fe, s.fn, s.k0);
  return s;
}

struct TwoParallel {
  double a, f, origin, meridian, sp1, sp2, fe, fn;
};

TwoParallel storedTwoParallel() {
  TwoParallel s{};
  GetLambert2SPParameters(s.a, s.f, s.origin, s.meridian, s.sp1, s.sp2, s.fe, s.fn);
  return s;
}

bool sameOneParallel(const OneParallel &x, const OneParallel &y) {
  return x.a == y.a && x.f == y.f && x.origin == y.origin && x.meridian == y.meridian &&
         x.fe == y.fe && x.fn == y.fn && x.k0 == y.k0;
}

bool sameTwoParallel(const TwoParallel &x, const TwoParallel &y) {
  return x.a == y.a && x.f == y.f && x.origin == y.origin && x.meridian == y.meridian &&
         x.sp1 == y.sp1 && x.sp2 == y.sp2 && x.fe == y.fe && x.fn == y.fn;
}

// Checks the start values; run first thing in a process. Returns the number of failures.
int initialStateFailures() {
  int failures = 0;
  const auto check = [&failures](bool ok, const char *what) {
    if (!ok) {
      std::fprintf(stderr, "failed: %s\n", what);
      ++failures;
    }
  };
  const OneParallel one = storedOneParallel();
  check(one.a == 6378137.0 && one.f == 0.0033528106647474805, "1SP ellipsoid");
  check(one.origin == 0.7853981633974483 && one.meridian == 0 && one.k0 == 1.0, "1SP origin");
  const TwoParallel two = storedTwoParallel();
  check(two.sp1 == 0.6981317007977318 && two.sp2 == 0.8726646259971648 &&
            two.origin == 0.7853981633974483,
        "2SP parallels");

  // The map timer's first tick converts before its first set-up.
  double e = -1, n = -1;
  check(GeodeticToLambert1SP(Pi / 4, 0, e, n) == 0, "1SP forward");
  check(e == 0 && std::fabs(n) < 1e-6, "1SP origin at the false origin");
  // A rejected set-up answers the stored n.
  check(SetLambert1SPParameters(A, F, 0, 0, 0, 0, 1) == 0.70710678118655, "rejected n");
  double e2 = -1, n2 = -1;
  check(GeodeticToLambert2SP(0.8, 0.05, e2, n2) == 0, "2SP forward");

  // The start values of the two-parallel set are those its set-up derives.
  SetLambert2SPParameters(A, F, 45 * Deg, 0, 40 * Deg, 50 * Deg, 0, 0);
  double e3 = -1, n3 = -1;
  GeodeticToLambert2SP(0.8, 0.05, e3, n3);
  check(std::fabs(e3 - e2) < 1e-6 && std::fabs(n3 - n2) < 1e-6, "2SP start values");
  return failures;
}

// The state lives as long as the process, so the start values are checked in a fresh copy of
// this test program that runs nothing else first.
TEST(LambertInitialStateTest, StartsWithTheWgs84SetsAndProjectsBeforeAnySetUp) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(initialStateFailures() == 0 ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST(Lambert1SPTest, TheOriginMapsToTheFalseOriginAndBack) {
  SetLambert1SPParameters(A, F, Pi / 4, 0, 500000, 0, 1);
  double e = 0, n = 0;
  ASSERT_EQ(GeodeticToLambert1SP(Pi / 4, 0, e, n), 0);
  EXPECT_EQ(e, 500000);
  EXPECT_EQ(n, 0);
  double lat = 0, lon = 1;
  ASSERT_EQ(LambertToGeodetic(500000, 0, lat, lon), 0);
  EXPECT_NEAR(lat, Pi / 4, 1e-12);
  EXPECT_EQ(lon, 0);
}

TEST(Lambert1SPTest, RejectedSetUpsStoreNothingAndAnswerTheStoredN) {
  const double n = SetLambert1SPParameters(A, F, 30 * Deg, 10 * Deg, 1000, 2000, 0.9999);
  EXPECT_DOUBLE_EQ(n, 0.5);
  const OneParallel before = storedOneParallel();
  struct Case {
    OneParallel p;
    const char *why;
  } cases[] = {
      {{A, F, 0, 0, 0, 0, 1}, "origin latitude 0"},
      {{0, F, 0.5, 0, 0, 0, 1}, "a = 0"},
      {{-A, F, 0.5, 0, 0, 0, 1}, "a < 0"},
      {{A, 1 / 249.0, 0.5, 0, 0, 0, 1}, "1/f < 250"},
      {{A, 1 / 351.0, 0.5, 0, 0, 0, 1}, "1/f > 350"},
      {{A, 0, 0.5, 0, 0, 0, 1}, "f = 0"},
      {{A, F, 1.5707915, 0, 0, 0, 1}, "origin beyond 89°59'59\""},
      {{A, F, -1.5707915, 0, 0, 0, 1}, "origin beyond -89°59'59\""},
      {{A, F, 0.5, -Pi - 1e-9, 0, 0, 1}, "meridian below -pi"},
      {{A, F, 0.5, 2 * Pi + 1e-9, 0, 0, 1}, "meridian above 2 pi"},
      {{A, F, 0.5, 0, 0, 0, 0.29}, "k0 below 0.3"},
      {{A, F, 0.5, 0, 0, 0, 3.01}, "k0 above 3"},
      {{NAN, F, 0.5, 0, 0, 0, 1}, "a NaN"},
      {{A, F, NAN, 0, 0, 0, 1}, "origin NaN"},
      {{A, F, 0.5, 0, INFINITY, 0, 1}, "false easting infinite"},
      {{A, F, 0.5, 0, 0, NAN, 1}, "false northing NaN"},
      {{A, F, 0.5, 0, 0, 0, NAN}, "k0 NaN"},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(
        SetLambert1SPParameters(c.p.a, c.p.f, c.p.origin, c.p.meridian, c.p.fe, c.p.fn, c.p.k0), n)
        << c.why;
    EXPECT_TRUE(sameOneParallel(storedOneParallel(), before)) << c.why;
  }
}

TEST(Lambert1SPTest, MeridiansAbovePiAreStoredLessTwoPi) {
  SetLambert1SPParameters(A, F, 0.5, 4, 0, 0, 1);
  EXPECT_DOUBLE_EQ(storedOneParallel().meridian, 4 - 2 * Pi);
  SetLambert2SPParameters(A, F, 0.5, 4, 0.4, 0.6, 0, 0);
  EXPECT_DOUBLE_EQ(storedTwoParallel().meridian, 4 - 2 * Pi);
}

TEST(Lambert1SPTest, ThePoleOnTheConeSideIsTheApexAndTheOtherIsRefused) {
  SetLambert1SPParameters(A, F, Pi / 4, 0.2, 300000, 100000, 0.9999);
  // ρolat = a·k0·m0/n, with m0 = cos φ0 / √(1 − e² sin² φ0).
  const double e2 = 2 * F - F * F;
  const double m0 = std::cos(Pi / 4) / std::sqrt(1 - e2 * 0.5);
  const double rhoOlat = A * 0.9999 * m0 / std::sin(Pi / 4);
  for (double lat : {Pi / 2, Pi / 2 - 5e-11}) {
    double e = 0, n = 0;
    ASSERT_EQ(GeodeticToLambert1SP(lat, 1.0, e, n), 0);
    EXPECT_EQ(e, 300000);
    EXPECT_NEAR(n, rhoOlat + 100000, 1e-6);
  }
  double e = 7, n = 8;
  EXPECT_EQ(GeodeticToLambert1SP(-Pi / 2, 1.0, e, n), 1);
  EXPECT_EQ(e, 7);
  EXPECT_EQ(n, 8);
  // The apex comes back as the pole on the central meridian.
  double lat = 0, lon = 0;
  ASSERT_EQ(LambertToGeodetic(300000, rhoOlat + 100000, lat, lon), 0);
  EXPECT_EQ(lat, Pi / 2);
  EXPECT_EQ(lon, 0.2);

  // A cone opening north (southern origin) mirrors all of it.
  SetLambert1SPParameters(A, F, -Pi / 4, 0, 0, 0, 1);
  EXPECT_EQ(GeodeticToLambert1SP(Pi / 2, 0, e, n), 1);
  EXPECT_EQ(GeodeticToLambert1SP(-Pi / 2, 0, e, n), 0);
  EXPECT_EQ(e, 0);
}

TEST(Lambert1SPTest, LongitudesBeyondPiAreWrappedBeforeTheConeConstant) {
  SetLambert1SPParameters(A, F, 0.7, 0, 0, 0, 1);
  double e1 = 0, n1 = 0, e2 = 0, n2 = 0;
  ASSERT_EQ(GeodeticToLambert1SP(0.6, 4, e1, n1), 0);
  ASSERT_EQ(GeodeticToLambert1SP(0.6, 4 - 2 * Pi, e2, n2), 0);
  EXPECT_NEAR(e1, e2, 1e-6);
  EXPECT_NEAR(n1, n2, 1e-6);
  EXPECT_LT(e1, 0); // west of the central meridian
}

TEST(Lambert1SPTest, ConversionsOutsideTheirRangesGiveBitsAndLeaveTheResultsAlone) {
  SetLambert1SPParameters(A, F, 0.7, 0.1, 500000, 200000, 1);
  struct Forward {
    double lat, lon;
    int bits;
  } forwards[] = {{1.6, 0, 1},    {-1.6, 0, 1},  {0.5, 6.3, 2},   {0.5, -3.2, 2},
                  {2, 7, 3},      {NAN, 0, 1},   {0.5, NAN, 2},   {NAN, INFINITY, 3},
                  {0.5, 6.28, 0}, {0.5, -Pi, 0}, {-Pi / 2, 0, 1}, {Pi / 2, 0, 0}};
  for (const Forward &c : forwards) {
    double e = 11, n = 12;
    EXPECT_EQ(GeodeticToLambert1SP(c.lat, c.lon, e, n), c.bits) << c.lat << " " << c.lon;
    if (c.bits) {
      EXPECT_EQ(e, 11);
      EXPECT_EQ(n, 12);
    }
  }
  struct Inverse {
    double e, n;
    int bits;
  } inverses[] = {{500000 + 40000000.5, 200000, 4},
                  {500000 - 40000000.5, 200000, 4},
                  {500000, 200000 + 40000000.5, 8},
                  {500000, 200000 - 40000000.5, 8},
                  {-4e7, 5e7, 12},
                  {NAN, 200000, 4},
                  {500000, INFINITY, 8}};
  for (const Inverse &c : inverses) {
    double lat = 11, lon = 12;
    EXPECT_EQ(LambertToGeodetic(c.e, c.n, lat, lon), c.bits) << c.e << " " << c.n;
    EXPECT_EQ(lat, 11);
    EXPECT_EQ(lon, 12);
  }
}

TEST(Lambert1SPTest, InverseUndoesTheForward) {
  for (double origin : {0.9, -0.6}) {
    SetLambert1SPParameters(A, F, origin, 0.5, 600000, 2000000, 0.99987742);
    // Far beyond the opposite pole's side the eastings leave the accepted band.
    for (double coneSideLat : {-1.0, -0.3, 0.0, 0.4, 0.9, 1.4})
      for (double lon : {-2.5, 0.0, 0.45, 0.55, 1.5, 3.0}) {
        const double lat = origin > 0 ? coneSideLat : -coneSideLat;
        double e = 0, n = 0, back_lat = 0, back_lon = 0;
        ASSERT_EQ(GeodeticToLambert1SP(lat, lon, e, n), 0);
        ASSERT_EQ(LambertToGeodetic(e, n, back_lat, back_lon), 0) << lat << " " << lon;
        EXPECT_NEAR(back_lat, lat, 1e-11) << lat << " " << lon;
        EXPECT_NEAR(back_lon, lon, 1e-11) << lat << " " << lon;
      }
  }
}

TEST(Lambert2SPTest, DerivesTheEquivalentOneParallelSet) {
  const double n = SetLambert2SPParameters(A, F, 45 * Deg, 0, 40 * Deg, 50 * Deg, 0, 0);
  EXPECT_NEAR(n, 0.7080207452, 1e-10);
  const OneParallel one = storedOneParallel();
  EXPECT_NEAR(one.origin, 0.7866915404, 1e-10);
  EXPECT_NEAR(one.k0, 0.9962042475, 1e-10);
  EXPECT_NEAR(one.fn, 8204.2214, 1e-4);
  EXPECT_DOUBLE_EQ(std::sin(one.origin), n);
  // The origin latitude's central-meridian point gets the false northing.
  double e = 1, north = 1;
  ASSERT_EQ(GeodeticToLambert2SP(45 * Deg, 0, e, north), 0);
  EXPECT_NEAR(e, 0, 1e-9);
  EXPECT_NEAR(north, 0, 1e-7);
}

TEST(Lambert2SPTest, EqualParallelsAreTheOneParallelForm) {
  EXPECT_DOUBLE_EQ(SetLambert2SPParameters(A, F, 0.3, 0, 30 * Deg, 30 * Deg, 100, 200), 0.5);
  const OneParallel one = storedOneParallel();
  EXPECT_DOUBLE_EQ(one.origin, 30 * Deg);
  EXPECT_EQ(one.k0, 1.0);
  EXPECT_EQ(one.fn, 200);
  EXPECT_EQ(one.fe, 100);
}

TEST(Lambert2SPTest, RejectedSetUpsStoreNothing) {
  SetLambert2SPParameters(A, F, 0.5, 0.1, 0.4, 0.6, 10, 20);
  const TwoParallel before = storedTwoParallel();
  const double n = SetLambert1SPParameters(A, F, 0.3, 0, 0, 0, 1);
  struct Case {
    TwoParallel p;
    const char *why;
  } cases[] = {
      {{A, F, 0.5, 0, 30 * Deg, -30 * Deg, 0, 0}, "parallels mirror each other"},
      {{A, F, 0.5, 0, 0, 0, 0, 0}, "both parallels 0"},
      {{A, F, 0.5, 0, 0.4, 1.5707915, 0, 0}, "parallel beyond 89°59'59\""},
      {{A, F, 1.58, 0, 0.4, 0.6, 0, 0}, "origin beyond the pole"},
      {{A, 1 / 200.0, 0.5, 0, 0.4, 0.6, 0, 0}, "1/f < 250"},
      {{-1, F, 0.5, 0, 0.4, 0.6, 0, 0}, "a < 0"},
      {{A, F, 0.5, 6.3, 0.4, 0.6, 0, 0}, "meridian above 2 pi"},
      {{A, F, 0.5, 0, NAN, 0.6, 0, 0}, "parallel NaN"},
      {{A, F, 0.5, 0, 0.4, 0.6, 0, INFINITY}, "false northing infinite"},
      // The equivalent one-parallel set would have origin latitude 0 and be refused, leaving
      // the conversions to project with whatever one-parallel set was there before.
      {{A, F, 0.5, 0, 0, 5e-11, 0, 0}, "equivalent origin latitude 0"},
      {{A, F, 0.5, 0, -80 * Deg, 85 * Deg, 0, 0}, "equivalent scale factor about 0.13"},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(SetLambert2SPParameters(c.p.a, c.p.f, c.p.origin, c.p.meridian, c.p.sp1, c.p.sp2,
                                      c.p.fe, c.p.fn),
              n)
        << c.why;
    EXPECT_TRUE(sameTwoParallel(storedTwoParallel(), before)) << c.why;
  }
  EXPECT_DOUBLE_EQ(storedOneParallel().origin, 0.3);
}

TEST(Lambert2SPTest, ConversionsUseTheStoredTwoParallelSet) {
  SetLambert2SPParameters(A, F, 46.5 * Deg, 3 * Deg, 44 * Deg, 49 * Deg, 700000, 6600000);
  double e = 0, n = 0;
  ASSERT_EQ(GeodeticToLambert2SP(48.85 * Deg, 2.35 * Deg, e, n), 0);
  // Another one-parallel set-up in between changes nothing for the two-parallel conversions.
  SetLambert1SPParameters(A, F, 0.3, 0, 0, 0, 1);
  double e2 = 0, n2 = 0, lat = 0, lon = 0;
  ASSERT_EQ(GeodeticToLambert2SP(48.85 * Deg, 2.35 * Deg, e2, n2), 0);
  EXPECT_EQ(e2, e);
  EXPECT_EQ(n2, n);
  SetLambert1SPParameters(A, F, 0.3, 0, 0, 0, 1);
  ASSERT_EQ(LambertToGeodetic2SP(e, n, lat, lon), 0);
  EXPECT_NEAR(lat, 48.85 * Deg, 1e-11);
  EXPECT_NEAR(lon, 2.35 * Deg, 1e-11);
  // ...and leave the equivalent set in force for the one-parallel getter.
  EXPECT_NE(storedOneParallel().origin, 0.3);

  double a = 5, b = 6;
  EXPECT_EQ(GeodeticToLambert2SP(NAN, 9, a, b), 3);
  EXPECT_EQ(LambertToGeodetic2SP(700000, 6600000 + 4.1e7, a, b), 8);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 6);
}

// The cone constant times the longitude from the central meridian, with the sign turned: grid
// north leans east of true north east of the central meridian, so the angle added is negative.
TEST(LambertGridConvergenceTest, HasTheTransverseMercatorSign) {
  EXPECT_NEAR(positioning::LambertGridConvergence(0.6, 5, 3), -1.2, 1e-12);
  EXPECT_NEAR(positioning::LambertGridConvergence(0.6, 1, 3), 1.2, 1e-12);
}

} // namespace
