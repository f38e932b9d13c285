// The echogram window: the last corrected depths as a scrolling waterfall.
#pragma once

#include "navigator/NavigatorWindows.h"
#include "navigator/windows/EchogramLayout.h"

#include <QColor>
#include <QWidget>
#include <optional>

class TfCanvas : public QWidget {
public:
  TfCanvas(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  // Number of depths the waterfall shows (ECHOGRAM / DataWidth), 1 to EchogramCapacity.
  int DataWidth = 50;
  // The echogram timer's interval in milliseconds (ECHOGRAM / Interval), positive.
  int Interval = 100;

  // The depths shown; kept across showings so that the picture resumes where it stopped.
  EchogramSamples Samples;
  // The picture of the last drawing; none before the first.
  std::optional<EchogramLayout> Layout;

  void FormShow(QObject *Sender);
  void FormCloseQuery(QObject *Sender, bool &CanClose);
  // Scrolls `depth` in as the newest of `count` depths and repaints.
  void DrawEchogram(double depth, double rangeTopDefault, double rangeBottomDefault, int count);

  // Reads DataWidth and Interval, holding them to what the ring and the timer can take.
  void ReadSettings();

protected:
  void paintEvent(QPaintEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  QColor backColor_{Qt::white}; // shows until the first drawing covers it
};
