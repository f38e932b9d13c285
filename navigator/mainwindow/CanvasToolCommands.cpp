// TFNav: the canvas's events, the drawing tools, the view commands and selection.
#include "navigator/mainwindow/MainWindow.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/runlines/RunlineWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"

#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>

namespace {

const QString kSelectPolyLayer = QStringLiteral("Tarvik_SelectPoly");

// Draw modes of the canvas.
enum : int {
  dmSelect = 0,
  dmRectangle = 1,
  dmLineChain = 3,
  dmEllipse = 4,
  dmPolyline = 5,
  dmPolygon = 6,
  dmSpline = 8,
  dmArc3 = 10,
  dmPoint = 17,
  dmCircle = 19,
  dmPan = -2,
  dmZoomWindow = -3,
  dmZoomDynamic = -4,
};

void setPanel(const std::vector<QLabel *> &panels, std::size_t i, const QString &text) {
  if (i < panels.size() && panels[i])
    panels[i]->setText(text);
}

} // namespace

double PlanarDistance(double x1, double y1, double x2, double y2) {
  const long double dx = static_cast<long double>(x2) - x1;
  const long double dy = static_cast<long double>(y2) - y1;
  return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

double PlanarBearing(double a1, double b1, double a2, double b2) {
  double d1 = a2 - a1;
  if (d1 == 0.0)
    d1 = 1e-16;
  const double d2 = b2 - b1;
  double r = std::atan(d2 / d1);
  if (d1 < 0)
    r += M_PI;
  else if (d2 / d1 < 0)
    r += 2 * M_PI;
  return r;
}

// ---- Canvas events
void TFNav::fcadShapeNumberSelected(QObject *, short, std::int32_t ShapeNumber) {
  if (!State.ClickMarkEnabled || !Windows.Navset || !Windows.Navset->TrackWidth)
    return;
  // A text that is not a whole number raises before the shape is touched.
  const int w = platform::StrToInt(Windows.Navset->TrackWidth->text());
  if (fcad->GetShapePenWidth(ShapeNumber) != w) {
    fcad->SetShapePenWidth(ShapeNumber, w);
    fcad->ShapeDeselect(ShapeNumber);
  } else {
    fcad->SetShapePenWidth(ShapeNumber, 0);
  }
}

void TFNav::fcadWorldMouseMove(QObject *, short, double X, double Y, double, double) {
  State.MouseWorldX = X;
  State.MouseWorldY = Y;
  if (!State.MeasureActive || State.MeasureStartX == 0 || State.MeasureStartY == 0)
    return;
  const double d = PlanarDistance(State.MeasureStartX, State.MeasureStartY, X, Y);
  const double b = PlanarBearing(State.MeasureStartY, State.MeasureStartX, Y, X) * 180.0 / M_PI;
  fcad->UpdateDistanceMeasure(X, Y, d, b);
}

void TFNav::fcadWorldMouseDown(QObject *, short Button, short, short, double X, double Y) {
  if (Button == 2) {
    if (State.MeasureActive) {
      State.MeasureActive = false;
      fcad->EndDistanceMeasure();
      State.MeasureStartX = State.MeasureStartY = 0;
    } else {
      State.MeasureActive = true;
      State.MeasureStartX = X;
      State.MeasureStartY = Y;
      fcad->StartDistanceMeasure(X, Y);
    }
    return;
  }
  if (StatusPanels.size() >= 6) {
    setPanel(StatusPanels, 4, QStringLiteral("Click E: ") + QString::number(X, 'f', 2));
    setPanel(StatusPanels, 5, QStringLiteral("Click N: ") + QString::number(Y, 'f', 2));
  }
}

void TFNav::fcadDrawBegin(QObject *, short, double, double) {
  fcad->CurrentLayer = State.UserShapeLayer;
  // No tick may redraw the vessel layer in the middle of a drawing.
  State.MapPausedForDrawing = true;
  if (tMap)
    tMap->stop();
}

void TFNav::fcadDrawEnd(QObject *, short ShapeType, double, double) {
  fcad->KeepDrawMode = false;
  // The map resumes only when it would be running had nobody drawn: never while acquisition
  // is stopped or the receiver is silent (its own recovery restarts it then).
  State.MapPausedForDrawing = false;
  if (tMap && State.RealtimeRunning == 1 && !State.GpsIdle)
    tMap->start();

  const bool trackMode = State.TrackSelectMode && ShapeType == dmPolygon;
  const bool shapeMode = !trackMode && State.ShapeSelectMode && ShapeType == dmPolygon;
  if (trackMode || shapeMode) {
    if (trackMode)
      State.TrackSelectMode = false;
    else
      State.ShapeSelectMode = false;
    try {
      const TPointPairVector points = fcad->GetLastPolylinePoints();
      std::vector<TPointF> polygon;
      polygon.reserve(points.size());
      for (const auto &p : points)
        polygon.push_back({static_cast<float>(p.first), static_cast<float>(p.second)});
      const int polyLayer = fcad->LayerFindByName(kSelectPolyLayer);
      if (polyLayer >= 0)
        fcad->CadClearShapes(polyLayer);
      bool selected = false;
      if (trackMode) {
        std::vector<int> layers;
        for (const char *name : {"track_fix", "track_nofix", "track_float"}) {
          const int i = fcad->LayerFindByName(QString::fromLatin1(name));
          if (i >= 0)
            layers.push_back(i);
        }
        if (!layers.empty() && polygon.size() > 2) {
          fcad->SelectShapesInPolygon(polygon, layers);
          selected = true;
        }
      } else if (polygon.size() > 2) {
        fcad->SelectAllShapesInPolygon(polygon);
        selected = true;
      }
      if (selected) {
        fcad->Refresh();
        const int n = fcad->SelectedShapeCount();
        setPanel(StatusPanels, 0,
                 n < 1 ? QString()
                       : QString::number(n) +
                             (trackMode
                                  ? QStringLiteral(" track(s) selected. Press Delete to remove.")
                                  : QStringLiteral(" shape(s) selected. Press Delete to remove.")));
      }
      fcad->DrawMode = dmSelect;
      fcad->ClearDrawingState();
    } catch (...) {
      fcad->ClearDrawingState();
    }
    return;
  }

  if (Windows.fRunline1 && Windows.fRunline1->isVisible() &&
      (ShapeType == dmLineChain || ShapeType == dmPolyline || ShapeType == dmPolygon)) {
    const TPointPairVector points = fcad->GetLastPolylinePoints();
    if (points.size() >= 2)
      Windows.fRunline1->AcceptRoutePolyline(points);
  }
}

void TFNav::fcadDblClick(QObject *) {
  const QPoint p = fcad->mapFromGlobal(QCursor::pos());
  if (!fcad->IsPointInGGAOverlay(p.x(), p.y()))
    return;
  TfRealtime *realtime = Windows.fRealtime;
  if (!realtime || !realtime->btHide)
    return;
  if (realtime->btHideImageIndex == 1) {
    for (QWidget *w : {static_cast<QWidget *>(tRealtime), static_cast<QWidget *>(tDraw), pRealtime})
      if (w)
        w->show();
    if (Windows.Navset)
      Windows.Navset->show();
    // The sizeable border and the menu come back; a change of the frame hides a shown window,
    // so it is put back where it was.
    const bool shown = isVisible();
    setWindowFlag(Qt::FramelessWindowHint, false);
    if (MainMenu1)
      MainMenu1->show();
    if (shown)
      show();
    realtime->setHideImage(0);
    if (State.EchogramShown && Windows.fCanvas)
      Windows.fCanvas->show();
    if (tShape)
      tShape->show();
  } else {
    realtime->btHideClick(realtime->btHide);
  }
}

// ---- Wheel outside the canvas: pan toward the mouse point, then zoom about it.
void TFNav::wheelEvent(QWheelEvent *event) {
  // As the canvas reads it: Qt reports the wheel turned with Alt held as horizontal.
  const QPoint turn = event->angleDelta();
  const int dy =
      turn.y() != 0 || !event->modifiers().testFlag(Qt::AltModifier) ? turn.y() : turn.x();
  if (dy == 0) {
    QMainWindow::wheelEvent(event);
    return;
  }
  event->accept();
  // A fine-grained wheel or a touchpad sends parts of a notch; they add up to whole ones.
  wheelRemainder_ += dy;
  while (wheelRemainder_ >= 120) {
    wheelRemainder_ -= 120;
    platform::guarded([this] { FormMouseWheelUp(this); })();
  }
  while (wheelRemainder_ <= -120) {
    wheelRemainder_ += 120;
    platform::guarded([this] { FormMouseWheelDown(this); })();
  }
}

void TFNav::FormMouseWheelDown(QObject *) {
  const double dx = (State.MouseWorldX - (fcad->WorldLeft + fcad->WorldRight) / 2) / 100;
  const double dy = (State.MouseWorldY - (fcad->WorldTop + fcad->WorldBottom) / 2) / 100;
  fcad->WorldPan(dx, dy);
  fcad->WorldZoom(0, -0.1, State.MouseWorldX, State.MouseWorldY);
  fcad->DrawMode = dmPan;
}

void TFNav::FormMouseWheelUp(QObject *) {
  const double dx = (State.MouseWorldX - (fcad->WorldLeft + fcad->WorldRight) / 2) / 10;
  const double dy = (State.MouseWorldY - (fcad->WorldTop + fcad->WorldBottom) / 2) / 10;
  fcad->WorldPan(dx, dy);
  fcad->WorldZoom(0, 0.1, State.MouseWorldX, State.MouseWorldY);
  fcad->DrawMode = dmPan;
}

// ---- Selection
namespace {
void preparePolygonLayer(TTarvikCanvas *fcad) {
  int layer = fcad->LayerFindByName(kSelectPolyLayer);
  if (layer < 0)
    layer = fcad->LayerOpen(kSelectPolyLayer);
  else
    fcad->CadClearShapes(layer);
  fcad->CurrentLayer = layer;
  fcad->DrawMode = dmPolygon;
  fcad->KeepDrawMode = false;
}
} // namespace

void TFNav::bSelectTracksClick(QObject *) {
  State.ClickMarkEnabled = false;
  State.TrackSelectMode = true;
  preparePolygonLayer(fcad);
  setPanel(StatusPanels, 0,
           QStringLiteral("Draw polygon to select tracks (right-click to finish)"));
}

void TFNav::bMouseSelectClick(QObject *) {
  State.TrackSelectMode = false;
  State.ShapeSelectMode = true;
  preparePolygonLayer(fcad);
  setPanel(StatusPanels, 0,
           QStringLiteral("Draw polygon to select shapes (right-click to finish)"));
}

void TFNav::EndSelectionModes() {
  if (State.TrackSelectMode) {
    State.TrackSelectMode = false;
    fcad->ClearSelection();
    setPanel(StatusPanels, 0, QString());
  }
  if (State.ShapeSelectMode) {
    State.ShapeSelectMode = false;
    fcad->ClearSelection();
    setPanel(StatusPanels, 0, QString());
  }
}

void TFNav::bDelSelectedClick(QObject *) {
  if (fcad->SelectedShapeCount() > 0) {
    fcad->CadClearSelectedShapes();
    fcad->Refresh();
  }
  State.ClickMarkEnabled = true;
}

void TFNav::ToolButton11Click(QObject *) {
  if (platform::MessageDlg(QStringLiteral("User added shapes to be deleted! Continue?"), mtWarning,
                           mbYesNo) != mrYes)
    return;
  fcad->CadClearShapes(State.UserShapeLayer);
  fcad->Refresh();
}
