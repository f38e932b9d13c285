// Closing any window of the editor and then using every command: no window may disappear under
// the others (the sanitizers see any use of a freed one), and the "Window" menu brings the
// profile and the plan back.
#include "EditorTestSupport.h"

#include "platform/About.h"

#include <QAction>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>

using editortest::Editor;

namespace {

QWidget *frameOf(QWidget *form) { return form->parentWidget(); }

void mouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButton button) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

void wheel(QWidget *target, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWheelEvent event(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &event);
}

// Every command of the profile, the plan, the settings and the frame, through their controls.
void runEveryCommand(Editor &ed, const std::string &file) {
  TfEditing &e = ed.e();
  TfPlanView &plan = *ed.w.fPlanView;
  // The mouse over the profile (which draws the cross on the plan), a rubber band, the wheel.
  for (int x : {10, 200, 400, 600})
    mouse(e.iMain, QEvent::MouseMove, QPoint(x, 200), Qt::NoButton);
  mouse(e.iMain, QEvent::MouseButtonPress, QPoint(100, 200), Qt::LeftButton);
  mouse(e.iMain, QEvent::MouseMove, QPoint(300, 300), Qt::LeftButton);
  mouse(e.iMain, QEvent::MouseButtonRelease, QPoint(300, 300), Qt::LeftButton);
  wheel(&e, 120);
  wheel(&e, -120);
  wheel(&e, 120, Qt::ControlModifier);
  e.scrollHor->setValue(5);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_V, Qt::NoModifier, QStringLiteral("v"));
  QApplication::sendEvent(&e, &key);

  for (QToolButton *b : e.ToolBar1->findChildren<QToolButton *>()) {
    if (b == e.toolToggleFTS || b->parent() != e.ToolBar1)
      continue; // Fit to Screen would add a message to every later zoom
    if (b == e.bFileOpen)
      ed.dialogs.chooseFile(QString::fromStdString(file));
    b->click();
  }
  for (QAction *a : e.popupMenu->actions()) {
    if (a->isSeparator())
      continue;
    e.graph.cursorOffset = 20;
    if (a == e.SmoothAll1)
      ed.dialogs.answer(mrYes);
    a->trigger();
  }

  plan.bLocate->click();
  wheel(&plan, 120);
  wheel(&plan, -120);
  plan.qcanvas_Click(nullptr, 0, 0, 0, 500010.0, 4400000.0);
  plan.bLocate->click();

  ed.w.fSettings->cClolorConfigChange();
  ed.w.fWarning->trackClusterChange();

  TfParent &frame = *ed.w.fParent;
  frame.mdiArea->activateNextSubWindow();
  frame.mdiArea->activatePreviousSubWindow();
  QTimer::singleShot(0, ed.w.formAbout, &QDialog::reject);
  frame.About1->trigger();
}

struct ChildCase {
  const char *name;
  std::function<QWidget *(EditorWindows &)> window; // what the user closes
  std::function<QAction *(TfParent &)> bringBack;   // the "Window" menu item, if any
};

class EditorWindowClose : public ::testing::TestWithParam<ChildCase> {};

TEST_P(EditorWindowClose, EveryCommandAfterwardsIsSafe) {
  Editor ed;
  const std::string file = ed.open("p.txt", editortest::line(300, [](int i) { return i % 9; }));
  const ChildCase &c = GetParam();
  QPointer<QWidget> closed = c.window(ed.w);
  const QPointer<TfEditing> editing = ed.w.fEditing;
  const QPointer<TfPlanView> plan = ed.w.fPlanView;
  if (c.window(ed.w) == frameOf(ed.w.fEditing)) {
    // A file is loaded: the profile asks first, and No keeps it.
    ed.dialogs.answer(mrNo);
    EXPECT_FALSE(closed->close());
    EXPECT_TRUE(closed->isVisible());
    ed.dialogs.answer(mrYes);
  }
  closed->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  ASSERT_TRUE(closed && editing && plan) << "a closed window was deleted";
  EXPECT_FALSE(closed->isVisible());

  runEveryCommand(ed, file);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  ASSERT_TRUE(closed && editing && plan);

  if (c.bringBack) {
    QAction *item = c.bringBack(*ed.w.fParent);
    // The item is in the frame's "Window" menu.
    const QList<QAction *> menus = ed.w.fParent->menuBar()->actions();
    const auto window =
        std::find_if(menus.begin(), menus.end(), [](QAction *m) { return m->text() == "Window"; });
    ASSERT_NE(window, menus.end());
    EXPECT_TRUE((*window)->menu()->actions().contains(item));
    // Closed again (Open showed the plan), then brought back by the menu.
    if (closed == frameOf(ed.w.fEditing))
      ed.dialogs.answer(mrYes);
    closed->close();
    ASSERT_FALSE(closed->isVisible());
    item->trigger();
    EXPECT_TRUE(closed->isVisible());
    EXPECT_EQ(ed.w.fParent->mdiArea->activeSubWindow(), closed.data());
    // Back in the frame, its commands work as before.
    runEveryCommand(ed, file);
  }

  // File > Exit still asks (a file is loaded) and then closes the program.
  ed.dialogs.answer(mrYes);
  ed.w.fParent->Exit1->trigger();
  EXPECT_FALSE(ed.w.fParent->isVisible());
  EXPECT_EQ(ed.dialogs.pendingAnswers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, EditorWindowClose,
    ::testing::Values(
        ChildCase{"Profile", [](EditorWindows &w) { return frameOf(w.fEditing); },
                  [](TfParent &p) { return p.Profile1; }},
        ChildCase{"Plan", [](EditorWindows &w) { return frameOf(w.fPlanView); },
                  [](TfParent &p) { return p.Plan1; }},
        ChildCase{"Settings", [](EditorWindows &w) -> QWidget * { return w.fSettings; }, {}},
        ChildCase{"Wait", [](EditorWindows &w) -> QWidget * { return w.fWait; }, {}},
        ChildCase{"Warning", [](EditorWindows &w) -> QWidget * { return w.fWarning; }, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(EditorWindowClose, TheWindowMenuBringsBackAMinimisedChild) {
  Editor ed;
  auto *frame = qobject_cast<QMdiSubWindow *>(frameOf(ed.w.fPlanView));
  ASSERT_NE(frame, nullptr);
  frame->showMinimized();
  ed.w.fParent->Plan1->trigger();
  EXPECT_FALSE(frame->isMinimized());
  EXPECT_TRUE(ed.w.fPlanView->isVisible());
}

} // namespace
