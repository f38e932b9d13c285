// TfEditing: the profile editor window. It holds the soundings of the open file, their undo
// history and the profile object; its redraw timer draws the profile on the image iMain, and its
// commands and mouse handlers only change the soundings and the view state.
#pragma once

#include "editor/Graph.h"
#include "editor/ProfileRedraw.h"
#include "editor/Soundings.h"
#include "editor/UndoHistory.h"
#include "platform/Dialogs.h"
#include "platform/GdiCanvas.h"

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QScrollBar;
class QTimer;
class QToolBar;
class QToolButton;
struct EditorWindows;

// The profile image: a bitmap the redraw paints, shown as it is. Its mouse events go to the
// editor window's handlers.
class TProfileImage : public QWidget {
  Q_OBJECT

public:
  explicit TProfileImage(QWidget *parent);
  // The bitmap grows with the image (never shrinks), so any size the window takes is covered.
  QImage &bitmap();
  std::function<void(int Button, int Shift, int X, int Y)> OnMouseDown;
  std::function<void(int Button, int Shift, int X, int Y)> OnMouseUp;
  std::function<void(int Shift, int X, int Y)> OnMouseMove;
  std::function<void()> OnClick;
  std::function<void()> OnResize;
  QMenu *PopupMenu = nullptr; // opens with the right button once attached

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  QImage bitmap_;
  QPoint lastMove_{-1, -1};
  bool leftPressedInside_ = false;
};

class TfEditing : public QWidget {
  Q_OBJECT

public:
  TfEditing(QWidget *owner, EditorWindows &windows);
  ~TfEditing() override;

  // ---- The editor's module state
  SoundingList points;
  UndoHistory undoStack;
  clGraph graph;
  strCursor cursor;

  // ---- Controls
  QToolBar *ToolBar1;
  QToolButton *bFileOpen, *bSaveEdits, *toolUndo, *toolGrowVertical, *toolSqueezeVertical,
      *toolPushUp, *toolPushDown, *toolGrowHorizontal, *toolSqueezeHorizontal, *toolToggleFTS,
      *toolZoomToSelection, *toolShowDeleted, *toolShowStatus, *toolFindMeFromPlanV, *ToolButton1,
      *ToolButton3;
  TProfileImage *iMain;
  QScrollBar *scrollHor;
  QMenu *popupMenu;
  QAction *ZoomtoSelection1, *QuickFittoScreen1, *Zoomtofit1, *InterpolatePoint1, *Smoothpoint1,
      *SmoothSelection1, *SmoothAll1, *DeletePoint2, *DeleteSelection1, *RestoreSelection1,
      *PlanView1;
  QTimer *displayMainLoop;
  platform::FileDialog openDialog{platform::FileDialogKind::Open};
  int tileStacked = 0;

  // ---- File commands
  // With what the reader said, the refusal of too few soundings names the lines it skipped.
  bool checkData(SoundingList &list, const SoundingReadSummary &read = {});
  void bFileOpenClick();
  void bSaveEditsClick();
  void fillPlanView();
  // After reading: a file that is no sounding file, or could not be read to its end, ends the
  // Open command with a message; lines that could not be read are reported once.
  void refuseUnreadFile(const SoundingReadSummary &read);
  void reportSkippedLines(const SoundingReadSummary &read);

  // ---- Redraw timer and mouse
  void displayMainLoopTimer();
  void FormActivate();
  void FormDeactivate();
  void FormMouseWheelUp(bool ctrl);
  void FormMouseWheelDown(bool ctrl);
  void scrollHorChange();
  void iMainMouseMove(int Shift, int X, int Y);
  void iMainMouseDown(int Button, int Shift, int X, int Y);
  void iMainClick();
  void iMainMouseUp(int Button, int Shift, int X, int Y);
  void ToolButton3Click();

  // ---- Commands
  void toolUndoClick();
  void toolGrowVerticalClick();
  void toolSqueezeVerticalClick();
  void toolPushUpClick();
  void toolPushDownClick();
  void toolGrowHorizontalClick();
  void toolSqueezeHorizontalClick();
  void toolZoomToSelectionClick();
  void ZoomtoSelection1Click();
  void QuickFittoScreen1Click();
  void Zoomtofit1Click();
  void InterpolatePoint1Click();
  void Smoothpoint1Click();
  void SmoothSelection1Click();
  void SmoothAll1Click();
  void DeletePoint2Click();
  void DeleteSelection1Click();
  void RestoreSelection1Click();
  void PlanView1Click();
  void toolFindMeFromPlanVClick();
  void ToolButton1Click();
  void FormKeyPress();
  void FormCloseQuery(bool &CanClose);

  // Width and height of the profile image.
  int imageWidth() const;
  int imageHeight() const;
  // Asks for a redraw at the next tick (every handler that changes what the profile shows).
  void invalidateProfile() { profileDirty_ = true; }
  // Asks for the redraw of what follows the mouse (a mouse move).
  void invalidateCursor() { cursorDirty_ = true; }
  // The soundings changed: counts kept per change are taken again.
  void pointsChanged();
  // Only the soundings from `from` up to (not including) `to` changed.
  void pointsChanged(std::size_t from, std::size_t to);
  // Redraws now when something changed since the last redraw; true when it drew.
  bool redrawIfChanged();
  // Whether the last redraw put back the picture below the cursor instead of drawing it.
  bool lastRedrawKeptPoints() const { return lastRedrawKeptPoints_; }

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  void connectHandlers();
  void buildToolBar();
  void buildPopupMenu();
  // Delete Selection and Restore Selection.
  void setSelectionDeleted(std::uint8_t value);
  void warnFitToScreen();
  int smoothingFactor() const;
  double smoothingRange() const;
  void pushState();
  // Runs a handler the guarded way and asks for a redraw after it.
  template <class... A> auto handler(void (TfEditing::*fn)(A...));

  EditorWindows &windows_;
  bool profileDirty_ = true;
  bool cursorDirty_ = false;
  bool lastRedrawKeptPoints_ = false;
  std::uint64_t pointsRevision_ = 0;
  // The soundings changed since the profile last drew them.
  ChangedRange changedSinceDrawn_ = ChangedRange::whole();
  int wheelRemainder_ = 0;
  // The canvas state and the picture below the cursor, kept from one redraw to the next.
  ProfileRedraw redraw_;
  std::uint64_t processedRevision_ = ~std::uint64_t(0);
  double processedCache_ = 0.0;
  bool undoLimitReported_ = false;
};
