// The sound velocity graph editor: plots the averaged rows of a profile (velocity against depth)
// and lets the operator drag a point's velocity, lasso and delete spikes, and edit rows in a grid.
#pragma once

#include "navigator/NavigatorWindows.h"
#include "navigator/soundvelocity/SvpGraphModel.h"
#include "platform/Dialogs.h"

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

namespace platform {
class GdiCanvas;
}

class TfSVPGraph : public QDialog {
public:
  TfSVPGraph(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  // ---- State
  svpgraph::Points Points;       // the rows in list order; the profile line follows it
  svpgraph::LassoPath LassoPath; // paint-box pixels
  bool LassoActive = false;
  bool Dragging = false;
  int DragIndex = -1;
  svpgraph::SvpView View; // SvMin, SvMax, DepthMin, DepthMax, the margins and the box's size

  // ---- Controls
  QWidget *PaintBox1 = nullptr;
  QTableWidget *StringGrid1 = nullptr;
  QPushButton *bAddRow = nullptr;
  QPushButton *bDeleteRow = nullptr;
  QLabel *Label1 = nullptr;
  QPushButton *bDeleteSelected = nullptr;
  QPushButton *bSaveAndClose = nullptr;
  QPushButton *bCancel = nullptr;

  // ---- What the profile window calls
  // Replaces the points by the averaged rows, fits the view, fills the grid, repaints.
  void LoadAveragedRows(const std::vector<std::string> &rows);
  // mrOk from "Save && Close", mrCancel from "Cancel" or the close box.
  TModalResult ShowModal();
  // The points as averaged rows, each at the row of its depth.
  void WriteBackPoints(std::vector<std::string> &rows) const;

  // ---- Painting (the paint box paints through this; tests paint into an image)
  void PaintBox1Paint(platform::GdiCanvas &canvas);

  // ---- Handlers
  void PaintBox1MouseDown(int button, int x, int y);
  void PaintBox1MouseMove(int x, int y);
  void PaintBox1MouseUp(int button, int x, int y);
  void PaintBox1DblClick();
  void FormMouseWheel(int delta, int x, int y);
  void bDeleteSelectedClick();
  void bSaveAndCloseClick();
  void bCancelClick();
  void StringGrid1Click();
  void bAddRowClick();
  void bDeleteRowClick();

  void FitView();
  void FillGrid();
  void ReadGrid();

private:
  void DrawGridAndAxes(platform::GdiCanvas &canvas) const;
  void DrawProfile(platform::GdiCanvas &canvas) const;
  void DrawLasso(platform::GdiCanvas &canvas) const;
  void repaint();
  // The transforms work on the paint box's current client size.
  void updateViewSize();

protected:
  void showEvent(QShowEvent *event) override;
};
