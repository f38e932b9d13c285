#include "navigator/acquisition/OffsetsCheck.h"

#include "navigator/acquisition/FormattedScan.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"

#include <cmath>

namespace {

QString pick(bool turkish, const char *english, const char *turkishText) {
  return turkish ? QString::fromUtf8(turkishText) : QString::fromUtf8(english);
}

// The test the C scanner made with "%lf": a number after optional blanks, anything after it.
bool startsWithNumber(const QString &text) {
  return !formattedscan::scanDoubles(text.toStdString(), "%lf", 1).empty();
}

struct NumberCheck {
  const QString TOffsetTexts::*text;
  TOffsetField field;
  const char *english;
  const char *turkish;
};

const NumberCheck numberChecks[] = {
    {&TOffsetTexts::OffsetA, TOffsetField::OffsetA, "Failed! Recheck offset A",
     "Başarısız! A değerini yeniden kontrol ediniz."},
    {&TOffsetTexts::OffsetB, TOffsetField::OffsetB, "Failed! Recheck offset B",
     "Başarısız! B değerini yeniden kontrol ediniz."},
    {&TOffsetTexts::OffsetC, TOffsetField::OffsetC, "Failed! Recheck offset C",
     "Başarısız! C değerini yeniden kontrol ediniz."},
    {&TOffsetTexts::SV, TOffsetField::SV, "Failed! Recheck SV value",
     "Başarısız! SV/SH değerini yeniden kontrol ediniz."},
    {&TOffsetTexts::TideHt, TOffsetField::TideHt, "Failed! Recheck tide height",
     "Başarısız! Su kotunu kontrol ediniz."},
};

const NumberCheck nameChecks[] = {
    {&TOffsetTexts::Location, TOffsetField::Location, "Failed! Location cannot be missing",
     "Başarısız! Yer adı boş olamaz"},
    {&TOffsetTexts::SurveyBoat, TOffsetField::SurveyBoat,
     "Failed! Name/type of survey boat cannot be missing",
     "Başarısız! Ölçme aracının adı boş olamaz"},
    {&TOffsetTexts::Surveyor, TOffsetField::Surveyor, "Failed! Name of surveyor cannot be missing",
     "Başarısız! Öçen kişinin adı boş olamaz"},
};

} // namespace

std::optional<QString> OffsetsTimeFormatWarning(const QString &timeText, bool turkish) {
  if (!timeText.contains(QLatin1Char(':')))
    return std::nullopt;
  return pick(turkish,
              "Time format does not fit requirements. The date and time fromat must be "
              "YYYY-DD-MM HHmmssfff",
              "Tarih ve saat formatı gereksinimleri karşılamıyor. Bilgisayar tarih ve zaman "
              "formatının YYYY-DD-MM HHmmssfff olduguna emin olunuz.");
}

std::optional<TOffsetRefusal> CheckOffsets(const TOffsetTexts &texts, bool turkish) {
  for (const NumberCheck &check : numberChecks)
    if (!startsWithNumber(texts.*check.text))
      return TOffsetRefusal{check.field, pick(turkish, check.english, check.turkish)};
  // Blanks count as a name: only an edit left empty is refused.
  for (const NumberCheck &check : nameChecks)
    if ((texts.*check.text).isEmpty())
      return TOffsetRefusal{check.field, pick(turkish, check.english, check.turkish)};

  const double a = platform::StrToFloat(texts.OffsetA);
  const double b = platform::StrToFloat(texts.OffsetB);
  const double c = platform::StrToFloat(texts.OffsetC);
  const double sv = platform::StrToFloat(texts.SV);
  if (std::fabs(a + c - b) > 0.025)
    return TOffsetRefusal{
        TOffsetField::OffsetA,
        pick(turkish, "Measurements contains error: A + C must be close enough to B.",
             "Ölçümlerde hata var: A + C toplamı B değerine yakın olması gerekir")};
  if (sv > 1700 || sv < 1300)
    return TOffsetRefusal{TOffsetField::SV, pick(turkish, "Error in Sound Velocity (SV) value",
                                                 "SV/SE değerinde hata var")};
  return std::nullopt;
}

std::string OffsetsLogBlock(const TOffsetTexts &texts, bool turkish, bool profileUsed) {
  const QString sv =
      profileUsed ? pick(turkish, "Sound velocity profile used", "Ses hızı profili kullanıldı")
                  : texts.SV;
  struct Row {
    const char *english;
    const char *turkish;
    const QString &value;
  };
  const Row rows[] = {
      {"\n\nTarvik Sondrel - offsets essential for post processing\n"
       "Time..............................\t=",
       "\n\nTarvik Sondrel - veri işleme için gerekli değerler\n"
       "Zaman.......................................\t=",
       texts.Time},
      {"\nSurvey Location...................\t=",
       "\nYer.........................................\t=", texts.Location},
      {"\nSurvey Boat.......................\t=",
       "\nÖlçme botu..................................\t=", texts.SurveyBoat},
      {"\nTransducer Draft (A)..............\t=",
       "\nTransduser su kesimi (A)....................\t=", texts.OffsetA},
      {"\nTransducer - Antenna Offset (B)...\t=",
       "\nTransduser ile GPS anteni arası mesafe (B)..\t=", texts.OffsetB},
      {"\nAntenna Height Above Water (C)....\t=",
       "\nSudan antene olan mesafe (C)................\t=", texts.OffsetC},
      {"\nSound Velocity....................\t=",
       "\nSes hızı....................................\t=", sv},
      {"\nTide Height.......................\t=",
       "\nSu kotu.....................................\t=", texts.TideHt},
      {"\nSurveyor..........................\t=",
       "\nÖlçen.......................................\t=", texts.Surveyor},
  };
  QString block;
  for (const Row &row : rows)
    block += pick(turkish, row.english, row.turkish) + row.value;
  return platform::toAnsi(block);
}
