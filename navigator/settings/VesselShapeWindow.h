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
