// The vessel shape window: the numbers that shape the vessel symbol of the plan view. The map
// timer reads the edits once, on its first tick.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

class TFShape : public QWidget {
public:
  TFShape(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  // The most circles the vessel symbol draws (every map tick draws them all): more rings than
  // this window's symbol could ever show apart. A larger number typed here is refused, a larger
  // stored one is clamped and said in the message window.
  static constexpr int MaxCircles = 100;
  // The number of circles the map timer draws for the edit's text: its integer, within
  // 0..MaxCircles. EConvertError when the text is not an integer.
  static int CircleCount(const QString &text);
  // The largest radius, circle interval or arrow length, in map units (metres): a symbol larger
  // than a harbour shows nothing of the boat, and one of 1e308 draws its lines across the whole
  // map. A larger or non-finite length typed here is refused, a stored one is clamped (one that
  // is no finite number gives the design value) and said in the message window.
  static constexpr double MaxShapeLength = 10000;
  // The length the map timer draws for an edit's text: its number within -MaxShapeLength to
  // MaxShapeLength. EConvertError when the text is no number or not a finite one.
  static double ShapeLength(const QString &text);

  QLineEdit *edRadious = nullptr;
  QLineEdit *edInterval = nullptr;
  QLineEdit *edAmount = nullptr;
  QLineEdit *edLArrow = nullptr;
  QLineEdit *edBArrow = nullptr;
  QPushButton *BitBtn1 = nullptr;  // "Save && Hide"
  QPushButton *bDefault = nullptr; // "Default"

  void FormCreate();
  void BitBtn1Click();
  void bDefaultClick();
};
