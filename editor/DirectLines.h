// One-pixel solid lines written straight into an image by the canvas's own rule (the end pixel
// left out, cut at the image's edges or at a clip rectangle): the pixels MoveTo and LineTo give,
// without a paint call for each of the thousands of short lines of a zoomed-out profile or plan.
// Any other pen or device draws through the canvas.
#pragma once

#include "platform/Color.h"
#include "platform/GdiCanvas.h"

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstddef>
#include <cstdlib>

class DirectLines {
public:
  // Takes the canvas's pen as it is now. With `clip`, pixels outside that rectangle are left as
  // they are (the canvas's own clipping is not looked at: give it here).
  explicit DirectLines(platform::GdiCanvas &c, const QRect *clip = nullptr) : c_(c) {
    auto *image = dynamic_cast<QImage *>(c.device());
    if (!image ||
        (image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32 &&
         image->format() != QImage::Format_ARGB32_Premultiplied))
      return;
    if (c.Pen.Width > 1 || c.Pen.Style != psSolid || c.Pen.Mode != pmCopy)
      return;
    QRect area = image->rect();
    if (clip)
      area &= *clip;
    if (area.isEmpty())
      return;
    bits_ = reinterpret_cast<QRgb *>(image->bits());
    stride_ = image->bytesPerLine() / 4;
    x0_ = area.left();
    x1_ = area.right();
    y0_ = area.top();
    y1_ = area.bottom();
    colour_ = platform::toQColor(c.Pen.Color).rgb(); // opaque: the same in every format
  }

  // The pen colour of the lines to come.
  void setColour(TColor colour) {
    c_.Pen.Color = colour;
    colour_ = platform::toQColor(colour).rgb();
  }

  void line(int x1, int y1, int x2, int y2) {
    if (!bits_) {
      c_.MoveTo(x1, y1);
      c_.LineTo(x2, y2);
      return;
    }
    // Most lines of a zoomed-out drawing are a pixel long or none: their first pixel alone.
    const long long ax = std::llabs(static_cast<long long>(x2) - x1),
                    ay = std::llabs(static_cast<long long>(y2) - y1);
    if (ax <= 1 && ay <= 1) {
      if ((ax | ay) != 0 && x1 >= x0_ && x1 <= x1_ && y1 >= y0_ && y1 <= y1_)
        bits_[y1 * stride_ + x1] = colour_;
      return;
    }
    longer(x1, y1, x2, y2);
  }

private:
#if defined(__GNUC__)
  __attribute__((noinline))
#endif
  void
  longer(int x1, int y1, int x2, int y2) {
    const long long dx = static_cast<long long>(x2) - x1, dy = static_cast<long long>(y2) - y1;
    const long long n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0)
      return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long major0 = xMajor ? x1 : y1, minor0 = xMajor ? y1 : x1;
    const long long dMinor = xMajor ? dy : dx;
    const int step = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const long long lo = xMajor ? x0_ : y0_, hi = xMajor ? x1_ : y1_;
    const long long minorLo = xMajor ? y0_ : x0_, minorHi = xMajor ? y1_ : x1_;
    const long long first = std::max(step > 0 ? lo - major0 : major0 - hi, 0LL);
    const long long last = std::min(step > 0 ? hi - major0 : major0 - lo, n - 1);
    for (long long i = first; i <= last; ++i) {
      const long long num = 2 * i * dMinor + n, den = 2 * n;
      long long q = num / den;
      if (num % den != 0 && num < 0)
        --q;
      const long long minor = minor0 + q;
      if (minor < minorLo || minor > minorHi)
        continue;
      const long long major = major0 + step * i;
      const long long x = xMajor ? major : minor, y = xMajor ? minor : major;
      bits_[y * stride_ + x] = colour_;
    }
  }

  platform::GdiCanvas &c_;
  QRgb *bits_ = nullptr;
  std::ptrdiff_t stride_ = 0;
  long long x0_ = 0, x1_ = -1, y0_ = 0, y1_ = -1;
  QRgb colour_ = 0;
};
