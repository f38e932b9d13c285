// TfPlanView: the soundings from above on a drawing canvas, with the picked position that Locate
// looks up in the profile and the cross that follows the profile's mouse.
#pragma once

#include <QWidget>
#include <cstdint>

class QLabel;
class QPushButton;
class TTarvikCanvas;
struct EditorWindows;

class TfPlanView : public QWidget {
  Q_OBJECT

public:
  TfPlanView(QWidget *owner, EditorWindows &windows);

  QWidget *Panel2; // the top panel
  QPushButton *bLocate;
  QLabel *Label1;
  QWidget *Panel1;
  QWidget *pnlCanvas;
  TTarvikCanvas *qcanvas;

  double pickedX = 0.0;
  double pickedY = 0.0;
  std::int32_t crossLineH = 0;
  std::int32_t crossLineV = 0;

  void FormMouseWheelUp();
  void FormMouseWheelDown();
  void qcanvas_Click(QObject *Sender, short Button, short Shift, short Action, double X, double Y);
  void bLocateClick();
  void showCursorCross(double x, double y);

protected:
  void wheelEvent(QWheelEvent *event) override;

private:
  EditorWindows &windows_;
  int wheelRemainder_ = 0;
};
