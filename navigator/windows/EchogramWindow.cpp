#include "navigator/windows/EchogramWindow.h"

#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/shared/FirstPlacement.h"
#include "navigator/shared/FormPlacement.h"
#include "navigator/shared/MainWindowServices.h"
#include "platform/Abort.h"
#include "platform/CloseQuery.h"
#include "platform/GdiCanvas.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QPaintEvent>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

namespace {

constexpr TColor backgroundColor = 16775408; // (240, 248, 255)
constexpr TColor waterColor = 16757860;      // (100, 180, 255)
constexpr TColor gridColor = 8421504;        // grey

} // namespace

TfCanvas::TfCanvas(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fCanvas"));
  setWindowTitle(QStringLiteral("Acoustic Waterfall"));
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(QFont(QStringLiteral("Tahoma")));
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(374, 92);
}

void TfCanvas::ReadSettings() {
  const platform::IniFile ini(platform::SettingsFilePath());
  // The ring holds EchogramCapacity depths and a zero width would divide by zero; a timer that
  // is not positive would spin.
  DataWidth = EchogramCount(ini.ReadInteger("ECHOGRAM", "DataWidth", 50));
  Interval = std::max(1, static_cast<int>(ini.ReadInteger("ECHOGRAM", "Interval", 100)));
}

void TfCanvas::FormShow(QObject *) {
  try {
    ReadSettings();
    if (QTimer *timer = Windows.Main ? Windows.Main->echogramTimer() : nullptr)
      timer->setInterval(Interval);
    if (Windows.Navset && Windows.Navset->fcadColor) {
      const QVariant chosen = Windows.Navset->fcadColor->currentData();
      if (chosen.canConvert<QColor>() && chosen.value<QColor>().isValid())
        backColor_ = chosen.value<QColor>();
    }
    if (!navplace::placeWhenNoneStored(this, Windows))
      RestoreFormPlacement(this, 1);
  } catch (...) {
  }
}

void TfCanvas::FormCloseQuery(QObject *, bool &CanClose) {
  platform::IniFile ini(platform::SettingsFilePath());
  ini.WriteInteger("ECHOGRAM", "DataWidth", DataWidth);
  ini.WriteInteger("ECHOGRAM", "Interval", Interval);
  SaveFormPlacement(this);
  CanClose = true;
}

void TfCanvas::DrawEchogram(double depth, double rangeTopDefault, double rangeBottomDefault,
                            int count) {
  ShiftEchogram(Samples, depth, count);
  Layout =
      LayoutEchogram(Samples, depth, rangeTopDefault, rangeBottomDefault, count, width(), height());
  update();
}

void TfCanvas::paintEvent(QPaintEvent *) {
  platform::GdiCanvas canvas(*this);
  const int W = width(), H = height();
  if (!Layout) {
    canvas.Brush = {platform::fromQColor(backColor_), bsSolid};
    canvas.FillRect(0, 0, W, H);
    return;
  }
  // The picture was laid out for the size at its drawing; a resize redraws it at the new size.
  if (Layout->Width != W || Layout->Height != H) {
    const double depth = Samples.EchoDepths[EchogramCount(DataWidth) - 1];
    Layout = LayoutEchogram(Samples, depth, 0.0, 50.0, DataWidth, W, H);
  }
  const EchogramLayout &l = *Layout;
  canvas.Brush = {backgroundColor, bsSolid};
  canvas.FillRect(0, 0, W, H);

  for (const EchogramColumn &c : l.Columns) {
    canvas.Brush = {waterColor, bsSolid};
    canvas.FillRect(c.X0, 0, c.X1, c.Y);
    canvas.Pen = {clRed, 3, psSolid, pmCopy};
    canvas.MoveTo(c.X0, c.Y);
    canvas.LineTo(c.X1, c.Y);
  }
  canvas.Pen = {clBlack, 2, psSolid, pmCopy};
  for (const EchogramSegment &s : l.Profile) {
    canvas.MoveTo(s.X0, s.Y0);
    canvas.LineTo(s.X1, s.Y1);
  }
  canvas.Font = {QStringLiteral("Tahoma"), 9, true, false, clBlack, 0};
  for (const EchogramGridLine &g : l.Grid) {
    canvas.Pen = {gridColor, 1, psDot, pmCopy};
    canvas.Brush = {backgroundColor, bsClear};
    canvas.MoveTo(0, g.Y);
    canvas.LineTo(W, g.Y);
    canvas.TextOut(3, g.Y + 2, QString::fromStdString(g.Label));
  }
  if (l.HasNewest) {
    if (l.HasMarker) {
      canvas.Pen = {clBlack, 1, psSolid, pmCopy};
      canvas.MoveTo(l.Marker.X0, l.Marker.Y0);
      canvas.LineTo(l.Marker.X1, l.Marker.Y1);
    }
    canvas.Brush = {clYellow, bsSolid};
    canvas.FillRect(W - 78, H - 26, W - 2, H - 2);
    canvas.Font = {QStringLiteral("Tahoma"), 12, true, false, clBlack, 0};
    canvas.TextOut(W - 75, H - 24, QString::fromStdString(l.NewestText));
  }
  canvas.Font.Bold = false;
}

void TfCanvas::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    platform::guarded([this] { FormShow(this); })();
}

void TfCanvas::closeEvent(QCloseEvent *event) {
  platform::closeQuery(event, [this](bool &canClose) { FormCloseQuery(this, canClose); });
}
