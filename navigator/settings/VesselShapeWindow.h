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
