// The sound velocity profile window: loads a cast, processes it and switches its use on and off.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;

class TfSVP : public QWidget {
public:
  TfSVP(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QCheckBox *cUseSVP = nullptr;
  QPlainTextEdit *mRawSVData = nullptr;
  QPlainTextEdit *mRawSVExtracted = nullptr;
  QPlainTextEdit *mSortedAveragedSV = nullptr;
  QPlainTextEdit *mSVPColumn = nullptr;
};
