// TfParent: the editor's frame window, which holds the profile and plan windows as its children
// and writes the settings and placements when the program closes.
#pragma once

#include <QMainWindow>

class QAction;
class QMdiArea;
class QMdiSubWindow;
struct EditorWindows;

class TfParent : public QMainWindow {
  Q_OBJECT

public:
  TfParent(QWidget *owner, EditorWindows &windows);

  QMdiArea *mdiArea;
  QAction *Exit1;
  QAction *Profile1; // "Window" > "Profile"
  QAction *Plan1;    // "Window" > "Plan"
  QAction *About1;

  // Puts a form into the frame as a visible child window. Closing it only hides it: the form
  // lives as long as the frame, so every command that reaches it stays safe, and the "Window"
  // menu shows it again.
  QMdiSubWindow *addChild(QWidget *form);
  // Shows a child window again (also after the user closed it) and makes it the active one.
  void showChild(QWidget *form);

  void FormShow();
  void FormCloseQuery(bool &CanClose);
  void FormClose();
  void Exit1Click();
  void About1Click();

protected:
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  EditorWindows &windows_;
  bool shownOnce_ = false;
};
