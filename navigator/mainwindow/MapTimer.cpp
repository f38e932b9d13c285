// TFNav: the map timer. One tick turns the last fix into grid coordinates and redraws what shows
// the boat: the view following it, the vessel symbol, the status bar, the track, the depth label,
// the depth and speed boxes and the latency figures.
#include "navigator/mainwindow/MapTimer.h"

#include "canvas/DrawingModel.h"
#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/settings/VesselShapeWindow.h"
#include "navigator/windows/LatencyWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/Time.h"
#include "positioning/TarvikSerialGPS.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

using platform::ffFixed;
using platform::FloatToStrF;

namespace {

std::string fixed(double value, int decimals) { return FloatToStrF(value, ffFixed, 15, decimals); }

QString qfixed(double value, int decimals) {
  return QString::fromStdString(fixed(value, decimals));
}

constexpr double degToRad = std::numbers::pi / 180.0;

} // namespace

std::string FixQualityText(int quality) {
  switch (quality) {
  case 0:
    return "No Fix";
  case 1:
    return "GPS";
  case 2:
    return "DGPS";
  case 4:
    return "RTK Fix";
  case 5:
    return "RTK Float";
  default:
    return "Fix:" + std::to_string(quality);
  }
}

std::string GGAStatusText(int quality, double speedKnots, int satellites, double antennaHeight,
                          const std::string &tideText, bool withDepth, double depth) {
  std::string text = FixQualityText(quality) + " | Spd: " + fixed(speedKnots, 1) +
                     " kn | SV: " + std::to_string(satellites) +
                     " | Ant: " + fixed(antennaHeight, 2) + " m | Tide: " + tideText + " m";
  if (withDepth)
    text += " | Depth: " + fixed(depth, 2) + " m";
  return text;
}

void DrawVesselSymbol(DrawingModel &drawing, int layer, double e, double n, double headingDeg,
                      const VesselGeometry &g) {
  const double h = headingDeg * degToRad;
  const double half = std::numbers::pi / 2;
  const double tipX = e + std::sin(h) * g.BowLength, tipY = n + std::cos(h) * g.BowLength;
  const double stbX = e + std::sin(h + half) * g.SideLength,
               stbY = n + std::cos(h + half) * g.SideLength;
  const double portX = e + std::sin(h - half) * g.SideLength,
               portY = n + std::cos(h - half) * g.SideLength;
  drawing.DrawLine(e, n, tipX, tipY, layer);
  drawing.DrawLine(e, n, stbX, stbY, layer);
  drawing.DrawLine(e, n, portX, portY, layer);
  drawing.DrawLine(tipX, tipY, stbX, stbY, layer);
  drawing.DrawLine(tipX, tipY, portX, portY, layer);
  for (int i = 0; i < g.RingCount; ++i)
    drawing.DrawCircle(e, n, g.FirstRadius + i * g.RingStep, layer);
}

void FollowPan(double left, double right, double top, double bottom, int width, int height,
               double e, double n, double &dx, double &dy) {
  dx = e - (left + right) / 2;
  dy = n - (top + bottom) / 2;
  const double px = (right - left) / std::max(width, 1);
  const double py = (top - bottom) / std::max(height, 1);
  const double kx = std::round(dx / px);
  const double ky = std::round(dy / py);
  // A view without a usable pixel size, or a jump beyond any screen, pans as it is asked.
  if (!std::isfinite(kx) || !std::isfinite(ky) || std::fabs(kx) > 1e9 || std::fabs(ky) > 1e9)
    return;
  dx = kx * px;
  dy = ky * py;
}

void TFNav::tMapTimer(QObject *) {
  TMapTimerState &m = MapTimer;
  TNavigationState &s = State;
  const survey::RoadState &road = Road.state();
  const NavigatorWindows &w = Windows;
  TFGPS *gps = w.FGPS;
  TfRealtime *realtime = w.fRealtime;

  // Latency start. The monotonic clock: differences of time-of-day texts jump at every minute.
  m.LatencyStarted = w.fLatency && w.fLatency->isVisible();
  if (m.LatencyStarted)
    m.LatencyStartMSecs = platform::currentClock().monotonicMSecs();

  // Until a ZDA sentence has arrived the map never moves.
  if (!road.ZdaSeen)
    return;

  // Realtime window.
  const int quality = ZGPS1 ? ZGPS1->GetFixQuality() : 0;
  const int satellites = ZGPS1 ? ZGPS1->GetSatellites() : 0;
  if (realtime) {
    realtime->Fixed->setText(QString::number(quality));
    realtime->LAntennaH->setText(qfixed(road.AntennaHeight, 2));
    realtime->LTideHt->setText(w.Offsets && w.Offsets->isVisible() ? QStringLiteral("-")
                                                                   : qfixed(road.RtkTide, 2));
    realtime->SatelliteLabel->setText(QString::number(satellites));
  }

  // Fix quality and the GGA status box.
  GGAFixQuality = quality;
  const double speed = realtime ? platform::StrToFloatDef(realtime->Speed->text(), 0.0) : 0.0;
  const std::string tide =
      realtime ? realtime->LTideHt->text().toStdString() : fixed(road.RtkTide, 2);
  const double depth = road.SingleDepth();
  const bool withDepth = gps && gps->Model.Values.SensorEnabled && depth > 0;
  GGAOverlayText =
      GGAStatusText(quality, speed, satellites, road.AntennaHeight, tide, withDepth, depth);

  // Before the receiver's first real fix the position is 0, 0: projecting it would draw the boat
  // and start the track in the Gulf of Guinea.
  if (road.FixLatitude == 0 && road.FixLongitude == 0) {
    if (fcad)
      fcad->Update();
    return;
  }

  // The vessel shape, once per session. The geodesy is the session's own, taken by the road
  // at the start and shared with the survey records.
  if (!m.MapSetupDone) {
    if (!gps || !w.FShape)
      return;
    try {
      TMapTimerState t = m;
      const TFShape &shape = *w.FShape;
      t.Vessel.RingCount = TFShape::CircleCount(shape.edAmount->text());
      t.Vessel.RingStep = TFShape::ShapeLength(shape.edInterval->text());
      t.Vessel.FirstRadius = TFShape::ShapeLength(shape.edRadious->text());
      t.Vessel.SideLength = TFShape::ShapeLength(shape.edLArrow->text());
      t.Vessel.BowLength = TFShape::ShapeLength(shape.edBArrow->text());
      t.MapSetupDone = true;
      m = t;
    } catch (const platform::EConvertError &) {
      // Shown once; the ticks after retry quietly until the settings are mended.
      if (!m.SetupFailureReported) {
        m.SetupFailureReported = true;
        platform::handleCurrentException();
      }
      return;
    }
  }

  // Projection of the fix, made once per fix.
  const SensorSettingsValues &v = gps->Model.Values;
  const auto grid = Road.gridOfFix();
  if (!grid)
    return;
  DatumParameters = Projection.datumParameters();
  s.VesselEasting = grid->Easting;
  s.VesselNorthing = grid->Northing;
  s.GridConvergence = grid->Convergence;

  // Heading, degrees, not folded.
  const double course = ZGPS1 ? static_cast<double>(ZGPS1->GetCourse()) : 0.0;
  s.VesselHeading = (v.GyroEnabled ? road.HdtHeading : course) + s.GridConvergence;

  const double e = s.VesselEasting, n = s.VesselNorthing;
  TNavset *nav = w.Navset;

  // Follow the boat, or repaint in place.
  if (fcad) {
    double dx = 0, dy = 0;
    if (s.FollowVesselEnabled)
      FollowPan(fcad->WorldLeft, fcad->WorldRight, fcad->WorldTop, fcad->WorldBottom, fcad->width(),
                fcad->height(), e, n, dx, dy);
    // A pan repaints the view; a still view repaints what this tick changes, at its end.
    if (dx != 0 || dy != 0)
      fcad->WorldPan(dx, dy);

    // The vessel layer holds only this tick's symbol.
    fcad->CadClearShapes(s.VesselLayer);
    if (e != 0 || n != 0) {
      if (nav) {
        fcad->SetLayerPenFg(s.VesselLayer, TNavset::colourOf(nav->VesselColor));
        fcad->SetLayerPenWidth(s.VesselLayer, nav->widthOf(nav->VesselWidth));
      }
      DrawVesselSymbol(*fcad, s.VesselLayer, e, n, s.VesselHeading, m.Vessel);
    }
  }

  // Status bar.
  if (StatusPanels.size() >= 4) {
    StatusPanels[0]->setText(QStringLiteral("Lat: ") + qfixed(road.FixLatitude, 8));
    StatusPanels[1]->setText(QStringLiteral("Lon: ") + qfixed(road.FixLongitude, 8));
    StatusPanels[2]->setText(QStringLiteral("E: ") + qfixed(e, 2));
    StatusPanels[3]->setText(QStringLiteral("N: ") + qfixed(n, 2));
  }

  // Track.
  if (!m.TrackStartPointSet) {
    m.TrackStartPointSet = true;
    m.PrevTrackEasting = e;
    m.PrevTrackNorthing = n;
  }
  const int interval = nav ? platform::StrToIntDef(nav->TrackInterval->text(), 0) : 20;
  if (fcad && nav && m.TrackStarted && interval <= m.TrackCounter) {
    int layer = 0;
    TColor colour = 0;
    if (quality == 4) {
      layer = fcad->LayerFindByName(QStringLiteral("track_fix"));
      colour = TNavset::colourOf(nav->ColorTracklines1);
    } else if (quality == 5 || quality == 2 || quality == 3) {
      layer = fcad->LayerFindByName(QStringLiteral("track_float"));
      colour = TNavset::colourOf(nav->ColorTracklines0);
    } else {
      layer = fcad->LayerFindByName(QStringLiteral("track_nofix"));
      colour = TNavset::colourOf(nav->GridColor);
    }
    if (nav->cLineOrDot->isChecked())
      fcad->DrawLine(e, n, m.PrevTrackEasting, m.PrevTrackNorthing, layer);
    else
      fcad->DrawPoint(e, n, layer);
    fcad->SetLayerPenFg(layer, colour);
    fcad->SetLayerPenWidth(layer, nav->widthOf(nav->TrackWidth));
    m.TrackCounter = 0;
    m.PrevTrackEasting = e;
    m.PrevTrackNorthing = n;
  }
  ++m.TrackCounter;
  m.TrackStarted = true;

  if (fcad) {
    // Depth label.
    const SensorSettingsModel &d = gps->Model;
    if (d.DepthLabelSettingShown && depth > 0 && (e != 0 || n != 0)) {
      fcad->SetDepthLabelSettings(d.DepthLabelSettingShown, d.DepthLabelSettingSpacing,
                                  QString::fromStdString(d.DepthLabelSettingFontName),
                                  d.DepthLabelSettingFontSize, d.DepthLabelSettingColor);
      fcad->AddDepthLabel(e, n, depth);
    }
    // Depth and speed boxes.
    if (depth > 0)
      fcad->SetCurrentDepth(road.MeasuredDepthHi(), road.MeasuredDepthLo(), true);
    fcad->SetCurrentSpeed(road.SpeedKnots, true);
    // Only the pixels of this tick's changes to the drawing and of the status box are painted
    // again; the back buffer is kept.
    fcad->RepaintChanges();
  }

  // Latency: only a tick whose start was taken is counted.
  if (m.LatencyStarted && w.fLatency && w.fLatency->isVisible()) {
    m.CurrentLatency =
        static_cast<std::int64_t>(platform::currentClock().monotonicMSecs() - m.LatencyStartMSecs);
    ++m.LatencyCount;
    m.LatencyAverage =
        ((m.LatencyCount - 1) * m.LatencyAverage + static_cast<double>(m.CurrentLatency)) /
        m.LatencyCount;
    w.fLatency->eCurrentLatency->setText(QString::number(m.CurrentLatency));
    w.fLatency->eLatencyAveraged->setText(qfixed(m.LatencyAverage, 1));
  }
}
