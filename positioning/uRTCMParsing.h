// The RTCM report window: an analysis of the correction bytes received last.
#pragma once

#include <QWidget>

class TfRTCMParsing : public QWidget {
public:
  explicit TfRTCMParsing(QWidget *owner);
};
