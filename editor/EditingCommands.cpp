// The profile window's commands: undo, the view commands, the edits of the soundings, Find Me
// and Locate, the keys and the close query.
#include "canvas/TarvikCanvas.h"
#include "editor/EditorWindows.h"
#include "editor/PlanViewWindow.h"
#include "editor/ProfileEditorWindow.h"
#include "editor/SettingsWindow.h"
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"
#include "platform/GdiCanvas.h"
#include "platform/KeyState.h"

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

void TfEditing::pushState() {
  clGraph::pushState(undoStack, points);
  if (undoStack.droppedStates() > 0 && !undoLimitReported_) {
    undoLimitReported_ = true;
    platform::ShowMessage(QStringLiteral(
        "The undo history has reached its memory limit: the oldest undo steps were dropped."));
  }
}

int TfEditing::smoothingFactor() const {
  return windows_.fSettings ? platform::StrToInt(windows_.fSettings->sSmoothingFactor->text()) : 1;
}

double TfEditing::smoothingRange() const {
  return windows_.fSettings ? platform::StrToFloat(windows_.fSettings->eSmoothingRange->text())
                            : 5.0;
}

void TfEditing::toolUndoClick() {
  const SoundingList::size_type before = points.size();
  std::size_t from = 0, to = 0;
  if (!undoStack.undo(points, &from, &to))
    return;
  graph.deletedCount = clGraph::countDeleted(points);
  if (points.size() == before)
    pointsChanged(from, to);
  else
    pointsChanged();
}

void TfEditing::warnFitToScreen() {
  if (toolToggleFTS->isChecked())
    platform::ShowMessage(QStringLiteral("Fit to Screen is active!"));
}

void TfEditing::toolGrowVerticalClick() {
  warnFitToScreen();
  const float d = float(graph.top - graph.bottom);
  graph.top -= 0.1 * d;
  graph.bottom += 0.1 * d;
}

void TfEditing::toolSqueezeVerticalClick() {
  warnFitToScreen();
  const float d = float(graph.top - graph.bottom);
  graph.top += 0.1 * d;
  graph.bottom -= 0.1 * d;
}

void TfEditing::toolPushUpClick() {
  warnFitToScreen();
  const double d = graph.maxHeight(points) - graph.minHeight(points);
  if (!std::isfinite(d) || d < 0)
    return; // nothing visible
  graph.top -= 0.2 * d;
  graph.bottom -= 0.2 * d;
}

void TfEditing::toolPushDownClick() {
  warnFitToScreen();
  const double d = graph.maxHeight(points) - graph.minHeight(points);
  if (!std::isfinite(d) || d < 0)
    return;
  graph.top += 0.2 * d;
  graph.bottom += 0.2 * d;
}

void TfEditing::toolGrowHorizontalClick() { graph.pixelsPerPoint *= 1.1; }

void TfEditing::toolSqueezeHorizontalClick() {
  if (graph.pixelsPerPoint > 0.1)
    graph.pixelsPerPoint *= 0.9;
}

void TfEditing::toolZoomToSelectionClick() {
  if (graph.selEnd - graph.selStart >= 2) {
    graph.firstIndex = graph.selStart - 1;
    graph.pixelsPerPoint = double(imageWidth()) / (graph.selEnd - graph.selStart + 1);
  }
}

void TfEditing::ZoomtoSelection1Click() {
  graph.firstIndex = graph.selStart;
  if (graph.selEnd != graph.selStart)
    graph.pixelsPerPoint = double(imageWidth()) / (graph.selEnd - graph.selStart);
}

void TfEditing::QuickFittoScreen1Click() { graph.fitVertical(points, graph.top, graph.bottom); }

void TfEditing::Zoomtofit1Click() {
  if (points.empty())
    return;
  graph.firstIndex = 0;
  graph.pixelsPerPoint = double(imageWidth()) / double(points.size());
  platform::GdiCanvas canvas;
  ProfileImage image{canvas, imageWidth(), imageHeight(), width(), height(), points, cursor};
  graph.updateScales(image);
  graph.fitVertical(points, graph.top, graph.bottom);
}

void TfEditing::InterpolatePoint1Click() {
  const int i = graph.cursorIndex();
  // Both neighbours are needed; at either end, or outside the list, there is nothing to do.
  if (i <= 0 || i >= static_cast<int>(points.size()) - 1)
    return;
  pushState();
  points[i].Z = (points[i - 1].Z + points[i + 1].Z) / 2;
  points[i].processed = 1;
  pointsChanged(static_cast<std::size_t>(i), static_cast<std::size_t>(i) + 1);
}

void TfEditing::Smoothpoint1Click() {
  const int i = graph.cursorIndex();
  if (i < 0 || i >= static_cast<int>(points.size()))
    return;
  pushState();
  const int n = smoothingFactor();
  graph.smoothPoint(points, i, n, smoothingRange());
  pointsChanged(static_cast<std::size_t>(i), static_cast<std::size_t>(i) + 1);
}

void TfEditing::SmoothSelection1Click() {
  pushState();
  const int n = smoothingFactor();
  const double limit = smoothingRange();
  // Only a selected sounding's own height changes: the redraws look again at those alone.
  ChangedRange changed;
  for (std::size_t i = 0; i < points.size(); ++i)
    if (points[i].selected == 1) {
      graph.smoothPoint(points, static_cast<int>(i), n, limit);
      changed.widen(i, i + 1);
    }
  pointsChanged(changed.from, changed.to);
}

void TfEditing::SmoothAll1Click() {
  if (!displayMainLoop->isActive())
    return;
  if (platform::MessageDlg(
          QStringLiteral("All vertical information will change! Do you wish to proceed?"),
          mtWarning, mbYes | mbNo) != mrYes)
    platform::Abort();
  pushState();
  pointsChanged();
  const int n = smoothingFactor();
  const double limit = smoothingRange();
  for (int i = 1; i + 1 < static_cast<int>(points.size()); ++i)
    graph.smoothPoint(points, i, n, limit);
}

void TfEditing::DeletePoint2Click() {
  const int i = graph.cursorIndex();
  if (i < 0 || i >= static_cast<int>(points.size()))
    return;
  pushState();
  points[i].deleted = 1;
  graph.deletedCount = clGraph::countDeleted(points);
  pointsChanged(static_cast<std::size_t>(i), static_cast<std::size_t>(i) + 1);
}

void TfEditing::setSelectionDeleted(std::uint8_t value) {
  const bool wasRunning = displayMainLoop->isActive();
  displayMainLoop->stop();
  pushState();
  const int H = imageHeight();
  // The soundings whose flag this turns, and no others, are looked at again by the redraws.
  ChangedRange changed;
  for (std::size_t k = points.size(); k-- > 0;) {
    strPoint &p = points[k];
    if (p.selected != 1)
      continue;
    const double y = graph.rowOf(p.Z, H);
    if (graph.bandY1 <= y && y <= graph.bandY2 && p.deleted != value) {
      p.deleted = value;
      changed.widen(k, k + 1);
    }
  }
  graph.deletedCount = clGraph::countDeleted(points);
  pointsChanged(changed.from, changed.to);
  if (wasRunning)
    displayMainLoop->start();
}

void TfEditing::DeleteSelection1Click() { setSelectionDeleted(1); }

void TfEditing::RestoreSelection1Click() { setSelectionDeleted(0); }

void TfEditing::PlanView1Click() {
  TfPlanView *plan = windows_.fPlanView;
  if (!plan)
    return;
  if (auto *frame = qobject_cast<QMdiSubWindow *>(plan->parentWidget())) {
    frame->show();
    frame->raise();
  }
  plan->show();
  plan->raise();
  try {
    if (points.empty())
      return;
    const strPoint P =
        points[static_cast<std::size_t>(graph.cursorIndexClamped(int(points.size())))];
    TTarvikCanvas *c = plan->qcanvas;
    c->WorldPan(P.X - (c->WorldLeft + c->WorldRight) / 2, P.Y - (c->WorldTop + c->WorldBottom) / 2);
    const int old = c->LayerFindByName(QStringLiteral("FindMeLayer"));
    if (old > 0)
      c->CadClearShapes(old);
    const int layer = c->LayerOpen(QStringLiteral("FindMeLayer"));
    c->SetLayerPenFg(layer, RGB(255, 0, 0));
    c->SetLayerPenWidth(layer, 3);
    c->DrawPoint(P.X, P.Y, layer);
    c->DrawCircle(P.X, P.Y, 1.0, layer);
    plan->pickedX = P.X;
    plan->pickedY = P.Y;
    c->Refresh();
  } catch (...) {
    // Find Me gives up quietly.
  }
}

void TfEditing::toolFindMeFromPlanVClick() {
  if (!windows_.fPlanView)
    return;
  graph.selectNearest(windows_.fPlanView->pickedX, windows_.fPlanView->pickedY, points,
                      imageWidth());
  pointsChanged();
}

void TfEditing::ToolButton1Click() {
  if (!windows_.fSettings)
    return;
  windows_.fSettings->show();
  windows_.fSettings->raise();
}

void TfEditing::FormKeyPress() {
  if (platform::ctrlDown() && platform::isKeyDown(Qt::Key_Z))
    toolUndoClick();
  if (platform::isKeyDown(Qt::Key_V))
    graph.fitVertical(points, graph.top, graph.bottom);
  if (platform::isKeyDown(Qt::Key_H)) {
    if (!graph.hasSelection) {
      platform::ShowMessage(QStringLiteral("Select points first!"));
    } else {
      graph.firstIndex = graph.selStart - 1;
      graph.pixelsPerPoint = double(imageWidth()) / (graph.selEnd - graph.selStart + 1);
    }
  }
}

void TfEditing::FormCloseQuery(bool &CanClose) {
  CanClose = true;
  if (displayMainLoop->isActive() &&
      platform::MessageDlg(QStringLiteral("Closing! Are you sure?\nKapaniyor! Emin misiniz?"),
                           mtWarning, mbYes | mbNo) != mrYes)
    platform::Abort();
}
