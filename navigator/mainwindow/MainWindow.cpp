// TFNav's construction, creation handler, show and close, and the fixed layers.
#include "navigator/mainwindow/MainWindow.h"

#include "canvas/InputKeys.h"
#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/mainwindow/UnsavedOnExit.h"
#include "navigator/runlines/RunlineWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/FormPlacement.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "navigator/windows/RemoteBoatPadWindow.h"
#include "platform/Abort.h"
#include "platform/CloseQuery.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/FormatSettings.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"
#include "platform/Styles.h"
#include "positioning/TarvikSerialGPS.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

namespace {

struct FixedLayer {
  const char *name;
  int TNavigationState::*index;
};

// In the order the layers are opened on a first run.
constexpr std::array<FixedLayer, 8> fixedLayers{{
    {"Tarvik Grid", &TNavigationState::GridLayer},
    {"track_fix", &TNavigationState::TrackFixLayer},
    {"track_nofix", &TNavigationState::TrackNoFixLayer},
    {"track_float", &TNavigationState::TrackFloatLayer},
    {"tarvik_tempshape", &TNavigationState::TempShapeLayer},
    {"tarvik_usershape", &TNavigationState::UserShapeLayer},
    {"event_number", &TNavigationState::EventLayer},
    {"~~Tarvik Vessel", &TNavigationState::VesselLayer},
}};

void makePath(const std::string &folder) {
  const QString path = platform::pathText(folder);
  if (!QDir(path).exists())
    QDir().mkpath(path);
}

} // namespace

TFNav::TFNav(QWidget *owner, NavigatorWindows &windows) : QMainWindow(owner), Windows(windows) {
  setObjectName(QStringLiteral("FNav"));
  Windows.Main = this;
  setWindowTitle(QStringLiteral("Tarvik Sondrel"));
  resize(1280, 800);

  MainMenu1 = menuBar();
  File1 = MainMenu1->addMenu(QStringLiteral("&File"));
  Zoom1 = MainMenu1->addMenu(QStringLiteral("&Zoom"));
  Tools1 = MainMenu1->addMenu(QStringLiteral("&Tools"));
  Edit1 = MainMenu1->addMenu(QStringLiteral("&Edit"));
  Window1 = MainMenu1->addMenu(QStringLiteral("&Window"));
  Help1 = MainMenu1->addMenu(QStringLiteral("&Help"));

  tRealtime = new QToolBar(QStringLiteral("tRealtime"), this);
  tRealtime->setObjectName(QStringLiteral("tRealtime"));
  tRealtime->setMovable(false);
  addToolBar(Qt::TopToolBarArea, tRealtime);
  Realtime = new QToolButton(tRealtime);
  Realtime->setObjectName(QStringLiteral("Realtime"));
  Realtime->setCheckable(true);
  tRealtime->addWidget(Realtime);
  ConnectIcon = new QToolButton(tRealtime);
  ConnectIcon->setObjectName(QStringLiteral("ConnectIcon"));
  ConnectIcon->setText(QStringLiteral("Settings"));
  tRealtime->addWidget(ConnectIcon);

  addToolBarBreak(Qt::TopToolBarArea);
  tDraw = new QToolBar(QStringLiteral("tDraw"), this);
  tDraw->setObjectName(QStringLiteral("tDraw"));
  tDraw->setMovable(false);
  addToolBar(Qt::TopToolBarArea, tDraw);
  tShape = new QToolBar(QStringLiteral("tShape"), this);
  tShape->setObjectName(QStringLiteral("tShape"));
  tShape->setMovable(false);
  addToolBar(Qt::LeftToolBarArea, tShape);

  auto *central = new QWidget(this);
  auto *column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  pRealtime = new QWidget(central);
  pRealtime->setObjectName(QStringLiteral("pRealtime"));
  column->addWidget(pRealtime);
  Panel4 = new QWidget(central);
  Panel4->setObjectName(QStringLiteral("Panel4"));
  new QVBoxLayout(Panel4);
  Panel4->layout()->setContentsMargins(0, 0, 0, 0);
  column->addWidget(Panel4, 1);
  setCentralWidget(central);

  sStatusBar = statusBar();
  sStatusBar->setObjectName(QStringLiteral("sStatusBar"));
  for (int i = 0; i < 7; ++i) {
    auto *panel = new QLabel(sStatusBar);
    panel->setMinimumWidth(120);
    sStatusBar->addWidget(panel, i == 6 ? 1 : 0);
    StatusPanels.push_back(panel);
  }

  lLanguage = new QLabel(QStringLiteral("lLanguage"), this);
  lLanguage->setObjectName(QStringLiteral("lLanguage"));
  lLanguage->setVisible(false);
  lLanguage->setEnabled(true);

  tMap = new QTimer(this);
  tMap->setInterval(500);
  connect(tMap, &QTimer::timeout, this, platform::guarded([this] { tMapTimer(tMap); }));
  tEchogram = new QTimer(this);
  tEchogram->setInterval(200);
  connect(tEchogram, &QTimer::timeout, this,
          platform::guarded([this] { tEchogramTimer(tEchogram); }));
  tEchogram->start();

  connect(Realtime, &QToolButton::clicked, this,
          platform::guarded([this] { RealtimeClick(Realtime); }));
  connect(ConnectIcon, &QToolButton::clicked, this,
          platform::guarded([this] { ConnectIconClick(ConnectIcon); }));

  BuildCommands();
  CreateDrawingFileCommands();
  FormCreate(this);
}

TFNav::~TFNav() {
  if (Windows.Main == this)
    Windows.Main = nullptr;
  qApp->removeEventFilter(this);
  SetAutoEventFailureSink(nullptr);
  // The ports are destroyed after this window, and a port still open reports its closing: that
  // report must not reach a window that is gone.
  for (TTarvikSerialGPS *port : {ZGPS1, ZSENSOR})
    if (port) {
      port->OnConnect = nullptr;
      port->OnDisconnect = nullptr;
      port->OnIdle = nullptr;
      port->OnTimeout = nullptr;
      port->OnNewCommand = nullptr;
      port->OnSend = nullptr;
      port->OnPosition3DChange = nullptr;
      port->OnSpeedChange = nullptr;
      port->OnLogFailure = nullptr;
    }
  // The program's windows are destroyed in turn, this one last, and some write their settings
  // as they go: the new instance is started only now, so that it reads all of them.
  if (restartWhenGone_ && StartProgram)
    StartProgram(QCoreApplication::applicationFilePath());
}

void TFNav::FormCreate(QObject *) {
  const TSurveyDay &day = SurveyDay();
  try {
    for (const std::string &folder :
         {day.SurveyFolder, day.DrawingFolder, day.LogFolder, day.XyzFolder, day.SvpFolder,
          day.SurveyFolder + "JPG", day.SurveyFolder + "MP4"})
      makePath(folder);
  } catch (...) {
  }

  try {
    const std::string iconFile = platform::ExecutableDir() + "TarvikSondrel2.ico";
    const QString icon = platform::pathText(iconFile);
    // Whatever lies beside the program under that name: a pipe would hold the start.
    if (platform::isRegularFile(iconFile)) {
      qApp->setWindowIcon(QIcon(icon));
      setWindowIcon(QIcon(icon));
    }
  } catch (...) {
  }

  ZGPS1 = new TTarvikSerialGPS(this);
  ZGPS1->OnConnect = [this](QObject *s, int port) { ZGPS1Connect(s, port); };
  ZGPS1->OnDisconnect = [this](QObject *s, int port) { ZGPS1Disconnect(s, port); };
  ZGPS1->OnIdle = [this](QObject *s) { ZGPS1Idle(s); };
  ZGPS1->OnTimeout = [this](QObject *s) { ZGPS1Timeout(s); };
  ZGPS1->OnNewCommand = [this](QObject *s, const std::string &line) { ZGPS1NewCommand(s, line); };
  ZGPS1->OnPosition3DChange = [this](QObject *s, long double lat, long double lon,
                                     long double alt) { ZGPS1Position3DChange(s, lat, lon, alt); };
  ZGPS1->OnSpeedChange = [this](QObject *s, long double kmh) { ZGPS1SpeedChange(s, kmh); };
  ZGPS1->OnSend = [this](QObject *s, const std::string &text) { ZGPS1Send(s, text); };
  ZSENSOR = new TTarvikSerialGPS(this);
  ZSENSOR->OnNewCommand = [this](QObject *s, const std::string &line) {
    ZSENSORNewCommand(s, line);
  };
  // The component reports each outage of a raw log once; the road keeps it to one report a
  // session and port.
  for (TTarvikSerialGPS *port : {ZGPS1, ZSENSOR})
    port->OnLogFailure = [this, port](QObject *, const std::string &text) {
      // The text names the log by its system bytes.
      if (const auto report = Road.rawLogFailure(port == ZGPS1 ? 0 : 1, platform::pathText(text)))
        ShowRoadReports({*report});
    };
  // A lost event-log record is shown at once, where the log itself cannot take it.
  SetAutoEventFailureSink([this](const QString &text) {
    ShowRoadReports({survey::RoadReport{text, false}});
  });

  fcad = new TTarvikCanvas(Panel4, true);
  fcad->setObjectName(QStringLiteral("fcad"));
  Panel4->layout()->addWidget(fcad);
  try {
    fcad->SetBackColor(platform::ActiveStylePanelColor());
  } catch (...) {
    fcad->SetBackColor(clWhite);
  }
  fcad->OnShapeNumberSelected = [this](QObject *s, short type, std::int32_t number) {
    fcadShapeNumberSelected(s, type, number);
  };
  fcad->OnWorldMouseMove = [this](QObject *s, short shift, double x, double y, double m, double a) {
    fcadWorldMouseMove(s, shift, x, y, m, a);
  };
  fcad->OnWorldMouseDown = [this](QObject *s, short button, short shift, short action, double x,
                                  double y) { fcadWorldMouseDown(s, button, shift, action, x, y); };
  fcad->OnDrawBegin = [this](QObject *s, short type, double x, double y) {
    fcadDrawBegin(s, type, x, y);
  };
  fcad->OnDrawEnd = [this](QObject *s, short type, double x, double y) {
    fcadDrawEnd(s, type, x, y);
  };
  fcad->OnDblClick = [this](QObject *s) { fcadDblClick(s); };

  if (bMouseSelect)
    connect(bMouseSelect, &QToolButton::clicked, this,
            platform::guarded([this] { bMouseSelectClick(bMouseSelect); }));
  qApp->installEventFilter(this);

  for (TTarvikSerialGPS *port : {ZGPS1, ZSENSOR}) {
    port->LogTimeFormat = "hhnnsszzz";
    port->LogDateFormat = "YYYY-MM-DD";
  }

  platform::setFormatSettings(platform::FormatSettings::navigation());

  MonitorEcho = true;

  Realtime->setText(QStringLiteral("Start"));
  Realtime->setFixedSize(70, 28);
  QFont font(QStringLiteral("Segoe UI"));
  font.setPixelSize(qRound(10 * 96 / 72.0));
  font.setBold(true);
  Realtime->setFont(font);
  Realtime->setStyleSheet(QStringLiteral("QToolButton { color: #000080; }"));
  Realtime->setAutoRaise(false);
}

void TFNav::EnsureNavigationLayers(TTarvikCanvas *canvas) {
  for (const FixedLayer &layer : fixedLayers) {
    const QString name = QString::fromLatin1(layer.name);
    int index = canvas->LayerFindByName(name);
    if (index == -1)
      index = canvas->LayerOpen(name);
    State.*layer.index = index;
  }
}

void TFNav::FormShow(QObject *) {
  EnsureNavigationLayers(fcad);
  // Every window has read its defaults from a settings file that was not read: say so once.
  if (const auto refusal = platform::settingsFileRefusal(platform::SettingsFilePath())) {
    const QString text = platform::pathText(*refusal);
    navigator::showInMessageWindow(Windows, text);
    platform::MessageDlg(text, mtWarning, mbOK);
  }
  std::string lastFile;
  try {
    const platform::IniFile ini(platform::SettingsFilePath());
    // Stored as Windows-1254 text like every path in the settings file, or marked as the
    // system's bytes when the code page cannot write it; opened as system bytes.
    lastFile = platform::pathFromSetting(ini.ReadString("FILE", "Last File Saved", ""));
    // A drawing that does not come back is said as it happens, not found later in a window
    // nobody opened; the caption still names it.
    auto tell = [this](const QString &text) { navigator::showInMessageWindow(Windows, text); };
    if (!lastFile.empty() && !QFile::exists(platform::pathText(lastFile))) {
      tell(QStringLiteral("The last drawing ") + platform::pathText(lastFile) +
           QStringLiteral(" was not found and was not opened."));
    } else if (!lastFile.empty() && !fcad->CadLoad(platform::pathText(lastFile), -1, -1, 0)) {
      // A damaged drawing must not leave part of itself behind: start the run on an empty one.
      fcad->CadClearShapes(-1);
      tell(QStringLiteral("Cannot read the last drawing ") + platform::pathText(lastFile));
    }
    for (const char *name : {"~~Tarvik Vessel", "Tarvik Grid"}) {
      const int layer = fcad->LayerFindByName(QString::fromLatin1(name));
      if (layer != -1)
        fcad->CadClearShapes(layer);
    }
    setWindowTitle(QStringLiteral("Tarvik Sondrel - ") + platform::pathText(lastFile));
    try {
      fcad->WorldLeft = ini.ReadFloat("CANVAS", "PlanWorldLeft", 0);
      fcad->WorldRight = ini.ReadFloat("CANVAS", "PlanWorldRight", 1000);
      fcad->WorldTop = ini.ReadFloat("CANVAS", "PlanWorldTop", 1000);
      fcad->WorldBottom = ini.ReadFloat("CANVAS", "PlanWorldBottom", 0);
    } catch (...) {
      fcad->WorldLeft = 0;
      fcad->WorldRight = 1000;
      fcad->WorldTop = 1000;
      fcad->WorldBottom = 0;
    }
    // The grid is the settings window's ("Auto Scale" and the spacings); the stored canvas flag
    // only stands in when there is no such window.
    if (Windows.FGPS)
      Windows.FGPS->Model.pushGrid(false);
    else
      fcad->GridAutoScale = ini.ReadBool("CANVAS", "GridAutoScale", true);
    fcad->DepthSpeedDisplayMode = ini.ReadInteger("CANVAS", "DepthSpeedDisplayMode", 0);
    fcad->GGAOverlayPosition = ini.ReadInteger("CANVAS", "GGAOverlayPosition", 0);
  } catch (...) {
  }
  fcad->Refresh();
  EnsureNavigationLayers(fcad);
  RestoreFormPlacement(this, 1);
  if (Windows.Offsets)
    Windows.Offsets->show();
  if (Windows.fJoystick)
    Windows.fJoystick->show();
}

void TFNav::FormCloseQuery(QObject *, bool &CanClose) {
  // Only a closing that ran to its end lets the window go; the question below lets events
  // through, and a second close meanwhile waits for its answer.
  CanClose = false;
  if (closing_)
    return;
  closing_ = true;
  struct Done {
    bool &flag;
    ~Done() { flag = false; }
  } done{closing_};

  Realtime->setEnabled(false);
  QCoreApplication::processEvents();
  QThread::msleep(50);

  // Everything that is kept is written before anything is stopped, so that a surveyor who
  // chooses to stay finds the program as it was, acquisition and all.
  UnsavedOnExit unsaved;
  SaveForExit(unsaved);
  const NavigatorWindows &w = Windows;
  for (QWidget *window : std::initializer_list<QWidget *>{
           w.Offsets, w.Navset, w.FNav, w.fRealtime, w.fSVP, w.fRunline1, w.fCanvas, w.fJoystick})
    if (window)
      unsaved.attempt([window] { SaveFormPlacement(window); });
  std::vector<QWidget *> hidden;
  unsaved.collectShown([&w, &hidden] {
    // Each window's own close writes its settings and hides it.
    for (QWidget *window : std::initializer_list<QWidget *>{w.Navset, w.Offsets, w.FGPS,
                                                            w.fRealtime, w.fRunline1, w.fCanvas})
      if (window) {
        if (window->isVisible())
          hidden.push_back(window);
        window->close();
      }
  });
  unsaved.attempt([this] {
    platform::IniFile ini(platform::SettingsFilePath());
    ini.WriteFloat("CANVAS", "PlanWorldLeft", fcad->WorldLeft);
    ini.WriteFloat("CANVAS", "PlanWorldRight", fcad->WorldRight);
    ini.WriteFloat("CANVAS", "PlanWorldTop", fcad->WorldTop);
    ini.WriteFloat("CANVAS", "PlanWorldBottom", fcad->WorldBottom);
    ini.WriteBool("CANVAS", "GridAutoScale", fcad->GridAutoScale);
    ini.WriteInteger("CANVAS", "DepthSpeedDisplayMode", fcad->DepthSpeedDisplayMode);
    ini.WriteInteger("CANVAS", "GGAOverlayPosition", fcad->GGAOverlayPosition);
  });

  if (!unsaved.confirmExit()) {
    for (QWidget *window : hidden)
      window->show();
    // The surveyor was working here; the windows shown again must not take the keys.
    activateWindow();
    Realtime->setEnabled(true);
    return;
  }

  for (TTarvikSerialGPS *port : {ZGPS1, ZSENSOR}) {
    try {
      port->ClosePort();
    } catch (...) {
    }
  }
  QThread::msleep(50);
  CanClose = true;
}

void TFNav::showEvent(QShowEvent *event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous() || shownOnce_)
    return;
  shownOnce_ = true;
  platform::guarded([this] { FormShow(this); })();
}

void TFNav::closeEvent(QCloseEvent *event) {
  if (platform::closeQuery(event, [this](bool &canClose) { FormCloseQuery(this, canClose); }))
    emit closed();
}

bool TFNav::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
      static_cast<QWidget *>(watched)->window() != this)
    return false;
  auto *key = static_cast<QKeyEvent *>(event);
  if (event == previewedKey_ && key->timestamp() == previewedKeyTime_)
    return false;
  previewedKey_ = event;
  previewedKeyTime_ = key->timestamp();
  std::uint16_t code = canvas::virtualKeyOf(key->key(), key->modifiers());
  if (code == 0)
    return false;
  platform::guarded(
      [this, &code, key] { FormKeyDown(this, code, canvas::shiftCodeOf(key->modifiers())); })();
  return code == 0; // a handler that clears the key consumes it
}
