// TOffsets: the offsets of the boat's sensors, sound velocity and tide that post-processing needs;
// its edits are the live values the depth correction reads.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

class TOffsets : public QWidget {
public:
  TOffsets(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QLineEdit *OffsetA = nullptr;
  QLineEdit *SV = nullptr;
  QLineEdit *OffsetC = nullptr;
  QLineEdit *TideHt = nullptr;
  QPushButton *bSVP = nullptr;
};
