// Windows-1254 conversions: the Turkish letters, the 0x80 block, unmappable characters.
#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(CodePage, EncodesTheTurkishMessageText) {
  EXPECT_EQ(toWindows1254(QString::fromUtf8("Başarısız")),
            std::string("\x42\x61\xFE\x61\x72\xFD\x73\xFD\x7A"));
  EXPECT_EQ(utf8ToWindows1254("Başarısız"), std::string("\x42\x61\xFE\x61\x72\xFD\x73\xFD\x7A"));
}

TEST(CodePage, EveryLetterOfTheTurkishAlphabet) {
  const std::pair<const char *, unsigned char> letters[] = {
      {"Ç", 0xC7}, {"ç", 0xE7}, {"Ğ", 0xD0}, {"ğ", 0xF0},        {"İ", 0xDD}, {"ı", 0xFD},
      {"Ö", 0xD6}, {"ö", 0xF6}, {"Ş", 0xDE}, {"ş", 0xFE},        {"Ü", 0xDC}, {"ü", 0xFC},
      {"€", 0x80}, {"‰", 0x89}, {"Ÿ", 0x9F}, {"\xC2\xA0", 0xA0}, {"ÿ", 0xFF}};
  for (const auto &[utf8, byte] : letters) {
    EXPECT_EQ(utf8ToWindows1254(utf8), std::string(1, char(byte))) << utf8;
    EXPECT_EQ(windows1254ToUtf8(std::string(1, char(byte))), utf8) << utf8;
  }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
  // Latin-1 letters the Turkish letters displaced, Cyrillic, CJK, an emoji beyond the BMP.
  EXPECT_EQ(utf8ToWindows1254("Ðý Ж 中 😀 ok"), "?? ? ? ? ok");
  EXPECT_EQ(utf8ToWindows1254("a\xFF"
                              "b"),
            "a?b");
  EXPECT_EQ(toWindows1254(QString(QChar(0xD800))), "?");
}

TEST(CodePage, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all += char(b);
  EXPECT_EQ(toWindows1254(fromWindows1254(all)), all);
  EXPECT_EQ(utf8ToWindows1254(windows1254ToUtf8(all)), all);
  EXPECT_EQ(fromWindows1254("\x81").at(0).unicode(), 0x81);
}

} // namespace
