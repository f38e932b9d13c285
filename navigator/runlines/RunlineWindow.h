// The run-line window: survey lines across or along a route drawn on the plan view.
#pragma once

#include "canvas/Shapes.h"
#include "navigator/NavigatorWindows.h"
#include "navigator/runlines/RunlineModel.h"

#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QShowEvent;
class TTarvikCanvas;

class TfRunline1 : public QWidget {
public:
  TfRunline1(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QLabel *lRouteStatus = nullptr;
  QPushButton *bDrawRoute = nullptr;
  QLineEdit *eSpacing = nullptr;
  QLineEdit *eLength = nullptr;
  QRadioButton *rbPerpendicular = nullptr;
  QRadioButton *rbParallel = nullptr;
  QPushButton *bGenerate = nullptr;
  QPushButton *bClear = nullptr;
  QPushButton *bClose = nullptr;

  TPointPairVector RoutePoints;
  int RunlineLayer = -1;
  bool RouteReady = false;

  void FormCreate(QObject *Sender);
  void FormShow(QObject *Sender);
  void bDrawRouteClick(QObject *Sender);
  // The main window hands over a finished polyline of 2 or more points.
  void AcceptRoutePolyline(const TPointPairVector &points);
  void eSpacingChange(QObject *Sender);
  void eLengthChange(QObject *Sender);
  void rbPerpendicularClick(QObject *Sender);
  void rbParallelClick(QObject *Sender);
  void bGenerateClick(QObject *Sender);
  void bClearClick(QObject *Sender);
  void GenerateRunlines();
  void ClearRunlineLayer();

protected:
  void showEvent(QShowEvent *event) override;

private:
  TTarvikCanvas *canvas() const;
  void setStatus(const QString &text, unsigned bgr);
  void showRouteStatus();
  // Too many lines for these settings: the lines of this route stay as they are, and the box
  // comes once, not at every keystroke of an edit that is still being typed.
  void refuse(const runline::Result &result, const runline::Params &params);

  // The route whose lines the run-line layer holds; empty when it holds none.
  TPointPairVector linesFor_;
  // A refusal stands (the box was shown) until settings give lines again.
  bool refusing_ = false;
  // The settings of the last refusal the box was shown for.
  std::optional<runline::Params> boxedFor_;
};
