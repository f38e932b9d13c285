// TfPlanView: the soundings from above on a drawing canvas, with the picked position that Locate
// looks up in the profile and the cross that follows the profile's mouse. The soundings are drawn
// from the editor's own list below the canvas's shapes, not as shapes.
#pragma once

#include "editor/PlanSoundings.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>

class QLabel;
class QPushButton;
class TTarvikCanvas;
struct EditorWindows;
namespace platform {
class GdiCanvas;
}

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

  // Shows the list of the window `owner` (nullptr: none) with the track pen of the canvas layer
  // `layer` and its labels in the canvas font `font`, aligned as the canvas aligns texts now.
  void showSoundings(QObject *owner, const SoundingList *points, int layer, int font);
  // The heights or flags of the list shown changed: the plan is drawn anew.
  void soundingsChanged();
  // Only the soundings from `from` up to (not including) `to` changed.
  void soundingsChanged(std::size_t from, std::size_t to);
  PlanSoundings soundings;

protected:
  void wheelEvent(QWheelEvent *event) override;

private:
  void paintSoundings(platform::GdiCanvas &g, const QRect &area);

  EditorWindows &windows_;
  QPointer<QObject> soundingsOwner_;
  int soundingsLayer_ = -1;
  int soundingsFont_ = -1;
  int soundingsAlignH_ = 0;
  int soundingsAlignV_ = 0;
  int wheelRemainder_ = 0;
};
