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
  QAction *About1;

  // Puts a form into the frame as a visible child window.
  QMdiSubWindow *addChild(QWidget *form);

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
