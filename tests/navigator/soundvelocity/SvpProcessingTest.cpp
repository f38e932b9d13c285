// The profile's processing steps on row lists: extraction, per-metre averaging, the SV column,
// the source-format detection and the depth correction's look-up.
#include "navigator/soundvelocity/SvpProcessing.h"

#include "platform/Convert.h"
#include "support/ScriptedDialogs.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using svp::Rows;
using svp::SvpProcessing;

const char *const stamp = "2023-05-01T10:15:30.123"; // 23 characters

std::string castRow(const std::string &values) { return std::string(stamp) + " " + values; }

// The steps' order: a cast from the probe, extracted, averaged per metre and integrated.
TEST(SvpProcessing, WorkedExampleFromCastToColumn) {
  testsupport::ScriptedDialogs dialogs;
  SvpProcessing p;
  p.mRawSVData = {"Probe cast 0042",
                  castRow("1512.34,12.6"),
                  "2023-05-01T10:15:30.1234 1512.34,12.6", // one character too many
                  castRow("1500.00,0.2"),
                  castRow("1502.00,0.6"),
                  castRow("1504.00,1.4"),
                  castRow("1506.50,2.1")};
  ASSERT_TRUE(p.RawToSVV(svp::DefaultSearchString, true));
  EXPECT_EQ(p.mRawSVExtracted,
            (Rows{"13,1512.340", "0,1500.000", "1,1502.000", "1,1504.000", "2,1506.500"}));

  // The sample at 13 m lies beyond MaxDepth: dropped, but as the deepest it leaves no padding.
  p.SVVtoAveragedSV("4");
  EXPECT_EQ(p.mSortedAveragedSV, (Rows{"0,1500.000,1", "1,1503.00,2", "2,1506.500,1", "", ""}));

  // Row 3 and 4 have no sample: each repeats the last row's depth weight and velocity.
  ASSERT_TRUE(p.AveragedSVtoSVP("4"));
  EXPECT_EQ(p.mSVPColumn, (Rows{"1500.00", "1501.50", "1503.17", "1504.28", "1505.02"}));
  ASSERT_NE(p.column(), nullptr);
  EXPECT_EQ(svp::lookupSoundVelocity(p.column().get(), 1.4, 1480).SoundVelocity, 1501.5);
  EXPECT_TRUE(dialogs.messages().empty());
}

TEST(SvpProcessing, ExtractionRoundsDepthAndKeepsThreeDecimals) {
  SvpProcessing p;
  p.mRawSVData = {"2.5,1500", "-0.4,1510.25", "3.49,1350", "7,1600"};
  ASSERT_TRUE(p.RawToSVV("%lf,%lf", false));
  EXPECT_EQ(p.mRawSVExtracted, (Rows{"3,1500.000", "0,1510.250", "3,1350.000", "7,1600.000"}));
}

TEST(SvpProcessing, ExtractionWarnsOfVelocitiesOutOfRangeWithTheOneBasedLine) {
  testsupport::ScriptedDialogs dialogs;
  SvpProcessing p;
  p.mRawSVData = {"1500,1", "1349.99,2", "1600.5,3", "1510,4"};
  dialogs.answer(mrOk);
  dialogs.answer(mrCancel);
  ASSERT_TRUE(p.RawToSVV("%lf,%lf", true));
  EXPECT_EQ(p.mRawSVExtracted, (Rows{"1,1500.000"})) << "Cancel stops before line 4";
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_EQ(dialogs.messages()[0].text,
            "Value exceeds SV range! Please correct 1349.99 value at line 2 in source file. This "
            "line will be skipped.");
  EXPECT_EQ(dialogs.messages()[0].type, mtWarning);
  EXPECT_EQ(dialogs.messages()[0].buttons, mbOKCancel);
  EXPECT_EQ(dialogs.messages()[1].text.left(46), "Value exceeds SV range! Please correct 1600.5 ");

  p.Turkish = true;
  dialogs.answer(mrOk);
  dialogs.answer(mrOk);
  p.RawToSVV("%lf,%lf", true);
  EXPECT_EQ(dialogs.messages()[2].text,
            QString::fromUtf8("Bu değer belkenen ses hızı aralığında değl! Ses hızı 1349.99'nin "
                              "bulunduğu satır 2 kullanılmayacaktır."));
  EXPECT_EQ(p.mRawSVExtracted, (Rows{"1,1500.000", "4,1510.000"}));
}

TEST(SvpProcessing, ExtractionSkipsRowsWithoutExactlyTwoNumbers) {
  SvpProcessing p;
  p.mRawSVData = {"1500", "1500,", "nan,3", "1500,inf", "Depth,SV", "", "1500,3,4"};
  ASSERT_TRUE(p.RawToSVV("%lf,%lf", true));
  EXPECT_EQ(p.mRawSVExtracted, (Rows{"3,1500.000"}));
}

TEST(SvpProcessing, ARefusedPatternIsReportedAndChangesNothing) {
  testsupport::ScriptedDialogs dialogs;
  SvpProcessing p;
  p.mRawSVData = {"1500,3,4"};
  p.mRawSVExtracted = {"1,1500.000"};
  p.mSVPColumn = {"1500.00"};
  p.publishColumn();
  const char *const refused[] = {
      "%lf",        "%lf,%lf,%lf", "%*23s",      "%d,%lf",     "%f,%lf",
      "%s %lf,%lf", "%lf,%lf%n",   "%*n%lf,%lf", "%lf,%lf%",   "%*[^,%lf,%lf",
      "%0lf,%lf",   "%Lf,%lf",     "%lf,%p%lf",  "%lf,%lf%*y",
  };
  for (const char *pattern : refused) {
    dialogs.answer(mrOk);
    EXPECT_FALSE(p.RawToSVV(pattern, true)) << pattern;
  }
  dialogs.answer(mrOk);
  EXPECT_FALSE(p.RawToSVV(std::string("%lf,\0%lf", 8), true)) << "a NUL";
  ASSERT_EQ(dialogs.messages().size(), std::size(refused) + 1);
  EXPECT_EQ(dialogs.messages()[1].text,
            "The format identifier \"%lf,%lf,%lf\" cannot be used. The scan format reads 3 values "
            "with %lf; 2 are needed.");
  EXPECT_EQ(p.mRawSVExtracted, (Rows{"1,1500.000"}));
  EXPECT_NE(p.column(), nullptr);
  for (const char *pattern : {"%*23s %lf,%lf", "%lf,%*[^,],%lf", "%*d;%*lf;%*5s %lf %% %lf"})
    EXPECT_TRUE(p.RawToSVV(pattern, true)) << pattern;
}

struct AverageCase {
  const char *name;
  Rows extracted;
  const char *maxDepth;
  Rows averaged;
};

TEST(SvpProcessing, AveragesPerMetre) {
  const AverageCase cases[] = {
      {"two samples", {"3,1500.000", "3,1501.000"}, "3", {"", "", "", "3,1500.50,2"}},
      {"three samples",
       {"3,1500.000", "3,1501.000", "3,1502.000"},
       "3",
       {"", "", "", "3,1501.00,3"}},
      {"single sample keeps its decimals", {"3,1500.123"}, "3", {"", "", "", "3,1500.123,1"}},
      {"gaps stay, the deepest pads",
       {"0,1500.000", "1,1501.000", "3,1503.456"},
       "5",
       {"0,1500.000,1", "1,1501.000,1", "", "3,1503.456,1", "4,1503.46,0", "5,1503.46,0"}},
      {"beyond MaxDepth dropped, no padding",
       {"0,1500.000", "9,1510.000"},
       "2",
       {"0,1500.000,1", "", ""}},
      {"negative depths dropped",
       {"-1,1490.000", "0,1500.000"},
       "1",
       {"0,1500.000,1", "1,1500.00,0"}},
      {"unreadable rows skipped", {"x,1500", "1", "", "1,1500.000"}, "1", {"", "1,1500.000,1"}},
      {"MaxDepth zero", {"0,1500.000"}, "0", {"0,1500.000,1"}},
  };
  for (const auto &c : cases) {
    SvpProcessing p;
    p.mRawSVExtracted = c.extracted;
    p.mSVPColumn = {"1500.00"};
    p.SVVtoAveragedSV(c.maxDepth);
    EXPECT_EQ(p.mSortedAveragedSV, c.averaged) << c.name;
    EXPECT_TRUE(p.mSVPColumn.empty()) << c.name;
  }
}

TEST(SvpProcessing, AveragingWithoutSamplesSaysSoInsteadOfPadding) {
  testsupport::ScriptedDialogs dialogs;
  SvpProcessing p;
  for (const Rows &extracted : {Rows{}, Rows{"-3,1500.000", "junk"}}) {
    p.mRawSVExtracted = extracted;
    dialogs.answer(mrOk);
    p.SVVtoAveragedSV("200");
    EXPECT_TRUE(p.mSortedAveragedSV.empty());
  }
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_EQ(dialogs.messages()[0].text,
            "No SV sample to average. Please extract SV values from the source data first.");
}

TEST(SvpProcessing, MaxDepthMustBeAnIntegerWithinBounds) {
  testsupport::ScriptedDialogs dialogs;
  SvpProcessing p;
  p.mRawSVExtracted = {"0,1500.000"};
  p.mSortedAveragedSV = {"0,1500.000,1"};
  EXPECT_THROW(p.SVVtoAveragedSV("2e2"), platform::EConvertError);
  EXPECT_TRUE(p.mSortedAveragedSV.empty()) << "emptied before the value is read";
  for (const char *text : {"-1", "11001", "2000000000"}) {
    dialogs.answer(mrOk);
    p.SVVtoAveragedSV(text);
    EXPECT_TRUE(p.mSortedAveragedSV.empty()) << text;
    p.mSortedAveragedSV = {"0,1500.000,1"};
    dialogs.answer(mrOk);
    EXPECT_FALSE(p.AveragedSVtoSVP(text)) << text;
    EXPECT_TRUE(p.mSVPColumn.empty()) << text;
  }
  EXPECT_EQ(dialogs.messages()[0].text,
            "Max Depth must be a whole number of metres from 0 to 11000.");
  p.SVVtoAveragedSV("11000");
  EXPECT_EQ(p.mSortedAveragedSV.size(), 11001u);
}

struct ColumnCase {
  const char *name;
  Rows averaged;
  const char *maxDepth;
  Rows column; // empty: the step fails
  const char *message;
};

TEST(SvpProcessing, ColumnIsTheRunningMeanByDepth) {
  const ColumnCase cases[] = {
      {"two rows", {"0,1500.00,1", "1,1510.00,1"}, "1", {"1500.00", "1505.00"}, nullptr},
      {"empty row repeats the last",
       {"0,1500,1", "1,1500,1", "2,1500,1", "3,1500,1", "4,1510,1", ""},
       "5",
       {"1500.00", "1500.00", "1500.00", "1500.00", "1502.00", "1503.60"},
       nullptr},
      {"rows missing beyond the list repeat too",
       {"0,1500,1", "1,1510,1"},
       "2",
       {"1500.00", "1505.00", "1507.50"},
       nullptr},
      {"blank row 0",
       {"", "1,1500,1"},
       "1",
       {},
       "SV value at 0 depth cannot be blank. Consider manually adding a value for 0 "
       "depth.Example 0,1500."},
      {"no rows",
       {},
       "3",
       {},
       "SV value at 0 depth cannot be blank. Consider manually adding a value for 0 "
       "depth.Example 0,1500."},
      {"velocity 1300",
       {"0,1500,1", "1,1300,1"},
       "1",
       {},
       "SV value at 1 is out of range. Please check, correct retry."},
      {"velocity 1700",
       {"0,1700,1"},
       "0",
       {},
       "SV value at 0 is out of range. Please check, correct retry."},
      {"depth -1 would divide by zero",
       {"0,1500,1", "-1,1500,1"},
       "1",
       {},
       "SV value at 1 is out of range. Please check, correct retry."},
  };
  for (const auto &c : cases) {
    testsupport::ScriptedDialogs dialogs;
    SvpProcessing p;
    p.mSortedAveragedSV = c.averaged;
    if (c.message)
      dialogs.answer(mrOk);
    EXPECT_EQ(p.AveragedSVtoSVP(c.maxDepth), c.column.size() > 0) << c.name;
    EXPECT_EQ(p.mSVPColumn, c.column) << c.name;
    if (c.message) {
      ASSERT_EQ(dialogs.messages().size(), 1u) << c.name;
      EXPECT_EQ(dialogs.messages()[0].text, c.message) << c.name;
      EXPECT_EQ(p.column(), nullptr) << c.name;
    } else {
      ASSERT_NE(p.column(), nullptr) << c.name;
      EXPECT_EQ(p.column()->size(), c.column.size()) << c.name;
    }
  }
}

TEST(SvpProcessing, ColumnMessagesInTurkish) {
  testsupport::ScriptedDialogs dialogs;
  SvpProcessing p;
  p.Turkish = true;
  dialogs.answer(mrOk);
  dialogs.answer(mrOk);
  EXPECT_FALSE(p.AveragedSVtoSVP("2"));
  p.mSortedAveragedSV = {"0,1500,1", "1,1500,1", "2,1250,1"};
  EXPECT_FALSE(p.AveragedSVtoSVP("2"));
  EXPECT_EQ(dialogs.messages()[0].text,
            QString::fromUtf8("Ses hızı profilinin başlangıcı olan 0 derinlik ve buna ait ses hızı "
                              "boş olamaz. Bu değeri kendiniz doldurup yeniden deneyiniz.\nÖrnek: "
                              "0,1500.00"));
  EXPECT_EQ(dialogs.messages()[1].text,
            QString::fromUtf8("Sıra 2 ses hızı değeri hatalı. Lütfen kontrol edin, düzeltin ve "
                              "tekrar deneyin"));
}

TEST(SvpProcessing, EveryStepWithdrawsThePublishedColumnUntilANewOneIsComplete) {
  SvpProcessing p;
  p.mRawSVData = {"1500,0", "1510,1"};
  p.mSortedAveragedSV = {"0,1500,1", "1,1510,1"};
  ASSERT_TRUE(p.AveragedSVtoSVP("1"));
  const auto before = p.column();
  ASSERT_NE(before, nullptr);
  p.RawToSVV("%lf,%lf", true);
  EXPECT_EQ(p.column(), nullptr);
  EXPECT_EQ(before->at(1), 1505.0) << "a reader's snapshot stays whole";
  p.SVVtoAveragedSV("1");
  EXPECT_EQ(p.column(), nullptr);
  ASSERT_TRUE(p.AveragedSVtoSVP("1"));
  ASSERT_NE(p.column(), nullptr);
  EXPECT_EQ(*p.column(), (svp::SvColumn{1500.0, 1505.0}));
}

TEST(SvpProcessing, PublishingAHandEditedColumn) {
  SvpProcessing p;
  p.mSVPColumn = {"1500.00", " 1501.5 ", "abc", "nan"};
  p.publishColumn();
  ASSERT_NE(p.column(), nullptr);
  const auto &c = *p.column();
  ASSERT_EQ(c.size(), 4u);
  EXPECT_EQ(c[0], 1500.0);
  EXPECT_EQ(c[1], 1501.5);
  EXPECT_TRUE(std::isnan(c[2]));
  EXPECT_TRUE(std::isnan(c[3]));
  p.mSVPColumn = {"", "  "};
  p.publishColumn();
  EXPECT_EQ(p.column(), nullptr);
}

TEST(SvpProcessing, LookupUsesRoundedRowOrFallsBack) {
  const svp::SvColumn column{1500.0, 1502.0, NAN, 1504.0};
  struct Case {
    double raw;
    double sv;
    bool fromProfile;
  };
  const Case cases[] = {
      {0.0, 1500, true},  {0.49, 1500, true},   {0.5, 1502, true},     {3.49, 1504, true},
      {3.5, 1480, false}, {250.0, 1480, false}, {-0.1, 1480, false},   {2.0, 1480, false},
      {NAN, 1480, false}, {1e300, 1480, false}, {-1e300, 1480, false},
  };
  for (const auto &c : cases) {
    const auto r = svp::lookupSoundVelocity(&column, c.raw, 1480);
    EXPECT_EQ(r.SoundVelocity, c.sv) << c.raw;
    EXPECT_EQ(r.FromProfile, c.fromProfile) << c.raw;
    EXPECT_EQ(r.Problem.isEmpty(), c.fromProfile) << c.raw;
  }
  EXPECT_EQ(svp::lookupSoundVelocity(&column, 3.5, 1480).Problem,
            "Depth 3.50 m lies outside the SV column (0 to 3 m); the single sound velocity "
            "1480.00 m/s is used.");
  const auto none = svp::lookupSoundVelocity(nullptr, 1, 1490);
  EXPECT_EQ(none.SoundVelocity, 1490);
  EXPECT_EQ(none.Problem, "The SV column is empty; the single sound velocity 1490.00 m/s is used.");
  const svp::SvColumn empty;
  EXPECT_FALSE(svp::lookupSoundVelocity(&empty, 0, 1490).FromProfile);
}

struct DetectCase {
  const char *name;
  Rows rows;
  const char *pattern; // nullptr: nothing found
  bool svFirst;
  const char *report;
};

TEST(SvpProcessing, DetectsTheSourceFormat) {
  const DetectCase cases[] = {
      {"semicolon",
       {"Pressure;Temperature;Sound Velocity", "1.0;15.2;1501.3"},
       "%lf;%*[^;];%lf",
       false,
       "Auto-detected format:\n\n- Header at line: 1\n- Delimiter: ;\n- SV column: 3\n"
       "- Pressure column: 1\n- Search string: %lf;%*[^;];%lf"},
      {"comma, SV first after a preamble",
       {"Probe 12", "Time,SV (m/s),Temp,Depth (m)", "x,1501.3,15,2.5"},
       "%*[^,],%lf,%*[^,],%lf",
       true,
       "Auto-detected format:\n\n- Header at line: 2\n- Delimiter: ,\n- SV column: 2\n"
       "- Pressure column: 4\n- Search string: %*[^,],%lf,%*[^,],%lf"},
      {"tab",
       {"depth\tvelocity"},
       "%lf\t%lf",
       false,
       "Auto-detected format:\n\n- Header at line: 1\n- Delimiter: TAB\n- SV column: 2\n"
       "- Pressure column: 1\n- Search string: %lf\t%lf"},
      {"the first delimiter wins; one field can name both",
       {" Sound Velocity ;\tDepth, m "},
       "%lf,%lf",
       false,
       "Auto-detected format:\n\n- Header at line: 1\n- Delimiter: ,\n- SV column: 1\n"
       "- Pressure column: 1\n- Search string: %lf,%lf"},
      {"no header", {"1.0,1501.3", "2.0,1502.1"}, nullptr, false, nullptr},
      {"header without a depth column", {"Time,SV,Temp"}, nullptr, false, nullptr},
  };
  for (const auto &c : cases) {
    testsupport::ScriptedDialogs dialogs;
    SvpProcessing p;
    p.mRawSVData = c.rows;
    dialogs.answer(mrOk);
    const auto found = p.AutoDetect();
    ASSERT_EQ(found.has_value(), c.pattern != nullptr) << c.name;
    ASSERT_EQ(dialogs.messages().size(), 1u) << c.name;
    if (found) {
      EXPECT_EQ(found->SearchString, c.pattern) << c.name;
      EXPECT_EQ(found->SVFirst, c.svFirst) << c.name;
      EXPECT_EQ(dialogs.messages()[0].text, c.report) << c.name;
    } else {
      EXPECT_EQ(dialogs.messages()[0].text,
                "Could not find header line with SV and Pressure/Depth columns.\nPlease set "
                "search string manually.")
          << c.name;
    }
    EXPECT_EQ(p.mRawSVData, c.rows) << c.name;
  }
}

TEST(SvpProcessing, DetectedPatternsExtractTheirSources) {
  const std::pair<Rows, Rows> cases[] = {
      {{"Pressure;Temperature;Sound Velocity", "1.0;15.2;1501.3", "2.6;15.0;1502.0"},
       {"1,1501.300", "3,1502.000"}},
      {{"Depth,SV", "0.4,1500", "1.2,1500.5"}, {"0,1500.000", "1,1500.500"}},
      {{"SV\tDepth", "1500.25\t4.5"}, {"5,1500.250"}},
  };
  for (const auto &[rows, extracted] : cases) {
    testsupport::ScriptedDialogs dialogs;
    SvpProcessing p;
    p.mRawSVData = rows;
    dialogs.answer(mrOk);
    const auto found = p.AutoDetect();
    ASSERT_TRUE(found) << rows[0];
    ASSERT_TRUE(p.RawToSVV(found->SearchString, found->SVFirst)) << rows[0];
    EXPECT_EQ(p.mRawSVExtracted, extracted) << rows[0];
  }
}

TEST(SvpProcessing, DetectionWithoutDataAndInTurkish) {
  testsupport::ScriptedDialogs dialogs;
  SvpProcessing p;
  dialogs.answer(mrOk);
  EXPECT_FALSE(p.AutoDetect());
  EXPECT_EQ(dialogs.messages()[0].text, "No data loaded. Please load a file first.");
  p.Turkish = true;
  p.mRawSVData = {"Depth,SV"};
  dialogs.answer(mrOk);
  EXPECT_TRUE(p.AutoDetect());
  EXPECT_EQ(dialogs.messages()[1].text,
            "Otomatik algilanan format:\n\n- Baslik satiri: 1\n- Ayirici: ,\n- SV sutunu: 2\n"
            "- Basinc sutunu: 1\n- Arama dizesi: %lf,%lf");
}

// What a picked file must be before it replaces the profile: text, with a line of two numbers.
TEST(SvpProcessing, ASourceIsTextWithAtLeastOneSample) {
  using svp::SourceProblem;
  const struct {
    Rows rows;
    SourceProblem problem;
  } cases[] = {
      {{castRow("1500.00,0.2")}, SourceProblem::None},
      {{"Pressure;Temperature;Sound Velocity", "1.0;15.2;1501.3"}, SourceProblem::None},
      {{"depth\tsv", "4\t1512", "\x1A"}, SourceProblem::None}, // tabs and a DOS end mark
      {{"Sonda A\xF0ustos", "12 1500"}, SourceProblem::None},  // Windows-1254 letters
      {{}, SourceProblem::Empty},
      {{"", "   ", "\t"}, SourceProblem::Empty},
      {{"Cast of the morning", "depth 12 m"}, SourceProblem::NoSamples},
      {{"Probe 1512.5 m/s"}, SourceProblem::NoSamples}, // one number alone is no sample
      {{castRow("1500.00,0.2"), std::string("1500\0,2", 7)}, SourceProblem::NotText},
      {{"12 1500\x07"}, SourceProblem::NotText},
  };
  for (const auto &c : cases)
    EXPECT_EQ(svp::checkSourceRows(c.rows), c.problem) << ::testing::PrintToString(c.rows);
}

} // namespace
