#include "editor/FrameWindow.h"

#include "editor/EditorWindows.h"
#include "editor/PlanViewWindow.h"
#include "editor/ProfileEditorWindow.h"
#include "editor/SettingsWindow.h"
#include "platform/Abort.h"
#include "platform/About.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QShowEvent>

TfParent::TfParent(QWidget *owner, EditorWindows &windows) : QMainWindow(owner), windows_(windows) {
  setObjectName(QStringLiteral("fParent"));
  setWindowTitle(QStringLiteral("Tarvik Trimsel - Singlebeam Editor"));
  mdiArea = new QMdiArea(this);
  mdiArea->setObjectName(QStringLiteral("mdiArea"));
  setCentralWidget(mdiArea);
  QMenuBar *bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  QMenu *file = bar->addMenu(QStringLiteral("File"));
  Exit1 = file->addAction(QStringLiteral("Exit"));
  Exit1->setObjectName(QStringLiteral("Exit1"));
  QMenu *window = bar->addMenu(QStringLiteral("Window"));
  window->setObjectName(QStringLiteral("Window1"));
  Profile1 = window->addAction(QStringLiteral("Profile"));
  Profile1->setObjectName(QStringLiteral("Profile1"));
  Plan1 = window->addAction(QStringLiteral("Plan"));
  Plan1->setObjectName(QStringLiteral("Plan1"));
  QMenu *help = bar->addMenu(QStringLiteral("Help"));
  About1 = help->addAction(QStringLiteral("About"));
  About1->setObjectName(QStringLiteral("About1"));
  connect(Exit1, &QAction::triggered, this, platform::guarded(this, &TfParent::Exit1Click));
  connect(About1, &QAction::triggered, this, platform::guarded(this, &TfParent::About1Click));
  connect(Profile1, &QAction::triggered, this, [this] { showChild(windows_.fEditing); });
  connect(Plan1, &QAction::triggered, this, [this] { showChild(windows_.fPlanView); });
  // The profile window redraws at its quick pace only while it is the active child.
  connect(mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *active) {
    if (!windows_.fEditing)
      return;
    if (active && active->widget() == windows_.fEditing)
      windows_.fEditing->FormActivate();
    else
      windows_.fEditing->FormDeactivate();
  });
}

QMdiSubWindow *TfParent::addChild(QWidget *form) {
  QMdiSubWindow *frame = mdiArea->addSubWindow(form);
  // The area would delete a closed child, and with it a form the other windows still use.
  frame->setAttribute(Qt::WA_DeleteOnClose, false);
  frame->setObjectName(form->objectName() + QStringLiteral("Frame"));
  frame->setWindowTitle(form->windowTitle());
  frame->show();
  return frame;
}

void TfParent::showChild(QWidget *form) {
  if (!form)
    return;
  form->show();
  if (auto *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget())) {
    if (frame->isMinimized())
      frame->showNormal();
    else
      frame->show();
    mdiArea->setActiveSubWindow(frame);
  }
}

void TfParent::showEvent(QShowEvent *event) {
  QMainWindow::showEvent(event);
  if (!shownOnce_) {
    shownOnce_ = true;
    platform::guarded(this, &TfParent::FormShow)();
  }
}

void TfParent::FormShow() {
  // Every window reads its defaults from a settings file that is not read: say so once.
  if (const auto refusal = platform::settingsFileRefusal(platform::SettingsFilePath()))
    platform::MessageDlg(platform::pathText(*refusal), mtWarning, mbOK);
  if (!windows_.fEditing || !windows_.fPlanView)
    return;
  const platform::IniFile ini(platform::SettingsFilePath());
  if (!ini.SectionExists("fEditing") && !ini.SectionExists("fPlanView")) {
    // First run: both windows at the frame's corner would cover each other; stack them.
    windows_.fEditing->ToolButton3Click();
    return;
  }
  loadFormGeometry(windows_.fEditing, true);
  loadFormGeometry(windows_.fPlanView, true);
}

void TfParent::closeEvent(QCloseEvent *event) {
  // The children are asked first, then the frame itself.
  bool canClose = true;
  try {
    if (windows_.fEditing)
      windows_.fEditing->FormCloseQuery(canClose);
    if (canClose)
      FormCloseQuery(canClose);
  } catch (...) {
    platform::handleCurrentException();
    canClose = false;
  }
  if (!canClose) {
    event->ignore();
    return;
  }
  event->accept();
  FormClose();
}

void TfParent::FormCloseQuery(bool &CanClose) {
  CanClose = true;
  // A run in which the settings window was never shown leaves the stored settings as they are,
  // rather than replacing them by the window's initial values.
  if (windows_.fSettings && windows_.fSettings->wasShown())
    windows_.fSettings->writeSettings();
  if (windows_.fEditing)
    saveFormGeometry(windows_.fEditing);
  if (windows_.fPlanView)
    saveFormGeometry(windows_.fPlanView);
}

void TfParent::FormClose() { QCoreApplication::quit(); }

void TfParent::Exit1Click() { close(); }

void TfParent::About1Click() {
  if (windows_.formAbout)
    windows_.formAbout->exec();
}
