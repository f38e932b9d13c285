// The canvas control: construction, repaint requests, the inert operations, abandoning an
// interactive drawing, and the Qt glue that hands paint and resize notifications to the painting
// code.
#include "canvas/TarvikCanvas.h"
#include "canvas/PaintCache.h"
#include "platform/Dialogs.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QResizeEvent>

TTarvikCanvas::TTarvikCanvas(QWidget *owner, bool navigationVariant)
    : QWidget(owner), NavigationVariant(navigationVariant),
      paintCache_(std::make_unique<canvas::PaintCache>()) {
  BackBufferDirty = true;
  resize(400, 300);
  setFocusPolicy(Qt::StrongFocus);
  // Every move is reported, also without a button held.
  setMouseTracking(true);
  // The back buffer covers the whole client at every paint.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TTarvikCanvas::~TTarvikCanvas() = default;

void TTarvikCanvas::invalidateView() { QWidget::update(); }

void TTarvikCanvas::Refresh() {
  BackBufferDirty = true;
  QWidget::update();
}

void TTarvikCanvas::Update() {
  BackBufferDirty = true;
  QWidget::update();
}

bool TTarvikCanvas::MetafileSave(const QString &) { return false; }

bool TTarvikCanvas::MetafileToClipboard() { return false; }

void TTarvikCanvas::PrintView(int, const QString &) {}

int TTarvikCanvas::ViewDialogShow(int, std::int32_t) { return 0; }

void TTarvikCanvas::AboutBox() {
  platform::MessageDlg(QStringLiteral("TTarvikCanvas\nDrawing canvas component of the Tarvik "
                                      "survey programs."),
                       mtInformation, mbOK);
}

void TTarvikCanvas::ClearDrawingState() {
  SkipNextLeftPress = false;
  DrawingInProgress = false;
  RubberBandActive = false;
  PolylineUnderConstruction.reset();
  // The screen-wide cursor is the application's override cursor; its default is none at all.
  while (QGuiApplication::overrideCursor())
    QGuiApplication::restoreOverrideCursor();
}

void TTarvikCanvas::paintEvent(QPaintEvent *event) {
  canvas::PaintCache &pc = *paintCache_;
  const QRect depthBox = pc.depthBoxShown, ggaBox = pc.ggaBoxShown;
  Paint();
  // Pixels this paint changed beyond those it was asked for (a redraw the host did not foresee,
  // a status box grown past its measure) are shown by the paint that follows.
  QRegion rest = pc.changedByPaint;
  if (pc.depthBoxShown != depthBox)
    rest += QRegion(pc.depthBoxShown) + depthBox;
  if (pc.ggaBoxShown != ggaBox)
    rest += QRegion(pc.ggaBoxShown) + ggaBox;
  rest -= event->region();
  rest &= QRegion(rect());
  if (!rest.isEmpty())
    QWidget::update(rest);
}

void TTarvikCanvas::RepaintChanges() {
  const canvas::PaintCache &pc = *paintCache_;
  if (BackBufferDirty || !pc.recorded || BackBuffer.size() != size()) {
    QWidget::update();
    return;
  }
  for (const QRect &r : pc.damage)
    invalidatePixels(r);
  invalidatePixels(pc.ggaBoxShown);
  invalidatePixels(ggaStatusBox());
}

void TTarvikCanvas::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  Resize();
}
