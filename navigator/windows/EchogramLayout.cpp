#include "navigator/windows/EchogramLayout.h"

#include "platform/Convert.h"
#include "platform/GdiCanvas.h"

#include <algorithm>
#include <cmath>

namespace {

std::string fixed(double value, int decimals) {
  return platform::FloatToStrF(value, platform::ffFixed, 15, decimals);
}

} // namespace

int EchogramCount(int count) { return std::clamp(count, 1, EchogramCapacity); }

void ShiftEchogram(EchogramSamples &samples, double depth, int count) {
  count = EchogramCount(count);
  for (int i = 0; i + 1 < count; ++i) {
    samples.EchoDepths[i] = samples.EchoDepths[i + 1];
    samples.EchoPixelY[i] = samples.EchoPixelY[i + 1];
  }
  samples.EchoDepths[count - 1] = depth;
}

double EchogramGridStep(double span) {
  const double rough = span / 4;
  if (!(rough > 0) || !std::isfinite(rough))
    return 1.0;
  const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
  const double r = rough / magnitude;
  if (r <= 1)
    return magnitude;
  if (r <= 2)
    return magnitude * 2;
  if (r <= 2.5)
    return magnitude * 2.5;
  if (r <= 5)
    return magnitude * 5;
  return magnitude * 10;
}

int EchogramLabelDecimals(double step) { return step < 0.1 ? 2 : step < 1 ? 1 : 0; }

EchogramLayout LayoutEchogram(EchogramSamples &samples, double depth, double rangeTopDefault,
                              double rangeBottomDefault, int count, int width, int height) {
  using platform::truncToInt;
  count = EchogramCount(count);
  EchogramLayout out;
  out.Width = width;
  out.Height = height;
  const auto &depths = samples.EchoDepths;

  int n = 0;
  double smallest = 0, largest = 0;
  for (int j = 0; j < count; ++j) {
    if (!(depths[j] > 0))
      continue;
    if (n == 0 || depths[j] < smallest)
      smallest = depths[j];
    if (n == 0 || depths[j] > largest)
      largest = depths[j];
    ++n;
  }
  if (n >= 4 && largest > smallest) {
    const double margin = std::max((largest - smallest) * 0.1, 0.3);
    out.Top = std::max(smallest - margin, 0.0);
    out.Bottom = largest + margin;
  } else {
    out.Top = rangeTopDefault;
    out.Bottom = rangeBottomDefault;
  }
  out.Span = out.Bottom - out.Top;
  if (out.Span <= 0)
    out.Span = 1.0;

  for (int j = 0; j < count; ++j)
    samples.EchoPixelY[j] =
        depths[j] > 0 ? truncToInt((depths[j] - out.Top) * height / out.Span) : 0;

  const double c = std::max(static_cast<double>(width) / count, 1.0);
  out.ColumnWidth = c;
  for (int j = 0; j < count; ++j) {
    if (!(depths[j] > 0))
      continue;
    const int y = std::clamp(truncToInt(samples.EchoPixelY[j]), 0, std::max(height, 0));
    out.Columns.push_back({truncToInt(j * c), truncToInt((j + 1) * c), y});
  }
  for (int k = 1; k < count; ++k)
    if (depths[k - 1] > 0 && depths[k] > 0)
      out.Profile.push_back({truncToInt((k - 0.5) * c), truncToInt(samples.EchoPixelY[k - 1]),
                             truncToInt((k + 0.5) * c), truncToInt(samples.EchoPixelY[k])});

  out.Step = EchogramGridStep(out.Span);
  out.Decimals = EchogramLabelDecimals(out.Step);
  // Counted in whole steps from the first one so that repeated additions cannot drift past the
  // bottom, and bounded in case a huge range asks for an absurd number of lines.
  const double first = std::ceil(out.Top / out.Step);
  for (int i = 0; i < 1000; ++i) {
    const double value = (first + i) * out.Step;
    if (value > out.Bottom + out.Step * 1e-9)
      break;
    const int y = truncToInt((value - out.Top) * height / out.Span);
    if (y >= 0 && y <= height)
      out.Grid.push_back({y, fixed(value, out.Decimals) + "m"});
  }

  if (depth > 0) {
    out.HasNewest = true;
    const int y = truncToInt(samples.EchoPixelY[count - 1]);
    if (5 < y && y < height - 30) {
      out.HasMarker = true;
      out.Marker = {width - 40, y, width - 40, height - 28};
    }
    out.NewestText = fixed(depth, 1) + "m";
  }
  return out;
}
