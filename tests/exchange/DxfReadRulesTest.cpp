// The DXF reader's small rules as tables: colour numbers, trimming and the MTEXT code filter.
#include "DxfImportTestSupport.h"
#include "exchange/DxfCodePage.h"

#include <gtest/gtest.h>

namespace {

using dxftest::rgb;

TEST(DxfReadRules, ColourNumbers) {
  const struct {
    int n;
    int colour;
  } cases[] = {
      {0, -1},
      {256, -1},
      {1, int(rgb(255, 0, 0))},
      {2, int(rgb(255, 255, 0))},
      {3, int(rgb(0, 255, 0))},
      {4, int(rgb(0, 255, 255))},
      {5, int(rgb(0, 0, 255))},
      {6, int(rgb(255, 0, 255))},
      {7, int(rgb(255, 255, 255))},
      {8, int(rgb(128, 128, 128))},
      {9, int(rgb(192, 192, 192))},
      {10, int(rgb(170, 114, 18))},
      {100, int(rgb(164, 116, 180))},
      {255, int(rgb(239, 219, 203))},
      {-1, -1},
      {-7, -1},
      {257, -1},
      {1000000, -1},
  };
  for (const auto &c : cases)
    EXPECT_EQ(AciToColor(c.n), c.colour) << "colour number " << c.n;
}

TEST(DxfReadRules, TrimmingTakesBlanksTabsAndCarriageReturnsFromBothEnds) {
  const struct {
    const char *in;
    const char *out;
  } cases[] = {
      {"  0\r", "0"},    {"\t AB \t", "AB"},         {" \r\t", ""}, {"", ""}, {"a b", "a b"},
      {"a\nb ", "a\nb"}, {"\r\rSECTION", "SECTION"},
  };
  for (const auto &c : cases) {
    std::string s = c.in;
    TrimDxfValue(s);
    EXPECT_EQ(s, c.out) << "input '" << c.in << "'";
  }
}

TEST(DxfReadRules, MtextCodesAreStripped) {
  const struct {
    const char *in;
    const char *out;
  } cases[] = {
      {"plain", "plain"},
      // A font code and its argument go up to the semicolon; the braces stay.
      {"{\\fArial|b0|i0|c0|p34;Word}", "{Word}"},
      // A blank in the font name ends the skip there.
      {"{\\fArial Narrow|b0;Word}", "{Narrow|b0;Word}"},
      {"\\H2.5x;Big", "Big"},
      {"\\C1;Red", "Red"},
      // Codes without an argument skip up to the next blank or semicolon as well.
      {"\\Pword rest", "rest"},
      {"\\P", ""},
      {"\\LUnder; x", " x"},
      {"a\\\\b", "a\\b"},
      {"\\fA\\\\b;c", "\\c"},
      {"\\1x", "\\1x"},
      {"a\\~b", "a\\~b"},
      {"\\U+00E9", "\\U+00E9"},
      {"ab\\", "ab\\"},
      {"\\fArial;Caf\xC3\xA9", "Caf\xC3\xA9"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(StripMtextCodes(c.in), c.out) << "input '" << c.in << "'";
}

// "\U+XXXX" escapes: only a whole one is read; a control character or a surrogate without its
// partner stays as written, and so does the escape after a doubled backslash in a text.
TEST(DxfReadRules, UnicodeEscapesAreDecodedWhenWhole) {
  const struct {
    const char *in;
    bool text;
    const char *out; // UTF-8
  } cases[] = {
      {"a\\U+00E9b", false,
       "a\xC3\xA9"
       "b"},
      {"\\U+00e9\\U+011F", false, "\xC3\xA9\xC4\x9F"},
      {"\\U+00E", false, "\\U+00E"},
      {"\\U+00EZ", false, "\\U+00EZ"},
      {"\\u+00E9", false, "\\u+00E9"},
      {"\\U00E9", false, "\\U00E9"},
      {"\\U+0007x", false, "\\U+0007x"},
      {"\\U+0000", false, "\\U+0000"},
      {"\\U+DE00\\U+D83D", false, "\\U+DE00\\U+D83D"},
      {"\\U+D83D\\U+DE00", false, "\xF0\x9F\x98\x80"},
      {"\\\\U+00E9", false, "\\\xC3\xA9"},
      {"\\\\U+00E9", true, "\\U+00E9"},
      {"a\\\\\\U+00E9", true, "a\\\xC3\xA9"},
      {"end\\", true, "end\\"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(exchange::decodeDxfEscapes(QString::fromUtf8(c.in), c.text), QString::fromUtf8(c.out))
        << c.in << " text " << c.text;
  // A doubled backslash survives the MTEXT filter for the decoding when asked to.
  EXPECT_EQ(StripMtextCodes("a\\\\U+00E9", true), "a\\\\U+00E9");
}

} // namespace
