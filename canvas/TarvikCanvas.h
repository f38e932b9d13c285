// TTarvikCanvas: the drawing control both programs host. The drawing itself (world window,
// layers, shapes, fonts, selection, drawing file) is the widget-free DrawingModel it derives
// from; this class adds the widget, the back buffer, painting, overlays, input and events.
#pragma once

#include "canvas/DrawingModel.h"
#include "canvas/Layers.h"
#include "canvas/Shapes.h"
#include "platform/Color.h"
#include "platform/GdiCanvas.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QResizeEvent;
class QWheelEvent;
class QRegion;
namespace canvas {
struct PaintCache;
}

// Published event types; Sender is the canvas.
using TQShapeSelectedEvent =
    std::function<void(QObject *Sender, short ShapeType, std::int32_t ShapeNumber)>;
using TQWorldMouseMoveEvent = std::function<void(QObject *Sender, short Shift, double X, double Y,
                                                 double Magnitude, double Angle)>;
using TQWorldMouseDownEvent = std::function<void(QObject *Sender, short Button, short Shift,
                                                 short Action, double X, double Y)>;
using TQDrawBeginEvent = std::function<void(QObject *Sender, short ShapeType, double X, double Y)>;

// The control's inherited events. Button: 0 left, 1 right, 2 middle. Shift: 1 Shift, 2 Ctrl,
// 4 Alt.
using TNotifyEvent = std::function<void(QObject *Sender)>;
using TMouseEvent = std::function<void(QObject *Sender, int Button, int Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject *Sender, int Shift, int X, int Y)>;
using TKeyEvent = std::function<void(QObject *Sender, std::uint16_t &Key, int Shift)>;

// Program-wide values the host program provides and the overlays read (defined with the
// overlays: 12 and red by default; the navigation program sets the font size to 24).
extern int EventLabelFontSize;
extern TColor EventLabelColor;
extern std::string GGAOverlayText;
extern int GGAFixQuality;

// Grid step for a span divided into about `divisions` steps: 1, 2 or 5 times a power of ten.
double NiceGridStep(double span, int divisions);

class TTarvikCanvas : public QWidget, public DrawingModel {
  Q_OBJECT

public:
  explicit TTarvikCanvas(QWidget *owner = nullptr, bool NavigationVariant = false);
  ~TTarvikCanvas() override;

  // Fixed at construction: true gives the navigation program's text drawing and interaction.
  const bool NavigationVariant;

  // ---- Fields written by the hosts
  int DrawMode = 0;
  bool KeepDrawMode = false;
  bool DeleteKeyEnabled = false;
  bool FollowVessel = true;
  bool GridVisible = false;
  bool GridAutoScale = true;
  double GridSpacingX = 100.0;
  double GridSpacingY = 100.0;
  TColor GridColor = 0xC0C0C0;
  int GridMode = 0;

  // ---- Interaction state (input handling)
  bool RubberBandActive = false;
  bool DrawingInProgress = false;
  bool SkipNextLeftPress = false;
  double RubberStartX = 0.0;
  double RubberStartY = 0.0;
  double RubberCurrentX = 0.0;
  double RubberCurrentY = 0.0;
  int LastMouseX = 0;
  int LastMouseY = 0;
  bool Panning = false;
  bool DragZooming = false;
  bool FInteracting = false;    // editor variant only
  std::uint8_t FLastButton = 0; // editor variant only: 0 left, 1 right, 2 middle
  int DragAnchorX = 0;
  int DragAnchorY = 0;
  // The polyline being drawn; owned here, not in Shapes until finished.
  std::unique_ptr<TQPolyline> PolylineUnderConstruction;

  // ---- Back buffer (Format_RGB32, sized by the first paint)
  QImage BackBuffer;

  double LastPressX = 0.0;
  double LastPressY = 0.0;

  // ---- Overlay state
  struct DepthLabel {
    double X;
    double Y;
    double Depth;
  };
  struct EventLabel {
    double X;
    double Y;
    int EventNumber;
  };
  bool MeasureActive = false;
  double MeasureStartX = 0.0;
  double MeasureStartY = 0.0;
  double MeasureEndX = 0.0;
  double MeasureEndY = 0.0;
  double MeasureDistance = 0.0;
  double MeasureAngle = 0.0;
  std::vector<DepthLabel> DepthLabels;
  bool ShowDepthLabels = true;
  double DepthLabelSpacing = 10.0;
  QString DepthLabelFontName = QStringLiteral("Arial");
  int DepthLabelFontSize = 12;
  TColor DepthLabelColor = 0;
  std::vector<EventLabel> EventLabels;
  double CurrentDepthHF = 0.0;
  double CurrentDepthLF = 0.0;
  bool ShowCurrentDepth = false;
  double CurrentSpeed = 0.0;
  bool ShowCurrentSpeed = false;
  int DepthSpeedDisplayMode = 0;
  int GGAOverlayPosition = 0;

  // ---- Published events (fired only when set)
  TQShapeSelectedEvent OnShapeNumberSelected;
  TQWorldMouseMoveEvent OnWorldMouseMove;
  TQWorldMouseDownEvent OnWorldMouseDown;
  TQDrawBeginEvent OnDrawBegin;
  TQDrawBeginEvent OnDrawEnd;
  // Inherited events of the control.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  // The host's own drawing over the grid and below the shapes, called by every redraw of the
  // back buffer with the pixel rectangle being redrawn (the canvas is clipped to it). A host
  // whose drawing changes asks for a Refresh.
  std::function<void(platform::GdiCanvas &Canvas, const QRect &Area)> OnDrawBelowShapes;

  // ---- Repaint requests: mark dirty and invalidate; never a synchronous paint.
  void Refresh();
  void Update();
  // Asks for a repaint of what changed since the last paint and no more: the whole client when
  // the back buffer is to be redrawn whole, else the pixels of the shapes changed since and the
  // GGA status box, whose text the host sets (the depth labels and the current-depth box ask
  // for their own pixels as they change).
  void RepaintChanges();

  // ---- Operations that do nothing
  bool MetafileSave(const QString &fileName);
  bool MetafileToClipboard();
  void PrintView(int, const QString &fileName);
  int ViewDialogShow(int, std::int32_t);
  void AboutBox();

  // ---- Painting (canvas/Painting.cpp)
  void Paint();
  // How many paints redrew the whole back buffer since the canvas was made.
  std::uint64_t fullRedrawCount() const;
  void Resize();
  void DrawAllShapes();
  void DrawGrid();
  void DrawRubberBand(platform::GdiCanvas &Canvas);

  // ---- Overlays (canvas/Overlays.cpp)
  void StartDistanceMeasure(double x, double y);
  void UpdateDistanceMeasure(double x, double y, double distance, double angle);
  void EndDistanceMeasure();
  void AddDepthLabel(double x, double y, double depth);
  void ClearDepthLabels();
  void SetDepthLabelSettings(bool show, double spacing, const QString &fontName, int fontSize,
                             TColor colour);
  void AddEventLabel(double x, double y, int eventNumber);
  void ClearEventLabels();
  void SetCurrentDepth(double highDepth, double lowDepth, bool show);
  // The text of the current-depth box; empty when it shows nothing.
  QString CurrentDepthText() const;
  void SetCurrentSpeed(double speed, bool show);
  void ToggleDepthSpeedDisplayMode();
  void ToggleGGAOverlayPosition();
  bool IsPointInGGAOverlay(int x, int y);
  void DrawDistanceOverlay(platform::GdiCanvas &Canvas);
  void DrawDepthLabelsOverlay(platform::GdiCanvas &Canvas);
  void DrawEventLabelsOverlay(platform::GdiCanvas &Canvas);
  void DrawCurrentDepthOverlay(platform::GdiCanvas &Canvas);
  void DrawCurrentSpeedOverlay(platform::GdiCanvas &Canvas);
  void DrawGGAOverlay(platform::GdiCanvas &Canvas);

  // ---- Input (mouse and keyboard interaction). Button 0 left, 1 right, 2 middle; Shift bits
  // 1 Shift, 2 Ctrl, 4 Alt; X, Y client pixels.
  void MouseDown(int Button, int Shift, int X, int Y);
  void MouseMove(int Shift, int X, int Y);
  void MouseUp(int Button, int Shift, int X, int Y);
  void DblClick();
  void KeyDown(std::uint16_t &Key, int Shift);
  // The wheel over the canvas: delta and the cursor in screen coordinates; returns the result 1.
  int WMMouseWheel(int WheelDelta, int ScreenX, int ScreenY);

  // ---- Abandons an interactive drawing in progress
  void ClearDrawingState();

  // ---- Drawing exchange formats (exchange/)
  bool DXFLoad(const QString &fileName);
  int DXFSave(const QString &fileName);
  // Why the last DXFSave answered 0 (the file's name and the system's words); empty after one
  // that succeeded.
  const QString &DXFSaveFailure() const { return dxfSaveFailure_; }
  int GetOrCreateDXFLayer(const std::string &dxfLayerName);
  bool XYZLoad(const QString &fileName, int layer, double zMin, double zMax);

  int clientWidth() const override { return width(); }
  int clientHeight() const override { return height(); }

protected:
  void invalidateView() override;
  // Collects where a change confined to one shape lies, so that the next paint redraws only
  // there; anything it cannot place marks the whole back buffer.
  void noteShapeChange(const TQShape *shape) override;
  // Keeps what was drawn for a view moved by whole pixels, to be scrolled at the next paint.
  void noteViewPan() override;
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  // Qt input handed to the handlers above (canvas/Input*.cpp).
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void keyReleaseEvent(QKeyEvent *event) override;

private:
  QString dxfSaveFailure_;
  // Redraws the damaged pixels of the back buffer as a full redraw would draw them, the view
  // and settings being those of the last full redraw; false when that cannot be done exactly
  // (a full redraw must follow).
  bool redrawDamage(QRegion &damaged);
  // Moves the images of the last paint with a view moved by whole pixels since, and gives the
  // pixels that must be drawn anew; false when the move cannot be shown that way.
  bool scrollCache(QRegion &damage);
  // Draws, clipped to the region, the shapes other than texts at positions from..to-1 of the
  // drawing order that may put pixels there, as the last full redraw decided them.
  void drawShapesNear(platform::GdiCanvas &g, const QRegion &region, int from, int to);
  // Redraws the back buffer whole and keeps its image below the topmost shapes.
  void redrawWhole();
  // The back buffer with the depth labels over it, brought up to date.
  const QImage &labelledBuffer(const QRegion &damaged);
  // Where the current-depth box and the GGA status box stand for their texts now (empty when
  // they show nothing): the text cell with the rounded box drawn around it.
  QRect currentDepthBox() const;
  QRect ggaStatusBox() const;
  // Asks for a repaint of the pixels that lie within the client.
  void invalidatePixels(const QRect &pixels);

  std::unique_ptr<canvas::PaintCache> paintCache_;

  // A left press waits for its release to count as a click (the press of a double click does
  // not).
  bool leftClickPending_ = false;
};
