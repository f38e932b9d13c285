// Colours a control as the class library's Color property does: its background, whatever kind
// of control it is (a group box fills its window colour, a memo its base colour).
#pragma once

#include "platform/Color.h"

#include <QPalette>
#include <QWidget>

inline void setControlColour(QWidget *control, TColor colour) {
  if (!control)
    return;
  QPalette palette = control->palette();
  const QColor c = platform::toQColor(colour);
  palette.setColor(QPalette::Window, c);
  palette.setColor(QPalette::Base, c);
  control->setPalette(palette);
  control->setAutoFillBackground(true);
}

// The colour last given by setControlColour (its window colour).
inline TColor controlColour(const QWidget *control) {
  return platform::fromQColor(control->palette().color(QPalette::Window));
}
