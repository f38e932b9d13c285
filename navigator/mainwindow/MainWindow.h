// TFNav: the navigation program's main window. It holds the plan-view canvas, the GNSS and
// echo-sounder ports, the map and echogram timers and every survey command; the state its
// handlers share is one TNavigationState, and what a record stands on is its road's. Its member
// functions are spread over files named by their job (see the sections below).
#pragma once

#include "navigator/NavigatorWindows.h"
#include "navigator/acquisition/FixProjection.h"
#include "navigator/acquisition/SoundingRoad.h"
#include "navigator/acquisition/SurveyRecords.h"
#include "navigator/mainwindow/MapTimer.h"
#include "navigator/mainwindow/NavigationState.h"
#include "navigator/shared/MainWindowServices.h"
#include "platform/Dialogs.h"

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QWheelEvent;
class QWidget;
class TTarvikCanvas;
class TTarvikSerialGPS;
class UnsavedOnExit;

// Plane geometry of the distance and bearing readout. The bearing is the direction of
// (a2 - a1, b2 - b1) in radians, 0 up to 2 pi, from the first axis towards the second: pass the
// northings first for a grid bearing clockwise from north.
double PlanarDistance(double x1, double y1, double x2, double y2);
double PlanarBearing(double a1, double b1, double a2, double b2);

class TFNav : public QMainWindow, public navigator::MainWindowServices {
  Q_OBJECT

public:
  TFNav(QWidget *owner, NavigatorWindows &windows);
  ~TFNav() override;

  NavigatorWindows &Windows;
  TNavigationState State;
  TMapTimerState MapTimer; // the map timer's own state between ticks (MapTimer.cpp)
  // The road of a sounding: the lines of both ports become records, screen updates and reports
  // there, from the values the windows fed it (RoadWiring.cpp). The fix, its age and the depths
  // are its own: the map, the events and the windows read them from Road.state().
  survey::SoundingRoad Road;
  // The grid position of the fix, shared by the map, the survey records and the events.
  survey::FixProjection &Projection = Road.Projection;

  // ---- Components made in code
  TTarvikSerialGPS *ZGPS1 = nullptr;   // GNSS receiver
  TTarvikSerialGPS *ZSENSOR = nullptr; // echo sounder
  TTarvikCanvas *fcad = nullptr;       // plan view, fills Panel4
  std::string DatumParameters;         // the projection's, as the map took them on its set-up
  bool MonitorEcho = false;            // copy sensor lines into the settings window's memos

  // ---- Controls
  QMenuBar *MainMenu1 = nullptr;
  // The main menu's top-level menus, in menu order; the command files add their items.
  QMenu *File1 = nullptr;
  QMenu *Zoom1 = nullptr;
  QMenu *Tools1 = nullptr;
  QMenu *Edit1 = nullptr;
  QMenu *Window1 = nullptr;
  QMenu *Help1 = nullptr;
  QToolBar *tRealtime = nullptr;       // top tool bar
  QToolButton *Realtime = nullptr;     // two-state: checked while acquiring
  QToolButton *ConnectIcon = nullptr;  // "Settings"
  QToolBar *tDraw = nullptr;           // second row
  QToolBar *tShape = nullptr;          // drawing tools, left
  QToolButton *bMouseSelect = nullptr; // made by the tool commands when they lay out tDraw
  QWidget *pRealtime = nullptr;
  QWidget *Panel4 = nullptr; // holds the canvas
  QStatusBar *sStatusBar = nullptr;
  std::vector<QLabel *> StatusPanels; // the status bar's seven panels
  QLabel *lLanguage = nullptr;        // never visible; enabled: offsets and SVP messages in Turkish
  QTimer *tMap = nullptr;             // 500 ms, started by acquisition
  QTimer *tEchogram = nullptr;        // 200 ms, running from creation

  // ---- What the tool windows ask of it (WindowServices.cpp)
  QMainWindow *mainWindow() override { return this; }
  std::vector<const QWidget *> controlsToKeepClear() const override;
  TTarvikCanvas *planCanvas() const override { return fcad; }
  TTarvikSerialGPS *gpsPort() const override { return ZGPS1; }
  TTarvikSerialGPS *sounderPort() const override { return ZSENSOR; }
  QTimer *mapTimer() const override { return tMap; }
  QTimer *echogramTimer() const override { return tEchogram; }
  bool turkishMessages() const override;
  void setMonitorEcho(bool on) override { MonitorEcho = on; }
  void saveCommand(QObject *Sender) override { Save1Click(Sender); }
  void startAcquisition() override;
  void zoomIn(QObject *Sender) override { ZoominClick(Sender); }
  void zoomOut(QObject *Sender) override { ZoomoutClick(Sender); }
  void setCompactDisplay(bool compact) override;

  // ---- Set-up, show and close (MainWindow.cpp)
  void FormCreate(QObject *Sender);
  void FormShow(QObject *Sender);
  // Saves the drawing and writes the settings; when any of it fails, says what and refuses the
  // close unless the surveyor chooses to exit anyway. Once it goes ahead, the ports are closed.
  void FormCloseQuery(QObject *Sender, bool &CanClose);
  // Finds or opens the eight fixed layers and stores their indexes in State.
  void EnsureNavigationLayers(TTarvikCanvas *canvas);

  // ---- Acquisition control and sensor link events (RealtimeStartStop.cpp)
  void RealtimeClick(QObject *Sender);
  void ConnectIconClick(QObject *Sender);
  void ZGPS1Connect(QObject *Sender, int PortNumber);
  void ZGPS1Disconnect(QObject *Sender, int PortNumber);
  void ZGPS1Idle(QObject *Sender);
  void ZGPS1Timeout(QObject *Sender);
  void ZGPS1Position3DChange(QObject *Sender, long double Latitude, long double Longitude,
                             long double Altitude);
  void ZGPS1SpeedChange(QObject *Sender, long double SpeedKmh);
  void ZSENSORTimeout(QObject *Sender);
  // Shows a link message in the message window and the status bar and, unless told otherwise,
  // records it in the day's event log.
  void PostStatusMessage(const QString &Text, bool Logged = true);
  // The road's reports, each as its kind asks; never a box.
  void ShowRoadReports(const std::vector<survey::RoadReport> &Reports);
  // The receiver's fix is gone (stop, silence, an impossible position): nothing is projected,
  // drawn or recorded from it until the next one.
  void ForgetFix();
  // The boat leaves the map once the road has no fix.
  void ForgetVesselWithoutFix();
  // The grid position of the current fix, projected once per fix with this session's geodesy;
  // none without a fix, with one older than the depth lines may be recorded at, or without a
  // projection.
  std::optional<survey::GridPosition> GridOfFix();
  // Feeds the road the values of the windows now and whenever they change (RoadWiring.cpp).
  // CreateNavigatorWindows runs it once every window exists.
  void WireRoad();
  // What a stop leaves on the screen: no position, depth or track of the session that ended.
  void ClearSessionDisplay();

  // ---- Geodesy log (GeodesyLog.cpp)
  // Appends the saved geodetic parameters to the day's " Geodesy.txt"; raises when it cannot.
  void WriteGeodesyLog();

  // ---- GPS and echo-sounder sentences (SentenceHandlers.cpp)
  void ZGPS1NewCommand(QObject *Sender, const std::string &Line);
  void ZGPS1Send(QObject *Sender, const std::string &Text);
  void ZSENSORNewCommand(QObject *Sender, const std::string &Line);

  // ---- Map timer: projection, vessel, tracks, labels, latency (MapTimer.cpp)
  void tMapTimer(QObject *Sender);

  // ---- Commands, shortcuts and echogram timer (MainWindowCommands.cpp)
  // Fills the menus and tool bars with their items and binds them; the constructor runs it
  // before FormCreate, which binds bMouseSelect when this made it.
  void BuildCommands();
  void tEchogramTimer(QObject *Sender);
  void FormKeyDown(QObject *Sender, std::uint16_t &Key, int Shift);
  QToolButton *bExit = nullptr;
  QToolButton *bRestart = nullptr;
  // Starts a program detached from this one (the restart, remote support); false when it could
  // not be started. Tests replace it. The restart calls it from the destructor, once every
  // other window is gone.
  std::function<bool(const QString &program)> StartProgram;
  // Ends the process at once with this status; tests replace it.
  std::function<void(int status)> EndProcess;
  void ToolButton5Click(QObject *Sender);  // follow the vessel
  void ToolButton13Click(QObject *Sender); // do not follow the vessel
  void VesselShape1Click(QObject *Sender);
  void OpenLogFolder1Click(QObject *Sender);
  void LatencyWatchSet1Click(QObject *Sender);
  void NavigationSettings1Click(QObject *Sender);
  void mRealtimeWindow1Click(QObject *Sender);
  void Echogram1Click(QObject *Sender);
  void OffsetsandValues1Click(QObject *Sender);
  void themeSelection1Click(QObject *Sender);
  void SoundVelocityProfile1Click(QObject *Sender);
  void TarvikNTRIPClient1Click(QObject *Sender);
  void Generate1Click(QObject *Sender);
  void Parameters1Click(QObject *Sender);
  void RemoteSupport1Click(QObject *Sender);
  void tbRunlineClick(QObject *Sender);
  void bExitClick(QObject *Sender);
  void bRestartClick(QObject *Sender);
  // View and drawing-tool commands of the menus and tool bars.
  void ZoominClick(QObject *Sender);
  void ZoomoutClick(QObject *Sender);
  void ZoomextentsClick(QObject *Sender);
  void ZoomwindowClick(QObject *Sender);
  void ZoomdynamicClick(QObject *Sender);
  void ToolButton10Click(QObject *Sender); // point
  void ToolButton9Click(QObject *Sender);  // line chain
  void ToolButton16Click(QObject *Sender); // rectangle
  void ToolButton14Click(QObject *Sender); // polyline
  void ToolButton19Click(QObject *Sender); // ellipse
  void ToolButton15Click(QObject *Sender); // polygon
  void ToolButton17Click(QObject *Sender); // spline
  void ToolButton20Click(QObject *Sender); // three-point arc
  void ToolButton18Click(QObject *Sender); // circle
  // Selection commands; their work comes with the canvas tools.
  void ToolButton11Click(QObject *Sender);  // clear the user's shapes
  void bSelectTracksClick(QObject *Sender); // select tracks by polygon
  void bDelSelectedClick(QObject *Sender);  // delete the selected tracks

  // ---- Drawing-file commands (DrawingFileCommands.cpp)
  platform::FileDialog OpenDialog1{platform::FileDialogKind::Open}; // drawings and DXF imports
  platform::FileDialog SaveDialog1{platform::FileDialogKind::Save}; // Save As and DXF exports
  QAction *New1 = nullptr;
  QAction *Open1 = nullptr;
  QAction *Save1 = nullptr;
  QAction *SaveAs1 = nullptr;
  QAction *Import1 = nullptr;
  QAction *Export1 = nullptr;
  QAction *Exit1 = nullptr;
  QAction *About1 = nullptr;
  // Fills the File menu and the Help menu's About item.
  void CreateDrawingFileCommands();
  void New1Click(QObject *Sender);
  void Open1Click(QObject *Sender);
  // Saves the drawing under the day's automatic name (and the SVP memos while they are used).
  void Save1Click(QObject *Sender);
  void SaveAs1Click(QObject *Sender);
  void Import1Click(QObject *Sender);
  void Export1Click(QObject *Sender);
  void Exit1Click(QObject *Sender);
  void About1Click(QObject *Sender);

  // ---- Events and track layers (EventCommands.cpp)
  void btEventAddClick(QObject *Sender);
  void btEventResetClick(QObject *Sender);
  void tbFixedClick(QObject *Sender);
  void tbFloatClick(QObject *Sender);
  void tbAutoClick(QObject *Sender);
  // The day's event-log record of a marked event.
  std::string MarkEventRecord(int eventNumber);

  // ---- Canvas tools, selection, events and tracks (CanvasToolCommands.cpp)
  void fcadShapeNumberSelected(QObject *Sender, short ShapeType, std::int32_t ShapeNumber);
  void fcadWorldMouseMove(QObject *Sender, short Shift, double X, double Y, double Magnitude,
                          double Angle);
  void fcadWorldMouseDown(QObject *Sender, short Button, short Shift, short Action, double X,
                          double Y);
  void fcadDrawBegin(QObject *Sender, short ShapeType, double X, double Y);
  void fcadDrawEnd(QObject *Sender, short ShapeType, double X, double Y);
  void fcadDblClick(QObject *Sender);
  void bMouseSelectClick(QObject *Sender);
  // Escape: ends the selection modes (the compact display is the key handler's own).
  void EndSelectionModes();
  // The window's wheel outside the canvas: pan toward the mouse point and zoom about it.
  void FormMouseWheelDown(QObject *Sender);
  void FormMouseWheelUp(QObject *Sender);

signals:
  // The close went ahead: the program ends.
  void closed();

protected:
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  // Key preview: FormKeyDown sees every key pressed in this window before the focused control.
  bool eventFilter(QObject *watched, QEvent *event) override;
  // A wheel turned over the window where no control takes it (the canvas zooms by itself):
  // FormMouseWheelUp or FormMouseWheelDown once per notch (CanvasToolCommands.cpp).
  void wheelEvent(QWheelEvent *event) override;

private:
  int wheelRemainder_ = 0; // eighths of a degree short of a whole notch
  // Qt shows the window again after its border or menu changes (the compact layout); the show
  // handler's reload of the last drawing belongs to the first showing only.
  bool shownOnce_ = false;

  // Drawing files: the grid and vessel are left out; false (and shown) when nothing was written.
  bool saveDrawing(const std::string &path);
  // The same without showing: empty when written, otherwise what went wrong.
  QString writeDrawing(const std::string &path);
  // The Save command's file: the day's drawing folder, the date and the time of this moment.
  std::string autoSavePath() const;
  // The Save command as the closing runs it: every part tried, failures noted, none shown.
  void SaveForExit(UnsavedOnExit &unsaved);
  // Set while the close query runs (its question lets events through) and once a restart's
  // close went ahead.
  bool closing_ = false;
  bool restartWhenGone_ = false;
  // A failed drawing-file command: a line in the message window and an error box.
  void reportDrawingFailure(const QString &text);
  void clearTrackLayer(const char *question, const char *layerName, const char *logText);

  // A key the focused control ignores travels up to its parents: preview it once.
  const QEvent *previewedKey_ = nullptr;
  quint64 previewedKeyTime_ = 0;
};
