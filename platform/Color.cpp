#include "platform/Color.h"

#include <QGuiApplication>
#include <QPalette>

namespace platform {

namespace {

// The palette colour that stands in for each Windows colour index.
QColor paletteColor(const QPalette &p, unsigned index) {
  using P = QPalette;
  switch (index) {
  case 0:  // scroll bar
  case 15: // button face
  case 4:  // menu
  case 30: // menu bar
    return p.color(P::Active, P::Button);
  case 1:  // desktop
  case 12: // MDI work space
    return p.color(P::Active, P::Dark);
  case 2:  // active caption
  case 13: // highlight
  case 26: // hot-tracked item
  case 29: // highlighted menu item
    return p.color(P::Active, P::Highlight);
  case 27: // gradient of the active caption
    return p.color(P::Active, P::Highlight).lighter(150);
  case 3:  // inactive caption
  case 28: // gradient of the inactive caption
    return p.color(P::Inactive, P::Window).darker(110);
  case 5: // window background
    return p.color(P::Active, P::Base);
  case 6:  // window frame
  case 21: // 3D dark shadow
    return p.color(P::Active, P::Shadow);
  case 7: // menu text
  case 8: // window text
    return p.color(P::Active, P::WindowText);
  case 9:  // caption text
  case 14: // highlighted text
    return p.color(P::Active, P::HighlightedText);
  case 10: // borders
  case 11:
  case 22: // 3D light
    return p.color(P::Active, P::Midlight);
  case 16: // button shadow
    return p.color(P::Active, P::Mid);
  case 17: // grey text
  case 19: // inactive caption text
    return p.color(P::Disabled, P::WindowText);
  case 18: // button text
    return p.color(P::Active, P::ButtonText);
  case 20: // button highlight
    return p.color(P::Active, P::Light);
  case 23: // tool tip text
    return p.color(P::Active, P::ToolTipText);
  case 24: // tool tip background
    return p.color(P::Active, P::ToolTipBase);
  default: // no such index: Windows answers black
    return Qt::black;
  }
}

} // namespace

TColor ColorToRGB(TColor c) {
  if (!isSystemColor(c))
    return c;
  const QPalette palette = QGuiApplication::palette();
  const QColor q = paletteColor(palette, c & 0xFF);
  return RGB(q.red(), q.green(), q.blue());
}

} // namespace platform
