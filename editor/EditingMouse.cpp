// The profile window's redraw pace, mouse, wheel and scroll bar, and the window arrangement.
#include "editor/EditorWindows.h"
#include "editor/FrameWindow.h"
#include "editor/PlanViewWindow.h"
#include "editor/ProfileEditorWindow.h"
#include "platform/GdiCanvas.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace {

// The redraw runs only when something changed, so a short interval costs nothing while idle;
// about one frame of a 60 Hz screen.
constexpr int activeRedrawInterval = 16;
constexpr int inactiveRedrawInterval = 200;

QWidget *frameOf(QWidget *form) {
  if (auto *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget()))
    return frame;
  return form;
}

} // namespace

void TfEditing::FormActivate() { displayMainLoop->setInterval(activeRedrawInterval); }

void TfEditing::FormDeactivate() { displayMainLoop->setInterval(inactiveRedrawInterval); }

void TfEditing::FormMouseWheelUp(bool ctrl) {
  if (!displayMainLoop->isActive())
    return;
  displayMainLoop->stop();
  if (ctrl) {
    if (graph.pixelsPerPoint < imageWidth() / 2)
      graph.pixelsPerPoint *= 1.1;
  } else {
    const int step = std::max(graph.visibleCount / 20, 1);
    if (graph.firstIndex > 0)
      graph.firstIndex = std::max(graph.firstIndex - step, 0);
    scrollHor->setValue(graph.firstIndex);
  }
  displayMainLoop->start();
}

void TfEditing::FormMouseWheelDown(bool ctrl) {
  if (!displayMainLoop->isActive())
    return;
  displayMainLoop->stop();
  if (ctrl) {
    if (graph.pixelsPerPoint > 0.1)
      graph.pixelsPerPoint *= 0.9;
  } else {
    const int step = std::max(graph.visibleCount / 20, 1);
    if (static_cast<long long>(graph.firstIndex) <
        static_cast<long long>(points.size()) - graph.visibleCount)
      graph.firstIndex += step;
    scrollHor->setValue(graph.firstIndex);
  }
  displayMainLoop->start();
}

void TfEditing::scrollHorChange() {
  if (static_cast<std::size_t>(scrollHor->value()) <= points.size())
    graph.firstIndex = scrollHor->value();
}

void TfEditing::iMainMouseMove(int, int X, int Y) {
  cursor.mouseX = float(X);
  cursor.mouseY = float(Y);
  if (points.empty() || graph.pixelsPerPoint == 0)
    return;
  const double ppp = graph.pixelsPerPoint;
  const int count = static_cast<int>(points.size());
  const double column = std::trunc(X / ppp);
  cursor.snappedX = float(column * ppp);
  if (!graph.markerOn)
    graph.cursorOffset = column; // the commands act on the column under the mouse
  if (graph.firstIndex + graph.cursorOffset >= count)
    graph.cursorOffset = count - graph.firstIndex - 1;
  const long long idx = platform::truncToInt(graph.firstIndex + X / ppp);
  TfPlanView *plan = windows_.fPlanView;
  if (idx >= 0 && idx < count && plan && plan->isVisible())
    plan->showCursorCross(points[static_cast<std::size_t>(idx)].X,
                          points[static_cast<std::size_t>(idx)].Y);
  const int H = imageHeight();
  const bool nearLine = (Y > 10 && Y < 30) || (Y > H - 30 && Y < H - 10);
  iMain->setCursor(nearLine ? Qt::SizeVerCursor : Qt::CrossCursor);
}

void TfEditing::iMainMouseDown(int Button, int, int, int Y) {
  if (!displayMainLoop->isActive())
    return;
  if (graph.topLineY - 10 < Y && Y < graph.topLineY + 10)
    graph.draggingTop = true;
  else if (graph.bottomLineY - 10 < Y && Y < graph.bottomLineY + 10)
    graph.draggingBottom = true;
  if (Button == 0) {
    graph.selStart =
        graph.pixelsPerPoint > 0
            ? platform::truncToInt(cursor.mouseX / graph.pixelsPerPoint + graph.firstIndex)
            : graph.firstIndex;
    graph.hasSelection = false;
    graph.selecting = true;
    graph.bandY1 = cursor.mouseY;
  }
}

void TfEditing::iMainClick() {
  if (!displayMainLoop->isActive())
    return;
  graph.markerOn = true;
  bool changed = false;
  for (strPoint &p : points) {
    changed = changed || p.selected;
    p.selected = 0;
  }
  graph.selectedCount = 0;
  if (changed)
    pointsChanged();
}

void TfEditing::iMainMouseUp(int Button, int, int X, int Y) {
  if (graph.draggingTop) {
    graph.top -= (Y - graph.topLineY) * graph.unitsPerPixel;
    graph.draggingTop = false;
  }
  if (graph.draggingBottom) {
    graph.bottom -= (Y - graph.bottomLineY) * graph.unitsPerPixel;
    graph.draggingBottom = false;
  }
  if (Button != 0 || !graph.selecting)
    return;
  graph.selecting = false;
  if (points.empty() || !(graph.pixelsPerPoint > 0))
    return;
  const int last = static_cast<int>(points.size()) - 1;
  graph.selEnd =
      std::clamp(platform::truncToInt(X / graph.pixelsPerPoint + graph.firstIndex), 0, last);
  graph.selStart = std::clamp(graph.selStart, 0, last);
  graph.bandY2 = cursor.mouseY;
  if (graph.selStart > graph.selEnd)
    std::swap(graph.selStart, graph.selEnd);
  if (graph.bandY2 < graph.bandY1)
    std::swap(graph.bandY1, graph.bandY2);
  const int H = imageHeight();
  int count = 0;
  for (int i = graph.selStart; i <= graph.selEnd; ++i) {
    const double y = graph.rowOf(points[static_cast<std::size_t>(i)].Z, H);
    if (graph.bandY1 <= y && y <= graph.bandY2) {
      points[static_cast<std::size_t>(i)].selected = 1;
      ++count;
    }
  }
  graph.selectedCount = count;
  if (count > 0) {
    graph.hasSelection = true;
    pointsChanged();
  }
}

void TfEditing::ToolButton3Click() {
  if (!windows_.fParent || !windows_.fPlanView)
    return;
  const QSize client = windows_.fParent->mdiArea->viewport()->size();
  const int cw = client.width(), ch = client.height();
  QWidget *profile = frameOf(this);
  QWidget *plan = frameOf(windows_.fPlanView);
  if (tileStacked == 0) {
    profile->setGeometry(0, 0, cw - 5, ch / 2);
    plan->setGeometry(0, profile->height(), cw - 5, ch / 2 - 5);
    tileStacked = 1;
  } else {
    profile->setGeometry(0, 0, cw / 2, ch - 5);
    plan->setGeometry(profile->width(), 0, cw / 2 - 5, ch - 5);
    tileStacked = 0;
  }
}
