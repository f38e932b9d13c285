// Geodesy toolkit: worked values, text formats and the failure results of every routine.
#include "positioning/Geodesy.h"

#include "GeodesyTestSupport.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <regex>

using geodesytest::numbersOf;

namespace {

const std::string Wgs84Ellipsoid = "6378137.0 0.0033528106647474 6378137 0.0033528106647474";
const std::string Tm27 = "27 0 0.9996 500000 0";
// WGS84 source with a null set, then a WGS84 target with a null set.
const std::string NullDatum = "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 "
                              "6378137 0.0033528106647474 0 0 0 0 0 0 0";

const std::regex TwoNumbers(R"(^\S+ \S+$)");
const std::regex ThreeTabbed(R"(^[^\s]+\t[^\s]+\t[^\s]+$)");

TEST(ConvertAngleTest, KnowsOnlyItsFourUnitLetters) {
  // π is the 64-bit value, also in extended arithmetic.
  const long double pi = 3.141592653589793;
  EXPECT_EQ(ConvertAngle(180, "R"), pi);
  EXPECT_EQ(ConvertAngle(180, "r"), pi);
  EXPECT_EQ(ConvertAngle(pi, "D"), 180.0L);
  EXPECT_EQ(ConvertAngle(pi, "d"), 180.0L);
  for (const char *unit : {"", "rad", "deg", "x", " R"})
    EXPECT_EQ(ConvertAngle(180, unit), 0.0L) << '"' << unit << '"';
}

TEST(ProjectTMTest, GivesTheWorkedGridCoordinates) {
  struct Case {
    const char *point;
    long double easting, northing;
  } cases[] = {{"41 27", 500000.0L, 4538757.062L}, {"41 29", 668207.885L, 4540683.529L}};
  for (const Case &c : cases) {
    const std::string text = ProjectTM(c.point, Tm27, Wgs84Ellipsoid);
    ASSERT_TRUE(std::regex_match(text, TwoNumbers)) << text;
    const auto en = numbersOf(text);
    ASSERT_EQ(en.size(), 2u);
    EXPECT_NEAR(en[0], c.easting, 0.0005L) << c.point;
    EXPECT_NEAR(en[1], c.northing, 0.0005L) << c.point;
  }
  // On the central meridian the easting is the false easting itself, written as a whole number.
  EXPECT_EQ(ProjectTM("41 27", Tm27, Wgs84Ellipsoid).substr(0, 7), "500000 ");
}

TEST(ProjectTMTest, ReadsAnyWhiteSpaceAndSkipsTheTwoLeadingEllipsoidWords) {
  const std::string expected = ProjectTM("41 29", Tm27, Wgs84Ellipsoid);
  EXPECT_EQ(ProjectTM("\t41\t 29 ", "27\t0 0.9996  500000\t0", Wgs84Ellipsoid), expected);
  EXPECT_EQ(ProjectTM("41 29", Tm27, "WGS84 ignored 6378137 0.0033528106647474"), expected);
  // A skipped word holds at most 20 characters: a longer one counts as two.
  EXPECT_EQ(ProjectTM("41 29", Tm27, "abcdefghijklmnopqrstuvwxyz 6378137 0.0033528106647474"),
            expected);
  EXPECT_EQ(ProjectTM("+41 29 trailing words", Tm27, Wgs84Ellipsoid), expected);
}

TEST(ProjectTMTest, FailsWithZeroTextForPointsAndParametersItCannotUse) {
  struct Case {
    const char *point, *tm, *ellipsoid;
  } cases[] = {
      {"41", "27 0 0.9996 500000 0", nullptr},
      {"", "27 0 0.9996 500000 0", nullptr},
      {"north 29", "27 0 0.9996 500000 0", nullptr},
      {"41,5 29", "27 0 0.9996 500000 0", nullptr}, // the comma ends the first number
      {"nan 29", "27 0 0.9996 500000 0", nullptr},
      {"41 inf", "27 0 0.9996 500000 0", nullptr},
      {"41 1e5000", "27 0 0.9996 500000 0", nullptr},
      // Finite in extended precision, but beyond what a 64-bit number text can hold.
      {"41 1e300", "27 0 0.9996 500000 0", nullptr},
      {"41 29", "27 0 0.9996 500000", nullptr},
      {"41 29", "27 0 nan 500000 0", nullptr},
      {"41 29", "27 0 0.9996 500000 0", "6378137 0.0033528106647474 6378137"},
      {"41 29", "27 0 0.9996 500000 0", "6378137 0.0033528106647474"},
      {"41 29", "27 0 0.9996 500000 0", "a b nan 0.0033528106647474"},
      {"41 29", "27 0 0.9996 500000 0", "a b 6378137 3"}, // no ellipsoid with f > 2
  };
  for (const Case &c : cases)
    EXPECT_EQ(ProjectTM(c.point, c.tm, c.ellipsoid ? c.ellipsoid : Wgs84Ellipsoid), "0")
        << c.point << " | " << c.tm << " | " << (c.ellipsoid ? c.ellipsoid : "");
}

TEST(ProjectTMTest, WritesPointDecimalsWhateverTheLocale) {
  const std::string classic = ProjectTM("41 29", Tm27, Wgs84Ellipsoid);
  if (!std::setlocale(LC_NUMERIC, "de_DE.utf8"))
    FAIL() << "locale de_DE.UTF-8 is not installed; scripts/install-deps generates it";
  const std::string german = ProjectTM("41 29", Tm27, Wgs84Ellipsoid);
  const std::string helmert = HelmertTransform("Local", "4000000.5 2000000 4500000 1 0 0 0 0 0 0");
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(german, classic);
  EXPECT_EQ(helmert.find(','), std::string::npos) << helmert;
  EXPECT_NE(helmert, "0");
}

TEST(GeodeticToECEFTest, WritesThreeTabSeparatedGeneralNumbers) {
  EXPECT_EQ(GeodeticToECEF(0, 0, 0, 6378137, 0.0033528106647474L), "6378137\t0\t0");
  // More than 15 digits before the point: scientific form with 15 significant digits.
  EXPECT_EQ(GeodeticToECEF(0, 0, 1e15L, 6378137, 0.0033528106647474L), "1.00000000637814E15\t0\t0");
  const std::string text = GeodeticToECEF(41, 29, 100, 6378137, 0.0033528106647474L);
  ASSERT_TRUE(std::regex_match(text, ThreeTabbed)) << text;
  const auto xyz = numbersOf(text);
  ASSERT_EQ(xyz.size(), 3u);
  // Against an independent evaluation (PROJ's cart, 6 decimals).
  EXPECT_NEAR(xyz[0], 4216249.910680L, 1e-5L);
  EXPECT_NEAR(xyz[1], 2337105.488677L, 1e-5L);
  EXPECT_NEAR(xyz[2], 4162488.806589L, 1e-5L);
}

TEST(GeodeticToECEFTest, NonFiniteInputGivesTheFailureText) {
  const long double nan = NAN, inf = INFINITY;
  EXPECT_EQ(GeodeticToECEF(nan, 29, 0, 6378137, 0.0033528106647474L), "0");
  EXPECT_EQ(GeodeticToECEF(41, 29, inf, 6378137, 0.0033528106647474L), "0");
  EXPECT_EQ(GeodeticToECEF(41, 29, 0, 6378137, 3), "0"); // e² < 0: no real eccentricity
  EXPECT_EQ(GeodeticToECEF(41, 29, 1e400L, 6378137, 0.0033528106647474L), "0");
}

// A heap matrix the way the toolkit builds them.
long double **matrixOf(std::initializer_list<std::initializer_list<long double>> rows) {
  auto **m = new long double *[rows.size()];
  int r = 0;
  for (const auto &row : rows) {
    m[r] = new long double[row.size()];
    int c = 0;
    for (long double v : row)
      m[r][c++] = v;
    ++r;
  }
  return m;
}

TEST(MatrixTest, InverseTimesTheOriginalIsTheIdentity) {
  long double **original = matrixOf({{4, 7, 2}, {3, 6, 1}, {2, 5, 3}});
  long double **inverse = matrixOf({{4, 7, 2}, {3, 6, 1}, {2, 5, 3}});
  ASSERT_EQ(MatrixInverse(inverse, 3), inverse);
  // det = 9; known elements of the inverse pin down the sign handling.
  EXPECT_NEAR(inverse[0][0], 13.0L / 9, 1e-15L);
  EXPECT_NEAR(inverse[0][1], -11.0L / 9, 1e-15L);
  long double **product = MatrixMultiply(inverse, 3, 3, original, 3, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(product[r][c], r == c ? 1.0L : 0.0L, 1e-15L) << r << "," << c;
  FreeMatrix(product, 3);
  FreeMatrix(inverse, 3);
  FreeMatrix(original, 3);
}

TEST(MatrixTest, MultiplyGivesRowsOfAByColumnsOfB) {
  long double **a = matrixOf({{1, 2, 3}, {4, 5, 6}});
  long double **b = matrixOf({{1}, {0}, {-1}});
  long double **c = MatrixMultiply(a, 2, 3, b, 3, 1);
  EXPECT_EQ(c[0][0], -2.0L);
  EXPECT_EQ(c[1][0], -2.0L);
  FreeMatrix(c, 2);
  FreeMatrix(b, 3);
  FreeMatrix(a, 2);
}

TEST(MatrixTest, ZeroPivotGivesNullAndLeavesTheMatrixAsItWas) {
  // Singular, and invertible only with a row exchange, which the routine does not make.
  for (auto rows :
       {std::initializer_list<std::initializer_list<long double>>{{1, 2, 3}, {2, 4, 6}, {1, 0, 1}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}) {
    long double **m = matrixOf(rows);
    long double **copy = matrixOf(rows);
    EXPECT_EQ(MatrixInverse(m, 3), nullptr);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c)
        EXPECT_EQ(m[r][c], copy[r][c]);
    FreeMatrix(copy, 3);
    FreeMatrix(m, 3);
  }
}

const std::string Point = "4216249.91068 2337105.488677 4162488.806589";
const std::string TurkishSet = "-1.2 0.4586 -1.0502 0.3655 -84.003 -102.315 -129.879";

TEST(HelmertTransformTest, NullSetLeavesThePointAsItWas) {
  EXPECT_EQ(HelmertTransform("WGS", Point + " 0 0 0 0 0 0 0"),
            "4216249.91068\t2337105.488677\t4162488.806589");
  // Tiny values are written in scientific form, which scanning reads back.
  EXPECT_EQ(HelmertTransform("WGS", "0.0000015 -2e-7 0 0 0 0 0 0 0 0"), "1.5E-6\t-2E-7\t0");
}

TEST(HelmertTransformTest, InverseUndoesTheForwardAndAnyOtherWordIsTheInverse) {
  const std::string forward = HelmertTransform("WGS", Point + " " + TurkishSet);
  ASSERT_TRUE(std::regex_match(forward, ThreeTabbed)) << forward;
  EXPECT_NE(forward, HelmertTransform("Local", Point + " " + TurkishSet));
  EXPECT_EQ(HelmertTransform("wgs", Point + " " + TurkishSet),
            HelmertTransform("Local", Point + " " + TurkishSet));
  EXPECT_EQ(HelmertTransform("", Point + " " + TurkishSet),
            HelmertTransform("Local", Point + " " + TurkishSet));

  const auto back = numbersOf(HelmertTransform("Local", forward + " " + TurkishSet));
  const auto start = numbersOf(Point);
  ASSERT_EQ(back.size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(back[i], start[i], 2e-8L); // the last of 15 digits of a 7-digit coordinate
}

TEST(HelmertTransformTest, RotatesTheFrameNotThePoint) {
  // +1″ about Z turns the frame eastward, so a point on the X axis moves to negative Y.
  const auto xyz = numbersOf(HelmertTransform("WGS", "6378137 0 0 0 0 0 1 0 0 0"));
  ASSERT_EQ(xyz.size(), 3u);
  EXPECT_NEAR(xyz[1], -6378137 * (3.141592653589793L / 180 / 3600), 1e-6L);
}

TEST(HelmertTransformTest, FailsWithZeroText) {
  for (const std::string &text :
       {std::string("1 2 3 0 0 0 0 0 0"), std::string(""), Point + " 0 0 0 nan 0 0 0",
        std::string("inf 2 3 0 0 0 0 0 0 0"), Point + " 0 0 0 0 0 0 x"}) {
    EXPECT_EQ(HelmertTransform("WGS", text), "0") << text;
    EXPECT_EQ(HelmertTransform("Local", text), "0") << text;
  }
  // A scale of −1,000,000 ppm makes s·R singular: no inverse exists.
  EXPECT_EQ(HelmertTransform("Local", Point + " -1000000 0 0 0 0 0 0"), "0");
  EXPECT_EQ(HelmertTransform("WGS", Point + " -1000000 0 0 0 0 0 0"), "0\t0\t0");
}

TEST(ECEFToGeodeticTest, GivesDegreesWithEightDecimalsAndHeightWithTwo) {
  const auto xyz = numbersOf(GeodeticToECEF(41, 29, 100, 6378137, 0.0033528106647474L));
  EXPECT_EQ(ECEFToGeodetic(xyz[0], xyz[1], xyz[2], 6378137, 0.0033528106647474L),
            "41.00000000\t29.00000000\t100.00");
}

TEST(ECEFToGeodeticTest, EveryQuadrantComesBackWithItsOwnLongitude) {
  struct Case {
    long double lat, lon, h;
    const char *expected;
  } cases[] = {
      {-33.5, 151.25, 12.5, "-33.50000000\t151.25000000\t12.50"},
      {60, -120, -30, "60.00000000\t-120.00000000\t-30.00"},
      {-0.000001, -179.99, 0, "-0.00000100\t-179.99000000\t0.00"},
      {89.9, 45, 2000, "89.90000000\t45.00000000\t2000.00"},
  };
  for (const Case &c : cases) {
    const auto xyz = numbersOf(GeodeticToECEF(c.lat, c.lon, c.h, 6378137, 0.0033528106647474L));
    ASSERT_EQ(xyz.size(), 3u);
    EXPECT_EQ(ECEFToGeodetic(xyz[0], xyz[1], xyz[2], 6378137, 0.0033528106647474L), c.expected);
  }
}

TEST(ECEFToGeodeticTest, GivesTheEmptyTextWhereThereIsNoAnswer) {
  const long double f = 0.0033528106647474L, nan = NAN, inf = INFINITY;
  EXPECT_EQ(ECEFToGeodetic(0, 0, 6356752.3, 6378137, f), "");  // north pole
  EXPECT_EQ(ECEFToGeodetic(0, 0, -6356752.3, 6378137, f), ""); // south pole
  EXPECT_EQ(ECEFToGeodetic(0, 0, 0, 6378137, f), "");          // the centre
  EXPECT_EQ(ECEFToGeodetic(nan, 1, 1, 6378137, f), "");
  EXPECT_EQ(ECEFToGeodetic(1, inf, 1, 6378137, f), "");
  EXPECT_EQ(ECEFToGeodetic(4e6, 1e6, 4e6, nan, f), "");
}

TEST(ECEFToGeodeticTest, StopsWhenTheLatitudeNeverSettles) {
  // Near the polar axis deep inside the earth, and inside a very flat ellipsoid, the fixed-point
  // iteration keeps jumping: without a limit on the passes these calls would never return.
  // (Points near the surface settle within six passes.)
  EXPECT_EQ(ECEFToGeodetic(1, 0, 37049, 6378137, 0.0033528106647474L), "");
  EXPECT_EQ(ECEFToGeodetic(100, 0, 851855, 6378137, 0.1L), "");
}

TEST(DatumTransformTest, NullSetsOnOneEllipsoidGiveThePointBack) {
  EXPECT_EQ(DatumTransform("BLH", "41 29 100", NullDatum), "41.00000000\t29.00000000\t100.00");
  EXPECT_EQ(DatumTransform("XYZ", "41 29 100", NullDatum),
            GeodeticToECEF(41, 29, 100, 6378137, 0.0033528106647474L));
  EXPECT_EQ(DatumTransform("anything", "41\t29\t100", NullDatum),
            DatumTransform("BLH", "41 29 100", NullDatum));
}

TEST(DatumTransformTest, FailsWithZeroTextForMissingOrNonFiniteNumbers) {
  for (const char *point : {"41 29", "", "41 29 h", "nan 29 0", "41 29 -inf"})
    for (const char *mode : {"BLH", "XYZ"})
      EXPECT_EQ(DatumTransform(mode, point, NullDatum), "0") << mode << " " << point;
  // Seventeen numbers only, and a set with a NaN rotation.
  EXPECT_EQ(DatumTransform("BLH", "41 29 0", NullDatum.substr(0, NullDatum.rfind(' '))), "0");
  EXPECT_EQ(DatumTransform("BLH", "41 29 0",
                           "6378137 0.0033528106647474 0 0 nan 0 0 0 0 "
                           "6378137 0.0033528106647474 0 0 0 0 0 0 0"),
            "0");
  // A singular target set: the inverse transform has no answer.
  EXPECT_EQ(DatumTransform("XYZ", "41 29 0",
                           "6378137 0.0033528106647474 0 0 0 0 0 0 0 "
                           "6378137 0.0033528106647474 -1000000 0 0 0 0 0 0"),
            "0");
}

TEST(ProjectBLHTest, WithNullSetsItIsTheProjectionOfThePoint) {
  EXPECT_EQ(ProjectBLH("41 29", NullDatum, Tm27, Wgs84Ellipsoid),
            ProjectTM("41 29", Tm27, Wgs84Ellipsoid));
  // The datum step keeps 8 decimals of degree, about a millimetre.
  const auto direct = numbersOf(ProjectTM("41.123456789 29.987654321", Tm27, Wgs84Ellipsoid));
  const auto chained =
      numbersOf(ProjectBLH("41.123456789 29.987654321", NullDatum, Tm27, Wgs84Ellipsoid));
  ASSERT_EQ(chained.size(), 2u);
  EXPECT_NEAR(chained[0], direct[0], 0.001L);
  EXPECT_NEAR(chained[1], direct[1], 0.001L);
}

// The fixed 8-decimal degrees of a datum result, as the general form writes them again.
std::string generalOfFixed(std::string fixed) {
  fixed.erase(fixed.find_last_not_of('0') + 1);
  if (fixed.back() == '.')
    fixed.pop_back();
  return fixed;
}

TEST(ProjectBLHTest, ProjectsTheRoundedDatumResultAtHeightZero) {
  // WGS84 into ED50 on the International ellipsoid, projected on that ellipsoid.
  const std::string ed50 = "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 "
                           "6378388 0.003367003367003367 " +
                           TurkishSet;
  const std::string international = "6378137.0 0.0033528106647474 6378388 0.003367003367003367";
  struct Case {
    const char *point;      // what the caller passes
    const char *datumPoint; // what the datum step then reads
  } cases[] = {
      {"41.123456789 29.987654321", "41.123456789 29.987654321 0"},
      {"-33.9 18.4", "-33.9 18.4 0"},
      // A third number is taken as the height, the appended 0 is then left over.
      {"41.123456789 29.987654321 100", "41.123456789 29.987654321 100"},
  };
  for (const Case &c : cases) {
    const std::string datum = DatumTransform("BLH", c.datumPoint, ed50);
    const std::size_t tab1 = datum.find('\t'), tab2 = datum.find('\t', tab1 + 1);
    ASSERT_NE(tab2, std::string::npos) << datum;
    const std::string rounded = generalOfFixed(datum.substr(0, tab1)) + " " +
                                generalOfFixed(datum.substr(tab1 + 1, tab2 - tab1 - 1));
    EXPECT_EQ(ProjectBLH(c.point, ed50, Tm27, international),
              ProjectTM(rounded, Tm27, international))
        << c.point << " -> " << rounded;
  }
}

TEST(ProjectBLHTest, FailsWithZeroText) {
  EXPECT_EQ(ProjectBLH("41", NullDatum, Tm27, Wgs84Ellipsoid), "0");
  EXPECT_EQ(ProjectBLH("nan 29", NullDatum, Tm27, Wgs84Ellipsoid), "0");
  EXPECT_EQ(ProjectBLH("41 29", "6378137 0.0033528106647474", Tm27, Wgs84Ellipsoid), "0");
  EXPECT_EQ(ProjectBLH("90 29", NullDatum, Tm27, Wgs84Ellipsoid), "0"); // pole: no datum result
  EXPECT_EQ(ProjectBLH("41 29", NullDatum, "27 0 0.9996", Wgs84Ellipsoid), "0");
}

TEST(TMScaleOrConvergenceTest, GivesTheWorkedConvergenceAndScale) {
  const double f = 0.0033528106647474;
  EXPECT_NEAR(TMScaleOrConvergence("GrdConv", 6378137, f, 41, 29, 27, 0, 0.9996, 500000, 0),
              -1.312425L, 5e-7L);
  EXPECT_NEAR(TMScaleOrConvergence("PtScFac", 6378137, f, 41, 29, 27, 0, 0.9996, 500000, 0),
              0.9999482L, 5e-8L);
  EXPECT_EQ(TMScaleOrConvergence("GrdConv", 6378137, f, 41, 27, 27, 0, 0.9996, 500000, 0), 0);
  EXPECT_EQ(TMScaleOrConvergence("PtScFac", 6378137, f, 41, 27, 27, 0, 0.9996, 500000, 0),
            static_cast<long double>(0.9996));
  // West of the central meridian the convergence changes sign.
  EXPECT_NEAR(TMScaleOrConvergence("GrdConv", 6378137, f, 41, 25, 27, 0, 0.9996, 500000, 0),
              1.312425L, 5e-7L);
}

TEST(TMScaleOrConvergenceTest, UnknownSelectorsAndNonFiniteValuesGiveZero) {
  const double f = 0.0033528106647474, nan = NAN;
  for (const char *selector : {"grdconv", "ptscfac", "", "GrdConv ", "Scale"})
    EXPECT_EQ(TMScaleOrConvergence(selector, 6378137, f, 41, 29, 27, 0, 0.9996, 500000, 0), 0)
        << selector;
  EXPECT_EQ(TMScaleOrConvergence("GrdConv", 6378137, f, nan, 29, 27, 0, 0.9996, 500000, 0), 0);
  EXPECT_EQ(TMScaleOrConvergence("PtScFac", 6378137, f, 41, 29, 27, 0, INFINITY, 500000, 0), 0);
  // Values that are not read do not matter.
  EXPECT_NEAR(TMScaleOrConvergence("GrdConv", 6378137, f, 41, 29, 27, nan, 0.9996, nan, nan),
              -1.312425L, 5e-7L);
}

} // namespace
