#include "editor/PlanViewWindow.h"

#include "canvas/TarvikCanvas.h"
#include "editor/EditorWindows.h"
#include "editor/ProfileEditorWindow.h"
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/GdiCanvas.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

TfPlanView::TfPlanView(QWidget *owner, EditorWindows &windows) : QWidget(owner), windows_(windows) {
  setObjectName(QStringLiteral("fPlanView"));
  setWindowTitle(QStringLiteral("Plan"));
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Panel2 = new QWidget(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFixedHeight(29);
  auto *top = new QHBoxLayout(Panel2);
  top->setContentsMargins(2, 2, 2, 2);
  bLocate = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                            QStringLiteral("&Locate"), Panel2);
  bLocate->setObjectName(QStringLiteral("bLocate"));
  top->addWidget(bLocate);
  Label1 = new QLabel(QStringLiteral("Coordinates"), Panel2);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
  top->addWidget(Label1, 1);
  layout->addWidget(Panel2);
  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  auto *p1 = new QVBoxLayout(Panel1);
  p1->setContentsMargins(0, 0, 0, 0);
  pnlCanvas = new QWidget(Panel1);
  pnlCanvas->setObjectName(QStringLiteral("pnlCanvas"));
  p1->addWidget(pnlCanvas);
  layout->addWidget(Panel1, 1);

  qcanvas = new TTarvikCanvas(this);
  qcanvas->setParent(pnlCanvas);
  auto *c = new QVBoxLayout(pnlCanvas);
  c->setContentsMargins(0, 0, 0, 0);
  c->addWidget(qcanvas);
  qcanvas->DrawMode = -2;
  qcanvas->OnWorldMouseDown = [this](QObject *s, short b, short sh, short a, double x, double y) {
    qcanvas_Click(s, b, sh, a, x, y);
  };
  qcanvas->OnDrawBelowShapes = [this](platform::GdiCanvas &g, const QRect &area) {
    paintSoundings(g, area);
  };
  crossLineH = crossLineV = 0;
  connect(bLocate, &QPushButton::clicked, this, platform::guarded(this, &TfPlanView::bLocateClick));
}

void TfPlanView::wheelEvent(QWheelEvent *event) {
  event->accept();
  wheelRemainder_ += event->angleDelta().y();
  while (wheelRemainder_ >= 120) {
    wheelRemainder_ -= 120;
    platform::guarded(this, &TfPlanView::FormMouseWheelUp)();
  }
  while (wheelRemainder_ <= -120) {
    wheelRemainder_ += 120;
    platform::guarded(this, &TfPlanView::FormMouseWheelDown)();
  }
}

void TfPlanView::FormMouseWheelUp() {
  qcanvas->WorldZoom(0, 0.1, (qcanvas->WorldLeft + qcanvas->WorldRight) / 2,
                     (qcanvas->WorldTop + qcanvas->WorldBottom) / 2);
  qcanvas->DrawMode = -2;
}

void TfPlanView::FormMouseWheelDown() {
  qcanvas->WorldZoom(0, -0.1, (qcanvas->WorldLeft + qcanvas->WorldRight) / 2,
                     (qcanvas->WorldTop + qcanvas->WorldBottom) / 2);
  qcanvas->DrawMode = -2;
}

void TfPlanView::qcanvas_Click(QObject *, short, short, short, double X, double Y) {
  pickedX = X;
  pickedY = Y;
  Label1->setText(QStringLiteral("Easting:") +
                  QString::fromStdString(platform::FloatToStrF(X, platform::ffFixed, 15, 2)) +
                  QStringLiteral(" Northing: ") +
                  QString::fromStdString(platform::FloatToStrF(Y, platform::ffFixed, 15, 2)));
}

void TfPlanView::bLocateClick() {
  if (windows_.fEditing) {
    windows_.fEditing->toolFindMeFromPlanVClick();
    windows_.fEditing->invalidateProfile();
  }
}

void TfPlanView::showCursorCross(double x, double y) {
  // The cross lines are the newest shapes, so taking them out and putting them back costs the
  // same whatever the drawing holds.
  if (crossLineH > 0)
    qcanvas->ShapeDelete(crossLineH);
  if (crossLineV > 0)
    qcanvas->ShapeDelete(crossLineV);
  const double g = 0.02 * std::max(qcanvas->WorldRight - qcanvas->WorldLeft,
                                   qcanvas->WorldTop - qcanvas->WorldBottom);
  crossLineH = qcanvas->DrawLine(x - g, y, x + g, y, 99);
  crossLineV = qcanvas->DrawLine(x, y - g, x, y + g, 99);
  // The canvas knows where the two lines were and are: it repaints only there.
  qcanvas->update();
}

void TfPlanView::showSoundings(QObject *owner, const SoundingList *points, int layer, int font) {
  soundingsOwner_ = owner;
  soundingsLayer_ = layer;
  soundingsFont_ = font;
  soundingsAlignH_ = qcanvas->TextAlignH;
  soundingsAlignV_ = qcanvas->TextAlignV;
  soundings.show(owner ? points : nullptr);
  qcanvas->Refresh();
}

void TfPlanView::soundingsChanged() {
  soundings.changed();
  qcanvas->Refresh();
}

void TfPlanView::soundingsChanged(std::size_t from, std::size_t to) {
  soundings.changed(from, to);
  qcanvas->Refresh();
}

void TfPlanView::paintSoundings(platform::GdiCanvas &g, const QRect &area) {
  if (!soundingsOwner_) {
    soundings.show(nullptr);
    return;
  }
  const TQLayer *layer = qcanvas->FindLayer(soundingsLayer_);
  if (!layer || !layer->Visible)
    return;
  const PlanSoundings::View view{qcanvas->WorldLeft,   qcanvas->WorldRight, qcanvas->WorldTop,
                                 qcanvas->WorldBottom, qcanvas->width(),    qcanvas->height()};
  if (!std::isfinite(view.left) || !std::isfinite(view.right) || !std::isfinite(view.top) ||
      !std::isfinite(view.bottom))
    return;
  PlanSoundings::Style style;
  // As the canvas draws its own shapes: in a colour that shows on its background.
  style.track = qcanvas->GetContrastColor(layer->PenFg);
  style.trackWidth = layer->PenWidth;
  style.label = style.track;
  style.deleted = qcanvas->GetContrastColor(clRed);
  if (soundingsFont_ >= 0 && static_cast<std::size_t>(soundingsFont_) < qcanvas->Fonts.size()) {
    const TQFont &f = qcanvas->Fonts[static_cast<std::size_t>(soundingsFont_)];
    style.fontName = f.Name;
    style.bold = f.Bold;
    style.italic = f.Italic;
  }
  style.alignH = soundingsAlignH_;
  style.alignV = soundingsAlignV_;
  // The canvas leaves its texts out while the user drags the plan.
  style.labels = !qcanvas->FInteracting;
  soundings.paint(g, area, view, style);
}
