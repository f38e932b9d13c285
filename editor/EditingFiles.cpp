// The profile window's file commands: Open (which also fills the plan view) and Save.
#include "canvas/TarvikCanvas.h"
#include "editor/EditorWindows.h"
#include "editor/PlanViewWindow.h"
#include "editor/ProfileEditorWindow.h"
#include "editor/WaitWindow.h"
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"
#include "platform/GdiCanvas.h"

#include <QFile>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdint>

bool TfEditing::checkData(SoundingList &list, const SoundingReadSummary &read) {
  double sum = 0.0;
  for (const strPoint &p : list)
    sum += p.X;
  const double mean = list.empty() ? 0.0 : sum / double(list.size());
  graph.geographic = (mean >= -180.0 && mean <= 180.0) ? 1 : 0;
  if (list.size() < 3) {
    platform::MessageDlg(tooFewSoundingsMessage(read, list.size()), mtError, mbOK);
    platform::Abort();
  }
  return true;
}

void TfEditing::bFileOpenClick() {
  openDialog.Filter = QStringLiteral("Text files [*.txt]|*.txt|All files [*.*]|*.*");
  if (!openDialog.Execute())
    return;
  displayMainLoop->stop();
  points.clear();
  points.shrink_to_fit();
  const SoundingReadSummary read = readXyzFile(openDialog.FileName, points);
  // Another file's states must never come back under this file's name.
  undoStack.clear();
  undoLimitReported_ = false;
  pointsChanged();
  {
    platform::GdiCanvas canvas(iMain->bitmap());
    ProfileImage image{canvas, imageWidth(), imageHeight(), width(), height(), points, cursor};
    graph.clearProfile(image);
  }
  iMain->update();
  setWindowTitle(QStringLiteral("VUDE Divovo"));
  refuseUnreadFile(read);
  checkData(points, read);
  // The undo history's copy of the file is taken now, within the open, rather than by the
  // first edit, which would take as long as the copy of the whole list.
  undoStack.prepare(points);

  graph.firstIndex = 0;
  graph.pixelsPerPoint = double(imageWidth()) / double(points.size());
  // From the start of the new file: a position kept from the last one would move firstIndex.
  scrollHor->setValue(0);
  scrollHor->setMaximum(static_cast<int>(std::min<std::size_t>(points.size(), INT32_MAX)));
  {
    platform::GdiCanvas canvas(iMain->bitmap());
    ProfileImage image{canvas, imageWidth(), imageHeight(), width(), height(), points, cursor};
    graph.updateScales(image);
  }
  graph.fitVertical(points, graph.top, graph.bottom);
  displayMainLoop->start();
  setWindowTitle(QStringLiteral("VUDE Divovo (\"") + openDialog.FileName + QStringLiteral("\")"));
  iMain->PopupMenu = popupMenu;
  for (QToolButton *b : {toolUndo, toolGrowVertical, toolSqueezeVertical, toolPushUp, toolPushDown,
                         toolGrowHorizontal, toolSqueezeHorizontal, toolZoomToSelection,
                         toolToggleFTS, toolShowDeleted, toolShowStatus})
    b->setEnabled(true);
  toolShowStatus->setChecked(true);
  invalidateProfile();
  fillPlanView();
  if (windows_.fPlanView) {
    windows_.fPlanView->show();
    if (auto *frame = qobject_cast<QMdiSubWindow *>(windows_.fPlanView->parentWidget()))
      frame->show();
  }
  reportSkippedLines(read);
}

void TfEditing::fillPlanView() {
  if (!windows_.fPlanView)
    return;
  TfPlanView *plan = windows_.fPlanView;
  TTarvikCanvas *c = plan->qcanvas;
  c->CadClearShapes(-1);
  c->ClearDepthLabels();
  plan->crossLineH = plan->crossLineV = 0;
  // The track is drawn with the pen of the "Elevations" layer and the labels in "Arial,10",
  // straight from the list: a shape or two per sounding would cost far more than the list.
  const int layer = c->LayerOpen(QStringLiteral("Elevations"));
  const int font = c->FontOpen(QStringLiteral("Arial,10"), 0);
  plan->showSoundings(this, &points, layer, font);
  c->WorldExtents();
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  if (plan->soundings.extent(minX, minY, maxX, maxY)) {
    // The view follows the soundings, not the labels' bounds: in degrees a label's box is far
    // larger than the survey and would shrink it to a dot.
    double w = maxX - minX, h = maxY - minY;
    if (w <= 0 && h <= 0)
      w = h = 1.0;
    else if (w <= 0)
      w = h;
    else if (h <= 0)
      h = w;
    const double cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
    w *= 1.1;
    h *= 1.1;
    const double aspect =
        double(std::max(c->clientWidth(), 1)) / double(std::max(c->clientHeight(), 1));
    if (w / h > aspect)
      h = w / aspect;
    else
      w = h * aspect;
    c->WorldSet(cx - w / 2, cy + h / 2, cx + w / 2, cy - h / 2);
  }
  c->GridVisible = true;
  c->GridAutoScale = true;
  c->GridColor = RGB(192, 192, 192);
  c->Refresh();
}

void TfEditing::bSaveEditsClick() {
  if (points.empty() || openDialog.FileName.isEmpty()) {
    platform::ShowMessage(QStringLiteral("No data loaded. Please open a file first."));
    return;
  }
  const QString outName = editedFileName(openDialog.FileName);
  const bool wasRunning = displayMainLoop->isActive();
  bool waitShown = false;
  TfWait *wait = windows_.fWait;
  // The file is written in one go: no other command can run in the middle of it, and the wait
  // window is repainted a bounded number of times.
  const auto ok = writeSoundings(outName, points, graph.geographic == 1, [&](std::size_t i) {
    if (!waitShown) {
      waitShown = true;
      if (wait) {
        wait->progressBar->setRange(
            0, static_cast<int>(std::min<std::size_t>(points.size(), INT32_MAX)));
        wait->showCentred();
      }
      displayMainLoop->stop();
    }
    if (wait)
      wait->setProgress(static_cast<int>(std::min<std::size_t>(i, INT32_MAX)));
  });
  if (waitShown) {
    if (wait)
      wait->close();
    if (wasRunning)
      displayMainLoop->start();
  }
  if (!ok) {
    // The earlier edited copy is still whole; the reason (a full disk, say) tells what to do.
    platform::MessageDlg(QStringLiteral("Unable to save to file.\n") +
                             QFile::decodeName(QByteArray::fromStdString(ok.error)),
                         mtError, mbOK);
    platform::Abort();
  }
}
