// What the main window does for the tool windows (navigator::MainWindowServices): the few
// commands and controls they reach without knowing TFNav.
#include "navigator/mainwindow/MainWindow.h"

#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

std::vector<const QWidget *> TFNav::controlsToKeepClear() const {
  std::vector<const QWidget *> controls;
  if (MainMenu1 && MainMenu1->isVisible())
    controls.push_back(MainMenu1);
  for (const QToolBar *bar : findChildren<QToolBar *>())
    if (bar->isVisible() && toolBarArea(const_cast<QToolBar *>(bar)) == Qt::TopToolBarArea)
      controls.push_back(bar);
  if (Realtime && Realtime->isVisible())
    controls.push_back(Realtime);
  return controls;
}

bool TFNav::turkishMessages() const { return lLanguage && lLanguage->isEnabled(); }

void TFNav::startAcquisition() {
  if (Realtime && !Realtime->isChecked())
    RealtimeClick(Realtime);
}

void TFNav::setCompactDisplay(bool compact) {
  for (QWidget *part :
       {static_cast<QWidget *>(tRealtime), static_cast<QWidget *>(tDraw), pRealtime})
    part->setVisible(!compact);
  // A change of the frame hides a shown window: put it back where it was.
  const bool shown = isVisible();
  setWindowFlag(Qt::FramelessWindowHint, compact);
  MainMenu1->setVisible(!compact);
  if (shown)
    show();
  tShape->setVisible(!compact);
}
