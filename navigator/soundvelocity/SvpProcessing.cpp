#include "navigator/soundvelocity/SvpProcessing.h"

#include "navigator/acquisition/FormattedScan.h"
#include "navigator/acquisition/ScanFormat.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace svp {

namespace {

using formattedscan::ScanValue;

std::string fixed(double value, int decimals) {
  return platform::FloatToStrF(value, platform::ffFixed, 15, decimals);
}

QString q(const std::string &bytes) { return QString::fromStdString(bytes); }

// "%d,%lf" of a row: its depth and velocity when both are given.
std::optional<std::pair<int, double>> depthAndVelocity(const std::string &row) {
  const auto v = formattedscan::scan(row, "%d,%lf");
  if (v.size() < 2)
    return std::nullopt;
  return std::make_pair(std::get<std::int32_t>(v[0]), std::get<double>(v[1]));
}

struct AveragedRow {
  int depth = 0;
  double mean = 0;
  int hits = 0;
};

// "%d,%lf,%d" of a row, when all three are given.
std::optional<AveragedRow> averagedRow(const std::string &row) {
  const auto v = formattedscan::scan(row, "%d,%lf,%d");
  if (v.size() < 3)
    return std::nullopt;
  return AveragedRow{std::get<std::int32_t>(v[0]), std::get<double>(v[1]),
                     std::get<std::int32_t>(v[2])};
}

std::string upper(std::string text) {
  for (char &c : text)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// Trimmed of blanks and control characters (codes up to 32) at both ends.
std::string trimControl(const std::string &text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32)
    ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32)
    --e;
  return text.substr(b, e - b);
}

bool contains(const std::string &text, const char *part) {
  return text.find(part) != std::string::npos;
}

std::vector<std::string> split(const std::string &text, char delimiter) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(delimiter, start);
    fields.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos)
      return fields;
    start = at + 1;
  }
}

bool textByte(unsigned char c) {
  return c >= 32 || c == '\t' || c == '\f' || c == '\v' || c == 0x1A;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Two runs of digits apart from each other ("1512.3,4.5", "4 1512"): a line that may hold a pair.
bool holdsTwoNumbers(const std::string &row) {
  int numbers = 0;
  for (std::size_t i = 0; i < row.size();) {
    if (!isDigit(row[i])) {
      ++i;
      continue;
    }
    while (i < row.size() && isDigit(row[i]))
      ++i;
    if (i + 1 < row.size() && row[i] == '.' && isDigit(row[i + 1]))
      for (++i; i < row.size() && isDigit(row[i]);)
        ++i;
    if (++numbers == 2)
      return true;
  }
  return false;
}

} // namespace

SourceProblem checkSourceRows(const Rows &rows) {
  if (blankRows(rows))
    return SourceProblem::Empty;
  bool samples = false;
  for (const std::string &row : rows) {
    for (const char c : row)
      if (!textByte(static_cast<unsigned char>(c)))
        return SourceProblem::NotText;
    samples = samples || holdsTwoNumbers(row);
  }
  return samples ? SourceProblem::None : SourceProblem::NoSamples;
}

QString sourceProblemText(bool turkish, SourceProblem problem) {
  switch (problem) {
  case SourceProblem::Empty:
    return languageText(turkish, "it is empty.", "dosya boş.");
  case SourceProblem::NotText:
    return languageText(turkish, "it is not a text file.", "bir metin dosyası değil.");
  case SourceProblem::NoSamples:
    return languageText(turkish, "no line holds a sound velocity and a depth.",
                        "hiçbir satırda ses hızı ve derinlik yok.");
  case SourceProblem::None:
    break;
  }
  return {};
}

double ValidRawSoundVelocity(double sv) { return sv >= 1350 && sv <= 1600 ? sv : 0; }

QString languageText(bool turkish, const char *english, const char *turkishText) {
  return QString::fromUtf8(turkish ? turkishText : english);
}

bool blankRows(const Rows &rows) {
  return std::all_of(rows.begin(), rows.end(), [](const std::string &row) {
    return row.find_first_not_of(" \t\r\n") == std::string::npos;
  });
}

std::optional<int> SvpProcessing::maxDepth(const QString &text) {
  const int value = platform::StrToInt(text);
  if (value < 0 || value > MaxDepthLimit) {
    platform::ShowMessage(QStringLiteral("Max Depth must be a whole number of metres from 0 to %1.")
                              .arg(MaxDepthLimit));
    return std::nullopt;
  }
  return value;
}

bool SvpProcessing::RawToSVV(const std::string &searchString, bool svFirst) {
  // One rule for every pattern an operator types, the echo sounder's and this one.
  const auto check = navigator::checkScanFormat(searchString, 2);
  if (!check) {
    platform::ShowMessage("The format identifier \"" + q(searchString) + "\" cannot be used. " +
                          q(check.error));
    return false;
  }
  withdrawColumn();
  mRawSVExtracted.clear();
  mSortedAveragedSV.clear();
  mSVPColumn.clear();
  for (std::size_t i = 0; i < mRawSVData.size(); ++i) {
    const auto values = formattedscan::scanDoubles(mRawSVData[i], searchString, 2);
    if (values.size() != 2)
      continue;
    const double sv = svFirst ? values[0] : values[1];
    const double depth = svFirst ? values[1] : values[0];
    if (ValidRawSoundVelocity(sv) != 0) {
      mRawSVExtracted.push_back(fixed(depth, 0) + "," + fixed(sv, 3));
      continue;
    }
    const QString svText = q(platform::FloatToStr(sv));
    const QString line = QString::number(i + 1);
    const QString text =
        Turkish ? QString::fromUtf8("Bu değer belkenen ses hızı aralığında değl! Ses hızı ") +
                      svText + QString::fromUtf8("'nin bulunduğu satır ") + line +
                      QString::fromUtf8(" kullanılmayacaktır.")
                : "Value exceeds SV range! Please correct " + svText + " value at line " + line +
                      " in source file. This line will be skipped.";
    if (platform::MessageDlg(text, mtWarning, mbOKCancel) == mrCancel)
      return true;
  }
  return true;
}

void SvpProcessing::SVVtoAveragedSV(const QString &maxDepthText) {
  withdrawColumn();
  mSortedAveragedSV.clear();
  mSVPColumn.clear();
  const auto max = maxDepth(maxDepthText);
  if (!max)
    return;
  mSortedAveragedSV.assign(static_cast<std::size_t>(*max) + 1, std::string());

  int deepest = -1;
  for (const std::string &extracted : mRawSVExtracted) {
    const auto sample = depthAndVelocity(extracted);
    if (!sample)
      continue;
    const auto [d, sv] = *sample;
    deepest = std::max(deepest, d);
    // Beyond MaxDepth there is no row; above the surface a depth is a probe's zero error.
    if (d > *max || d < 0)
      continue;
    std::string &row = mSortedAveragedSV[static_cast<std::size_t>(d)];
    const auto current = averagedRow(row);
    if (current && current->depth == d && current->hits >= 0 &&
        current->hits < std::numeric_limits<std::int32_t>::max()) {
      const double mean = (current->hits * current->mean + sv) / (current->hits + 1);
      row = std::to_string(d) + "," + fixed(mean, 2) + "," + std::to_string(current->hits + 1);
    } else {
      row = extracted + ",1";
    }
  }

  if (deepest < 0) {
    // Padding would repeat a velocity that was never read.
    mSortedAveragedSV.clear();
    platform::ShowMessage(
        "No SV sample to average. Please extract SV values from the source data first.");
    return;
  }
  if (deepest >= *max)
    return;
  const auto v =
      formattedscan::scan(mSortedAveragedSV[static_cast<std::size_t>(deepest)], "%*d,%lf");
  const double velocity = v.empty() ? 0.0 : std::get<double>(v[0]);
  for (int i = deepest + 1; i <= *max; ++i)
    mSortedAveragedSV[static_cast<std::size_t>(i)] =
        std::to_string(i) + "," + fixed(velocity, 2) + ",0";
}

bool SvpProcessing::AveragedSVtoSVP(const QString &maxDepthText) {
  withdrawColumn();
  mSVPColumn.clear();
  const auto max = maxDepth(maxDepthText);
  if (!max)
    return false;
  mSVPColumn.assign(static_cast<std::size_t>(*max) + 1, std::string());

  double a = 0;
  int d = 0;
  double s = 0;
  bool read = false;
  for (int i = 0; i <= *max; ++i) {
    const auto row = static_cast<std::size_t>(i) < mSortedAveragedSV.size()
                         ? depthAndVelocity(mSortedAveragedSV[static_cast<std::size_t>(i)])
                         : std::nullopt;
    if (row) {
      d = row->first;
      s = row->second;
      read = true;
    } else if (!read) {
      mSVPColumn.clear();
      platform::ShowMessage(languageText(
          Turkish,
          "SV value at 0 depth cannot be blank. Consider manually adding a value for 0 "
          "depth.Example 0,1500.",
          "Ses hızı profilinin başlangıcı olan 0 derinlik ve buna ait ses hızı boş olamaz. Bu "
          "değeri kendiniz doldurup yeniden deneyiniz.\nÖrnek: 0,1500.00"));
      return false;
    }
    // A negative depth would weigh the mean by zero or less (a division by zero at -1).
    const bool weighable = d >= 0;
    if (weighable)
      a = (d * a + s) / (d + 1.0);
    if (!weighable || !ValidColumnValue(a) || !ValidColumnValue(s)) {
      mSVPColumn.clear();
      const QString n = QString::number(i);
      platform::ShowMessage(
          Turkish ? QString::fromUtf8("Sıra ") + n +
                        QString::fromUtf8(" ses hızı değeri hatalı. Lütfen kontrol edin, düzeltin "
                                          "ve tekrar deneyin")
                  : "SV value at " + n + " is out of range. Please check, correct retry.");
      return false;
    }
    mSVPColumn[static_cast<std::size_t>(i)] = fixed(a, 2);
  }
  publishColumn();
  return true;
}

std::optional<DetectedFormat> SvpProcessing::AutoDetect() {
  if (mRawSVData.empty()) {
    platform::ShowMessage("No data loaded. Please load a file first.");
    return std::nullopt;
  }
  std::optional<std::size_t> header;
  for (std::size_t i = 0; i < mRawSVData.size() && !header; ++i) {
    const std::string u = upper(mRawSVData[i]);
    if ((contains(u, "SV") || contains(u, "VELOCITY")) &&
        (contains(u, "PRESSURE") || contains(u, "DEPTH")))
      header = i;
  }
  char delimiter = ',';
  int svColumn = -1;
  int depthColumn = -1;
  if (header) {
    const std::string &row = mRawSVData[*header];
    for (char c : {',', '\t', ';'}) {
      if (row.find(c) != std::string::npos) {
        delimiter = c;
        break;
      }
    }
    const auto fields = split(row, delimiter);
    for (std::size_t f = 0; f < fields.size(); ++f) {
      const std::string field = upper(trimControl(fields[f]));
      if (contains(field, "SV") || contains(field, "VELOCITY"))
        svColumn = static_cast<int>(f);
      if (contains(field, "PRESSURE") || contains(field, "DEPTH"))
        depthColumn = static_cast<int>(f);
    }
  }
  if (!header || svColumn < 0 || depthColumn < 0) {
    platform::ShowMessage("Could not find header line with SV and Pressure/Depth columns.\n"
                          "Please set search string manually.");
    return std::nullopt;
  }
  const int lo = std::min(svColumn, depthColumn);
  const int hi = std::max(svColumn, depthColumn);
  const std::string skip = std::string("%*[^") + delimiter + "]" + delimiter;
  std::string pattern;
  for (int i = 0; i < lo; ++i)
    pattern += skip;
  pattern += std::string("%lf") + delimiter;
  for (int i = lo + 1; i < hi; ++i)
    pattern += skip;
  pattern += "%lf";

  DetectedFormat format{pattern, svColumn < depthColumn};
  const QString delimiterText = delimiter == '\t' ? QStringLiteral("TAB") : QString(delimiter);
  const QString lines[] = {QString::number(*header + 1), delimiterText,
                           QString::number(svColumn + 1), QString::number(depthColumn + 1),
                           q(pattern)};
  const char *english[] = {"- Header at line: ", "- Delimiter: ", "- SV column: ",
                           "- Pressure column: ", "- Search string: "};
  const char *turkish[] = {
      "- Baslik satiri: ", "- Ayirici: ", "- SV sutunu: ", "- Basinc sutunu: ", "- Arama dizesi: "};
  QString report = Turkish ? "Otomatik algilanan format:\n" : "Auto-detected format:\n";
  for (int i = 0; i < 5; ++i)
    report += "\n" + QString::fromUtf8(Turkish ? turkish[i] : english[i]) + lines[i];
  platform::ShowMessage(report);
  return format;
}

void SvpProcessing::publishColumn() {
  if (blankRows(mSVPColumn)) {
    column_.reset();
    return;
  }
  auto column = std::make_shared<SvColumn>();
  column->reserve(mSVPColumn.size());
  const auto classic = platform::FormatSettings::classic();
  for (const std::string &row : mSVPColumn) {
    double value = 0;
    if (!platform::TryStrToFloat(row, value, classic) || !std::isfinite(value))
      value = std::numeric_limits<double>::quiet_NaN();
    column->push_back(value);
  }
  column_ = std::move(column);
}

} // namespace svp
