// TFNav: the menus and tool bars and the small commands behind them, the keys, and the echogram
// timer with its watchdog of the echo sounder.
#include "canvas/TarvikCanvas.h"
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/runlines/RunlineWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/settings/StyleWindow.h"
#include "navigator/settings/VesselShapeWindow.h"
#include "navigator/shared/CommandIcons.h"
#include "navigator/shared/FormPlacement.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/LatencyWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Abort.h"
#include "platform/Dialogs.h"
#include "platform/Time.h"
#include "positioning/TarvikSerialGPS.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QToolBar>
#include <QToolButton>
#include <cstdlib>

namespace {

constexpr std::uint16_t vkDelete = 46;
constexpr std::uint16_t vkEscape = 27;
constexpr std::uint16_t vkF2 = 113;
constexpr std::uint16_t vkF3 = 114;

// The echo sounder counts as silent after this many milliseconds without a line.
constexpr std::uint32_t sensorSilenceMs = 5000;

void showWindow(QWidget *window) {
  if (window)
    window->show();
}

} // namespace

void TFNav::BuildCommands() {
  StartProgram = [](const QString &program) { return QProcess::startDetached(program, {}); };
  EndProcess = [](int status) { std::exit(status); };

  // A key that several items show runs the first of them in menu order; Qt would run none of an
  // ambiguous shortcut, so the later items only show it (the text after a tab).
  const auto item = [this](QMenu *menu, const char *name, const char *caption,
                           void (TFNav::*handler)(QObject *), const QKeySequence &keys = {},
                           const char *shownKeys = nullptr) {
    QString text = QString::fromUtf8(caption);
    if (shownKeys)
      text += QLatin1Char('\t') + QString::fromLatin1(shownKeys);
    QAction *action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    if (!keys.isEmpty()) {
      action->setShortcut(keys);
      action->setShortcutContext(Qt::WindowShortcut);
    }
    if (handler)
      connect(action, &QAction::triggered, this,
              platform::guarded([this, handler, action] { (this->*handler)(action); }));
    return action;
  };

  item(Zoom1, "In1", "In", &TFNav::ZoominClick, {}, "Ctrl+I");
  item(Zoom1, "Out1", "Out", &TFNav::ZoomoutClick, {}, "Ctrl+O");
  item(Zoom1, "Extents1", "Extents", &TFNav::ZoomextentsClick,
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E));
  item(Zoom1, "Window1", "Window", &TFNav::ZoomwindowClick, {}, "Ctrl+W");
  item(Zoom1, "Dynamic1", "Dynamic", &TFNav::ZoomdynamicClick,
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_D));

  item(Tools1, "VesselShape1", "Vessel Shape...", &TFNav::VesselShape1Click);
  item(Tools1, "OpenLogFolder1", "Open Log Folder", &TFNav::OpenLogFolder1Click,
       QKeySequence(Qt::CTRL | Qt::Key_L));
  item(Tools1, "LatencyWatchSet1", "Latency Watch/Set", &TFNav::LatencyWatchSet1Click);

  item(Edit1, "Cleartracksunfixed1", "Clear tracks unfixed", &TFNav::tbFloatClick);
  item(Edit1, "Cleartracksfixed1", "Clear tracks fixed", &TFNav::tbFixedClick);
  item(Edit1, "Clearshapesuseradded1", "Clear shapes user added", &TFNav::ToolButton11Click);
  item(Edit1, "Deletetracksselected1", "Delete tracks selected", nullptr);
  Edit1->addSeparator();
  item(Edit1, "Followvessel1", "Follow vessel", &TFNav::ToolButton5Click);
  item(Edit1, "Donotfollowvessel1", "Do not follow vessel", &TFNav::ToolButton13Click);
  Edit1->addSeparator();
  item(Edit1, "MarkEvent1", "Mark Event", &TFNav::btEventAddClick, QKeySequence(Qt::Key_F12));

  item(Window1, "NavigationSettings1", "Navigation Settings...", &TFNav::NavigationSettings1Click);
  item(Window1, "mRealtimeWindow1", "Realtime Window...", &TFNav::mRealtimeWindow1Click);
  item(Window1, "Echogram1", "Echogram...", &TFNav::Echogram1Click, {}, "Ctrl+O");
  item(Window1, "OffsetsandValues1", "Offsets...", &TFNav::OffsetsandValues1Click, {}, "Ctrl+O");
  item(Window1, "themeSelection1", "Theme Selection...", &TFNav::themeSelection1Click);
  item(Window1, "SoundVelocityProfile1", "Sound Velocity Profile...",
       &TFNav::SoundVelocityProfile1Click);
  Window1->addSeparator();
  item(Window1, "TarvikNTRIPClient1", "Tarvik NTRIP Client...", &TFNav::TarvikNTRIPClient1Click);
  item(Window1, "Generate1", "Generate Runline...", &TFNav::Generate1Click);
  Window1->addSeparator();
  item(Window1, "Parameters1", "Device Settings...", &TFNav::Parameters1Click,
       QKeySequence(Qt::Key_F10));

  // Remote support comes before "About...", whichever of the two is laid out first.
  QAction *remote = item(Help1, "RemoteSupport1", "Remote Support...", &TFNav::RemoteSupport1Click);
  Help1->removeAction(remote);
  Help1->insertAction(Help1->actions().value(0, nullptr), remote);

  const auto button = [this](QToolBar *bar, const char *name, const char *caption,
                             const char *picture, void (TFNav::*handler)(QObject *),
                             QAction *before = nullptr) {
    auto *b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    const QIcon icon = navicons::icon(picture ? picture : "");
    if (!icon.isNull()) {
      b->setIcon(icon);
      b->setToolButtonStyle(caption ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    }
    if (caption)
      b->setText(QString::fromUtf8(caption));
    b->setToolTip(QString::fromUtf8(caption ? caption : name));
    b->setAutoRaise(true);
    if (before)
      bar->insertWidget(before, b);
    else
      bar->addWidget(b);
    if (handler)
      connect(b, &QToolButton::clicked, this,
              platform::guarded([this, b, handler] { (this->*handler)(b); }));
    return b;
  };

  tRealtime->setIconSize(QSize(20, 20));
  const QList<QAction *> top = tRealtime->actions();
  button(tRealtime, "tbRunline", "Runline", nullptr, &TFNav::tbRunlineClick,
         top.size() > 1 ? top[1] : nullptr);
  tRealtime->addSeparator();
  button(tRealtime, "tbFixed", "Fixed", nullptr, &TFNav::tbFixedClick);
  button(tRealtime, "tbFloat", "Float", nullptr, &TFNav::tbFloatClick);
  button(tRealtime, "tbAuto", "Auto", nullptr, &TFNav::tbAutoClick);
  tRealtime->addSeparator();
  button(tRealtime, "bSelectTracks", "Select Track", nullptr, &TFNav::bSelectTracksClick);
  button(tRealtime, "bDelSelected", "Delete Slected", nullptr, &TFNav::bDelSelectedClick);
  tRealtime->addSeparator();
  button(tRealtime, "ToolButton5", "Follow", nullptr, &TFNav::ToolButton5Click);
  button(tRealtime, "ToolButton13", "No follow", nullptr, &TFNav::ToolButton13Click);

  tDraw->setIconSize(QSize(20, 20));
  QToolButton *open = button(tDraw, "tbOpen", "Open", "open", nullptr);
  connect(open, &QToolButton::clicked, this, platform::guarded([this] {
            // The File menu's own item, so that both run the same command.
            if (auto *action = File1->findChild<QAction *>(QStringLiteral("Open1")))
              action->trigger();
          }));
  button(tDraw, "tbSave", "Save", "save", &TFNav::Save1Click);
  tDraw->addSeparator();
  button(tDraw, "Zoomin", "Zoom In", "zoomin", &TFNav::ZoominClick);
  button(tDraw, "Zoomout", "Zoom Out", "zoomout", &TFNav::ZoomoutClick);
  button(tDraw, "Zoomextents", nullptr, "extents", &TFNav::ZoomextentsClick)
      ->setToolTip(QStringLiteral("Zoom Extents"));
  button(tDraw, "Zoomwindow", nullptr, "zoomwindow", &TFNav::ZoomwindowClick)
      ->setToolTip(QStringLiteral("Zoom Window"));
  button(tDraw, "Zoomdynamic", nullptr, "zoomdynamic", &TFNav::ZoomdynamicClick)
      ->setToolTip(QStringLiteral("Zoom Dynamic"));
  button(tDraw, "Zoompan", nullptr, "pan", nullptr)->setToolTip(QStringLiteral("Pan"));
  bMouseSelect = button(tDraw, "bMouseSelect", nullptr, "select", nullptr);
  bMouseSelect->setToolTip(QStringLiteral("Select"));
  tDraw->addSeparator();
  button(tDraw, "tbClearUserShapes", "Clear User Shapes", nullptr, &TFNav::ToolButton11Click);
  tDraw->addSeparator();
  button(tDraw, "btEventAdd", "Add Event", nullptr, &TFNav::btEventAddClick);
  button(tDraw, "btEventReset", "Reset Event", nullptr, &TFNav::btEventResetClick);
  tDraw->addSeparator();
  bExit = button(tDraw, "bExit", nullptr, "exit", &TFNav::bExitClick);
  bExit->setToolTip(QStringLiteral("Exit"));
  bRestart = button(tDraw, "bRestart", nullptr, "restart", &TFNav::bRestartClick);
  bRestart->setToolTip(QStringLiteral("Restart"));

  tShape->setIconSize(QSize(20, 20));
  // The buttons carry other names than their handlers; the pairs below are the binding.
  const struct {
    const char *name, *picture, *hint;
    void (TFNav::*handler)(QObject *);
  } tools[] = {
      {"ToolButton7", "point", "Point", &TFNav::ToolButton10Click},
      {"ToolButton12", "linechain", "Line", &TFNav::ToolButton9Click},
      {"ToolButton21", "rectangle", "Rectangle", &TFNav::ToolButton16Click},
      {"ToolButton23", "polyline", "Polyline", &TFNav::ToolButton14Click},
      {"ToolButton27", "ellipse", "Ellipse", &TFNav::ToolButton19Click},
      {"ToolButton28", "polygon", "Polygon", &TFNav::ToolButton15Click},
      {"ToolButton29", "spline", "Spline", &TFNav::ToolButton17Click},
      {"ToolButton30", "arc", "Arc (three points)", &TFNav::ToolButton20Click},
      {"ToolButton31", "circle", "Circle", &TFNav::ToolButton18Click},
  };
  for (const auto &tool : tools)
    button(tShape, tool.name, nullptr, tool.picture, tool.handler)
        ->setToolTip(QString::fromLatin1(tool.hint));
}

// ---- Small commands

void TFNav::ToolButton5Click(QObject *) { State.FollowVesselEnabled = true; }
void TFNav::ToolButton13Click(QObject *) { State.FollowVesselEnabled = false; }
void TFNav::VesselShape1Click(QObject *) { showWindow(Windows.FShape); }

void TFNav::OpenLogFolder1Click(QObject *) {
  if (Windows.fRealtime)
    Windows.fRealtime->btOpenLogFolderClick(Windows.fRealtime->btOpenLogFolder);
}

void TFNav::LatencyWatchSet1Click(QObject *) { showWindow(Windows.fLatency); }
void TFNav::NavigationSettings1Click(QObject *) { showWindow(Windows.Navset); }
void TFNav::mRealtimeWindow1Click(QObject *) { showWindow(Windows.fRealtime); }

void TFNav::Echogram1Click(QObject *) {
  if (ZSENSOR && ZSENSOR->PortOpen)
    showWindow(Windows.fCanvas);
  else
    platform::ShowMessage(
        QStringLiteral("Sensor is not connected. Connect sensor to view waterfall."));
}

void TFNav::OffsetsandValues1Click(QObject *) { showWindow(Windows.Offsets); }
void TFNav::themeSelection1Click(QObject *) { showWindow(Windows.fTheme); }
void TFNav::SoundVelocityProfile1Click(QObject *) { showWindow(Windows.fSVP); }

void TFNav::TarvikNTRIPClient1Click(QObject *) {
  if (!Windows.frmNTRIPSettings) {
    Windows.frmNTRIPSettings = new TfrmNTRIPSettings(nullptr);
    Windows.frmNTRIPSettings->fRTCMParsing = Windows.fRTCMParsing;
    Windows.frmNTRIPSettings->GpsPort = ZGPS1;
  }
  if (ZGPS1 && ZGPS1->PortOpen) {
    Windows.frmNTRIPSettings->AttachGpsPort(ZGPS1->PortHandle,
                                            ZGPS1->PortNameFromNumber(ZGPS1->PortNumber));
    Windows.frmNTRIPSettings->UpdatePositionFromGps(static_cast<double>(ZGPS1->GetLatitude()),
                                                    static_cast<double>(ZGPS1->GetLongitude()),
                                                    static_cast<double>(ZGPS1->GetAltitude()));
  }
  Windows.frmNTRIPSettings->show();
}

void TFNav::Generate1Click(QObject *) {
  Save1Click(this);
  if (Windows.fRunline1) {
    RestoreFormPlacement(Windows.fRunline1, 0);
    Windows.fRunline1->show();
  }
}

void TFNav::Parameters1Click(QObject *) { showWindow(Windows.FGPS); }

void TFNav::RemoteSupport1Click(QObject *) {
  // The remote-support program lies beside the current folder; a missing one shows nothing.
  if (StartProgram)
    StartProgram(QDir::current().filePath(QStringLiteral("TarvikAssist")));
}

void TFNav::tbRunlineClick(QObject *) { showWindow(Windows.fRunline1); }

void TFNav::bExitClick(QObject *) {
  // At once, without the closing steps: every survey file is appended and closed per record, and
  // the runtime's exit flushes the open raw logs.
  if (EndProcess)
    EndProcess(-1);
}

void TFNav::bRestartClick(QObject *) {
  // A close that the surveyor refused (something could not be saved) is no restart. The new
  // instance starts when this window is destroyed, after every window has written what it keeps.
  if (close())
    restartWhenGone_ = true;
}

// ---- View and drawing tools

namespace {
void zoomAboutCentre(TTarvikCanvas *canvas, double factor) {
  canvas->WorldZoom(0, factor, (canvas->WorldLeft + canvas->WorldRight) / 2,
                    (canvas->WorldTop + canvas->WorldBottom) / 2);
}
} // namespace

void TFNav::ZoominClick(QObject *) { zoomAboutCentre(fcad, 0.2); }
void TFNav::ZoomoutClick(QObject *) { zoomAboutCentre(fcad, -0.2); }
void TFNav::ZoomextentsClick(QObject *) { fcad->WorldExtents(); }
void TFNav::ZoomwindowClick(QObject *) { fcad->DrawMode = -3; }
void TFNav::ZoomdynamicClick(QObject *) { fcad->DrawMode = -4; }
void TFNav::ToolButton10Click(QObject *) { fcad->DrawMode = 17; }
void TFNav::ToolButton9Click(QObject *) { fcad->DrawMode = 3; }
void TFNav::ToolButton16Click(QObject *) { fcad->DrawMode = 1; }
void TFNav::ToolButton14Click(QObject *) { fcad->DrawMode = 5; }
void TFNav::ToolButton19Click(QObject *) { fcad->DrawMode = 4; }
void TFNav::ToolButton15Click(QObject *) { fcad->DrawMode = 6; }
void TFNav::ToolButton17Click(QObject *) { fcad->DrawMode = 8; }
void TFNav::ToolButton20Click(QObject *) { fcad->DrawMode = 10; }
void TFNav::ToolButton18Click(QObject *) { fcad->DrawMode = 19; }

// ---- Echogram timer and keys

void TFNav::tEchogramTimer(QObject *) {
  TNavigationState &s = State;
  if (!s.SensorTimeoutReported && s.SensorStartTick != 0) {
    // Unsigned 32-bit arithmetic keeps the difference right across the tick counter's wrap.
    const std::uint32_t since = s.LastSensorTick != 0 ? s.LastSensorTick : s.SensorStartTick;
    const std::uint32_t silence = platform::TickCount() - since;
    if (silence > sensorSilenceMs) {
      s.SensorTimeoutReported = true;
      if (Windows.fCanvas)
        Windows.fCanvas->hide();
      s.EchogramShown = false;
      ZSENSORTimeout(ZSENSOR);
    }
  }
  // A depth is drawn once, or not at all when the window is hidden or the port closed.
  const bool depthPending = Road.takePendingDepth();
  if (Windows.fCanvas && Windows.fCanvas->isVisible() && depthPending && ZSENSOR &&
      ZSENSOR->PortOpen)
    Windows.fCanvas->DrawEchogram(Road.state().SingleDepth(), 0.0, 50.0,
                                  Windows.fCanvas->DataWidth);
}

void TFNav::FormKeyDown(QObject *, std::uint16_t &Key, int) {
  if (Key == vkEscape && Windows.fRealtime && Windows.fRealtime->btHideImageIndex == 1)
    Windows.fRealtime->btHideClick(Windows.fRealtime->btHide);
  if (Key == vkEscape)
    EndSelectionModes();
  if (Key == vkF2)
    fcad->ToggleDepthSpeedDisplayMode();
  if (Key == vkF3)
    fcad->ToggleGGAOverlayPosition();
  if (Key == vkDelete) {
    bDelSelectedClick(this);
    Key = 0;
  }
}
